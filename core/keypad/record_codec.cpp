#include "core/keypad/record_codec.h"

namespace RecordCodec {

namespace {

struct Expansion {
    uint8_t mask;
    uint8_t count;
    uint8_t entries[4];
};

// Combinations the keypad expects in an order other than the bits'.
const Expansion kExpansions[] = {
    {0x06, 2, {0xF3, 0xF2}},
    {0x0F, 4, {0xF1, 0xF3, 0xF2, 0xF4}},
};

const MouseAction kActions[kMouseActions] = {
    {0x01, 0x00, 0x00, 0}, {0x04, 0x00, 0x00, 0}, {0x02, 0x00, 0x00, 0},
    {0x00, 0x01, 0x00, 0}, {0x00, 0xFF, 0x00, 0},
    {0x00, 0x01, 0x01, 0}, {0x00, 0xFF, 0x01, 0},
    {0x00, 0x01, 0x02, 0}, {0x00, 0xFF, 0x02, 0},
    {0x00, 0x01, 0x04, 0}, {0x00, 0xFF, 0x04, 0},
    {0, 0, 0, 1}, {0, 0, 0, 2}, {0, 0, 0, 3}, {0, 0, 0, 4}, {0, 0, 0, 5},
};

// Where a mouse record keeps its bytes: the modifier, the buttons, the wheel.
constexpr int kCurrentMouseModifier = entryCodeByte(0);
constexpr int kCurrentMouseButtons = entryCodeByte(1);
constexpr int kCurrentMouseWheel = entryCodeByte(4);
constexpr int kOldMouseModifier = pairBitsByte(0);
constexpr int kOldMouseButtons = pairCodeByte(0);
constexpr int kOldMouseWheel = pairBitsByte(2);

}  // namespace

bool isEmpty(const uint8_t* record, bool currentFormat)
{
    if (!record)
        return true;
    if (currentFormat) {
        for (int n = 0; n < kCurrentEntries; ++n)
            if (record[entryCodeByte(n)])
                return false;
        return true;
    }
    for (int i = pairBitsByte(0); i < kOldRecordBytes; ++i)
        if (record[i])
            return false;
    return true;
}

ModifierEntries modifierEntries(uint8_t mask)
{
    ModifierEntries out;
    for (const Expansion& e : kExpansions) {
        if (e.mask == mask) {
            out.count = e.count;
            for (int i = 0; i < e.count; ++i)
                out.entries[size_t(i)] = e.entries[i];
            return out;
        }
    }
    for (int bit = 0; bit < 8; ++bit) {
        if (mask & (1u << bit))
            out.entries[size_t(out.count++)] = uint8_t(kFirstModifierEntry + bit);
    }
    return out;
}

const MouseAction* mouseAction(int action)
{
    return action >= 0 && action < kMouseActions ? &kActions[action] : nullptr;
}

int pointerActionOf(uint8_t modifierBits, uint8_t buttons, uint8_t wheel)
{
    for (int g = 0; g < kFirstGestureAction; ++g) {
        const MouseAction& a = kActions[g];
        if (a.modifierBits == modifierBits && a.buttons == buttons && a.wheel == wheel)
            return g;
    }
    return -1;
}

int gestureActionOf(uint8_t gesture)
{
    for (int g = kFirstGestureAction; g < kMouseActions; ++g) {
        if (kActions[g].gesture == gesture)
            return g;
    }
    return -1;
}

uint8_t modifierEntryOfBits(uint8_t bits)
{
    switch (bits) {
    case 0x01: return 0xF1;
    case 0x02: return 0xF2;
    case 0x04: return 0xF3;
    default: return 0x00;
    }
}

int modifierBitsOfEntry(uint8_t entry)
{
    switch (entry) {
    case 0x00: return 0;
    case 0xF1: return 0x01;
    case 0xF2: return 0x02;
    case 0xF3: return 0x04;
    default: return -1;
    }
}

int mouseActionIn(const uint8_t* r, bool currentFormat)
{
    if (!currentFormat)
        return pointerActionOf(r[kOldMouseModifier], r[kOldMouseButtons], r[kOldMouseWheel]);
    if (r[kMouseKindByte] == kMouseGesture)
        return gestureActionOf(r[entryCodeByte(0)]);
    const int bits = modifierBitsOfEntry(r[kCurrentMouseModifier]);
    return bits < 0 ? -1 : pointerActionOf(uint8_t(bits), r[kCurrentMouseButtons], r[kCurrentMouseWheel]);
}

void encodeMouse(uint8_t* r, bool currentFormat, int action)
{
    const MouseAction* a = mouseAction(action);
    if (!a)
        return;
    r[kModeByte] = ModeMouse;
    if (currentFormat) {
        r[kEntryCountByte] = kMouseEntries;
        if (a->gesture) {
            r[kMouseKindByte] = kMouseGesture;
            r[entryCodeByte(0)] = a->gesture;
        } else {
            r[kMouseKindByte] = kMousePointer;
            r[kCurrentMouseModifier] = modifierEntryOfBits(a->modifierBits);
            r[kCurrentMouseButtons] = a->buttons;
            r[kCurrentMouseWheel] = a->wheel;
        }
    } else {
        r[kPairCountByte] = 1;
        r[kOldMouseModifier] = a->modifierBits;
        r[kOldMouseButtons] = a->buttons;
        r[kOldMouseWheel] = a->wheel;
    }
}

void encodeMedia(uint8_t* r, bool currentFormat, uint16_t usage)
{
    r[kModeByte] = ModeMultimedia;
    if (currentFormat) {
        r[entryCodeByte(0)] = uint8_t(usage & 0xFF);
        r[entryCodeByte(1)] = uint8_t(usage >> 8);
        r[kEntryCountByte] = 2;
    } else {
        r[pairBitsByte(0)] = uint8_t(usage & 0xFF);
        r[pairCodeByte(0)] = uint8_t(usage >> 8);
        r[kPairCountByte] = 2;
    }
}

uint16_t mediaUsageIn(const uint8_t* r, bool currentFormat)
{
    if (currentFormat)
        return uint16_t(r[entryCodeByte(0)] | (r[entryCodeByte(1)] << 8));
    return uint16_t(r[pairBitsByte(0)] | (r[pairCodeByte(0)] << 8));
}

uint8_t lightingByte(uint8_t before, uint8_t value)
{
    uint8_t b = (value & 0xF0) ? uint8_t((before & 0x0F) | value) : uint8_t((before & 0xF0) | value);
    if ((b & 0xF0) == 0)
        b |= 0x50;  // a mode alone shows in cyan
    return b;
}

}  // namespace RecordCodec
