#include "core/profile/action_words.h"

#include <QRandomGenerator>
#include <QtTest>

using ActionWords::Context;
using ActionWords::Record;
Q_DECLARE_METATYPE(ActionWords::Record)

namespace {

const Context kCurrent{true, 1, 5};
const Context kOld{false, 1, 5};

QString hexOf(const Record& r, int size = KeypadImage::kRecordBytes)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(r.data()), size).toHex(' '));
}

// Header of slot 5, layer index 1, then the given bytes from offset 3 on.
Record rec(std::initializer_list<std::pair<int, int>> bytes, bool lighting = false)
{
    Record r{};
    r[0] = lighting ? 0xFE : 0xFD;
    r[1] = lighting ? 0xB0 : 5;
    r[2] = 2;
    for (auto [at, value] : bytes)
        r[size_t(at)] = uint8_t(value);
    return r;
}

}  // namespace

class TestActionWords : public QObject {
    Q_OBJECT

private slots:
    void wordsGiveTheWindowsBytes_data();
    void wordsGiveTheWindowsBytes();
    void recordsReadAsWords_data();
    void recordsReadAsWords();
    void everyRecordRoundTrips();
    void refusals_data();
    void refusals();
    void commandLineWords();
    void slotNames();
    void conversion();
};

void TestActionWords::wordsGiveTheWindowsBytes_data()
{
    QTest::addColumn<QString>("words");
    QTest::addColumn<bool>("current");
    QTest::addColumn<int>("slot");
    QTest::addColumn<Record>("expected");
    QTest::newRow("ctrl shift a") << "Ctrl+ Shift+ A" << true << 5
                                  << rec({{3, 1}, {5, 3}, {8, 0xF1}, {11, 0xF2}, {14, 0x04}});
    QTest::newRow("four-modifier caption")
        << "Ctrl+Alt+Shift+Win+ A" << true << 5
        << rec({{3, 1}, {5, 5}, {8, 0xF1}, {11, 0xF3}, {14, 0xF2}, {17, 0xF4}, {20, 0x04}});
    QTest::newRow("old pair") << "Ctrl+ Shift+ A" << false << 5 << rec({{3, 1}, {9, 1}, {10, 0x03}, {11, 0x04}});
    QTest::newRow("old shifted") << "!" << false << 5 << rec({{3, 1}, {9, 1}, {10, 0x02}, {11, 0x1E}});
    QTest::newRow("old trailing modifier") << "A Ctrl+" << false << 5
                                           << rec({{3, 1}, {9, 1}, {11, 0x04}, {12, 0x01}});
    QTest::newRow("media") << "Play/Pause" << true << 5 << rec({{3, 2}, {5, 2}, {8, 0xCD}});
    QTest::newRow("media chinese") << QString::fromUtf8("音量+") << false << 5
                                   << rec({{3, 2}, {9, 2}, {10, 0xE9}});
    QTest::newRow("wheel") << "Ctrl+Mouse Down" << true << 5
                           << rec({{3, 3}, {4, 1}, {5, 4}, {8, 0xF1}, {20, 0xFF}});
    QTest::newRow("old wheel") << "Alt+Mouse Up" << false << 5
                               << rec({{3, 3}, {9, 1}, {10, 0x04}, {14, 0x01}});
    QTest::newRow("like") << "Like" << true << 5 << rec({{3, 3}, {4, 4}, {5, 4}, {8, 5}});
    QTest::newRow("lighting") << "LED Mode3 Red" << false << 0 << rec({{3, 8}, {9, 1}, {11, 0x13}}, true);
    QTest::newRow("lighting cyan") << "LED Mode3" << false << 0 << rec({{3, 8}, {9, 1}, {11, 0x53}}, true);
    QTest::newRow("keypad enter") << "Enter" << true << 5 << rec({{3, 1}, {5, 1}, {8, 0x58}});
    QTest::newRow("main enter") << "ENTER" << true << 5 << rec({{3, 1}, {5, 1}, {8, 0x28}});
    QTest::newRow("caption with line break") << "Page Up" << true << 5 << rec({{3, 1}, {5, 1}, {8, 0x4B}});
    QTest::newRow("quick menu") << "Procreate: Redo" << true << 5
                                << rec({{3, 1}, {5, 3}, {8, 0xF2}, {11, 0xF4}, {14, 0x1D}});
    QTest::newRow("sequence delays") << "A 100ms B" << true << 5
                                     << rec({{3, 1}, {5, 2}, {8, 0x04}, {10, 0x64}, {11, 0x05}});
    QTest::newRow("delay list") << "Volume+ delays=0,300*2" << true << 5
                                << rec({{3, 2}, {5, 2}, {8, 0xE9}, {9, 1}, {10, 0x2C}, {12, 1}, {13, 0x2C}});
    QTest::newRow("old delay") << "300ms A" << false << 5 << rec({{3, 5}, {4, 0x2C}, {5, 1}, {9, 1}, {11, 4}});
    QTest::newRow("none") << "none" << true << 5 << rec({{3, 1}});
    QTest::newRow("patch") << "none @60=0102" << true << 5 << rec({{3, 1}, {60, 1}, {61, 2}});
}

