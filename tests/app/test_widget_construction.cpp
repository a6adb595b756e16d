#include "widget_harness.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMetaMethod>
#include <QScreen>

using namespace harness;

class TestWidgetConstruction : public QObject {
    Q_OBJECT

private slots:
    void init() { w = freshWindow(); }
    void cleanup() { w.reset(); }

    void editionControlsAreHidden();
    void opensMaximisedOnTheFirstPage();
    void physicalKeyGroup();
    void startsInEnglish();
    void slotTableOrder();
    void slotsConnectedByName();

private:
    std::unique_ptr<Widget> w;
};

void TestWidgetConstruction::editionControlsAreHidden()
{
    QStringList hidden = {"LAYER_SELE", "Layer1", "Layer2", "Layer3", "UPDATA_BT", "change", "pushButton_SeleKey"};
    for (int n = 1; n <= 56; ++n)
        hidden << QStringLiteral("LED_color_%1").arg(n);
    for (const QString& name : hidden) {
        QWidget* widget = w->findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(name));
        QVERIFY2(widget->isHidden(), qPrintable(name + " is shown"));
    }
    QLabel* qr = w->findChild<QLabel*>(QStringLiteral("QR_Code_Label"));
    QVERIFY(qr);
    QVERIFY(qr->isHidden());

    // What the user does need is there.
    for (const char* name : {"download", "Read_Configuration", "cancel", "cancel_2", "Dev_Sta_Dsp"})
        QVERIFY2(!button(*w, name)->isHidden(), name);
}

void TestWidgetConstruction::opensMaximisedOnTheFirstPage()
{
    QCOMPARE(tabs(*w)->currentIndex(), 0);
    QCOMPARE(tabs(*w)->count(), 7);  // the quick-menu page waits for a keypad; the key tester is last
    QCOMPARE(tabs(*w)->widget(6)->objectName(), QStringLiteral("tab_tester"));
    QCOMPARE(w->geometry(), QGuiApplication::primaryScreen()->availableGeometry());
    QCOMPARE(int(store().Select_PHY_Key), 0);
    QCOMPARE(int(store().Select_PHY_Key_Layer), 0);
    QCOMPARE(int(store().Select_PHY_Key_Mode), int(ModeKeys));
    QCOMPARE(int(store().PHY2_KEY_Value[2][59][0]), 0xFD);
    QCOMPARE(int(store().PHY_KEY_Value[1][7][3]), 1);
}

void TestWidgetConstruction::physicalKeyGroup()
{
    QVERIFY(w->Key_Group->exclusive());
    QCOMPARE(w->Key_Group->buttons().size(), 25);
    for (int n = 1; n <= 25; ++n) {
        QPushButton* b = keyButton(*w, n);
        QVERIFY(b);
        QVERIFY2(b->isCheckable(), qPrintable(b->objectName()));
        QCOMPARE(w->Key_Group->id(b), n);
    }
    for (int n : {26, 27}) {
        QPushButton* b = keyButton(*w, n);
        QVERIFY(b);
        QVERIFY(!b->isCheckable());
        QCOMPARE(w->Key_Group->id(b), -1);
    }
}

void TestWidgetConstruction::startsInEnglish()
{
    QCOMPARE(w->Language_Flag, 1);
    QCOMPARE(button(*w, "download")->text(), QStringLiteral("Save settings"));
    QCOMPARE(button(*w, "Read_Configuration")->text(), QStringLiteral("View settings"));
    QCOMPARE(button(*w, "cancel_2")->text(), QStringLiteral("Clear All"));
    QCOMPARE(tabs(*w)->tabText(0), QStringLiteral("BaseKeys"));
    QCOMPARE(button(*w, "change")->text(), QStringLiteral("中文"));
    QCOMPARE(button(*w, "media_mute")->text(), QStringLiteral("Mute"));
    QCOMPARE(keyButton(*w, 1)->text(), QStringLiteral("NULL"));
}

void TestWidgetConstruction::slotTableOrder()
{
    const QStringList expected = {
        "on_confirmButton_clicked()", "on_CleanButton_clicked()", "on_CleanALLButton_clicked()",
        "Read_configuration_clicked()", "on_clean_DevData()", "SendLayer(int)", "timeoutSlot()",
        "on_changeButtonGroup(int)", "Set_Keyboard_Ver_SLOT(int)", "onSpinBoxValueChanged(int)",
        "on_tabWidget_currentChanged(int)", "on_download_clicked()", "slotSpinbox_slider()",
        "slotslider_Spinbox()", "onTimeupDestroy()", "on_change_clicked()", "KB_UpData_SoftWare()",
    };
    const QMetaObject* meta = w->metaObject();
    QStringList actual;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        QCOMPARE(m.methodType(), QMetaMethod::Slot);
        QCOMPARE(m.access(), QMetaMethod::Public);
        actual << QString::fromLatin1(m.methodSignature());
    }
    QCOMPARE(actual, expected);
}

void TestWidgetConstruction::slotsConnectedByName()
{
    // The tab bar reaches on_tabWidget_currentChanged through its name only.
    showPage(*w, 2);
    QCOMPARE(int(store().Select_PHY_Key_Mode), int(ModeMultimedia));
    showPage(*w, 5);
    QCOMPARE(int(store().Select_PHY_Key_Mode), int(ModeDelay));
    showPage(*w, 1);
    QCOMPARE(int(store().Select_PHY_Key_Mode), int(ModeKeys));

    // The language button is hidden, but its by-name connection still works.
    QPushButton* change = button(*w, "change");
    change->click();
    QCOMPARE(w->Language_Flag, 0);
    QCOMPARE(change->text(), QStringLiteral("English"));
    QCOMPARE(button(*w, "download")->text(), QStringLiteral(" 保存配置"));
    QCOMPARE(tabs(*w)->tabText(0), QStringLiteral("基础按键"));
    QCOMPARE(w->windowTitle(), QStringLiteral("TESSAPLEX_MINI"));
    change->click();
    QCOMPARE(w->Language_Flag, 1);
    QCOMPARE(change->text(), QStringLiteral("中文"));
    QCOMPARE(button(*w, "download")->text(), QStringLiteral("Save settings"));

    // download is wired twice: the explicit slot and the empty by-name one.
    const QMetaObject* meta = w->metaObject();
    QVERIFY(meta->indexOfSlot("on_download_clicked()") >= 0);
    QVERIFY(QObject::disconnect(button(*w, "download"), SIGNAL(clicked()), w.get(), SLOT(on_download_clicked())));
}

QTEST_MAIN(TestWidgetConstruction)
#include "test_widget_construction.moc"
