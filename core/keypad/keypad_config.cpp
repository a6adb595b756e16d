#include "core/keypad/keypad_config.h"

#include "core/keypad/board.h"
#include "core/keypad/model_catalogue.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int kLastKeySlot = kLastPictureSlot;
constexpr int kColourKeys = kLedColourKeys;
constexpr int kFirstContentByte = 3;
}  // namespace

KeypadConfig::KeypadConfig(QObject* parent) : QObject(parent)
{
    Store.InitKeyRecords();
}

DeviceInfo KeypadConfig::identity() const
{
    const uint8_t* id = Store.Cur_KeyBoard_KeyNum;
    return DeviceInfo{id[0], id[1], id[2], id[3]};
}

void KeypadConfig::selectLayer(int layer)
{
    if (layer < 0 || layer >= kLayers)
        return;
    Store.Select_PHY_Key_Layer = static_cast<uint8_t>(layer);
    Store.Select_PHY_Key = 0;
}

void KeypadConfig::selectKey(int id)
{
    if (id < 0 || id >= kSlotsPerLayer)
        return;
    Store.Select_PHY_Key = static_cast<uint8_t>(id);
    Store.WriteSelectionHeader(static_cast<uint8_t>(id));
}

void KeypadConfig::setEditingMode(uint8_t mode)
{
    Store.Select_PHY_Key_Mode = mode;
}

bool KeypadConfig::selectedKeyHoldsOtherMode() const
{
    const uint8_t* rec = Store.record(Store.Select_PHY_Key_Layer, Store.Select_PHY_Key);
    return Store.Select_PHY_Key != 0 && rec && rec[3] != Store.Select_PHY_Key_Mode;
}

WriteResult KeypadConfig::announce(WriteResult result, int layer, int slot)
{
    if (result == WriteResult::Written)
        emit changed(layer, slot);
    return result;
}

WriteResult KeypadConfig::addKeyCode(int index)
{
    return announce(Store.AddKeyCode(index), selectedLayer(), selectedKey());
}

WriteResult KeypadConfig::addModifier(int index)
{
    return announce(Store.AddModifier(index), selectedLayer(), selectedKey());
}

WriteResult KeypadConfig::setMediaKey(int index)
{
    return announce(Store.SetMediaKey(index), selectedLayer(), selectedKey());
}

WriteResult KeypadConfig::setMouseKey(int index)
{
    return announce(Store.SetMouseKey(index), selectedLayer(), selectedKey());
}

WriteResult KeypadConfig::setOldFormatLighting(int index)
{
    return announce(Store.SetRgb_Led_Key(index), selectedLayer(), 0);
}

WriteResult KeypadConfig::setOldFormatDelay(int valueMs)
{
    return announce(Store.SetOldFormatDelay(valueMs), selectedLayer(), selectedKey());
}

WriteResult KeypadConfig::setQuickMenuCodes(const std::vector<int>& codes)
{
    return announce(Store.SetDataValue(codes), selectedLayer(), selectedKey());
}

WriteResult KeypadConfig::setEntryDelay(int entry, int valueMs)
{
    return announce(Store.SetEntryDelay(entry, valueMs), selectedLayer(), selectedKey());
}

void KeypadConfig::clearSelectedKey()
{
    const bool wasDirty = selectedKey() != 0 && Store.KeyDirty[selectedLayer()][selectedKey()];
    Store.ClearSelectedRecord();
    if (selectedKey() != 0 && (wasDirty || Store.KeyDirty[selectedLayer()][selectedKey()]))
        emit changed(selectedLayer(), selectedKey());
}

void KeypadConfig::clearLayer(int layer)
{
    if (layer < 0 || layer >= kLayers)
        return;
    Store.ClearLayerRecords(static_cast<uint8_t>(layer));
    emit changed(layer, -1);
}

bool KeypadConfig::setKeyColour(int layer, int key, uint8_t red, uint8_t green, uint8_t blue)
{
    if (layer < 0 || layer >= kLayers || key < 1 || key > kColourKeys)
        return false;
    uint8_t* triplet = &Store.KeyBoard_KeyLed[layer][3 * (key - 1)];
    triplet[0] = red;
    triplet[1] = green;
    triplet[2] = blue;
    Store.LedDirty[layer] = 1;
    emit ledChanged(layer);
    return true;
}

bool KeypadConfig::setLayerLedMode(int layer, int mode)
{
    if (layer < 0 || layer >= kLayers || mode < 0 || mode >= kLedModes)
        return false;
    Store.LayerLedMode[layer] = static_cast<uint8_t>(mode);
    Store.LedDirty[layer] = 1;
    emit ledChanged(layer);
    return true;
}

void KeypadConfig::adoptDeviceInfo(const DeviceInfo& info)
{
    const uint8_t bytes[4] = {info.keys, info.knobs, info.version, info.variant};
    std::memcpy(Store.Cur_KeyBoard_KeyNum, bytes, sizeof bytes);
    std::memcpy(Store.Layout_KeyBoard_KeyNum, bytes, sizeof bytes);
    emit identityChanged();
}

