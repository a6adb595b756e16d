#include "widget_harness.h"

#include "core/device/permission_doctor.h"

#include <QApplication>
#include <QClipboard>

#include "app/picker/dialog1.h"

using namespace harness;

namespace {

const QString kConnected = QStringLiteral("Device Connect");
const QString kDisconnected = QStringLiteral("Connect the device with a usb cable");

int procreateTabs(const QTabWidget* t)
{
    int n = 0;
    for (int i = 0; i < t->count(); ++i)
        n += t->tabText(i) == QLatin1String("Procreate");
    return n;
}

}  // namespace

class TestWidgetMonitor : public QObject {
    Q_OBJECT

private slots:
    void firstConnectionAdaptsTheWindow();
    void unplugAndReplugReadsAgain();
    void oldFormatKeypadRemovesNewerPages();
    void silentKeypadAsksForTheModel();
    void unplugDuringFirstReadBack();
    void openFailureKeepsSearching();
    void permissionProblemIsShown();
    void primaryVendorWins();
};

void TestWidgetMonitor::firstConnectionAdaptsTheWindow()
{
    SimulatedKeypad keypad(DeviceInfo{3, 1, 10, 0});
    auto w = freshWindow(keypad);
    QPushButton* read = button(*w, "Read_Configuration");
    read->setEnabled(false);  // proves the answered query enables it
    QVERIFY(!keyButton(*w, 15)->isHidden());

    tick(*w);
    QCOMPARE(keypad.opens, 1);
    QCOMPARE(w->connection().state(), KeypadConnection::State::Opened);
    QVERIFY(keypad.received.empty());  // nothing is asked in the tick that opens

    tick(*w);
    QCOMPARE(w->connection().state(), KeypadConnection::State::Connected);
    QCOMPARE(status(*w), kConnected);
    QVERIFY(read->isEnabled());
    QCOMPARE(classifyReport(keypad.received.front()), ReportKind::DeviceInfoQuery);
    QCOMPARE(countKind(keypad.received, ReportKind::KeyReadRequest), 3);
    QCOMPARE(bytesOf(store().Cur_KeyBoard_KeyNum, 4), (std::vector<uint8_t>{3, 1, 10, 0}));
    QCOMPARE(bytesOf(store().Layout_KeyBoard_KeyNum, 4), (std::vector<uint8_t>{3, 1, 10, 0}));
    // The picture now has three keys.
    QVERIFY(!keyButton(*w, 3)->isHidden());
    QVERIFY(keyButton(*w, 4)->isHidden());
    QVERIFY(keyButton(*w, 15)->isHidden());
    QCOMPARE(procreateTabs(tabs(*w)), 1);

    // A connected tick asks nothing more.
    const size_t before = keypad.received.size();
    tick(*w);
    QCOMPARE(keypad.received.size(), before);
    QCOMPARE(status(*w), kConnected);
}

void TestWidgetMonitor::unplugAndReplugReadsAgain()
{
    SimulatedKeypad keypad;
    auto w = freshWindow(keypad);
    connectKeypad(*w);
    QCOMPARE(status(*w), kConnected);

    keypad.unplug();
    tick(*w);
    QCOMPARE(w->connection().state(), KeypadConnection::State::Searching);
    QCOMPARE(keypad.closes, 1);
    tick(*w);
    QCOMPARE(status(*w), kDisconnected);

    // Memory changed while away: the second first connection must read it.
    keypad.storedRecords[1][4][3] = 1;
    keypad.storedRecords[1][4][5] = 1;
    keypad.storedRecords[1][4][8] = 0x05;  // "B"
    keypad.plug();
    connectKeypad(*w);
    QCOMPARE(status(*w), kConnected);
    QCOMPARE(keypad.opens, 2);
    QCOMPARE(countKind(keypad.received, ReportKind::DeviceInfoQuery), 2);
    QCOMPARE(countKind(keypad.received, ReportKind::KeyReadRequest), 6);
    QCOMPARE(int(store().PHY2_KEY_Value[1][4][8]), 0x05);
    QCOMPARE(procreateTabs(tabs(*w)), 1);
    QVERIFY(!store().anyKeyDirty());
}

