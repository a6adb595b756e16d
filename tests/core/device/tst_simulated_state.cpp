#include "core/device/device_exchanges.h"
#include "core/device/keypad_lock.h"
#include "core/device/simulated_state.h"

#include <QtTest>

#include <cstring>

namespace {

// A keypad whose memory differs from a fresh one everywhere the file keeps something.
void fill(SimulatedKeypad& keypad)
{
    keypad.info = DeviceInfo{9, 2, 9, 1};
    for (int layer = 0; layer < 3; ++layer) {
        for (int i = 0; i < 64; ++i)
            keypad.storedRecords[layer][5 + layer][i] = static_cast<uint8_t>(layer * 64 + i);
        keypad.ledBlocks[layer].mode = static_cast<uint8_t>(layer + 2);
        keypad.ledBlocks[layer].colours[47] = 0xAB;
    }
    keypad.storedRecords[2][59][63] = 0xFF;
}

bool sameMemory(const SimulatedKeypad& a, const SimulatedKeypad& b)
{
    if (!(a.info == b.info) || std::memcmp(a.storedRecords, b.storedRecords, sizeof a.storedRecords) != 0)
        return false;
    for (int layer = 0; layer < 3; ++layer)
        if (a.ledBlocks[layer].mode != b.ledBlocks[layer].mode ||
            std::memcmp(a.ledBlocks[layer].colours, b.ledBlocks[layer].colours, kLedColourBytes) != 0)
            return false;
    return true;
}

}  // namespace

class TestSimulatedState : public QObject {
    Q_OBJECT

private slots:
    void savedMemoryLoadsBackWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("keypad.json");
        SimulatedKeypad original;
        fill(original);
        SimulatedStateFile writer(path);
        QVERIFY2(writer.save(original), qPrintable(writer.error()));

        SimulatedKeypad loaded;
        SimulatedStateFile reader(path);
        QCOMPARE(reader.load(loaded), SimulatedStateFile::LoadOutcome::Loaded);
        QVERIFY(sameMemory(original, loaded));

