#include "core/keypad/record_render.h"

#include "core/keypad/config_store.h"
#include "core/keypad/key_table.h"

namespace {

constexpr int kFirstMultimedia = 41;
constexpr int kLastMultimedia = 81;
constexpr int kFirstKeyboard = 112;
constexpr int kLastKeyboard = 223;

enum class WheelModifier { None, Ctrl, Shift, Alt, Unknown };

WheelModifier modifierOfEntry(uint8_t entryCode)
{
    switch (entryCode) {
    case 0x00: return WheelModifier::None;
    case 0xF1: return WheelModifier::Ctrl;
    case 0xF2: return WheelModifier::Shift;
    case 0xF3: return WheelModifier::Alt;
    default: return WheelModifier::Unknown;
    }
}

WheelModifier modifierOfBits(uint8_t bits)
{
    switch (bits) {
    case 0x00: return WheelModifier::None;
    case 0x01: return WheelModifier::Ctrl;
    case 0x02: return WheelModifier::Shift;
    case 0x04: return WheelModifier::Alt;
    default: return WheelModifier::Unknown;
    }
}

// KeyTable index of a pointer action, or -1 for a combination no button makes.
int mouseActionIndex(uint8_t buttons, uint8_t wheel, WheelModifier modifier)
{
    if (wheel == 0 && modifier == WheelModifier::None) {
        switch (buttons) {
        case 0x01: return 96;
        case 0x04: return 97;
        case 0x02: return 98;
        default: return -1;
        }
    }
    if (buttons != 0 || (wheel != 0x01 && wheel != 0xFF))
        return -1;
    const int down = wheel == 0xFF ? 1 : 0;
    switch (modifier) {
    case WheelModifier::None: return 99 + down;
    case WheelModifier::Ctrl: return 101 + down;
    case WheelModifier::Shift: return 103 + down;
    case WheelModifier::Alt: return 105 + down;
    default: return -1;
    }
}

int gestureIndex(uint8_t gesture)
{
    switch (gesture) {
    case 1: return 108;
    case 2: return 109;
    case 3: return 110;
    case 4: return 111;
    case 5: return 107;
    default: return -1;
    }
}

class Renderer {
public:
    Renderer(RenderTarget target, int language, bool spaceBeforeCaptions)
        : target_(target), language_(language), spaceBeforeCaptions_(spaceBeforeCaptions)
    {
    }

    void prefix(const QString& text) { out_ += text; }

    void caption(const QString& text)
    {
        if (text.isEmpty())
            return;
        if (spaceBeforeCaptions_)
            out_ += QLatin1Char(' ');
        out_ += text;
    }

    void tableCaption(int index)
    {
        if (index >= 0)
            caption(KeyTable::caption(index, language_));
    }

