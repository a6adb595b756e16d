#include "cli/arguments.h"
#include "core/keypad/board.h"
#include "core/keypad/config_store.h"
#include "core/keypad/key_table.h"
#include "core/keypad/layout_table.h"
#include "core/keypad/model_catalogue.h"
#include "app/pages/mouse_page.h"
#include "core/profile/action_words.h"
#include "core/profile/profile_import.h"

#include <QtTest>

namespace {

std::vector<DeviceInfo> everyBoard()
{
    std::vector<DeviceInfo> boards;
    for (int id = 1; id <= ModelCatalogue::kCatalogueCount; ++id) {
        const CatalogueModel* m = ModelCatalogue::catalogueModel(id);
        boards.push_back({m->keys, m->knobs, 0, m->variant});
    }
    boards.push_back({21, 1, 0, 0});
    return boards;
}

// The window's picture: the buttons it draws, and the old format's lighting on slot 0.
bool pictureHas(const DeviceInfo& info, int slot)
{
    if (slot == 0)
        return !isCurrentFormat(info.version);
    const LayoutPlacement picture =
        computeLayout(chooseLayout(info.keys, info.knobs, info.version, info.variant, 0, 2), 1366, 768);
    return slot <= kAllButtons && picture.used[size_t(slot)];
}

bool cliAccepts(const Board& board, int slot)
{
    int found = -1;
    return parseKeyName(board.slotName(slot)).isEmpty() && boardSlot(board, board.slotName(slot), found).isEmpty()
           && found == slot;
}

// A profile of this very board that gives slot the words; whether the import takes it.
bool importTakes(const DeviceInfo& made, const DeviceInfo& onto, int slot, const QString& words)
{
    const Board board(made);
    QString error;
    const auto record = ActionWords::parse(words, ActionWords::contextOn(board, 0, slot), &error);
    if (!record)
        return false;
    LoadedProfile profile;
    profile.image.identity = made;
    profile.layerListed[0] = true;
    profile.image.records[0][size_t(slot)] = *record;
    profile.recordListed[0][size_t(slot)] = true;
    KeypadImage current;
    current.identity = onto;
    const ProfileImport import = importProfile(profile, current);
    const int to = Board(onto).slotOf(board.slotName(slot));
    return to >= 0 && import.recordChanged[0][size_t(to)];
}

}  // namespace

class TestBoard : public QObject {
    Q_OBJECT

private slots:
    void windowCommandLineAndImportAcceptTheSameSlots();
    void windowCommandLineAndImportAcceptTheSameActions();
    void windowWritersAndProfileWordsGiveTheSameBytes_data();
    void windowWritersAndProfileWordsGiveTheSameBytes();
};

void TestBoard::windowCommandLineAndImportAcceptTheSameSlots()
{
    for (DeviceInfo info : everyBoard()) {
        for (int firmware : {9, 10}) {
            info.version = uint8_t(firmware);
            const Board board(info);
            for (int slot = 0; slot < kSlotsPerLayer; ++slot) {
                const QByteArray where = QStringLiteral("%1+%2 firmware %3, slot %4")
                                             .arg(info.keys).arg(info.knobs).arg(firmware).arg(slot).toUtf8();
                const bool drawn = pictureHas(info, slot);
                QVERIFY2(board.has(slot) == drawn, where);
                if (slot == 0)
                    continue;  // the layer's lighting is no KEY of the command line
                QVERIFY2(cliAccepts(board, slot) == drawn, where);
                QVERIFY2(importTakes(info, info, slot, "A") == drawn, where);
                if (drawn)
                    QVERIFY2(board.placeName(1, slot).startsWith("layer 2, ") && board.slotOf(board.slotName(slot)) == slot,
                             where);
            }
        }
    }
}

