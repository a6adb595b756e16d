#pragma once

#include "app/picture/key_picture_buttons.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QPushButton>

#include <array>
#include <functional>

struct WindowState;

class KeypadConfig;
class KeypadConnection;
class QAction;
class QMenu;
class QWidget;

// Shows what the keypad has not been told yet and keeps it from being lost:
// the `unsaved` property of every key and knob button of the shown layer
// (how it looks is the buttons' style's business), the number of records
// waiting on "Save settings", Ctrl+S, the question when the window closes
// with unsaved edits, and "Discard changes". Without a keypad "Save settings"
// and "View settings" are off, their tooltips saying why.
class UnsavedChanges : public QObject {
    Q_OBJECT

public:
    // Asks the user; returns the button chosen. Replaceable so that tests
    // answer without a modal loop.
    using Question = std::function<QMessageBox::StandardButton(
        const QString& title, const QString& text, QMessageBox::StandardButtons buttons)>;

    UnsavedChanges(QWidget& window, KeypadConfig& config, KeypadConnection& connection, const WindowState& state,
                   QObject* parent = nullptr);

    // What "Save" does (the window's save), and what dropping the edits does
    // once the user agreed (read the keypad back over them).
    void setSave(std::function<void()> save) { Save = std::move(save); }
    void setDiscard(std::function<void()> discard) { DiscardEdits = std::move(discard); }
    void setQuestion(Question question) { Ask = std::move(question); }

    // Marks, count, caption and the action's state, from the configuration now.
    void refresh();

    // The window wants to close: true when it may. Asks Save / Discard /
    // Cancel when edits are unsaved; a save that leaves any unsaved keeps the
    // window open.
    bool mayClose();
    // "Discard changes": asks first.
    void discard();

    // Puts "Discard changes" into the settings menu.
    void addActionsTo(QMenu& menu);
    QAction* discardAction() const { return DiscardAction; }

private:
    static QMessageBox::StandardButton askWithBox(QWidget* parent, const int& language, const QString& title,
                                                  const QString& text, QMessageBox::StandardButtons buttons);
    void showMarks();

    QWidget& Window;
    KeypadConfig& Config;
    KeypadConnection& Connection;
    const int& Language_Flag;
    void showWhatCanBeDone(bool connected);

    QPushButton* SaveButton = nullptr;
    QPushButton* ReadButton = nullptr;
    std::array<QPointer<QPushButton>, KeyPictureButtons::kCount + 1> KeyButtons;  // by id
    QAction* DiscardAction = nullptr;
    std::function<void()> Save;
    std::function<void()> DiscardEdits;
    Question Ask;
};
