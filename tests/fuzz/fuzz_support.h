#pragma once

#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Reads the fuzzer's bytes front to back; past the end every value is 0.
class ByteCursor {
public:
    ByteCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    size_t remaining() const { return empty() ? 0 : size_ - pos_; }
    uint8_t byte() { return empty() ? 0 : data_[pos_++]; }
    uint16_t word() { return static_cast<uint16_t>(byte() | (byte() << 8)); }
    // Copies up to count bytes; the rest of out is left as it was.
    size_t copy(uint8_t* out, size_t count)
    {
        size_t n = 0;
        while (n < count && !empty())
            out[n++] = data_[pos_++];
        return n;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// The code under test logs every byte it handles; that output is noise here.
inline void silenceQtLog()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}

// A broken property is a finding like a crash: report it and abort, so the
// fuzzer keeps the input that shows it.
#define FUZZ_CHECK(condition)                                                           \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                               \
        }                                                                               \
    } while (0)
