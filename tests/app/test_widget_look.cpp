#include "widget_harness.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>

#include "core/startup/options.h"
#include "app/window/settings_menu.h"
#include "app/picture/key_picture_buttons.h"
#include "app/picker/dialog1.h"
#include "app/picture/picture_cache.h"

using namespace harness;

// What the user sees of the window: the controls, the settings they keep,
// captions that fit, names for the keypad picture.
class TestWidgetLook : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        QSettings().clear();
        w = freshWindow(keypad);
    }
    void cleanup() { w.reset(); }

    void allControlsSettingIsKeptAndOffByDefault();
    void languageChosenIsUsedAtTheNextStart();
    void pictureNamesFollowTheBoard();
    void visibleControlsDoNotOverlap_data();
    void visibleControlsDoNotOverlap();
    void longCaptionsAreElidedButKeptWhole();
    void shrinkingAndEnlargingKeepsThePages();
    void picturesAndPagesAreReadyWhenShown();
    void unknownBoardIsNamedAndThePickerComesBack();

private:
    void setClientSize(int width, int height)
    {
        w->setWindowState(Qt::WindowNoState);
        QCoreApplication::processEvents();
        w->resize(width, height);
        QCoreApplication::processEvents();
        QCOMPARE(w->size(), QSize(width, height));
    }
    SimulatedKeypad keypad{DeviceInfo{15, 3, 10, 0}};
    std::unique_ptr<Widget> w;
};

namespace {
const QStringList kAllControls = {"LAYER_SELE", "Layer1", "Layer2", "Layer3", "change", "LED_color_1", "LED_color_7",
                                  "LED_color_8", "LED_color_56"};

QStringList shownOf(const QWidget& w, const QStringList& names)
{
    QStringList shown;
    for (const QString& name : names)
        if (!w.findChild<QWidget*>(name)->isHidden())
            shown << name;
    return shown;
}
}  // namespace

void TestWidgetLook::allControlsSettingIsKeptAndOffByDefault()
{
    QVERIFY(shownOf(*w, kAllControls).isEmpty());
    QPushButton* settings = button(*w, "settings");
    QVERIFY(settings && !settings->isHidden());
    QCOMPARE(settings->toolTip(), QStringLiteral("Settings"));
    QCOMPARE(settings->menu(), w->settingsMenu());

    QAction* all = w->settingsMenu()->findChild<QAction*>(QStringLiteral("showAllControls"));
    QVERIFY(all && all->isCheckable());
    all->trigger();
    QCOMPARE(shownOf(*w, kAllControls), kAllControls);

    // Kept for the next start; --all-controls shows them without keeping anything.
    w = freshWindow(keypad);
    QCOMPARE(shownOf(*w, kAllControls), kAllControls);
    QVERIFY(w->settingsMenu()->findChild<QAction*>(QStringLiteral("showAllControls"))->isChecked());
    w->settingsMenu()->findChild<QAction*>(QStringLiteral("showAllControls"))->trigger();
    QVERIFY(shownOf(*w, kAllControls).isEmpty());
    w->settings().showAllControls(true, false);
    QCOMPARE(shownOf(*w, kAllControls), kAllControls);
    w = freshWindow(keypad);
    QVERIFY(shownOf(*w, kAllControls).isEmpty());
    QVERIFY(parseProgramOptions({"tessaplex", "--simulate", "--all-controls"}).allControls);
    QVERIFY(!parseProgramOptions({"tessaplex", "--simulate"}).allControls);
}

void TestWidgetLook::languageChosenIsUsedAtTheNextStart()
{
    w->settings().showAllControls(true);
    click(*w, "change");
    QCOMPARE(w->Language_Flag, 0);
    w = freshWindow(keypad);
    QCOMPARE(w->Language_Flag, 0);
    QCOMPARE(button(*w, "change")->text(), QStringLiteral("English"));
    QCOMPARE(button(*w, "download")->text(), QStringLiteral(" 保存配置"));
    QCOMPARE(button(*w, "settings")->toolTip(), QStringLiteral("设置"));
    click(*w, "change");
    w = freshWindow(keypad);
    QCOMPARE(w->Language_Flag, 1);
}

// On the 21-key board K16..K21 are keys; its one knob turns right on 22, left on 24.
void TestWidgetLook::pictureNamesFollowTheBoard()
{
    keypad.info = DeviceInfo{21, 1, 10, 0};
    w = freshWindow(keypad);
    connectKeypad(*w);
    const std::pair<int, const char*> expected[] = {
        {16, "Key 16: "}, {21, "Key 21: "}, {22, "Knob 1 right: "}, {23, "Knob 1 press: "}, {24, "Knob 1 left: "}};
    for (const auto& [id, name] : expected)
        QVERIFY2(keyButton(*w, id)->accessibleName().startsWith(QLatin1String(name)),
                 qPrintable(keyButton(*w, id)->accessibleName()));
    keypad.info = DeviceInfo{15, 3, 10, 0};
}

