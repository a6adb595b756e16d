#include "core/device/keypad_lock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// A state file's key is its real path, so two spellings of one file (a
// relative path, a symlink) share one lock; a file not made yet is named by
// its folder's real path.
QString canonicalKey(const QString& key)
{
    const QFileInfo info(key);
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + QLatin1Char('/') + info.fileName();
}

}  // namespace

KeypadLock::KeypadLock(const QString& key)
{
    const QString real = canonicalKey(key);
    QString readable = QFileInfo(real).fileName();
    readable.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    const QByteArray hash = QCryptographicHash::hash(real.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    path_ = lockFolder() + QStringLiteral("/tessaplex-%1-%2.lock").arg(readable.left(40), QString::fromLatin1(hash));
    lock_ = std::make_unique<QLockFile>(path_);
    // Held as long as the window is connected: only a dead holder makes it stale.
    lock_->setStaleLockTime(0);
}

KeypadLock::~KeypadLock() = default;

bool KeypadLock::acquire(int waitMs)
{
    if (lock_->isLocked())
        return true;
    return lock_->tryLock(waitMs);
}

bool KeypadLock::isHeld() const { return lock_->isLocked(); }

void KeypadLock::release()
{
    if (lock_->isLocked())
        lock_->unlock();
}

QString KeypadLock::holder() const
{
    qint64 pid = 0;
    QString host, app;
    if (!lock_->getLockInfo(&pid, &host, &app))
        return lock_->error() == QLockFile::PermissionError
                   ? QStringLiteral("nobody may take the lock %1 (permission denied)").arg(path_)
                   : QStringLiteral("another program (lock %1)").arg(path_);
    const QString name = app.isEmpty() ? QStringLiteral("a program") : app;
    return QStringLiteral("%1 (process %2)").arg(name).arg(pid);
}

QString KeypadLock::lockFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
        return QDir::cleanPath(runtime);
    return QDir::tempPath();
}
