#include "app/window/backup_browser.h"

#include "app/window/key_editor.h"
#include "app/window/profile_actions.h"
#include "app/window/window_state.h"
#include "core/keypad/keypad_config.h"
#include "core/profile/profile.h"
#include "core/profile/profile_diff.h"
#include "core/profile/profile_import.h"
#include "core/texts/run_time_texts.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

// One backup as the list shows it, with what restoring it would make of the
// window: the import itself, so the preview and the count are exactly what
// "Restore" does.
struct BackupBrowser::Row {
    BackupEntry entry;
    bool ours = false;
    std::optional<LoadedProfile> loaded;
    std::optional<ProfileImport> restored;
    QVector<ProfileDifference> changes;
    QString assigned;
    QString error;
};

BackupBrowser::BackupBrowser(QWidget& window, const BackupStore& store, const BackupKeypad& keypad, bool connected,
                             KeypadConfig& config, KeyEditor& editor, ProfileActions& profiles,
                             const WindowState& state)
    : QDialog(&window), Config(config), Editor(editor), Profiles(profiles), Language_Flag(state.Language)
{
    setObjectName(QStringLiteral("backupBrowser"));
    setWindowTitle(text("Backups", "备份"));
    setWindowModality(Qt::WindowModal);

    List = new QTreeWidget(this);
    List->setObjectName(QStringLiteral("backupList"));
    List->setRootIsDecorated(false);
    List->setUniformRowHeights(true);
    List->setHeaderLabels({text("Taken", "时间"), text("Keypad", "键盘"),
                           text("Keys+knob actions per layer", "每层 按键+旋钮动作"),
                           text("Differs from now", "与当前不同")});
    List->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Details = new QPlainTextEdit(this);
    Details->setObjectName(QStringLiteral("backupDetails"));
    Details->setReadOnly(true);
    Note = new QLabel(this);
    Note->setWordWrap(true);

    auto* layerRow = new QHBoxLayout;
    layerRow->addWidget(new QLabel(text("Shown on the keypad picture, layer:", "键盘图片上显示此备份，层："), this));
    Layers = new QButtonGroup(this);
    for (int layer = 0; layer < KeypadImage::kLayers; ++layer) {
        auto* button = new QPushButton(QString::number(layer + 1), this);
        button->setCheckable(true);
        button->setFixedWidth(36);
        button->setChecked(layer == Config.selectedLayer());
        Layers->addButton(button, layer);
        layerRow->addWidget(button);
    }
    layerRow->addStretch();
    connect(Layers, &QButtonGroup::idClicked, this, &BackupBrowser::preview);

    RestoreButton = new QPushButton(text("Restore", "恢复"), this);
    RestoreButton->setObjectName(QStringLiteral("restoreBackup"));
    RestoreButton->setToolTip(text("Load this backup into the window as one step Ctrl+Z takes back; "
                                   "\"Save settings\" writes it to the keypad",
                                   "将此备份载入窗口（可用 Ctrl+Z 撤销）；点击“保存配置”写入键盘"));
    auto* close = new QPushButton(text("Close", "关闭"), this);
    connect(RestoreButton, &QPushButton::clicked, this, &BackupBrowser::restoreSelected);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* side = new QVBoxLayout;
    side->addWidget(Details, 1);
    side->addLayout(layerRow);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(RestoreButton);
    buttons->addWidget(close);
    side->addLayout(buttons);
    auto* body = new QHBoxLayout;
    body->addWidget(List, 3);
    body->addLayout(side, 2);
    auto* whole = new QVBoxLayout(this);
    whole->addWidget(Note);
    whole->addLayout(body, 1);

    fill(store, keypad, connected);
    connect(List, &QTreeWidget::currentItemChanged, this, &BackupBrowser::showSelected);
    select(0);
    // What a restore changes is told once the LED layers not known yet have
    // been read from the keypad, off the window's thread.
    const QPointer<BackupBrowser> self(this);
    auto compare = [self] {
        if (!self)
            return;
        self->compare();
        self->showSelected();
    };
    if (connected)
        Profiles.readUnknownLedLayers(compare);
    else
        compare();

    // Below the keypad picture, so the preview stays in sight.
    const QRect area = window.rect();
    setGeometry(QRect(window.mapToGlobal(QPoint(area.width() / 10, area.height() / 2)),
                      QSize(area.width() * 8 / 10, area.height() * 47 / 100)));
}

BackupBrowser::~BackupBrowser() = default;

QString BackupBrowser::text(const char* english, const char* chinese) const
{
    return RunTimeTexts::pick(Language_Flag, english, chinese);
}