        SimulatedKeypad untouched;
        QCOMPARE(SimulatedStateFile(dir.filePath("none.json")).load(untouched),
                 SimulatedStateFile::LoadOutcome::Missing);
        QVERIFY(sameMemory(untouched, SimulatedKeypad()));
    }

    void damagedFileIsRefusedAndLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("named");
        const QJsonObject good = QJsonDocument::fromJson(SimulatedStateFile::serialize(SimulatedKeypad())).object();
        auto edited = [&](const QString& key, const QJsonValue& value) {
            QJsonObject root = good;
            root[key] = value;
            return QJsonDocument(root).toJson();
        };
        auto withRecords = [&](const QJsonArray& records) { return edited("records", records); };
        const QString bytes(128, 'a');
        QJsonArray led = good["led"].toArray();
        QJsonObject firstBlock = led[0].toObject();
        firstBlock["colours"] = QString(94, '0');
        led[0] = firstBlock;

        QTest::newRow("not json") << QByteArray("{\"format\": ") << "not valid JSON";
        QTest::newRow("other format") << edited("format", "x") << "format";
        QTest::newRow("newer version") << edited("version", 2) << "version";
        QTest::newRow("identity out of range")
            << edited("identity", QJsonObject{{"keys", 256}, {"knobs", 3}, {"firmware", 10}, {"variant", 0}}) << "keys";
        QTest::newRow("short colours") << edited("led", led) << "LED block 1";
        QTest::newRow("two LED blocks") << edited("led", QJsonArray{led[1], led[2]}) << "LED blocks";
        QTest::newRow("layer 0") << withRecords({QJsonObject{{"layer", 0}, {"slot", 3}, {"bytes", bytes}}})
                                 << "record 1";
        QTest::newRow("slot 60") << withRecords({QJsonObject{{"layer", 1}, {"slot", 60}, {"bytes", bytes}}})
                                 << "slot";
        QTest::newRow("slot twice") << withRecords({QJsonObject{{"layer", 1}, {"slot", 3}, {"bytes", bytes}},
                                                    QJsonObject{{"layer", 1}, {"slot", 3}, {"bytes", bytes}}})
                                    << "twice";
        QTest::newRow("bytes not hex")
            << withRecords({QJsonObject{{"layer", 1}, {"slot", 3}, {"bytes", QString(128, 'g')}}}) << "hex";
    }

    void damagedFileIsRefusedAndLeftAlone()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, named);
        QTemporaryDir dir;
        const QString path = dir.filePath("keypad.json");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();

        SimulatedKeypad keypad;
        SimulatedStateFile state(path);
        QCOMPARE(state.load(keypad), SimulatedStateFile::LoadOutcome::Damaged);
        QVERIFY2(state.error().contains(path) && state.error().contains(named), qPrintable(state.error()));
        QVERIFY(sameMemory(keypad, SimulatedKeypad()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), contents);
    }

    // What a save committed, and only that, is on disk at once; a save that
    // cannot be written fails the write that caused it.
    void commitsAndLedBlocksReachTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("keypad.json");
        SimulatedKeypad keypad;
        SimulatedStateFile state(path);
        PersistentKeypad persistent(keypad, state);
        const HidHandle handle = persistent.open("/dev/hidraw0").handle;
        QVERIFY(handle);

        uint8_t record[64] = {0xFD, 3, 1, 1, 0, 0x06};
        const Report recordReport = buildKeyRecordReport(record, true);
        QVERIFY(persistent.write(handle, recordReport.data(), recordReport.size()) > 0);
        QVERIFY(!QFile::exists(path));  // staged only
        const Report commit = buildCommitReport();
        QVERIFY(persistent.write(handle, commit.data(), commit.size()) > 0);
        uint8_t colours[kLedColourBytes] = {1, 2, 3};
        const Report led = buildLedBlockReport(2, 4, colours);
        QVERIFY(persistent.write(handle, led.data(), led.size()) > 0);

        SimulatedKeypad reloaded;
        QCOMPARE(SimulatedStateFile(path).load(reloaded), SimulatedStateFile::LoadOutcome::Loaded);
        QVERIFY(sameMemory(keypad, reloaded));
        QCOMPARE(reloaded.storedRecords[0][3][5], uint8_t(0x06));
        QCOMPARE(reloaded.ledBlocks[2].mode, uint8_t(4));

        SimulatedStateFile nowhere(dir.filePath("missing-dir/keypad.json"));
        PersistentKeypad failing(keypad, nowhere);
        QCOMPARE(failing.write(handle, commit.data(), commit.size()), -1);
        QVERIFY(QString::fromStdWString(failing.error(handle)).contains("missing-dir"));
        QVERIFY(!failing.flush());
    }

    // One state file, one lock whatever the path's spelling, held from the
    // load on; a lock left by a process that died is taken over.
    void stateFileHasOneHolder()
    {
        QTemporaryDir dir;
        qputenv("XDG_RUNTIME_DIR", dir.path().toUtf8());
        const QString path = dir.filePath("keypad.json");
        SimulatedKeypad keypad;
        SimulatedStateFile first(path);
        QCOMPARE(first.load(keypad), SimulatedStateFile::LoadOutcome::Missing);
        QVERIFY(first.save(keypad));

        KeypadLock probe(dir.path() + "/../" + QFileInfo(dir.path()).fileName() + "/keypad.json");
        QVERIFY(probe.lockPath().startsWith(dir.path()));
        QVERIFY(QFile::exists(probe.lockPath()));  // the spelling does not matter: one file, one lock

        QFile stale(dir.filePath("stale.lock"));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("999999999\ntessaplex-cli\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();
        KeypadLock dead(dir.filePath("device"));
        QVERIFY(QFile::rename(stale.fileName(), dead.lockPath()));
        QVERIFY(dead.acquire(0));

        qputenv("XDG_RUNTIME_DIR", "relative");
        QCOMPARE(KeypadLock::lockFolder(), QDir::tempPath());
        qunsetenv("XDG_RUNTIME_DIR");
    }
};

QTEST_GUILESS_MAIN(TestSimulatedState)
#include "tst_simulated_state.moc"
