#pragma once

#include "core/device/keypad_connection.h"

#include <QObject>
#include <QString>

#include "app/window/message_history.h"
#include "core/device/permission_doctor.h"

#include <QPointer>

#include <optional>

class QAction;
class QMenu;
struct WindowState;

class QPushButton;
class QTimer;
struct KeyReadResult;

// The one place that writes the status button Dev_Sta_Dsp. It shows what the
// connection says about the bus, or for a few seconds a notice (saved, save
// failed, key full) during which the connection's news wait. Every message
// also goes to a short history, which a click on the status line or an entry
// of the settings menu shows; a text too long for the line is drawn
// shortened, whole in its tooltip and in the history.
class StatusLine : public QObject {
    Q_OBJECT

public:
    // Long enough to read "Saved successfully" after looking back from the
    // keypad; longer texts stay longer.
    static constexpr int kNoticeMs = 4000;

    StatusLine(QPushButton* button, const WindowState& state, QObject* parent = nullptr);

    void showPresence(KeypadConnection::Presence presence);
    // The keypad is listed but its node did not open: the status then says
    // why and what fixes it, and offers the fix as commands to copy.
    void showOpenProblem(const QString& node, OpenFailure reason);
    void refresh();  // the presence again, in the current language
    void showSaveResult(bool saved);
    void showRecordFull();
    // Any other outcome worth a notice (a profile exported or imported);
    // problem picks the failure colours.
    void showInfo(const QString& text, bool problem);
    // An outcome that is neither plain success nor failure (a profile that was
    // imported only in part): a notice in its own colours; details go to the
    // history with it.
    void showNotice(const QString& text, const QString& details = QString());
    // What "View settings" brought back; expected: the replies of a whole read.
    void showReadBack(const KeyReadResult& read, int expected);
    // Said after "Device Connect" while connected; empty for nothing.
    void setBoardNote(const QString& english, const QString& chinese);
    bool noticeActive() const { return Save_Notice_Active != 0; }
    // What an exchange under way is doing and how far it got ("Saving... 12
    // of 27"); shown over the presence until an empty text ends it. A notice
    // still showing goes first.
    void showProgress(const QString& text);
    // The notice's time is up: its style goes, the presence comes back.
    void endNotice();

    const MessageHistory& history() const { return History; }
    // Opens (or brings up) the list of the last messages with their times.
    void showHistory();
    // Puts the entry that opens the history into the settings menu.
    void addHistoryActionTo(QMenu& menu);

private:
    void startNotice(const QString& text, const QString& styleSheet, MessageHistory::Kind kind,
                     const QString& details = QString());
    void apply(const QString& text, const QString& styleSheet);
    void remember(const QString& text, MessageHistory::Kind kind, const QString& details = QString());
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paint();
    void setText(const QString& text);
    QString presenceNews() const;
    void placeCopyButton();
    void showCopyButton(bool show);

    QPushButton* Dev_Sta_Dsp;
    const WindowState& State;
    const int& Language_Flag;
    KeypadConnection::Presence Presence = KeypadConnection::Presence::Absent;
    unsigned char Save_Notice_Active = 0;
    std::optional<Diagnosis> OpenProblem;
    QPushButton* CopyCommands = nullptr;  // "Copy commands", inside the status button
    QString BoardNote[2];  // Chinese, English
    QTimer* NoticeTimer = nullptr;
    MessageHistory History;
    QString LastPresenceNews;  // what the history last heard from the connection
    QPointer<MessageHistoryView> HistoryView;
    QAction* HistoryAction = nullptr;
    QString Progress;
};
