#include "core/device/input_events.h"
#include "core/keypad/config_store.h"
#include "core/keypad/key_match.h"
#include "core/keypad/key_press_log.h"
#include "core/keypad/key_table.h"
#include "core/keypad/value_routing.h"

#include <QSignalSpy>
#include <QtTest>

#include <linux/input.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr uint16_t kC = 0x06, kP = 0x13, kZ = 0x1D, kA = 0x04, kB = 0x05, kOne = 0x1E;

ConfigStore keypad(int version)
{
    ConfigStore s;
    s.InitKeyRecords();
    s.Cur_KeyBoard_KeyNum[2] = uint8_t(version);
    return s;
}

// What the window does for clicks on these captions with the key selected.
void click(ConfigStore& s, int layer, int key, const QStringList& captions)
{
    CaptionLookup lookup;
    lookup.rebuild(1);
    s.Select_PHY_Key_Layer = uint8_t(layer);
    s.Select_PHY_Key = uint8_t(key);
    s.WriteSelectionHeader(uint8_t(key));
    for (const QString& caption : captions) {
        const int index = lookup.indexOf(caption);
        QVERIFY2(index >= 0, qPrintable(caption));
        switch (routeValueClick(index, uint8_t(key), s.currentFormat())) {
        case ValueRoute::Modifier: s.Select_PHY_Key_Mode = ModeKeys; s.AddModifier(index); break;
        case ValueRoute::Media: s.Select_PHY_Key_Mode = ModeMultimedia; s.SetMediaKey(index); break;
        case ValueRoute::Mouse: s.Select_PHY_Key_Mode = ModeMouse; s.SetMouseKey(index); break;
        default: s.Select_PHY_Key_Mode = ModeKeys; s.AddKeyCode(index); break;
        }
    }
}

QVector<int> everySlot()
{
    QVector<int> ids;
    for (int id = 1; id <= 27; ++id)
        ids << id;
    return ids;
}

void writeEvent(int fd, qint64 us, uint16_t type, uint16_t code, int32_t value, int bytes = sizeof(input_event))
{
    input_event e{};
    e.input_event_sec = us / 1000000;
    e.input_event_usec = us % 1000000;
    e.type = type;
    e.code = code;
    e.value = value;
    QCOMPARE(int(::write(fd, &e, size_t(bytes))), bytes);
}

}  // namespace

class TestKeyTester : public QObject {
    Q_OBJECT

private slots:
    void findsTheKeysThatSendWhatArrived_data();
    void findsTheKeysThatSendWhatArrived();
    void recordsAShortcutAsItsClicks_data();
    void recordsAShortcutAsItsClicks();
    void captionsAreTheWindowsOwn();
    void flagsChatterAndFoldsRepeats();
    void readsARecordedEventStream();
};

void TestKeyTester::findsTheKeysThatSendWhatArrived_data()
{
    QTest::addColumn<int>("version");
    QTest::newRow("current format") << 10;
    QTest::newRow("old format") << 9;
}

void TestKeyTester::findsTheKeysThatSendWhatArrived()
{
    QFETCH(int, version);
    ConfigStore s = keypad(version);
    click(s, 0, 1, {"Ctrl+", "C"});
    click(s, 0, 5, {"Ctrl+", "C"});
    click(s, 0, 2, {"Ctrl+", "V"});
    click(s, 0, 3, {"Ctrl+", "Shift+", "Z"});
    click(s, 0, 4, {"A", "B"});
    click(s, 0, 6, {"Volume+"});
    click(s, 0, 18, {"Ctrl+Mouse Up"});
    click(s, 1, 2, {"Ctrl+", "C"});

    const Stroke ctrlC = Stroke::key(0x01, kC);
    QCOMPARE(KeyMatch::slotsSending(s, 0, ctrlC, everySlot()), (QVector<int>{1, 5}));
    QCOMPARE(KeyMatch::slotsSending(s, 0, ctrlC, {5, 2}), (QVector<int>{5}));  // keys the board lacks are left out
    QCOMPARE(KeyMatch::slotsSending(s, 1, ctrlC, everySlot()), (QVector<int>{2}));
    QCOMPARE(KeyMatch::slotsSending(s, 2, ctrlC, everySlot()), QVector<int>{});
    // Right Ctrl is another key to the computer.
    QCOMPARE(KeyMatch::slotsSending(s, 0, Stroke::key(0x10, kC), everySlot()), QVector<int>{});
    QCOMPARE(KeyMatch::slotsSending(s, 0, Stroke::key(0x03, kZ), everySlot()), (QVector<int>{3}));
    // A sequence is found by its first key.
    QCOMPARE(KeyMatch::slotsSending(s, 0, Stroke::key(0, kA), everySlot()), (QVector<int>{4}));
    QCOMPARE(KeyMatch::slotsSending(s, 0, Stroke::key(0, kB), everySlot()), QVector<int>{});
    QCOMPARE(KeyMatch::slotsSending(s, 0, Stroke::consumer(0xE9), everySlot()), (QVector<int>{6}));
    QCOMPARE(KeyMatch::slotsSending(s, 0, Stroke::mouse(0x01, 0, 1), everySlot()), (QVector<int>{18}));
    QCOMPARE(KeyMatch::slotsSending(s, 0, Stroke::mouse(0, 0, 1), everySlot()), QVector<int>{});
    // Empty keys send nothing, so nothing finds them.
    QCOMPARE(KeyMatch::slotsSending(s, 0, Stroke(), everySlot()), QVector<int>{});
    QCOMPARE(KeyMatch::firstStroke(s.record(0, 9), s.currentFormat()), Stroke());
}

