#include "core/keypad/config_store.h"

#include "core/keypad/board.h"
#include "core/keypad/key_table.h"

#include <algorithm>
#include <cstring>

Q_LOGGING_CATEGORY(lcConfig, "tessaplex.config", QtInfoMsg)

namespace {

using RecordCodec::kEntryCountByte;
using RecordCodec::kPairCountByte;
using RecordCodec::kLightingByte;

constexpr int kLastLabelledKey = 25;

const uint8_t kDefaultLedPalette[kLedBytesPerLayer] = {
    0xFF, 0x00, 0x00, 0xFF, 0x80, 0x30, 0xFF, 0xFF, 0x30, 0x00, 0xFF, 0x00,
    0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0x80, 0x00, 0x80, 0x8B, 0x00, 0x00,
    0xFF, 0xA5, 0x00, 0xFF, 0xFF, 0x96, 0x7D, 0xFF, 0x00, 0x00, 0x8B, 0x8B,
    0x00, 0x00, 0x8B, 0xFF, 0x00, 0xFF, 0xFF, 0x66, 0x66, 0xFF, 0xC8, 0x64,
};

bool validLayer(int layer) { return layer >= 0 && layer < kLayers; }
bool validSlot(int slot) { return slot >= 0 && slot < kSlotsPerLayer; }

WriteResult refuseFull(int layer, int slot, const char* what)
{
    qCWarning(lcConfig, "Key record full: %s refused (Layer=%d Key=%d)", what, layer, slot);
    return WriteResult::RecordFull;
}

}  // namespace

ConfigStore::ConfigStore()
{
    std::memset(PHY2_KEY_Value, 0, sizeof PHY2_KEY_Value);
    std::memset(PHY_KEY_Value, 0, sizeof PHY_KEY_Value);
    std::memset(KeyDirty, 0, sizeof KeyDirty);
    for (auto& layerLeds : KeyBoard_KeyLed)
        std::memcpy(layerLeds, kDefaultLedPalette, sizeof kDefaultLedPalette);
    std::memset(LedDirty, 0, sizeof LedDirty);
    std::memset(LedFromKeypad, 0, sizeof LedFromKeypad);
    std::memset(LayerLedMode, 0, sizeof LayerLedMode);
    Select_PHY_Key = 0;
    Select_PHY_Key_Layer = 0;
    Select_PHY_Key_Mode = ModeKeys;
    std::memset(Cur_KeyBoard_KeyNum, 0, sizeof Cur_KeyBoard_KeyNum);
    Layout_KeyBoard_KeyNum[0] = 15;
    Layout_KeyBoard_KeyNum[1] = 3;
    Layout_KeyBoard_KeyNum[2] = 0;
    Layout_KeyBoard_KeyNum[3] = 0;
}

uint8_t* ConfigStore::recordOf(bool currentFormatArray, int layer, int slot)
{
    if (!validLayer(layer) || !validSlot(slot))
        return nullptr;
    return currentFormatArray ? PHY2_KEY_Value[layer][slot] : PHY_KEY_Value[layer][slot];
}

const uint8_t* ConfigStore::recordOf(bool currentFormatArray, int layer, int slot) const
{
    if (!validLayer(layer) || !validSlot(slot))
        return nullptr;
    return currentFormatArray ? PHY2_KEY_Value[layer][slot] : PHY_KEY_Value[layer][slot];
}

uint8_t* ConfigStore::record(int layer, int slot)
{
    return recordOf(currentFormat(), layer, slot);
}

const uint8_t* ConfigStore::record(int layer, int slot) const
{
    return recordOf(currentFormat(), layer, slot);
}

int ConfigStore::keyDirtyCount() const
{
    int dirty = 0;
    for (const auto& layer : KeyDirty)
        dirty += static_cast<int>(std::count_if(std::begin(layer), std::end(layer), [](uint8_t f) { return f != 0; }));
    return dirty;
}

bool ConfigStore::anyKeyDirty() const
{
    for (const auto& layer : KeyDirty) {
        for (uint8_t flag : layer) {
            if (flag)
                return true;
        }
    }
    return false;
}

bool ConfigStore::anyLedDirty() const
{
    return std::any_of(std::begin(LedDirty), std::end(LedDirty), [](uint8_t f) { return f != 0; });
}

