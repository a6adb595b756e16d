#include "app/window/profile_actions.h"

#include "app/pages/led_page.h"
#include "app/picture/control_names.h"
#include "app/window/edit_history.h"
#include "app/window/key_editor.h"
#include "app/window/report_dialog.h"
#include "app/window/status_line.h"
#include "app/window/window_log.h"
#include "app/window/window_state.h"
#include "core/device/keypad_connection.h"
#include "core/keypad/exchange_copy.h"
#include "core/keypad/keypad_config.h"
#include "core/keypad/keypad_sync.h"
#include "core/keypad/layout_table.h"
#include "core/profile/profile.h"
#include "core/profile/profile_import.h"
#include "core/texts/run_time_texts.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QUrl>

#include <memory>

namespace {

const char* const kLastFolderKey = "profiles/lastFolder";

// The one local .json file a drag carries, or nothing.
QString droppedProfile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1)
        return QString();
    const QUrl url = mime->urls().first();
    if (!url.isLocalFile() || !url.toLocalFile().endsWith(QLatin1String(".json"), Qt::CaseInsensitive))
        return QString();
    return url.toLocalFile();
}

}  // namespace

QString ProfileDialogs::saveFileName(QWidget* parent, const QString& title, const QString& proposedPath,
                                     const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, title, proposedPath, filter);
}

