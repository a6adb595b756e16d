#include "core/keypad/keypad_config.h"
#include "core/keypad/config_store.h"
#include "core/keypad/key_table.h"

#include <QtTest>

#include <cstring>
#include <memory>

Q_DECLARE_METATYPE(WriteResult)

namespace {

using Bytes = QList<int>;
using ByteMap = QMap<int, int>;

constexpr uint8_t kCurrentVersion = 10;
constexpr uint8_t kOldVersion = 0;

// A store as the main window leaves it after start-up, plus the click routing
// of the value buttons, so the cases read like the user's clicks.
struct Editor {
    std::unique_ptr<ConfigStore> store = std::make_unique<ConfigStore>();
    CaptionLookup lookup;

    Editor(bool currentFormat, uint8_t key, uint8_t layer = 0, uint8_t mode = ModeKeys)
    {
        lookup.rebuild(0);
        lookup.rebuild(1);
        store->InitKeyRecords();
        store->Cur_KeyBoard_KeyNum[2] = currentFormat ? kCurrentVersion : kOldVersion;
        store->Select_PHY_Key_Layer = layer;
        store->Select_PHY_Key_Mode = mode;
        select(key);
    }

    void select(uint8_t key)
    {
        store->Select_PHY_Key = key;
        if (key != 0)
            store->WriteSelectionHeader(key);
    }

    WriteResult click(const QString& caption)
    {
        const int index = lookup.indexOf(caption);
        if (index < 0)
            return WriteResult::Ignored;
        const KeyGroup group = KeyTable::groupOf(index);
        if (store->Select_PHY_Key == 0) {
            if (!store->currentFormat() && group == KeyGroup::Lighting)
                return store->SetRgb_Led_Key(index);
            return WriteResult::NoKeySelected;
        }
        if (store->selectedRecord()[3] != store->Select_PHY_Key_Mode)
            store->ClearSelectedRecord();
        switch (group) {
        case KeyGroup::Modifier: return store->AddModifier(index);
        case KeyGroup::Multimedia: return store->SetMediaKey(index);
        case KeyGroup::Mouse: return store->SetMouseKey(index);
        default: return store->AddKeyCode(index);
        }
    }

    void clickAll(const QStringList& captions)
    {
        for (const QString& caption : captions)
            QCOMPARE(click(caption), WriteResult::Written);
    }

    uint8_t* rec() { return store->selectedRecord(); }
};

Bytes currentEntryCodes(const uint8_t* rec)
{
    Bytes codes;
    for (int n = 0; n < rec[5]; ++n)
        codes << rec[8 + 3 * n];
    return codes;
}

Bytes oldPairs(const uint8_t* rec)
{
    Bytes bytes;
    for (int n = 0; n < rec[9]; ++n)
        bytes << rec[10 + 2 * n] << rec[11 + 2 * n];
    return bytes;
}

QByteArray snapshot(const ConfigStore& store)
{
    return QByteArray(reinterpret_cast<const char*>(&store), sizeof store);
}

}  // namespace

class TestConfigStore : public QObject {
    Q_OBJECT

private slots:
    void loadValues();
    void freshStartWritesOldFormat();
    void currentFormatSequences_data();
    void currentFormatSequences();
    void oldFormatPairs_data();
    void oldFormatPairs();
    void multimediaReplacesPrevious_data();
    void multimediaReplacesPrevious();
    void mouseActions_data();
    void mouseActions();
    void pageChangeClearsOtherMode();
    void oldFormatLighting_data();
    void oldFormatLighting();
    void fullRecordRefusesWholeValue_data();
    void fullRecordRefusesWholeValue();
    void corruptCountNeverWritesPastRecord_data();
    void corruptCountNeverWritesPastRecord();
    void noKeySelectedChangesNothing();
    void delays();
    void dataValue();
    void clearLayerLeavesNoCodeBehind();
    void dirtyFlags();
    void configAnnouncesAndImportsLikeClicks();
};

