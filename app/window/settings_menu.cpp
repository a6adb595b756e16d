#include "app/window/settings_menu.h"

#include "app/window/window_state.h"
#include "core/texts/run_time_texts.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>

namespace {

const QString kAllControlsKey = QStringLiteral("view/showAllControls");
const QString kLanguageKey = QStringLiteral("view/language");

struct MenuText {
    const char* english;
    const char* chinese;
    QString in(int languageFlag) const { return RunTimeTexts::pick(languageFlag, english, chinese); }
};

const MenuText kTooltip = {"Settings", "设置"};
const MenuText kAllControlsText = {"Show all controls", "显示全部控件"};
const MenuText kPickerText = {"Choose keyboard model...", "选择键盘型号..."};
const MenuText kBackupsText = {"Backups...", "备份..."};
const MenuText kAboutText = {"About TESSAPLEX", "关于 TESSAPLEX"};

// The action column from top to bottom; names missing on a branch are skipped.
// The form generator names the same buttons for their look and focus frame.
const char* const kActionColumn[] = {"change",        "settings",      "cancel",   "cancel_2", "Read_Configuration",
                                     "download",      "exportProfile", "importProfile"};

// A gear in the colour of the board's captions, drawn large enough to stay
// sharp on 2x screens.
QIcon gearIcon()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(32, 32);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 235, 235));
    for (int tooth = 0; tooth < 8; ++tooth) {
        p.drawRoundedRect(QRectF(-6, -29, 12, 14), 2, 2);
        p.rotate(45);
    }
    QPainterPath ring;
    ring.addEllipse(QPointF(0, 0), 20, 20);
    ring.addEllipse(QPointF(0, 0), 8, 8);
    p.drawPath(ring);
    return QIcon(pixmap);
}

}  // namespace

bool ViewSettings::allControls()
{
    return QSettings().value(kAllControlsKey, false).toBool();
}

void ViewSettings::setAllControls(bool shown)
{
    QSettings().setValue(kAllControlsKey, shown);
}

int ViewSettings::language()
{
    return QSettings().value(kLanguageKey).toString() == QLatin1String("zh") ? 0 : 1;
}

void ViewSettings::setLanguage(int languageFlag)
{
    QSettings().setValue(kLanguageKey, languageFlag == 0 ? QStringLiteral("zh") : QStringLiteral("en"));
}

SettingsMenu::SettingsMenu(QWidget& window, const WindowState& state, QObject* parent)
    : QObject(parent), Language_Flag(state.Language)
{
    Button = new QPushButton(&window);
    Button->setObjectName(QStringLiteral("settings"));
    Button->setIcon(gearIcon());
    Menu = new QMenu(Button);
    Menu->setObjectName(QStringLiteral("settingsMenu"));
    Menu->setStyleSheet(QStringLiteral(
        "QMenu { background-color: rgb(50, 50, 50); color: #FFFFFF; border: 1px solid rgb(110, 110, 110); }"
        "QMenu::item { padding: 6px 24px 6px 28px; }"
        "QMenu::item:selected { background-color: rgb(23, 117, 216); }"
        "QMenu::indicator { left: 6px; }"));
    Button->setMenu(Menu);
    Button->show();  // the window is already shown when the button is made

    AllControlsAction = Menu->addAction(QString());
    AllControlsAction->setObjectName(QStringLiteral("showAllControls"));
    AllControlsAction->setCheckable(true);
    connect(AllControlsAction, &QAction::toggled, this, [this](bool on) { showAllControls(on); });

    PickerAction = Menu->addAction(QString());
    PickerAction->setObjectName(QStringLiteral("chooseModel"));
    PickerAction->setVisible(false);
    connect(PickerAction, &QAction::triggered, this, &SettingsMenu::modelPickerWanted);

    BackupsAction = Menu->addAction(QString());
    BackupsAction->setObjectName(QStringLiteral("backups"));
    connect(BackupsAction, &QAction::triggered, this, &SettingsMenu::backupsWanted);
    AboutAction = Menu->addAction(QString());
    AboutAction->setObjectName(QStringLiteral("about"));
    connect(AboutAction, &QAction::triggered, this, &SettingsMenu::aboutWanted);
    // Last, under whatever other parts of the window add later.
    connect(Menu, &QMenu::aboutToShow, this, [this] {
        Menu->removeAction(AboutAction);
        Menu->addAction(AboutAction);
    });
    retranslate();
}

void SettingsMenu::showAllControls(bool shown, bool remember)
{
    if (remember)
        ViewSettings::setAllControls(shown);
    if (AllControlsAction->isChecked() != shown) {
        const QSignalBlocker quiet(AllControlsAction);
        AllControlsAction->setChecked(shown);
    }
    if (AllControls == shown)
        return;
    AllControls = shown;
    emit allControlsChanged(shown);
}

void SettingsMenu::offerModelPicker(bool offered)
{
    PickerAction->setVisible(offered);
}

void SettingsMenu::retranslate()
{
    Button->setToolTip(kTooltip.in(Language_Flag));
    Button->setAccessibleName(kTooltip.in(Language_Flag));
    AllControlsAction->setText(kAllControlsText.in(Language_Flag));
    PickerAction->setText(kPickerText.in(Language_Flag));
    BackupsAction->setText(kBackupsText.in(Language_Flag));
    AboutAction->setText(kAboutText.in(Language_Flag));
}

void SettingsMenu::makeActionColumnReachable(QWidget& window)
{
    // The look, focus frame included, is in the form's sheet: setting a sheet
    // on the window here would polish every widget of it once more.
    QWidget* previous = nullptr;
    for (const char* name : kActionColumn) {
        auto* button = window.findChild<QPushButton*>(QLatin1String(name));
        if (!button)
            continue;
        button->setFocusPolicy(Qt::TabFocus);
        if (previous)
            QWidget::setTabOrder(previous, button);
        previous = button;
    }
    // The window itself holds the focus at start: a frame on the first button
    // of the column would read as a selection. Tab still walks the column.
    window.setFocusPolicy(Qt::ClickFocus);
    window.setFocus();
}