void TestKeyTester::recordsAShortcutAsItsClicks_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("usage");
    QTest::addColumn<QStringList>("clicks");
    for (int version : {10, 9}) {
        const QByteArray format = version > 9 ? "current " : "old ";
        QTest::newRow(format + "Ctrl+Shift+P") << version << 0x03 << int(kP) << QStringList{"Ctrl+", "Shift+", "P"};
        QTest::newRow(format + "Shift+1 is !") << version << 0x02 << int(kOne) << QStringList{"!"};
        QTest::newRow(format + "Win+F13") << version << 0x08 << 0x68 << QStringList{"Win+", "F13"};
    }
}

void TestKeyTester::recordsAShortcutAsItsClicks()
{
    QFETCH(int, version);
    QFETCH(int, modifiers);
    QFETCH(int, usage);
    QFETCH(QStringList, clicks);
    const Stroke typed = Stroke::key(uint8_t(modifiers), uint16_t(usage));
    QStringList recorded;
    for (int index : KeyMatch::captionIndicesOf(typed))
        recorded << KeyTable::caption(index, 1);

    ConfigStore byClicks = keypad(version), byTyping = keypad(version);
    click(byClicks, 0, 3, clicks);
    click(byTyping, 0, 3, recorded);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(byTyping.record(0, 3)), kSlotBytes),
             QByteArray(reinterpret_cast<const char*>(byClicks.record(0, 3)), kSlotBytes));
    QCOMPARE(KeyMatch::firstStroke(byTyping.record(0, 3), version > 9), typed);
}

void TestKeyTester::captionsAreTheWindowsOwn()
{
    QCOMPARE(KeyMatch::caption(Stroke::key(0x01, kC), 1), QStringLiteral("Ctrl+C"));
    QCOMPARE(KeyMatch::caption(Stroke::key(0x01, 0), 1), QStringLiteral("Ctrl+"));
    QCOMPARE(KeyMatch::caption(Stroke::key(0, 0x4B), 1), QStringLiteral("Page Up"));
    QCOMPARE(KeyMatch::caption(Stroke::consumer(0xE9), 1), QStringLiteral("Volume+"));
    QCOMPARE(KeyMatch::caption(Stroke::consumer(0xE9), 0), QStringLiteral("音量+"));
    QCOMPARE(KeyMatch::caption(Stroke::mouse(0x01, 0, 1), 1), QStringLiteral("Ctrl+Mouse Up"));
    // What the tables cannot say is named, and cannot be recorded.
    QCOMPARE(KeyMatch::caption(Stroke::key(0, 0x66), 1), QStringLiteral("Key 0x66"));
    for (const Stroke& refused : {Stroke::key(0, 0x66), Stroke::key(0x01, 0), Stroke::key(0x01, 0xE1),
                                  Stroke::consumer(0xE9), Stroke::mouse(0, 1, 0)})
        QVERIFY(KeyMatch::captionIndicesOf(refused).isEmpty());
}

