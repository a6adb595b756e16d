#pragma once

#include <QObject>
#include <QString>

#include <array>

struct WindowState;

class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class QTextEdit;
class QWidget;
class KeypadConfig;

// The delay page: 18 per-entry delays beside the key of each entry for
// current-format keypads, one delay per key (spin box and slider) for old ones.
class DelayPage : public QObject {
    Q_OBJECT

public:
    static constexpr int kSlots = 18;
    static constexpr int kMinEntryDelay = 50;  // entries after the first never wait less
    static constexpr int kMaxDelay = 60000;

    DelayPage(QWidget* root, KeypadConfig& config, const WindowState& state, QObject* parent = nullptr);

    // Connects each entry spin box's valueChanged(int) to receiver's slot; that
    // slot hands the change back through onValueChanged.
    void setUp(QObject* receiver, const char* slot);

    // Showing never stores: only the user's edit of a box (onValueChanged,
    // spinBoxChanged) changes a record.
    void enter();    // suffixes and ranges, then the selected key's entries and delays
    void refresh();  // enabled state and the entry buttons of the selected key
    // The delays of the selected key as stored. A delay under 50 ms after the
    // first entry is shown as 50 and stays as it is until its box is edited;
    // a slot that holds no key sequence shows empty, disabled boxes.
    void loadFromSelectedRecord();
    // Old format: the single delay of the selected key; empty unless it holds one.
    void loadOldFormatDelay();
    void onValueChanged(QObject* sender, int value);
    // True when the selected slot holds a key sequence the boxes can time.
    bool selectedHoldsSequence() const;

    void showCurrentFormat(bool current);

    // Old-format single delay: the slider drives the spin box, the spin box
    // drives the slider and stores. The stored delay is shown in textBox (the
    // form's lineEdit when null); returns that text, empty when nothing was stored.
    void sliderChanged();
    QString spinBoxChanged(QTextEdit* textBox = nullptr);

    int slotOf(const QObject* spinBox) const;  // 0..17, -1 when not an entry box

private:
    void showEntryCode(int slot, uint8_t code);
    // Shows value in box without a signal; -1 leaves the box empty.
    static void showDelay(QSpinBox* box, int minimum, int value);
    // After the user's edit the box is an ordinary one again.
    static void endStandIn(QSpinBox* box, int minimum);
    int minimumOf(int slot) const { return slot == 0 ? 0 : kMinEntryDelay; }

    KeypadConfig& Config;
    const int& Language_Flag;
    std::array<QSpinBox*, kSlots> SpinBoxes{};
    std::array<QPushButton*, kSlots> SlotButtons{};
    QSpinBox* SingleSpinBox = nullptr;
    QSlider* SingleSlider = nullptr;
    QLabel* DelayLabel = nullptr;
    QLabel* UnitLabel = nullptr;
    QTextEdit* TextBox = nullptr;
};
