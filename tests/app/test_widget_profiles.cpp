// Profiles through the window: export, import, drop, backups, driven through
// the window's own buttons against simulated keypads.

#include "widget_harness.h"

#include <QAction>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <algorithm>

#include "app/window/backup_browser.h"
#include "app/window/edit_history.h"
#include "app/window/keypad_backups.h"
#include "app/window/profile_actions.h"
#include "core/profile/action_words.h"
#include "core/device/protocol.h"
#include "core/profile/backup_store.h"
#include "core/profile/profile.h"
#include <sys/stat.h>


using namespace harness;

const QString kSaved = QStringLiteral("Saved successfully");

namespace {

// Picks the file instead of a person, and remembers what the window said.
struct FakeDialogs : ProfileDialogs {
    QString path;
    QString openedIn;
    QStringList told;
    bool problemTold = false;
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return path; }
    QString openFileName(QWidget*, const QString&, const QString& folder, const QString&) override
    {
        openedIn = folder;
        return path;
    }
    void tell(QWidget*, const QString&, const QString& text, bool problem) override
    {
        told << text;
        problemTold = problemTold || problem;
    }
};

QString example(const char* name)
{
    return QStringLiteral(TESSAPLEX_SOURCE_DIR "/docs/examples/") + QLatin1String(name);
}

// What a read-back can tell of a keypad: its LED blocks, and of the records
// the slots and bytes the keypad reports (the old format's lighting slot 0
// and the bytes past a reply's end never come back).
void maskUnreadable(SimulatedKeypad& k)
{
    const bool current = k.currentFormat();
    const int bytes = int(current ? kCurrentKeyReplyBytes : kOldKeyReplyBytes) - 1;
    const std::vector<int> readSlots = keyReadSlotOrder(current, current ? kCurrentReadSlots : kOldReadSlots,
                                                    kOldReadKnobs);
    for (auto& layer : k.storedRecords)
        for (int slot = 0; slot < 60; ++slot) {
            const bool read = std::find(readSlots.begin(), readSlots.end(), slot) != readSlots.end();
            std::fill(layer[slot] + (read ? bytes : 0), layer[slot] + 64, uint8_t(0));
        }
}

void compareMemory(const SimulatedKeypad& a, const SimulatedKeypad& b)
{
    for (int layer = 0; layer < 3; ++layer) {
        for (int slot = 0; slot < 60; ++slot)
            QCOMPARE(bytesOf(b.storedRecords[layer][slot], 64), bytesOf(a.storedRecords[layer][slot], 64));
        QCOMPARE(int(b.ledBlocks[layer].mode), int(a.ledBlocks[layer].mode));
        QCOMPARE(bytesOf(b.ledBlocks[layer].colours, kLedColourBytes), bytesOf(a.ledBlocks[layer].colours, kLedColourBytes));
    }
}

}  // namespace

class TestWidgetProfiles : public QObject {
    Q_OBJECT

private slots:
    void roundTripThroughTwoKeypads_data();
    void roundTripThroughTwoKeypads();
    void refusedFileChangesNothing_data();
    void refusedFileChangesNothing();
    void streamsAndDevicesAreRefusedAtOnce();
    void otherBoardImportsTheRestAndSaysWhat();
    void importGoesOntoTheBoardTheProductIdPicks();
    void backupsBeforeEveryWriteRestoredFromTheBrowser_data();
    void backupsBeforeEveryWriteRestoredFromTheBrowser();
    void noBackupAsksBeforeSaving();
    void buttonsFollowTheLanguage();

private:
    // A window on keypad, with the fake dialogs and backups in the temp dir.
    std::unique_ptr<Widget> open(SimulatedKeypad& keypad)
    {
        auto w = freshWindow(keypad);
        dialogs = new FakeDialogs;
        w->profiles().setDialogs(std::unique_ptr<ProfileDialogs>(dialogs));
        w->backups().setStore(BackupStore::at(backupDir()));
        w->show();
        connectKeypad(*w);
        return w;
    }

    // Each test function its own backups.
    QString backupDir() const
    {
        return dir.filePath(QLatin1String(QTest::currentTestFunction()) + QLatin1Char('-')
                            + QLatin1String(QTest::currentDataTag()));
    }

    QTemporaryDir dir;
    FakeDialogs* dialogs = nullptr;
};

void TestWidgetProfiles::roundTripThroughTwoKeypads_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<int>("keys");
    QTest::addColumn<int>("knobs");
    QTest::addColumn<int>("firmware");
    QTest::newRow("current format") << example("fifteen-keys-three-knobs.json") << 15 << 3 << 10;
    QTest::newRow("old format") << example("twelve-keys-old-firmware.json") << 12 << 2 << 9;
}

