#include "widget_harness.h"

#include "app/picture/key_picture_buttons.h"
#include "core/keypad/key_table.h"
#include "core/texts/run_time_texts.h"

#include <QSignalSpy>

using namespace harness;

namespace {

void useCurrentFormat(bool current) { store().Cur_KeyBoard_KeyNum[2] = current ? 10 : 0; }

QString keyLabel(const Widget& w, int id) { return keyButton(w, id)->text(); }

}  // namespace

class TestWidgetEditing : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        w = freshWindow();
        w->show();
    }
    void cleanup() { w.reset(); }

    void valueWithoutSelectedKeyChangesNothing();
    void combinationByClicks_data();
    void combinationByClicks();
    void otherPageReplacesTheAssignment();
    void delayPageSwallowsClicks();
    void oldFormatLightingPageDropsSelection();
    void currentFormatLightingPageHandlesItsButtons();
    void layerChangeDropsSelection();
    void clearWithoutSelectionChangesNothing();
    void clearAllResetsEveryLabel();
    void fullRecordRefusesMore();
    void captionsOfBothLanguagesResolve();

private:
    std::unique_ptr<Widget> w;
};

void TestWidgetEditing::valueWithoutSelectedKeyChangesNothing()
{
    useCurrentFormat(true);
    const StoreSnapshot before(store());
    QSignalSpy clicked(button(*w, "key_A"), &QPushButton::clicked);
    click(*w, "key_A");
    QCOMPARE(clicked.count(), 1);  // the filter lets the button act normally
    QVERIFY(StoreSnapshot(store()) == before);
    QCOMPARE(textBox(*w)->toPlainText(), QString());
    for (int id = 1; id <= 25; ++id)
        QCOMPARE(keyLabel(*w, id), QStringLiteral("NULL"));
}

void TestWidgetEditing::combinationByClicks_data()
{
    QTest::addColumn<bool>("current");
    QTest::addColumn<std::vector<uint8_t>>("record");
    // Current format: entries of three bytes from byte 6, the count in byte 5.
    QTest::newRow("current") << true
                             << recordImage({0xFD, 0x03, 0x01, 0x01, 0x00, 0x02, 0x00, 0x00, 0xF1, 0x00, 0x00, 0x06},
                                            kCurrentRecordBytes);
    // Old format: the modifier bits and the key form one pair.
    QTest::newRow("old") << false
                         << recordImage({0xFD, 0x03, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01, 0x06},
                                        kOldRecordBytes);
}

void TestWidgetEditing::combinationByClicks()
{
    QFETCH(bool, current);
    QFETCH(std::vector<uint8_t>, record);
    useCurrentFormat(current);

    click(keyButton(*w, 3));
    QCOMPARE(int(store().Select_PHY_Key), 3);
    QVERIFY(keyButton(*w, 3)->isChecked());
    QCOMPARE(button(*w, "pushButton_SeleKey")->text(), QStringLiteral("KEY3"));
    QCOMPARE(keyButton(*w, 3)->styleSheet(), QString::fromLatin1(KeyPictureButtons::SelectedStyle));
    QCOMPARE(keyButton(*w, 2)->styleSheet(), QString::fromLatin1(KeyPictureButtons::NormalStyle));

    click(*w, "pushButton_Ctrl");
    QCOMPARE(keyLabel(*w, 3), QStringLiteral("Ctrl+"));
    click(*w, "key_C");

    const uint8_t* stored = current ? store().PHY2_KEY_Value[0][3] : store().PHY_KEY_Value[0][3];
    QCOMPARE(bytesOf(stored, int(record.size())), record);
    QCOMPARE(int(store().KeyDirty[0][3]), 1);
    QVERIFY(!store().KeyDirty[0][2] && !store().KeyDirty[1][3]);
    QCOMPARE(keyLabel(*w, 3), QStringLiteral("Ctrl+ C"));
    QCOMPARE(textBox(*w)->toPlainText(), QStringLiteral("Ctrl+ C"));
    QCOMPARE(keyLabel(*w, 4), QStringLiteral("NULL"));

    // Selecting the key again renders the stored record instead of the clicks.
    click(keyButton(*w, 5));
    click(keyButton(*w, 3));
    QCOMPARE(textBox(*w)->toPlainText(), current ? QStringLiteral("Ctrl+C") : QStringLiteral("Ctrl+ C"));
}