void TestKeyTester::flagsChatterAndFoldsRepeats()
{
    using A = PressSample::Action;
    KeyPressLog log;
    auto key = [&](uint16_t usage, A action, qint64 us, std::optional<uint8_t> said = std::nullopt) {
        PressSample s;
        s.usage = usage;
        s.action = action;
        s.timeUs = us;
        s.modifiersSaid = said;
        return log.add(s);
    };
    PressLogEntry e = key(kA, A::Press, 1000000);
    QVERIFY(!e.chatter);
    QCOMPARE(e.sinceUs, qint64(-1));
    key(kA, A::Release, 1005000);
    e = key(kA, A::Press, 1029000);  // 29 ms after the last press: a bounce
    QVERIFY(e.chatter);
    QCOMPARE(e.sinceUs, qint64(24000));
    key(kA, A::Release, 1040000);
    QVERIFY(!key(kA, A::Press, 1059000).chatter);   // 30 ms is a finger
    QVERIFY(!key(kB, A::Press, 1060000).chatter);   // another key is no bounce

    key(0xE0, A::Press, 2000000);
    e = key(kC, A::Press, 2000250);
    QCOMPARE(e.stroke, Stroke::key(0x01, kC));
    e = key(kC, A::Repeat, 2500000);
    QVERIFY(!e.newLine);
    QCOMPARE(key(kC, A::Repeat, 2533000).repeats, 2);
    QCOMPARE(key(kC, A::Release, 2540000).stroke, Stroke::key(0, kC));
    key(0xE0, A::Release, 2541000);
    QCOMPARE(log.heldModifiers(), uint8_t(0));
    // A window that had the focus taken while Ctrl went down still hears Ctrl+C.
    QCOMPARE(key(kC, A::Press, 3000000, uint8_t(0x01)).stroke, Stroke::key(0x01, kC));
}

void TestKeyTester::readsARecordedEventStream()
{
    int fds[2];
    QCOMPARE(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
    std::vector<std::unique_ptr<InputEventSource>> sources;
    sources.push_back(makeFdInputSource(fds[0], QStringLiteral("/dev/input/event7")));
    KeypadInputReader reader(std::move(sources));
    QSignalSpy gone(&reader, &KeypadInputReader::sourceGone);
    KeyPressLog log;
    QVector<PressLogEntry> lines;
    connect(&reader, &KeypadInputReader::sample, this, [&](const PressSample& s) { lines << log.add(s); });

    // What a keypad key set to Ctrl+C and a knob set to Volume+ and Ctrl+Mouse Up send.
    const qint64 t = 1700000000000000;
    writeEvent(fds[1], t, EV_MSC, MSC_SCAN, 0x700e0);
    writeEvent(fds[1], t, EV_KEY, KEY_LEFTCTRL, 1);
    writeEvent(fds[1], t + 250, EV_KEY, KEY_C, 1);
    writeEvent(fds[1], t + 250, EV_SYN, SYN_REPORT, 0);
    writeEvent(fds[1], t + 8000, EV_KEY, KEY_C, 0);
    writeEvent(fds[1], t + 8000, EV_KEY, KEY_LEFTCTRL, 0);
    writeEvent(fds[1], t + 20000, EV_KEY, KEY_C, 1);  // the switch bounced
    writeEvent(fds[1], t + 21000, EV_KEY, KEY_C, 0);
    writeEvent(fds[1], t + 90000, EV_KEY, KEY_VOLUMEUP, 1);
    writeEvent(fds[1], t + 95000, EV_KEY, KEY_VOLUMEUP, 0);
    writeEvent(fds[1], t + 99000, EV_KEY, KEY_LEFTCTRL, 1);
    // An event cut in two by the pipe still arrives whole.
    writeEvent(fds[1], t + 100000, EV_REL, REL_WHEEL, 1, 10);
    QTRY_COMPARE(lines.size(), 9);
    input_event rest{};
    rest.input_event_sec = (t + 100000) / 1000000;
    rest.input_event_usec = (t + 100000) % 1000000;
    rest.type = EV_REL;
    rest.code = REL_WHEEL;
    rest.value = 1;
    QCOMPARE(int(::write(fds[1], reinterpret_cast<const char*>(&rest) + 10, sizeof rest - 10)), int(sizeof rest - 10));
    QTRY_COMPARE(lines.size(), 10);

    QCOMPARE(lines[1].stroke, Stroke::key(0x01, kC));
    QCOMPARE(lines[1].sinceUs, qint64(250));  // the kernel's time, not the event loop's
    QVERIFY(!lines[1].chatter);
    QCOMPARE(lines[4].stroke, Stroke::key(0, kC));
    QVERIFY(lines[4].chatter);
    QCOMPARE(lines[6].stroke, Stroke::consumer(0xE9));
    QCOMPARE(lines[9].stroke, Stroke::mouse(0x01, 0, 1));

    ::close(fds[1]);  // unplugged
    QTRY_COMPARE(gone.count(), 1);
    QVERIFY(reader.names().isEmpty());
}

QTEST_GUILESS_MAIN(TestKeyTester)
#include "tst_key_tester.moc"
