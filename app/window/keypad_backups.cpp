#include "app/window/keypad_backups.h"

#include "app/window/status_line.h"
#include "app/window/window_log.h"
#include "app/window/window_state.h"
#include "core/device/exchange_worker.h"
#include "core/device/keypad_connection.h"
#include "core/keypad/exchange_copy.h"
#include "core/keypad/keypad_config.h"
#include "core/keypad/keypad_sync.h"
#include "core/texts/run_time_texts.h"

#include <QMessageBox>
#include <QPushButton>

#include <memory>

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
    struct Outcome {
        KeypadImage image;
        int unread = -1;
        BackupStore::Outcome written = BackupStore::Outcome::Off;
        QString error;
    };
    auto outcome = std::make_shared<Outcome>();
    outcome->image = Config.image();
    const ConfigStore before = Config.store();
    const bool current = Config.currentFormat();
    BackupStore store = Store;
    const BackupKeypad who = keypad();
    // The LED blocks are read into a copy (the window keeps its own LED
    // state, the backup gets the keypad's) and the file is written there
    // too: neither holds up the window.
    Connection.exchanges().run(
        Connection.link(),
        [outcome, before, current, store, who](DeviceLink link) mutable {
            if (current) {
                const auto scratch = workingCopy(before);
                for (int layer = 0; layer < kLayers && outcome->unread < 0; ++layer) {
                    if (scratch->store().LedFromKeypad[layer])
                        continue;
                    scratch->rawStore().LedDirty[layer] = 0;
                    if (readLedBlock(link, *scratch, layer) != LedReadOutcome::Stored)
                        outcome->unread = layer;
                }
                if (outcome->unread >= 0)
                    return;
                outcome->image.led = scratch->image().led;
            }
            outcome->written = store.backUp(who, outcome->image, &outcome->error);
        },
        [this, outcome] {
            if (outcome->unread >= 0) {
                qCWarning(lcUi, "No backup: the LED colours of layer %d could not be read", outcome->unread + 1);
                return;
            }
            Held = outcome->image;
            if (outcome->written == BackupStore::Outcome::Failed) {
                qCWarning(lcUi) << "No backup:" << outcome->error;
                Status.showInfo(text("No backup of the keypad could be written: ", "无法写入键盘的备份：")
                                    + outcome->error,
                                true);
            }
        },
        ExchangeWorker::Kind::Reads);
}

void KeypadBackups::beforeWriting(std::function<void()> proceed)
{
    if (!Store.keeps() || !Connection.isConnected()) {
        proceed();
        return;
    }
    struct Outcome {
        bool saved = false;
        QString error;
    };
    auto outcome = std::make_shared<Outcome>();
    const std::optional<KeypadImage> held = Held;
    const DeviceInfo kind = Config.identity();
    BackupStore store = Store;
    const BackupKeypad who = keypad();
    if (!held)
        Status.showProgress(text("Backing up what the keypad holds...", "正在备份键盘的配置..."));
    Connection.exchanges().run(
        Connection.link(),
        [outcome, held, kind, store, who](DeviceLink link) mutable {
            std::optional<KeypadImage> image = held;
            if (!image)
                image = readKeypadImage(link, kind, &outcome->error);
            outcome->saved = image && store.backUp(who, *image, &outcome->error) != BackupStore::Outcome::Failed;
        },
        [this, outcome, held, proceed = std::move(proceed)] {
            if (!held)
                Status.showProgress(QString());
            if (outcome->saved) {
                proceed();
                return;
            }
            qCWarning(lcUi) << "No backup before writing:" << outcome->error;
            const bool go = Ask(text("No backup", "无法备份"),
                                text("What the keypad holds now could not be backed up:\n%1\n\nSave anyway, "
                                     "without a backup?",
                                     "无法备份键盘当前的配置：\n%1\n\n仍然保存（不备份）吗？")
                                    .arg(outcome->error));
            if (go)
                proceed();
            else
                Status.showInfo(text("Not saved: no backup could be written", "未保存：无法写入备份"), true);
        });
}
