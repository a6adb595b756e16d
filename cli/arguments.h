#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// Values of command arguments. Each parser returns an empty string on success
// and otherwise the usage error, naming the argument and what is accepted.

// Layer 1..3.
QString parseLayer(const QString& text, int& layer);
// A key or knob action by the name profiles give it (K1..K15, "knob N
// left|press|right", "slot N"): its record slot 1..27.
QString parseKeyName(const QString& text, int& slot);
// LED mode 0..5.
QString parseLedMode(const QString& text, int& mode);
// "K3=#ff8000": the colour of key 1..16 on the LED block.
struct KeyColour {
    int key = 0;
    std::array<uint8_t, 3> rgb{};
};
QString parseKeyColour(const QString& text, KeyColour& colour);
