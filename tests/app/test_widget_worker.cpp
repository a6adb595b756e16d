// Exchanges run on the connection's worker thread while the window goes on.
#include "widget_harness.h"

#include "app/window/unsaved_changes.h"
#include "core/keypad/keypad_sync.h"

#include <QThread>

#include <mutex>
#include <condition_variable>

using namespace harness;

namespace {

// A keypad whose 200 ms pause after a commit lasts until the test lets it
// end, and that notes whether every report came from another thread than
// the window's.
class GatedKeypad : public SimulatedKeypad {
public:
    using SimulatedKeypad::SimulatedKeypad;
    QThread* window = QThread::currentThread();
    bool gated = false;
    bool writtenOnWindowThread = false;
    int replyDelayMs = 0;  // a slow keypad: every reply this late

    int write(HidHandle handle, const uint8_t* data, size_t length) override
    {
        writtenOnWindowThread = writtenOnWindowThread || QThread::currentThread() == window;
        return SimulatedKeypad::write(handle, data, length);
    }
    int readTimeout(HidHandle handle, uint8_t* data, size_t length, int milliseconds) override
    {
        QThread::msleep(static_cast<unsigned long>(replyDelayMs));
        return SimulatedKeypad::readTimeout(handle, data, length, milliseconds);
    }
    void sleepMs(int milliseconds) override
    {
        SimulatedKeypad::sleepMs(milliseconds);
        std::unique_lock<std::mutex> lock(mutex);
        paused = true;
        changed.notify_all();
        changed.wait(lock, [this] { return !gated; });
        paused = false;
    }
    // The window's event loop keeps turning while the worker is held.
    bool waitForPause()
    {
        for (int n = 0; n < 400; ++n) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (paused)
                    return true;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(5);
        }
        return false;
    }
    void setGated(bool on)
    {
        std::lock_guard<std::mutex> lock(mutex);
        gated = on;
        changed.notify_all();
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool paused = false;
};

}  // namespace

class TestWidgetWorker : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        openConnectedWindow(keypad, w);
        QVERIFY(!keypad->writtenOnWindowThread);  // the identity query and the first read-back too
    }
    void cleanup()
    {
        keypad->setGated(false);
        w.reset();
        keypad.reset();
    }

    void wireOrderAsTheOperationsGiveIt();
    void editsDuringASaveStayUnsaved();
    void unplugMidSave();
    void discardAndModelSwitchLeaveTheWindowFree();
    void closeCutsAReadShortButNotASave();

private:
    void assign(int layer, int key, const char* value)
    {
        click(w->findChild<QAbstractButton*>(QStringLiteral("Layer%1").arg(layer + 1)));
        click(keyButton(*w, key));
        click(*w, QString::fromLatin1(value));
    }

    std::unique_ptr<GatedKeypad> keypad;
    std::unique_ptr<Widget> w;
};

// A save and a read-back asked for at once go out one after the other, off
// the window's thread, report for report and pause for pause as the
// operations send them from the calling thread.
void TestWidgetWorker::wireOrderAsTheOperationsGiveIt()
{
    assign(0, 3, "key_A");
    assign(1, 5, "key_B");
    assign(2, 1, "key_C");
    w->config().rawStore().LedDirty[1] = 1;

    SimulatedKeypad reference(DeviceInfo{15, 3, 10, 0});
    std::memcpy(reference.storedRecords, keypad->storedRecords, sizeof reference.storedRecords);
    std::copy(std::begin(keypad->ledBlocks), std::end(keypad->ledBlocks), std::begin(reference.ledBlocks));
    const HidHandle handle = reference.open("/dev/hidraw0").handle;
    KeypadConfig copy;
    copy.rawStore() = w->config().store();
    QVERIFY(downloadConfig(DeviceLink{reference, handle}, copy).outcome == DownloadOutcome::Saved);
    readAllKeyRecords(DeviceLink{reference, handle}, copy);

    keypad->received.clear();
    keypad->readTimeoutsAsked.clear();
    QTest::mouseClick(button(*w, QStringLiteral("download")), Qt::LeftButton);
    QTest::mouseClick(button(*w, QStringLiteral("Read_Configuration")), Qt::LeftButton);
    QVERIFY(settle(*w));
    QVERIFY(!keypad->writtenOnWindowThread);
    QCOMPARE(keypad->received.size(), reference.received.size());
    QVERIFY(keypad->received == reference.received);
    QCOMPARE(keypad->sleeps, reference.sleeps);
    QCOMPARE(keypad->readTimeoutsAsked, reference.readTimeoutsAsked);
    QVERIFY(!w->config().anyUnsaved());
    QCOMPARE(status(*w), QStringLiteral("Read 3 layers from the keypad"));  // the read-back ended last
}

