#include "core/device/simulated_keypad.h"

#include <algorithm>
#include <cstring>

SimulatedKeypad::SimulatedKeypad() : SimulatedKeypad(DeviceInfo{15, 3, 10, 0}) {}

SimulatedKeypad::SimulatedKeypad(DeviceInfo deviceInfo, uint16_t vendor, uint16_t product,
                                 std::vector<Interface> deviceInterfaces)
    : info(deviceInfo),
      vendorId(vendor),
      productId(product),
      interfaces(std::move(deviceInterfaces)),
      handle_(reinterpret_cast<HidHandle>(&handleToken_))
{
}

void SimulatedKeypad::plug() { plugged_ = true; }

void SimulatedKeypad::unplug()
{
    // Power is gone: nothing staged survives and nothing more is sent.
    plugged_ = false;
    replies_.clear();
    pending_.clear();
}

bool SimulatedKeypad::ownsPath(const std::string& path) const
{
    return std::any_of(interfaces.begin(), interfaces.end(),
                       [&](const Interface& entry) { return entry.path == path; });
}

std::vector<HidDeviceEntry> SimulatedKeypad::enumerate(uint16_t vendor, uint16_t product)
{
    std::vector<HidDeviceEntry> entries;
    if (!plugged_ || (vendor != 0 && vendor != vendorId) || (product != 0 && product != productId))
        return entries;
    for (const Interface& entry : interfaces)
        entries.push_back(HidDeviceEntry{entry.path, vendorId, productId, entry.number, serial, usbPort});
    return entries;
}

OpenResult SimulatedKeypad::open(const std::string& path)
{
    OpenResult result;
    if (!plugged_ || !ownsPath(path)) {
        result.failure = OpenFailure::Other;
        return result;
    }
    if (faults.openFailure != OpenFailure::None) {
        result.failure = faults.openFailure;
        return result;
    }
    open_ = true;
    ++opens;
    result.handle = handle_;
    return result;
}

int SimulatedKeypad::write(HidHandle handle, const uint8_t* data, size_t length)
{
    const int number = ++writeAttempts;
    if (!ownsHandle(handle)) {
        lastError_ = L"invalid handle";
        return -1;
    }
    if (!plugged_) {
        lastError_ = L"device disconnected";
        return -1;
    }
    if (number == faults.unplugAtWrite) {
        unplug();
        lastError_ = L"device disconnected";
        return -1;
    }
    if (faults.failingWrites.count(number)) {
        lastError_ = L"simulated write failure";
        return -1;
    }
    Report report{};
    std::memcpy(report.data(), data, std::min(length, report.size()));
    received.push_back(report);
    handleReport(report);
    return static_cast<int>(length);
}

void SimulatedKeypad::handleReport(const Report& report)
{
    switch (classifyReport(report)) {
    case ReportKind::DeviceInfoQuery:
        if (!faults.silentInfoQuery) {
            Reply reply{};
            reply[0] = kReportNumber;
            reply[2] = info.keys;
            reply[3] = info.knobs;
            reply[4] = info.version;
            reply[5] = info.variant;
            queueReply(reply);
        }
        break;
    case ReportKind::SetModel:
        info.keys = report[3];
        info.knobs = report[4];
        info.variant = report[5];
        break;
    case ReportKind::Commit:
        for (const auto& [key, bytes] : pending_)
            std::memcpy(storedRecords[key.first][key.second], bytes.data(), bytes.size());
        pending_.clear();
        ++commits;
        break;
    case ReportKind::KeyRecord:
        storeRecord(report[3] - 1, report[2], report);
        break;
    case ReportKind::LedBlockOrLightingRecord:
        // Old firmware knows no LED block: FE B0 is then the layer's lighting slot.
        if (!currentFormat()) {
            storeRecord(report[3] - 1, 0, report);
        } else if (report[3] < 3) {
            ledBlocks[report[3]].mode = report[4];
            std::memcpy(ledBlocks[report[3]].colours, report.data() + 5, kLedColourBytes);
        }
        break;
    case ReportKind::UpgradeMode:
        upgradeRequested = true;
        break;
    case ReportKind::KeyReadRequest:
        answerKeyRead(report);
        break;
    case ReportKind::LedReadRequest:
        if (report[3] < 3) {
            Reply reply{};
            reply[0] = kReportNumber;
            reply[2] = ledBlocks[report[3]].mode;
            std::memcpy(reply.data() + 3, ledBlocks[report[3]].colours, kLedColourBytes);
            queueReply(reply);
        }
        break;
    case ReportKind::Unknown:
        break;
    }
}

void SimulatedKeypad::storeRecord(int layerIndex, int slot, const Report& report)
{
    if (layerIndex < 0 || layerIndex > 2 || slot < 0 || slot > 59)
        return;
    pending_[{layerIndex, slot}] = std::vector<uint8_t>(report.begin() + 1, report.end());
}

