#include "widget_harness.h"

#include <QSignalBlocker>
#include <QSpinBox>
#include <QTemporaryDir>

#include "app/window/status_line.h"
#include "core/device/keypad_lock.h"

using namespace harness;

namespace {

const QString kSaved = QStringLiteral("Saved successfully");
const QString kConnected = QStringLiteral("Device Connect");

}  // namespace

class TestWidgetExchange : public QObject {
    Q_OBJECT

private slots:
    void init() { openConnectedWindow(keypad, w); }
    void cleanup()
    {
        w.reset();
        keypad.reset();
    }

    void saveSendsTheEditAndCommits();
    void failedSaveKeepsTheEdit();
    void saveWithNothingChanged();
    void readBackShowsTheKeypadsMemory();
    void modelSwitchByName();
    void unplugDuringSave();
    void saveWhileAnotherProgramHoldsTheKeypad();
    void quickMenuAssignsTheSelectedKey();
    void oldFormatDelayReadsBackWithItsKeys();

private:
    void editKey3();  // "A" on key 3 of layer 1

    std::unique_ptr<SimulatedKeypad> keypad;
    std::unique_ptr<Widget> w;
};

void TestWidgetExchange::editKey3()
{
    click(keyButton(*w, 3));
    click(*w, "key_A");
    QCOMPARE(int(store().KeyDirty[0][3]), 1);
}

void TestWidgetExchange::saveSendsTheEditAndCommits()
{
    editKey3();
    click(*w, "download");

    QCOMPARE(keypad->received.size(), size_t(2));
    const Report& record = keypad->received[0];
    // The read-back on connection left type 0 in the key, so the first value
    // cleared it before writing; the clear leaves the entry delays at zero.
    std::vector<uint8_t> expected = {0x03, 0xFD, 0x03, 0x01, 0x01, 0x00, 0x01, 0x00, 0x00, 0x04};
    expected.resize(kReportBytes, 0);
    QCOMPARE(std::vector<uint8_t>(record.begin(), record.end()), expected);
    QCOMPARE(classifyReport(keypad->received[1]), ReportKind::Commit);
    QCOMPARE(keypad->sleeps, std::vector<int>{200});
    QCOMPARE(int(keypad->storedRecords[0][3][8]), 0x04);
    QVERIFY(!store().anyKeyDirty());

    QCOMPARE(status(*w), kSaved);
    QVERIFY(w->saveNoticeActive());
    tick(*w);
    QCOMPARE(status(*w), kSaved);  // the notice outlasts the ticks
    w->onTimeupDestroy();
    tick(*w);
    QCOMPARE(status(*w), kConnected);
}

void TestWidgetExchange::failedSaveKeepsTheEdit()
{
    editKey3();
    keypad->faults.failingWrites = {keypad->writeAttempts + 1};
    click(*w, "download");
    QVERIFY(status(*w) != kSaved);
    QCOMPARE(status(*w), QStringLiteral("Save failed — check the cable and try again — no record reached the keypad"));
    QVERIFY(keypad->received.empty());
    QCOMPARE(int(store().KeyDirty[0][3]), 1);
    QCOMPARE(int(keypad->storedRecords[0][3][8]), 0);

    w->onTimeupDestroy();
    click(*w, "download");
    QCOMPARE(status(*w), kSaved);
    QCOMPARE(countKind(keypad->received, ReportKind::KeyRecord), 1);
    QCOMPARE(int(keypad->received[0][2]), 3);
    QCOMPARE(countKind(keypad->received, ReportKind::Commit), 1);
    QCOMPARE(int(keypad->storedRecords[0][3][8]), 0x04);
    QVERIFY(!store().anyKeyDirty());
}

void TestWidgetExchange::saveWithNothingChanged()
{
    click(*w, "download");
    QVERIFY(keypad->received.empty());
    QVERIFY(keypad->sleeps.empty());
    QCOMPARE(status(*w), kSaved);
}