void BackupBrowser::fill(const BackupStore& store, const BackupKeypad& keypad, bool connected)
{
    if (!store.keeps()) {
        Note->setText(text("A simulated keypad without a state file keeps no backups.",
                           "没有状态文件的模拟键盘不保留备份。"));
    } else if (!store.available()) {
        Note->setText(text("No backups can be kept: ", "无法保留备份：") + store.problem());
    } else {
        Note->setText(text("Backups are taken before every change to a keypad; the first of each keypad is kept "
                           "for good, the newest 20 besides it. In: ",
                           "每次修改键盘之前都会备份；每个键盘的第一份备份永久保留，另保留最新的 20 份。位置：")
                      + store.baseDir()
                      + (connected ? QLatin1Char('\n') + text("This keypad: ", "此键盘：")
                                         + BackupKeypad::describeFolder(keypad.folderName())
                                   : QString()));
    }
    const QString own = connected ? keypad.folderName() : QString();
    for (const QString& folder : store.keypadFolders()) {
        for (const BackupEntry& entry : store.backupsIn(folder)) {
            auto row = std::make_shared<Row>();
            row->entry = entry;
            row->ours = folder == own;
            Rows << row;
        }
    }
    // The connected keypad's own first, then by time, newest first.
    std::stable_sort(Rows.begin(), Rows.end(), [](const auto& a, const auto& b) {
        if (a->ours != b->ours)
            return a->ours;
        return a->entry.taken > b->entry.taken;
    });

    for (const auto& row : Rows) {
        QString error;
        row->loaded = Profile::loadProfile(row->entry.path, &error);
        if (!row->loaded) {
            row->error = error;
            row->assigned = text("unreadable", "无法读取");
        } else {
            row->assigned = assignedText(row->loaded->image);
        }
        const QString described = BackupKeypad::describeFolder(row->entry.keypadFolder);
        QString who = row->ours ? text("this keypad", "此键盘") : described;
        if (row->entry.first)
            who += text(", first", "，第一份");
        auto* item = new QTreeWidgetItem(
            List, {row->entry.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), who, row->assigned, QString()});
        item->setToolTip(0, row->entry.path);
        item->setToolTip(1, described);
    }
    if (Rows.isEmpty())
        Details->setPlainText(text("No backups yet.", "还没有备份。"));
}

void BackupBrowser::compare()
{
    const KeypadImage now = Config.image();
    if (now.identity.keys == 0 && now.identity.knobs == 0)
        return;  // no keypad known: nothing to restore onto
    for (int i = 0; i < Rows.size(); ++i) {
        Row& row = *Rows[i];
        if (!row.loaded)
            continue;
        row.restored = importProfile(*row.loaded, now);
        row.changes = ProfileDiff::differences(now, row.restored->image);
        List->topLevelItem(i)->setText(
            3, row.changes.isEmpty() ? text("same", "相同") : QString::number(row.changes.size()));
    }
}

int BackupBrowser::count() const
{
    return Rows.size();
}

void BackupBrowser::select(int row)
{
    if (row >= 0 && row < List->topLevelItemCount())
        List->setCurrentItem(List->topLevelItem(row));
}

QString BackupBrowser::selectedPath() const
{
    const int row = List->indexOfTopLevelItem(List->currentItem());
    return row >= 0 ? Rows[row]->entry.path : QString();
}

void BackupBrowser::showSelected()
{
    const int index = List->indexOfTopLevelItem(List->currentItem());
    RestoreButton->setEnabled(index >= 0 && Rows[index]->restored.has_value());
    if (index < 0)
        return;
    const Row& row = *Rows[index];
    QString details = QStringLiteral("%1\n%2\n\n").arg(row.entry.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                                      QFileInfo(row.entry.path).fileName());
    if (!row.error.isEmpty()) {
        details += row.error;
    } else if (!row.restored) {
        details += text("Connect the keypad to compare and restore.", "连接键盘后才能比较和恢复。");
    } else {
        details += row.changes.isEmpty() ? text("Restoring changes nothing.", "恢复不会改变任何内容。")
                                         : text("Restoring changes:", "恢复将修改：") + QLatin1Char('\n')
                                               + ProfileDiff::toText(row.changes);
        if (!row.restored->notImported.isEmpty())
            details += QLatin1String("\n\n") + text("Not restored:", "不会恢复：") + QLatin1Char('\n')
                       + row.restored->notImported.join(QLatin1Char('\n'));
    }
    Details->setPlainText(details);
    preview();
}

void BackupBrowser::preview()
{
    const int index = List->indexOfTopLevelItem(List->currentItem());
    const int layer = std::max(0, Layers->checkedId());
    if (index < 0 || !Rows[index]->restored) {
        Editor.showLayerLabels(Config.selectedLayer());
        return;
    }
    KeypadConfig shown;
    shown.adoptDeviceInfo(Config.identity());
    shown.applyImage(Rows[index]->restored->image);
    Editor.showLabelsOf(shown.store(), layer);
}

void BackupBrowser::restoreSelected()
{
    const int index = List->indexOfTopLevelItem(List->currentItem());
    if (index < 0 || !Rows[index]->restored)
        return;
    Editor.showLayerLabels(Config.selectedLayer());
    // The LED layers not known yet are read first, off the window's thread.
    RestoreButton->setEnabled(false);
    const QPointer<BackupBrowser> self(this);
    Profiles.restoreBackup(Rows[index]->entry.path, [self](bool changed) {
        if (!self)
            return;
        if (changed)
            self->accept();
        else
            self->RestoreButton->setEnabled(true);
    });
}

void BackupBrowser::done(int result)
{
    // The window's own captions come back whatever closed the browser.
    Editor.showLayerLabels(Config.selectedLayer());
    QDialog::done(result);
}
