#include "app/window/unsaved_changes.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QWidget>

#include "app/window/edit_texts.h"
#include "core/keypad/keypad_config.h"
#include "core/device/keypad_connection.h"
#include "app/picture/key_picture_buttons.h"
#include "app/window/window_state.h"

UnsavedChanges::UnsavedChanges(QWidget& window, KeypadConfig& config, KeypadConnection& connection,
                               const WindowState& state, QObject* parent)
    : QObject(parent), Window(window), Config(config), Connection(connection), Language_Flag(state.Language)
{
    SaveButton = Window.findChild<QPushButton*>(QStringLiteral("download"));
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
    showMarks();
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
    const QMessageBox::StandardButton answer = Ask(
        EditTexts::closeTitle(Language_Flag), EditTexts::closeQuestion(Config.unsavedCount(), Language_Flag), choices);
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
    if (QAbstractButton* b = box.button(QMessageBox::Discard))
        b->setText(title == EditTexts::closeTitle(language) ? EditTexts::discardButton(language)
                                                            : EditTexts::discardAction(language));
    if (QAbstractButton* b = box.button(QMessageBox::Cancel))
        b->setText(EditTexts::cancelButton(language));
    box.setDefaultButton(QMessageBox::Cancel);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
