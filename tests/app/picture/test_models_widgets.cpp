#include "app/window/resources_init.h"
#include "core/keypad/keypad_config.h"
#include "app/look/custom_tab_style.h"
#include "app/picker/dialog1.h"
#include "app/picture/layout_view.h"
#include "app/look/styles.h"
#include "app/picture/picture_cache.h"
#include "app/picture/picture_paths.h"
#include "app/picture/png_decode.h"
#include "app/window/window_state.h"

#include <QButtonGroup>
#include <QImage>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLoggingCategory>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionTab>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

#include <memory>

namespace {

// The named children of the main window's form that the layout view uses.
std::unique_ptr<QWidget> makeWindow(bool withFirstKey = true)
{
    auto window = std::make_unique<QWidget>();
    auto add = [&](QWidget* w, const QString& name) { w->setObjectName(name); };
    add(new QLabel(window.get()), "ALL_KEY_BK");
    for (int n = 1; n <= 27; ++n) {
        if (n == 1 && !withFirstKey)
            continue;
        add(new QLabel(window.get()), QStringLiteral("pushButton_K%1_BK").arg(n));
        add(new QPushButton(window.get()), QStringLiteral("pushButton_K%1").arg(n));
    }
    for (const char* name : {"Dev_Sta_Dsp", "cancel", "cancel_2", "Read_Configuration", "download",
                             "dowload_kuang", "LAYER_SELE", "Layer1", "Layer2", "Layer3",
                             "pushButton_SeleKey"})
        add(new QPushButton(window.get()), name);
    add(new QTextEdit(window.get()), "lineEdit");
    add(new QTabWidget(window.get()), "tabWidget");
    add(new QLabel(window.get()), "QR_Code_Label");
    return window;
}

QPushButton* button(QWidget* w, int n) { return w->findChild<QPushButton*>(QStringLiteral("pushButton_K%1").arg(n)); }
QLabel* label(QWidget* w, int n) { return w->findChild<QLabel*>(QStringLiteral("pushButton_K%1_BK").arg(n)); }

QPixmap shownPixmap(const QLabel* l) { return l->pixmap(Qt::ReturnByValue); }

}  // namespace

class TestModelsWidgets : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { tessaplexInitResources(); }
    void defaultBoardPicture();
    void otherBoardsShowAndHideTheirButtons();
    void resizeRescalesFromMemory();
    void picturesDecodeAsQImageDoes();
    void missingWidgetsAreSkipped();
    void fixedControlsFollowTheWindow();
    void pickerRecordsTheChoice();
    void pickerPlacement();
    void tabStyleSizes();
    void tabStyleDrawsOnlyTabLabels();
    void everyPlacedPictureExists();
    void aWindowsPicturesGoWithIt();

private:
    PictureCache pictures;  // the pictures of the views and pickers a test builds
};

void TestModelsWidgets::defaultBoardPicture()
{
    auto window = makeWindow();
    LayoutView view(window.get(), pictures);
    const uint8_t identity[4] = {15, 3, 0, 0};
    view.apply(identity, 0, 1920, 1006);
    QCOMPARE(view.currentLayout(), 31);

    QCOMPARE(button(window.get(), 1)->geometry(), QRect(170, 150, 80, 80));
    QCOMPARE(label(window.get(), 1)->geometry(), QRect(170, 150, 80, 80));
    QCOMPARE(button(window.get(), 1)->styleSheet(), buttonStyleSheet(10));
    QCOMPARE(button(window.get(), 17)->styleSheet(), buttonStyleSheet(50));
    QCOMPARE(label(window.get(), 24)->geometry().y(), 322);
    QCOMPARE(window->findChild<QLabel*>("ALL_KEY_BK")->geometry(), QRect(130, 100, 824, 352));
    QCOMPARE(window->findChild<QWidget*>("lineEdit")->geometry(), QRect(1006, 100, 150, 352));

    const QPixmap key = shownPixmap(label(window.get(), 1));
    QVERIFY(!key.isNull());
    QVERIFY(key.width() <= 80 && key.height() <= 80);
    QVERIFY(key.width() == 80 || key.height() == 80);

    for (int n = 1; n <= 24; ++n) {
        QVERIFY(!button(window.get(), n)->isHidden());
        QVERIFY(!label(window.get(), n)->isHidden());
    }
    for (int n : {25, 26, 27}) {
        QVERIFY(button(window.get(), n)->isHidden());
        QVERIFY(label(window.get(), n)->isHidden());
    }
    QVERIFY(window->findChild<QLabel*>("QR_Code_Label")->isHidden());
}

