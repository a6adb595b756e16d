#include "core/profile/file_io.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileIo {

namespace {

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

bool statPath(const QString& path, struct stat* info)
{
    return ::stat(QFile::encodeName(path).constData(), info) == 0;
}

bool isStream(mode_t mode) { return S_ISFIFO(mode) || S_ISCHR(mode); }

}  // namespace

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    struct stat info;
    if (statPath(path, &info) && !S_ISREG(info.st_mode))
        return fail(error, QStringLiteral("%1: not a regular file; it is left as it is").arg(path));
    QSaveFile file(path);
    // Unbuffered: QSaveFile's commit() does not see an error from flushing
    // its buffer and would publish a short file; each write must show it.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(error, QStringLiteral("%1: cannot be written: %2").arg(path, file.errorString()));
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return fail(error, QStringLiteral("%1: cannot be written: %2; the file that was there is unchanged")
                                   .arg(path, reason));
        }
        done += n;
    }
    if (!file.commit())
        return fail(error, QStringLiteral("%1: cannot be written: %2; the file that was there is unchanged")
                               .arg(path, file.errorString()));
    return true;
}

OutputKind outputKind(const QString& path)
{
    if (path.isEmpty() || path == QLatin1String("-"))
        return OutputKind::StandardOutput;
    struct stat target;
    if (!statPath(path, &target))
        return OutputKind::RegularFile;
    struct stat out;
    // /dev/stdout, /dev/fd/1 or the file the shell sent standard output to:
    // written through the descriptor itself, so an append stays an append.
    if (::fstat(STDOUT_FILENO, &out) == 0 && out.st_dev == target.st_dev && out.st_ino == target.st_ino)
        return OutputKind::StandardOutput;
    if (S_ISREG(target.st_mode))
        return OutputKind::RegularFile;
    if (isStream(target.st_mode))
        return OutputKind::Stream;
    return OutputKind::Refused;
}

bool writeOutput(const QString& path, const QByteArray& bytes, QString* error)
{
    switch (outputKind(path)) {
    case OutputKind::StandardOutput:
        if (!writeAll(STDOUT_FILENO, bytes))
            return fail(error, QStringLiteral("standard output cannot be written: %1").arg(systemError(errno)));
        return true;
    case OutputKind::RegularFile:
        return writeFileAtomically(path, bytes, error);
    case OutputKind::Refused:
        return fail(error, QStringLiteral("%1 is not a regular file, a FIFO or a character device").arg(path));
    case OutputKind::Stream:
        break;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(error, QStringLiteral("%1: cannot be opened: %2").arg(path, systemError(errno)));
    struct stat opened;
    // Checked again on what was opened, in case the path changed in between.
    const bool stream = ::fstat(fd, &opened) == 0 && isStream(opened.st_mode);
    const bool written = stream && writeAll(fd, bytes);
    const int saved = errno;
    const bool closed = ::close(fd) == 0;
    if (!stream)
        return fail(error, QStringLiteral("%1 changed while it was opened; nothing was written").arg(path));
    if (!written || !closed)
        return fail(error, QStringLiteral("%1: cannot be written: %2").arg(path, systemError(written ? errno : saved)));
    return true;
}

ReadOutcome readStream(int fd, const QString& source, qint64 limit, QByteArray* bytes, QString* error)
{
    QByteArray data;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            fail(error, QStringLiteral("%1: cannot be read: %2").arg(source, systemError(errno)));
            return ReadOutcome::Failed;
        }
        if (n == 0)
            break;
        if (data.size() + n > limit) {
            fail(error, QStringLiteral("%1: more than %2 bytes; too large to be a profile").arg(source).arg(limit));
            return ReadOutcome::Refused;
        }
        data.append(chunk, int(n));
    }
    *bytes = data;
    return ReadOutcome::Read;
}

ReadOutcome readInput(const QString& path, const QString& source, qint64 limit, bool allowStreams, QByteArray* bytes,
                      QString* error)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::stat(name.constData(), &info) != 0) {
        const int saved = errno;
        fail(error, QStringLiteral("%1: cannot be read: %2").arg(source, systemError(saved)));
        return saved == ENOENT ? ReadOutcome::Missing : ReadOutcome::Failed;
    }
    const auto refuseKind = [&] {
        fail(error, allowStreams ? QStringLiteral("%1: not a file, a FIFO or a character device").arg(source)
                                 : QStringLiteral("%1: not a regular file").arg(source));
        return ReadOutcome::Refused;
    };
    if (!S_ISREG(info.st_mode) && !(allowStreams && isStream(info.st_mode)))
        return refuseKind();
    // Non-blocking, so that a FIFO put here after the check cannot make us wait.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        fail(error, QStringLiteral("%1: cannot be read: %2").arg(source, systemError(errno)));
        return ReadOutcome::Failed;
    }
    ReadOutcome outcome;
    if (::fstat(fd, &info) != 0 || (!S_ISREG(info.st_mode) && !(allowStreams && isStream(info.st_mode)))) {
        outcome = refuseKind();
    } else if (S_ISREG(info.st_mode) && info.st_size > limit) {
        fail(error, QStringLiteral("%1: %2 bytes; too large to be a profile").arg(source).arg(qint64(info.st_size)));
        outcome = ReadOutcome::Refused;
    } else {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        outcome = readStream(fd, source, limit, bytes, error);
    }
    ::close(fd);
    return outcome;
}

QString xdgHome(const char* variable, const QString& underHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty() && QDir::isAbsolutePath(home) && QDir::cleanPath(home) != QLatin1String("/"))
        return QDir::cleanPath(home + QLatin1Char('/') + underHome);
    return QString();
}

}  // namespace FileIo