void TestBoard::windowCommandLineAndImportAcceptTheSameActions()
{
    const DeviceInfo gestureBoard{15, 3, 11, 0};
    for (int firmware : {9, 10, 11}) {
        const DeviceInfo info{15, 3, uint8_t(firmware), 0};
        const Board board(info);
        const bool windowOffers = firmware >= MousePage::kFirstGestureFormat;
        QString error;
        QCOMPARE(bool(ActionWords::parse("Like", ActionWords::contextOn(board, 0, 3), &error)), windowOffers);
        QCOMPARE(importTakes(gestureBoard, info, 3, "Like"), windowOffers);
        // The old format waits once, before the first key.
        QVERIFY(ActionWords::parse("100ms A", ActionWords::contextOn(board, 0, 3), &error));
        QCOMPARE(bool(ActionWords::parse("A 100ms B", ActionWords::contextOn(board, 0, 3), &error)),
                 board.currentFormat());
    }
}

void TestBoard::windowWritersAndProfileWordsGiveTheSameBytes_data()
{
    QTest::addColumn<bool>("current");
    QTest::newRow("current format") << true;
    QTest::newRow("old format") << false;
}

// Every value of the key tables, clicked in the window and written in words.
void TestBoard::windowWritersAndProfileWordsGiveTheSameBytes()
{
    QFETCH(bool, current);
    const int keyA = KeyTable::findCode(0x04, KeyTable::GroupBounds[8], KeyTable::kSize - 1);
    const ActionWords::Context words{current, 0, 5, true};
    CaptionLookup lookup;
    lookup.rebuild(1);
    int compared = 0;
    for (int index = 0; index < KeyTable::kSize; ++index) {
        const KeyGroup group = KeyTable::groupOf(index);
        const bool pairSecond = group == KeyGroup::Multimedia && (index - KeyTable::GroupBounds[2]) % 2 == 1;
        const int mouse = KeyTable::code(index) - RecordCodec::kFirstMouseCode;
        if (group == KeyGroup::Lighting || pairSecond || (group == KeyGroup::Mouse && !current && RecordCodec::isGesture(mouse)))
            continue;
        const QString caption = KeyTable::caption(index, 1).replace('\n', ' ').simplified();
        // A caption two keys share names the later one, in the window's lookup as in words.
        if (lookup.indexOf(KeyTable::caption(index, 1)) != index)
            continue;
        ConfigStore store;
        store.InitKeyRecords();
        store.Cur_KeyBoard_KeyNum[2] = current ? 10 : 9;
        store.Select_PHY_Key_Layer = 0;
        store.Select_PHY_Key = 5;
        store.WriteSelectionHeader(5);
        QString text = caption;
        switch (group) {
        case KeyGroup::Modifier:
            store.Select_PHY_Key_Mode = ModeKeys;
            store.AddModifier(index);
            if (index < 20) {  // a modifier waits for its key
                store.AddKeyCode(keyA);
                text += QStringLiteral(" A");
            }
            break;
        case KeyGroup::Multimedia:
            store.Select_PHY_Key_Mode = ModeMultimedia;
            store.SetMediaKey(index);
            break;
        case KeyGroup::Mouse:
            store.Select_PHY_Key_Mode = ModeMouse;
            store.SetMouseKey(index);
            break;
        default:
            store.Select_PHY_Key_Mode = ModeKeys;
            store.AddKeyCode(index);
            break;
        }
        QString error;
        const auto parsed = ActionWords::parse(text, words, &error);
        QVERIFY2(parsed, qPrintable(text + ": " + error));
        const int bytes = RecordCodec::recordBytes(current);
        const QByteArray window(reinterpret_cast<const char*>(store.record(0, 5)), bytes);
        const QByteArray fromWords(reinterpret_cast<const char*>(parsed->data()), bytes);
        QVERIFY2(window == fromWords, qPrintable(QStringLiteral("%1 (index %2): window %3, words %4")
                                                     .arg(text).arg(index)
                                                     .arg(QString(window.toHex(' ')), QString(fromWords.toHex(' ')))));
        ++compared;
    }
    QVERIFY(compared > 150);
}

QTEST_GUILESS_MAIN(TestBoard)
#include "tst_board.moc"