void TestWidgetEditing::otherPageReplacesTheAssignment()
{
    useCurrentFormat(true);
    click(keyButton(*w, 3));
    click(*w, "pushButton_Ctrl");
    click(*w, "key_C");

    showPage(*w, 2);
    QPushButton* mute = button(*w, "media_mute");
    QCOMPARE(mute->text(), QStringLiteral("Mute"));
    click(mute);

    const uint8_t* rec = store().PHY2_KEY_Value[0][3];
    QCOMPARE(bytesOf(rec, kCurrentRecordBytes),
             recordImage({0xFD, 0x03, 0x01, 0x02, 0x00, 0x02, 0x00, 0x00, 0xE2}, kCurrentRecordBytes));
    QCOMPARE(int(store().KeyDirty[0][3]), 1);
    QCOMPARE(keyLabel(*w, 3), QStringLiteral("Mute"));
    QCOMPARE(textBox(*w)->toPlainText(), QStringLiteral("Mute"));

    // Page 1 is a keys page too: back on the keys, the media record is replaced.
    showPage(*w, 1);
    click(*w, "Shifta");
    QCOMPARE(int(rec[3]), 1);
    QCOMPARE(int(rec[5]), 1);
    QCOMPARE(int(rec[8]), 0xF2);
}

void TestWidgetEditing::delayPageSwallowsClicks()
{
    useCurrentFormat(true);
    click(keyButton(*w, 2));
    showPage(*w, 5);
    const StoreSnapshot before(store());
    const QString text = textBox(*w)->toPlainText();
    for (const char* name : {"pushButton_delay_1", "pushButton_delay_18"}) {
        QPushButton* b = button(*w, name);
        QSignalSpy clicked(b, &QPushButton::clicked);
        click(b);
        QCOMPARE(clicked.count(), 0);
    }
    QVERIFY(StoreSnapshot(store()) == before);
    QCOMPARE(textBox(*w)->toPlainText(), text);
}

void TestWidgetEditing::oldFormatLightingPageDropsSelection()
{
    useCurrentFormat(false);
    click(keyButton(*w, 3));
    QCOMPARE(int(store().Select_PHY_Key), 3);

    showPage(*w, 3);
    QCOMPARE(int(store().Select_PHY_Key), 0);
    QCOMPARE(int(store().Select_PHY_Key_Mode), int(ModeLighting));
    const StoreSnapshot before(store());
    const QString selected = button(*w, "pushButton_SeleKey")->text();
    click(keyButton(*w, 1));
    QCOMPARE(int(store().Select_PHY_Key), 0);
    QCOMPARE(button(*w, "pushButton_SeleKey")->text(), selected);
    QVERIFY(StoreSnapshot(store()) == before);

    // Old keypads keep the layer's lighting in slot 0; it needs no selected key.
    QPushButton* mode1 = button(*w, "LED_Mode_1");
    QCOMPARE(mode1->text(), QStringLiteral("LED Mode1"));
    click(mode1);
    const uint8_t* lighting = store().PHY_KEY_Value[0][0];
    QCOMPARE(bytesOf(lighting, 4), (std::vector<uint8_t>{0xFE, 0xB0, 0x01, 0x08}));
    QCOMPARE(int(lighting[11] & 0x0F), 1);
    QCOMPARE(int(store().KeyDirty[0][0]), 1);
    QVERIFY(textBox(*w)->toPlainText().startsWith(QStringLiteral("LED Mode1")));
}

void TestWidgetEditing::currentFormatLightingPageHandlesItsButtons()
{
    useCurrentFormat(true);
    click(keyButton(*w, 2));
    showPage(*w, 3);
    QCOMPARE(int(store().Select_PHY_Key), 2);  // the current format keeps the key
    click(*w, "LED_Mode_2");
    QCOMPARE(int(store().LayerLedMode[0]), 2);
    QCOMPARE(int(store().LedDirty[0]), 1);
    QVERIFY(!store().anyKeyDirty());  // no key record written through the value filter
    QCOMPARE(int(store().PHY2_KEY_Value[0][0][0]), 0xFD);
}