void TestConfigStore::loadValues()
{
    // Every configuration is its own: one edited leaves another alone.
    KeypadConfig config;
    KeypadConfig other;
    other.rawStore().Select_PHY_Key_Mode = ModeMouse;
    const ConfigStore& store = config.store();
    QCOMPARE(int(store.PHY2_KEY_Value[1][7][0]), 0xFD);
    QCOMPARE(int(store.Select_PHY_Key_Mode), 1);
    QCOMPARE(int(store.Select_PHY_Key), 0);
    QVERIFY(!store.currentFormat());
    QCOMPARE(Bytes({store.Layout_KeyBoard_KeyNum[0], store.Layout_KeyBoard_KeyNum[1],
                    store.Layout_KeyBoard_KeyNum[2], store.Layout_KeyBoard_KeyNum[3]}),
             Bytes({15, 3, 0, 0}));
    for (int layer = 0; layer < kLayers; ++layer) {
        QCOMPARE(Bytes({store.KeyBoard_KeyLed[layer][0], store.KeyBoard_KeyLed[layer][1], store.KeyBoard_KeyLed[layer][2]}),
                 Bytes({0xFF, 0x00, 0x00}));
        QCOMPARE(Bytes({store.KeyBoard_KeyLed[layer][27], store.KeyBoard_KeyLed[layer][28], store.KeyBoard_KeyLed[layer][29]}),
                 Bytes({0xFF, 0xFF, 0x96}));
        QCOMPARE(Bytes({store.KeyBoard_KeyLed[layer][45], store.KeyBoard_KeyLed[layer][46], store.KeyBoard_KeyLed[layer][47]}),
                 Bytes({0xFF, 0xC8, 0x64}));
    }
    QVERIFY(!store.anyKeyDirty());
    QCOMPARE(store.record(3, 0), nullptr);
    QCOMPARE(store.record(0, 60), nullptr);
}

void TestConfigStore::freshStartWritesOldFormat()
{
    Editor e(false, 3, 1);
    e.store->Cur_KeyBoard_KeyNum[2] = 0;
    QCOMPARE(e.click("A"), WriteResult::Written);
    const uint8_t* rec = e.store->PHY_KEY_Value[1][3];
    QCOMPARE(Bytes({rec[0], rec[1], rec[2], rec[3], rec[9], rec[10], rec[11]}),
             Bytes({0xFD, 3, 2, 1, 1, 0x00, 0x04}));
    QCOMPARE(int(e.store->PHY2_KEY_Value[1][3][5]), 0);
}

void TestConfigStore::currentFormatSequences_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<Bytes>("entries");

    QTest::newRow("Ctrl Shift A") << QStringList{"Ctrl+", "Shift+", "A"} << Bytes{0xF1, 0xF2, 0x04};
    QTest::newRow("four modifiers keep Ctrl Alt Shift Win order")
        << QStringList{"Ctrl+Alt+Shift+Win+", "A"} << Bytes{0xF1, 0xF3, 0xF2, 0xF4, 0x04};
    QTest::newRow("Alt+Shift+ puts Alt first") << QStringList{"Alt+Shift+", "B"} << Bytes{0xF3, 0xF2, 0x05};
    QTest::newRow("Ctrl+Alt+Win+") << QStringList{"Ctrl+Alt+Win+", "Delete"} << Bytes{0xF1, 0xF3, 0xF4, 0x4C};
    QTest::newRow("shifted symbol takes two entries") << QStringList{"!"} << Bytes{0xF2, 0x1E};
    QTest::newRow("Apple names") << QStringList{"command", "option", "control"} << Bytes{0xF4, 0xF3, 0xF1};
    QTest::newRow("right modifiers") << QStringList{"Right Win+", "Right option"} << Bytes{0xF8, 0xF7};
    QTest::newRow("NULL appends an empty entry") << QStringList{"A", "NULL", "B"} << Bytes{0x04, 0x00, 0x05};
    QTest::newRow("main and keypad Enter") << QStringList{"ENTER", "Enter"} << Bytes{0x28, 0x58};
}

