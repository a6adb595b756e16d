#include "core/keypad/config_store.h"
#include "core/keypad/record_render.h"

#include <QRandomGenerator>
#include <QtTest>

#include <array>

Q_DECLARE_METATYPE(RecordRender::DelaySlotCaption::Style)

namespace {

using Slot = std::array<uint8_t, kSlotBytes>;
using ByteMap = QMap<int, int>;

constexpr int kChinese = 0;
constexpr int kEnglish = 1;

Slot makeSlot(int type, const ByteMap& bytes)
{
    Slot slot{};
    slot[0] = 0xFD;
    slot[1] = 1;
    slot[2] = 1;
    slot[3] = static_cast<uint8_t>(type);
    for (auto it = bytes.cbegin(); it != bytes.cend(); ++it)
        slot[it.key()] = static_cast<uint8_t>(it.value());
    return slot;
}

}  // namespace

class TestRecordRender : public QObject {
    Q_OBJECT

private slots:
    void rendering_data();
    void rendering();
    void emptyRecordShowsNull_data();
    void emptyRecordShowsNull();
    void oldFormatRendersEveryPair();
    void delaySlotCaptions_data();
    void delaySlotCaptions();
    void lightingText();
    void arbitraryBytesStayInsideTheSlot();
};

void TestRecordRender::rendering_data()
{
    QTest::addColumn<bool>("currentFormat");
    QTest::addColumn<int>("type");
    QTest::addColumn<ByteMap>("bytes");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("textBox");
    QTest::addColumn<QString>("button");

    QTest::newRow("current Ctrl Shift A") << true << 1 << ByteMap{{8, 0xF1}, {11, 0xF2}, {14, 0x04}} << kEnglish
                                          << "Ctrl+Shift+A" << "Ctrl+Shift+A";
    QTest::newRow("current entries after empty ones") << true << 1 << ByteMap{{8, 0x04}, {59, 0x05}} << kEnglish
                                                      << "AB" << "AB";
    QTest::newRow("current 0x28 is the main Enter caption") << true << 1 << ByteMap{{8, 0x28}, {11, 0x58}} << kEnglish
                                                            << "EnterEnter" << "EnterEnter";
    QTest::newRow("current unknown codes add nothing")
        << true << 1 << ByteMap{{8, 0xF9}, {11, 0xFF}, {14, 0x90}, {17, 0xF8}, {20, 0x1D}} << kEnglish
        << "Right Win+Z" << "Right Win+Z";
    QTest::newRow("old Ctrl Shift A") << false << 1 << ByteMap{{10, 0x03}, {11, 0x04}} << kEnglish
                                      << "Ctrl+Shift+ A" << "Ctrl+Shift+A";
    QTest::newRow("old two pairs") << false << 1 << ByteMap{{11, 0x04}, {13, 0x05}} << kEnglish << " A B" << "AB";
    QTest::newRow("old all modifier bits in bit order") << false << 1 << ByteMap{{10, 0xFF}, {11, 0x2C}} << kEnglish
        << "Ctrl+Shift+Alt+Win+Right Ctrl+Right Shift+Right Alt+Right Win+ Space"
        << "Ctrl+Shift+Alt+Win+Right Ctrl+Right Shift+Right Alt+Right Win+Space";
    QTest::newRow("current Volume+ English") << true << 2 << ByteMap{{8, 0xE9}, {11, 0x00}} << kEnglish
                                             << "Volume+" << "Volume+";
    QTest::newRow("current Volume+ Chinese") << true << 2 << ByteMap{{8, 0xE9}} << kChinese
                                             << QString::fromUtf8("音量+") << QString::fromUtf8("音量+");
    QTest::newRow("old Play/Pause") << false << 2 << ByteMap{{10, 0xCD}, {9, 2}} << kEnglish
                                    << " Play/Pause" << "Play/Pause";
    QTest::newRow("consumer low byte matching an earlier high byte") << true << 2 << ByteMap{{8, 0x01}} << kEnglish
                                                                     << "My Computer1" << "My Computer1";
    QTest::newRow("current Alt+Mouse Down") << true << 3 << ByteMap{{4, 1}, {8, 0xF3}, {20, 0xFF}} << kEnglish
                                            << "Alt+Mouse Down" << "Alt+Mouse Down";
    QTest::newRow("old Alt+Mouse Down") << false << 3 << ByteMap{{10, 0x04}, {14, 0xFF}} << kEnglish
                                        << " Alt+Mouse Down" << "Alt+Mouse Down";
    QTest::newRow("buttons with a wheel render nothing") << true << 3 << ByteMap{{4, 1}, {11, 1}, {20, 1}} << kEnglish
                                                         << "" << "";
    QTest::newRow("current Mouse Middle Chinese") << true << 3 << ByteMap{{4, 1}, {11, 4}} << kChinese
                                                  << QString::fromUtf8("鼠标中键") << QString::fromUtf8("鼠标中键");
    QTest::newRow("gesture only on the button") << true << 3 << ByteMap{{4, 4}, {8, 5}} << kEnglish << "" << "Like";
    QTest::newRow("gesture out of range") << true << 3 << ByteMap{{4, 4}, {8, 6}} << kEnglish << "" << "";
    QTest::newRow("delay type renders nothing") << true << 5 << ByteMap{{8, 0x04}} << kEnglish << "" << "";
}

