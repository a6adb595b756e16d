#pragma once

#include "fuzz_support.h"

#include "core/device/hid_transport.h"
#include "core/device/protocol.h"

#include <cstring>
#include <vector>

// A keypad whose every answer comes from the fuzzer: each write succeeds or
// fails by one byte, each read delivers a failure, a timeout or a reply of
// any length with any bytes.
class FuzzTransport : public HidTransport {
public:
    explicit FuzzTransport(ByteCursor& in) : in_(in) {}

    HidHandle handle() { return reinterpret_cast<HidHandle>(&token_); }

    struct Sent {
        Report report;
        bool ok;
    };
    std::vector<Sent> sent;

    std::vector<HidDeviceEntry> enumerate(uint16_t, uint16_t) override { return {}; }
    OpenResult open(const std::string&) override { return {}; }
    int write(HidHandle h, const uint8_t* data, size_t length) override
    {
        FUZZ_CHECK(h == handle());
        FUZZ_CHECK(length == kReportBytes);
        FUZZ_CHECK(data[0] == kReportNumber);
        Sent s{};
        std::memcpy(s.report.data(), data, kReportBytes);
        s.ok = (in_.byte() & 0x0F) != 0;  // one write in sixteen fails
        sent.push_back(s);
        return s.ok ? static_cast<int>(length) : -1;
    }
    int readTimeout(HidHandle h, uint8_t* data, size_t length, int) override { return read(h, data, length); }
    int read(HidHandle h, uint8_t* data, size_t length) override
    {
        FUZZ_CHECK(h == handle());
        FUZZ_CHECK(length == kReplyBytes);
        const uint8_t kind = in_.byte();
        if (kind == 0xFF)
            return -1;
        if (kind == 0xFE || in_.empty())
            return 0;
        const size_t count = kind % (kReplyBytes + 1);
        // Bytes past the reply stay as the caller left them.
        return static_cast<int>(in_.copy(data, count));
    }
    int setNonblocking(HidHandle h, int) override { return h == handle() ? 0 : -1; }
    std::wstring error(HidHandle) override { return L"fuzzed failure"; }
    void close(HidHandle) override {}
    void exit() override {}
    void sleepMs(int) override {}

private:
    ByteCursor& in_;
    char token_ = 0;
};
