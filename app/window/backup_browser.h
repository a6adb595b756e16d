#pragma once

#include "core/profile/backup_store.h"

#include <QDialog>
#include <QVector>

#include <memory>

struct WindowState;
class KeyEditor;
class KeypadConfig;
class ProfileActions;
class QButtonGroup;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

// "Backups..." of the settings menu: every backup the store keeps, the
// connected keypad's first, each with when it was taken, which keypad it
// came from, how many keys and knob actions it assigns per layer and how
// much restoring it would change. The selected one is previewed on the
// keypad picture; "Restore" imports it as one undoable step, left unsaved
// for "Save settings" like any import.
class BackupBrowser : public QDialog {
    Q_OBJECT

public:
    BackupBrowser(QWidget& window, const BackupStore& store, const BackupKeypad& keypad, bool connected,
                  KeypadConfig& config, KeyEditor& editor, ProfileActions& profiles, const WindowState& state);
    ~BackupBrowser() override;

    int count() const;
    void select(int row);
    // The selected backup's file, empty when none.
    QString selectedPath() const;
    // Imports the selected backup; the browser closes when that changed something.
    void restoreSelected();

protected:
    void done(int result) override;

private:
    struct Row;
    QString text(const char* english, const char* chinese) const;
    void fill(const BackupStore& store, const BackupKeypad& keypad, bool connected);
    // What restoring each backup would make of the window, against what it shows now.
    void compare();
    void showSelected();
    void preview();

    KeypadConfig& Config;
    KeyEditor& Editor;
    ProfileActions& Profiles;
    const int& Language_Flag;
    QVector<std::shared_ptr<Row>> Rows;
    QTreeWidget* List = nullptr;
    QPlainTextEdit* Details = nullptr;
    QLabel* Note = nullptr;
    QButtonGroup* Layers = nullptr;
    QPushButton* RestoreButton = nullptr;
};
