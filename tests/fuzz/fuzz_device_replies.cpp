// The keypad's side of every read is fuzz bytes: the device-information
// reply, the key read replies of both formats and the LED reply. Whatever
// arrives, no flag goes up, no unsaved edit is overwritten and no byte outside
// what a reply may carry changes.
#include "fuzz_transport.h"

#include "core/keypad/keypad_config.h"
#include "core/keypad/keypad_sync.h"
#include "core/keypad/config_store.h"

#include <algorithm>
#include <memory>

namespace {

void checkRead(const ConfigStore& before, const ConfigStore& after, bool current, const std::vector<int>& order)
{
    const int last = current ? 59 : 49;  // record bytes 1..last come from a reply
    FUZZ_CHECK(std::memcmp(before.KeyDirty, after.KeyDirty, sizeof after.KeyDirty) == 0);
    FUZZ_CHECK(std::memcmp(before.LedDirty, after.LedDirty, sizeof after.LedDirty) == 0);
    const auto* other = current ? &before.PHY_KEY_Value : &before.PHY2_KEY_Value;
    const auto* otherNow = current ? &after.PHY_KEY_Value : &after.PHY2_KEY_Value;
    FUZZ_CHECK(std::memcmp(other, otherNow, sizeof after.PHY_KEY_Value) == 0);
    for (int layer = 0; layer < kLayers; ++layer) {
        for (int slot = 0; slot < kSlotsPerLayer; ++slot) {
            const uint8_t* was = before.recordOf(current, layer, slot);
            const uint8_t* now = after.recordOf(current, layer, slot);
            const bool readable = std::find(order.begin(), order.end(), slot) != order.end()
                                  && !before.KeyDirty[layer][slot];
            if (!readable) {
                FUZZ_CHECK(std::memcmp(was, now, kSlotBytes) == 0);
                continue;
            }
            FUZZ_CHECK(was[0] == now[0]);
            FUZZ_CHECK(std::memcmp(was + last + 1, now + last + 1, kSlotBytes - last - 1) == 0);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceQtLog();
    ByteCursor in(data, size);
    FuzzTransport keypad(in);
    const DeviceLink link{keypad, keypad.handle()};
    auto config = std::make_unique<KeypadConfig>();
    ConfigStore* store = &config->rawStore();
    store->InitKeyRecords();

    const uint8_t setup = in.byte();
    store->Cur_KeyBoard_KeyNum[2] = setup & 0x01 ? 10 : 9;
    store->LedDirty[setup >> 6 & 0x01] = (setup & 0x02) ? 1 : 0;
    // A few unsaved edits the read-back must leave alone.
    for (int n = 0; n < (setup >> 5); ++n) {
        const uint8_t at = in.byte();
        store->KeyDirty[at % kLayers][at % 28] = 1;
        store->recordOf(store->currentFormat(), at % kLayers, at % 28)[5] = at;
    }

    const QueryResult query = queryDeviceInfo(link);
    if (query.outcome == QueryOutcome::Answered && (setup & 0x04))
        config->adoptDeviceInfo(query.info);

    const bool current = store->currentFormat();
    const int slotCount = (setup & 0x08) ? in.byte() % 70 : (current ? 25 : 15);
    const int knobs = (setup & 0x08) ? in.byte() % 30 : (current ? 0 : 3);
    auto before = std::make_unique<ConfigStore>(*store);
    const KeyReadResult result = readKeyRecords(link, *config, 3, slotCount, knobs, 0);
    checkRead(*before, *store, current, keyReadSlotOrder(current, slotCount, knobs));
    FUZZ_CHECK(result.repliesStored >= 0 && result.requestsWritten + result.requestsFailed <= 3);

    *before = *store;
    const int layer = static_cast<int8_t>(in.byte()) % 5;
    const LedReadOutcome led = readLedBlock(link, *config, layer, 0);
    FUZZ_CHECK(std::memcmp(before->PHY2_KEY_Value, store->PHY2_KEY_Value, sizeof store->PHY2_KEY_Value) == 0);
    FUZZ_CHECK(std::memcmp(before->PHY_KEY_Value, store->PHY_KEY_Value, sizeof store->PHY_KEY_Value) == 0);
    if (led != LedReadOutcome::Stored)
        FUZZ_CHECK(std::memcmp(before->KeyBoard_KeyLed, store->KeyBoard_KeyLed, sizeof store->KeyBoard_KeyLed) == 0
                   && std::memcmp(before->LayerLedMode, store->LayerLedMode, 3) == 0);
    else
        FUZZ_CHECK(layer >= 0 && layer < kLayers && !before->LedDirty[layer]);
    for (int other = 0; other < kLayers; ++other) {
        if (other == layer && led == LedReadOutcome::Stored)
            continue;
        FUZZ_CHECK(std::memcmp(before->KeyBoard_KeyLed[other], store->KeyBoard_KeyLed[other], kLedBytesPerLayer) == 0);
        FUZZ_CHECK(before->LayerLedMode[other] == store->LayerLedMode[other]);
    }
    FUZZ_CHECK(std::memcmp(before->LedDirty, store->LedDirty, sizeof store->LedDirty) == 0);

    // Every request sent was well formed for what it asked.
    for (const FuzzTransport::Sent& s : keypad.sent) {
        const ReportKind kind = classifyReport(s.report);
        FUZZ_CHECK(kind == ReportKind::DeviceInfoQuery || kind == ReportKind::KeyReadRequest
                   || kind == ReportKind::LedReadRequest);
        if (kind == ReportKind::KeyReadRequest)
            FUZZ_CHECK(s.report[2] <= 59 && s.report[4] >= 1 && s.report[4] <= 3);
    }
    return 0;
}