void TestConfigStore::currentFormatSequences()
{
    QFETCH(QStringList, clicks);
    QFETCH(Bytes, entries);

    Editor e(true, 5, 2);
    e.store->SetEntryDelay(0, 300);
    e.clickAll(clicks);
    const uint8_t* rec = e.store->PHY2_KEY_Value[2][5];
    QCOMPARE(Bytes({rec[0], rec[1], rec[2], rec[3], rec[4]}), Bytes({0xFD, 5, 3, 1, 0}));
    QCOMPARE(currentEntryCodes(rec), entries);
    QCOMPARE(Bytes({rec[6], rec[7]}), Bytes({0x01, 0x2C}));  // entry delays are not touched
    QCOMPARE(int(rec[8 + 3 * entries.size()]), 0);
    QCOMPARE(int(rec[60]) + rec[61] + rec[62] + rec[63] + rec[64], 0);
}

void TestConfigStore::oldFormatPairs_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<Bytes>("pairs");

    QTest::newRow("Ctrl Shift A is one pair") << QStringList{"Ctrl+", "Shift+", "A"} << Bytes{0x03, 0x04};
    QTest::newRow("shifted symbol") << QStringList{"!"} << Bytes{0x02, 0x1E};
    QTest::newRow("two keys") << QStringList{"A", "B"} << Bytes{0x00, 0x04, 0x00, 0x05};
    QTest::newRow("modifier per pair") << QStringList{"Ctrl+", "A", "Shift+Win+", "B"} << Bytes{0x01, 0x04, 0x0A, 0x05};
    QTest::newRow("modifier before shifted symbol") << QStringList{"Ctrl+", "?"} << Bytes{0x03, 0x38};
}

void TestConfigStore::oldFormatPairs()
{
    QFETCH(QStringList, clicks);
    QFETCH(Bytes, pairs);

    Editor e(false, 7);
    e.clickAll(clicks);
    QCOMPARE(oldPairs(e.rec()), pairs);
    QCOMPARE(int(e.rec()[3]), 1);
}

void TestConfigStore::multimediaReplacesPrevious_data()
{
    QTest::addColumn<bool>("currentFormat");
    QTest::newRow("current") << true;
    QTest::newRow("old") << false;
}

void TestConfigStore::multimediaReplacesPrevious()
{
    QFETCH(bool, currentFormat);
    Editor e(currentFormat, 2, 0, ModeMultimedia);
    const int lo = currentFormat ? 8 : 10;
    const int hi = 11;
    const int count = currentFormat ? 5 : 9;

    QCOMPARE(e.click("Play/Pause"), WriteResult::Written);
    QCOMPARE(Bytes({e.rec()[3], e.rec()[lo], e.rec()[hi], e.rec()[count]}), Bytes({2, 0xCD, 0x00, 2}));

    QCOMPARE(e.click(QString::fromUtf8("我的电脑")), WriteResult::Written);
    QCOMPARE(Bytes({e.rec()[lo], e.rec()[hi], e.rec()[count]}), Bytes({0x94, 0x01, 2}));
    for (int i = 12; i < kSlotBytes; ++i)
        QCOMPARE(int(e.rec()[i]), 0);

    // Second halves name no function of their own.
    QCOMPARE(e.store->SetMediaKey(42), WriteResult::Ignored);
}

void TestConfigStore::mouseActions_data()
{
    QTest::addColumn<bool>("currentFormat");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<ByteMap>("expected");  // every other byte from 4 on is 0

    QTest::newRow("current Ctrl+Mouse Down") << true << "Ctrl+Mouse Down"
                                             << ByteMap{{4, 1}, {5, 4}, {8, 0xF1}, {20, 0xFF}};
    QTest::newRow("current Mouse Middle") << true << "Mouse Middle" << ByteMap{{4, 1}, {5, 4}, {11, 0x04}};
    QTest::newRow("current Like") << true << "Like" << ByteMap{{4, 4}, {5, 4}, {8, 5}};
    QTest::newRow("current Left Swipe") << true << "Left Swipe" << ByteMap{{4, 4}, {5, 4}, {8, 1}};
    QTest::newRow("old Left Swipe has no action") << false << "Left Swipe" << ByteMap{{9, 1}};
    QTest::newRow("old Alt+Mouse Up") << false << "Alt+Mouse Up" << ByteMap{{9, 1}, {10, 0x04}, {14, 0x01}};
    QTest::newRow("old Mouse Right") << false << "Mouse Right" << ByteMap{{9, 1}, {11, 0x02}};
}

