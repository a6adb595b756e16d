#include "app/window/keypad_backups.h"
#include "app/window/window_state.h"

#include "core/keypad/exchange_copy.h"
#include "core/device/exchange_worker.h"

#include <QMessageBox>
#include <QPushButton>

#include "app/window/status_line.h"
#include "core/keypad/keypad_config.h"
#include "core/keypad/keypad_sync.h"
#include "core/device/keypad_connection.h"
#include "app/window/window_log.h"
#include "core/texts/run_time_texts.h"

KeypadBackups::KeypadBackups(QWidget& window, KeypadConfig& config, KeypadConnection& connection, StatusLine& status,
                             const WindowState& state, QObject* parent)
    : QObject(parent), Window(window), Config(config), Connection(connection), Status(status),
      Language_Flag(state.Language)
{
    Ask = [this](const QString& title, const QString& message) {
        QMessageBox box(QMessageBox::Warning, title, message, QMessageBox::NoButton, &Window);
        QPushButton* go = box.addButton(text("Save without a backup", "不备份，继续保存"), QMessageBox::AcceptRole);
        box.addButton(text("Cancel", "取消"), QMessageBox::RejectRole);
        box.exec();
        return box.clickedButton() == go;
    };
    connect(&Connection, &KeypadConnection::disconnected, this, &KeypadBackups::forgetHeld);
}

QString KeypadBackups::text(const char* english, const char* chinese) const
{
    return RunTimeTexts::pick(Language_Flag, english, chinese);
}

BackupKeypad KeypadBackups::keypad() const
{
    const KeypadIdentity& id = Connection.identity();
    return BackupKeypad::of(Config.identity(), id.serial, id.usbPort);
}

void KeypadBackups::afterFirstRead(bool complete)
{
    Held.reset();
    if (!Store.keeps())
        return;
    if (!complete) {
        qCWarning(lcUi, "No backup: the keypad's configuration was not read completely");
        return;
    }
    if (Config.store().anyKeyDirty()) {
        // The read-back kept unsaved edits, so the window no longer shows
        // what the keypad holds; the next save reads it whole for its backup.
        qCWarning(lcUi, "No backup: unsaved edits stand in for some of the keypad's records");
        return;
    }
    KeypadImage image = Config.image();
    if (Config.currentFormat()) {
        // Read into a copy: the window keeps its own LED state, the backup
        // gets the keypad's.
        // The keypad is the worker's: it reads into a copy of its own.
        const ConfigStore before = Config.store();
        int unread = -1;
        Connection.exchanges().runAndWait(Connection.link(), [&](DeviceLink link) {
            const auto scratch = workingCopy(before);
            for (int layer = 0; layer < kLayers && unread < 0; ++layer) {
                if (scratch->store().LedFromKeypad[layer])
                    continue;
                scratch->rawStore().LedDirty[layer] = 0;
                if (readLedBlock(link, *scratch, layer) != LedReadOutcome::Stored)
                    unread = layer;
            }
            image.led = scratch->image().led;
        });
        if (unread >= 0) {
            qCWarning(lcUi, "No backup: the LED colours of layer %d could not be read", unread + 1);
            return;
        }
    }
    Held = image;
    QString error;
    if (Store.backUp(keypad(), image, &error) == BackupStore::Outcome::Failed) {
        qCWarning(lcUi) << "No backup:" << error;
        Status.showInfo(text("No backup of the keypad could be written: ", "无法写入键盘的备份：") + error, true);
    }
}

bool KeypadBackups::beforeWriting()
{
    if (!Store.keeps() || !Connection.isConnected())
        return true;
    QString error;
    std::optional<KeypadImage> held = Held;
    if (!held) {
        const DeviceInfo kind = Config.identity();
        Connection.exchanges().runAndWait(Connection.link(), [&](DeviceLink link) {
            held = readKeypadImage(link, kind, &error);
        });
    }
    if (held && Store.backUp(keypad(), *held, &error) != BackupStore::Outcome::Failed)
        return true;
    qCWarning(lcUi) << "No backup before writing:" << error;
    const bool go = Ask(text("No backup", "无法备份"),
                        text("What the keypad holds now could not be backed up:\n%1\n\nSave anyway, without a "
                             "backup?",
                             "无法备份键盘当前的配置：\n%1\n\n仍然保存（不备份）吗？")
                            .arg(error));
    if (!go)
        Status.showInfo(text("Not saved: no backup could be written", "未保存：无法写入备份"), true);
    return go;
}