    bool onButton() const { return target_ == RenderTarget::KeyButton; }
    int language() const { return language_; }
    QString result() const { return out_; }

private:
    RenderTarget target_;
    int language_;
    bool spaceBeforeCaptions_;
    QString out_;
};

void renderCurrent(const uint8_t* rec, Renderer& r)
{
    switch (rec[3]) {
    case ModeKeys:
        for (int k = 0; k < kCurrentEntries; ++k) {
            const uint8_t c = rec[entryCodeByte(k)];
            if (c == 0 || c > 0xF8)
                continue;
            if (c >= 0xF1)
                r.prefix(KeyTable::modifierPrefix(c));
            else
                r.caption(RecordRender::keyboardCaption(c, r.language()));
        }
        break;
    case ModeMultimedia:
        if (rec[8] != 0)
            r.caption(RecordRender::consumerCaption(rec[8], r.language()));
        break;
    case ModeMouse:
        if (rec[4] == 4) {
            if (r.onButton())
                r.tableCaption(gestureIndex(rec[8]));
        } else {
            r.tableCaption(mouseActionIndex(rec[11], rec[20], modifierOfEntry(rec[8])));
        }
        break;
    default:
        break;
    }
}

void renderOldPairs(const uint8_t* rec, Renderer& r)
{
    // Every pair the record can hold, so a key filled to its last pair
    // shows all of it.
    for (int k = 0; k < kOldPairs; ++k) {
        const uint8_t bits = rec[pairBitsByte(k)];
        const uint8_t c = rec[pairCodeByte(k)];
        for (int bit = 0; bit < 8; ++bit) {
            if (bits & (1u << bit))
                r.prefix(KeyTable::modifierPrefix(static_cast<uint8_t>(0xF1 + bit)));
        }
        if (c != 0)
            r.caption(RecordRender::keyboardCaption(c, r.language()));
    }
}

void renderOld(const uint8_t* rec, Renderer& r)
{
    switch (rec[3]) {
    case ModeKeys:
        renderOldPairs(rec, r);
        break;
    case ModeDelay:
        // The delay writer stamps mode 5 onto a record that keeps its pairs:
        // the keypad holds the keys and the delay, so both are shown.
        renderOldPairs(rec, r);
        if (!r.onButton())
            r.prefix(RecordRender::oldFormatDelayText(rec[4] | (rec[5] << 8)));
        break;
    case ModeMultimedia:
        if (rec[10] != 0)
            r.caption(RecordRender::consumerCaption(rec[10], r.language()));
        break;
    case ModeMouse:
        r.tableCaption(mouseActionIndex(rec[11], rec[14], modifierOfBits(rec[10])));
        break;
    default:
        break;
    }
}

}  // namespace

namespace RecordRender {

QString keyboardCaption(uint8_t code, int language)
{
    const int index = KeyTable::findCode(code, kFirstKeyboard, kLastKeyboard);
    return index < 0 ? QString() : KeyTable::caption(index, language);
}

QString consumerCaption(uint8_t lowByte, int language)
{
    const int index = KeyTable::findCode(lowByte, kFirstMultimedia, kLastMultimedia);
    return index < 0 ? QString() : KeyTable::caption(index, language);
}

QString renderRecord(const uint8_t* record, bool currentFormat, RenderTarget target, int language)
{
    if (!record)
        return QString();
    const bool spaced = !currentFormat && target == RenderTarget::TextBox;
    Renderer r(target, language, spaced);
    if (currentFormat)
        renderCurrent(record, r);
    else
        renderOld(record, r);
    return r.result();
}

bool isEmptyRecord(const uint8_t* record, bool currentFormat)
{
    if (!record)
        return true;
    if (currentFormat)
        return record[8] == 0 && record[11] == 0 && record[20] == 0;
    return record[10] == 0 && record[11] == 0 && record[14] == 0;
}

QString keyButtonLabel(const uint8_t* record, bool currentFormat, int language)
{
    if (isEmptyRecord(record, currentFormat))
        return QStringLiteral("NULL");
    return renderRecord(record, currentFormat, RenderTarget::KeyButton, language);
}

DelaySlotCaption delaySlotCaption(uint8_t code, int language)
{
    DelaySlotCaption result;
    if (code == 0) {
        result.changeCaption = true;
        result.caption = QStringLiteral("NULL");
        result.style = DelaySlotCaption::Style::Red;
    } else if (code >= 0xF1) {
        result.caption = KeyTable::modifierPrefix(code);
        result.changeCaption = !result.caption.isEmpty();
        result.style = DelaySlotCaption::Style::Green;
    } else {
        result.caption = keyboardCaption(code, language);
        if (!result.caption.isEmpty()) {
            result.changeCaption = true;
            result.style = DelaySlotCaption::Style::Green;
        }
    }
    return result;
}

QString oldFormatDelayText(int valueMs)
{
    return QStringLiteral(" %1 MS").arg(valueMs);
}

QString lightingText(uint8_t ledByte, int language, bool withColourName)
{
    QString text = KeyTable::ledModeName(ledByte & 0x0F, language) + QStringLiteral("   ");
    if (withColourName)
        text += KeyTable::colourName(ledByte >> 4, language);
    return text;
}

}  // namespace RecordRender