void ConfigStore::ForgetKeypadLeds()
{
    std::memset(LedFromKeypad, 0, sizeof LedFromKeypad);
}

void ConfigStore::InitKeyRecords()
{
    for (int layer = 0; layer < kLayers; ++layer) {
        for (int slot = 0; slot < kSlotsPerLayer; ++slot) {
            for (uint8_t* rec : {PHY2_KEY_Value[layer][slot], PHY_KEY_Value[layer][slot]}) {
                std::memset(rec, 0, kSlotBytes);
                rec[0] = kRecordCommand;
                rec[2] = 1;
                rec[3] = ModeKeys;
            }
        }
    }
}

void ConfigStore::MarkKeyModified(uint8_t layer, uint8_t slot)
{
    if (!validLayer(layer) || !validSlot(slot))
        return;
    KeyDirty[layer][slot] = 1;
    qCDebug(lcConfig, "Modify key value Flag: Layer=%d  Key=%d \n", layer, slot);
}

void ConfigStore::ClearModifiedFlags()
{
    std::memset(KeyDirty, 0, sizeof KeyDirty);
}

uint8_t* ConfigStore::selectedSlotOf(bool currentFormatArray)
{
    if (Select_PHY_Key == 0)
        return nullptr;
    return recordOf(currentFormatArray, Select_PHY_Key_Layer, Select_PHY_Key);
}

void ConfigStore::finishKeyWrite(uint8_t* rec, int recordBytes)
{
    MarkKeyModified(Select_PHY_Key_Layer, Select_PHY_Key);
    for (int i = 0; i < recordBytes; ++i)
        qCDebug(lcConfig, "Key_array %d %x", i, rec[i]);
}

void ConfigStore::WriteSelectionHeader(uint8_t keyId)
{
    // Both arrays get the header: the delay and quick-menu writers fill one
    // array whatever the version, and every record must name its own key.
    if (keyId == 0 || !validSlot(keyId) || !validLayer(Select_PHY_Key_Layer))
        return;
    for (bool currentArray : {true, false}) {
        uint8_t* rec = recordOf(currentArray, Select_PHY_Key_Layer, keyId);
        rec[0] = kRecordCommand;
        rec[1] = keyId;
        rec[2] = Select_PHY_Key_Layer + 1;
    }
}

void ConfigStore::ClearSelectedRecord()
{
    // Without a selected key the slot would be 0, which in the old format is
    // the layer's lighting setting.
    if (!selectedSlotOf(true) || !selectedSlotOf(false))
        return;
    if (clearSlot(Select_PHY_Key_Layer, Select_PHY_Key))
        MarkKeyModified(Select_PHY_Key_Layer, Select_PHY_Key);
}

void ConfigStore::ClearLayerRecords(uint8_t layer)
{
    if (!validLayer(layer))
        return;
    // Every key and knob action, through the last entry code (byte 59): a
    // cleared key must not keep its 18th code or it would resurface.
    for (int slot = 1; slot <= kLastPictureSlot; ++slot) {
        if (!clearSlot(layer, slot))
            continue;
        // The keypad still holds what was cleared: it has to be sent, and a
        // slot that was only ever read back needs its header for that.
        for (bool currentArray : {true, false}) {
            uint8_t* rec = recordOf(currentArray, layer, slot);
            rec[0] = kRecordCommand;
            rec[1] = static_cast<uint8_t>(slot);
            rec[2] = static_cast<uint8_t>(layer + 1);
        }
        MarkKeyModified(layer, static_cast<uint8_t>(slot));
    }
}

bool ConfigStore::clearSlot(int layer, int slot)
{
    bool changed = false;
    for (bool currentArray : {true, false}) {
        uint8_t* rec = recordOf(currentArray, layer, slot);
        for (int i = RecordCodec::kFirstActionByte; i < kSlotBytes; ++i) {
            changed = changed || rec[i] != 0;
            rec[i] = 0;
        }
    }
    return changed;
}

