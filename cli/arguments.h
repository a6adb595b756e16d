#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// Values of command arguments. Each parser returns an empty string on success
// and otherwise the usage error, naming the argument and what is accepted.

// Layer 1..3.
QString parseLayer(const QString& text, int& layer);
// A physical key id 1..27 as the window numbers its buttons: "K1".."K27", or
// a knob action "knob N left|press|right" (N 1..4, ids 16..27).
// TODO(second round): take the profile's key names once profile/ has them.
QString parseKeyName(const QString& text, int& keyId);
// LED mode 0..5.
QString parseLedMode(const QString& text, int& mode);
// "K3=#ff8000": the colour of key 1..16 on the LED block.
struct KeyColour {
    int key = 0;
    std::array<uint8_t, 3> rgb{};
};
QString parseKeyColour(const QString& text, KeyColour& colour);
