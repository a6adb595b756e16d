#include "core/keypad/record_render.h"

#include "core/keypad/config_store.h"
#include "core/keypad/key_table.h"

namespace {

constexpr int kFirstMultimedia = 41;
constexpr int kLastMultimedia = 81;
constexpr int kFirstKeyboard = 112;
constexpr int kLastKeyboard = 223;

constexpr int kFirstMouse = 96;

// KeyTable index of the mouse action a record holds, or -1 for bytes no button makes.
int mouseCaptionIndex(const uint8_t* rec, bool currentFormat)
{
    const int action = RecordCodec::mouseActionIn(rec, currentFormat);
    return action < 0 ? -1 : KeyTable::findCode(uint8_t(RecordCodec::kFirstMouseCode + action), kFirstMouse, kFirstKeyboard - 1);
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
    switch (rec[RecordCodec::kModeByte]) {
    case ModeKeys:
        for (int k = 0; k < kCurrentEntries; ++k) {
            const uint8_t c = rec[entryCodeByte(k)];
            if (c == 0 || c > RecordCodec::kLastModifierEntry)
                continue;
            if (c >= RecordCodec::kFirstModifierEntry)
                r.prefix(KeyTable::modifierPrefix(c));
            else
                r.caption(RecordRender::keyboardCaption(c, r.language()));
        }
        break;
    case ModeMultimedia:
        if (rec[entryCodeByte(0)] != 0)
            r.caption(RecordRender::consumerCaption(rec[entryCodeByte(0)], r.language()));
        break;
    case ModeMouse:
        // The text box names no gesture.
        if (rec[RecordCodec::kMouseKindByte] != RecordCodec::kMouseGesture || r.onButton())
            r.tableCaption(mouseCaptionIndex(rec, true));
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
                r.prefix(KeyTable::modifierPrefix(static_cast<uint8_t>(RecordCodec::kFirstModifierEntry + bit)));
        }
        if (c != 0)
            r.caption(RecordRender::keyboardCaption(c, r.language()));
    }
}

void renderOld(const uint8_t* rec, Renderer& r)
{
    switch (rec[RecordCodec::kModeByte]) {
    case ModeKeys:
        renderOldPairs(rec, r);
        break;
    case ModeDelay:
        // The delay writer stamps mode 5 onto a record that keeps its pairs:
        // the keypad holds the keys and the delay, so both are shown.
        renderOldPairs(rec, r);
        if (!r.onButton())
            r.prefix(RecordRender::oldFormatDelayText(rec[RecordCodec::kOldDelayLowByte]
                                                      | (rec[RecordCodec::kOldDelayHighByte] << 8)));
        break;
    case ModeMultimedia:
        if (rec[pairBitsByte(0)] != 0)
            r.caption(RecordRender::consumerCaption(rec[pairBitsByte(0)], r.language()));
        break;
    case ModeMouse:
        r.tableCaption(mouseCaptionIndex(rec, false));
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
    return RecordCodec::isEmpty(record, currentFormat);
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
    } else if (code >= RecordCodec::kFirstModifierEntry) {
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