void TestModelsWidgets::otherBoardsShowAndHideTheirButtons()
{
    auto window = makeWindow();
    LayoutView view(window.get(), pictures);
    const uint8_t knobsOnly[4] = {0, 3, 0, 0};
    view.apply(knobsOnly, 0, 1920, 1006);
    QCOMPARE(view.currentLayout(), 5);
    for (int n = 1; n <= 15; ++n)
        QVERIFY(button(window.get(), n)->isHidden());
    for (int n = 16; n <= 24; ++n)
        QVERIFY(!button(window.get(), n)->isHidden());

    const uint8_t threeKeys[4] = {3, 0, 0, 0};
    view.apply(threeKeys, 0, 1920, 1006);
    QCOMPARE(view.currentLayout(), 8);
    for (int n = 1; n <= 27; ++n)
        QCOMPARE(button(window.get(), n)->isHidden(), n > 3);

    const uint8_t twentyOne[4] = {21, 1, 0, 0};
    view.apply(twentyOne, 0, 1920, 1006);
    QCOMPARE(view.currentLayout(), 30);
    QVERIFY(button(window.get(), 25)->isHidden());
    QVERIFY(!button(window.get(), 21)->isHidden());
    QCOMPARE(label(window.get(), 22)->geometry().y(), 74);

    // The highlight of the selected key replaces a style sheet; the next
    // layout run puts the plain one back.
    button(window.get(), 1)->setStyleSheet("QPushButton{border:4px solid #e1e100;}");
    view.apply(twentyOne, 0, 1920, 1006);
    QCOMPARE(button(window.get(), 1)->styleSheet(), buttonStyleSheet(10));
}

void TestModelsWidgets::resizeRescalesFromMemory()
{
    auto window = makeWindow();
    LayoutView view(window.get(), pictures);
    const uint8_t identity[4] = {15, 3, 0, 0};
    view.apply(identity, 0, 1920, 1006);
    const int decoded = pictures.decodedCount();
    const qint64 before = shownPixmap(label(window.get(), 5)).cacheKey();

    view.apply(identity, 0, 1920, 1006);
    QCOMPARE(shownPixmap(label(window.get(), 5)).cacheKey(), before);

    view.apply(identity, 0, 1000, 503);
    QCOMPARE(button(window.get(), 1)->geometry(), QRect(85, 75, 40, 40));
    QCOMPARE(button(window.get(), 17)->styleSheet(), buttonStyleSheet(25));
    const QPixmap small = shownPixmap(label(window.get(), 5));
    QVERIFY(small.width() <= 40 && small.height() <= 40);
    QCOMPARE(pictures.decodedCount(), decoded);

    view.apply(identity, 0, 1920, 1006);
    QCOMPARE(shownPixmap(label(window.get(), 5)).cacheKey(), before);
}

