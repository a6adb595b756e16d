#include "core/keypad/key_table.h"

#include <QtTest>

class TestKeyTable : public QObject {
    Q_OBJECT

private slots:
    void captionResolves_data();
    void captionResolves();
    void bothLanguagesResolveAfterSwitch();
    void unknownCaptionIsNotFound();
    void captionDetails_data();
    void captionDetails();
    void multimediaSecondHalvesCarryOne();
    void multimediaPairsFormConsumerUsages_data();
    void multimediaPairsFormConsumerUsages();
    void groupBounds_data();
    void groupBounds();
    void reverseLookupTakesFirstMatch();
    void namesOfKeysColoursModesAndModifiers();
};

void TestKeyTable::captionResolves_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("code");

    QTest::newRow("keypad Enter") << 0 << "Enter" << 210 << 0x58;
    QTest::newRow("main ENTER") << 0 << "ENTER" << 209 << 0x28;
    QTest::newRow("Like before swipes, highest code") << 1 << "Like" << 107 << 0x70;
    QTest::newRow("Left Swipe") << 1 << "Left Swipe" << 108 << 0x6C;
    QTest::newRow("control is Ctrl") << 0 << "control" << 15 << 0x01;
    QTest::newRow("Ctrl+") << 0 << "Ctrl+" << 0 << 0x01;
    QTest::newRow("Right option") << 0 << "Right option" << 19 << 0x40;
    QTest::newRow("Right Alt+") << 0 << "Right Alt+" << 5 << 0x40;
    QTest::newRow("fullwidth ampersand") << 0 << QString::fromUtf8("＆") << 27 << 0x24;
    QTest::newRow("hyphen is underscore key") << 0 << "-" << 31 << 0x2D;
    QTest::newRow("keypad fullwidth minus") << 0 << QString::fromUtf8("－") << 205 << 0x56;
    QTest::newRow("Page Up with line break") << 0 << "Page\nUp" << 143 << 0x4B;
    QTest::newRow("menu key") << 0 << QString::fromUtf8("▤") << 149 << 0x65;
    QTest::newRow("keypad point") << 0 << QString::fromUtf8("▪") << 221 << 0x63;
    QTest::newRow("non-US backslash") << 0 << "><" << 222 << 0x64;
    QTest::newRow("apostrophe key") << 0 << "' \"" << 199 << 0x34;
    QTest::newRow("backslash key") << 0 << "\\|" << 196 << 0x31;
    QTest::newRow("grave key") << 0 << QString::fromUtf8("~、") << 197 << 0x35;
    QTest::newRow("non-US hash key") << 0 << "~`" << 200 << 0x32;
    QTest::newRow("Chinese mouse caption") << 0 << QString::fromUtf8("Ctrl+鼠标向下") << 102 << 0x67;
    QTest::newRow("NULL") << 0 << "NULL" << 223 << 0x00;
}

void TestKeyTable::captionResolves()
{
    QFETCH(int, language);
    QFETCH(QString, caption);
    QFETCH(int, index);
    QFETCH(int, code);

    CaptionLookup lookup;
    lookup.rebuild(language);
    QCOMPARE(lookup.indexOf(caption), index);
    QCOMPARE(int(KeyTable::code(index)), code);
}

void TestKeyTable::bothLanguagesResolveAfterSwitch()
{
    CaptionLookup lookup;
    lookup.rebuild(0);
    QCOMPARE(lookup.indexOf("Volume+"), -1);
    lookup.rebuild(1);
    lookup.rebuild(0);
    QCOMPARE(lookup.indexOf("Volume+"), 59);
    QCOMPARE(lookup.indexOf(QString::fromUtf8("音量+")), 59);
    QCOMPARE(lookup.indexOf("Play/Pause"), 41);
    QCOMPARE(lookup.indexOf(QString::fromUtf8("点赞")), 107);
    QCOMPARE(lookup.indexOf("Enter"), 210);
}

void TestKeyTable::unknownCaptionIsNotFound()
{
    CaptionLookup lookup;
    lookup.rebuild(1);
    QCOMPARE(lookup.indexOf("   ms"), -1);
    QCOMPARE(lookup.indexOf(QString()), -1);
}

void TestKeyTable::captionDetails_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("chinese");
    QTest::addColumn<QString>("english");

    QTest::newRow("multimedia") << 59 << QString::fromUtf8("音量+") << "Volume+";
    QTest::newRow("multimedia second half") << 42 << QString::fromUtf8("播放/暂停1") << "Play/Pause1";
    QTest::newRow("colour") << 83 << QString::fromUtf8("红色") << "Red";
    QTest::newRow("LED mode") << 95 << QString::fromUtf8("LED模式5") << "LED Mode5";
    QTest::newRow("gesture") << 111 << QString::fromUtf8("向下划屏") << "Down Swipe";
    QTest::newRow("F24") << 135 << "F24" << "F24";
    QTest::newRow("digit row with fullwidth ampersand") << 183 << QString::fromUtf8("7＆") << QString::fromUtf8("7＆");
    QTest::newRow("backspace") << 189 << QString::fromUtf8("←Back\nspace") << QString::fromUtf8("←Back\nspace");
    QTest::newRow("keypad plus") << 204 << QString::fromUtf8("＋") << QString::fromUtf8("＋");
    QTest::newRow("vertical bar") << 35 << "|" << "|";
    QTest::newRow("double quote") << 37 << "\"" << "\"";
    QTest::newRow("out of range") << 224 << QString() << QString();
}