void TestActionWords::wordsGiveTheWindowsBytes()
{
    QFETCH(QString, words);
    QFETCH(bool, current);
    QFETCH(int, slot);
    QFETCH(Record, expected);
    QString error;
    const auto r = ActionWords::parse(words, Context{current, 1, slot}, &error);
    QVERIFY2(r, qPrintable(error));
    QCOMPARE(hexOf(*r), hexOf(expected));
}

void TestActionWords::recordsReadAsWords_data()
{
    QTest::addColumn<Record>("record");
    QTest::addColumn<bool>("current");
    QTest::addColumn<QString>("words");
    QTest::newRow("combination") << rec({{3, 1}, {5, 2}, {8, 0xF1}, {11, 0x06}}) << true << "Ctrl+ C";
    QTest::newRow("old combination") << rec({{3, 1}, {9, 1}, {10, 0x01}, {11, 0x06}}) << false << "Ctrl+ C";
    QTest::newRow("main enter") << rec({{3, 1}, {5, 1}, {8, 0x28}}) << true << "ENTER";
    QTest::newRow("delay page visited")
        << rec({{3, 1}, {5, 1}, {8, 0x04}, {10, 50}, {13, 50}, {16, 50}}) << true << "A delays=0,50*3";
    QTest::newRow("unknown media") << rec({{3, 2}, {5, 2}, {8, 0x34}, {11, 0x12}}) << true << "media:0x1234";
    QTest::newRow("unnamed code") << rec({{3, 1}, {5, 1}, {8, 0xE0}}) << true << "0xE0";
    QTest::newRow("stray byte") << rec({{3, 1}, {5, 1}, {8, 0x04}, {62, 7}}) << true << "A @62=07";
    QTest::newRow("lighting") << rec({{3, 8}, {9, 1}, {11, 0x24}}, true) << false << "LED Mode4 Orange";
}

void TestActionWords::recordsReadAsWords()
{
    QFETCH(Record, record);
    QFETCH(bool, current);
    QFETCH(QString, words);
    const Context ctx{current, 1, record[0] == 0xFE ? 0 : 5};
    QCOMPARE(ActionWords::describe(record, ctx), words);
}

// Random bytes, and records shaped like the window's, in both formats and
// any slot: words -> record is the identical record.
void TestActionWords::everyRecordRoundTrips()
{
    QRandomGenerator rng(1234);
    for (int round = 0; round < 6000; ++round) {
        const bool current = round % 2;
        const Context ctx{current, int(rng.bounded(3)), int(rng.bounded(60))};
        Record r{};
        const int shape = round % 6;
        if (shape < 2) {
            for (auto& b : r)
                b = uint8_t(rng.bounded(256));
            if (shape == 1) {
                r[0] = 0xFD;
                r[1] = uint8_t(ctx.slot);
                r[2] = uint8_t(ctx.layer + 1);
                r[3] = uint8_t(rng.bounded(1, 9));
            }
        } else {
            r[0] = 0xFD;
            r[1] = uint8_t(ctx.slot);
            r[2] = uint8_t(ctx.layer + 1);
            r[3] = uint8_t(rng.bounded(1, 4));
            const int n = int(rng.bounded(current ? 19 : 21));
            static const uint8_t picks[] = {0, 4, 0x1D, 0x28, 0x58, 0xF1, 0xF4, 0xF8, 0xE0, 0x64, 0xFF};
            for (int i = 0; i < n; ++i) {
                const uint8_t code = picks[rng.bounded(int(sizeof picks))];
                if (current) {
                    r[size_t(8 + 3 * i)] = code;
                    if (shape == 3)
                        r[size_t(7 + 3 * i)] = uint8_t(rng.bounded(3) * 50);
                } else {
                    r[size_t(11 + 2 * i)] = code;
                    r[size_t(10 + 2 * i)] = uint8_t(rng.bounded(4));
                }
            }
            r[current ? 5 : 9] = uint8_t(n);
            if (shape == 4 && !current) {
                r[3] = 5;
                r[4] = uint8_t(rng.bounded(256));
            }
            if (shape == 5) {
                r[0] = 0xFE;
                r[1] = 0xB0;
                r[3] = 8;
                r[9] = 1;
                r[11] = uint8_t(rng.bounded(256));
            }
        }
        if (!current && shape != 0)
            std::fill(r.begin() + 50, r.end(), uint8_t(0));
        const QString words = ActionWords::describe(r, ctx);
        QString error;
        const auto back = ActionWords::parse(words, ctx, &error);
        QVERIFY2(back, qPrintable(words + QLatin1String(": ") + error));
        // Empty by the one rule: "none", whatever the header and mode byte were.
        const bool sameAction = std::equal(r.begin() + 4, r.end(), back->begin() + 4)
                                && (RecordCodec::isEmpty(r.data(), current) || *back == r);
        if (!sameAction)
            QFAIL(qPrintable(QStringLiteral("%1\n%2\n%3").arg(words, hexOf(r), hexOf(*back))));
    }
}

