#pragma once

#include <QDateTime>
#include <QDialog>
#include <QString>

#include <deque>

class QTextBrowser;
struct WindowState;

// The status messages of this run, newest last, so one that went by while the
// user looked elsewhere can be read again.
class MessageHistory {
public:
    static constexpr int kKept = 20;
    enum class Kind { Info, Success, Notice, Problem };
    struct Entry {
        QDateTime time;
        QString text;
        Kind kind = Kind::Info;
        QString details;  // what a report said beyond the status text
    };

    void add(const QString& text, Kind kind, const QString& details = QString(),
             const QDateTime& time = QDateTime::currentDateTime());
    const std::deque<Entry>& entries() const { return Entries; }

private:
    std::deque<Entry> Entries;
};

// The history with times, newest first, a report's lines under its message;
// wrapped, selectable text, refilled while open.
class MessageHistoryView : public QDialog {
    Q_OBJECT

public:
    MessageHistoryView(QWidget* parent, const MessageHistory& history, const WindowState& state);
    void refill();

    static QString title(int languageFlag);

private:
    const MessageHistory& History;
    const int& Language_Flag;
    QTextBrowser* List = nullptr;
};