void TestKeyTable::captionDetails()
{
    QFETCH(int, index);
    QFETCH(QString, chinese);
    QFETCH(QString, english);
    QCOMPARE(KeyTable::caption(index, 0), chinese);
    QCOMPARE(KeyTable::caption(index, 1), english);
}

void TestKeyTable::multimediaSecondHalvesCarryOne()
{
    for (int i = 41; i <= 81; i += 2) {
        for (int language : {0, 1}) {
            QCOMPARE(KeyTable::caption(i + 1, language), KeyTable::caption(i, language) + "1");
        }
    }
    for (int i = 0; i < KeyTable::kSize; ++i) {
        if (i < 41 || i > 111)
            QCOMPARE(KeyTable::caption(i, 0), KeyTable::caption(i, 1));
    }
}

void TestKeyTable::multimediaPairsFormConsumerUsages_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("usage");
    QTest::newRow("Play/Pause") << 41 << 0x00CD;
    QTest::newRow("My Computer") << 49 << 0x0194;
    QTest::newRow("WWW home") << 65 << 0x0223;
    QTest::newRow("WWW Pageback") << 81 << 0x0224;
}

void TestKeyTable::multimediaPairsFormConsumerUsages()
{
    QFETCH(int, index);
    QFETCH(int, usage);
    QCOMPARE(KeyTable::code(index) | (KeyTable::code(index + 1) << 8), usage);
}

void TestKeyTable::groupBounds_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("group");
    QTest::newRow("40") << 40 << int(KeyGroup::Modifier);
    QTest::newRow("41") << 41 << int(KeyGroup::Multimedia);
    QTest::newRow("81") << 81 << int(KeyGroup::Multimedia);
    QTest::newRow("82") << 82 << int(KeyGroup::Lighting);
    QTest::newRow("95") << 95 << int(KeyGroup::Lighting);
    QTest::newRow("96") << 96 << int(KeyGroup::Mouse);
    QTest::newRow("111") << 111 << int(KeyGroup::Mouse);
    QTest::newRow("112") << 112 << int(KeyGroup::Keyboard);
    QTest::newRow("223") << 223 << int(KeyGroup::Keyboard);
    QTest::newRow("224") << 224 << int(KeyGroup::None);
    QTest::newRow("-1") << -1 << int(KeyGroup::None);
}

void TestKeyTable::groupBounds()
{
    QFETCH(int, index);
    QFETCH(int, group);
    QCOMPARE(int(KeyTable::groupOf(index)), group);
}

void TestKeyTable::reverseLookupTakesFirstMatch()
{
    QCOMPARE(KeyTable::findCode(0x28, 112, 223), 187);
    QCOMPARE(KeyTable::findCode(0x58, 112, 223), 210);
    QCOMPARE(KeyTable::findCode(0xF1, 0, 223), -1);
    QCOMPARE(KeyTable::findCode(0x28, 200, 1000), 209);
    QCOMPARE(KeyTable::findCode(0x01, -5, 20), 0);
}

void TestKeyTable::namesOfKeysColoursModesAndModifiers()
{
    QCOMPARE(KeyTable::physicalKeyName(1, 1), QString("KEY1"));
    QCOMPARE(KeyTable::physicalKeyName(15, 0), QString("KEY15"));
    QCOMPARE(KeyTable::physicalKeyName(20, 0), QString::fromUtf8("K2_中"));
    QCOMPARE(KeyTable::physicalKeyName(20, 1), QString("k2_middle"));
    QCOMPARE(KeyTable::physicalKeyName(27, 1), QString("k4_right"));
    QCOMPARE(KeyTable::physicalKeyName(16, 0), QString::fromUtf8("K1_左"));
    QVERIFY(KeyTable::physicalKeyName(0, 1).isEmpty());
    QVERIFY(KeyTable::physicalKeyName(28, 1).isEmpty());

    QCOMPARE(KeyTable::colourName(5, 1), QString("Cyan"));
    QCOMPARE(KeyTable::colourName(7, 0), QString::fromUtf8("紫色"));
    QVERIFY(KeyTable::colourName(0, 1).isEmpty());
    QCOMPARE(KeyTable::ledModeName(0, 0), QString::fromUtf8("LED模式0"));
    QCOMPARE(KeyTable::ledModeName(5, 1), QString("LED Mode5"));
    QVERIFY(KeyTable::ledModeName(6, 1).isEmpty());

    QCOMPARE(KeyTable::modifierPrefix(0xF1), QString("Ctrl+"));
    QCOMPARE(KeyTable::modifierPrefix(0xF4), QString("Win+"));
    QCOMPARE(KeyTable::modifierPrefix(0xF8), QString("Right Win+"));
    QVERIFY(KeyTable::modifierPrefix(0xF9).isEmpty());
    QVERIFY(KeyTable::modifierPrefix(0xF0).isEmpty());
}

QTEST_GUILESS_MAIN(TestKeyTable)
#include "tst_key_table.moc"