void KeypadConfig::setPickedBoard(uint16_t pickerValue)
{
    storePickerValue(Store.Cur_KeyBoard_KeyNum, pickerValue);
    emit identityChanged();
}

bool KeypadConfig::adoptIdentityForLayout()
{
    if (!shouldAdoptIdentity(Store.Cur_KeyBoard_KeyNum, Store.Layout_KeyBoard_KeyNum))
        return false;
    std::copy(Store.Cur_KeyBoard_KeyNum, Store.Cur_KeyBoard_KeyNum + 4, Store.Layout_KeyBoard_KeyNum);
    return true;
}

namespace {

// Whether a record says anything the keypad holds. Not so: what a read-back
// stores for a slot the keypad never had written (the record command we keep
// in front of all-zero reply bytes), and the start-up default of a slot no
// reply has filled.
bool knownRecord(const uint8_t* rec, int bytes)
{
    const bool emptyReply = std::all_of(rec + 1, rec + bytes, [](uint8_t b) { return b == 0; });
    const bool startUpDefault = rec[0] == kRecordCommand && rec[1] == 0 && rec[2] == 1 && rec[3] == ModeKeys &&
                                std::all_of(rec + 4, rec + bytes, [](uint8_t b) { return b == 0; });
    return !emptyReply && !startUpDefault;
}

}  // namespace

KeypadImage KeypadConfig::image() const
{
    KeypadImage image;
    image.identity = identity();
    const bool current = currentFormat();
    const int bytes = current ? kCurrentRecordBytes : kOldRecordBytes;
    for (int layer = 0; layer < kLayers; ++layer) {
        for (int slot = 0; slot < kSlotsPerLayer; ++slot) {
            const uint8_t* rec = Store.recordOf(current, layer, slot);
            if (!Store.KeyDirty[layer][slot] && !knownRecord(rec, bytes))
                continue;  // as the keypad holds a slot never written: zeros
            std::copy(rec, rec + bytes, image.records[layer][slot].begin());
        }
        // The older firmware has no LED blocks; the start-up palette is ours, not the keypad's.
        if (!current)
            continue;
        image.led[layer].mode = Store.LayerLedMode[layer];
        std::copy(Store.KeyBoard_KeyLed[layer], Store.KeyBoard_KeyLed[layer] + kLedBytesPerLayer,
                  image.led[layer].colours.begin());
    }
    return image;
}

bool KeypadConfig::setRecord(int layer, int slot, const uint8_t* bytes64)
{
    const bool current = currentFormat();
    const bool lightingSlot = !current && slot == 0;
    if (!bytes64 || layer < 0 || layer >= kLayers || slot < (lightingSlot ? 0 : 1) || slot > kLastKeySlot)
        return false;
    uint8_t* rec = Store.recordOf(current, layer, slot);
    const int bytes = current ? kCurrentRecordBytes : kOldRecordBytes;
    // A slot never written (all zeros, as image() gives it) over one we know
    // nothing of is no change: image() and applyImage() undo each other.
    if (std::all_of(bytes64, bytes64 + bytes, [](uint8_t b) { return b == 0; }) && !knownRecord(rec, bytes))
        return false;
    if (std::equal(bytes64 + kFirstContentByte, bytes64 + bytes, rec + kFirstContentByte))
        return false;
    // Empty over empty, whatever the mode bytes: the keypad would send nothing either way.
    if (!lightingSlot && RecordCodec::isEmpty(bytes64, current) && RecordCodec::isEmpty(rec, current))
        return false;
    std::copy(bytes64, bytes64 + bytes, rec);
    std::fill(rec + bytes, rec + kSlotBytes, uint8_t(0));
    // A slot the keypad never filled carries no header; it must name its key.
    if (bytes64[0] == 0 && !lightingSlot) {
        rec[0] = kRecordCommand;
        rec[1] = static_cast<uint8_t>(slot);
        rec[2] = static_cast<uint8_t>(layer + 1);
    }
    Store.MarkKeyModified(static_cast<uint8_t>(layer), static_cast<uint8_t>(slot));
    emit changed(layer, slot);
    return true;
}

int KeypadConfig::applyImage(const KeypadImage& image, bool withLeds)
{
    int changedRecords = 0;
    for (int layer = 0; layer < kLayers; ++layer)
        for (int slot = 0; slot <= kLastKeySlot; ++slot)
            changedRecords += setRecord(layer, slot, image.records[layer][slot].data()) ? 1 : 0;
    if (!withLeds)
        return changedRecords;
    for (int layer = 0; layer < kLayers; ++layer) {
        const KeypadImage::LedBlock& led = image.led[layer];
        uint8_t* colours = Store.KeyBoard_KeyLed[layer];
        if (led.mode == Store.LayerLedMode[layer] && std::equal(led.colours.begin(), led.colours.end(), colours))
            continue;
        Store.LayerLedMode[layer] = led.mode;
        std::copy(led.colours.begin(), led.colours.end(), colours);
        Store.LedDirty[layer] = 1;
        emit ledChanged(layer);
    }
    return changedRecords;
}

