#include <QGridLayout>
#include <QSignalSpy>
#include <QtTest>

#include "app/pages/delay_page.h"
#include "app/window/window_state.h"
#include "app/pages/led_page.h"
#include "app/pages/mouse_page.h"
#include "app/pages/quick_menu_page.h"
#include "test_form.h"

// Plays the main window's part: receives the spin-box signals and hands them
// back to the delay page, as the real window's slots do.
class DelayReceiver : public QObject {
    Q_OBJECT
public:
    explicit DelayReceiver(DelayPage& page) : Page(page) {}
public slots:
    void onSpinBoxValueChanged(int value) { Page.onValueChanged(sender(), value); }
    void slotSpinbox_slider() { Page.sliderChanged(); }
    void slotslider_Spinbox() { Page.spinBoxChanged(); }

private:
    DelayPage& Page;
};

class PagesGuiTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestForm> form;
    std::unique_ptr<KeypadConfig> config;
    WindowState window;  // the language the pages show: 1 English

    static int whiteModeButtons(const TestForm& f)
    {
        int white = 0;
        for (int m = 0; m < 6; ++m)
            white += f.find(QString("LED_Mode_%1").arg(m))->styleSheet() == LedPage::modeStyle(true);
        return white;
    }

    void useCurrentFormat(ConfigStore& store)
    {
        store.Cur_KeyBoard_KeyNum[2] = 10;
    }