WriteResult ConfigStore::AddKeyCode(int index)
{
    if (index < 0 || index >= KeyTable::kSize)
        return WriteResult::Ignored;
    const bool current = currentFormat();
    uint8_t* rec = selectedSlotOf(current);
    if (!rec)
        return WriteResult::NoKeySelected;
    const uint8_t code = KeyTable::code(index);

    if (current) {
        const int n = rec[kEntryCountByte];
        if (n >= kCurrentEntries)
            return refuseFull(Select_PHY_Key_Layer, Select_PHY_Key, "key code");
        rec[entryCodeByte(n)] = code;
        rec[kEntryCountByte] = n + 1;
    } else {
        const int n = rec[kPairCountByte];
        if (n >= kOldPairs)
            return refuseFull(Select_PHY_Key_Layer, Select_PHY_Key, "key code");
        // The modifier bits of this pair, gathered by earlier modifier
        // clicks, stay: modifiers followed by a key form one pair.
        rec[pairCodeByte(n)] = code;
        rec[kPairCountByte] = n + 1;
    }
    rec[3] = Select_PHY_Key_Mode;
    finishKeyWrite(rec, current ? kCurrentRecordBytes : kOldRecordBytes);
    return WriteResult::Written;
}

WriteResult ConfigStore::AddModifier(int index)
{
    if (KeyTable::groupOf(index) != KeyGroup::Modifier)
        return WriteResult::Ignored;
    const bool current = currentFormat();
    uint8_t* rec = selectedSlotOf(current);
    if (!rec)
        return WriteResult::NoKeySelected;
    const uint8_t code = KeyTable::code(index);
    const bool shiftedSymbol = index >= 20;

    if (current) {
        const int n = rec[kEntryCountByte];
        if (shiftedSymbol) {
            if (n + 2 > kCurrentEntries)
                return refuseFull(Select_PHY_Key_Layer, Select_PHY_Key, "shifted symbol");
            rec[entryCodeByte(n)] = RecordCodec::kShiftEntry;
            rec[entryCodeByte(n + 1)] = code;
            rec[kEntryCountByte] = n + 2;
        } else {
            const RecordCodec::ModifierEntries expansion = RecordCodec::modifierEntries(code);
            if (expansion.count == 0)
                return WriteResult::Ignored;
            if (n + expansion.count > kCurrentEntries)
                return refuseFull(Select_PHY_Key_Layer, Select_PHY_Key, "modifier");
            for (int i = 0; i < expansion.count; ++i)
                rec[entryCodeByte(n + i)] = expansion.entries[size_t(i)];
            rec[kEntryCountByte] = n + expansion.count;
        }
    } else {
        const int n = rec[kPairCountByte];
        if (n >= kOldPairs)
            return refuseFull(Select_PHY_Key_Layer, Select_PHY_Key, shiftedSymbol ? "shifted symbol" : "modifier");
        if (shiftedSymbol) {
            rec[pairBitsByte(n)] |= 0x02;
            rec[pairCodeByte(n)] = code;
            rec[kPairCountByte] = n + 1;
        } else {
            // The bits wait in the open pair for the key that completes it.
            rec[pairBitsByte(n)] |= code;
        }
    }
    rec[3] = Select_PHY_Key_Mode;
    finishKeyWrite(rec, current ? kCurrentRecordBytes : kOldRecordBytes);
    return WriteResult::Written;
}

WriteResult ConfigStore::SetMediaKey(int index)
{
    // Only the first index of a pair names a function; the second holds the
    // high byte of the same usage.
    if (KeyTable::groupOf(index) != KeyGroup::Multimedia || (index - KeyTable::GroupBounds[2]) % 2 != 0)
        return WriteResult::Ignored;
    const bool current = currentFormat();
    uint8_t* rec = selectedSlotOf(current);
    if (!rec)
        return WriteResult::NoKeySelected;
    const uint8_t lo = KeyTable::code(index);
    const uint8_t hi = KeyTable::code(index + 1);

    // A key plays one consumer function: a second selection replaces the
    // first instead of stacking a second usage the keypad would not play.
    RecordCodec::encodeMedia(rec, current, uint16_t(lo | (hi << 8)));
    rec[3] = Select_PHY_Key_Mode;
    finishKeyWrite(rec, current ? kCurrentRecordBytes : kOldRecordBytes);
    return WriteResult::Written;
}

