#pragma once

#include "core/keypad/keypad_image.h"

#include <QString>

// Automatic backups of what a keypad held: one folder per keypad kind (keys,
// knobs, firmware) under <data>/tessaplex/backups, a profile file per backup,
// the newest kKeep of each kind kept. Owned by whoever reads keypads back
// (window or command line); no process-wide state.
class BackupStore {
public:
    static constexpr int kKeep = 20;

    // baseDir empty: QStandardPaths' GenericDataLocation + "/tessaplex/backups".
    explicit BackupStore(const QString& baseDir = QString());

    enum class Outcome { Written, Unchanged, Failed };
    // Writes a backup unless it equals the newest one of that kind.
    Outcome backUp(const KeypadImage& image, QString* error = nullptr);

    QString baseDir() const { return baseDir_; }
    // The folder of a keypad kind, e.g. ".../backups/15-keys-3-knobs-firmware-10".
    QString folderFor(const DeviceInfo& identity) const;
    bool hasBackups(const DeviceInfo& identity) const;
    // Oldest first; absolute paths.
    QStringList backups(const DeviceInfo& identity) const;

private:
    QString baseDir_;
};
