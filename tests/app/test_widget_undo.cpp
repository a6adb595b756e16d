#include "widget_harness.h"

#include <QAction>
#include <QSpinBox>

#include "app/window/edit_history.h"
#include "app/window/unsaved_changes.h"

using namespace harness;

namespace {

// Everything an undo has to put back: records, marks, LEDs, what the
// picture and the text box say, which keys carry the unsaved mark.
struct Seen {
    StoreSnapshot store;
    QStringList captions;
    QString text;
    QList<bool> marks;
    bool operator==(const Seen& o) const
    {
        return store == o.store && captions == o.captions && text == o.text && marks == o.marks;
    }
};

Seen seen(const Widget& w)
{
    Seen s{StoreSnapshot(store()), {}, textBox(w)->toPlainText(), {}};
    for (int id = 1; id <= 27; ++id) {
        s.captions << keyButton(w, id)->text();
        s.marks << keyButton(w, id)->property("unsaved").toBool();
    }
    return s;
}

void press(QWidget* target, const QKeySequence& keys) { QTest::keySequence(target, keys); }

const QKeySequence kUndo(Qt::CTRL | Qt::Key_Z);
const QKeySequence kRedo(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
const QKeySequence kRedoY(Qt::CTRL | Qt::Key_Y);

}  // namespace

class TestWidgetUndo : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        keypad = std::make_unique<SimulatedKeypad>(DeviceInfo{15, 3, 10, 0});
        w = freshWindow(*keypad);
        w->show();
        QApplication::setActiveWindow(w.get());
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        connectKeypad(*w);
        keypad->received.clear();
        asked.clear();
        w->unsavedChanges().setQuestion(
            [this](const QString&, const QString& text, QMessageBox::StandardButtons buttons) {
                asked << text;
                offered = buttons;
                return answer;
            });
    }
    void cleanup()
    {
        answer = QMessageBox::Discard;  // lets the window go
        w.reset();
        keypad.reset();
    }

    void everyEditTakenBackAndRedone();
    void undoAfterSaveMarksTheKeyAgain();
    void readBackAndNewKeypadClearTheHistory();
    void focusedSpinBoxKeepsItsOwnUndo();
    void saveCountAndCtrlS();
    void closeAsksSaveDiscardCancel();
    void discardReadsTheKeypadBack();
    void oldKeypadLightingIsOneStep();

private:
    std::unique_ptr<SimulatedKeypad> keypad;
    std::unique_ptr<Widget> w;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    QStringList asked;
    QMessageBox::StandardButtons offered;
};

void TestWidgetUndo::everyEditTakenBackAndRedone()
{
    // Selecting writes the record header and the LED page reads the layer's
    // LEDs from the keypad: neither is an edit to take back.
    click(keyButton(*w, 5));
    click(keyButton(*w, 3));
    showPage(*w, 3);
    showPage(*w, 0);
    std::vector<Seen> states{seen(*w)};
    auto step = [&] { states.push_back(seen(*w)); };

    click(*w, "key_A");  // a value click
    click(*w, "key_B");
    step();
    QCOMPARE(keyButton(*w, 3)->property("unsaved").toBool(), true);
    showPage(*w, 5);
    step();  // entering the page may round delays up: no step of its own
    w->findChild<QSpinBox*>("delay_spinBox_3")->setValue(1000);  // a delay
    step();
    showPage(*w, 3);
    button(*w, "LED_color_6")->click();  // a key colour
    click(*w, "LED_Mode_2");             // the layer's LED mode
    step();
    showPage(*w, 0);
    click(keyButton(*w, 5));
    click(*w, "key_C");
    step();
    click(*w, "cancel");  // clear
    step();
    click(*w, "cancel_2");  // Clear All
    step();
    QCOMPARE(status(*w), QStringLiteral("Layer cleared — Ctrl+Z brings it back"));
    QCOMPARE(keyButton(*w, 3)->text(), QStringLiteral("NULL"));

    const int steps = w->history()->count();
    QCOMPARE(steps, 8);  // A, B, delay, colour, mode, C, clear, Clear All
    for (int i = 0; i < steps; ++i)
        press(w.get(), kUndo);
    QCOMPARE(seen(*w), states.front());
    QVERIFY(!w->config().anyUnsaved());
    for (int i = 0; i < steps; ++i)
        press(w.get(), i % 2 ? kRedo : kRedoY);
    QCOMPARE(seen(*w), states.back());

    // Step by step back: each state exactly as it was shown.
    press(w.get(), kUndo);
    QCOMPARE(seen(*w), states[states.size() - 2]);
    QCOMPARE(keyButton(*w, 3)->text(), states[states.size() - 2].captions[2]);
    press(w.get(), kUndo);
    QCOMPARE(seen(*w), states[states.size() - 3]);

    // An edit of another layer taken back: that layer is shown again.
    w->SendLayer(1);
    QCOMPARE(keyButton(*w, 3)->text(), QStringLiteral("NULL"));
    press(w.get(), kUndo);
    QCOMPARE(int(store().Select_PHY_Key_Layer), 0);
    QCOMPARE(keyButton(*w, 3)->text(), states[states.size() - 4].captions[2]);
    QVERIFY(keyButton(*w, 3)->text() != QStringLiteral("NULL"));
    QCOMPARE(keyButton(*w, 3)->property("unsaved").toBool(), true);
    // Nothing was written: the only reports were the LED page's reads.
    QCOMPARE(countKind(keypad->received, ReportKind::LedReadRequest), int(keypad->received.size()));
}

