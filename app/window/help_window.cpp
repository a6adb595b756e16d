#include "app/window/help_window.h"

#include "app/window/window_state.h"
#include "build_config.h"
#include "core/profile/backup_store.h"
#include "core/texts/run_time_texts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTextBrowser>
#include <QVBoxLayout>

static void initHelpResources()
{
    Q_INIT_RESOURCE(tessaplex_help);
}

namespace {

// The window's own dark look, so the help reads like part of the program.
const QString kDialogStyle = QStringLiteral(
    "QDialog { background-color: rgb(50, 50, 50); color: #FFFFFF; }"
    "QLabel, QTextBrowser { color: #FFFFFF; font-size: 14px; }"
    "QTextBrowser { background-color: rgb(40, 40, 40); border: 1px solid rgb(90, 90, 90); }"
    "QPushButton { background-color: rgb(75, 75, 75); color: #FFFFFF; border: 1px solid rgb(110, 110, 110);"
    " border-radius: 6px; padding: 5px 18px; }"
    "QPushButton:focus { border: 2px dashed #FFFFFF; }");

QDialog* makeDialog(QWidget& parent, const QString& name)
{
    auto* dialog = new QDialog(&parent);
    dialog->setObjectName(name);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setStyleSheet(kDialogStyle);
    auto* layout = new QVBoxLayout(dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    layout->addWidget(buttons);
    return dialog;
}

// Whole on the screen the window is on, however small.
void fitOnScreen(QDialog* dialog, QWidget& window, QSize wanted)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QSize room = screen->availableGeometry().size() * 0.9;
        wanted = wanted.boundedTo(room);
    }
    dialog->resize(wanted);
}

void showInFront(QDialog* dialog, const QString& close)
{
    // Qt's own button text would stay English without Qt's translations.
    if (auto* buttons = dialog->findChild<QDialogButtonBox*>())
        buttons->button(QDialogButtonBox::Close)->setText(close);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

}  // namespace

HelpWindows::HelpWindows(QWidget& window, const WindowState& state, QObject* parent)
    : QObject(parent), Window(window), Language_Flag(state.Language)
{
}

QString HelpWindows::text(const char* english, const char* chinese) const
{
    return RunTimeTexts::pick(Language_Flag, english, chinese);
}

QString HelpWindows::helpText(int languageFlag)
{
    initHelpResources();
    QFile file(languageFlag == 0 ? QStringLiteral(":/help/using_it_zh.md") : QStringLiteral(":/help/using_it_en.md"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString HelpWindows::aboutText(int languageFlag)
{
    auto pick = [languageFlag](const char* english, const char* chinese) {
        return RunTimeTexts::pick(languageFlag, english, chinese);
    };
    const QString row = QStringLiteral("<tr><td style='padding-right: 12px'>%1</td><td>%2</td></tr>");
    return QStringLiteral("<p><b style='font-size: 18px'>TESSAPLEX %1</b></p><p>%2</p><p>%3</p><table>%4%5%6</table><p>%7</p>")
        .arg(QString::fromLatin1(TESSAPLEX_VERSION_STRING).toHtmlEscaped(),
             pick("Configures small USB macro keypads: keys, knobs, layers and LEDs.",
                  "配置小型 USB 宏键盘：按键、旋钮、层和 LED。"),
             pick("Licence: MIT.", "许可证：MIT。"),
             row.arg(pick("Settings", "设置"), QSettings().fileName().toHtmlEscaped()),
             row.arg(pick("Profiles", "配置文件"),
                     pick("where you export them; the file dialogs open in the folder used last",
                          "导出时选择的位置；文件对话框在上次使用的文件夹中打开")),
             row.arg(pick("Backups", "备份"), BackupStore::forUser().baseDir().toHtmlEscaped()),
             pick("F1 shows the help.", "按 F1 显示帮助。"));
}

void HelpWindows::showHelp()
{
    if (!Help) {
        Help = makeDialog(Window, QStringLiteral("help"));
        auto* browser = new QTextBrowser(Help);
        browser->setObjectName(QStringLiteral("helpText"));
        browser->setOpenExternalLinks(true);
        static_cast<QVBoxLayout*>(Help->layout())->insertWidget(0, browser);
        fitOnScreen(Help, Window, QSize(900, 760));
    }
    Help->setWindowTitle(text("TESSAPLEX help", "TESSAPLEX 帮助"));
    auto* browser = Help->findChild<QTextBrowser*>(QStringLiteral("helpText"));
    browser->setMarkdown(helpText(Language_Flag));
    showInFront(Help, text("Close", "关闭"));
}

void HelpWindows::showAbout()
{
    if (!About) {
        About = makeDialog(Window, QStringLiteral("about"));
        auto* label = new QLabel(About);
        label->setObjectName(QStringLiteral("aboutText"));
        label->setTextFormat(Qt::RichText);
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextBrowserInteraction);
        static_cast<QVBoxLayout*>(About->layout())->insertWidget(0, label);
    }
    About->setWindowTitle(text("About TESSAPLEX", "关于 TESSAPLEX"));
    About->findChild<QLabel*>(QStringLiteral("aboutText"))->setText(aboutText(Language_Flag));
    About->adjustSize();
    fitOnScreen(About, Window, About->sizeHint().expandedTo(QSize(560, 0)));
    showInFront(About, text("Close", "关闭"));
}