void TestWidgetEditing::layerChangeDropsSelection()
{
    useCurrentFormat(true);
    click(keyButton(*w, 3));
    click(*w, "key_A");
    QCOMPARE(keyLabel(*w, 3), QStringLiteral("A"));

    w->SendLayer(1);
    QCOMPARE(int(store().Select_PHY_Key_Layer), 1);
    QCOMPARE(int(store().Select_PHY_Key), 0);
    QCOMPARE(button(*w, "pushButton_SeleKey")->text(), QStringLiteral("NULL"));
    QCOMPARE(textBox(*w)->toPlainText(), QString());
    QCOMPARE(keyLabel(*w, 3), QStringLiteral("NULL"));  // layer 2 holds nothing there

    // A value click now has no key to go to.
    const StoreSnapshot before(store());
    click(*w, "key_B");
    QVERIFY(StoreSnapshot(store()) == before);

    w->SendLayer(0);
    QCOMPARE(keyLabel(*w, 3), QStringLiteral("A"));
}

void TestWidgetEditing::clearWithoutSelectionChangesNothing()
{
    for (bool current : {true, false}) {
        useCurrentFormat(current);
        // Old format: slot 0 holds the layer's lighting, which a stray clear must keep.
        store().PHY_KEY_Value[0][0][11] = 0x51;
        store().PHY2_KEY_Value[0][0][8] = 0x04;
        const StoreSnapshot before(store());
        click(*w, "cancel");
        QVERIFY(StoreSnapshot(store()) == before);
    }
}

void TestWidgetEditing::clearAllResetsEveryLabel()
{
    useCurrentFormat(true);
    for (int id : {1, 24}) {
        click(keyButton(*w, id));
        click(*w, "key_Z");
    }
    keyButton(*w, 26)->setText(QStringLiteral("k4_middle"));
    keyButton(*w, 27)->setText(QStringLiteral("k4_right"));

    click(*w, "cancel_2");
    for (int id = 1; id <= 27; ++id)
        QCOMPARE(keyLabel(*w, id), QStringLiteral("NULL"));
    QCOMPARE(textBox(*w)->toPlainText(), QString());
    QCOMPARE(int(store().PHY2_KEY_Value[0][1][8]), 0);
    QCOMPARE(int(store().PHY2_KEY_Value[0][24][8]), 0);
    // The keypad still holds the old keys: the clear has to reach it.
    QCOMPARE(int(store().KeyDirty[0][1]), 1);
    QCOMPARE(int(store().KeyDirty[0][24]), 1);
}

void TestWidgetEditing::fullRecordRefusesMore()
{
    useCurrentFormat(true);
    click(keyButton(*w, 7));
    for (int i = 0; i < kCurrentEntries; ++i)
        click(*w, "key_A");
    const uint8_t* rec = store().PHY2_KEY_Value[0][7];
    QCOMPARE(int(rec[5]), kCurrentEntries);
    const QString full = keyLabel(*w, 7);
    QCOMPARE(full.count(QLatin1Char('A')), kCurrentEntries);
    const StoreSnapshot before(store());

    click(*w, "key_B");
    click(*w, "pushButton_Ctrl");
    QVERIFY(StoreSnapshot(store()) == before);
    QCOMPARE(keyLabel(*w, 7), full);
    QCOMPARE(textBox(*w)->toPlainText(), full);
    // The refusal is said, not only logged.
    QCOMPARE(status(*w), RunTimeTexts::recordFull(1));
}

void TestWidgetEditing::captionsOfBothLanguagesResolve()
{
    useCurrentFormat(true);
    w->on_change_clicked();  // Chinese: the media buttons read their sources
    QCOMPARE(w->Language_Flag, 0);
    click(keyButton(*w, 4));
    showPage(*w, 2);
    QPushButton* volumeUp = button(*w, "media_volume_up");
    QCOMPARE(volumeUp->text(), QStringLiteral("音量+"));
    click(volumeUp);
    QCOMPARE(int(store().PHY2_KEY_Value[0][4][8]), 0xE9);
    QCOMPARE(keyLabel(*w, 4), QStringLiteral("音量+"));

    w->on_change_clicked();
    QCOMPARE(w->Language_Flag, 1);
    // Re-rendered in English after the switch.
    QCOMPARE(keyLabel(*w, 4), QStringLiteral("Volume+"));
    const int english = w->captions().indexOf(QStringLiteral("Volume+"));
    QVERIFY(english >= 0);
    QCOMPARE(w->captions().indexOf(QStringLiteral("音量+")), english);
    QCOMPARE(int(KeyTable::code(english)), 0xE9);

    click(*w, "media_volume_down");
    QCOMPARE(int(store().PHY2_KEY_Value[0][4][8]), 0xEA);
    QCOMPARE(keyLabel(*w, 4), QStringLiteral("Volume-"));
}

QTEST_MAIN(TestWidgetEditing)
#include "test_widget_editing.moc"
