#pragma once

#include "core/device/protocol.h"
#include "core/keypad/layout_table.h"
#include "core/keypad/record_codec.h"

#include <QString>

#include <vector>

// The highest record slot a picture button stands for.
constexpr int kLastPictureSlot = kAllButtons;

// Names of record slots without a board: "K1".."K15" for slots 1..15,
// "knob K left|press|right" for slots 16..27 (knob K's left turn is slot
// 13 + 3K), "slot N" for everything else. A board gives its own slots their
// names (Board::slotName); these are for slots a board does not have.
namespace SlotNames {
QString name(int slot);
// Also takes "KEY3", "k1_left", "k1_middle", "knob 1 middle", any case. -1 if none.
int slotOf(const QString& name);
bool isKnobSlot(int slot);
int knobOf(int slot);  // 1..4 for knob slots, else 0
}  // namespace SlotNames

// What one keypad can hold, answered once for the window, the command line,
// profile import and export, and read-back alike: its slots are the buttons
// of the picture the window draws for it (so a 21-key board has keys K1..K21
// and its knob on slots 22..24, a 12-key, 4-knob board its fourth knob on
// 13..15), what each slot is called, what the keypad reports back on a read,
// and which actions and delays its firmware keeps.
class Board {
public:
    explicit Board(const DeviceInfo& identity, uint16_t productId = 0);

    const DeviceInfo& identity() const { return identity_; }
    int layout() const { return layout_; }
    bool currentFormat() const { return isCurrentFormat(identity_.version); }
    // Touch gestures: firmware 11 and newer (the mouse page offers them there).
    bool gestures() const { return identity_.version >= kFirstGestureFirmware; }
    // Current format: a delay before each entry. Old format: one delay, before the first key.
    bool delayBeforeEachEntry() const { return currentFormat(); }

    int keyCount() const { return keys_; }    // as drawn
    int knobCount() const { return knobs_; }  // as drawn
    // A key or knob action of the picture, or (old format) slot 0, the layer's lighting.
    bool has(int slot) const;
    bool isKey(int slot) const;
    bool isKnob(int slot) const;
    bool isLighting(int slot) const { return slot == 0 && !currentFormat(); }
    // For a knob action: its knob (1..) and side (0 left, 1 press, 2 right); else 0 and -1.
    int knobNumber(int slot) const;
    int knobSide(int slot) const;
    // Keys with a colour of their own in the LED block (current format).
    bool hasColour(int slot) const;
    // Slots a read-back reports; the rest of has() can be written but not read.
    bool readable(int slot) const;
    std::vector<int> allSlots() const;  // every slot has() accepts, in slot order

    // "K3", "knob 2 right", "lighting"; the generic name for a slot the board lacks.
    QString slotName(int slot) const;
    // "layer 2, K3" for layer index 1.
    QString placeName(int layer, int slot) const;
    // The slot of a name on this board. A name the board lacks gives the
    // generic slot when the board uses that slot for nothing else (so a
    // profile can carry it and an import name it), otherwise -1.
    int slotOf(const QString& name) const;
    // "12 keys and 2 knobs".
    QString summary() const;
    // Why a slot or name is not on this board: "this keypad has 12 keys".
    QString lacking(const QString& name) const;

    // What a whole read-back asks each layer for.
    int readSlotCount() const;
    int readKnobCount() const;

    // Empty when the firmware can hold the record, else why not.
    QString cannotHold(const uint8_t* record) const;

private:
    DeviceInfo identity_;
    int layout_ = 0;
    int keys_ = 0;
    int knobs_ = 0;
    std::vector<PictureSlot> picture_;
    const PictureSlot* find(int slot) const;
};
