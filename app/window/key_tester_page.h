#pragma once

#include "core/device/input_events.h"
#include "core/keypad/key_press_log.h"

#include <QElapsedTimer>
#include <QObject>
#include <QVector>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct WindowState;
class KeyEditor;
class KeypadConfig;
class QInputEvent;
class QKeyEvent;
class QLabel;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// A key event of the window as the tester and the shortcut recorder hear it:
// the key's position from the platform's scan code where that is the
// kernel's (X11, Wayland), else from Qt's key; nullopt for keys no table knows.
std::optional<PressSample> sampleOfKeyEvent(const QKeyEvent& event, qint64 timeUs);
uint8_t modifierBitsOf(Qt::KeyboardModifiers modifiers);

// The "Key tester" page: lists what every key of the keypad sends and finds
// the key of the picture that sends it. It reads the keypad's own input
// nodes where it may, else what reaches the window. While it is shown the
// window's keys do nothing else (a keypad key that sends Ctrl+S must not
// save); it never edits, and leaves the editing mode as it was.
//
// Only an empty tab exists until the page is first shown.
class KeyTesterPage : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxLines = 500;

    KeyTesterPage(QTabWidget& tabs, KeyEditor& editor, KeypadConfig& config, const WindowState& state,
                  QWidget& window, QObject* parent = nullptr);
    ~KeyTesterPage() override;

    QWidget* page() const { return Page; }
    bool isShown() const { return Active; }
    // The slots that send what arrived last, on the layer shown.
    QVector<int> matchedKeys() const { return Matched; }
    // After another page was added: the tester stays the last one, so the
    // editing pages keep their places.
    void keepLast();
    // A keypad came: its input nodes may be readable now.
    void keypadConnected();
    void retranslate();

    // Where the keypad's nodes are found and how they open; tests replace both.
    std::function<std::vector<KeypadInputNode>()> findNodes;
    std::function<std::unique_ptr<InputEventSource>(const QString& node)> openNode;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pageAboutToShow(int index);
    void enter();
    void leave();
    void build();
    void listenToKeypad();
    void add(const PressSample& sample);
    void fill(QTreeWidgetItem* item, const PressLogEntry& entry) const;
    void showMatch(const Stroke& stroke);
    void showFound();
    void showSource();
    void useMatchedKey();
    int selectableMatch() const;  // the first match the picture can select, or 0
    bool inWindow(QObject* object) const;
    qint64 nowUs(const QInputEvent& event);

    QTabWidget& Tabs;
    KeyEditor& Editor;
    KeypadConfig& Config;
    const int& Language_Flag;
    QWidget& Window;
    QWidget* Page = nullptr;
    QLabel* Intro = nullptr;
    QLabel* Source = nullptr;
    QTreeWidget* Log = nullptr;
    QLabel* Found = nullptr;
    QPushButton* Use = nullptr;
    QPushButton* ClearList = nullptr;

    bool Active = false;
    KeyPressLog Presses;
    std::deque<PressLogEntry> Lines;  // newest first, as the view
    std::unique_ptr<KeypadInputReader> Reader;
    std::vector<KeypadInputNode> Nodes;
    Stroke LastStroke;
    QVector<int> Matched;
    QElapsedTimer Clock;
};