void TestWidgetExchange::readBackShowsTheKeypadsMemory()
{
    // Someone else programmed the keypad meanwhile: key 5 plays "B", key 6 mutes.
    uint8_t* key5 = keypad->storedRecords[0][5];
    key5[0] = 0xFD, key5[1] = 5, key5[2] = 1, key5[3] = 1, key5[5] = 1, key5[8] = 0x05;
    uint8_t* key6 = keypad->storedRecords[0][6];
    key6[0] = 0xFD, key6[1] = 6, key6[2] = 1, key6[3] = 2, key6[5] = 2, key6[8] = 0xE2;

    click(*w, "Read_Configuration");
    QCOMPARE(countKind(keypad->received, ReportKind::KeyReadRequest), 3);
    QCOMPARE(keyButton(*w, 5)->text(), QStringLiteral("B"));
    QCOMPARE(keyButton(*w, 6)->text(), QStringLiteral("Mute"));
    QCOMPARE(keyButton(*w, 7)->text(), QStringLiteral("NULL"));
    QVERIFY(!store().anyKeyDirty());

    keypad->received.clear();
    click(*w, "download");
    QVERIFY(keypad->received.empty());

    // Selecting the key shows what was read.
    click(keyButton(*w, 5));
    QCOMPARE(textBox(*w)->toPlainText(), QStringLiteral("B"));
}

void TestWidgetExchange::modelSwitchByName()
{
    QVERIFY(QMetaObject::invokeMethod(w.get(), "Set_Keyboard_Ver_SLOT", Q_ARG(int, 15)));
    QVERIFY(settle(*w));
    QVERIFY(!keypad->received.empty());
    const Report& first = keypad->received.front();
    QCOMPARE(std::vector<uint8_t>(first.begin(), first.begin() + 6),
             (std::vector<uint8_t>{0x03, 0xFC, 0xFC, 0x04, 0x01, 0x01}));
    QVERIFY(std::all_of(first.begin() + 6, first.end(), [](uint8_t b) { return b == 0; }));
    // The keypad now reports the new board and the picture follows it.
    QCOMPARE(classifyReport(keypad->received.back()), ReportKind::DeviceInfoQuery);
    QCOMPARE(int(store().Cur_KeyBoard_KeyNum[0]), 4);
    QCOMPARE(int(store().Layout_KeyBoard_KeyNum[1]), 1);

    keypad->received.clear();
    QVERIFY(QMetaObject::invokeMethod(w.get(), "Set_Keyboard_Ver_SLOT", Q_ARG(int, 17)));
    QVERIFY(settle(*w));
    QVERIFY(keypad->received.empty());
}

void TestWidgetExchange::unplugDuringSave()
{
    editKey3();
    keypad->faults.unplugAtWrite = keypad->writeAttempts + 1;
    click(*w, "download");
    QVERIFY(status(*w) != kSaved);
    QCOMPARE(int(store().KeyDirty[0][3]), 1);
    // The failed write is news of the unplug: no look of the bus watch is
    // needed (with udev events none may come before the remove event).
    QCOMPARE(w->connection().state(), KeypadConnection::State::Searching);
    // Nothing goes out while searching; the edit waits for the keypad.
    click(*w, "download");
    QCOMPARE(int(store().KeyDirty[0][3]), 1);
    QCOMPARE(keypad->closes, 1);
}

// Another writer has the keypad: the save says it is busy and sends nothing;
// once the other lets go, the same save goes through.
void TestWidgetExchange::saveWhileAnotherProgramHoldsTheKeypad()
{
    QTemporaryDir runtime;
    const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    w.reset();
    keypad = std::make_unique<SimulatedKeypad>(DeviceInfo{15, 3, 10, 0});
    KeypadLock other(QString::fromStdString(keypad->interfaces[0].path));
    QVERIFY(other.acquire(0));
    w = freshWindow(*keypad);
    w->lockKeypads();
    w->show();
    connectKeypad(*w);
    editKey3();
    keypad->received.clear();

    click(*w, "download");
    QVERIFY2(status(*w).startsWith(QStringLiteral("The keypad is busy")), qPrintable(status(*w)));
    QVERIFY(keypad->received.empty());
    QCOMPARE(int(store().KeyDirty[0][3]), 1);

    other.release();
    w->statusLine().endNotice();
    click(*w, "download");
    QCOMPARE(status(*w), kSaved);
    QCOMPARE(int(store().KeyDirty[0][3]), 0);
    qputenv("XDG_RUNTIME_DIR", runtimeBefore);
}

