#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

#include "core/profile/backup_store.h"

struct WindowState;
class KeypadConfig;
class KeypadConnection;
class StatusLine;
class QWidget;

// The window's backups of the connected keypad: what it held when first read,
// and what it holds before every save or model switch. A backup that cannot
// be written is shown, and before a write the user decides whether to go on
// without one.
class KeypadBackups : public QObject {
    Q_OBJECT

public:
    // Asked when no backup could be written before a write; true: write anyway.
    // Replaceable so that tests answer without a modal loop.
    using Question = std::function<bool(const QString& title, const QString& text)>;

    KeypadBackups(QWidget& window, KeypadConfig& config, KeypadConnection& connection, StatusLine& status,
                  const WindowState& state, QObject* parent = nullptr);

    // The user's store unless set; a simulated keypad gets its own.
    void setStore(const BackupStore& store) { Store = store; }
    const BackupStore& store() const { return Store; }
    void setQuestion(Question question) { Ask = std::move(question); }

    // The connected keypad, as its backups know it.
    BackupKeypad keypad() const;

    // Both read the keypad and write the file on the connection's worker.
    // After the first read-back of a keypad. complete: every record was read.
    void afterFirstRead(bool complete);
    // Before anything is written to the keypad: backs up what it holds,
    // reading it whole first unless that is known already, then calls
    // proceed, unless the user would rather not write without a backup.
    void beforeWriting(std::function<void()> proceed);
    // After a write: changed says whether the keypad's stored configuration
    // may have changed (a commit, an LED block or a model report went out).
    void written(bool changed)
    {
        if (changed)
            Held.reset();
    }
    // The keypad went: what the next one holds is not known.
    void forgetHeld() { Held.reset(); }

private:
    QString text(const char* english, const char* chinese) const;

    QWidget& Window;
    KeypadConfig& Config;
    KeypadConnection& Connection;
    StatusLine& Status;
    const int& Language_Flag;
    BackupStore Store = BackupStore::forUser();
    Question Ask;
    // What the keypad holds, as read whole since the last write.
    std::optional<KeypadImage> Held;
};
