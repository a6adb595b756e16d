#pragma once

#include "core/device/protocol.h"
#include "core/keypad/record_codec.h"

#include <array>
#include <cstdint>

// Everything one keypad holds, as it holds it: the identity it reports, every
// key record (bytes 0..63 current format, 0..49 old format, the rest zero) and
// the three LED blocks. Plain data, so profiles, the window's configuration,
// the command line and the simulated keypad can hand a whole keypad around
// without knowing each other.
struct KeypadImage {
    static constexpr int kLayers = 3;
    static constexpr int kSlots = kSlotsPerLayer;
    static constexpr int kRecordBytes = kCurrentRecordBytes;

    using Record = std::array<uint8_t, kRecordBytes>;
    struct LedBlock {
        uint8_t mode = 0;
        std::array<uint8_t, kLedColourBytes> colours{};
        bool operator==(const LedBlock& o) const { return mode == o.mode && colours == o.colours; }
        bool operator!=(const LedBlock& o) const { return !(*this == o); }
    };

    DeviceInfo identity;
    std::array<std::array<Record, kSlots>, kLayers> records{};
    std::array<LedBlock, kLayers> led{};

    bool currentFormat() const { return isCurrentFormat(identity.version); }
    bool operator==(const KeypadImage& o) const
    {
        return identity == o.identity && records == o.records && led == o.led;
    }
    bool operator!=(const KeypadImage& o) const { return !(*this == o); }
};
