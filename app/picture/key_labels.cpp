#include "app/picture/key_labels.h"

#include "app/picture/key_picture_buttons.h"
#include "app/window/window_log.h"
#include "app/window/window_state.h"
#include "core/keypad/config_store.h"
#include "core/keypad/record_render.h"

#include <QPushButton>
#include <QTextEdit>

namespace {
const QString kEmptyLabel = QStringLiteral("NULL");
}

KeyLabels::KeyLabels(KeyPictureButtons& buttons, QTextEdit* textBox, const WindowState& state)
    : buttons_(buttons), textBox_(textBox), language_(state.Language)
{
}

void KeyLabels::showSelectedKeyText(const ConfigStore& store)
{
    const uint8_t* record = store.record(store.Select_PHY_Key_Layer, store.Select_PHY_Key);
    textBox_->setText(RecordRender::renderRecord(record, store.currentFormat(), RenderTarget::TextBox, language_));
}

void KeyLabels::showLayer(const ConfigStore& store, int layer)
{
    const bool current = store.currentFormat();
    for (int key = 1; key <= KeyPictureButtons::kSelectable; ++key) {
        const uint8_t* record = store.record(layer, key);
        buttons_.setText(key, RecordRender::isEmptyRecord(record, current)
                                  ? kEmptyLabel
                                  : RecordRender::renderRecord(record, current, RenderTarget::KeyButton, language_));
    }
}

void KeyLabels::appendToSelectedKey(const ConfigStore& store, const QString& caption)
{
    const int key = store.Select_PHY_Key;
    qCDebug(lcUi) << "Select_PHY_Key the value is " << key;
    if (key < 1 || key > KeyPictureButtons::kSelectable)
        return;
    QPushButton* button = buttons_.button(key);
    if (!button)
        return;
    const QString text = button->text() == kEmptyLabel ? caption : button->text() + ' ' + caption;
    buttons_.setText(key, text);
    textBox_->setText(text);
}

void KeyLabels::setSelectedKeyText(int key, const QString& text)
{
    buttons_.setText(key, text);
    textBox_->setText(text);
}

void KeyLabels::clearKey(int key)
{
    if (key >= 1 && key <= KeyPictureButtons::kSelectable)
        buttons_.setText(key, kEmptyLabel);
    textBox_->setText(QString());
}

void KeyLabels::clearAll()
{
    for (int key = 1; key <= KeyPictureButtons::kCount; ++key)
        buttons_.setText(key, kEmptyLabel);
    textBox_->setText(QString());
}