QString ProfileDialogs::openFileName(QWidget* parent, const QString& title, const QString& folder,
                                     const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

void ProfileDialogs::tell(QWidget* parent, const QString& title, const QString& text, bool problem)
{
    // A summary, a blank line and details: a report that scrolls within the screen.
    const int cut = text.indexOf(QLatin1String("\n\n"));
    if (cut > 0) {
        ReportDialog report(parent, title, text.left(cut), text.mid(cut + 2), problem);
        report.exec();
        return;
    }
    if (problem)
        QMessageBox::warning(parent, title, text);
    else
        QMessageBox::information(parent, title, text);
}

ProfileActions::ProfileActions(QWidget& root, KeypadConfig& config, KeypadConnection& connection, KeyEditor& editor,
                               StatusLine& status, EditHistory& history, const WindowState& state, QObject* parent)
    : QObject(parent), Root(root), History(history), Config(config), Connection(connection), Editor(editor), Status(status),
      Language_Flag(state.Language), Dialogs(std::make_unique<ProfileDialogs>())
{
    // Children of the window like the save button: the layout places them
    // by name next to it.
    ExportButton = new QPushButton(&Root);
    ExportButton->setObjectName(QStringLiteral("exportProfile"));
    ImportButton = new QPushButton(&Root);
    ImportButton->setObjectName(QStringLiteral("importProfile"));
    for (QPushButton* b : {ExportButton, ImportButton}) {
        QFont font = b->font();
        font.setPointSize(11);
        b->setFont(font);
        b->show();
    }
    // Where the form's 1920x1006 design puts them, until the first resize.
    for (const ControlRect& control : computeFixedControls(1920, 1006)) {
        if (QPushButton* b = Root.findChild<QPushButton*>(QLatin1String(controlObjectName(control.id)), Qt::FindDirectChildrenOnly))
            if (b == ExportButton || b == ImportButton)
                b->setGeometry(control.rect);
    }
    connect(ExportButton, &QPushButton::clicked, this, &ProfileActions::exportProfile);
    connect(ImportButton, &QPushButton::clicked, this, &ProfileActions::importProfile);
    retranslate();

    Root.setAcceptDrops(true);
    Root.installEventFilter(this);
}

ProfileActions::~ProfileActions() = default;

void ProfileActions::setDialogs(std::unique_ptr<ProfileDialogs> dialogs)
{
    if (dialogs)
        Dialogs = std::move(dialogs);
}

QString ProfileActions::text(const char* english, const char* chinese) const
{
    return RunTimeTexts::pick(Language_Flag, english, chinese);
}

void ProfileActions::retranslate()
{
    ExportButton->setText(text("Export...", "导出..."));
    ImportButton->setText(text("Import...", "导入..."));
    ExportButton->setToolTip(text("Write what the window shows, unsaved edits included, to a profile file",
                                  "将窗口中显示的配置（包括未保存的修改）写入配置文件"));
    ImportButton->setToolTip(text("Load a profile file: the keys it changes are written to the keypad by "
                                  "\"Save settings\"",
                                  "载入配置文件：修改的按键在点击“保存配置”后才写入键盘"));
    ExportButton->setAccessibleName(ExportButton->text());
    ImportButton->setAccessibleName(ImportButton->text());
}

QString ProfileActions::lastFolder() const
{
    const QString folder = QSettings().value(QLatin1String(kLastFolderKey)).toString();
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

void ProfileActions::rememberFolder(const QString& filePath)
{
    QSettings().setValue(QLatin1String(kLastFolderKey), QFileInfo(filePath).absolutePath());
}

void ProfileActions::tell(const QString& title, const QString& message, bool problem)
{
    Dialogs->tell(&Root, title, message, problem);
}

// LED layers the window has not read from this keypad show the program's
// defaults; a profile must carry what the keypad holds. then() follows the
// read, which runs on the connection's worker.
void ProfileActions::readUnknownLedLayers(std::function<void()> then)
{
    if (!Config.currentFormat() || !Connection.isConnected()) {
        then();
        return;
    }
    const ConfigStore before = Config.store();
    auto after = std::make_shared<ConfigStore>();
    Connection.exchanges().run(
        Connection.link(),
        [before, after](DeviceLink link) {
            const auto copy = workingCopy(before);
            for (int layer = 0; layer < kLayers; ++layer) {
                if (!before.LedFromKeypad[layer] && !before.LedDirty[layer])
                    readLedBlock(link, *copy, layer);
            }
            *after = copy->store();
        },
        [this, before, after, then = std::move(then)] {
            applyExchange(Config, before, *after);
            showLedsIfOnTheirPage();
            then();
        },
        ExchangeWorker::Kind::Reads);
}

// The key buttons wear the LED colours only while the LED page is in front.
void ProfileActions::showLedsIfOnTheirPage()
{
    if (Config.currentFormat() && Config.editingMode() == ModeLighting)
        Editor.ledPage().showLayerLeds();
}

// A profile belongs to a keypad of a known kind: without one the window
// shows only its placeholder board, with no record format to write or read.
bool ProfileActions::keypadKnown(const QString& title)
{
    const DeviceInfo id = Config.identity();
    if (id.keys != 0 || id.knobs != 0)
        return true;
    const QString message = text("Connect the keypad first: profiles are made from and for a keypad",
                                 "请先连接键盘：配置文件来自键盘，也用于键盘");
    Status.showInfo(message, true);
    tell(title, message, true);
    return false;
}

void ProfileActions::exportProfile()
{
    if (!keypadKnown(text("Export profile", "导出配置文件")))
        return;
    readUnknownLedLayers([this] { exportWhatIsShown(); });
}

void ProfileActions::exportWhatIsShown()
{
    const bool unsaved = Config.anyUnsaved();
    const QString title = unsaved ? text("Export profile (unsaved edits included)", "导出配置文件（包括未保存的修改）")
                                  : text("Export profile", "导出配置文件");
    const DeviceInfo id = Config.identity();
    const QString proposed =
        QDir(lastFolder()).filePath(QStringLiteral("keypad-%1-keys-%2-knobs.json").arg(id.keys).arg(id.knobs));
    QString path = Dialogs->saveFileName(&Root, title, proposed, text("Keypad profiles (*.json)", "键盘配置文件 (*.json)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1String(".json");
    QString error;
    if (!Profile::saveProfile(path, Config.image(), &error)) {
        Status.showInfo(text("Export failed: ", "导出失败：") + error, true);
        tell(title, error, true);
        return;
    }
    rememberFolder(path);
    Status.showInfo((unsaved ? text("Exported, unsaved edits included: ", "已导出（包括未保存的修改）：")
                             : text("Exported: ", "已导出：")) + QDir::toNativeSeparators(path),
                    false);
}

void ProfileActions::importProfile()
{
    if (!keypadKnown(text("Import profile", "导入配置文件")))
        return;
    const QString path = Dialogs->openFileName(&Root, text("Import profile", "导入配置文件"), lastFolder(),
                                               text("Keypad profiles (*.json)", "键盘配置文件 (*.json)"));
    if (!path.isEmpty())
        importFile(path);
}

bool ProfileActions::importFile(const QString& path)
{
    return importFrom(path, text("Import profile", "导入配置文件"), true);
}

void ProfileActions::restoreBackup(const QString& path, std::function<void(bool changed)> then)
{
    readUnknownLedLayers([this, path, then = std::move(then)] {
        const bool changed = importFrom(path, text("Restore backup", "恢复备份"), false);
        if (then)
            then(changed);
    });
}

bool ProfileActions::importFrom(const QString& path, const QString& title, bool remember)
{
    if (!keypadKnown(title))
        return false;
    QString error;
    const std::optional<LoadedProfile> loaded = Profile::loadProfile(path, &error);
    if (!loaded) {
        Status.showInfo(text("Import refused: ", "导入被拒绝：") + error, true);
        tell(title, error, true);
        return false;
    }
    if (remember)
        rememberFolder(path);

    // Some identities stand for two boards; the product id tells them apart.
    const ProfileImport result =
        ::importProfile(*loaded, Config.image(), Connection.isConnected() ? Connection.productId() : 0);
    History.record(title, [this, &result] {
        Config.applyImage(result.image);
        refreshWindow();
    });

    QString message = result.changes == 0
                          ? text("The profile matches the window: nothing changed", "配置文件与当前配置相同，没有修改")
                          : text("%1 changes imported, not saved yet: \"Save settings\" writes them to the keypad",
                                 "已导入 %1 处修改，尚未保存：点击“保存配置”写入键盘")
                                .arg(result.changes);
    if (result.notImported.isEmpty()) {
        Status.showInfo(message, false);
        return result.changes > 0;
    }
    // Part of the file did not fit this keypad: a notice, the list in the
    // history and in a report that starts with one line saying it all.
    const QString details = result.notImported.join(QLatin1Char('\n'));
    const QString left = text("%1 not imported", "%1 项未导入").arg(result.notImported.size());
    const QString summary =
        (result.changes == 0 ? text("Nothing changed", "没有修改")
                             : text("%1 changes imported", "已导入 %1 处修改").arg(result.changes))
        + text(", ", "，") + left + text(": this keypad cannot hold them", "：此键盘无法容纳");
    tell(title,
         summary + QLatin1String("\n\n") + message + QLatin1String("\n\n") + text("Not imported:", "未导入：")
             + QLatin1Char('\n') + details,
         false);
    // After the report: a notice started before it would run out behind it.
    Status.showNotice(message + text("; ", "；") + left, details);
    return result.changes > 0;
}

void ProfileActions::refreshWindow()
{
    Editor.showLayerLabels(Config.selectedLayer());
    if (Config.selectedKey() != 0)
        Editor.showSelectedKeyText();
    showLedsIfOnTheirPage();
}

bool ProfileActions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &Root) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!droppedProfile(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = droppedProfile(drop->mimeData());
            if (!path.isEmpty()) {
                drop->acceptProposedAction();
                importFile(path);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
