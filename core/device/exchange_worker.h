#pragma once

#include "core/device/device_exchanges.h"

#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>

// The one thread that talks to the keypad. Every exchange (a look at the bus,
// the open and the identity query, a save, a read-back, an LED read, a model
// switch, the upgrade request, the close) is a job run there, one after the
// other in the order asked, so no two ever interleave on the wire and the
// keypad's pauses hold up this thread, not the window.
// A job works on what it was handed (a copy of the configuration, say) and
// hands its result to `done`, which runs on the thread that owns this object,
// where the result may be applied to objects living there.
//
// Whoever owns the handle must not use the transport from another thread:
// the connection runs its looks here too, and closes the handle here after
// every job it was given to.
class ExchangeWorker : public QObject {
    Q_OBJECT

public:
    using Job = std::function<void(DeviceLink link)>;
    using Done = std::function<void()>;
    // What a job does to the keypad. Writes and reads count their reports as
    // progress(); a read may be cut short by cancelReads(); looks at the bus
    // (and closing the handle) neither count nor end early.
    enum class Kind { Writes, Reads, Look };

    explicit ExchangeWorker(QObject* parent = nullptr);
    // Lets the job in progress end (a save is never cut between its reports),
    // drops the ones not started yet and their results.
    ~ExchangeWorker() override;

    // Queues a job. While it runs, progress() counts its steps: every key
    // record or LED block written and every reply read.
    void run(DeviceLink link, Job job, Done done = Done(), Kind kind = Kind::Writes);

    // Queued or running jobs whose `done` has not run yet.
    bool busy() const { return Pending > 0; }
    // The worker thread, for checks that a job runs off the caller's thread.
    const QThread* thread() const { return &Thread; }

    // Reads asked for until now end at their next report, as if the keypad
    // had stopped answering (their `done` still runs); writes and looks go
    // on, and so do jobs asked for later. For a window that is closing: a
    // read-back of a keypad that does not answer would hold it for seconds.
    void cancelReads() { CancelledUpTo = Queued; }

    // Stops after the running job; later ones are dropped.
    void finish();

signals:
    void exchangeStarted();
    void progress(int steps);
    // After the `done` of a job; busy() is false when no other job waits.
    void exchangeFinished();

private:
    void ensureRunning();

    QThread Thread;
    QObject* Context = nullptr;  // lives on Thread; jobs are its events
    int Pending = 0;
    quint64 Queued = 0;  // jobs asked for so far; a job's number is its place
    std::atomic<quint64> CancelledUpTo{0};
    std::atomic<bool> Finishing{false};
    std::atomic<int> LatestSteps{0};
    std::atomic<bool> ProgressQueued{false};
};
