#include "core/profile/backup_store.h"

#include "core/profile/profile.h"

#include <QDateTime>
#include <algorithm>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

// backup-000042-20250101-120000.json: the sequence number orders them, the
// date is for people.
const QRegularExpression& backupName()
{
    static const QRegularExpression re(QStringLiteral("^backup-(\\d{6,})-\\d{8}-\\d{6}\\.json$"));
    return re;
}

qint64 sequenceOf(const QString& fileName)
{
    return backupName().match(fileName).captured(1).toLongLong();
}

}  // namespace

BackupStore::BackupStore(const QString& baseDir)
    : baseDir_(baseDir.isEmpty()
                   ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                         + QStringLiteral("/tessaplex/backups")
                   : baseDir)
{
}

QString BackupStore::folderFor(const DeviceInfo& identity) const
{
    return QStringLiteral("%1/%2-keys-%3-knobs-firmware-%4")
        .arg(baseDir_)
        .arg(identity.keys)
        .arg(identity.knobs)
        .arg(identity.version);
}

QStringList BackupStore::backups(const DeviceInfo& identity) const
{
    QDir dir(folderFor(identity));
    QStringList names;
    for (const QString& name : dir.entryList({QStringLiteral("backup-*.json")}, QDir::Files)) {
        if (backupName().match(name).hasMatch())
            names << name;
    }
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return sequenceOf(a) < sequenceOf(b); });
    QStringList paths;
    for (const QString& name : names)
        paths << dir.filePath(name);
    return paths;
}

bool BackupStore::hasBackups(const DeviceInfo& identity) const
{
    return !backups(identity).isEmpty();
}

BackupStore::Outcome BackupStore::backUp(const KeypadImage& image, QString* error)
{
    const QString folder = folderFor(image.identity);
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("%1: the backup folder cannot be created").arg(folder);
        return Outcome::Failed;
    }
    const QStringList existing = backups(image.identity);
    if (!existing.isEmpty()) {
        // A newest backup that cannot be read is no reason to skip this one.
        const auto newest = Profile::loadProfile(existing.last(), nullptr);
        if (newest && newest->image == image)
            return Outcome::Unchanged;
    }
    const qint64 next = existing.isEmpty() ? 1 : sequenceOf(QFileInfo(existing.last()).fileName()) + 1;
    const QString path = QStringLiteral("%1/backup-%2-%3.json")
                             .arg(folder)
                             .arg(next, 6, 10, QLatin1Char('0'))
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    if (!Profile::saveProfile(path, image, error))
        return Outcome::Failed;
    const QStringList all = backups(image.identity);
    for (int i = 0; i + kKeep < all.size(); ++i)
        QFile::remove(all[i]);
    return Outcome::Written;
}