void TestWidgetExchange::quickMenuAssignsTheSelectedKey()
{
    QTabWidget* t = tabs(*w);
    QCOMPARE(t->count(), 8);
    QWidget* page = t->widget(6);
    QCOMPARE(t->tabText(6), QStringLiteral("Procreate"));
    QCOMPARE(t->widget(7)->objectName(), QStringLiteral("tab_tester"));
    showPage(*w, 6);
    QCOMPARE(int(store().Select_PHY_Key_Mode), int(ModeKeys));
    QList<QPushButton*> entries = page->findChildren<QPushButton*>();
    QVERIFY(!entries.isEmpty());
    QPushButton* entry = entries.first();

    // No key selected: nothing to assign to.
    const StoreSnapshot before(store());
    click(entry);
    QVERIFY(StoreSnapshot(store()) == before);

    // A mouse action first: the shortcut replaces it whole, subtype included.
    click(keyButton(*w, 2));
    showPage(*w, 4);
    QPushButton* mouse = nullptr;
    for (QPushButton* b : t->widget(4)->findChildren<QPushButton*>())
        mouse = b->text() == QStringLiteral("Alt+Mouse Down") ? b : mouse;
    click(mouse);
    QCOMPARE(int(store().PHY2_KEY_Value[0][2][4]), 1);
    showPage(*w, 6);
    click(entry);
    QCOMPARE(int(store().KeyDirty[0][2]), 1);
    QVERIFY(store().PHY2_KEY_Value[0][2][8] != 0);
    QCOMPARE(keyButton(*w, 2)->text(), entry->text());
    QCOMPARE(textBox(*w)->toPlainText(), entry->text());

    click(*w, "download");
    QCOMPARE(status(*w), kSaved);
    QCOMPARE(countKind(keypad->received, ReportKind::KeyRecord), 1);
    QCOMPARE(int(keypad->storedRecords[0][2][8]), int(store().PHY2_KEY_Value[0][2][8]));
    QCOMPARE(int(keypad->storedRecords[0][2][3]), int(ModeKeys));
    QCOMPARE(int(keypad->storedRecords[0][2][4]), 0);
    QCOMPARE(int(keypad->storedRecords[0][2][20]), 0);  // no wheel step left behind
}

// Old format: a delay is stamped onto a record that keeps its keys; the keypad
// holds both, and reading it back shows both.
void TestWidgetExchange::oldFormatDelayReadsBackWithItsKeys()
{
    w.reset();
    keypad = std::make_unique<SimulatedKeypad>(DeviceInfo{15, 3, 9, 0});
    w = freshWindow(*keypad);
    w->show();
    connectKeypad(*w);
    click(keyButton(*w, 4));
    click(*w, "key_C");
    showPage(*w, 5);
    auto* delay = w->findChild<QSpinBox*>(QStringLiteral("spinBox"));
    QVERIFY(delay);
    delay->setValue(300);
    click(*w, "download");
    QCOMPARE(status(*w), kSaved);
    const uint8_t* held = keypad->storedRecords[0][4];
    QCOMPARE(bytesOf(held + 3, 9), (std::vector<uint8_t>{5, 0x2C, 0x01, 0, 0, 0, 1, 0, 0x06}));

    click(*w, "Read_Configuration");
    QCOMPARE(keyButton(*w, 4)->text(), QStringLiteral("C"));
    {
        const QSignalBlocker quiet(delay);
        delay->setValue(0);
    }
    click(keyButton(*w, 4));
    QCOMPARE(textBox(*w)->toPlainText(), QStringLiteral(" C 300 MS"));
    QCOMPARE(delay->value(), 300);
    QVERIFY(!store().anyKeyDirty());  // showing the delay stores nothing
}

QTEST_MAIN(TestWidgetExchange)
#include "test_widget_exchange.moc"
