#pragma once

#include "core/keypad/record_codec.h"

#include <QLoggingCategory>

#include <cstdint>
#include <vector>

// The in-memory image of everything the keypad will be told, as plain data
// with its record writers. A KeypadConfig owns one; copies serve as snapshots.
// Records are wire format: bytes 0..63 (current) or 0..49 (old) of a slot are
// exactly what follows the report number of a key record report.

// Record changes and their bytes; debug output off unless
// QT_LOGGING_RULES="tessaplex.config.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcConfig)

constexpr int kLayers = 3;
constexpr int kLedBytesPerLayer = 48;

// Outcome of one writer call; the caller decides what the user sees.
enum class WriteResult {
    Written,
    NoKeySelected,  // Select_PHY_Key is 0 (or outside the keys the writer serves)
    RecordFull,     // the value would pass the end of the record; nothing written
    Ignored,        // argument outside the writer's range or shape
};

struct ConfigStore {
    ConfigStore();  // load values: zeros, LED palette, mode 1, layout 15,3,0,0

    uint8_t PHY2_KEY_Value[kLayers][kSlotsPerLayer][kSlotBytes];
    uint8_t PHY_KEY_Value[kLayers][kSlotsPerLayer][kSlotBytes];
    uint8_t KeyDirty[kLayers][kSlotsPerLayer];
    uint8_t KeyBoard_KeyLed[kLayers][kLedBytesPerLayer];
    // Per layer: 1 = this layer's mode or colours were edited and not saved yet.
    uint8_t LedDirty[kLayers];
    // Per layer: 1 = the layer's LED block was read from (or written to) the
    // keypad since it was connected, so the store holds what the keypad has.
    uint8_t LedFromKeypad[kLayers];
    uint8_t LayerLedMode[kLayers];
    uint8_t Select_PHY_Key;
    uint8_t Select_PHY_Key_Layer;
    uint8_t Select_PHY_Key_Mode;
    uint8_t Cur_KeyBoard_KeyNum[4];
    uint8_t Layout_KeyBoard_KeyNum[4];

    bool currentFormat() const { return isCurrentFormat(Cur_KeyBoard_KeyNum[2]); }
    // Record of (layer, slot) in the array the format in force selects;
    // nullptr when layer or slot is outside the store.
    uint8_t* record(int layer, int slot);
    const uint8_t* record(int layer, int slot) const;
    // The same for an explicitly chosen array.
    uint8_t* recordOf(bool currentFormatArray, int layer, int slot);
    const uint8_t* recordOf(bool currentFormatArray, int layer, int slot) const;
    uint8_t* selectedRecord() { return record(Select_PHY_Key_Layer, Select_PHY_Key); }
    bool anyKeyDirty() const;
    int keyDirtyCount() const;
    bool anyLedDirty() const;
    // A newly connected keypad: no layer's LED block is known from it yet.
    void ForgetKeypadLeds();

    void InitKeyRecords();
    void MarkKeyModified(uint8_t layer, uint8_t slot);
    void ClearModifiedFlags();
    void WriteSelectionHeader(uint8_t keyId);  // header write on selection
    // Clears mark what they changed as modified, so the next save tells the
    // keypad; a clear the keypad never hears of would be a lost edit.
    void ClearSelectedRecord();                // bytes 4..64 of both arrays
    void ClearLayerRecords(uint8_t layer);     // the clear-all of one layer

    // Writers; index is a KeyTable index.
    WriteResult AddKeyCode(int index);
    WriteResult AddModifier(int index);
    WriteResult SetMediaKey(int index);
    WriteResult SetMouseKey(int index);
    WriteResult SetRgb_Led_Key(int index);
    WriteResult SetOldFormatDelay(int valueMs);
    WriteResult SetDataValue(const std::vector<int>& values);
    WriteResult SetEntryDelay(int entry, int valueMs);

private:
    uint8_t* selectedSlotOf(bool currentFormatArray);
    void finishKeyWrite(uint8_t* rec, int recordBytes);
    bool clearSlot(int layer, int slot);  // bytes 4..64 of both arrays; true when anything changed
};
