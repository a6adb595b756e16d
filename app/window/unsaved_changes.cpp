#include "app/window/unsaved_changes.h"

#include "app/picture/key_picture_buttons.h"
#include "app/window/edit_texts.h"
#include "app/window/window_state.h"
#include "core/device/keypad_connection.h"
#include "core/keypad/keypad_config.h"
#include "core/texts/run_time_texts.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QWidget>

namespace {

QString closeQuestionWithoutKeypad(int unsaved, int language)
{
    if (!RunTimeTexts::isEnglish(language))
        return QStringLiteral("有 %1 项更改尚未保存到键盘，而现在没有连接键盘，无法保存。"
                              "关闭并放弃这些更改，还是先留下来连接键盘？")
            .arg(unsaved);
    return unsaved == 1 ? QStringLiteral("1 change is not saved to the keypad yet, and no keypad is connected to "
                                         "save it to. Close and lose it, or stay and connect the keypad?")
                        : QStringLiteral("%1 changes are not saved to the keypad yet, and no keypad is connected to "
                                         "save them to. Close and lose them, or stay and connect the keypad?")
                              .arg(unsaved);
}

}  // namespace

UnsavedChanges::UnsavedChanges(QWidget& window, KeypadConfig& config, KeypadConnection& connection,
                               const WindowState& state, QObject* parent)
    : QObject(parent), Window(window), Config(config), Connection(connection), Language_Flag(state.Language)
{
    SaveButton = Window.findChild<QPushButton*>(QStringLiteral("download"));
    ReadButton = Window.findChild<QPushButton*>(QStringLiteral("Read_Configuration"));
    for (int id = 1; id <= KeyPictureButtons::kCount; ++id)
        KeyButtons[size_t(id)] = Window.findChild<QPushButton*>(QStringLiteral("pushButton_K%1").arg(id));
    Ask = [this](const QString& title, const QString& text, QMessageBox::StandardButtons buttons) {
        return askWithBox(&Window, Language_Flag, title, text, buttons);
    };
    auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &Window);
    connect(save, &QShortcut::activated, this, [this] {
        if (Save)
            Save();
    });
    DiscardAction = new QAction(this);
    connect(DiscardAction, &QAction::triggered, this, &UnsavedChanges::discard);
    connect(&Config, &KeypadConfig::changed, this, &UnsavedChanges::refresh);
    connect(&Config, &KeypadConfig::ledChanged, this, &UnsavedChanges::refresh);
    connect(&Connection, &KeypadConnection::connected, this, &UnsavedChanges::refresh);
    connect(&Connection, &KeypadConnection::disconnected, this, &UnsavedChanges::refresh);
}

void UnsavedChanges::addActionsTo(QMenu& menu)
{
    menu.addAction(DiscardAction);
    refresh();
}

void UnsavedChanges::refresh()
{
    const int waiting = Config.unsavedCount();
    if (SaveButton) {
        const QString caption = EditTexts::saveCaption(SaveButton->text(), waiting);
        if (caption != SaveButton->text())
            SaveButton->setText(caption);
    }
    DiscardAction->setText(EditTexts::discardAction(Language_Flag));
    DiscardAction->setEnabled(waiting > 0 && Connection.isConnected());
    showWhatCanBeDone(Connection.isConnected());
    showMarks();
}

// Runs after the session's own answer to a connection, which keeps "View
// settings" off while the keypad has not said which board it is.
void UnsavedChanges::showWhatCanBeDone(bool connected)
{
    const auto pick = [this](const char* english, const char* chinese) {
        return RunTimeTexts::pick(Language_Flag, english, chinese);
    };
    if (SaveButton) {
        SaveButton->setEnabled(connected);
        SaveButton->setToolTip(connected ? pick("Write every changed key to the keypad (Ctrl+S)",
                                                "将修改过的按键写入键盘（Ctrl+S）")
                                         : pick("No keypad is connected: there is nothing to save to",
                                                "未连接键盘：无处保存"));
    }
    if (ReadButton) {
        if (!connected)
            ReadButton->setEnabled(false);
        ReadButton->setToolTip(connected ? pick("Read the keypad's configuration back", "从键盘读回配置")
                                         : pick("No keypad is connected: there is nothing to read",
                                                "未连接键盘：无可读取的配置"));
    }
}

void UnsavedChanges::showMarks()
{
    const ConfigStore& store = Config.store();
    const int layer = Config.selectedLayer();
    for (int id = 1; id <= KeyPictureButtons::kCount; ++id) {
        QPushButton* button = KeyButtons[size_t(id)];
        if (!button)
            continue;
        const bool unsaved = store.KeyDirty[layer][id] != 0;
        if (button->property(KeyPictureButtons::kUnsavedProperty).toBool() == unsaved)
            continue;
        // The key buttons' painter draws the mark from this property.
        button->setProperty(KeyPictureButtons::kUnsavedProperty, unsaved);
        button->update();
    }
}

bool UnsavedChanges::mayClose()
{
    if (!Config.anyUnsaved())
        return true;
    // Without a keypad a save cannot succeed; offering it would only look
    // like nothing happened.
    QMessageBox::StandardButtons choices = QMessageBox::Discard | QMessageBox::Cancel;
    if (Connection.isConnected())
        choices |= QMessageBox::Save;
    const QString question = Connection.isConnected()
                                 ? EditTexts::closeQuestion(Config.unsavedCount(), Language_Flag)
                                 : closeQuestionWithoutKeypad(Config.unsavedCount(), Language_Flag);
    const QMessageBox::StandardButton answer = Ask(EditTexts::closeTitle(Language_Flag), question, choices);
    switch (answer) {
    case QMessageBox::Save:
        if (Save)
            Save();
        refresh();
        // A save that failed or found no keypad would lose the edits.
        return !Config.anyUnsaved();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void UnsavedChanges::discard()
{
    if (!Config.anyUnsaved() || !Connection.isConnected() || !DiscardEdits)
        return;
    const QMessageBox::StandardButton answer =
        Ask(EditTexts::discardAction(Language_Flag), EditTexts::discardQuestion(Config.unsavedCount(), Language_Flag),
            QMessageBox::Discard | QMessageBox::Cancel);
    if (answer != QMessageBox::Discard)
        return;
    DiscardEdits();
    refresh();
}

QMessageBox::StandardButton UnsavedChanges::askWithBox(QWidget* parent, const int& language, const QString& title,
                                                       const QString& text, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(QMessageBox::Warning, title, text, buttons, parent);
    // The program's own words: Qt's translations of the buttons are not loaded.
    if (QAbstractButton* b = box.button(QMessageBox::Save))
        b->setText(EditTexts::saveButton(language));
    if (QAbstractButton* b = box.button(QMessageBox::Discard)) {
        if (title != EditTexts::closeTitle(language))
            b->setText(EditTexts::discardAction(language));
        else if (buttons.testFlag(QMessageBox::Save))
            b->setText(EditTexts::discardButton(language));
        else  // nothing to save to: the choice is to close or to stay
            b->setText(RunTimeTexts::pick(language, "Close without saving", "不保存，直接关闭"));
    }
    const bool closingWithoutKeypad = title == EditTexts::closeTitle(language) && !buttons.testFlag(QMessageBox::Save);
    if (QAbstractButton* b = box.button(QMessageBox::Cancel))
        b->setText(closingWithoutKeypad ? RunTimeTexts::pick(language, "Stay", "留下")
                                        : EditTexts::cancelButton(language));
    box.setDefaultButton(QMessageBox::Cancel);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
