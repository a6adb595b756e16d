#pragma once

#include "core/keypad/keypad_config.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QUndoStack;
class QWidget;

// What the window showed around an edit: the layer, the selected key, the
// captions of the keypad picture (index = button id) and the text box. The
// captions are views that the records cannot always reproduce (a live label
// lists the clicked captions), so an undo puts back what was shown.
struct EditView {
    int layer = -1;
    int selectedKey = 0;
    QStringList captions;
    QString text;
};

// The user's edits as undo steps. Each step is the records, marks and LED
// layers one user action changed, with the view before and after it; steps
// hold whole snapshots, so taking one back restores exactly what was there,
// however the action got there. A read-back or another keypad starts afresh:
// the history would otherwise put back records the keypad no longer holds.
class EditHistory : public QObject {
    Q_OBJECT

public:
    static constexpr int kUndoLimit = 100;

    explicit EditHistory(KeypadConfig& config, QObject* parent = nullptr);

    // Runs edit as one user action and keeps it as one step when it changed
    // anything. Edits run inside another edit, or while quiet, are part of
    // that other action. Consecutive steps with the same non-zero mergeKey
    // (typing a delay digit by digit) become one. True when a step was added.
    bool record(const QString& text, const std::function<void()>& edit, int mergeKey = 0);

    // While one lives, changes are no steps of their own: the program
    // adjusting a record for display (delays shown as at least 50 ms).
    class Quiet {
    public:
        explicit Quiet(EditHistory* history);
        ~Quiet();
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        EditHistory* History;
    };

    void undo();
    void redo();
    // Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y, for the whole window. A focused spin
    // box still takes Ctrl+Z for its own text first.
    void addShortcutsTo(QWidget* window);
    int count() const;
    int index() const;  // steps not taken back

    // A read-back or another keypad: nothing before it can be taken back.
    void clear();
    // The keypad was written to: older steps' marks no longer tell what it
    // holds. An LED layer read from it says so for the LED layers alone.
    struct Generations {
        int records = 0;
        int leds = 0;
        bool operator==(const Generations& o) const { return records == o.records && leds == o.leds; }
        bool operator!=(const Generations& o) const { return !(*this == o); }
    };
    void keypadWritten();
    void ledLayerRead() { ++Now.leds; }

    // The window's view around each step, and how it shows one again.
    std::function<EditView()> captureView;
    std::function<void(const EditView&, const KeypadConfig::Difference&)> showView;

signals:
    // An undo or redo put records back; the view has been told already.
    void restored();

private:
    friend class ConfigEdit;
    void apply(const KeypadConfig::Snapshot& snapshot, const EditView& view,
               const KeypadConfig::Difference& changed, const Generations& generations);

    KeypadConfig& Config;
    QUndoStack* Stack = nullptr;
    int Depth = 0;
    int QuietDepth = 0;
    Generations Now;
};