void TestWidgetUndo::undoAfterSaveMarksTheKeyAgain()
{
    click(keyButton(*w, 3));
    click(*w, "key_A");
    click(*w, "download");
    QCOMPARE(int(keypad->storedRecords[0][3][8]), 0x04);
    QVERIFY(!w->config().anyUnsaved());

    // The keypad holds "A" now: the key taken back must go to it again.
    press(w.get(), kUndo);
    QCOMPARE(int(store().PHY2_KEY_Value[0][3][8]), 0);
    QCOMPARE(int(store().KeyDirty[0][3]), 1);
    QCOMPARE(keyButton(*w, 3)->property("unsaved").toBool(), true);
    press(w.get(), kRedo);  // what the keypad holds: nothing would be lost either way
    QCOMPARE(int(store().PHY2_KEY_Value[0][3][8]), 0x04);
}

void TestWidgetUndo::readBackAndNewKeypadClearTheHistory()
{
    click(keyButton(*w, 3));
    click(*w, "key_A");
    QCOMPARE(w->history()->count(), 1);
    click(*w, "Read_Configuration");
    QCOMPARE(w->history()->count(), 0);
    const StoreSnapshot before(store());
    press(w.get(), kUndo);
    QVERIFY(StoreSnapshot(store()) == before);

    click(*w, "key_B");
    QCOMPARE(w->history()->count(), 1);
    keypad->unplug();
    w->timeoutSlot();
    keypad->plug();
    connectKeypad(*w);
    QCOMPARE(w->history()->count(), 0);
}

void TestWidgetUndo::focusedSpinBoxKeepsItsOwnUndo()
{
    click(keyButton(*w, 3));
    click(*w, "key_A");
    showPage(*w, 5);
    auto* box = w->findChild<QSpinBox*>("delay_spinBox_2");
    box->setFocus();
    QVERIFY(box->hasFocus());
    QTest::keyClick(box, Qt::Key_Up);
    QTest::keyClick(box, Qt::Key_Up);
    QCOMPARE(w->history()->count(), 2);  // A, and the steps of one box as one
    press(box, kUndo);
    QCOMPARE(w->history()->index(), 2);  // the box's own text undo, not ours
    button(*w, "key_A")->setFocus();
    press(w.get(), kUndo);
    QCOMPARE(w->history()->index(), 1);
    QCOMPARE(box->value(), 50);
}