void TestRecordRender::rendering()
{
    QFETCH(bool, currentFormat);
    QFETCH(int, type);
    QFETCH(ByteMap, bytes);
    QFETCH(int, language);
    QFETCH(QString, textBox);
    QFETCH(QString, button);

    const Slot slot = makeSlot(type, bytes);
    QCOMPARE(RecordRender::renderRecord(slot.data(), currentFormat, RenderTarget::TextBox, language), textBox);
    QCOMPARE(RecordRender::renderRecord(slot.data(), currentFormat, RenderTarget::KeyButton, language), button);
}

void TestRecordRender::emptyRecordShowsNull_data()
{
    QTest::addColumn<bool>("currentFormat");
    QTest::addColumn<int>("type");
    QTest::addColumn<ByteMap>("bytes");
    QTest::addColumn<QString>("label");

    QTest::newRow("current multimedia without code") << true << 2 << ByteMap{{5, 2}} << "NULL";
    QTest::newRow("current only a delay") << true << 1 << ByteMap{{6, 1}, {7, 0xF4}} << "NULL";
    QTest::newRow("current code in entry 4 only") << true << 1 << ByteMap{{20, 0x04}} << "A";
    QTest::newRow("current code in entry 2 alone is not empty") << true << 1 << ByteMap{{14, 0x04}} << "A";
    QTest::newRow("old delay record") << false << 5 << ByteMap{{4, 0x2C}, {5, 1}} << "NULL";
    QTest::newRow("old wheel") << false << 3 << ByteMap{{14, 0x01}} << "Mouse Wheel+";
    QTest::newRow("unknown code is not empty") << true << 1 << ByteMap{{8, 0x90}} << "";
}

void TestRecordRender::emptyRecordShowsNull()
{
    QFETCH(bool, currentFormat);
    QFETCH(int, type);
    QFETCH(ByteMap, bytes);
    QFETCH(QString, label);
    const Slot slot = makeSlot(type, bytes);
    QCOMPARE(RecordRender::keyButtonLabel(slot.data(), currentFormat, kEnglish), label);
    QVERIFY(RecordRender::isEmptyRecord(nullptr, true));
    QCOMPARE(RecordRender::renderRecord(nullptr, false, RenderTarget::TextBox, kEnglish), QString());
}

void TestRecordRender::oldFormatRendersEveryPair()
{
    // The writers fill up to 20 pairs; the last one must show as well.
    ConfigStore store;
    store.InitKeyRecords();
    store.Select_PHY_Key = 2;
    store.WriteSelectionHeader(2);
    for (int i = 0; i < kOldPairs; ++i)
        store.AddKeyCode(151 + i);  // A, B, ...
    const QString text = RecordRender::renderRecord(store.selectedRecord(), false, RenderTarget::KeyButton, kEnglish);
    QCOMPARE(text, QString("ABCDEFGHIJKLMNOPQRST"));
}

void TestRecordRender::delaySlotCaptions_data()
{
    using Style = RecordRender::DelaySlotCaption::Style;
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("changeCaption");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<Style>("style");

    QTest::newRow("empty entry") << 0x00 << true << "NULL" << Style::Red;
    QTest::newRow("Shift") << 0xF2 << true << "Shift+" << Style::Green;
    QTest::newRow("unknown pseudo-code keeps caption") << 0xF9 << false << "" << Style::Green;
    QTest::newRow("keyboard code") << 0x04 << true << "A" << Style::Green;
    QTest::newRow("code missing from the table") << 0x90 << false << "" << Style::Unchanged;
}

void TestRecordRender::delaySlotCaptions()
{
    using Style = RecordRender::DelaySlotCaption::Style;
    QFETCH(int, code);
    QFETCH(bool, changeCaption);
    QFETCH(QString, caption);
    QFETCH(Style, style);

    const RecordRender::DelaySlotCaption result = RecordRender::delaySlotCaption(static_cast<uint8_t>(code), kEnglish);
    QCOMPARE(result.changeCaption, changeCaption);
    if (changeCaption)
        QCOMPARE(result.caption, caption);
    QCOMPARE(result.style, style);
}

void TestRecordRender::lightingText()
{
    QCOMPARE(RecordRender::lightingText(0x52, kEnglish, true), QString("LED Mode2   Cyan"));
    QCOMPARE(RecordRender::lightingText(0x52, kEnglish, false), QString("LED Mode2   "));
    QCOMPARE(RecordRender::lightingText(0x13, kChinese, true), QString::fromUtf8("LED模式3   红色"));
}

void TestRecordRender::arbitraryBytesStayInsideTheSlot()
{
    // Run under the sanitizer build this catches any read past the slot.
    QRandomGenerator random(20240611);
    for (int round = 0; round < 20000; ++round) {
        auto slot = std::make_unique<uint8_t[]>(kSlotBytes);
        for (int i = 0; i < kSlotBytes; ++i)
            slot[i] = static_cast<uint8_t>(random.bounded(256));
        if (round % 2)
            slot[3] = static_cast<uint8_t>(1 + random.bounded(3));
        if (round % 4 == 1)
            slot[4] = 4;
        for (bool currentFormat : {true, false}) {
            for (RenderTarget target : {RenderTarget::TextBox, RenderTarget::KeyButton})
                RecordRender::renderRecord(slot.get(), currentFormat, target, round % 2);
            RecordRender::keyButtonLabel(slot.get(), currentFormat, kChinese);
        }
    }
}

QTEST_GUILESS_MAIN(TestRecordRender)
#include "tst_record_render.moc"