void TestWidgetLook::visibleControlsDoNotOverlap_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QVector<int>>("board");
    // Screens, and the window left by a title bar and a panel.
    for (QSize size : {QSize(1366, 768), QSize(1920, 1080), QSize(1366, 705), QSize(1920, 1017)}) {
        const QByteArray name = QByteArray::number(size.width()) + 'x' + QByteArray::number(size.height());
        QTest::newRow(name + " 15+3") << size << QVector<int>{15, 3, 10, 0};
        QTest::newRow(name + " 21+1") << size << QVector<int>{21, 1, 10, 0};
        QTest::newRow(name + " 12+4") << size << QVector<int>{12, 4, 10, 0};
    }
}

void TestWidgetLook::visibleControlsDoNotOverlap()
{
    QFETCH(QSize, size);
    QFETCH(QVector<int>, board);
    keypad.info = DeviceInfo{uint8_t(board[0]), uint8_t(board[1]), uint8_t(board[2]), uint8_t(board[3])};
    w = freshWindow(keypad);
    connectKeypad(*w);
    w->settings().showAllControls(true, false);
    setClientSize(size.width(), size.height());

    // The keypad picture is one block (plate, pictures and buttons on it); the
    // action column's frame holds its buttons.
    const QRect plate = w->findChild<QWidget*>(QStringLiteral("ALL_KEY_BK"))->geometry();
    const QRect column = w->findChild<QWidget*>(QStringLiteral("dowload_kuang"))->geometry();
    QVector<QWidget*> blocks;
    for (QWidget* child : w->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isHidden() || child->isWindow())
            continue;
        const QString name = child->objectName();
        const QRect r = child->geometry();
        QVERIFY2(w->rect().contains(r), qPrintable(name + " leaves the window"));
        if (name.startsWith(QLatin1String("pushButton_K")))
            QVERIFY2(plate.contains(r), qPrintable(name + " leaves the keypad"));
        else if (name == QLatin1String("dowload_kuang"))
            continue;
        else if (name != QLatin1String("Dev_Sta_Dsp") && column.intersects(r))  // the frame tucks under the bar
            QVERIFY2(column.contains(r), qPrintable(name + " straddles the action column"));
        else
            blocks << child;
    }
    for (int i = 0; i < blocks.size(); ++i)
        for (int j = i + 1; j < blocks.size(); ++j)
            QVERIFY2(!blocks[i]->geometry().intersects(blocks[j]->geometry()),
                     qPrintable(blocks[i]->objectName() + " overlaps " + blocks[j]->objectName()));
    for (const char* name : {"LAYER_SELE", "Layer3", "change", "settings", "cancel"})
        QVERIFY2(!button(*w, name)->isHidden(), name);
}

void TestWidgetLook::longCaptionsAreElidedButKeptWhole()
{
    connectKeypad(*w);
    setClientSize(1366, 705);
    click(keyButton(*w, 3));
    for (const char* name : {"pushButton_Ctrl", "pushButton_Alt", "pushButton_Shift", "pushButton_Win", "key_F12"})
        click(*w, name);
    QPushButton* key = keyButton(*w, 3);
    const QString whole = QStringLiteral("Ctrl+ Alt+ Shift+ Win+ F12");
    QCOMPARE(key->text(), whole);
    QCOMPARE(key->toolTip(), whole);
    QCOMPARE(key->accessibleName(), QStringLiteral("Key 3: ") + whole);
    const QString shown = KeyPictureButtons::fittedCaption(whole, key->fontMetrics(), key->rect());
    QVERIFY2(shown.contains(QChar(0x2026)), qPrintable(shown));

    // What fits has no tooltip; knob actions are named by knob and turn.
    click(keyButton(*w, 20));
    click(*w, "key_C");
    QCOMPARE(keyButton(*w, 20)->text(), QStringLiteral("C"));
    QCOMPARE(keyButton(*w, 20)->toolTip(), QString());
    QCOMPARE(keyButton(*w, 20)->accessibleName(), QStringLiteral("Knob 2 press: C"));
    QCOMPARE(keyButton(*w, 24)->accessibleName(), QStringLiteral("Knob 3 right: empty"));

    // The mark others set for unsaved edits: an amber dot in the top-right corner.
    QPushButton* knob = keyButton(*w, 20);
    knob->setProperty("unsaved", false);
    const QImage before = knob->grab().toImage();
    knob->setProperty("unsaved", true);
    const QImage marked = knob->grab().toImage();
    QVERIFY(before != marked);
    const int d = qBound(6, knob->height() / 8, 12);
    const QColor dot = marked.pixelColor(knob->width() - qMax(4, d / 2) - d / 2 - 1, qMax(4, d / 2) + d / 2);
    QVERIFY2(dot.red() > 200 && dot.green() > 120 && dot.blue() < 80, qPrintable(dot.name()));

    // Tab walks the action column in its order.
    QCOMPARE(button(*w, "change")->nextInFocusChain(), static_cast<QWidget*>(button(*w, "settings")));
    QCOMPARE(button(*w, "cancel")->nextInFocusChain(), static_cast<QWidget*>(button(*w, "cancel_2")));
    QCOMPARE(button(*w, "Read_Configuration")->nextInFocusChain(), static_cast<QWidget*>(button(*w, "download")));
    QCOMPARE(button(*w, "cancel_2")->focusPolicy(), Qt::TabFocus);

    // Lines are broken between words before anything is cut.
    const QFontMetrics m(key->font());
    QCOMPARE(KeyPictureButtons::fittedCaption(QStringLiteral("Ctrl+ C"), m, QRect(0, 0, m.horizontalAdvance("Ctrl+ "), 3 * m.lineSpacing())),
             QStringLiteral("Ctrl+\nC"));
}

