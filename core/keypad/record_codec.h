#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The key record as the keypad stores it: where each byte lives, the command
// bytes, and the tables that turn a modifier combination, a mouse action or a
// media function into bytes. The window's writers, the renderers, profile
// words and the protocol all take them from here, so a record written one way
// reads back the same way everywhere.
//
// Current format: bytes 0..63, entries of 3 bytes (delay high, delay low,
// code) at 6..59, their count at 5, the mouse kind at 4. Old format: bytes
// 0..49, pairs (modifier bits, code) at 10..49, their count at 9, one delay
// (low, high) at 4 and 5.

constexpr int kSlotsPerLayer = 60;  // record slots of a layer, 0..59
constexpr int kSlotBytes = 65;
constexpr int kCurrentRecordBytes = 64;  // bytes 0..63 of a current-format slot
constexpr int kOldRecordBytes = 50;      // bytes 0..49 of an old-format slot
constexpr int kCurrentEntries = 18;      // entries of 3 bytes at 6..59
constexpr int kOldPairs = 20;            // pairs of 2 bytes at 10..49

constexpr uint8_t kRecordCommand = 0xFD;    // byte 0 of every key record
constexpr uint8_t kLightingCommand = 0xFE;  // byte 0 of the old format's layer lighting (slot 0)
constexpr uint8_t kLedBlockId = 0xB0;       // byte 1 of the layer lighting; the LED block's id
constexpr uint8_t kCommitSecond = 0xFE;     // a commit is FD FE FF
constexpr uint8_t kCommitThird = 0xFF;

enum ActionMode : uint8_t {
    ModeKeys = 1,
    ModeMultimedia = 2,
    ModeMouse = 3,
    ModeDelay = 5,
    ModeLighting = 8,
};

// The first firmware of the current format, and the first that plays touch
// gestures (the mouse page offers them from there on).
constexpr int kFirstCurrentFirmware = 10;
constexpr int kFirstGestureFirmware = 11;
inline bool isCurrentFormat(int firmware) { return firmware >= kFirstCurrentFirmware; }

constexpr int kMaxDelayMs = 0xFFFF;
constexpr int kLedModes = 6;        // LED Mode0..LED Mode5
constexpr int kLedColourKeys = 16;  // colours an LED block holds, keys 1..16
constexpr int kLightingColours = 7; // old-format layer colours 1..7

// Where entry n lives in a record. Current format: its delay at 6 + 3n (high
// byte first), its code at 8 + 3n. Old format: pair n is the modifier bits at
// 10 + 2n and the code at 11 + 2n.
constexpr int entryDelayByte(int n) { return 6 + 3 * n; }
constexpr int entryCodeByte(int n) { return 8 + 3 * n; }
constexpr int pairBitsByte(int n) { return 10 + 2 * n; }
constexpr int pairCodeByte(int n) { return 11 + 2 * n; }

namespace RecordCodec {

constexpr int kSlotByte = 1;
constexpr int kLayerByte = 2;
constexpr int kModeByte = 3;
constexpr int kMouseKindByte = 4;  // current format
constexpr int kEntryCountByte = 5;
constexpr int kOldDelayLowByte = 4;
constexpr int kOldDelayHighByte = 5;
constexpr int kPairCountByte = 9;
constexpr int kLightingByte = 11;  // old-format lighting: colour << 4 | mode
constexpr int kFirstActionByte = 4;

constexpr uint8_t kMousePointer = 1;  // byte 4 of a current-format mouse record
constexpr uint8_t kMouseGesture = 4;
constexpr int kMouseEntries = 4;      // entry count of a current-format mouse record
constexpr uint8_t kShiftEntry = 0xF2;
constexpr uint8_t kFirstModifierEntry = 0xF1;  // Ctrl .. Right Win as entries 0xF1..0xF8
constexpr uint8_t kLastModifierEntry = 0xF8;

inline int recordBytes(bool currentFormat) { return currentFormat ? kCurrentRecordBytes : kOldRecordBytes; }

// The one rule for "empty": the keypad sends nothing for the record, as no
// entry (current format) or pair (old format) holds a code, whatever its mode
// byte, counts or delays say. The picture shows it as "NULL", profiles and
// the command line as "none".
bool isEmpty(const uint8_t* record, bool currentFormat);

// The entries a modifier mask becomes in the current format, in the order the
// keypad expects for each combination the pages offer (note Ctrl, Alt, Shift,
// Win for the four-key combination); other masks one entry per bit.
struct ModifierEntries {
    int count = 0;
    std::array<uint8_t, 8> entries{};
};
ModifierEntries modifierEntries(uint8_t mask);

// Mouse actions, numbered as their codes 0x61.. on the mouse page (code -
// 0x61): 0..10 pointer actions, 11..15 gestures.
constexpr int kMouseActions = 16;
constexpr int kFirstGestureAction = 11;
constexpr uint8_t kFirstMouseCode = 0x61;
struct MouseAction {
    uint8_t buttons;
    uint8_t wheel;
    uint8_t modifierBits;  // 0x01 Ctrl, 0x02 Shift, 0x04 Alt
    uint8_t gesture;       // 0 = pointer action
};
const MouseAction* mouseAction(int action);  // nullptr outside 0..15
inline bool isGesture(int action) { return action >= kFirstGestureAction && action < kMouseActions; }
// The pointer action with these bytes, or -1.
int pointerActionOf(uint8_t modifierBits, uint8_t buttons, uint8_t wheel);
int gestureActionOf(uint8_t gesture);  // -1 unless 1..5
// 0xF1/0xF2/0xF3 for Ctrl/Shift/Alt, 0 for none; the reverse gives -1 for anything else.
uint8_t modifierEntryOfBits(uint8_t bits);
int modifierBitsOfEntry(uint8_t entry);
// The mouse action a record holds, or -1.
int mouseActionIn(const uint8_t* record, bool currentFormat);

// Writers of a whole action into a record whose action bytes are zero.
// Gestures have no old-format form: encodeMouse leaves only the count there.
void encodeMouse(uint8_t* record, bool currentFormat, int action);
void encodeMedia(uint8_t* record, bool currentFormat, uint16_t usage);
uint16_t mediaUsageIn(const uint8_t* record, bool currentFormat);

// The old-format lighting byte after a mode (0..5) or colour (0x10..0x70) click.
uint8_t lightingByte(uint8_t before, uint8_t value);

}  // namespace RecordCodec
