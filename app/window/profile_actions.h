#pragma once

#include <functional>

#include <QObject>
#include <QString>

#include <memory>

#include "core/profile/backup_store.h"

struct WindowState;

class KeyEditor;
class KeypadConfig;
class KeypadConnection;
class QPushButton;
class QWidget;
class StatusLine;

// Where the profile files come from and where the answers go: file dialogs
// and message boxes in the program, a fake in tests so nothing modal opens.
class ProfileDialogs {
public:
    virtual ~ProfileDialogs() = default;
    // Empty when the user cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& proposedPath,
                                 const QString& filter);
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& folder,
                                 const QString& filter);
    virtual void tell(QWidget* parent, const QString& title, const QString& text, bool problem);
};

// "Export..." and "Import..." of the action column, profile files dropped on
// the window, and restoring a backup (an import like any other).
//
// An import only edits: it goes through KeypadConfig::applyImage, so every
// record it changes is unsaved as if it had been clicked, and nothing reaches
// the keypad before "Save settings". A refused file changes nothing.
class EditHistory;

class ProfileActions : public QObject {
    Q_OBJECT

public:
    // An import is one step of history: Ctrl+Z takes the whole file back.
    ProfileActions(QWidget& root, KeypadConfig& config, KeypadConnection& connection, KeyEditor& editor,
                   StatusLine& status, EditHistory& history, const WindowState& state, QObject* parent = nullptr);
    ~ProfileActions() override;

    void setDialogs(std::unique_ptr<ProfileDialogs> dialogs);

    void exportProfile();
    void importProfile();
    // Also the end of a drop. False when the file was refused or nothing changed.
    bool importFile(const QString& path);
    // A backup: imported the same way, one step of history, unsaved until
    // "Save settings"; its folder is not remembered for the file dialogs.
    // then(changed) follows once the LED layers not known yet were read.
    void restoreBackup(const QString& path, std::function<void(bool changed)> then);

    // LED layers the window has not read from the keypad are read now, so
    // that a profile is compared with what the keypad holds.
    void readUnknownLedLayers(std::function<void()> then);
    void exportWhatIsShown();

    // Button texts in the language now in force.
    void retranslate();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString text(const char* english, const char* chinese) const;
    bool importFrom(const QString& path, const QString& title, bool rememberFolder);
    QString lastFolder() const;
    void rememberFolder(const QString& filePath);
    bool keypadKnown(const QString& title);
    void refreshWindow();
    void showLedsIfOnTheirPage();
    void tell(const QString& title, const QString& text, bool problem);

    QWidget& Root;
    EditHistory& History;
    KeypadConfig& Config;
    KeypadConnection& Connection;
    KeyEditor& Editor;
    StatusLine& Status;
    const int& Language_Flag;
    QPushButton* ExportButton = nullptr;
    QPushButton* ImportButton = nullptr;
    std::unique_ptr<ProfileDialogs> Dialogs;
};