// The save sends what was marked when it began; what the user changes while
// it runs stays marked for the next one, and the window says how far it got.
// Closing meanwhile waits for the save to end.
void TestWidgetWorker::editsDuringASaveStayUnsaved()
{
    assign(0, 3, "key_A");
    keypad->setGated(true);
    QTest::mouseClick(button(*w, QStringLiteral("download")), Qt::LeftButton);
    QVERIFY(keypad->waitForPause());
    QCoreApplication::processEvents();
    QCOMPARE(status(*w), QStringLiteral("Saving... 1 of 1"));

    QTest::mouseClick(keyButton(*w, 3), Qt::LeftButton);
    QTest::mouseClick(button(*w, QStringLiteral("key_B")), Qt::LeftButton);  // key 3 now "A B"
    QTest::mouseClick(keyButton(*w, 4), Qt::LeftButton);
    QTest::mouseClick(button(*w, QStringLiteral("key_C")), Qt::LeftButton);
    const std::vector<uint8_t> key3Now = bytesOf(w->config().record(0, 3), kSlotBytes);
    int closeQuestions = 0;
    w->unsavedChanges().setQuestion([&](const QString&, const QString&, QMessageBox::StandardButtons) {
        ++closeQuestions;
        return QMessageBox::Cancel;
    });
    QVERIFY(!w->close());  // waits for the save
    QCOMPARE(closeQuestions, 0);

    keypad->setGated(false);
    QVERIFY(settle(*w));
    QTRY_COMPARE(closeQuestions, 1);  // then asks about the edits made meanwhile
    QVERIFY(w->isVisible());
    QCOMPARE(status(*w), QStringLiteral("Saved successfully"));
    QCOMPARE(int(keypad->storedRecords[0][3][8]), 0x04);
    QCOMPARE(int(keypad->storedRecords[0][3][11]), 0);  // "B" came after the save began
    QCOMPARE(int(store().KeyDirty[0][3]), 1);
    QCOMPARE(int(store().KeyDirty[0][4]), 1);
    QCOMPARE(bytesOf(w->config().record(0, 3), kSlotBytes), key3Now);

    keypad->received.clear();
    w->onTimeupDestroy();
    click(*w, "download");
    QCOMPARE(countKind(keypad->received, ReportKind::KeyRecord), 2);
    QCOMPARE(int(keypad->storedRecords[0][3][11]), 0x05);
    QVERIFY(!w->config().anyUnsaved());
}

// A keypad pulled out during a save: the worker's write fails, the window
// says so, keeps every edit marked and only then lets the keypad go.
void TestWidgetWorker::unplugMidSave()
{
    assign(0, 3, "key_A");
    assign(0, 4, "key_B");
    keypad->faults.unplugAtWrite = keypad->writeAttempts + 2;
    QTest::mouseClick(button(*w, QStringLiteral("download")), Qt::LeftButton);
    QVERIFY(w->connection().isConnected());  // the look waits for the save
    QVERIFY(settle(*w));
    QVERIFY(!keypad->writtenOnWindowThread);
    QVERIFY(status(*w).startsWith(QStringLiteral("Save failed — check the cable and try again")));
    QCOMPARE(keypad->commits, 0);
    QCOMPARE(int(store().KeyDirty[0][3]), 1);
    QCOMPARE(int(store().KeyDirty[0][4]), 1);
    QCOMPARE(w->connection().state(), KeypadConnection::State::Searching);
}

// "Discard changes" and a model switch (with the backup read before it) run
// on the worker too; the switch says how far it has got.
void TestWidgetWorker::discardAndModelSwitchLeaveTheWindowFree()
{
    assign(0, 3, "key_A");
    w->unsavedChanges().setQuestion(
        [](const QString&, const QString&, QMessageBox::StandardButtons) { return QMessageBox::Discard; });
    w->unsavedChanges().discard();
    QVERIFY(w->config().anyUnsaved());  // until the keypad has answered
    QVERIFY(settle(*w));
    QVERIFY(!w->config().anyUnsaved());

    assign(0, 4, "key_B");
    keypad->setGated(true);
    w->Set_Keyboard_Ver_SLOT(1);
    QVERIFY(keypad->waitForPause());
    QCoreApplication::processEvents();
    QVERIFY2(status(*w).startsWith(QStringLiteral("Saving... ")), qPrintable(status(*w)));
    keypad->setGated(false);
    QVERIFY(settle(*w));
    QVERIFY(!keypad->writtenOnWindowThread);
    QVERIFY(!w->config().anyUnsaved());  // the switch saves what was marked
}

// A read-back of a slow keypad would hold a closing window for 81 replies;
// it ends at its next report instead. A save is never cut.
void TestWidgetWorker::closeCutsAReadShortButNotASave()
{
    keypad->replyDelayMs = 200;
    keypad->readTimeoutsAsked.clear();
    QTest::mouseClick(button(*w, QStringLiteral("Read_Configuration")), Qt::LeftButton);
    QVERIFY(!w->close());
    QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 5000);
    QVERIFY(keypad->readTimeoutsAsked.size() < 10);

    w->show();
    keypad->replyDelayMs = 0;
    QVERIFY(settle(*w));
    assign(0, 3, "key_A");
    assign(1, 3, "key_B");
    keypad->setGated(true);
    QTest::mouseClick(button(*w, QStringLiteral("download")), Qt::LeftButton);
    QVERIFY(keypad->waitForPause());
    w->unsavedChanges().setQuestion(
        [](const QString&, const QString&, QMessageBox::StandardButtons) { return QMessageBox::Discard; });
    QVERIFY(!w->close());
    keypad->setGated(false);
    QTRY_VERIFY(!w->isVisible());
    QCOMPARE(keypad->commits, 1);
    QCOMPARE(int(keypad->storedRecords[1][3][8]), 0x05);
}

QTEST_MAIN(TestWidgetWorker)
#include "test_widget_worker.moc"