void TestWidgetMonitor::oldFormatKeypadRemovesNewerPages()
{
    SimulatedKeypad keypad;
    auto w = freshWindow(keypad);
    connectKeypad(*w);
    QCOMPARE(procreateTabs(tabs(*w)), 1);

    // The same port now carries an older keypad.
    keypad.unplug();
    tick(*w);
    keypad.info = DeviceInfo{15, 3, 9, 0};
    keypad.plug();
    connectKeypad(*w);

    QCOMPARE(w->connection().state(), KeypadConnection::State::Connected);
    QCOMPARE(procreateTabs(tabs(*w)), 0);
    QCOMPARE(tabs(*w)->count(), 7);
    for (const char* name : {"Like", "LeftSwipe", "RightSwipe", "UpSwipe", "DownSwipe"})
        QVERIFY2(button(*w, name)->isHidden(), name);
    for (int n = 1; n <= 18; ++n) {
        QVERIFY(w->findChild<QWidget*>(QStringLiteral("delay_spinBox_%1").arg(n))->isHidden());
        QVERIFY(button(*w, QStringLiteral("pushButton_delay_%1").arg(n))->isHidden());
    }
    QVERIFY(!w->findChild<QWidget*>(QStringLiteral("horizontalSlider"))->isHidden());
    // The old format asks for fifteen keys and three knobs.
    const Report& request = keypad.received.back();
    QCOMPARE(classifyReport(request), ReportKind::KeyReadRequest);
    QCOMPARE(int(request[2]), 15);
    QCOMPARE(int(request[3]), 3);
    QCOMPARE(int(request[4]), 3);  // the last of the three layers
    QCOMPARE(tabs(*w)->tabText(4), QStringLiteral("Mouse"));

    // Going back to a newer keypad brings the page back, once.
    keypad.unplug();
    tick(*w);
    keypad.info = DeviceInfo{15, 3, 11, 0};
    keypad.plug();
    connectKeypad(*w);
    QCOMPARE(procreateTabs(tabs(*w)), 1);
    QVERIFY(!button(*w, "Like")->isHidden());
}

void TestWidgetMonitor::silentKeypadAsksForTheModel()
{
    SimulatedKeypad keypad(DeviceInfo{6, 1, 10, 0});
    keypad.faults.silentInfoQuery = true;
    auto w = freshWindow(keypad);
    Dialog1* picker = w->dialog1();
    QVERIFY(!picker->isVisible());

    connectKeypad(*w);
    QCOMPARE(w->connection().state(), KeypadConnection::State::Connected);
    QVERIFY(picker->isVisible());  // not hidden by the layout check of the same tick
    QVERIFY(!button(*w, "Read_Configuration")->isEnabled());
    QCOMPARE(bytesOf(store().Cur_KeyBoard_KeyNum, 4), (std::vector<uint8_t>{0, 0, 0, 0}));

    tick(*w);
    QVERIFY(picker->isVisible());  // no choice yet, nothing to adopt

    QList<QAbstractButton*> choices = picker->buttonGroup()->buttons();
    QVERIFY(!choices.isEmpty());
    QAbstractButton* choice = choices.last();
    click(choice);
    const uint8_t keys = store().Cur_KeyBoard_KeyNum[0];
    const uint8_t knobs = store().Cur_KeyBoard_KeyNum[1];
    QVERIFY(keys != 0 || knobs != 0);
    QVERIFY(!picker->isVisible());  // the picked board is drawn at once
    QCOMPARE(int(store().Layout_KeyBoard_KeyNum[0]), int(keys));
    QCOMPARE(int(store().Layout_KeyBoard_KeyNum[1]), int(knobs));
    QVERIFY(!button(*w, "Read_Configuration")->isEnabled());
}

