#pragma once

#include "core/keypad/board.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// Values of command arguments. Each parser returns an empty string on success
// and otherwise the usage error, naming the argument and what is accepted.

// Layer 1..3.
QString parseLayer(const QString& text, int& layer);
// A key or knob action by the name profiles give it (K1, "knob N
// left|press|right", "slot N"). Only the form is checked here: which names a
// keypad has, its Board says once it has answered (boardSlot).
QString parseKeyName(const QString& text);
// The slot of a key or knob action on this board, or the usage error naming
// what the board has.
QString boardSlot(const Board& board, const QString& name, int& slot);
// "K3=#ff8000": the colour of a key that has one on this board.
struct KeyColour;
QString checkKeyColour(const Board& board, const KeyColour& colour);
// LED mode 0..5.
QString parseLedMode(const QString& text, int& mode);
// "K3=#ff8000": the colour of key 1..16 on the LED block.
struct KeyColour {
    int key = 0;
    std::array<uint8_t, 3> rgb{};
};
QString parseKeyColour(const QString& text, KeyColour& colour);