// Keypad A gets an example through the window plus records the program has no
// words for; its export, imported into an empty keypad B and saved, leaves B
// holding exactly what A holds.
void TestWidgetProfiles::roundTripThroughTwoKeypads()
{
    QFETCH(QString, profile);
    QFETCH(int, keys);
    QFETCH(int, knobs);
    QFETCH(int, firmware);
    const DeviceInfo board{uint8_t(keys), uint8_t(knobs), uint8_t(firmware), 0};
    SimulatedKeypad a(board);
    {
        auto w = open(a);
        dialogs->path = profile;
        click(*w, "importProfile");
        QVERIFY2(dialogs->told.isEmpty(), qPrintable(dialogs->told.join('\n')));
        QVERIFY(w->config().anyUnsaved());
        click(*w, "download");
        QVERIFY(!w->config().anyUnsaved());
    }
    // Bytes no caption names, in a key and a knob action of layer 2.
    const int recordBytes = firmware > 9 ? 64 : 50;
    for (int slot : {4, 17}) {
        uint8_t* rec = a.storedRecords[1][slot];
        rec[0] = 0xFD, rec[1] = uint8_t(slot), rec[2] = 2;
        for (int i = 3; i < recordBytes; ++i)
            rec[i] = uint8_t(i * 37 + slot);
    }

    const QString file = dir.filePath(QStringLiteral("a.json"));
    {
        auto w = open(a);
        dialogs->path = file;
        click(*w, "exportProfile");
        QFile exported(file);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        const QByteArray json = exported.readAll();
        // Keys never assigned are left out, not listed as the window's placeholders.
        QVERIFY(!json.contains("\"none\"") && !json.contains("@1=") && !json.contains("slot 0"));
    }
    SimulatedKeypad b(board);
    auto w = open(b);
    b.received.clear();
    dialogs->path = file;
    click(*w, "importProfile");
    QVERIFY2(dialogs->told.isEmpty(), qPrintable(dialogs->told.join('\n')));
    QVERIFY(b.received.empty());  // an import only edits
    QCOMPARE(int(store().KeyDirty[1][4]), 1);
    click(*w, "download");
    maskUnreadable(a);
    compareMemory(a, b);
}

void TestWidgetProfiles::refusedFileChangesNothing_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("place");
    const QByteArray head = R"({"format": "tessaplex-profile", "version": 1,
        "keypad": {"keys": 15, "knobs": 3, "firmware": 10, "variant": 0}, "layers": [)";
    QTest::newRow("damaged") << QByteArray(R"({"format": "tessaplex-profile", "ver)") << "bad.json";
    QTest::newRow("unknown format")
        << QByteArray(R"({"format": "other", "version": 1, "layers": []})") << "format";
    QTest::newRow("newer version")
        << QByteArray(R"({"format": "tessaplex-profile", "version": 2, "layers": []})") << "version";
    QTest::newRow("unknown key") << head + R"({"keys": {"K1": "A", "K16": "B"}}]})" << "K16";
    QTest::newRow("value out of range") << head + R"({"keys": {"K1": "A"}, "led": {"mode": 9, "colours": []}}]})"
                                        << "layer 1";
    QTest::newRow("too many entries") << head + R"({"keys": {"K2": "A B C D E F G H I J K L M N O P Q R S T"}}]})"
                                      << "K2";
}

// Nothing in the window, on the keypad or in the unsaved marks moves; one
// message names the place.
void TestWidgetProfiles::refusedFileChangesNothing()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, place);
    SimulatedKeypad keypad(DeviceInfo{15, 3, 10, 0});
    auto w = open(keypad);
    click(keyButton(*w, 3));
    click(*w, "key_A");
    const StoreSnapshot before(store());
    const QString caption = keyButton(*w, 1)->text();
    keypad.received.clear();

    dialogs->path = dir.filePath(QStringLiteral("bad.json"));
    QFile file(dialogs->path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(json) == json.size());
    file.close();
    click(*w, "importProfile");

    QVERIFY(StoreSnapshot(store()) == before);
    QCOMPARE(keyButton(*w, 1)->text(), caption);
    QVERIFY(keypad.received.empty());
    QCOMPARE(dialogs->told.size(), 1);
    QVERIFY(dialogs->problemTold);
    QVERIFY2(dialogs->told[0].contains(place), qPrintable(dialogs->told[0]));
    QVERIFY(status(*w).contains(place));
}

