#pragma once

#include "device/keypad_connection.h"

#include <QObject>
#include <QString>

class QPushButton;

// The one place that writes the status button Dev_Sta_Dsp. It shows what the
// connection says about the bus, or for 1500 ms a notice (saved, save failed,
// key full) during which the connection's news wait.
class StatusLine : public QObject {
    Q_OBJECT

public:
    static constexpr int kNoticeMs = 1500;

    StatusLine(QPushButton* button, const int& languageFlag, QObject* parent = nullptr);

    void showPresence(KeypadConnection::Presence presence);
    void refresh();  // the presence again, in the current language
    void showSaveResult(bool saved);
    void showRecordFull();
    // Said after "Device Connect" while connected; empty for nothing.
    void setBoardNote(const QString& english, const QString& chinese);
    bool noticeActive() const { return Save_Notice_Active != 0; }
    // The notice's time is up: its style goes, the presence comes back.
    void endNotice();

private:
    void showNotice(const QString& text, const QString& styleSheet);
    void apply(const QString& text, const QString& styleSheet);

    QPushButton* Dev_Sta_Dsp;
    const int& Language_Flag;
    KeypadConnection::Presence Presence = KeypadConnection::Presence::Absent;
    unsigned char Save_Notice_Active = 0;
    QString BoardNote[2];  // Chinese, English
};