void TestConfigStore::mouseActions()
{
    QFETCH(bool, currentFormat);
    QFETCH(QString, caption);
    QFETCH(ByteMap, expected);

    Editor e(currentFormat, 4, 0, ModeMouse);
    // An earlier assignment of the same mode must vanish, delays included.
    QCOMPARE(e.click("Mouse Wheel-"), WriteResult::Written);
    e.store->SetEntryDelay(3, 1000);
    e.store->SetOldFormatDelay(1000);

    QCOMPARE(e.click(caption), WriteResult::Written);
    QCOMPARE(int(e.rec()[3]), 3);
    for (int i = 4; i < kSlotBytes; ++i)
        QCOMPARE(int(e.rec()[i]), expected.value(i, 0));
}

void TestConfigStore::pageChangeClearsOtherMode()
{
    Editor e(true, 1, 0, ModeMultimedia);
    e.click("Mute");
    e.store->Select_PHY_Key_Mode = ModeKeys;
    e.clickAll({"Ctrl+", "C"});
    QCOMPARE(currentEntryCodes(e.rec()), Bytes({0xF1, 0x06}));
    QCOMPARE(Bytes({e.rec()[0], e.rec()[1], e.rec()[3]}), Bytes({0xFD, 1, 1}));
}

void TestConfigStore::oldFormatLighting_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<Bytes>("ledBytes");  // byte 11 of the lighting slot after each click

    QTest::newRow("colour then mode") << QStringList{"Red", "LED Mode3"} << Bytes{0x10, 0x13};
    QTest::newRow("mode alone gets cyan") << QStringList{"LED Mode3"} << Bytes{0x53};
    QTest::newRow("mode then colour") << QStringList{"LED Mode2", "Red"} << Bytes{0x52, 0x12};
    QTest::newRow("Chinese captions") << QStringList{QString::fromUtf8("紫色"), QString::fromUtf8("LED模式0")}
                                      << Bytes{0x70, 0x70};
}

void TestConfigStore::oldFormatLighting()
{
    QFETCH(QStringList, clicks);
    QFETCH(Bytes, ledBytes);

    Editor e(false, 0, 2, ModeLighting);
    Bytes seen;
    for (const QString& caption : clicks) {
        QCOMPARE(e.click(caption), WriteResult::Written);
        seen << e.store->PHY_KEY_Value[2][0][11];
    }
    QCOMPARE(seen, ledBytes);
    const uint8_t* slot = e.store->PHY_KEY_Value[2][0];
    QCOMPARE(Bytes({slot[0], slot[1], slot[2], slot[3], slot[9]}), Bytes({0xFE, 0xB0, 3, 8, 1}));
    QCOMPARE(int(e.store->KeyDirty[2][0]), 1);
    QCOMPARE(int(e.store->PHY2_KEY_Value[2][0][11]), 0);
    QCOMPARE(e.store->SetRgb_Led_Key(82), WriteResult::Ignored);
}