void TestWidgetLook::shrinkingAndEnlargingKeepsThePages()
{
    QCoreApplication::processEvents();
    QTabWidget* pages = tabs(*w);
    const QRect maximised = pages->geometry();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(w->frameGeometry().bottom() <= screen.bottom());

    w->showNormal();
    QCoreApplication::processEvents();
    QVERIFY2(screen.contains(w->frameGeometry()), "the restored window runs off the screen");
    QCOMPARE(pages->geometry().bottom(), w->height() - 1);
    w->showMaximized();
    QCoreApplication::processEvents();
    QCOMPARE(pages->geometry(), maximised);
}

// The start leaves work for later: pictures wait for the size the window is
// shown at and are not kept decoded, pages wait for their first view. Neither
// may show up unfinished, nor after a resize.
void TestWidgetLook::picturesAndPagesAreReadyWhenShown()
{
    QVERIFY(w->findChild<QPushButton*>("LED_Mode_5") && w->findChild<QSpinBox*>("delay_spinBox_18"));
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    const auto picturesFit = [this] {
        for (int key = 1; key <= 18; ++key) {
            const auto* picture = w->findChild<QLabel*>(QStringLiteral("pushButton_K%1_BK").arg(key));
            const QSize shown = picture->pixmap(Qt::ReturnByValue).size();
            const QSize box = keyButton(*w, key)->size();
            if (shown.width() > box.width() || shown.height() > box.height()
                || (shown.width() != box.width() && shown.height() != box.height()))
                return false;
        }
        return true;
    };
    QVERIFY(picturesFit());
    QCOMPARE(w->View.Pictures.decodedCount(), 0);
    setClientSize(1100, 640);
    QVERIFY(picturesFit());

    showPage(*w, 3);
    QCoreApplication::processEvents();
    QPushButton* mode = button(*w, QStringLiteral("LED_Mode_5"));
    QVERIFY(mode->isVisible());
    QCOMPARE(QFontInfo(mode->font()).pixelSize(), 14);  // the page's rule, so it was polished
    QVERIFY(mode->width() > 80);                            // and laid out
}

void TestWidgetLook::unknownBoardIsNamedAndThePickerComesBack()
{
    QAction* pick = w->settingsMenu()->findChild<QAction*>(QStringLiteral("chooseModel"));
    connectKeypad(*w);
    QCOMPARE(status(*w), QStringLiteral("Device Connect"));
    QVERIFY(!pick->isVisible());

    keypad.info = DeviceInfo{7, 2, 10, 0};
    w = freshWindow(keypad);
    connectKeypad(*w);
    QCOMPARE(status(*w), QStringLiteral("Device Connect  ·  unknown board: the keypad reports 7 keys, 2 knobs "
                                        "(version 10, variant 0); showing the 15-key, 3-knob picture"));
    click(*w, "change");
    QVERIFY(status(*w).contains(QStringLiteral("未知键盘")));

    // Not told which board it is: the picker can be had again after closing it.
    keypad.faults.silentInfoQuery = true;
    w = freshWindow(keypad);
    connectKeypad(*w);
    pick = w->settingsMenu()->findChild<QAction*>(QStringLiteral("chooseModel"));
    QVERIFY(pick->isVisible());
    w->dialog1()->hide();
    pick->trigger();
    QVERIFY(w->dialog1()->isVisible());
    QCOMPARE(w->dialog1()->findChild<QLabel*>(QStringLiteral("KB_3key_1VT_Mute_name"))->text(),
             QStringLiteral("3 键 + 1 旋钮  /  3 keys + 1 knob"));
}

QTEST_MAIN(TestWidgetLook)
#include "test_widget_look.moc"
