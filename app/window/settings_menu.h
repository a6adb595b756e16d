#pragma once

#include <QObject>
#include <QString>

struct WindowState;

class QAction;
class QMenu;
class QPushButton;
class QWidget;

// The window's own preferences, kept with QSettings: whether every control is
// shown, and the language last chosen with `change`. Read at start, written
// when the user changes them.
namespace ViewSettings {
bool allControls();
void setAllControls(bool shown);
// 1 English, 0 Chinese; English when nothing was chosen yet.
int language();
void setLanguage(int languageFlag);
}  // namespace ViewSettings

// The small settings button at the top of the action column and its menu.
// Other parts of the window add their own entries to menu().
class SettingsMenu : public QObject {
    Q_OBJECT

public:
    SettingsMenu(QWidget& window, const WindowState& state, QObject* parent = nullptr);

    QMenu* menu() const { return Menu; }

    // remember false: for this run only (--all-controls).
    void showAllControls(bool shown, bool remember = true);
    // Offered while the keypad has not said which board it is.
    void offerModelPicker(bool offered);
    void retranslate();

    // Tab order through the action column, Tab-only focus (a click must not
    // leave "Clear All" waiting for a Space) and a visible focus frame.
    static void makeActionColumnReachable(QWidget& window);

signals:
    void allControlsChanged(bool shown);
    void modelPickerWanted();
    void backupsWanted();
    void aboutWanted();

private:
    const int& Language_Flag;
    QPushButton* Button = nullptr;
    QMenu* Menu = nullptr;
    QAction* AllControlsAction = nullptr;
    QAction* PickerAction = nullptr;
    QAction* BackupsAction = nullptr;
    QAction* AboutAction = nullptr;
    bool AllControls = false;
};
