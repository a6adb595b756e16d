#include "core/profile/backup_store.h"

#include "core/device/hid_transport.h"
#include "core/keypad/board.h"
#include "core/keypad/keypad_config.h"
#include "core/keypad/keypad_sync.h"
#include "core/profile/action_words.h"
#include "core/profile/file_io.h"
#include "core/profile/profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace {

// backup-000042-20261208-170211Z.json: the sequence number orders them, the
// time (UTC) is for people. Names without the Z are local time.
const QRegularExpression& backupName()
{
    static const QRegularExpression re(QStringLiteral("^backup-(\\d{6,})-(\\d{8}-\\d{6})(Z?)\\.json$"));
    return re;
}

// A serial number is whatever the device says: anything but letters, digits
// and . _ + - is written %XX, so no name can climb out of its folder.
QString safeName(const QString& text)
{
    QString out;
    for (const char c : text.toUtf8()) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.'
                           || c == '_' || c == '+' || c == '-';
        if (plain)
            out += QLatin1Char(c);
        else
            out += QLatin1Char('%') + QString::number(uint8_t(c), 16).rightJustified(2, QLatin1Char('0')).toUpper();
    }
    return out.left(96);
}

// Every folder the store makes must be a real folder, not a link somebody
// left there: a backup goes where it says, or nowhere.
QString folderProblem(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return QStringLiteral("%1 is a symbolic link; backups are not written through links").arg(path);
    if (info.exists() && !info.isDir())
        return QStringLiteral("%1 is not a folder").arg(path);
    return QString();
}

// A backup's bytes, when the file is a regular one of the expected size.
QByteArray contentsOf(const QString& path, qint64 expected)
{
    QFile file(path);
    if (QFileInfo(path).isSymLink() || !file.open(QIODevice::ReadOnly) || file.size() != expected)
        return QByteArray();
    return file.read(expected + 1);
}

}  // namespace

BackupKeypad BackupKeypad::of(const DeviceInfo& kind, const QString& serial, const QString& usbPort)
{
    return BackupKeypad{kind, serial.trimmed(), usbPort};
}

BackupKeypad BackupKeypad::of(const DeviceInfo& kind, const HidDeviceEntry& entry)
{
    return of(kind, QString::fromStdString(entry.serial), QString::fromStdString(entry.usbPort));
}

QString BackupKeypad::folderName() const
{
    if (!serial.isEmpty())
        return QStringLiteral("serial-") + safeName(serial);
    return QStringLiteral("%1-keys-%2-knobs-firmware-%3-port-%4")
        .arg(kind.keys)
        .arg(kind.knobs)
        .arg(kind.version)
        .arg(usbPort.isEmpty() ? QStringLiteral("unknown") : safeName(usbPort));
}

QString BackupKeypad::describeFolder(const QString& name)
{
    if (name.startsWith(QLatin1String("serial-")))
        return QStringLiteral("serial ") + QUrl::fromPercentEncoding(name.mid(7).toLatin1());
    static const QRegularExpression byPort(QStringLiteral("^(\\d+)-keys-(\\d+)-knobs-firmware-(\\d+)(?:-port-(.+))?$"));
    const QRegularExpressionMatch m = byPort.match(name);
    if (!m.hasMatch())
        return name;
    const QString kind = QStringLiteral("%1 keys, %2 knobs, firmware %3").arg(m.captured(1), m.captured(2), m.captured(3));
    if (m.captured(4).isEmpty())
        return kind + QStringLiteral(" (any keypad of this kind)");
    return kind + QStringLiteral(", USB port ") + QUrl::fromPercentEncoding(m.captured(4).toLatin1());
}

std::array<AssignedCount, KeypadImage::kLayers> assignedPerLayer(const KeypadImage& image)
{
    std::array<AssignedCount, KeypadImage::kLayers> counts{};
    const Board board(image.identity);
    for (int layer = 0; layer < KeypadImage::kLayers; ++layer) {
        for (int slot : board.allSlots()) {
            const KeypadImage::Record& record = image.records[layer][slot];
            if (board.isLighting(slot) || ActionWords::holdsNothing(record))
                continue;
            (board.isKnob(slot) ? counts[layer].knobActions : counts[layer].keys)++;
        }
    }
    return counts;
}

QString assignedText(const KeypadImage& image)
{
    QStringList parts;
    const auto counts = assignedPerLayer(image);
    for (int layer = 0; layer < KeypadImage::kLayers; ++layer)
        parts << QStringLiteral("L%1 %2+%3").arg(layer + 1).arg(counts[layer].keys).arg(counts[layer].knobActions);
    return parts.join(QStringLiteral("  "));
}

BackupStore BackupStore::forUser()
{
    BackupStore store;
    // Relative values are invalid by the XDG rules and would put backups in
    // whatever folder the program was started from.
    const QString data = FileIo::xdgHome("XDG_DATA_HOME", QStringLiteral(".local/share"));
    if (data.isEmpty()) {
        store.problem_ = QStringLiteral("no folder for backups: neither XDG_DATA_HOME nor HOME is an absolute path "
                                        "(set one of them)");
        return store;
    }
    store.ownedRoot_ = QDir::cleanPath(data) + QStringLiteral("/tessaplex");
    store.baseDir_ = store.ownedRoot_ + QStringLiteral("/backups");
    return store;
}

BackupStore BackupStore::at(const QString& baseDir)
{
    BackupStore store;
    if (QDir::isAbsolutePath(baseDir))
        store.baseDir_ = QDir::cleanPath(baseDir);
    else if (!baseDir.isEmpty())
        store.baseDir_ = QDir::cleanPath(QDir::current().absoluteFilePath(baseDir));
    else
        store.problem_ = QStringLiteral("no folder for backups");
    return store;
}

