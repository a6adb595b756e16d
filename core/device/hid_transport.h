#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The one layer every HID call goes through. HidapiTransport forwards to the
// hidapi C functions; SimulatedKeypad is the firmware side in memory.

struct HidDeviceEntry {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    int interfaceNumber = -1;
    // What tells one keypad from another of its kind: the serial number the
    // device reports (UTF-8, empty when it has none) and the USB port it is
    // plugged into ("1-2.3", empty when unknown).
    std::string serial;
    std::string usbPort;
};

struct HidDeviceHandle;  // opaque; hidapi's hid_device* in the default layer
using HidHandle = HidDeviceHandle*;

enum class OpenFailure { None, PermissionDenied, Other };

struct OpenResult {
    HidHandle handle = nullptr;
    OpenFailure failure = OpenFailure::None;
};

class HidTransport {
public:
    virtual ~HidTransport() = default;

    // hid_enumerate followed by hid_free_enumeration: the list is copied out
    // and freed before returning, in hidapi's order.
    virtual std::vector<HidDeviceEntry> enumerate(uint16_t vendorId, uint16_t productId) = 0;
    virtual OpenResult open(const std::string& path) = 0;
    virtual int write(HidHandle handle, const uint8_t* data, size_t length) = 0;
    virtual int readTimeout(HidHandle handle, uint8_t* data, size_t length, int milliseconds) = 0;
    virtual int read(HidHandle handle, uint8_t* data, size_t length) = 0;
    virtual int setNonblocking(HidHandle handle, int nonblock) = 0;
    virtual std::wstring error(HidHandle handle) = 0;
    virtual void close(HidHandle handle) = 0;
    virtual void exit() = 0;
    // The keypad's pauses (after a commit, in the model switch).
    virtual void sleepMs(int milliseconds);
};

// Default layer: calls hid_enumerate, hid_open_path, hid_write, ... directly.
class HidapiTransport : public HidTransport {
public:
    std::vector<HidDeviceEntry> enumerate(uint16_t vendorId, uint16_t productId) override;
    OpenResult open(const std::string& path) override;
    int write(HidHandle handle, const uint8_t* data, size_t length) override;
    int readTimeout(HidHandle handle, uint8_t* data, size_t length, int milliseconds) override;
    int read(HidHandle handle, uint8_t* data, size_t length) override;
    int setNonblocking(HidHandle handle, int nonblock) override;
    std::wstring error(HidHandle handle) override;
    void close(HidHandle handle) override;
    void exit() override;
};

// Portable stand-in for Windows' Sleep(ms).
void platformSleepMs(int milliseconds);