void TestWidgetMonitor::unplugDuringFirstReadBack()
{
    SimulatedKeypad keypad;
    keypad.storedRecords[0][1][3] = 1;
    keypad.storedRecords[0][1][8] = 0x04;
    keypad.faults.unplugAtWrite = 2;  // the first key read request; the query went through
    auto w = freshWindow(keypad);
    const StoreSnapshot before(store());
    connectKeypad(*w);
    QVERIFY(StoreSnapshot(store()) == before);
    QCOMPARE(keyButton(*w, 1)->text(), QStringLiteral("NULL"));

    tick(*w);
    QCOMPARE(w->connection().state(), KeypadConnection::State::Searching);
    tick(*w);
    QCOMPARE(status(*w), kDisconnected);

    // Back on the bus: read in full this time.
    keypad.plug();
    connectKeypad(*w);
    QCOMPARE(keyButton(*w, 1)->text(), QStringLiteral("A"));
    QVERIFY(!store().anyKeyDirty());
}

void TestWidgetMonitor::openFailureKeepsSearching()
{
    SimulatedKeypad keypad;
    keypad.faults.openFailure = OpenFailure::Other;
    auto w = freshWindow(keypad);
    for (int i = 0; i < 3; ++i) {
        tick(*w);
        QCOMPARE(w->connection().state(), KeypadConnection::State::Searching);
        QCOMPARE(status(*w), kDisconnected);
    }
    QCOMPARE(keypad.opens, 0);
    QVERIFY(keypad.received.empty());

    // Once the keypad can be opened, the ordinary connection follows.
    keypad.faults.openFailure = OpenFailure::None;
    connectKeypad(*w);
    QCOMPARE(status(*w), kConnected);
}

void TestWidgetMonitor::permissionProblemIsShown()
{
    SimulatedKeypad keypad;
    keypad.faults.openFailure = OpenFailure::PermissionDenied;
    auto w = freshWindow(keypad);
    tick(*w);
    QCOMPARE(w->connection().state(), KeypadConnection::State::Searching);
    // The status names this machine's case and its fix, which can be copied.
    const Diagnosis diagnosis = diagnoseOpenFailure(QStringLiteral("/dev/hidraw0"), OpenFailure::PermissionDenied,
                                                    LocalFileSystem());
    QVERIFY(diagnosis.verdict != AccessVerdict::OpenFailed);
    QCOMPARE(status(*w), statusText(diagnosis, 1));
    auto* copy = w->findChild<QPushButton*>(QStringLiteral("copyFixCommands"));
    QVERIFY(copy);
    QCOMPARE(copy->isVisibleTo(w.get()), !fixCommands(diagnosis).isEmpty());
    if (copy->isVisibleTo(w.get())) {
        copy->click();
        QCOMPARE(QApplication::clipboard()->text(), fixCommands(diagnosis));
    }

    w->on_change_clicked();
    tick(*w);
    QCOMPARE(status(*w), statusText(diagnosis, 0));

    // Gone from the bus: the ordinary disconnected text again, in Chinese, and nothing to copy.
    keypad.unplug();
    tick(*w);
    QCOMPARE(status(*w), QStringLiteral("——请用数据线连接设备——"));
    QVERIFY(!copy->isVisibleTo(w.get()));
}

void TestWidgetMonitor::primaryVendorWins()
{
    SimulatedBus bus;
    SimulatedKeypad& other = bus.add(std::make_unique<SimulatedKeypad>(
        DeviceInfo{6, 1, 10, 0}, uint16_t(0x514C), uint16_t(0x8842),
        std::vector<SimulatedKeypad::Interface>{{0, "/dev/hidraw1"}}));
    SimulatedKeypad& primary = bus.add(std::make_unique<SimulatedKeypad>(
        DeviceInfo{9, 2, 10, 0}, uint16_t(0x1189), uint16_t(0x8851),
        std::vector<SimulatedKeypad::Interface>{{1, "/dev/hidraw2"}, {0, "/dev/hidraw3"}}));
    auto w = freshWindow(bus);
    connectKeypad(*w);
    QCOMPARE(primary.opens, 1);
    QCOMPARE(other.opens, 0);
    QCOMPARE(w->connection().vendorId(), uint16_t(0x1189));
    QCOMPARE(w->connection().productId(), uint16_t(0x8851));
    QCOMPARE(int(store().Cur_KeyBoard_KeyNum[0]), 9);
    QVERIFY(other.received.empty());
}

QTEST_MAIN(TestWidgetMonitor)
#include "test_widget_monitor.moc"