// The fast decoder must give every picture of the program exactly as Qt's
// reader does, and still read what it leaves to Qt.
void TestModelsWidgets::picturesDecodeAsQImageDoes()
{
    QDirIterator pictures(QStringLiteral(":/"), {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
    int compared = 0;
    while (pictures.hasNext()) {
        const QString path = pictures.next();
        const QImage expected = QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QVERIFY2(decodePicture(path) == expected, qPrintable(path));
        ++compared;
    }
    QVERIFY(compared > 30);
    QVERIFY(decodePicture(QStringLiteral(":/no/such.png")).isNull());
}

void TestModelsWidgets::missingWidgetsAreSkipped()
{
    auto window = makeWindow(false);
    QTest::ignoreMessage(QtWarningMsg, "LayoutView: no widget named pushButton_K1");
    QTest::ignoreMessage(QtWarningMsg, "LayoutView: no widget named pushButton_K1_BK");
    LayoutView view(window.get(), pictures);
    const uint8_t identity[4] = {15, 3, 0, 0};
    view.apply(identity, 0, 1920, 1006);
    view.placeFixedControls(1920, 1006);
    QCOMPARE(button(window.get(), 2)->geometry(), QRect(260, 150, 80, 80));

    // A window without any of the named children.
    QWidget bare;
    // 27 buttons, 27 pictures, plate, text box, QR-code label, 13 fixed controls
    for (int i = 0; i < 70; ++i)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("LayoutView: no widget named .*"));
    LayoutView empty(&bare, pictures);
    empty.apply(identity, 0, 1920, 1006);
    empty.placeFixedControls(1920, 1006);
    QCOMPARE(empty.currentLayout(), 31);
}

void TestModelsWidgets::fixedControlsFollowTheWindow()
{
    auto window = makeWindow();
    LayoutView view(window.get(), pictures);
    view.placeFixedControls(1920, 1006);
    QCOMPARE(window->findChild<QWidget*>("Dev_Sta_Dsp")->geometry(), QRect(0, 0, 1920, 35));
    QCOMPARE(window->findChild<QWidget*>("Layer2")->geometry(), QRect(1440, 40, 35, 35));
    view.placeFixedControls(960, 1006);
    QCOMPARE(window->findChild<QWidget*>("Dev_Sta_Dsp")->geometry(), QRect(0, 0, 960, 35));
    QCOMPARE(window->findChild<QWidget*>("tabWidget")->geometry(), QRect(5, 503, 948, 503));
}

void TestModelsWidgets::pickerRecordsTheChoice()
{
    QWidget owner;
    Dialog1 dialog(pictures, &owner);
    QCOMPARE(dialog.objectName(), QString("Dialog1"));
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(dialog.size(), QSize(1301, 577));
    QCOMPARE(dialog.windowTitle(), QString("Dialog"));
    QCOMPARE(dialog.buttonGroup()->buttons().size(), 6);
    QVERIFY(dialog.buttonGroup()->exclusive());

    // The picker only announces the choice; a configuration takes it over.
    KeypadConfig config;
    QObject::connect(&dialog, &Dialog1::modelPicked, &config, &KeypadConfig::setPickedBoard);
    const uint8_t* cur = config.store().Cur_KeyBoard_KeyNum;
    config.rawStore().Cur_KeyBoard_KeyNum[0] = 15;
    uint8_t* set = config.rawStore().Cur_KeyBoard_KeyNum;
    set[0] = 15;
    set[1] = 3;
    set[2] = 12;
    set[3] = 1;
    // The test runner silences debug output; this test reads it.
    QLoggingCategory* log = QLoggingCategory::defaultCategory();
    const bool debugWasOn = log->isDebugEnabled();
    log->setEnabled(QtDebugMsg, true);
    auto* sixKeys = dialog.findChild<QPushButton*>("BT_6key_0VT");
    QVERIFY(sixKeys);
    QCOMPARE(dialog.buttonGroup()->id(sixKeys), 5);
    QTest::ignoreMessage(QtDebugMsg, "Select_PHY_Key value is  5 ");
    sixKeys->click();
    QCOMPARE(int(cur[0]), 6);
    QCOMPARE(int(cur[1]), 0);
    QCOMPARE(int(cur[2]), 12);
    QCOMPARE(int(cur[3]), 1);

    QTest::ignoreMessage(QtDebugMsg, "Select_PHY_Key value is  1 ");
    dialog.findChild<QPushButton*>("BT_12key_2VT")->click();
    QCOMPARE(int(cur[0]), 12);
    QCOMPARE(int(cur[1]), 2);

    QTest::ignoreMessage(QtDebugMsg, "Select_PHY_Key value is  9 ");
    dialog.on_changeButtonGroup(9);
    log->setEnabled(QtDebugMsg, debugWasOn);
    QCOMPARE(int(cur[0]), 12);
    QCOMPARE(int(cur[1]), 2);
}

void TestModelsWidgets::pickerPlacement()
{
    Dialog1 dialog(pictures);
    const int decodedBefore = pictures.decodedCount();
    dialog.place(1920, 1006);
    QCOMPARE(dialog.geometry(), QRect(192, 251, 1516, 603));
    QCOMPARE(dialog.findChild<QPushButton*>("pushButton")->geometry(), QRect(422, 20, 576, 40));
    auto* picture = dialog.findChild<QLabel*>("KB_6key_2VT");
    QCOMPARE(picture->geometry(), QRect(90, 301, 480, 251));
    QCOMPARE(dialog.findChild<QPushButton*>("BT_6key_2VT")->geometry(), picture->geometry());
    // Hidden, the picker decodes none of its board pictures.
    QVERIFY(shownPixmap(picture).isNull());
    QCOMPARE(pictures.decodedCount(), decodedBefore);

    dialog.show();
    const QPixmap shown = shownPixmap(picture);
    QVERIFY(!shown.isNull());
    QVERIFY(shown.width() <= 480 && shown.height() <= 251);
    QVERIFY(shown.width() == 480 || shown.height() == 251);
    const QImage original(":/image/KB_6ADD2");
    QVERIFY(qAbs(double(shown.width()) / shown.height() - double(original.width()) / original.height()) < 0.02);
    QCOMPARE(dialog.findChild<QPushButton*>("BT_6key_2VT")->styleSheet(),
             QString("QPushButton{background-color: rgba(125, 125, 125, 5);border-radius:10px;color:#FFFFFF;}"));

    dialog.place(960, 503);
    QCOMPARE(dialog.geometry(), QRect(96, 125, 758, 301));
    QVERIFY(shownPixmap(picture).width() <= 240);

    // Once a model is chosen the pictures are let go, and come back with the picker.
    dialog.hide();
    QCOMPARE(pictures.decodedCount(), decodedBefore);
    dialog.show();
    QVERIFY(!shownPixmap(picture).isNull());
}

void TestModelsWidgets::tabStyleSizes()
{
    WindowState window;
    CustomTabStyle style(window);
    QProxyStyle plain;
    QStyleOptionTab tab;
    tab.text = "Tab";
    QCOMPARE(style.sizeFromContents(QStyle::CT_TabBarTab, &tab, QSize(40, 20), nullptr), QSize(172, 50));
    window.W = 960;
    QCOMPARE(style.sizeFromContents(QStyle::CT_TabBarTab, &tab, QSize(40, 20), nullptr), QSize(86, 50));
    QStyleOptionButton option;
    QCOMPARE(style.sizeFromContents(QStyle::CT_PushButton, &option, QSize(40, 20), nullptr),
             plain.sizeFromContents(QStyle::CT_PushButton, &option, QSize(40, 20), nullptr));
}

void TestModelsWidgets::tabStyleDrawsOnlyTabLabels()
{
    WindowState window;
    CustomTabStyle style(window);
    const QColor blank(1, 2, 3);
    QImage image(100, 50, QImage::Format_RGB32);
    auto drawn = [&](QStyle::ControlElement element, const QStyleOption& option) {
        image.fill(blank);
        QPainter painter(&image);
        style.drawControl(element, &option, &painter, nullptr);
        painter.end();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) != blank)
                    return true;
        return false;
    };

    QStyleOption notATab;
    notATab.rect = image.rect();
    QVERIFY(!drawn(QStyle::CE_TabBarTabLabel, notATab));

    QStyleOptionTab tab;
    tab.rect = image.rect();
    tab.text = "Keys";
    QVERIFY(!drawn(QStyle::CE_TabBarTabShape, tab));
    QVERIFY(!drawn(QStyle::CE_PushButton, tab));

    QVERIFY(drawn(QStyle::CE_TabBarTabLabel, tab));  // the grey caption only
    QCOMPARE(image.pixelColor(10, 10), blank);

    tab.state |= QStyle::State_Selected;
    QVERIFY(drawn(QStyle::CE_TabBarTabLabel, tab));
    QCOMPARE(image.pixelColor(5, 5), blank);
    QCOMPARE(image.pixelColor(6, 6), QColor(0x89, 0xCF, 0xFF));
    QCOMPARE(image.pixelColor(10, 10), QColor(0x17, 0x75, 0xD8));
}

