#pragma once

#include <QString>
#include <QVector>

#include <cstdint>

struct ConfigStore;

// One thing a key makes the computer receive: a key with the modifiers held
// around it, a media (consumer) function, or a mouse button or wheel step.
// Modifier bits are those of a USB keyboard report: 0x01 Ctrl, 0x02 Shift,
// 0x04 Alt, 0x08 Win, then the same four of the right hand at 0x10..0x80.
struct Stroke {
    enum class Kind : uint8_t { None, Key, Consumer, Mouse };
    Kind kind = Kind::None;
    uint8_t modifiers = 0;
    uint16_t usage = 0;   // Key: keyboard usage, 0 for modifiers alone; Consumer: consumer usage
    uint8_t buttons = 0;  // Mouse: 0x01 left, 0x02 right, 0x04 middle
    int8_t wheel = 0;     // Mouse: +1 up, -1 down

    static Stroke key(uint8_t modifiers, uint16_t usage) { return {Kind::Key, modifiers, usage, 0, 0}; }
    static Stroke consumer(uint16_t usage) { return {Kind::Consumer, 0, usage, 0, 0}; }
    static Stroke mouse(uint8_t modifiers, uint8_t buttons, int8_t wheel)
    {
        return {Kind::Mouse, modifiers, 0, buttons, wheel};
    }
    bool operator==(const Stroke& o) const
    {
        return kind == o.kind && modifiers == o.modifiers && usage == o.usage && buttons == o.buttons
               && wheel == o.wheel;
    }
    bool operator!=(const Stroke& o) const { return !(*this == o); }
};

// From what arrives at the computer back to the keys of the configuration
// that send it, and to the captions the window shows for it.
namespace KeyMatch {

// The first stroke the keypad sends for a record of either format (a
// sequence is found by its first step); None for an empty record, a gesture
// or a lighting slot.
Stroke firstStroke(const uint8_t* record, bool currentFormat);

// The slots among candidates whose record on layer sends arrived first, in
// the order of candidates. The format in force in store decides how records read.
QVector<int> slotsSending(const ConfigStore& store, int layer, const Stroke& arrived, const QVector<int>& candidates);

// The stroke in the window's captions, e.g. "Ctrl+C", "Volume+", "Mouse Wheel+".
// Modifiers alone read "Ctrl+"; what no caption names is shown by its usage.
QString caption(const Stroke& stroke, int language);

// The table indices whose clicks, one after the other, store stroke into a
// key ("Ctrl+", "Shift+", "P"). Empty when the tables cannot express it.
QVector<int> captionIndicesOf(const Stroke& stroke);

// Where the kernel's key codes (linux/input-event-codes.h) and Qt's keys
// come from on a USB keyboard; 0 when unknown.
uint16_t keyboardUsageOfEvdev(int code);
uint16_t consumerUsageOfEvdev(int code);
uint16_t keyboardUsageOfQtKey(int qtKey);
uint16_t consumerUsageOfQtKey(int qtKey);
// 0xE0..0xE7 are the modifier keys: their bit, else 0.
uint8_t modifierBitOfUsage(uint16_t usage);

}  // namespace KeyMatch
