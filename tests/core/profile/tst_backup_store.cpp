#include "core/device/hid_transport.h"
#include "core/profile/action_words.h"
#include "core/profile/backup_store.h"
#include "core/profile/profile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>

namespace {

KeypadImage imageWith(int value)
{
    KeypadImage image;
    image.identity = DeviceInfo{15, 3, 10, 0};
    const auto r = ActionWords::parse(QStringLiteral("Ctrl+ C"), {true, 0, 3}, nullptr);
    std::copy(r->begin(), r->end(), image.records[0][3].begin());
    image.led[1].mode = 2;
    image.led[2].colours[0] = uint8_t(value);
    image.led[2].colours[1] = uint8_t(value >> 8);
    return image;
}

QStringList filesUnder(const QString& path)
{
    QStringList files;
    QDirIterator it(path, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

}  // namespace

class TestBackupStore : public QObject {
    Q_OBJECT

private slots:
    // Two keypads of one kind keep apart (by serial, or by port without one),
    // an unchanged keypad adds nothing, and the first backup outlives 25 more.
    void eachKeypadItsOwnAndTheFirstKeptForGood()
    {
        QTemporaryDir dir;
        BackupStore store = BackupStore::at(dir.path());
        const DeviceInfo kind{15, 3, 10, 0};
        HidDeviceEntry entry{"/dev/hidraw0", 0x1189, 0x8840, 0, "AB/../12", "1-2"};
        const BackupKeypad one = BackupKeypad::of(kind, entry);
        const BackupKeypad two = BackupKeypad::of(kind, QStringLiteral("CD34"), QStringLiteral("1-2"));
        const BackupKeypad portA = BackupKeypad::of(kind, QString(), QStringLiteral("1-2.3"));
        const BackupKeypad portB = BackupKeypad::of(kind, QString(), QStringLiteral("1-4"));
        QVERIFY(!store.folderFor(one).contains(QLatin1String("/../")));
        QCOMPARE(BackupKeypad::describeFolder(one.folderName()), QString("serial AB/../12"));
        QCOMPARE(BackupKeypad::describeFolder(portA.folderName()),
                 QString("15 keys, 3 knobs, firmware 10, USB port 1-2.3"));

        const KeypadImage first = imageWith(1);
        for (const BackupKeypad& k : {one, two, portA, portB}) {
            QString error;
            QVERIFY2(store.backUp(k, first, &error) == BackupStore::Outcome::Written, qPrintable(error));
        }
        QCOMPARE(store.backUp(one, first), BackupStore::Outcome::Unchanged);
        for (int i = 2; i <= 26; ++i)
            QCOMPARE(store.backUp(one, imageWith(i * 257)), BackupStore::Outcome::Written);

        const QVector<BackupEntry> kept = store.backups(one);
        QCOMPARE(kept.size(), BackupStore::kKeep + 1);
        QVERIFY(kept.last().first && kept.last().sequence == 1);
        QVERIFY(Profile::loadProfile(kept.last().path, nullptr)->image == first);
        QVERIFY(Profile::loadProfile(kept.first().path, nullptr)->image == imageWith(26 * 257));
        QCOMPARE(kept[BackupStore::kKeep - 1].sequence, qint64(7));
        for (const BackupKeypad& k : {two, portA, portB})
            QCOMPARE(store.backups(k).size(), 1);
        QCOMPARE(store.keypadFolders().size(), 4);
        QCOMPARE(assignedText(first), QString("L1 1+0  L2 0+0  L3 0+0"));
    }

    // Backups go under an absolute XDG folder or nowhere: never the working
    // folder, never the root.
    void onlyAbsoluteFolders()
    {
        QTemporaryDir dir;
        const QByteArray home = qgetenv("HOME"), data = qgetenv("XDG_DATA_HOME");
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(dir.path());
        qputenv("XDG_DATA_HOME", "relative/data");
        qputenv("HOME", dir.path().toUtf8());
        QCOMPARE(BackupStore::forUser().baseDir(), dir.path() + "/.local/share/tessaplex/backups");
        for (const char* badHome : {"", "/", "also/relative"}) {
            qputenv("HOME", badHome);
            BackupStore store = BackupStore::forUser();
            QString error;
            QCOMPARE(store.backUp(BackupKeypad::of({15, 3, 10, 0}, "X", ""), imageWith(1), &error),
                     BackupStore::Outcome::Failed);
            QVERIFY2(error.contains("XDG_DATA_HOME") && error.contains("HOME"), qPrintable(error));
        }
        QVERIFY(filesUnder(dir.path()).isEmpty());
        QDir::setCurrent(cwd);
        qputenv("HOME", home);
        qputenv("XDG_DATA_HOME", data);
        QCOMPARE(BackupStore::none().backUp(BackupKeypad(), imageWith(1)), BackupStore::Outcome::Off);
    }

    // A file where the folder belongs, a link in place of the keypad's folder
    // or of the next backup's name: refused or stepped round, nothing written
    // anywhere else, nothing kept lost.
    void hostileFolders()
    {
        QTemporaryDir dir, elsewhere;
        const BackupKeypad keypad = BackupKeypad::of({15, 3, 10, 0}, "S1", "");
        QFile(dir.filePath("file")).open(QIODevice::WriteOnly);
        QString error;
        QCOMPARE(BackupStore::at(dir.filePath("file")).backUp(keypad, imageWith(1), &error),
                 BackupStore::Outcome::Failed);
        QVERIFY2(error.contains("not a folder"), qPrintable(error));

        QDir(dir.path()).mkpath("linked");
        QFile::link(elsewhere.path(), dir.filePath("linked/serial-S1"));
        QCOMPARE(BackupStore::at(dir.filePath("linked")).backUp(keypad, imageWith(1), &error),
                 BackupStore::Outcome::Failed);
        QVERIFY2(error.contains("symbolic link"), qPrintable(error));
        QVERIFY(filesUnder(elsewhere.path()).isEmpty());

        BackupStore store = BackupStore::at(dir.filePath("store"));
        QCOMPARE(store.backUp(keypad, imageWith(1)), BackupStore::Outcome::Written);
        // Links where the next backups would go, for this second and the next.
        const QDateTime now = QDateTime::currentDateTimeUtc();
        for (int second = 0; second < 3; ++second)
            for (int seq = 2; seq < 4; ++seq)
                QFile::link(elsewhere.filePath("target"),
                            store.folderFor(keypad)
                                + QStringLiteral("/backup-%1-%2Z.json")
                                      .arg(seq, 6, 10, QLatin1Char('0'))
                                      .arg(now.addSecs(second).toString("yyyyMMdd-HHmmss")));
        QCOMPARE(store.backUp(keypad, imageWith(2)), BackupStore::Outcome::Written);
        QVERIFY(filesUnder(elsewhere.path()).isEmpty());
        QCOMPARE(store.backups(keypad).size(), 2);  // links are no backups
        QVERIFY(Profile::loadProfile(store.backups(keypad).first().path, nullptr)->image == imageWith(2));
    }

    // On a full disk a backup fails at commit: no empty file appears and no
    // good backup goes.
    void fullDiskKeepsTheOldBackups()
    {
        QTemporaryDir dir;
        if (::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0, "size=96k") != 0)
            QSKIP("a small tmpfs cannot be mounted here (needs root)");
        BackupStore store = BackupStore::at(dir.path());
        const BackupKeypad keypad = BackupKeypad::of({15, 3, 10, 0}, "S1", "");
        for (int i = 1; i <= BackupStore::kKeep + 1; ++i)
            QCOMPARE(store.backUp(keypad, imageWith(i)), BackupStore::Outcome::Written);
        const QVector<BackupEntry> before = store.backups(keypad);
        {
            QFile filler(dir.filePath("filler"));
            filler.open(QIODevice::WriteOnly);
            const QByteArray block(4096, 'x');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        }
        QString error;
        QCOMPARE(store.backUp(keypad, imageWith(99), &error), BackupStore::Outcome::Failed);
        QVERIFY(!error.isEmpty());
        const QVector<BackupEntry> after = store.backups(keypad);
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < after.size(); ++i) {
            QCOMPARE(after[i].path, before[i].path);
            QVERIFY(Profile::loadProfile(after[i].path, nullptr));
        }
        QCOMPARE(filesUnder(store.folderFor(keypad)).size(), before.size());  // no temporary file left
        ::umount(QFile::encodeName(dir.path()).constData());
    }
};

QTEST_GUILESS_MAIN(TestBackupStore)
#include "tst_backup_store.moc"
