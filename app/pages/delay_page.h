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

    void enter();    // suffixes and ranges, then refresh
    void refresh();  // enabled state and the entry buttons of the selected key
    // storeShown: the boxes store what they show (a delay below 50 ms comes
    // back as 50); false only shows the record as it is.
    void loadFromSelectedRecord(bool storeShown = true);
    // Old format: the single delay of the selected key, shown without storing it.
    void loadOldFormatDelay();
    void onValueChanged(QObject* sender, int value);

    // Clear: first entry 0, the others 50. Clear All: all 50.
    void resetForClear(bool all);

    void showCurrentFormat(bool current);

    // Old-format single delay: the slider drives the spin box, the spin box
    // drives the slider and stores. The stored delay is shown in textBox (the
    // form's lineEdit when null); returns that text, empty when nothing was stored.
    void sliderChanged();
    QString spinBoxChanged(QTextEdit* textBox = nullptr);

    int slotOf(const QObject* spinBox) const;  // 0..17, -1 when not an entry box

private:
    void showEntryCode(int slot, uint8_t code);

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
