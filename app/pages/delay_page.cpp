#include "app/pages/delay_page.h"

#include "app/window/window_log.h"
#include "app/window/window_state.h"
#include "core/keypad/keypad_config.h"
#include "core/keypad/record_render.h"
#include "core/texts/run_time_texts.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTextEdit>
#include <QWidget>

namespace {
template <typename T>
T* findWidget(QWidget* root, const QString& name)
{
    T* widget = root ? root->findChild<T*>(name) : nullptr;
    if (!widget)
        qCWarning(lcUi) << "Could not find" << name;
    return widget;
}

// Showing a widget that is not hidden changes nothing on screen, yet has Qt
// polish it at once; on a page not opened yet that work belongs to its first view.
void setShown(QWidget* widget, bool shown)
{
    if (widget && widget->isHidden() == shown)
        widget->setVisible(shown);
}

const QString kEmptyStyle = QStringLiteral("color: rgb(255, 0, 0);");
const QString kFilledStyle = QStringLiteral("color: rgb(0, 255, 0);");
// Until a slot shows a record, its button is plain whatever the page's rules say.
const QString kUnshownSlotStyle = QStringLiteral("background-color: rgb(60, 60, 60);");
// A sheet of its own: the slot's colour sheets above have no selector and
// would reach the number inside the button too.
const QString kSlotNumberStyle =
    QStringLiteral("color: rgb(150, 150, 150); font-size: 12px; padding: 0px; background: transparent;");
const QString kSpinBoxStyle = QStringLiteral("color: rgb(255, 255, 255);");
const QString kCaptionStyle = QStringLiteral("color: rgb(255, 255, 255); font-size: 15px;");
}  // namespace

DelayPage::DelayPage(QWidget* root, KeypadConfig& config, const WindowState& state, QObject* parent)
    : QObject(parent), Config(config), Language_Flag(state.Language)
{
    for (int n = 1; n <= kSlots; ++n) {
        SpinBoxes[n - 1] = findWidget<QSpinBox>(root, QStringLiteral("delay_spinBox_%1").arg(n));
        SlotButtons[n - 1] = findWidget<QPushButton>(root, QStringLiteral("pushButton_delay_%1").arg(n));
    }
    SingleSpinBox = findWidget<QSpinBox>(root, QStringLiteral("spinBox"));
    SingleSlider = findWidget<QSlider>(root, QStringLiteral("horizontalSlider"));
    DelayLabel = findWidget<QLabel>(root, QStringLiteral("label"));
    UnitLabel = findWidget<QLabel>(root, QStringLiteral("label_2"));
    TextBox = findWidget<QTextEdit>(root, QStringLiteral("lineEdit"));

    // Set here rather than in the form, while the page is not polished yet:
    // a form control with a sheet of its own is polished anew whenever its
    // page changes parent, which the window does at start. Buttons before
    // the numbers inside them, so no sheet of the number is redone.
    for (int n = 1; n <= kSlots; ++n) {
        if (SlotButtons[n - 1])
            SlotButtons[n - 1]->setStyleSheet(kUnshownSlotStyle);
        if (auto* number = root ? root->findChild<QLabel*>(QStringLiteral("delay_slot_%1").arg(n)) : nullptr)
            number->setStyleSheet(kSlotNumberStyle);
        if (SpinBoxes[n - 1])
            SpinBoxes[n - 1]->setStyleSheet(kSpinBoxStyle);
    }
    for (QLabel* caption : {DelayLabel, UnitLabel}) {
        if (caption)
            caption->setStyleSheet(kCaptionStyle);
    }
}

void DelayPage::setUp(QObject* receiver, const char* slot)
{
    for (QSpinBox* box : SpinBoxes) {
        if (box && receiver && slot)
            connect(box, SIGNAL(valueChanged(int)), receiver, slot);
    }
}

int DelayPage::slotOf(const QObject* spinBox) const
{
    if (!spinBox)
        return -1;
    for (int k = 0; k < kSlots; ++k) {
        if (SpinBoxes[k] == spinBox)
            return k;
    }
    return -1;
}

void DelayPage::enter()
{
    for (QSpinBox* box : SpinBoxes) {
        if (box) {
            const QSignalBlocker quiet(box);
            box->setSuffix(QStringLiteral("   ms"));
            box->setMaximum(kMaxDelay);
        }
    }
    refresh();
    loadFromSelectedRecord();
}

bool DelayPage::selectedHoldsSequence() const
{
    const ConfigStore& store = Config.store();
    if (store.Select_PHY_Key == 0 || store.Select_PHY_Key >= kSlotsPerLayer || store.Select_PHY_Key_Layer >= kLayers)
        return false;
    const uint8_t* record = store.PHY2_KEY_Value[store.Select_PHY_Key_Layer][store.Select_PHY_Key];
    if (record[3] != ModeKeys)
        return false;
    for (int k = 0; k < kSlots; ++k) {
        if (record[entryCodeByte(k)] != 0)
            return true;
    }
    return false;
}