void TestConfigStore::fullRecordRefusesWholeValue_data()
{
    QTest::addColumn<bool>("currentFormat");
    QTest::addColumn<int>("filled");  // entries (current) or pairs (old) already used
    QTest::addColumn<QString>("caption");
    QTest::addColumn<WriteResult>("result");

    QTest::newRow("current key into full record") << true << 18 << "A" << WriteResult::RecordFull;
    QTest::newRow("current last entry still takes a key") << true << 17 << "A" << WriteResult::Written;
    QTest::newRow("current shifted symbol, one entry left") << true << 17 << "!" << WriteResult::RecordFull;
    QTest::newRow("current shifted symbol, two left") << true << 16 << "!" << WriteResult::Written;
    QTest::newRow("current four modifiers, three left") << true << 15 << "Ctrl+Alt+Shift+Win+" << WriteResult::RecordFull;
    QTest::newRow("current three modifiers, three left") << true << 15 << "Ctrl+Shift+Alt+" << WriteResult::Written;
    QTest::newRow("old key into 20 pairs") << false << 20 << "A" << WriteResult::RecordFull;
    QTest::newRow("old modifier into 20 pairs") << false << 20 << "Ctrl+" << WriteResult::RecordFull;
    QTest::newRow("old shifted symbol into 20 pairs") << false << 20 << "?" << WriteResult::RecordFull;
    QTest::newRow("old last pair") << false << 19 << "?" << WriteResult::Written;
}

void TestConfigStore::fullRecordRefusesWholeValue()
{
    QFETCH(bool, currentFormat);
    QFETCH(int, filled);
    QFETCH(QString, caption);
    QFETCH(WriteResult, result);

    Editor e(currentFormat, 9);
    for (int i = 0; i < filled; ++i)
        QCOMPARE(e.click("Z"), WriteResult::Written);
    e.store->ClearModifiedFlags();
    const QByteArray before = snapshot(*e.store);

    if (result == WriteResult::RecordFull)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Key record full"));
    QCOMPARE(e.click(caption), result);

    if (result == WriteResult::RecordFull) {
        QCOMPARE(snapshot(*e.store), before);
    } else {
        const int countByte = currentFormat ? 5 : 9;
        QVERIFY(e.rec()[countByte] <= (currentFormat ? kCurrentEntries : kOldPairs));
        QCOMPARE(int(e.store->KeyDirty[0][9]), 1);
    }
    const int end = currentFormat ? kCurrentRecordBytes : kOldRecordBytes;
    for (int i = end; i < kSlotBytes; ++i)
        QCOMPARE(int(e.rec()[i]), 0);
}

void TestConfigStore::corruptCountNeverWritesPastRecord_data()
{
    QTest::addColumn<bool>("currentFormat");
    QTest::addColumn<QString>("caption");
    QTest::newRow("current key") << true << "A";
    QTest::newRow("current modifier") << true << "Ctrl+Alt+Shift+Win+";
    QTest::newRow("old key") << false << "A";
    QTest::newRow("old modifier") << false << "Right Win+";
}

void TestConfigStore::corruptCountNeverWritesPastRecord()
{
    QFETCH(bool, currentFormat);
    QFETCH(QString, caption);

    // A count byte as a faulty read-back could leave it.
    Editor e(currentFormat, 1);
    e.rec()[currentFormat ? 5 : 9] = 0xFF;
    const QByteArray before = snapshot(*e.store);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Key record full"));
    QCOMPARE(e.click(caption), WriteResult::RecordFull);
    QCOMPARE(snapshot(*e.store), before);
}

void TestConfigStore::noKeySelectedChangesNothing()
{
    Editor e(false, 0, 1);
    e.store->Select_PHY_Key_Mode = ModeLighting;
    e.click("Blue");
    e.store->Select_PHY_Key_Mode = ModeKeys;
    e.store->ClearModifiedFlags();
    const QByteArray before = snapshot(*e.store);

    QCOMPARE(e.store->AddKeyCode(151), WriteResult::NoKeySelected);
    QCOMPARE(e.store->AddModifier(0), WriteResult::NoKeySelected);
    QCOMPARE(e.store->SetMediaKey(41), WriteResult::NoKeySelected);
    QCOMPARE(e.store->SetMouseKey(96), WriteResult::NoKeySelected);
    QCOMPARE(e.store->SetOldFormatDelay(500), WriteResult::NoKeySelected);
    QCOMPARE(e.store->SetEntryDelay(0, 500), WriteResult::NoKeySelected);
    QTest::ignoreMessage(QtWarningMsg, "Invalid Select_PHY_Key: 0");
    QCOMPARE(e.store->SetDataValue({4}), WriteResult::NoKeySelected);
    e.store->ClearSelectedRecord();
    QCOMPARE(snapshot(*e.store), before);
    QCOMPARE(int(e.store->PHY_KEY_Value[1][0][11]), 0x60);
}

