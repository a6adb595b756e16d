#pragma once

#include "core/keypad/key_match.h"

#include <QHash>

#include <cstdint>
#include <optional>

// One key or mouse event as the key tester hears it, from the window or from
// the keypad's own input device.
struct PressSample {
    enum class Action { Press, Release, Repeat };
    // What moved: a keyboard key (its usage), a media key (its consumer
    // usage), a mouse button (its bit) or a wheel step (+1 or -1).
    Stroke::Kind kind = Stroke::Kind::Key;
    uint16_t usage = 0;
    uint8_t button = 0;
    int8_t wheel = 0;
    Action action = Action::Press;
    qint64 timeUs = 0;
    // What the sender says is held (left-hand bits), when it says so: a
    // window that got the focus with Ctrl already down never heard it go down.
    std::optional<uint8_t> modifiersSaid;
};

// A line of the tester's list.
struct PressLogEntry {
    Stroke stroke;  // a press: the combination with what is held; otherwise the key alone
    PressSample::Action action = PressSample::Action::Press;
    qint64 sinceUs = -1;  // since the event before; -1 for the first
    int repeats = 0;      // Repeat: how many so far
    bool chatter = false;
    // False: the entry continues the newest line (the same key repeating).
    bool newLine = true;
};

// Keeps what is held and when each key last went down, and turns samples into
// lines: two presses of one key closer than kChatterUs are a switch bouncing
// rather than a finger, and a key's repeats fold into one line.
class KeyPressLog {
public:
    static constexpr qint64 kChatterUs = 30000;

    PressLogEntry add(const PressSample& sample);
    uint8_t heldModifiers() const { return Held; }
    void reset();

private:
    uint8_t Held = 0;
    qint64 LastTimeUs = -1;
    QHash<quint32, qint64> LastPressUs;
    quint32 RepeatingKey = 0;
    int Repeats = 0;
};
