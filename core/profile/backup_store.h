#pragma once

#include "core/device/device_exchanges.h"
#include "core/keypad/keypad_image.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <optional>

struct HidDeviceEntry;

// Which keypad a backup belongs to. The serial number tells two keypads of
// one kind apart wherever the keypad reports one; without it, the kind and
// the USB port it is plugged into are the best there is.
struct BackupKeypad {
    DeviceInfo kind;
    QString serial;
    QString usbPort;

    static BackupKeypad of(const DeviceInfo& kind, const QString& serial, const QString& usbPort);
    static BackupKeypad of(const DeviceInfo& kind, const HidDeviceEntry& entry);

    // "serial-ABC123", or "15-keys-3-knobs-firmware-10-port-1-2.3".
    QString folderName() const;
    // For people: "serial ABC123", "15 keys, 3 knobs, USB port 1-2.3".
    static QString describeFolder(const QString& folderName);
};

// One backup file.
struct BackupEntry {
    QString path;
    QString keypadFolder;  // the folder's name, see BackupKeypad::describeFolder
    QDateTime taken;       // local time
    qint64 sequence = 0;
    bool first = false;    // the oldest backup of its keypad, never deleted
};

// Keys and knob actions that do something, per layer.
struct AssignedCount {
    int keys = 0;
    int knobActions = 0;
};
std::array<AssignedCount, KeypadImage::kLayers> assignedPerLayer(const KeypadImage& image);
// "L1 3+1  L2 0+0  L3 0+0" (keys + knob actions).
QString assignedText(const KeypadImage& image);

// Backups of what keypads held before something changed them: a profile file
// per backup in one folder per keypad under <data>/tessaplex/backups. The
// first backup of a keypad is kept for good, the newest kKeep besides it.
// Owned by whoever writes to keypads (window or command line); no
// process-wide state.
class BackupStore {
public:
    static constexpr int kKeep = 20;

    // The user's store: $XDG_DATA_HOME, or $HOME/.local/share, when absolute.
    // Without either the store is unavailable and says why (problem()):
    // nothing is ever written to the working folder or the root.
    static BackupStore forUser();
    static BackupStore at(const QString& baseDir);
    // Keeps nothing and is no failure: a simulated keypad that forgets
    // everything anyway.
    static BackupStore none();

    bool keeps() const { return !off_; }
    bool available() const { return !off_ && !baseDir_.isEmpty(); }
    QString problem() const { return problem_; }
    QString baseDir() const { return baseDir_; }
    QString folderFor(const BackupKeypad& keypad) const;

    enum class Outcome { Written, Unchanged, Off, Failed };
    // Writes a backup unless it equals the keypad's newest one. Failed says
    // why in error; a failure never costs an older backup.
    Outcome backUp(const BackupKeypad& keypad, const KeypadImage& image, QString* error = nullptr,
                   QString* writtenPath = nullptr);

    // Newest first.
    QVector<BackupEntry> backups(const BackupKeypad& keypad) const;
    QVector<BackupEntry> backupsIn(const QString& keypadFolder) const;
    // The keypads with a folder here, by folder name.
    QStringList keypadFolders() const;

private:
    QString baseDir_;
    QString ownedRoot_;  // the store's own folder above baseDir_, if it has one
    QString problem_;
    bool off_ = false;
};

// What the keypad holds, as one image, through the one whole read every
// path makes. Empty, with why, when anything did not come back.
std::optional<KeypadImage> readKeypadImage(DeviceLink link, const DeviceInfo& kind, QString* why);
