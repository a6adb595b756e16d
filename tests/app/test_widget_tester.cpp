#include "widget_harness.h"

#include <QLabel>
#include <QTreeWidget>
#include <QWindow>

#include <linux/input.h>

#include <fcntl.h>
#include <unistd.h>

#include "app/window/edit_history.h"
#include "app/window/key_tester_page.h"
#include "app/picture/key_picture_buttons.h"

using namespace harness;

namespace {

void clickCaptions(Widget& w, int key, const QStringList& names)
{
    click(keyButton(w, key));
    for (const QString& name : names)
        click(w, name);
}

void writeKey(int fd, qint64 us, uint16_t code, int32_t value)
{
    input_event e{};
    e.input_event_sec = us / 1000000;
    e.input_event_usec = us % 1000000;
    e.type = EV_KEY;
    e.code = code;
    e.value = value;
    QCOMPARE(int(::write(fd, &e, sizeof e)), int(sizeof e));
}

}  // namespace

class TestWidgetTester : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data();
    void init()
    {
        QFETCH_GLOBAL(int, version);
        keypad = std::make_unique<SimulatedKeypad>(DeviceInfo{15, 3, uint8_t(version), 0});
        w = freshWindow(*keypad);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        connectKeypad(*w);
        clickCaptions(*w, 1, {"pushButton_Ctrl", "key_C"});
        clickCaptions(*w, 5, {"pushButton_Ctrl", "key_C"});
        clickCaptions(*w, 2, {"pushButton_Ctrl", "key_V"});
    }
    void cleanup()
    {
        w.reset();
        keypad.reset();
    }

    void findsTheKeysOfTheKeypadsOwnEvents();
    void listsWhatReachesTheWindowWhenTheNodeIsClosed();
    void recordsATypedShortcutAsOneStep();

private:
    int showTester()
    {
        QTabWidget* t = tabs(*w);
        const int index = t->indexOf(w->findChild<QWidget*>(QStringLiteral("tab_tester")));
        showPage(*w, index);
        return index;
    }
    QTreeWidget* log() const { return w->findChild<QTreeWidget*>(QStringLiteral("testerLog")); }

    std::unique_ptr<SimulatedKeypad> keypad;
    std::unique_ptr<Widget> w;
};

void TestWidgetTester::initTestCase_data()
{
    QTest::addColumn<int>("version");
    QTest::newRow("current format") << 10;
    QTest::newRow("old format") << 9;
}

