#pragma once

#include <QObject>
#include <QString>

class QTimer;

// Decides when the connection looks at the bus. The connection owns one and
// does its listing, opening and first-connection steps in response to
// lookNow(); how often that happens (a timer, or only when the kernel says a
// node came or went) is the watch's business and nothing else's.
class BusWatch : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Begins watching; the first lookNow() follows at once (from the event loop).
    virtual void start() = 0;
    virtual void stop() = 0;
    // The connection needs another look although nothing on the bus changed
    // (its first-connection steps could not run, say). A watch that looks
    // regularly anyway may ignore it.
    virtual void lookAgainSoon() = 0;
    // "polling" or "udev events", for the log and the benchmarks.
    virtual QString mode() const = 0;

signals:
    void lookNow();
    // A hidraw node went away; the connection drops its keypad when it is the one it holds.
    void nodeRemoved(const QString& path);
};

// Looks every intervalMs whatever happens: the fallback where no event source exists.
class PollingBusWatch : public BusWatch {
    Q_OBJECT

public:
    static constexpr int kDefaultIntervalMs = 100;
    explicit PollingBusWatch(int intervalMs = kDefaultIntervalMs, QObject* parent = nullptr);

    void start() override;
    void stop() override;
    void lookAgainSoon() override {}
    QString mode() const override { return QStringLiteral("polling"); }
    QTimer* timer() const { return timer_; }

private:
    QTimer* timer_;
};