void DelayPage::refresh()
{
    // Delays time the presses of a sequence: an empty slot, a media key or a
    // mouse action has none, and a box typed into there would make a record
    // of pauses for nothing.
    const bool sequence = selectedHoldsSequence();
    for (QSpinBox* box : SpinBoxes) {
        if (!box)
            continue;
        box->setEnabled(sequence);
        if (sequence)
            box->setReadOnly(false);
    }
    // Another key's entries must not stay behind, whatever this one holds.
    for (QPushButton* button : SlotButtons) {
        if (!button)
            continue;
        if (!button->text().isEmpty())
            button->setText(QString());
        if (button->styleSheet() != kUnshownSlotStyle)
            button->setStyleSheet(kUnshownSlotStyle);
    }
    if (!sequence)
        return;
    const ConfigStore& store = Config.store();
    const uint8_t* record = store.PHY2_KEY_Value[store.Select_PHY_Key_Layer][store.Select_PHY_Key];
    for (int k = 0; k < kSlots; ++k)
        showEntryCode(k, record[entryCodeByte(k)]);
}

void DelayPage::showEntryCode(int slot, uint8_t code)
{
    QPushButton* button = SlotButtons[slot];
    if (!button)
        return;
    const RecordRender::DelaySlotCaption shown = RecordRender::delaySlotCaption(code, Language_Flag);
    if (shown.changeCaption)
        button->setText(shown.caption);
    if (shown.style == RecordRender::DelaySlotCaption::Style::Red)
        button->setStyleSheet(kEmptyStyle);
    else if (shown.style == RecordRender::DelaySlotCaption::Style::Green)
        button->setStyleSheet(kFilledStyle);
}

// A value below the box's range is shown through a stand-in one below the
// minimum with a special text: empty for nothing to show, the minimum for a
// shorter stored delay. The record keeps what it holds, and any value the
// user types, the minimum included, is a change the box reports.
void DelayPage::showDelay(QSpinBox* box, int minimum, int value)
{
    const QSignalBlocker quiet(box);
    if (value >= minimum) {
        endStandIn(box, minimum);
        box->setValue(value);
        return;
    }
    box->setMinimum(minimum - 1);
    box->setSpecialValueText(value < 0 ? QStringLiteral(" ") : QString::number(minimum) + box->suffix());
    box->setValue(minimum - 1);
}

void DelayPage::endStandIn(QSpinBox* box, int minimum)
{
    const QSignalBlocker quiet(box);
    box->setSpecialValueText(QString());
    box->setMinimum(minimum);
}

void DelayPage::loadFromSelectedRecord()
{
    const bool sequence = selectedHoldsSequence();
    const ConfigStore& store = Config.store();
    for (int k = 0; k < kSlots; ++k) {
        if (!SpinBoxes[k])
            continue;
        int value = -1;
        if (sequence) {
            const uint8_t* record = store.PHY2_KEY_Value[store.Select_PHY_Key_Layer][store.Select_PHY_Key];
            value = (record[entryDelayByte(k)] << 8) | record[entryDelayByte(k) + 1];
        }
        showDelay(SpinBoxes[k], minimumOf(k), value);
    }
}

void DelayPage::loadOldFormatDelay()
{
    if (!SingleSpinBox)
        return;
    const ConfigStore& store = Config.store();
    const uint8_t* record = store.recordOf(false, store.Select_PHY_Key_Layer, store.Select_PHY_Key);
    const bool holdsDelay = record && store.Select_PHY_Key != 0 && record[3] == ModeDelay;
    const int value = holdsDelay ? record[4] | (record[5] << 8) : -1;
    showDelay(SingleSpinBox, 0, value);
    if (SingleSlider) {
        const QSignalBlocker blockSlider(SingleSlider);
        SingleSlider->setValue(qMax(value, 0));
    }
}

void DelayPage::onValueChanged(QObject* sender, int value)
{
    const int k = slotOf(sender);
    if (k < 0 || value < minimumOf(k))
        return;
    if (Config.setEntryDelay(k, value) != WriteResult::Written)
        return;
    endStandIn(SpinBoxes[k], minimumOf(k));
    qCDebug(lcUi) << "Updated delay_values[" << k << "] =" << value;
}

void DelayPage::showCurrentFormat(bool current)
{
    for (int k = 0; k < kSlots; ++k) {
        setShown(SpinBoxes[k], current);
        setShown(SlotButtons[k], current);
    }
    for (QWidget* widget : {static_cast<QWidget*>(SingleSlider), static_cast<QWidget*>(DelayLabel),
                            static_cast<QWidget*>(UnitLabel), static_cast<QWidget*>(SingleSpinBox)})
        setShown(widget, !current);
}

void DelayPage::sliderChanged()
{
    if (SingleSlider && SingleSpinBox)
        SingleSpinBox->setValue(SingleSlider->value());
}

QString DelayPage::spinBoxChanged(QTextEdit* textBox)
{
    if (!SingleSpinBox)
        return QString();
    const int value = SingleSpinBox->value();
    if (value < 0)
        return QString();  // the empty stand-in of a key without a delay
    if (SingleSlider)
        SingleSlider->setValue(value);

    if (Config.setOldFormatDelay(value) != WriteResult::Written)
        return QString();
    endStandIn(SingleSpinBox, 0);

    const QString text = RunTimeTexts::oldFormatDelayText(value);
    if (QTextEdit* shownIn = textBox ? textBox : TextBox)
        shownIn->setText(text);
    return text;
}