WriteResult ConfigStore::SetMouseKey(int index)
{
    if (KeyTable::groupOf(index) != KeyGroup::Mouse)
        return WriteResult::Ignored;
    const bool current = currentFormat();
    uint8_t* rec = selectedSlotOf(current);
    if (!rec)
        return WriteResult::NoKeySelected;
    const int g = KeyTable::code(index) - RecordCodec::kFirstMouseCode;
    if (!RecordCodec::mouseAction(g))
        return WriteResult::Ignored;

    ClearSelectedRecord();
    RecordCodec::encodeMouse(rec, current, g);
    rec[3] = Select_PHY_Key_Mode;
    finishKeyWrite(rec, current ? kCurrentRecordBytes : kOldRecordBytes);
    return WriteResult::Written;
}

WriteResult ConfigStore::SetRgb_Led_Key(int index)
{
    qCDebug(lcConfig, "SetRgb_Led_Key(int index) %d", index);
    if (KeyTable::groupOf(index) != KeyGroup::Lighting || index < 83 || !validLayer(Select_PHY_Key_Layer))
        return WriteResult::Ignored;
    const uint8_t layer = Select_PHY_Key_Layer;
    uint8_t* slot = PHY_KEY_Value[layer][0];
    const uint8_t c = KeyTable::code(index);

    slot[0] = kLightingCommand;
    slot[1] = kLedBlockId;
    slot[2] = layer + 1;
    slot[3] = Select_PHY_Key_Mode;
    slot[kLightingByte] = RecordCodec::lightingByte(slot[kLightingByte], c);
    slot[kPairCountByte] = 1;
    MarkKeyModified(layer, 0);
    return WriteResult::Written;
}

WriteResult ConfigStore::SetOldFormatDelay(int valueMs)
{
    uint8_t* rec = selectedSlotOf(false);
    if (!rec)
        return WriteResult::NoKeySelected;
    const int value = std::clamp(valueMs, 0, kMaxDelayMs);
    rec[RecordCodec::kOldDelayLowByte] = value & 0xFF;
    rec[RecordCodec::kOldDelayHighByte] = value >> 8;
    rec[3] = Select_PHY_Key_Mode;
    finishKeyWrite(rec, kOldRecordBytes);
    return WriteResult::Written;
}

WriteResult ConfigStore::SetDataValue(const std::vector<int>& values)
{
    if (Select_PHY_Key == 0 || Select_PHY_Key > kLastLabelledKey)
        qCWarning(lcConfig) << "Invalid Select_PHY_Key:" << int(Select_PHY_Key);
    uint8_t* rec = selectedSlotOf(true);
    if (!rec)
        return WriteResult::NoKeySelected;
    const int count = static_cast<int>(values.size());
    if (count < 1 || count > 3)
        return WriteResult::Ignored;

    // The button's codes are the key's whole sequence: codes left behind
    // the new count by an earlier assignment would still be shown.
    for (int n = 0; n < kCurrentEntries; ++n)
        rec[entryCodeByte(n)] = n < count ? static_cast<uint8_t>(values[n] & 0xFF) : 0;
    rec[kEntryCountByte] = count;
    rec[3] = Select_PHY_Key_Mode;

    if (count == 1)
        qCDebug(lcConfig) << "PHY2_KEY_Value updated (single value):" << Qt::hex << values[0];
    else if (count == 2)
        qCDebug(lcConfig) << "PHY2_KEY_Value updated (two values):" << Qt::hex << values[0] << values[1];
    else
        qCDebug(lcConfig) << "PHY2_KEY_Value updated (three values):" << Qt::hex << values[0] << values[1] << values[2];

    MarkKeyModified(Select_PHY_Key_Layer, Select_PHY_Key);
    return WriteResult::Written;
}

WriteResult ConfigStore::SetEntryDelay(int entry, int valueMs)
{
    if (entry < 0 || entry >= kCurrentEntries)
        return WriteResult::Ignored;
    uint8_t* rec = selectedSlotOf(true);
    if (!rec)
        return WriteResult::NoKeySelected;
    const int value = std::clamp(valueMs, 0, kMaxDelayMs);
    rec[entryDelayByte(entry)] = value >> 8;
    rec[entryDelayByte(entry) + 1] = value & 0xFF;
    MarkKeyModified(Select_PHY_Key_Layer, Select_PHY_Key);
    return WriteResult::Written;
}