// Import... of a FIFO no one writes to, or of a link to /dev/zero, neither
// waits nor reads: it is refused as not a file.
void TestWidgetProfiles::streamsAndDevicesAreRefusedAtOnce()
{
    SimulatedKeypad keypad(DeviceInfo{15, 3, 10, 0});
    auto w = open(keypad);
    const QString fifo = dir.filePath(QStringLiteral("fifo.json"));
    const QString zero = dir.filePath(QStringLiteral("zero.json"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zero));
    const StoreSnapshot before(store());
    for (const QString& path : {fifo, zero}) {
        dialogs->told.clear();
        dialogs->path = path;
        QElapsedTimer clock;
        clock.start();
        click(*w, "importProfile");
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(dialogs->told.size(), 1);
        QVERIFY2(dialogs->told[0].contains(QLatin1String("not a regular file")), qPrintable(dialogs->told[0]));
        QVERIFY(StoreSnapshot(store()) == before);
    }
}

// A 15-key profile on a 12-key keypad: the keys it has are imported, K13..K15
// and the third knob are listed, in the status bar and a message.
void TestWidgetProfiles::otherBoardImportsTheRestAndSaysWhat()
{
    SimulatedKeypad keypad(DeviceInfo{12, 2, 10, 0});
    auto w = open(keypad);
    dialogs->path = example("fifteen-keys-three-knobs.json");
    click(*w, "importProfile");
    QCOMPARE(int(store().KeyDirty[0][1]), 1);
    QCOMPARE(int(store().KeyDirty[0][13]), 0);
    QCOMPARE(dialogs->told.size(), 1);
    QVERIFY2(dialogs->told[0].contains(QLatin1String("K13")), qPrintable(dialogs->told[0]));
    QVERIFY(status(*w).contains(QLatin1String("not imported")));
    QVERIFY(keyButton(*w, 1)->text().contains(QLatin1String("C")));
}

// Two knobs alone are two boards; on product 0x8850 the second knob presses.
void TestWidgetProfiles::importGoesOntoTheBoardTheProductIdPicks()
{
    SimulatedKeypad keypad(DeviceInfo{0, 2, 10, 0}, 0x1189, 0x8850);
    auto w = open(keypad);
    dialogs->path = dir.filePath(QStringLiteral("press.json"));
    QFile file(dialogs->path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"format": "tessaplex-profile", "version": 1,
        "keypad": {"keys": 15, "knobs": 3, "firmware": 10, "variant": 0},
        "layers": [{"keys": {"knob 2 press": "A"}}]})");
    file.close();
    click(*w, "importProfile");
    QVERIFY2(!status(*w).contains(QLatin1String("not imported")), qPrintable(status(*w)));
    QCOMPARE(int(store().KeyDirty[0][20]), 1);
    QCOMPARE(keyButton(*w, 20)->accessibleName(), QStringLiteral("Knob 2 press: A"));
}

void TestWidgetProfiles::backupsBeforeEveryWriteRestoredFromTheBrowser_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<int>("keys");
    QTest::addColumn<int>("knobs");
    QTest::addColumn<int>("firmware");
    QTest::newRow("current format") << example("fifteen-keys-three-knobs.json") << 15 << 3 << 10;
    QTest::newRow("old format") << example("twelve-keys-old-firmware.json") << 12 << 2 << 9;
}

