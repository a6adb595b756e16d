#pragma once

#include "core/device/simulated_keypad.h"
#include "core/device/simulated_state.h"
#include "core/startup/options.h"

#include <QString>

#include <memory>

// The simulated keypad behind --simulate and --simulate-state, built the same
// way for the window and the command line, so that what one of them saves to
// a state file the other finds there.
class SimulatedSetup {
public:
    enum class Outcome {
        Ready,          // a fresh keypad, or the one the state file holds
        Created,        // the state file did not exist and now holds a fresh keypad
        BoardMismatch,  // the state file holds another board than the one asked for
        Damaged,        // the state file is not a state file; it is left as it is
        Unreadable,     // the state file could not be read, or not be created
        Busy,           // another run holds the state file
    };

    // board: the --simulate board. boardGiven: the board was named on the
    // command line, so a state file holding another one is refused rather
    // than silently used. statePath empty: the keypad forgets everything.
    Outcome setUp(const SimulateOptions& board, bool boardGiven, const QString& statePath);
    // Why setUp did not give Ready or Created, naming the file and the way out.
    const QString& message() const { return message_; }

    // Where a simulated keypad's backups go: beside its state file, never
    // among a real keypad's. Empty without a state file (it keeps none).
    static QString backupFolder(const QString& statePath);

    SimulatedKeypad& keypad() { return *keypad_; }
    // What the program talks to: the keypad, or the keypad writing through to
    // its state file.
    HidTransport& transport();
    // Writes the keypad's memory to the state file if it changed; true when
    // there is none. message() says what went wrong.
    bool flush();

private:
    std::unique_ptr<SimulatedKeypad> keypad_;
    std::unique_ptr<SimulatedStateFile> state_;
    std::unique_ptr<PersistentKeypad> persistent_;
    QString message_;
};

// A keypad leaves the factory lighting its keys in the palette a fresh
// configuration starts with.
void lightFactoryPalette(SimulatedKeypad& keypad);