void TestWidgetTester::findsTheKeysOfTheKeypadsOwnEvents()
{
    int fds[2];
    QCOMPARE(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
    KeyTesterPage& tester = w->keyTester();
    tester.findNodes = [] { return std::vector<KeypadInputNode>{{"/dev/input/event9", 0x1189, 0x8840, true}}; };
    tester.openNode = [&](const QString& node) { return makeFdInputSource(fds[0], node); };

    showPage(*w, 4);  // the mouse page: its mode must outlast the tester
    const StoreSnapshot before(store());
    const int steps = w->history()->count();
    showTester();
    QCOMPARE(int(store().Select_PHY_Key_Mode), int(ModeMouse));
    QVERIFY(w->findChild<QLabel*>(QStringLiteral("testerSource"))->text().contains("/dev/input/event9"));

    writeKey(fds[1], 5000000, KEY_LEFTCTRL, 1);
    writeKey(fds[1], 5000300, KEY_C, 1);
    QTRY_COMPARE(tester.matchedKeys(), (QVector<int>{1, 5}));
    for (int id : {1, 5})
        QCOMPARE(keyButton(*w, id)->styleSheet(), QString::fromLatin1(KeyPictureButtons::SelectedStyle));
    QCOMPARE(keyButton(*w, 2)->styleSheet(), QString::fromLatin1(KeyPictureButtons::NormalStyle));
    QCOMPARE(log()->topLevelItem(0)->text(0), QStringLiteral("Ctrl+C"));
    QCOMPARE(log()->topLevelItem(0)->text(2), QStringLiteral("0.3 ms"));
    QVERIFY(w->findChild<QLabel*>(QStringLiteral("testerFound"))->text().contains("KEY1 and KEY5"));

    // The window hears the same keys: Ctrl+Z must not take an edit back, and
    // only the keypad's own events are listed.
    QTest::keyClick(w->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(log()->topLevelItemCount(), 2);
    QCOMPARE(w->history()->count(), steps);
    QVERIFY(before == StoreSnapshot(store()));

    click(*w, "testerUseKey");
    QCOMPARE(tabs(*w)->currentIndex(), 0);
    QCOMPARE(int(store().Select_PHY_Key), 1);
    QCOMPARE(keyButton(*w, 5)->styleSheet(), QString::fromLatin1(KeyPictureButtons::NormalStyle));
    QVERIFY(before == StoreSnapshot(store()));
    ::close(fds[1]);
}

void TestWidgetTester::listsWhatReachesTheWindowWhenTheNodeIsClosed()
{
    KeyTesterPage& tester = w->keyTester();
    tester.findNodes = [] { return std::vector<KeypadInputNode>{{"/dev/input/event9", 0x514C, 0x8842, false}}; };
    showTester();
    const QString source = w->findChild<QLabel*>(QStringLiteral("testerSource"))->text();
    QVERIFY2(source.contains("70-tessaplex.rules")
                 && source.contains(R"(SUBSYSTEM=="input", KERNEL=="event*", ATTRS{idVendor}=="514c", )"
                                    R"(ATTRS{idProduct}=="8842", TAG+="uaccess")"),
             qPrintable(source));
    QVERIFY(w->findChild<QLabel*>(QStringLiteral("testerIntro"))->text().contains("must have the focus"));

    QTest::keyClick(w->windowHandle(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(tester.matchedKeys(), QVector<int>{2});
    QTest::keyPress(w->windowHandle(), Qt::Key_A);
    QTest::keyPress(w->windowHandle(), Qt::Key_A, Qt::NoModifier);
    QTreeWidgetItem* newest = log()->topLevelItem(0);
    QCOMPARE(newest->text(0), QStringLiteral("A"));
    QCOMPARE(newest->text(1), QStringLiteral("pressed"));
    QVERIFY(log()->topLevelItemCount() >= 4);  // Ctrl, Ctrl+V, their releases

    // Leaving gives the picture back to the selection.
    showPage(*w, 0);
    QCOMPARE(keyButton(*w, 2)->styleSheet(), QString::fromLatin1(KeyPictureButtons::SelectedStyle));
    QCOMPARE(keyButton(*w, 1)->styleSheet(), QString::fromLatin1(KeyPictureButtons::NormalStyle));
}

void TestWidgetTester::recordsATypedShortcutAsOneStep()
{
    // What the clicks store, to compare the typing with.
    clickCaptions(*w, 4, {"pushButton_Ctrl", "pushButton_Shift", "key_P"});
    const std::vector<uint8_t> clicked = bytesOf(w->config().record(0, 4) + 3, kSlotBytes - 3);

    clickCaptions(*w, 3, {"key_A"});
    const std::vector<uint8_t> before = bytesOf(w->config().record(0, 3), kSlotBytes);
    const int steps = w->history()->count();
    QPushButton* record = button(*w, "recordShortcut");
    click(record);
    QVERIFY(record->isChecked());
    QTest::keyClick(w->windowHandle(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!record->isChecked());
    QCOMPARE(bytesOf(w->config().record(0, 3) + 3, kSlotBytes - 3), clicked);
    QCOMPARE(keyButton(*w, 3)->text(), QStringLiteral("Ctrl+Shift+P"));
    QCOMPARE(w->history()->count(), steps + 1);
    w->history()->undo();
    QCOMPARE(bytesOf(w->config().record(0, 3), kSlotBytes), before);

    // Escape cancels; a media key is no key combination of the tables.
    click(record);
    QTest::keyClick(w->windowHandle(), Qt::Key_Escape);
    QVERIFY(!record->isChecked());
    click(record);
    QTest::keyClick(w->windowHandle(), Qt::Key_VolumeUp);
    QVERIFY(status(*w).contains("cannot be recorded"));
    QCOMPARE(bytesOf(w->config().record(0, 3), kSlotBytes), before);
    QCOMPARE(w->history()->count(), steps + 1);  // the undone step stays to be redone
}

QTEST_MAIN(TestWidgetTester)
#include "test_widget_tester.moc"
