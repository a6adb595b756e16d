#pragma once

#include "core/device/device_exchanges.h"
#include "core/keypad/board.h"
#include "core/keypad/keypad_config.h"

#include <QString>

class CliContext;

// The connected keypad's configuration as the commands see it: read whole
// from the keypad, edited, then saved with a read-back that proves the keypad
// holds what was meant. Every step says on standard error what went wrong
// and returns the exit status.
class KeypadWork {
public:
    explicit KeypadWork(CliContext& context);

    // Opens the keypad, asks which board it is, and reads every key record
    // and (current format) LED block the keypad lets us read.
    int load();

    KeypadConfig& config() { return config_; }
    // What the connected keypad can hold: its slots, their names, its firmware's actions.
    Board board() const;

    // Sends every unsaved record and LED block, commits, reads the keypad
    // again and compares. When a write fails, the records that did go are
    // committed all the same (the keypad keeps them); the message lists what
    // went and what did not.
    int save();

private:
    // committed: what a save just committed, named in a failure message.
    int readKeypad(const QString& committed = QString());

    CliContext& context_;
    KeypadConfig config_;
    KeypadImage held_;  // what the keypad held when read, for its backup
};

// The exit status and message for an information query that was not answered.
int identityFailure(CliContext& context, QueryOutcome outcome);
