#pragma once

#include <QString>

#include <cstdint>

// Turns stored key records back into the captions the user clicked. Pure
// functions over one 65-byte slot; nothing outside the slot is ever read,
// whatever the bytes hold. Language numbers follow Language_Flag.

enum class RenderTarget {
    TextBox,    // the selected key's text box: no gestures; old format puts " " before captions
    KeyButton,  // the physical-key buttons of the keypad picture
};

namespace RecordRender {

QString renderRecord(const uint8_t* record, bool currentFormat, RenderTarget target, int language);

// Empty by the one rule (RecordCodec::isEmpty): the buttons show "NULL" for
// such a record, whatever its type byte.
bool isEmptyRecord(const uint8_t* record, bool currentFormat);

// The physical-key button text: the rendering, or "NULL" for an empty record.
QString keyButtonLabel(const uint8_t* record, bool currentFormat, int language);

// Reverse lookups; empty when the code is not in its group.
QString keyboardCaption(uint8_t code, int language);  // indices 112..223
QString consumerCaption(uint8_t lowByte, int language);  // indices 41..81

// What one delay-slot button shows for the code of its entry.
struct DelaySlotCaption {
    enum class Style { Unchanged, Red, Green };
    bool changeCaption = false;  // false: the button keeps its caption
    QString caption;
    Style style = Style::Unchanged;
};
DelaySlotCaption delaySlotCaption(uint8_t code, int language);

// Old-format single delay as the text box shows it, e.g. " 500 MS".
QString oldFormatDelayText(int valueMs);

// Old-format lighting byte as the text box shows it: the LED mode name, three
// spaces, then the colour name unless withColourName is false.
QString lightingText(uint8_t ledByte, int language, bool withColourName);

}  // namespace RecordRender