// The first read, a save and a model switch each leave what the keypad held;
// the browser previews a backup on the picture and restores it as one
// undoable, unsaved step that "Save settings" puts back byte for byte.
void TestWidgetProfiles::backupsBeforeEveryWriteRestoredFromTheBrowser()
{
    QFETCH(QString, profile);
    QFETCH(int, keys);
    QFETCH(int, knobs);
    QFETCH(int, firmware);
    SimulatedKeypad keypad(DeviceInfo{uint8_t(keys), uint8_t(knobs), uint8_t(firmware), 0});
    auto w = open(keypad);
    const BackupStore& backups = w->backups().store();
    const BackupKeypad who = w->backups().keypad();
    QCOMPARE(who.serial, QString("SIM-0001"));
    QCOMPARE(backups.backups(who).size(), 1);  // the keypad as first seen

    dialogs->path = profile;
    click(*w, "importProfile");
    click(*w, "download");
    QCOMPARE(backups.backups(who).size(), 1);  // it still held what the first backup holds
    SimulatedKeypad held(keypad.info);
    std::memcpy(held.storedRecords, keypad.storedRecords, sizeof held.storedRecords);
    std::copy(std::begin(keypad.ledBlocks), std::end(keypad.ledBlocks), held.ledBlocks);

    // Keys the profile assigned: a slot never written cannot be made
    // unwritten again, only cleared.
    const bool current = firmware > 9;
    for (int layer = 0; layer < 3; ++layer)
        for (int slot = 1; slot <= keys; ++slot)
            if (held.storedRecords[layer][slot][0] != 0) {
                w->config().setRecord(layer, slot, ActionWords::parse("Volume+", {current, layer, slot}, nullptr)->data());
                break;
            }
    if (current)
        w->config().setLayerLedMode(2, 5);
    click(*w, "download");
    QCOMPARE(backups.backups(who).size(), 2);
    QCOMPARE(status(*w), kSaved);
    const QString taken = backups.backups(who).first().path;

    w->settingsMenu()->findChild<QAction*>("backups")->trigger();
    QVERIFY(settle(*w));  // the LED layers not read yet, for the comparison
    const QPointer<BackupBrowser> browser = w->findChild<BackupBrowser*>();
    QVERIFY(browser);
    QCOMPARE(browser->count(), 2);
    browser->select(0);
    QCOMPARE(browser->selectedPath(), taken);
    QVERIFY(!keyButton(*w, 1)->text().contains("Volume+"));  // the backup on the picture
    browser->restoreSelected();
    QVERIFY(settle(*w));
    QVERIFY(!browser || !browser->isVisible());  // it closes once restored
    QVERIFY(keyButton(*w, 1)->text().contains("Volume+") == false);
    QVERIFY(w->config().anyUnsaved());
    w->history()->undo();
    QVERIFY(keyButton(*w, 1)->text().contains("Volume+"));
    w->history()->redo();
    click(*w, "download");
    QCOMPARE(backups.backups(who).size(), 3);  // the restore's own backup first
    compareMemory(held, keypad);

    // A model switch keeps what the keypad held before it.
    w->config().setRecord(0, 2, ActionWords::parse("Volume-", {current, 0, 2}, nullptr)->data());
    click(*w, "download");
    QCOMPARE(backups.backups(who).size(), 4);  // read whole: it held the restored backup
    QVERIFY(QMetaObject::invokeMethod(w.get(), "Set_Keyboard_Ver_SLOT", Q_ARG(int, 15)));
    QVERIFY(settle(*w));
    QCOMPARE(backups.backups(who).size(), 5);
    QVERIFY(Profile::loadProfile(backups.backups(who).first().path, nullptr)->image.records[0][2]
            == w->config().image().records[0][2]);
}

// Without a backup the window asks; "Cancel" sends nothing.
void TestWidgetProfiles::noBackupAsksBeforeSaving()
{
    SimulatedKeypad keypad(DeviceInfo{15, 3, 10, 0});
    auto w = open(keypad);
    QFile(dir.filePath("not-a-folder")).open(QIODevice::WriteOnly);
    w->backups().setStore(BackupStore::at(dir.filePath("not-a-folder")));
    QStringList asked;
    bool answer = false;
    w->backups().setQuestion([&](const QString&, const QString& text) {
        asked << text;
        return answer;
    });
    w->config().setRecord(0, 3, ActionWords::parse("Volume+", {true, 0, 3}, nullptr)->data());
    const std::vector<uint8_t> before = bytesOf(keypad.storedRecords[0][3], 64);
    click(*w, "download");
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.first().contains("not a folder"), qPrintable(asked.first()));
    QCOMPARE(bytesOf(keypad.storedRecords[0][3], 64), before);
    QVERIFY(w->config().anyUnsaved());
    answer = true;
    click(*w, "download");
    QCOMPARE(status(*w), kSaved);
    QVERIFY(!w->config().anyUnsaved());
}

void TestWidgetProfiles::buttonsFollowTheLanguage()
{
    SimulatedKeypad keypad(DeviceInfo{15, 3, 10, 0});
    {
        // No keypad yet: nothing to export, nothing to import onto.
        auto unconnected = freshWindow(keypad);
        auto* fake = new FakeDialogs;
        unconnected->profiles().setDialogs(std::unique_ptr<ProfileDialogs>(fake));
        QVERIFY(!unconnected->profiles().importFile(example("fifteen-keys-three-knobs.json")));
        QVERIFY(!store().anyKeyDirty());
        QCOMPARE(fake->told.size(), 1);
    }
    auto w = open(keypad);
    QCOMPARE(button(*w, "exportProfile")->text(), QStringLiteral("Export..."));
    QVERIFY(button(*w, "dowload_kuang")->geometry().contains(button(*w, "importProfile")->geometry()));
    w->on_change_clicked();
    QCOMPARE(button(*w, "exportProfile")->text(), QStringLiteral("导出..."));
    QCOMPARE(button(*w, "importProfile")->text(), QStringLiteral("导入..."));
}

QTEST_MAIN(TestWidgetProfiles)
#include "test_widget_profiles.moc"
