#include "core/keypad/key_press_log.h"

namespace {

quint32 identity(const PressSample& s)
{
    switch (s.kind) {
    case Stroke::Kind::Key: return 0x10000u | s.usage;
    case Stroke::Kind::Consumer: return 0x20000u | s.usage;
    case Stroke::Kind::Mouse: return s.wheel != 0 ? 0x40000u | uint8_t(s.wheel) : 0x30000u | s.button;
    default: return 0;
    }
}

// Both hands of each modifier: Ctrl, Shift, Alt, Win.
constexpr uint8_t kPairs[4] = {0x11, 0x22, 0x44, 0x88};

uint8_t reconciled(uint8_t held, uint8_t said)
{
    for (uint8_t pair : kPairs) {
        const uint8_t left = pair & 0x0F;
        if (!(said & left))
            held &= uint8_t(~pair);
        else if (!(held & pair))
            held |= left;
    }
    return held;
}

}  // namespace

PressLogEntry KeyPressLog::add(const PressSample& sample)
{
    PressLogEntry entry;
    entry.action = sample.action;
    entry.sinceUs = LastTimeUs < 0 ? -1 : sample.timeUs - LastTimeUs;
    LastTimeUs = sample.timeUs;
    const quint32 key = identity(sample);
    const uint8_t bit = sample.kind == Stroke::Kind::Key ? KeyMatch::modifierBitOfUsage(sample.usage) : 0;

    if (sample.action == PressSample::Action::Repeat) {
        Repeats = key == RepeatingKey ? Repeats + 1 : 1;
        entry.newLine = key != RepeatingKey;
        RepeatingKey = key;
        entry.repeats = Repeats;
    } else {
        RepeatingKey = 0;
        Repeats = 0;
    }

    if (sample.action == PressSample::Action::Press) {
        if (bit != 0)
            Held |= bit;
        else if (sample.modifiersSaid)
            Held = reconciled(Held, *sample.modifiersSaid);
        const auto last = LastPressUs.constFind(key);
        entry.chatter = sample.wheel == 0 && last != LastPressUs.constEnd() && sample.timeUs - *last < kChatterUs;
        LastPressUs.insert(key, sample.timeUs);
        // The repeats that follow belong to this key's line.
        RepeatingKey = key;
    } else if (sample.action == PressSample::Action::Release && bit != 0) {
        Held &= uint8_t(~bit);
    }

    const bool press = sample.action == PressSample::Action::Press;
    switch (sample.kind) {
    case Stroke::Kind::Key:
        if (bit != 0)
            entry.stroke = Stroke::key(press ? Held : bit, 0);
        else
            entry.stroke = Stroke::key(press ? Held : 0, sample.usage);
        break;
    case Stroke::Kind::Consumer:
        entry.stroke = Stroke::consumer(sample.usage);
        break;
    case Stroke::Kind::Mouse:
        // The keypad sends a wheel step with Ctrl, Shift or Alt alone.
        entry.stroke = Stroke::mouse(press ? uint8_t(Held & 0x07) : 0, sample.button, sample.wheel);
        break;
    default:
        break;
    }
    return entry;
}

void KeyPressLog::reset()
{
    *this = KeyPressLog();
}