void TestConfigStore::delays()
{
    Editor e(true, 4, 0, ModeDelay);
    e.store->PHY2_KEY_Value[0][4][3] = ModeKeys;
    QCOMPARE(e.store->SetEntryDelay(2, 1000), WriteResult::Written);
    QCOMPARE(Bytes({e.rec()[12], e.rec()[13], e.rec()[3]}), Bytes({0x03, 0xE8, 1}));
    e.store->SetEntryDelay(17, 70000);
    QCOMPARE(Bytes({e.rec()[57], e.rec()[58]}), Bytes({0xFF, 0xFF}));
    e.store->SetEntryDelay(0, -5);
    QCOMPARE(Bytes({e.rec()[6], e.rec()[7]}), Bytes({0, 0}));
    QCOMPARE(e.store->SetEntryDelay(18, 100), WriteResult::Ignored);

    // The single delay goes to the old-format array whatever the version.
    QCOMPARE(e.store->SetOldFormatDelay(300), WriteResult::Written);
    const uint8_t* old = e.store->PHY_KEY_Value[0][4];
    QCOMPARE(Bytes({old[3], old[4], old[5]}), Bytes({5, 0x2C, 0x01}));
    e.store->SetOldFormatDelay(1 << 20);
    QCOMPARE(Bytes({old[4], old[5]}), Bytes({0xFF, 0xFF}));
}

void TestConfigStore::dataValue()
{
    Editor e(false, 12);
    // The quick-menu codes go to the current-format array whatever the version.
    QCOMPARE(e.store->SetDataValue({242, 244, 29}), WriteResult::Written);
    const uint8_t* rec = e.store->PHY2_KEY_Value[0][12];
    QCOMPARE(currentEntryCodes(rec), Bytes({0xF2, 0xF4, 0x1D}));
    QCOMPARE(Bytes({rec[0], rec[1], rec[3]}), Bytes({0xFD, 12, 1}));

    QCOMPARE(e.store->SetDataValue({0x12C}), WriteResult::Written);
    QCOMPARE(currentEntryCodes(rec), Bytes({0x2C}));
    QCOMPARE(Bytes({rec[11], rec[14]}), Bytes({0, 0}));  // no stale codes behind the count

    const QByteArray before = snapshot(*e.store);
    QCOMPARE(e.store->SetDataValue({1, 2, 3, 4}), WriteResult::Ignored);
    QCOMPARE(e.store->SetDataValue({}), WriteResult::Ignored);
    QCOMPARE(snapshot(*e.store), before);
}

void TestConfigStore::clearLayerLeavesNoCodeBehind()
{
    Editor e(true, 3, 1);
    for (int i = 0; i < kCurrentEntries; ++i)
        e.click("Q");
    e.store->Select_PHY_Key = 27;
    e.store->WriteSelectionHeader(27);
    e.click("W");
    e.store->Cur_KeyBoard_KeyNum[2] = 0;
    e.store->Select_PHY_Key = 0;
    e.store->Select_PHY_Key_Mode = ModeLighting;
    e.click("Red");
    e.store->Select_PHY_Key_Mode = ModeKeys;
    e.store->PHY2_KEY_Value[0][3][8] = 0x04;

    e.store->ClearLayerRecords(1);
    for (int slot : {3, 27}) {
        const uint8_t* rec = e.store->PHY2_KEY_Value[1][slot];
        QCOMPARE(Bytes({rec[0], rec[1], rec[2], rec[3]}), Bytes({0xFD, slot, 2, 1}));
        for (int i = 4; i < kSlotBytes; ++i)
            QCOMPARE(int(rec[i]), 0);
    }
    QCOMPARE(int(e.store->PHY_KEY_Value[1][0][11]), 0x10);  // the layer's lighting stays
    QCOMPARE(int(e.store->PHY2_KEY_Value[0][3][8]), 0x04);   // other layers stay
}

