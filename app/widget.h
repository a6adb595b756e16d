#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

#include "app/window/window_state.h"
#include "core/keypad/key_table.h"

class EditHistory;
class HidTransport;
class HelpWindows;
class KeyEditor;
class KeypadBackups;
class KeyboardNavigation;
class KeyTesterPage;
class KeypadConfig;
class KeypadConnection;
class KeypadSession;
class LayoutView;
class ProfileActions;
class QButtonGroup;
class QMenu;
class SettingsMenu;
class ShortcutRecorder;
class StatusLine;
class UnsavedChanges;
class CustomTabStyle;
class Dialog1;

namespace Ui {
class Widget;
}

// Plain base the main window carries; its only member is one string.
class HID_Key_Val {
public:
    QString Key_Val_Str;
};

// The main window: owns the form, the configuration being edited, the
// connection to the keypad and the model picker, and wires them together.
// What happens on a click lives in KeyEditor (selection and values) and
// KeypadSession (everything that talks to the keypad); the status line is
// StatusLine's alone.
class Widget : public QWidget, public HID_Key_Val {
    Q_OBJECT

public:
    explicit Widget(QWidget* parent = nullptr);
    // Attaches the given transport (a simulated keypad, say) instead of hidapi.
    explicit Widget(HidTransport& transport, QWidget* parent = nullptr);
    // A keypad on the bus is kept from other writers by its lock; a simulated
    // one is the window's own unless this asks for the same.
    void lockKeypads();
    ~Widget() override;

    KeypadConfig& config() const { return *Config; }
    KeypadConnection& connection() const { return *Connection; }
    KeyEditor& editor() const { return *Editor; }
    StatusLine& statusLine() const { return *Status; }
    ProfileActions& profiles() const { return *Profiles; }
    KeypadBackups& backups() const { return *Backups; }
    // "Backups..." of the settings menu.
    void openBackupBrowser();
    // The user's edits as undo steps; an import records itself here.
    EditHistory* history() const { return History; }
    UnsavedChanges& unsavedChanges() const { return *Unsaved; }
    Dialog1* dialog1() const { return Dialog; }
    SettingsMenu& settings() const { return *Settings; }
    KeyTesterPage& keyTester() const { return *Tester; }
    ShortcutRecorder& shortcutRecorder() const { return *Recorder; }
    HelpWindows& help() const { return *Help; }
    QMenu* settingsMenu() const;
    const CaptionLookup& captions() const;
    bool saveNoticeActive() const;
    void rebuildLayoutView();

    // The window's language, size and pictures, read by its parts.
    WindowState View;
    const int& Language_Flag = View.Language;  // 1 English, 0 Chinese
    QButtonGroup* Key_Group = nullptr;
    QButtonGroup* Layer_Group = nullptr;
    // The polling watch's timer; null once another watch replaced it.
    QPointer<QTimer> Monitor_Timer;

public slots:
    void on_confirmButton_clicked();
    void on_CleanButton_clicked();
    void on_CleanALLButton_clicked();
    void Read_configuration_clicked();
    void on_clean_DevData();
    void SendLayer(int index);
    void timeoutSlot();
    void on_changeButtonGroup(int id);
    void Set_Keyboard_Ver_SLOT(int model);
    void onSpinBoxValueChanged(int value);
    void on_tabWidget_currentChanged(int index);
    void on_download_clicked();
    void slotSpinbox_slider();
    void slotslider_Spinbox();
    void onTimeupDestroy();
    void on_change_clicked();
    void KB_UpData_SoftWare();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void construct();
    void connectByName();
    void wireHistory();
    void showAllControls(bool shown);

    Ui::Widget* ui = nullptr;
    KeypadConfig* Config = nullptr;
    KeypadConnection* Connection = nullptr;
    StatusLine* Status = nullptr;
    KeyEditor* Editor = nullptr;
    KeypadSession* Session = nullptr;
    ProfileActions* Profiles = nullptr;
    KeypadBackups* Backups = nullptr;
    EditHistory* History = nullptr;
    UnsavedChanges* Unsaved = nullptr;
    Dialog1* Dialog = nullptr;
    SettingsMenu* Settings = nullptr;
    KeyboardNavigation* Navigation = nullptr;
    HelpWindows* Help = nullptr;
    CustomTabStyle* TabStyle = nullptr;
    KeyTesterPage* Tester = nullptr;
    ShortcutRecorder* Recorder = nullptr;
    std::unique_ptr<LayoutView> Layout;
};
