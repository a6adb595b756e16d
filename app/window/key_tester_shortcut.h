#pragma once

#include <QObject>

struct WindowState;
class KeyEditor;
class KeypadConfig;
class QGridLayout;
class QPushButton;
class QWidget;
class StatusLine;

// "Record shortcut" on the basic keys page: after a click, the next
// combination typed on the computer's keyboard goes into the selected key
// exactly as clicks on its captions would put it there ("Ctrl+", "Shift+",
// "P"), as one step to undo. Escape, a click elsewhere or another page cancels;
// what the key tables cannot express is refused with a message.
class ShortcutRecorder : public QObject {
    Q_OBJECT

public:
    // The button takes the empty top row above the number pad of grid.
    ShortcutRecorder(QWidget& window, QGridLayout* grid, KeyEditor& editor, KeypadConfig& config,
                     StatusLine& status, const WindowState& state, QObject* parent = nullptr);
    ~ShortcutRecorder() override;

    QPushButton* button() const { return Button; }
    bool isRecording() const { return Recording; }
    void start();
    void cancel();
    void retranslate();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void stop();
    bool inWindow(QObject* object) const;

    QWidget& Window;
    KeyEditor& Editor;
    KeypadConfig& Config;
    StatusLine& Status;
    const int& Language_Flag;
    QPushButton* Button = nullptr;
    bool Recording = false;
};
