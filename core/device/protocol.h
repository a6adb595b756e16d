#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Byte-exact reports and replies of the keypad. Every builder starts from a
// zeroed buffer, so no byte of one report can leak into the next.

constexpr size_t kReportBytes = 65;
constexpr size_t kReplyBytes = 64;
constexpr uint8_t kReportNumber = 0x03;

using Report = std::array<uint8_t, kReportBytes>;
using Reply = std::array<uint8_t, kReplyBytes>;

// Reply bytes a stored copy needs: 2..60 (current) or 2..50 (old), 2..50 for LEDs.
constexpr size_t kCurrentKeyReplyBytes = 61;
constexpr size_t kOldKeyReplyBytes = 51;
constexpr size_t kLedReplyBytes = 51;
constexpr int kLedColourBytes = 48;

constexpr int kCurrentReadSlots = 25;
constexpr int kOldReadSlots = 15;
constexpr int kOldReadKnobs = 3;

struct DeviceInfo {
    uint8_t keys = 0;
    uint8_t knobs = 0;
    uint8_t version = 0;
    uint8_t variant = 0;
    bool operator==(const DeviceInfo& other) const
    {
        return keys == other.keys && knobs == other.knobs && version == other.version && variant == other.variant;
    }
};

Report buildDeviceInfoQuery();
// The board a keypad is switched to: its keys, knobs and variant byte.
Report buildSetModelReport(uint8_t keys, uint8_t knobs, uint8_t variant);
Report buildKeyRecordReport(const uint8_t* record, bool currentFormat);
Report buildCommitReport();
Report buildLedBlockReport(int layerIndex, uint8_t mode, const uint8_t* colours48);
Report buildUpgradeModeReport();
// Request fields are clamped so that the replies never name a slot past 59.
Report buildKeyReadRequest(bool currentFormat, int slotCount, int knobCount, int layerNumber);
Report buildLedReadRequest(int layerIndex);

// Bytes 2..5 whatever they hold: a short reply leaves the zeros it was read into.
DeviceInfo parseDeviceInfoReply(const Reply& reply);
void storeKeyReadReply(const Reply& reply, uint8_t* record, bool currentFormat);
void storeLedReadReply(const Reply& reply, uint8_t& mode, uint8_t* colours48);
size_t keyReplyBytesNeeded(bool currentFormat);

// Slots the replies to one key read request fill, in arrival order.
int clampedReadSlots(int slotCount);
int clampedReadKnobs(int knobCount);
std::vector<int> keyReadSlotOrder(bool currentFormat, int slotCount, int knobCount);

// What a report is, judged by its leading bytes (keypad side and logs).
enum class ReportKind {
    DeviceInfoQuery,
    SetModel,
    KeyRecord,
    Commit,
    LedBlockOrLightingRecord,  // FE B0: LED block (current) or old lighting slot
    UpgradeMode,
    KeyReadRequest,
    LedReadRequest,
    Unknown,
};
ReportKind classifyReport(const Report& report);
