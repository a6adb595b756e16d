// A byte sequence read as a series of store operations (selection changes and
// writer calls, arguments unchecked) on a store whose records start as fuzz
// bytes. After every call: nothing outside the records that call may touch has
// changed, no writer passes the 64 (current) or 50 (old) bytes of a record,
// and only those records' flags went up.
#include "fuzz_support.h"

#include "core/keypad/config_store.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

enum Op : uint8_t {
    SelectLayer,
    SelectKey,
    SelectMode,
    SetVersion,
    AddKeyCode,
    AddModifier,
    SetMediaKey,
    SetMouseKey,
    SetRgbLedKey,
    SetOldFormatDelay,
    SetDataValue,
    SetEntryDelay,
    SelectionHeader,
    ClearSelected,
    ClearLayer,
    MarkModified,
    OpCount
};

// Which records (array, layer, slot) one call may change, and whether it may
// zero the tail of a slot (only the clears do).
struct Reach {
    int layer = -1;
    int slot = -1;           // the selected slot, both arrays
    bool lightingSlot = false;  // slot 0 of the layer, old array
    bool wholeLayer = false;    // slots 1..27 of the layer, both arrays
    bool clears = false;
};

bool mayTouch(const Reach& reach, bool currentArray, int layer, int slot)
{
    if (layer != reach.layer)
        return false;
    if (reach.wholeLayer)
        return slot >= 1 && slot <= 27;
    if (reach.lightingSlot && !currentArray && slot == 0)
        return true;
    return slot == reach.slot;
}

void checkAgainst(const ConfigStore& before, const ConfigStore& after, const Reach& reach)
{
    for (bool currentArray : {true, false}) {
        const int wireBytes = currentArray ? kCurrentRecordBytes : kOldRecordBytes;
        for (int layer = 0; layer < kLayers; ++layer) {
            for (int slot = 0; slot < kSlotsPerLayer; ++slot) {
                const uint8_t* was = before.recordOf(currentArray, layer, slot);
                const uint8_t* now = after.recordOf(currentArray, layer, slot);
                if (std::memcmp(was, now, kSlotBytes) == 0)
                    continue;
                FUZZ_CHECK(mayTouch(reach, currentArray, layer, slot));
                for (int i = wireBytes; i < kSlotBytes; ++i) {
                    if (was[i] != now[i])
                        FUZZ_CHECK(reach.clears && now[i] == 0);
                }
            }
        }
    }
    for (int layer = 0; layer < kLayers; ++layer) {
        for (int slot = 0; slot < kSlotsPerLayer; ++slot) {
            if (before.KeyDirty[layer][slot] == after.KeyDirty[layer][slot])
                continue;
            FUZZ_CHECK(after.KeyDirty[layer][slot] == 1);
            FUZZ_CHECK(mayTouch(reach, true, layer, slot) || mayTouch(reach, false, layer, slot));
        }
    }
    FUZZ_CHECK(std::memcmp(before.KeyBoard_KeyLed, after.KeyBoard_KeyLed, sizeof after.KeyBoard_KeyLed) == 0);
    FUZZ_CHECK(std::memcmp(before.LayerLedMode, after.LayerLedMode, sizeof after.LayerLedMode) == 0);
    FUZZ_CHECK(std::memcmp(before.LedDirty, after.LedDirty, sizeof after.LedDirty) == 0);
    FUZZ_CHECK(std::memcmp(before.Layout_KeyBoard_KeyNum, after.Layout_KeyBoard_KeyNum, 4) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceQtLog();
    ByteCursor in(data, size);
    auto store = std::make_unique<ConfigStore>();
    auto before = std::make_unique<ConfigStore>();

    // Every record starts from the same fuzz bytes, told apart by its slot.
    uint8_t pattern[kSlotBytes] = {};
    in.copy(pattern, kSlotBytes);
    for (bool currentArray : {true, false})
        for (int layer = 0; layer < kLayers; ++layer)
            for (int slot = 0; slot < kSlotsPerLayer; ++slot) {
                uint8_t* rec = store->recordOf(currentArray, layer, slot);
                std::memcpy(rec, pattern, kSlotBytes);
                rec[1] ^= static_cast<uint8_t>(slot);
            }
    store->Cur_KeyBoard_KeyNum[2] = in.byte();

    while (!in.empty()) {
        const uint8_t op = in.byte() % OpCount;
        const uint8_t a = in.byte();
        const uint8_t b = in.byte();
        const int index = static_cast<int8_t>(b) * 256 + a;  // any int, mostly small
        *before = *store;
        Reach reach;
        reach.layer = store->Select_PHY_Key_Layer;
        reach.slot = store->Select_PHY_Key;

        switch (op) {
        case SelectLayer: store->Select_PHY_Key_Layer = a; break;
        case SelectKey: store->Select_PHY_Key = a; break;
        case SelectMode: store->Select_PHY_Key_Mode = a; break;
        case SetVersion: store->Cur_KeyBoard_KeyNum[2] = a; break;
        case AddKeyCode: store->AddKeyCode(index); break;
        case AddModifier: store->AddModifier(index); break;
        case SetMediaKey: store->SetMediaKey(index); break;
        case SetMouseKey:
            reach.clears = true;
            store->SetMouseKey(index);
            break;
        case SetRgbLedKey:
            reach.lightingSlot = true;
            store->SetRgb_Led_Key(index);
            break;
        case SetOldFormatDelay: store->SetOldFormatDelay(index * 7); break;
        case SetDataValue: {
            std::vector<int> values;
            for (int n = 0; n < (a & 0x03) + (a >> 7); ++n)
                values.push_back(static_cast<int8_t>(in.byte()) * 3);
            store->SetDataValue(values);
            break;
        }
        case SetEntryDelay: store->SetEntryDelay(static_cast<int8_t>(a), b * 300 - 1000); break;
        case SelectionHeader: store->WriteSelectionHeader(a); break;
        case ClearSelected:
            reach.clears = true;
            store->ClearSelectedRecord();
            break;
        case ClearLayer:
            reach = Reach();
            reach.layer = a;
            reach.wholeLayer = true;
            reach.clears = true;
            store->ClearLayerRecords(a);
            break;
        case MarkModified:
            reach = Reach();
            reach.layer = a;
            reach.slot = b;
            store->MarkKeyModified(a, b);
            break;
        default: break;
        }
        if (op == SelectionHeader)
            reach.slot = a;
        if (op <= SetVersion) {
            // Selection changes touch no record.
            reach = Reach();
        }
        checkAgainst(*before, *store, reach);
    }
    return 0;
}
