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

void press(QWidget* target, const QKeySequence& keys)
{
    QTest::keySequence(target, keys);
    if (auto* window = qobject_cast<Widget*>(target->window()))
        QVERIFY(settle(*window));
}

const QKeySequence kUndo(Qt::CTRL | Qt::Key_Z);
const QKeySequence kRedo(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
const QKeySequence kRedoY(Qt::CTRL | Qt::Key_Y);

}  // namespace

class TestWidgetUndo : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        openConnectedWindow(keypad, w, Focus::Active);
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
    void delayPageShowsWithoutEditing();
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
    step();  // entering the page only shows
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
    tick(*w);
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
    QCOMPARE(box->text(), QStringLiteral("50   ms"));  // the stored 0, shown as the least delay
    QCOMPARE(int(store().PHY2_KEY_Value[0][3][10]), 0);
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
    QVERIFY(!w->close());
    QVERIFY(settle(*w));
    QVERIFY(w->config().anyUnsaved());  // the save failed: the edit would be lost
    keypad->faults.failingWrites.clear();
    QVERIFY(!w->close());  // closes once the save has ended
    QVERIFY(settle(*w));
    QTRY_VERIFY(!w->isVisible());
    QCOMPARE(int(keypad->storedRecords[0][3][8]), 0x04);

    w->show();
    click(*w, "key_B");
    answer = QMessageBox::Discard;
    QVERIFY(w->close());
    QCOMPARE(int(keypad->storedRecords[0][3][9]), 0);

    w->show();
    click(*w, "key_C");
    keypad->unplug();
    tick(*w);
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
    QVERIFY(settle(*w));
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
    QVERIFY(settle(*w));
    QCOMPARE(int(store().KeyDirty[0][2]), 0);
    QCOMPARE(int(store().KeyDirty[0][0]), 1);
    QCOMPARE(button(*w, "download")->text(), QStringLiteral("Save settings (1)"));
}

QTEST_MAIN(TestWidgetUndo)
#include "test_widget_undo.moc"

void TestWidgetUndo::delayPageShowsWithoutEditing()
{
    // As the keypad holds them: K1 types A, B after 20 ms, C; K2 is Ctrl+S.
    uint8_t* k1 = keypad->storedRecords[0][1];
    for (int i : {0, 1, 2, 3, 5, 8, 10, 11, 14})
        k1[i] = std::vector<uint8_t>{0xFD, 1, 1, 1, 0, 3, 0, 0, 0x04, 0, 20, 0x05, 0, 0, 0x06}[size_t(i)];
    uint8_t* k2 = keypad->storedRecords[0][2];
    k2[0] = 0xFD, k2[1] = 2, k2[2] = 1, k2[3] = 1, k2[5] = 2, k2[8] = 0xF1, k2[11] = 0x16;
    click(*w, "Read_Configuration");
    const std::vector<uint8_t> k1Read = bytesOf(store().PHY2_KEY_Value[0][1], kCurrentRecordBytes);
    keypad->received.clear();

    // Looking: a sequence, a shortcut, an empty key and a knob, then a save.
    showPage(*w, 5);
    auto* box2 = w->findChild<QSpinBox*>("delay_spinBox_2");
    for (int id : {1, 2, 4, 16, 1}) {
        click(keyButton(*w, id));
        QCOMPARE(box2->isEnabled(), id <= 2);
    }
    QCOMPARE(box2->text(), QStringLiteral("50   ms"));  // the stored 20
    click(*w, "download");
    QCOMPARE(countKind(keypad->received, ReportKind::KeyRecord), 0);
    QCOMPARE(w->history()->count(), 0);

    // One typed delay: one key changed, one step.
    box2->setFocus();
    QTest::keyClick(box2, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box2, "300");
    QCOMPARE(w->history()->count(), 1);
    QCOMPARE(int(store().PHY2_KEY_Value[0][1][9] << 8 | store().PHY2_KEY_Value[0][1][10]), 300);
    QCOMPARE(w->config().unsavedCount(), 1);
    click(keyButton(*w, 2));  // shown, not changed
    QCOMPARE(w->config().unsavedCount(), 1);

    w->history()->undo();
    QCOMPARE(bytesOf(store().PHY2_KEY_Value[0][1], kCurrentRecordBytes), k1Read);
    QCOMPARE(w->config().unsavedCount(), 0);
    w->history()->redo();
    click(*w, "download");
    QCOMPARE(countKind(keypad->received, ReportKind::KeyRecord), 1);
    QCOMPARE(int(keypad->storedRecords[0][1][10]), 300 & 0xFF);

    // What the keypad holds now is what the page shows after a read-back.
    click(keyButton(*w, 1));
    keypad->storedRecords[0][1][9] = 700 >> 8, keypad->storedRecords[0][1][10] = 700 & 0xFF;
    click(*w, "Read_Configuration");
    QCOMPARE(box2->value(), 700);
}
