#include "core/device/protocol.h"

#include "core/keypad/record_codec.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxSlot = kSlotsPerLayer - 1;
constexpr int kFirstKnobSlot = 16;

// Leading bytes of the reports that are not key records.
constexpr uint8_t kInfoQuery = 0xFB;
constexpr uint8_t kSetModel = 0xFC;
constexpr uint8_t kUpgradeMode = 0xEF;
constexpr uint8_t kReadRequest = 0xFA;

Report emptyReport()
{
    Report report{};
    report[0] = kReportNumber;
    return report;
}

}  // namespace

Report buildDeviceInfoQuery()
{
    Report report = emptyReport();
    report[1] = report[2] = report[3] = kInfoQuery;
    return report;
}

Report buildSetModelReport(uint8_t keys, uint8_t knobs, uint8_t variant)
{
    Report report = emptyReport();
    report[1] = kSetModel;
    report[2] = kSetModel;
    report[3] = keys;
    report[4] = knobs;
    report[5] = variant;
    return report;
}

Report buildKeyRecordReport(const uint8_t* record, bool currentFormat)
{
    Report report = emptyReport();
    const size_t bytes = size_t(RecordCodec::recordBytes(currentFormat));
    std::memcpy(report.data() + 1, record, bytes);
    return report;
}

Report buildCommitReport()
{
    Report report = emptyReport();
    report[1] = kRecordCommand;
    report[2] = kCommitSecond;
    report[3] = kCommitThird;
    return report;
}

Report buildLedBlockReport(int layerIndex, uint8_t mode, const uint8_t* colours48)
{
    Report report = emptyReport();
    report[1] = kLightingCommand;
    report[2] = kLedBlockId;
    report[3] = static_cast<uint8_t>(layerIndex);
    report[4] = mode;
    std::memcpy(report.data() + 5, colours48, kLedColourBytes);
    return report;
}

Report buildUpgradeModeReport()
{
    Report report = emptyReport();
    report[1] = kUpgradeMode;
    report[2] = kUpgradeMode;
    return report;
}

int clampedReadSlots(int slotCount) { return std::clamp(slotCount, 0, kMaxSlot); }

int clampedReadKnobs(int knobCount) { return std::clamp(knobCount, 0, (kMaxSlot - kFirstKnobSlot + 1) / 3); }

Report buildKeyReadRequest(bool currentFormat, int slotCount, int knobCount, int layerNumber)
{
    Report report = emptyReport();
    report[1] = kReadRequest;
    report[2] = static_cast<uint8_t>(clampedReadSlots(slotCount));
    report[3] = currentFormat ? 0 : static_cast<uint8_t>(clampedReadKnobs(knobCount));
    report[4] = static_cast<uint8_t>(layerNumber);
    return report;
}

Report buildLedReadRequest(int layerIndex)
{
    Report report = emptyReport();
    report[1] = kReadRequest;
    report[2] = kLedBlockId;
    report[3] = static_cast<uint8_t>(layerIndex);
    return report;
}

DeviceInfo parseDeviceInfoReply(const Reply& reply)
{
    return DeviceInfo{reply[2], reply[3], reply[4], reply[5]};
}

size_t keyReplyBytesNeeded(bool currentFormat)
{
    return currentFormat ? kCurrentKeyReplyBytes : kOldKeyReplyBytes;
}

void storeKeyReadReply(const Reply& reply, uint8_t* record, bool currentFormat)
{
    const size_t bytes = keyReplyBytesNeeded(currentFormat) - 2;
    std::memcpy(record + 1, reply.data() + 2, bytes);
}

void storeLedReadReply(const Reply& reply, uint8_t& mode, uint8_t* colours48)
{
    mode = reply[2];
    std::memcpy(colours48, reply.data() + 3, kLedColourBytes);
}

std::vector<int> keyReadSlotOrder(bool currentFormat, int slotCount, int knobCount)
{
    std::vector<int> order;
    const int keySlots = clampedReadSlots(slotCount);
    for (int slot = 1; slot <= keySlots; ++slot)
        order.push_back(slot);
    if (!currentFormat) {
        const int knobSlots = 3 * clampedReadKnobs(knobCount);
        for (int slot = kFirstKnobSlot; slot < kFirstKnobSlot + knobSlots; ++slot)
            order.push_back(slot);
    }
    return order;
}

ReportKind classifyReport(const Report& report)
{
    const uint8_t a = report[1], b = report[2], c = report[3];
    if (a == kInfoQuery && b == kInfoQuery && c == kInfoQuery)
        return ReportKind::DeviceInfoQuery;
    if (a == kSetModel && b == kSetModel)
        return ReportKind::SetModel;
    if (a == kRecordCommand && b == kCommitSecond && c == kCommitThird)
        return ReportKind::Commit;
    if (a == kRecordCommand)
        return ReportKind::KeyRecord;
    if (a == kLightingCommand && b == kLedBlockId)
        return ReportKind::LedBlockOrLightingRecord;
    if (a == kUpgradeMode && b == kUpgradeMode)
        return ReportKind::UpgradeMode;
    if (a == kReadRequest && b == kLedBlockId)
        return ReportKind::LedReadRequest;
    if (a == kReadRequest)
        return ReportKind::KeyReadRequest;
    return ReportKind::Unknown;
}