void TestConfigStore::dirtyFlags()
{
    Editor e(true, 6, 2);
    QVERIFY(!e.store->anyKeyDirty());
    e.store->ClearSelectedRecord();
    QVERIFY(!e.store->anyKeyDirty());
    e.click("A");
    QCOMPARE(int(e.store->KeyDirty[2][6]), 1);
    e.store->ClearModifiedFlags();
    QVERIFY(!e.store->anyKeyDirty());
    e.store->MarkKeyModified(3, 0);
    e.store->MarkKeyModified(0, 60);
    QVERIFY(!e.store->anyKeyDirty());

    // A clear must reach the keypad with the next save, or the keypad keeps
    // what the window shows as gone; clearing what is already empty sends nothing.
    e.click("B");
    e.store->ClearModifiedFlags();
    e.store->ClearSelectedRecord();
    QCOMPARE(int(e.store->KeyDirty[2][6]), 1);
    e.store->ClearModifiedFlags();
    e.store->ClearSelectedRecord();
    QVERIFY(!e.store->anyKeyDirty());

    // A slot known only from a read-back gets its header before it is sent.
    e.store->PHY2_KEY_Value[2][9][8] = 0x05;
    e.store->ClearLayerRecords(2);
    QCOMPARE(int(e.store->KeyDirty[2][9]), 1);
    QCOMPARE(int(e.store->KeyDirty[2][8]), 0);
    const uint8_t* rec = e.store->PHY2_KEY_Value[2][9];
    QCOMPARE(Bytes({rec[0], rec[1], rec[2]}), Bytes({0xFD, 9, 3}));
}

// Edits and imports announce what changed; an image carried from one
// configuration to another arrives as unsaved edits of exactly those slots.
void TestConfigStore::configAnnouncesAndImportsLikeClicks()
{
    KeypadConfig source;
    source.adoptDeviceInfo(DeviceInfo{15, 3, 10, 0});
    QSignalSpy changed(&source, &KeypadConfig::changed);
    QSignalSpy ledChanged(&source, &KeypadConfig::ledChanged);
    source.selectLayer(1);
    source.selectKey(4);
    QCOMPARE(source.addKeyCode(KeyTable::findCode(0x04, 112, 223)), WriteResult::Written);
    QCOMPARE(changed.takeFirst(), QVariantList({1, 4}));
    QVERIFY(source.setKeyColour(2, 3, 1, 2, 3));
    QCOMPARE(ledChanged.takeFirst(), QVariantList({2}));
    QVERIFY(!source.setKeyColour(2, 17, 1, 2, 3));  // no LED behind a knob action

    const KeypadImage image = source.image();
    QCOMPARE(int(image.records[1][4][8]), 0x04);
    KeypadConfig target;
    target.adoptDeviceInfo(DeviceInfo{15, 3, 10, 0});
    QSignalSpy imported(&target, &KeypadConfig::changed);
    QCOMPARE(target.applyImage(image), 1);
    QCOMPARE(imported.size(), 1);
    QVERIFY(target.store().KeyDirty[1][4] && !target.store().KeyDirty[0][4]);
    QVERIFY(target.store().LedDirty[2] && !target.store().LedDirty[0]);
    QVERIFY(target.image().records[1][4] == image.records[1][4]);
    QCOMPARE(target.applyImage(image), 0);  // nothing differs any more

    // A slot the keypad never filled still goes out naming its key.
    KeypadImage blank = target.image();
    blank.records[0][9].fill(0);
    blank.records[0][9][3] = ModeKeys;
    blank.records[0][9][8] = 0x05;
    QCOMPARE(target.applyImage(blank, false), 1);
    QCOMPARE(Bytes(target.record(0, 9), target.record(0, 9) + 3), Bytes({0xFD, 9, 1}));
}

QTEST_GUILESS_MAIN(TestConfigStore)
#include "tst_config_store.moc"