int KeypadConfig::unsavedCount() const
{
    int count = Store.keyDirtyCount();
    if (currentFormat())
        count += static_cast<int>(std::count_if(std::begin(Store.LedDirty), std::end(Store.LedDirty),
                                                [](uint8_t f) { return f != 0; }));
    return count;
}

bool KeypadConfig::Difference::slot(int layer, int slotIndex) const
{
    if (layer < 0 || layer >= kLayers || slotIndex < 0 || slotIndex >= kSlotsPerLayer)
        return false;
    return records.test(size_t(layer * kSlotsPerLayer + slotIndex));
}

bool KeypadConfig::Difference::touchesLayer(int layer) const
{
    for (int s = 0; s < kSlotsPerLayer; ++s)
        if (slot(layer, s))
            return true;
    return false;
}

KeypadConfig::Difference& KeypadConfig::Difference::operator|=(const Difference& other)
{
    records |= other.records;
    leds |= other.leds;
    return *this;
}

KeypadConfig::Snapshot KeypadConfig::snapshot() const
{
    Snapshot s;
    std::memcpy(s.current, Store.PHY2_KEY_Value, sizeof s.current);
    std::memcpy(s.old, Store.PHY_KEY_Value, sizeof s.old);
    std::memcpy(s.keyDirty, Store.KeyDirty, sizeof s.keyDirty);
    std::memcpy(s.led, Store.KeyBoard_KeyLed, sizeof s.led);
    std::memcpy(s.ledMode, Store.LayerLedMode, sizeof s.ledMode);
    std::memcpy(s.ledDirty, Store.LedDirty, sizeof s.ledDirty);
    return s;
}

namespace {
bool sameRecord(const KeypadConfig::Snapshot& a, const KeypadConfig::Snapshot& b, int layer, int slot)
{
    return std::memcmp(a.current[layer][slot], b.current[layer][slot], kSlotBytes) == 0
        && std::memcmp(a.old[layer][slot], b.old[layer][slot], kSlotBytes) == 0;
}

bool sameLed(const KeypadConfig::Snapshot& a, const KeypadConfig::Snapshot& b, int layer)
{
    return a.ledMode[layer] == b.ledMode[layer] && std::memcmp(a.led[layer], b.led[layer], kLedBytesPerLayer) == 0;
}
}  // namespace

KeypadConfig::Difference KeypadConfig::difference(const Snapshot& a, const Snapshot& b)
{
    Difference d;
    for (int layer = 0; layer < kLayers; ++layer) {
        for (int slot = 0; slot < kSlotsPerLayer; ++slot) {
            if (!sameRecord(a, b, layer, slot) || a.keyDirty[layer][slot] != b.keyDirty[layer][slot])
                d.records.set(size_t(layer * kSlotsPerLayer + slot));
        }
        if (!sameLed(a, b, layer) || a.ledDirty[layer] != b.ledDirty[layer])
            d.leds.set(size_t(layer));
    }
    return d;
}

void KeypadConfig::restore(const Snapshot& s, const Difference& only, Marks recordMarks, Marks ledMarks)
{
    const Snapshot now = snapshot();
    const bool exact = recordMarks == Marks::AsSnapshot;
    const bool exactLeds = ledMarks == Marks::AsSnapshot;
    for (int layer = 0; layer < kLayers; ++layer) {
        for (int slot = 0; slot < kSlotsPerLayer; ++slot) {
            if (!only.slot(layer, slot))
                continue;
            const bool bytesChange = !sameRecord(now, s, layer, slot);
            std::memcpy(Store.PHY2_KEY_Value[layer][slot], s.current[layer][slot], kSlotBytes);
            std::memcpy(Store.PHY_KEY_Value[layer][slot], s.old[layer][slot], kSlotBytes);
            if (exact)
                Store.KeyDirty[layer][slot] = s.keyDirty[layer][slot];
            else if (bytesChange)
                Store.KeyDirty[layer][slot] = 1;
        }
        if (only.leds.test(size_t(layer))) {
            const bool bytesChange = !sameLed(now, s, layer);
            std::memcpy(Store.KeyBoard_KeyLed[layer], s.led[layer], kLedBytesPerLayer);
            Store.LayerLedMode[layer] = s.ledMode[layer];
            if (exactLeds)
                Store.LedDirty[layer] = s.ledDirty[layer];
            else if (bytesChange)
                Store.LedDirty[layer] = 1;
        }
    }
    for (int layer = 0; layer < kLayers; ++layer) {
        for (int slot = 0; slot < kSlotsPerLayer; ++slot)
            if (only.slot(layer, slot))
                emit changed(layer, slot);
        if (only.leds.test(size_t(layer)))
            emit ledChanged(layer);
    }
}
