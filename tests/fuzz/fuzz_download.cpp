// A save of fuzzed records and flags to a keypad whose writes fail wherever
// the fuzzer says. A flag may only go down for a record the keypad really got
// and that a commit confirmed after it; the outcome is a failure exactly when
// a write failed.
#include "fuzz_transport.h"

#include "core/keypad/keypad_config.h"
#include "core/keypad/keypad_sync.h"
#include "core/keypad/config_store.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceQtLog();
    ByteCursor in(data, size);
    FuzzTransport keypad(in);
    auto config = std::make_unique<KeypadConfig>();
    ConfigStore* store = &config->rawStore();

    const uint8_t setup = in.byte();
    store->Cur_KeyBoard_KeyNum[2] = setup & 0x01 ? 10 : 9;
    store->LedDirty[setup >> 6 & 0x01] = (setup & 0x02) ? 1 : 0;
    store->LedFromKeypad[1] = (setup & 0x04) ? 1 : 0;
    uint8_t pattern[kSlotBytes] = {};
    in.copy(pattern, kSlotBytes);
    for (bool currentArray : {true, false})
        for (int layer = 0; layer < kLayers; ++layer)
            for (int slot = 0; slot < kSlotsPerLayer; ++slot) {
                uint8_t* rec = store->recordOf(currentArray, layer, slot);
                std::memcpy(rec, pattern, kSlotBytes);
                rec[1] = static_cast<uint8_t>(slot);
                rec[2] = static_cast<uint8_t>(layer + 1);
            }
    for (int n = in.byte() % 12; n > 0; --n) {
        const uint8_t at = in.byte();
        store->KeyDirty[at % kLayers][at % kSlotsPerLayer] = 1;
    }
    const bool current = store->currentFormat();
    auto before = std::make_unique<ConfigStore>(*store);

    const DownloadResult result = downloadConfig(DeviceLink{keypad, keypad.handle()}, *config);

    bool anyFailed = false;
    for (const FuzzTransport::Sent& s : keypad.sent)
        anyFailed = anyFailed || !s.ok;
    // A failed write is a failed save; so is an LED layer that could not be read first.
    if (anyFailed)
        FUZZ_CHECK(result.outcome == DownloadOutcome::Failed);
    else if (result.outcome == DownloadOutcome::Failed)
        FUZZ_CHECK(result.ledLayersRead > 0 && result.ledBlocksWritten == 0);
    if (keypad.sent.empty())
        FUZZ_CHECK(result.outcome == DownloadOutcome::NothingToSend);
    if (result.outcome == DownloadOutcome::Saved)
        FUZZ_CHECK(!store->anyKeyDirty() && (!current || !store->anyLedDirty()));

    FUZZ_CHECK(std::memcmp(before->PHY2_KEY_Value, store->PHY2_KEY_Value, sizeof store->PHY2_KEY_Value) == 0);
    FUZZ_CHECK(std::memcmp(before->PHY_KEY_Value, store->PHY_KEY_Value, sizeof store->PHY_KEY_Value) == 0);

    for (int layer = 0; layer < kLayers; ++layer) {
        for (int slot = 0; slot < kSlotsPerLayer; ++slot) {
            if (!before->KeyDirty[layer][slot]) {
                FUZZ_CHECK(!store->KeyDirty[layer][slot]);
                continue;
            }
            if (store->KeyDirty[layer][slot])
                continue;
            // Cleared: its report went through, and a commit after it did too.
            const Report expected = buildKeyRecordReport(store->recordOf(current, layer, slot), current);
            size_t at = 0;
            while (at < keypad.sent.size() && !(keypad.sent[at].ok && keypad.sent[at].report == expected))
                ++at;
            FUZZ_CHECK(at < keypad.sent.size());
            bool committed = false;
            for (size_t later = at + 1; later < keypad.sent.size(); ++later)
                committed = committed
                            || (keypad.sent[later].ok && classifyReport(keypad.sent[later].report) == ReportKind::Commit);
            FUZZ_CHECK(committed);
        }
    }
    if (before->anyLedDirty() && !store->anyLedDirty()) {
        FUZZ_CHECK(current);
        int ledBlocks = 0;
        for (const FuzzTransport::Sent& s : keypad.sent)
            ledBlocks += s.ok && s.report[1] == 0xFE && s.report[2] == 0xB0 ? 1 : 0;
        FUZZ_CHECK(ledBlocks >= 3);
    }
    for (const FuzzTransport::Sent& s : keypad.sent) {
        if (!current && classifyReport(s.report) == ReportKind::KeyRecord)
            for (size_t i = 51; i < kReportBytes; ++i)
                FUZZ_CHECK(s.report[i] == 0);
    }
    return 0;
}
