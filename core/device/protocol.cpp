#include "core/device/protocol.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxSlot = 59;
constexpr int kFirstKnobSlot = 16;

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
    report[1] = report[2] = report[3] = 0xFB;
    return report;
}

Report buildSetModelReport(uint8_t keys, uint8_t knobs, uint8_t variant)
{
    Report report = emptyReport();
    report[1] = 0xFC;
    report[2] = 0xFC;
    report[3] = keys;
    report[4] = knobs;
    report[5] = variant;
    return report;
}

Report buildKeyRecordReport(const uint8_t* record, bool currentFormat)
{
    Report report = emptyReport();
    const size_t bytes = currentFormat ? 64 : 50;
    std::memcpy(report.data() + 1, record, bytes);
    return report;
}

Report buildCommitReport()
{
    Report report = emptyReport();
    report[1] = 0xFD;
    report[2] = 0xFE;
    report[3] = 0xFF;
    return report;
}

Report buildLedBlockReport(int layerIndex, uint8_t mode, const uint8_t* colours48)
{
    Report report = emptyReport();
    report[1] = 0xFE;
    report[2] = 0xB0;
    report[3] = static_cast<uint8_t>(layerIndex);
    report[4] = mode;
    std::memcpy(report.data() + 5, colours48, kLedColourBytes);
    return report;
}

Report buildUpgradeModeReport()
{
    Report report = emptyReport();
    report[1] = 0xEF;
    report[2] = 0xEF;
    return report;
}

int clampedReadSlots(int slotCount) { return std::clamp(slotCount, 0, kMaxSlot); }

int clampedReadKnobs(int knobCount) { return std::clamp(knobCount, 0, (kMaxSlot - kFirstKnobSlot + 1) / 3); }

Report buildKeyReadRequest(bool currentFormat, int slotCount, int knobCount, int layerNumber)
{
    Report report = emptyReport();
    report[1] = 0xFA;
    report[2] = static_cast<uint8_t>(clampedReadSlots(slotCount));
    report[3] = currentFormat ? 0 : static_cast<uint8_t>(clampedReadKnobs(knobCount));
    report[4] = static_cast<uint8_t>(layerNumber);
    return report;
}

Report buildLedReadRequest(int layerIndex)
{
    Report report = emptyReport();
    report[1] = 0xFA;
    report[2] = 0xB0;
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
    if (a == 0xFB && b == 0xFB && c == 0xFB)
        return ReportKind::DeviceInfoQuery;
    if (a == 0xFC && b == 0xFC)
        return ReportKind::SetModel;
    if (a == 0xFD && b == 0xFE && c == 0xFF)
        return ReportKind::Commit;
    if (a == 0xFD)
        return ReportKind::KeyRecord;
    if (a == 0xFE && b == 0xB0)
        return ReportKind::LedBlockOrLightingRecord;
    if (a == 0xEF && b == 0xEF)
        return ReportKind::UpgradeMode;
    if (a == 0xFA && b == 0xB0)
        return ReportKind::LedReadRequest;
    if (a == 0xFA)
        return ReportKind::KeyReadRequest;
    return ReportKind::Unknown;
}
