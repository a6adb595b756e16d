#pragma once

#include "bench/start_probe.h"
#include "core/device/hid_transport.h"

#include <string>
#include <vector>

class Widget;

// Exchanges and looks at the bus run on the connection's worker: runs the
// event loop until the last one has ended and the window has taken its result.
void settle(Widget& window);

// A bus with nothing on it that counts how often it is listed: what a tick
// asks of hidapi while the keypad is not plugged in.
class CountingTransport : public HidTransport {
public:
    long enumerations = 0;

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
};