BackupStore BackupStore::none()
{
    BackupStore store;
    store.off_ = true;
    return store;
}

QString BackupStore::folderFor(const BackupKeypad& keypad) const
{
    return baseDir_.isEmpty() ? QString() : baseDir_ + QLatin1Char('/') + keypad.folderName();
}

QStringList BackupStore::keypadFolders() const
{
    if (!available())
        return {};
    return QDir(baseDir_).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
}

QVector<BackupEntry> BackupStore::backupsIn(const QString& keypadFolder) const
{
    QVector<BackupEntry> entries;
    if (!available() || !folderProblem(baseDir_ + QLatin1Char('/') + keypadFolder).isEmpty())
        return entries;
    const QDir dir(baseDir_ + QLatin1Char('/') + keypadFolder);
    // Regular files only: a link or a FIFO with a backup's name is not one.
    for (const QString& name : dir.entryList({QStringLiteral("backup-*.json")}, QDir::Files | QDir::NoSymLinks)) {
        const QRegularExpressionMatch m = backupName().match(name);
        if (!m.hasMatch())
            continue;
        BackupEntry entry;
        entry.path = dir.filePath(name);
        entry.keypadFolder = keypadFolder;
        entry.sequence = m.captured(1).toLongLong();
        QDateTime taken = QDateTime::fromString(m.captured(2), QStringLiteral("yyyyMMdd-HHmmss"));
        if (!m.captured(3).isEmpty()) {
            taken.setTimeSpec(Qt::UTC);
            taken = taken.toLocalTime();
        }
        entry.taken = taken;
        entries << entry;
    }
    std::sort(entries.begin(), entries.end(),
              [](const BackupEntry& a, const BackupEntry& b) { return a.sequence > b.sequence; });
    if (!entries.isEmpty())
        entries.last().first = true;
    return entries;
}

QVector<BackupEntry> BackupStore::backups(const BackupKeypad& keypad) const
{
    return backupsIn(keypad.folderName());
}

BackupStore::Outcome BackupStore::backUp(const BackupKeypad& keypad, const KeypadImage& image, QString* error,
                                         QString* writtenPath)
{
    if (off_)
        return Outcome::Off;
    auto fail = [error](const QString& message) {
        if (error)
            *error = message;
        return Outcome::Failed;
    };
    if (baseDir_.isEmpty())
        return fail(problem_);
    const QString folder = folderFor(keypad);
    QStringList owned{baseDir_, folder};
    if (!ownedRoot_.isEmpty())
        owned.prepend(ownedRoot_);
    for (const QString& path : owned)
        if (const QString problem = folderProblem(path); !problem.isEmpty())
            return fail(problem);
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("the backup folder %1 cannot be created").arg(folder));
    // mkpath follows links; look again at what it made.
    for (const QString& path : owned)
        if (const QString problem = folderProblem(path); !problem.isEmpty())
            return fail(problem);

    // Two programs backing up one keypad at once must not pick the same
    // name or prune each other's newest.
    QLockFile lock(folder + QStringLiteral("/.lock"));
    lock.setStaleLockTime(30000);
    if (!lock.tryLock(5000))
        return fail(lock.error() == QLockFile::LockFailedError
                        ? QStringLiteral("another program keeps %1 busy").arg(folder)
                        : QStringLiteral("%1 cannot be written to").arg(folder));

    // Compared as the bytes of the file, so that a keypad holding something
    // the profile format spells differently still counts as unchanged.
    const QByteArray bytes = Profile::toJson(image);
    const QVector<BackupEntry> existing = backups(keypad);
    if (!existing.isEmpty() && contentsOf(existing.first().path, bytes.size()) == bytes)
        return Outcome::Unchanged;

    // A new name each time; anything already there under it (a planted link,
    // a FIFO) is left alone and the next number taken.
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    qint64 next = existing.isEmpty() ? 1 : existing.first().sequence + 1;
    QString path;
    for (int tries = 0; tries < 100; ++tries, ++next) {
        // Appended, not put through arg(): a folder name may hold "%2F".
        path = folder + QStringLiteral("/backup-%1-%2Z.json").arg(next, 6, 10, QLatin1Char('0')).arg(stamp);
        const QFileInfo there(path);
        if (!there.exists() && !there.isSymLink())
            break;
        path.clear();
    }
    if (path.isEmpty())
        return fail(QStringLiteral("%1 holds files in the way of a new backup").arg(folder));

    QString why;
    if (!FileIo::writeFileAtomically(path, bytes, &why))
        return fail(why);
    // Only a backup that reads back as what was meant counts, and only then
    // may an old one go.
    if (contentsOf(path, bytes.size()) != bytes) {
        QFile::remove(path);
        return fail(QStringLiteral("%1 did not read back as written").arg(path));
    }
    if (writtenPath)
        *writtenPath = path;

    const QVector<BackupEntry> all = backups(keypad);  // newest first; the last is the first ever taken
    for (int i = kKeep; i < all.size() - 1; ++i)
        QFile::remove(all[i].path);
    return Outcome::Written;
}

std::optional<KeypadImage> readKeypadImage(DeviceLink link, const DeviceInfo& kind, QString* why)
{
    KeypadConfig scratch;
    scratch.adoptDeviceInfo(kind);
    const WholeRead read = readWholeKeypad(link, scratch);
    if (read.complete())
        return scratch.image();
    if (why) {
        if (!read.keys.complete())
            *why = QStringLiteral("the keypad did not send all its key records (%1 missing or unusable)")
                       .arg(read.keys.requestsFailed + read.keys.repliesRejected);
        else
            *why = QStringLiteral("the keypad did not send the LED block of layer %1").arg(read.firstMissingLedLayer + 1);
    }
    return std::nullopt;
}