void TestWidgetUndo::saveCountAndCtrlS()
{
    QPushButton* save = button(*w, "download");
    const QString caption = save->text();
    QCOMPARE(caption, QStringLiteral("Save settings"));
    click(keyButton(*w, 3));
    click(*w, "key_A");
    click(keyButton(*w, 16));
    click(*w, "key_B");
    showPage(*w, 3);
    click(*w, "LED_Mode_1");
    QCOMPARE(save->text(), QStringLiteral("Save settings (3)"));
    click(*w, "change");  // the count survives a change of language
    QCOMPARE(save->text(), QStringLiteral(" 保存配置 (3)"));
    click(*w, "change");

    press(w.get(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(countKind(keypad->received, ReportKind::KeyRecord), 2);
    QCOMPARE(countKind(keypad->received, ReportKind::LedBlockOrLightingRecord), 3);
    QCOMPARE(save->text(), caption);
    QCOMPARE(keyButton(*w, 16)->property("unsaved").toBool(), false);
}

void TestWidgetUndo::closeAsksSaveDiscardCancel()
{
    QVERIFY(w->close());  // nothing unsaved: no question
    QVERIFY(asked.isEmpty());
    w->show();
    click(keyButton(*w, 3));
    click(*w, "key_A");

    answer = QMessageBox::Cancel;
    QVERIFY(!w->close());
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0], QStringLiteral("1 change is not saved to the keypad yet. Save it before closing?"));

    answer = QMessageBox::Save;
    keypad->faults.failingWrites = {keypad->writeAttempts + 1};
    QVERIFY(!w->close());  // the save failed: the edit would be lost
    QVERIFY(w->config().anyUnsaved());
    keypad->faults.failingWrites.clear();
    QVERIFY(w->close());
    QCOMPARE(int(keypad->storedRecords[0][3][8]), 0x04);

    w->show();
    click(*w, "key_B");
    answer = QMessageBox::Discard;
    QVERIFY(w->close());
    QCOMPARE(int(keypad->storedRecords[0][3][9]), 0);

    w->show();
    click(*w, "key_C");
    keypad->unplug();
    w->timeoutSlot();
    answer = QMessageBox::Cancel;
    QVERIFY(!w->close());
    QVERIFY(!offered.testFlag(QMessageBox::Save));  // nothing to save to
}

void TestWidgetUndo::discardReadsTheKeypadBack()
{
    const Seen pristine = seen(*w);
    QAction* discard = w->unsavedChanges().discardAction();
    QVERIFY(!discard->isEnabled());
    click(keyButton(*w, 3));
    click(*w, "key_A");
    showPage(*w, 3);
    click(*w, "LED_Mode_4");
    showPage(*w, 0);
    QVERIFY(discard->isEnabled());
    QCOMPARE(discard->text(), QStringLiteral("Discard changes"));

    answer = QMessageBox::Cancel;
    discard->trigger();
    QVERIFY(w->config().anyUnsaved());

    answer = QMessageBox::Discard;
    discard->trigger();
    QCOMPARE(asked.size(), 2);
    QVERIFY(!w->config().anyUnsaved());
    QCOMPARE(int(store().PHY2_KEY_Value[0][3][8]), 0);
    QCOMPARE(int(store().LayerLedMode[0]), int(keypad->ledBlocks[0].mode));
    QCOMPARE(seen(*w).captions, pristine.captions);
    QCOMPARE(w->history()->count(), 0);
    QVERIFY(countKind(keypad->received, ReportKind::KeyRecord) == 0);
}

void TestWidgetUndo::oldKeypadLightingIsOneStep()
{
    w.reset();
    keypad = std::make_unique<SimulatedKeypad>(DeviceInfo{15, 3, 9, 0});
    w = freshWindow(*keypad);
    w->unsavedChanges().setQuestion(
        [](const QString&, const QString&, QMessageBox::StandardButtons) { return QMessageBox::Discard; });
    connectKeypad(*w);
    const std::vector<uint8_t> lighting = bytesOf(store().PHY_KEY_Value[0][0], kOldRecordBytes);
    showPage(*w, 3);
    click(*w, "LED_Mode_1");
    QCOMPARE(w->history()->count(), 1);
    QCOMPARE(int(store().KeyDirty[0][0]), 1);
    w->history()->undo();
    QCOMPARE(bytesOf(store().PHY_KEY_Value[0][0], kOldRecordBytes), lighting);
    QCOMPARE(int(store().KeyDirty[0][0]), 0);

    // The keypad is never asked for its lighting slot: a discard keeps it.
    w->history()->redo();
    showPage(*w, 0);
    click(keyButton(*w, 2));
    click(*w, "key_A");
    w->unsavedChanges().discardAction()->trigger();
    QCOMPARE(int(store().KeyDirty[0][2]), 0);
    QCOMPARE(int(store().KeyDirty[0][0]), 1);
    QCOMPARE(button(*w, "download")->text(), QStringLiteral("Save settings (1)"));
}

QTEST_MAIN(TestWidgetUndo)
#include "test_widget_undo.moc"