void TestActionWords::refusals_data()
{
    QTest::addColumn<QString>("words");
    QTest::addColumn<bool>("current");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown") << "Ctrl+ Banana" << true << "unknown word \"Banana\"";
    QTest::newRow("case slip") << "ctrl+ C" << true << "(did you mean \"Ctrl+\"?)";
    QTest::newRow("too many") << QString("A ").repeated(19) << true << "a key holds 18";
    QTest::newRow("too many old") << QString("A ").repeated(21) << false << "holds 20";
    QTest::newRow("mixed") << "Volume+ A" << true << "cannot be on one key";
    QTest::newRow("lighting on a key") << "LED Mode1" << false << "belongs to the layer";
    QTest::newRow("lighting current") << "LED Mode1" << true << "old format";
    QTest::newRow("delay last") << "A 50ms" << true << "before the key";
    QTest::newRow("delay range") << "70000ms A" << true << "out of range";
    QTest::newRow("delays old") << "A delays=50" << false << "current format";
    QTest::newRow("patch too long") << "none @63=0102" << true << "past the 64 bytes";
    QTest::newRow("empty") << "  " << true << "no action";
}

void TestActionWords::refusals()
{
    QFETCH(QString, words);
    QFETCH(bool, current);
    QFETCH(QString, message);
    QString error;
    QVERIFY(!ActionWords::parse(words, Context{current, 0, 5}, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
}

void TestActionWords::commandLineWords()
{
    QString error;
    const Record split = *ActionWords::parseCommandLine({"Mouse", "LeftKey"}, kCurrent, &error);
    QCOMPARE(split, *ActionWords::parseCommandLine({"Mouse LeftKey"}, kCurrent, &error));
    QCOMPARE(ActionWords::describe(split, kCurrent), QString("Mouse LeftKey"));
    QCOMPARE(*ActionWords::parseCommandLine({"Ctrl+", "C"}, kOld, &error),
             *ActionWords::parse("Ctrl+ C", kOld, &error));
}

void TestActionWords::slotNames()
{
    for (int slot = 0; slot < KeypadImage::kSlots; ++slot)
        QCOMPARE(SlotNames::slotOf(SlotNames::name(slot)), slot);
    QCOMPARE(SlotNames::name(16), QString("knob 1 left"));
    QCOMPARE(SlotNames::name(23), QString("knob 3 press"));
    QCOMPARE(SlotNames::slotOf("k2_middle"), 20);
    QCOMPARE(SlotNames::slotOf("KEY15"), 15);
    QCOMPARE(SlotNames::slotOf("K16"), -1);
    QCOMPARE(SlotNames::slotOf("knob 5 left"), -1);
}

void TestActionWords::conversion()
{
    QString error;
    auto convert = [&](const QString& words, const Context& from, const Context& to) {
        return ActionWords::convert(*ActionWords::parse(words, from, &error), from, to);
    };
    // Words that exist in both formats land as the same words.
    for (const char* words : {"Ctrl+ Shift+ A", "Volume+", "Mouse Right", "Shift+Mouse Down", "none", "A B C"}) {
        for (bool toOld : {true, false}) {
            const Context from = toOld ? kCurrent : kOld;
            const Context to = toOld ? kOld : kCurrent;
            const auto c = convert(words, from, to);
            QVERIFY2(c.record && c.note.isEmpty(), words);
            QCOMPARE(ActionWords::describe(*c.record, to), QString(words));
        }
    }
    QVERIFY(!convert("Like", kCurrent, kOld).record);
    // An old key with a delay keeps its keys; the delay left behind is named.
    const auto oldDelay = convert("300ms Ctrl+ S", kOld, kCurrent);
    QVERIFY(oldDelay.record && oldDelay.note.contains("300ms"));
    QCOMPARE(ActionWords::describe(*oldDelay.record, kCurrent), QString("Ctrl+ S"));
    QVERIFY(!convert("A @62=01", kCurrent, kOld).record);
    // Five modifier bits expand past the 18 entries of the current format.
    const auto full = convert(QString("Ctrl+Alt+Shift+Win+ A ").repeated(4), kOld, kCurrent);
    QVERIFY(!full.record);
    QVERIFY(full.note.contains("18"));
    const auto delayed = convert("A 100ms B", kCurrent, kOld);
    QVERIFY(delayed.record);
    QVERIFY(delayed.note.contains("delays"));
}

QTEST_GUILESS_MAIN(TestActionWords)
#include "tst_action_words.moc"
