#pragma once

#include "core/device/keypad_connection.h"

#include <QObject>
#include <QString>

#include "core/device/permission_doctor.h"

#include <optional>

struct WindowState;

class QPushButton;

// The one place that writes the status button Dev_Sta_Dsp. It shows what the
// connection says about the bus, or for 1500 ms a notice (saved, save failed,
// key full) during which the connection's news wait.
class StatusLine : public QObject {
    Q_OBJECT

public:
    static constexpr int kNoticeMs = 1500;

    StatusLine(QPushButton* button, const WindowState& state, QObject* parent = nullptr);

    void showPresence(KeypadConnection::Presence presence);
    // The keypad is listed but its node did not open: the status then says
    // why and what fixes it, and offers the fix as commands to copy.
    void showOpenProblem(const QString& node, OpenFailure reason);
    void refresh();  // the presence again, in the current language
    void showSaveResult(bool saved);
    void showRecordFull();
    // Any other outcome worth a notice (a profile exported or imported);
    // problem picks the failure colours. Lasts kInfoMs: such texts are longer.
    static constexpr int kInfoMs = 4000;
    void showInfo(const QString& text, bool problem);
    // Said after "Device Connect" while connected; empty for nothing.
    void setBoardNote(const QString& english, const QString& chinese);
    bool noticeActive() const { return Save_Notice_Active != 0; }
    // The notice's time is up: its style goes, the presence comes back.
    void endNotice();

private:
    void showNotice(const QString& text, const QString& styleSheet, int ms = kNoticeMs);
    void apply(const QString& text, const QString& styleSheet);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void placeCopyButton();
    void showCopyButton(bool show);

    QPushButton* Dev_Sta_Dsp;
    const int& Language_Flag;
    KeypadConnection::Presence Presence = KeypadConnection::Presence::Absent;
    unsigned char Save_Notice_Active = 0;
    std::optional<Diagnosis> OpenProblem;
    QPushButton* CopyCommands = nullptr;  // "Copy commands", inside the status button
    QString BoardNote[2];  // Chinese, English
};