private slots:
    void init()
    {
        config = std::make_unique<KeypadConfig>();
        form.reset(new TestForm);
        window.Language = 1;
    }

    // ---- LED page ----

    void colourClickStoresButtonColourAndStylesKey()
    {
        ConfigStore& store = config->rawStore();
        useCurrentFormat(store);
        store.Select_PHY_Key = 3;
        store.Select_PHY_Key_Layer = 1;
        LedPage page(form->root.get(), *config, window);
        page.setUp();

        form->find("LED_color_6")->click();

        QCOMPARE(int(store.KeyBoard_KeyLed[1][6]), 0);
        QCOMPARE(int(store.KeyBoard_KeyLed[1][7]), 0);
        QCOMPARE(int(store.KeyBoard_KeyLed[1][8]), 255);
        QCOMPARE(int(store.LedDirty[1]), 1);
        QCOMPARE(int(store.LedDirty[0]), 0);
        // The key wears its colour and keeps the selection frame.
        QCOMPARE(form->find("pushButton_K3")->styleSheet(), LedPage::keyLedStyle(Qt::blue, true));
        QVERIFY(LedPage::keyLedStyle(Qt::blue, true).contains("#e1e100"));
        // Other layers keep their palette.
        QCOMPARE(int(store.KeyBoard_KeyLed[0][6]), 0xFF);

        // The colour stored is the one the button shows, even after a restyle.
        form->find("LED_color_6")->setStyleSheet(LedPage::colourButtonStyle(QColor(10, 20, 30)));
        form->find("LED_color_6")->click();
        QCOMPARE(int(store.KeyBoard_KeyLed[1][6]), 10);
        QCOMPARE(int(store.KeyBoard_KeyLed[1][8]), 30);
    }

    void colourClickRefusesKeysWithoutLed_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("shownKeys");
        QTest::newRow("no key") << 0 << 15;
        QTest::newRow("knob action") << 17 << 15;
        QTest::newRow("beyond shown model") << 9 << 6;
    }

    void colourClickRefusesKeysWithoutLed()
    {
        QFETCH(int, key);
        QFETCH(int, shownKeys);
        ConfigStore& store = config->rawStore();
        useCurrentFormat(store);
        store.Select_PHY_Key = uint8_t(key);
        store.Layout_KeyBoard_KeyNum[0] = uint8_t(shownKeys);
        uint8_t before[kLayers][kLedBytesPerLayer];
        memcpy(before, store.KeyBoard_KeyLed, sizeof before);
        LedPage page(form->root.get(), *config, window);
        page.setUp();

        QTest::ignoreMessage(QtWarningMsg, qPrintable(QString("Invalid Select_PHY_Key: %1").arg(key)));
        form->find("LED_color_2")->click();

        QCOMPARE(memcmp(before, store.KeyBoard_KeyLed, sizeof before), 0);
        QVERIFY(!store.anyLedDirty());
        if (key >= 1 && key <= 16)
            QVERIFY(form->find(QString("pushButton_K%1").arg(key))->styleSheet().isEmpty());
    }

    void modeButtonsStayExclusiveAndFollowLayer()
    {
        ConfigStore& store = config->rawStore();
        store.Select_PHY_Key_Layer = 2;
        LedPage page(form->root.get(), *config, window);
        page.setUp();
        QCOMPARE(whiteModeButtons(*form), 0);

        form->find("LED_Mode_2")->click();
        form->find("LED_Mode_4")->click();
        QCOMPARE(whiteModeButtons(*form), 1);
        QCOMPARE(form->find("LED_Mode_4")->styleSheet(), LedPage::modeStyle(true));
        QCOMPARE(int(store.LayerLedMode[2]), 4);
        QCOMPARE(int(store.LayerLedMode[0]), 0);
        QCOMPARE(int(store.LedDirty[2]), 1);

        // Back on layer 0 the display shows that layer's mode and colours.
        store.Select_PHY_Key_Layer = 0;
        store.LayerLedMode[0] = 1;
        store.Layout_KeyBoard_KeyNum[0] = 2;
        page.showLayerLeds();
        QCOMPARE(whiteModeButtons(*form), 1);
        QCOMPARE(form->find("LED_Mode_1")->styleSheet(), LedPage::modeStyle(true));
        QCOMPARE(form->find("pushButton_K2")->styleSheet(), QString("background-color: rgb(255, 128, 48);"));
        QVERIFY(form->find("pushButton_K3")->styleSheet().isEmpty());

        // A mode the buttons cannot show leaves them as they are.
        store.LayerLedMode[0] = 6;
        page.showLayerLeds();
        QCOMPARE(form->find("LED_Mode_1")->styleSheet(), LedPage::modeStyle(true));
    }

    void colourButtonsFollowFormatAndVariant()
    {
        LedPage page(form->root.get(), *config, window);
        page.hideAllColourButtons();
        QVERIFY(form->find("LED_color_1")->isHidden());

        page.applyFormat(false, 1);
        QCOMPARE(form->find("LED_color_1")->text(), QString("Red"));
        QCOMPARE(form->find("LED_color_7")->text(), QString("Purple"));
        QVERIFY(form->find("LED_color_8")->isHidden());

        page.applyFormat(true, 1);
        QVERIFY(form->find("LED_color_1")->text().isEmpty());
        QVERIFY(!form->find("LED_color_8")->isHidden());
        QVERIFY(!form->find("LED_color_56")->isHidden());

        page.applyFormat(true, 2);
        QVERIFY(form->find("LED_color_8")->isHidden());

        window.Language = 0;
        page.applyFormat(false, 1);
        QCOMPARE(form->find("LED_color_5")->text(), QString::fromUtf8("青色"));
    }

    // The text names mode and colour in every edition; light colours get dark ink.
    void oldFormatLightingShowsModeAndColour()
    {
        LedPage page(form->root.get(), *config, window);
        QCOMPARE(page.oldFormatLedText(0x63), QString("LED Mode3   Blue"));
        window.Language = 0;
        QCOMPARE(page.oldFormatLedText(0x13), QString::fromUtf8("LED模式3   红色"));
        for (int n : {3, 5})  // Yellow, Cyan
            QCOMPARE(LedPage::inkOn(LedPage::paletteColour(n)), QColor(0x20, 0x20, 0x20));
        for (int n : {6, 7})  // Blue, Purple
            QCOMPARE(LedPage::inkOn(LedPage::paletteColour(n)), QColor(Qt::white));
    }

    // ---- Delay page ----

    void showingAKeyNeverStoresAndEmptySlotsShowNothing()
    {
        ConfigStore& store = config->rawStore();
        useCurrentFormat(store);
        DelayPage page(form->root.get(), *config, window);
        DelayReceiver receiver(page);
        page.setUp(&receiver, SLOT(onSpinBoxValueChanged(int)));
        store.Select_PHY_Key = 5;
        store.WriteSelectionHeader(5);
        uint8_t* record = store.PHY2_KEY_Value[0][5];
        record[3] = ModeKeys;
        record[6] = 0x01;  // entry 1: 300 ms, A
        record[7] = 0x2C;
        record[8] = 0x04;
        record[10] = 20;  // entry 2: 20 ms, B
        record[11] = 0x05;
        store.ClearModifiedFlags();
        const std::vector<uint8_t> before(record, record + kSlotBytes);

        page.enter();
        auto* box1 = form->find<QSpinBox>("delay_spinBox_1");
        auto* box2 = form->find<QSpinBox>("delay_spinBox_2");
        QCOMPARE(box1->value(), 300);
        QCOMPARE(box2->text(), QString("50   ms"));
        QVERIFY(box2->isEnabled());
        QCOMPARE(std::vector<uint8_t>(record, record + kSlotBytes), before);
        QVERIFY(!store.anyKeyDirty());

        // The user's edit of a box is the one thing that stores, 50 included.
        box2->setValue(50);
        QCOMPARE(int(record[10]), 50);
        QCOMPARE(int(store.KeyDirty[0][5]), 1);

        // An empty slot after the sequence: nothing of K5 stays on the page.
        store.Select_PHY_Key = 6;
        page.refresh();
        page.loadFromSelectedRecord();
        QCOMPARE(box1->text().trimmed(), QString());
        QVERIFY(!box1->isEnabled());
        QCOMPARE(form->find("pushButton_delay_1")->text(), QString());
        QVERIFY(!store.KeyDirty[0][6]);
    }

    void enteredDelayIsStoredBigEndian()
    {
        ConfigStore& store = config->rawStore();
        useCurrentFormat(store);
        store.Select_PHY_Key = 4;
        store.Select_PHY_Key_Layer = 0;
        DelayPage page(form->root.get(), *config, window);
        DelayReceiver receiver(page);
        page.setUp(&receiver, SLOT(onSpinBoxValueChanged(int)));
        page.enter();

        form->find<QSpinBox>("delay_spinBox_3")->setValue(1000);

        QCOMPARE(int(store.PHY2_KEY_Value[0][4][12]), 0x03);
        QCOMPARE(int(store.PHY2_KEY_Value[0][4][13]), 0xE8);
        QCOMPARE(int(store.KeyDirty[0][4]), 1);
        // A box that is not an entry box stores nothing.
        page.onValueChanged(form->find<QSpinBox>("spinBox"), 2000);
        QCOMPARE(int(store.PHY2_KEY_Value[0][4][6]), 0);
    }

    void refreshShowsEntryKeysAndSelectionState()
    {
        ConfigStore& store = config->rawStore();
        useCurrentFormat(store);
        DelayPage page(form->root.get(), *config, window);
        page.enter();
        QVERIFY(!form->find<QSpinBox>("delay_spinBox_1")->isEnabled());
        QCOMPARE(form->find<QSpinBox>("delay_spinBox_18")->suffix(), QString("   ms"));
        QCOMPARE(form->find<QSpinBox>("delay_spinBox_2")->maximum(), DelayPage::kMaxDelay);

        store.Select_PHY_Key = 2;
        uint8_t* record = store.PHY2_KEY_Value[0][2];
        record[3] = ModeKeys;
        record[8] = 0xF2;
        record[11] = 0x04;
        record[14] = 0xFA;
        page.refresh();
        QVERIFY(form->find<QSpinBox>("delay_spinBox_1")->isEnabled());
        QCOMPARE(form->find("pushButton_delay_1")->text(), QString("Shift+"));
        QCOMPARE(form->find("pushButton_delay_1")->styleSheet(), QString("color: rgb(0, 255, 0);"));
        QCOMPARE(form->find("pushButton_delay_2")->text(), QString("A"));
        QCOMPARE(form->find("pushButton_delay_3")->styleSheet(), QString("color: rgb(0, 255, 0);"));
        QCOMPARE(form->find("pushButton_delay_4")->text(), QString("NULL"));
        QCOMPARE(form->find("pushButton_delay_4")->styleSheet(), QString("color: rgb(255, 0, 0);"));

        // A multimedia record has no entries to time.
        record[3] = ModeMultimedia;
        page.refresh();
        QCOMPARE(form->find("pushButton_delay_1")->text(), QString());
        QVERIFY(!form->find<QSpinBox>("delay_spinBox_1")->isEnabled());
    }

    void oldFormatSingleDelayStoresLittleEndianAndShowsText()
    {
        ConfigStore& store = config->rawStore();
        store.Select_PHY_Key = 2;
        store.Select_PHY_Key_Mode = ModeDelay;
        DelayPage page(form->root.get(), *config, window);
        DelayReceiver receiver(page);
        auto* spinBox = form->find<QSpinBox>("spinBox");
        auto* slider = form->find<QSlider>("horizontalSlider");
        QObject::connect(slider, SIGNAL(valueChanged(int)), &receiver, SLOT(slotSpinbox_slider()));
        QObject::connect(spinBox, SIGNAL(valueChanged(int)), &receiver, SLOT(slotslider_Spinbox()));

        spinBox->setValue(300);
        const uint8_t* record = store.PHY_KEY_Value[0][2];
        QCOMPARE(int(record[4]), 0x2C);
        QCOMPARE(int(record[5]), 0x01);
        QCOMPARE(int(record[3]), int(ModeDelay));
        QCOMPARE(slider->value(), 300);
        QCOMPARE(form->lineEdit->toPlainText(), QString(" 300 MS"));

        slider->setValue(500);
        QCOMPARE(spinBox->value(), 500);
        QCOMPARE(int(record[4]), 0xF4);
        QCOMPARE(form->lineEdit->toPlainText(), QString(" 500 MS"));

        // Without a key nothing is stored, so the text box claims nothing.
        store.Select_PHY_Key = 0;
        spinBox->setValue(800);
        QCOMPARE(form->lineEdit->toPlainText(), QString(" 500 MS"));
    }

    void formatChoosesDelayControls()
    {
        DelayPage page(form->root.get(), *config, window);
        page.showCurrentFormat(false);
        QVERIFY(form->find<QSpinBox>("delay_spinBox_1")->isHidden());
        QVERIFY(form->find("pushButton_delay_18")->isHidden());
        QVERIFY(!form->find<QSpinBox>("spinBox")->isHidden());
        QVERIFY(!form->find<QLabel>("label_2")->isHidden());
        page.showCurrentFormat(true);
        QVERIFY(!form->find<QSpinBox>("delay_spinBox_1")->isHidden());
        QVERIFY(form->find<QSlider>("horizontalSlider")->isHidden());
    }

    // ---- Quick-menu and mouse pages ----

    void quickMenuTabIsBuiltOnceAndRemoved()
    {
        QList<int> clicked;
        auto onClick = [&clicked](QPushButton*, int id) { clicked << id; };
        QVERIFY(QuickMenuPage::build(form->tabs, 1, onClick));
        QVERIFY(!QuickMenuPage::build(form->tabs, 1, onClick));
        QCOMPARE(form->tabs->count(), 7);
        QCOMPARE(QuickMenuPage::tabIndex(form->tabs), 6);

        QWidget* page = form->tabs->widget(6);
        const auto buttons = page->findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 31);
        auto* grid = qobject_cast<QGridLayout*>(page->layout());
        QVERIFY(grid);
        QCOMPARE(grid->columnCount(), 8);
        QCOMPARE(grid->rowCount(), 4);
        auto* redo = qobject_cast<QPushButton*>(grid->itemAtPosition(3, 6)->widget());
        QCOMPARE(redo->text(), QString("Redo"));
        QCOMPARE(QuickMenuPage::codesOf(redo), (std::vector<int>{0xF2, 0xF4, 0x1D}));
        QCOMPARE(qobject_cast<QPushButton*>(grid->itemAtPosition(0, 0)->widget())->property("data-value"),
                 QVariant(44));

        redo->click();
        QCOMPARE(clicked, QList<int>{31});

        QuickMenuPage::retranslate(form->tabs, 0);
        QCOMPARE(redo->text(), QString::fromUtf8("重做"));

        QVERIFY(QuickMenuPage::remove(form->tabs));
        QCOMPARE(form->tabs->count(), 6);
        QVERIFY(!QuickMenuPage::remove(form->tabs));
        QVERIFY(QuickMenuPage::build(form->tabs, 0, onClick));
    }

    void gesturesFollowFormat()
    {
        QWidget* root = form->root.get();
        setUpMousePage(root, form->tabs, 10, 1);
        QCOMPARE(form->tabs->tabText(4), QString("Mouse"));
        for (const char* name : {"Like", "LeftSwipe", "RightSwipe", "UpSwipe", "DownSwipe"})
            QVERIFY(form->find(name)->isHidden());

        setUpMousePage(root, form->tabs, 11, 1);
        QCOMPARE(form->tabs->tabText(4), QString("Mouse/Swipe screen"));
        for (const char* name : {"Like", "LeftSwipe", "RightSwipe", "UpSwipe", "DownSwipe"})
            QVERIFY(!form->find(name)->isHidden());
        QCOMPARE(form->find("LeftSwipe")->text(), QString("Left Swipe"));

        setUpMousePage(root, form->tabs, 11, 0);
        QCOMPARE(form->tabs->tabText(4), QString::fromUtf8("鼠标/划屏"));
        QCOMPARE(form->find("Like")->text(), QString::fromUtf8("点赞"));
        setGestureCaptions(root, 1);
        QCOMPARE(form->find("DownSwipe")->text(), QString("Down Swipe"));
        QVERIFY(form->find("mouse_left")->text().isEmpty());
    }
};

QTEST_MAIN(PagesGuiTest)
#include "test_pages_gui.moc"