void SimulatedKeypad::answerKeyRead(const Report& report)
{
    const int layerIndex = report[4] - 1;
    if (layerIndex < 0 || layerIndex > 2)
        return;
    const size_t carried = keyReplyBytesNeeded(currentFormat()) - 2;
    for (int slot : keyReadSlotOrder(currentFormat(), report[2], report[3])) {
        Reply reply{};
        reply[0] = kReportNumber;
        std::memcpy(reply.data() + 2, storedRecords[layerIndex][slot] + 1, carried);
        queueReply(reply);
    }
}

void SimulatedKeypad::queueReply(const Reply& reply)
{
    const int number = ++repliesProduced;
    if (faults.missingReplies.count(number))
        return;
    std::vector<uint8_t> bytes(reply.begin(), reply.end());
    if (faults.garbageReplies.count(number)) {
        for (uint8_t& byte : bytes) {
            garbageSeed_ ^= garbageSeed_ << 13;
            garbageSeed_ ^= garbageSeed_ >> 17;
            garbageSeed_ ^= garbageSeed_ << 5;
            byte = static_cast<uint8_t>(garbageSeed_);
        }
    }
    const auto shortened = faults.shortReplies.find(number);
    if (shortened != faults.shortReplies.end())
        bytes.resize(static_cast<size_t>(std::clamp(shortened->second, 0, static_cast<int>(kReplyBytes))));
    replies_.push_back(std::move(bytes));
}

int SimulatedKeypad::popReply(uint8_t* data, size_t length)
{
    if (replies_.empty())
        return 0;
    const std::vector<uint8_t> reply = std::move(replies_.front());
    replies_.pop_front();
    const size_t count = std::min(length, reply.size());
    std::memcpy(data, reply.data(), count);
    return static_cast<int>(count);
}

int SimulatedKeypad::readTimeout(HidHandle handle, uint8_t* data, size_t length, int milliseconds)
{
    readTimeoutsAsked.push_back(milliseconds);
    return read(handle, data, length);
}

int SimulatedKeypad::read(HidHandle handle, uint8_t* data, size_t length)
{
    if (!ownsHandle(handle) || !plugged_) {
        lastError_ = L"device disconnected";
        return -1;
    }
    return popReply(data, length);
}

int SimulatedKeypad::setNonblocking(HidHandle handle, int)
{
    ++setNonblockingCalls;
    return ownsHandle(handle) ? 0 : -1;
}

std::wstring SimulatedKeypad::error(HidHandle) { return lastError_; }

void SimulatedKeypad::close(HidHandle handle)
{
    if (handle != handle_ || !open_)
        return;
    open_ = false;
    replies_.clear();
    ++closes;
}

void SimulatedKeypad::exit() { ++exits; }

void SimulatedKeypad::sleepMs(int milliseconds)
{
    sleeps.push_back(milliseconds);
    if (realSleep)
        platformSleepMs(milliseconds);
}

SimulatedKeypad& SimulatedBus::add(std::unique_ptr<SimulatedKeypad> keypad)
{
    keypads_.push_back(std::move(keypad));
    return *keypads_.back();
}

SimulatedKeypad* SimulatedBus::owner(HidHandle handle)
{
    for (auto& keypad : keypads_)
        if (keypad->ownsHandle(handle))
            return keypad.get();
    return nullptr;
}

std::vector<HidDeviceEntry> SimulatedBus::enumerate(uint16_t vendorId, uint16_t productId)
{
    std::vector<HidDeviceEntry> entries;
    for (auto& keypad : keypads_) {
        const std::vector<HidDeviceEntry> own = keypad->enumerate(vendorId, productId);
        entries.insert(entries.end(), own.begin(), own.end());
    }
    return entries;
}

OpenResult SimulatedBus::open(const std::string& path)
{
    for (auto& keypad : keypads_)
        if (keypad->ownsPath(path))
            return keypad->open(path);
    OpenResult result;
    result.failure = OpenFailure::Other;
    return result;
}

int SimulatedBus::write(HidHandle handle, const uint8_t* data, size_t length)
{
    SimulatedKeypad* keypad = owner(handle);
    return keypad ? keypad->write(handle, data, length) : -1;
}

int SimulatedBus::readTimeout(HidHandle handle, uint8_t* data, size_t length, int milliseconds)
{
    SimulatedKeypad* keypad = owner(handle);
    return keypad ? keypad->readTimeout(handle, data, length, milliseconds) : -1;
}

int SimulatedBus::read(HidHandle handle, uint8_t* data, size_t length)
{
    SimulatedKeypad* keypad = owner(handle);
    return keypad ? keypad->read(handle, data, length) : -1;
}

int SimulatedBus::setNonblocking(HidHandle handle, int nonblock)
{
    SimulatedKeypad* keypad = owner(handle);
    return keypad ? keypad->setNonblocking(handle, nonblock) : -1;
}

std::wstring SimulatedBus::error(HidHandle handle)
{
    SimulatedKeypad* keypad = owner(handle);
    return keypad ? keypad->error(handle) : std::wstring(L"invalid handle");
}

void SimulatedBus::close(HidHandle handle)
{
    if (SimulatedKeypad* keypad = owner(handle))
        keypad->close(handle);
}

void SimulatedBus::exit()
{
    for (auto& keypad : keypads_)
        keypad->exit();
}

void SimulatedBus::sleepMs(int milliseconds) { sleeps.push_back(milliseconds); }