// Every label of every board shows a picture the program carries.
void TestModelsWidgets::everyPlacedPictureExists()
{
    QVERIFY(QFile::exists(qrCodePicturePath()));
    for (int id = 1; id <= kLayoutCount; ++id)
        for (const ButtonPlacement& b : computeLayout(id, 1920, 1006).buttons)
            QVERIFY2(QFile::exists(picturePath(b)), qPrintable(picturePath(b)));
}

// Each window has its own pictures; a window closed before its decoded
// pictures were let go must leave nothing behind that would still let them go.
void TestModelsWidgets::aWindowsPicturesGoWithIt()
{
    {
        PictureCache cache;
        QVERIFY(!cache.scaled(QStringLiteral(":/image/KEY1.png"), QSize(20, 20)).isNull());
        QCOMPARE(cache.decodedCount(), 1);
        // A size already scaled is not decoded again once the original went
        // (a keypad's board laid out again when it connects).
        cache.releaseOriginals();
        QVERIFY(!cache.scaled(QStringLiteral(":/image/KEY1.png"), QSize(20, 20)).isNull());
        QCOMPARE(cache.decodedCount(), 0);
    }
    QTest::qWait(2200);  // past the moment the decoded picture would be let go
}

QTEST_MAIN(TestModelsWidgets)
#include "test_models_widgets.moc"
