#pragma once

#include "core/device/hid_transport.h"
#include "core/device/protocol.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// The keypad's firmware side in memory, as far as the program relies on it.
// Key records are staged when they arrive and become the stored records only
// when a commit follows; LED blocks and model changes take effect at once.
// Reads never block: with nothing queued, read and readTimeout return 0.
class SimulatedKeypad : public HidTransport {
public:
    struct Interface {
        int number = 0;
        std::string path;
    };
    struct LedBlock {
        uint8_t mode = 0;
        uint8_t colours[kLedColourBytes] = {};
    };
    // Faults; reports and replies are counted from 1 over the keypad's life.
    struct Faults {
        bool silentInfoQuery = false;           // no reply to the information query
        std::set<int> failingWrites;            // write N returns -1
        int unplugAtWrite = 0;                  // write N fails and the keypad leaves the bus
        std::set<int> missingReplies;           // reply N is never sent
        std::map<int, int> shortReplies;        // reply N carries only that many bytes
        std::set<int> garbageReplies;           // reply N is random bytes
        OpenFailure openFailure = OpenFailure::None;
    };

    SimulatedKeypad();
    explicit SimulatedKeypad(DeviceInfo info, uint16_t vendorId = 0x1189, uint16_t productId = 0x8840,
                             std::vector<Interface> interfaces = {{0, "/dev/hidraw0"}});

    // Configuration.
    DeviceInfo info;
    uint16_t vendorId;
    uint16_t productId;
    std::vector<Interface> interfaces;
    // What enumeration reports to tell this keypad from others of its kind.
    std::string serial = "SIM-0001";
    std::string usbPort = "1-1";
    bool realSleep = false;
    Faults faults;

    void plug();
    void unplug();
    bool plugged() const { return plugged_; }
    bool currentFormat() const { return info.version > 9; }

    // Memory: layer index 0..2, slot 0..59, record bytes 0..63.
    uint8_t storedRecords[3][60][64] = {};
    LedBlock ledBlocks[3];
    bool upgradeRequested = false;
    int commits = 0;

    // What the keypad was told and asked.
    std::vector<Report> received;          // every report accepted, in order
    std::vector<int> sleeps;               // every sleepMs, in order
    std::vector<int> readTimeoutsAsked;    // the limit of every readTimeout
    int writeAttempts = 0;
    int repliesProduced = 0;
    int opens = 0;
    int closes = 0;
    int exits = 0;
    int setNonblockingCalls = 0;
    size_t queuedReplies() const { return replies_.size(); }

    bool ownsHandle(HidHandle handle) const { return handle && handle == handle_ && open_; }
    bool ownsPath(const std::string& path) const;

    std::vector<HidDeviceEntry> enumerate(uint16_t vendorId, uint16_t productId) override;
    OpenResult open(const std::string& path) override;
    int write(HidHandle handle, const uint8_t* data, size_t length) override;
    int readTimeout(HidHandle handle, uint8_t* data, size_t length, int milliseconds) override;
    int read(HidHandle handle, uint8_t* data, size_t length) override;
    int setNonblocking(HidHandle handle, int nonblock) override;
    std::wstring error(HidHandle handle) override;
    void close(HidHandle handle) override;
    void exit() override;
    void sleepMs(int milliseconds) override;

private:
    void handleReport(const Report& report);
    void queueReply(const Reply& reply);
    void answerKeyRead(const Report& report);
    void storeRecord(int layerIndex, int slot, const Report& report);
    int popReply(uint8_t* data, size_t length);

    bool plugged_ = true;
    bool open_ = false;
    HidHandle handle_;
    char handleToken_ = 0;
    std::wstring lastError_;
    std::deque<std::vector<uint8_t>> replies_;
    std::map<std::pair<int, int>, std::vector<uint8_t>> pending_;
    uint32_t garbageSeed_ = 0x2545F491u;
};

// Several keypads on one bus, enumerated in the order they were added.
class SimulatedBus : public HidTransport {
public:
    SimulatedKeypad& add(std::unique_ptr<SimulatedKeypad> keypad);
    SimulatedKeypad& keypad(size_t index) { return *keypads_.at(index); }

    std::vector<int> sleeps;

    std::vector<HidDeviceEntry> enumerate(uint16_t vendorId, uint16_t productId) override;
    OpenResult open(const std::string& path) override;
    int write(HidHandle handle, const uint8_t* data, size_t length) override;
    int readTimeout(HidHandle handle, uint8_t* data, size_t length, int milliseconds) override;
    int read(HidHandle handle, uint8_t* data, size_t length) override;
    int setNonblocking(HidHandle handle, int nonblock) override;
    std::wstring error(HidHandle handle) override;
    void close(HidHandle handle) override;
    void exit() override;
    void sleepMs(int milliseconds) override;

private:
    SimulatedKeypad* owner(HidHandle handle);
    std::vector<std::unique_ptr<SimulatedKeypad>> keypads_;
};
