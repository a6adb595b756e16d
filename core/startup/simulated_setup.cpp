#include "core/startup/simulated_setup.h"

#include "core/keypad/keypad_config.h"

#include <algorithm>

namespace {

QString boardText(const DeviceInfo& info)
{
    return QStringLiteral("%1,%2,%3,%4").arg(info.keys).arg(info.knobs).arg(info.version).arg(info.variant);
}

}  // namespace

void lightFactoryPalette(SimulatedKeypad& keypad)
{
    // The store's start-up palette itself: a fresh configuration's image()
    // knows no keypad yet, so it shows the older format's lack of LED blocks.
    const KeypadConfig fresh;
    for (int layer = 0; layer < KeypadImage::kLayers; ++layer)
        std::copy(fresh.store().KeyBoard_KeyLed[layer], fresh.store().KeyBoard_KeyLed[layer] + kLedColourBytes,
                  keypad.ledBlocks[layer].colours);
}

QString SimulatedSetup::backupFolder(const QString& statePath)
{
    return statePath.isEmpty() ? QString() : statePath + QStringLiteral(".backups");
}

SimulatedSetup::Outcome SimulatedSetup::setUp(const SimulateOptions& board, bool boardGiven,
                                              const QString& statePath)
{
    const DeviceInfo asked{board.keys, board.knobs, board.version, board.variant};
    keypad_ = std::make_unique<SimulatedKeypad>(asked);
    lightFactoryPalette(*keypad_);
    keypad_->faults.silentInfoQuery = board.silent;
    message_.clear();
    if (statePath.isEmpty())
        return Outcome::Ready;

    state_ = std::make_unique<SimulatedStateFile>(statePath);
    Outcome outcome = Outcome::Ready;
    switch (state_->load(*keypad_)) {
    case SimulatedStateFile::LoadOutcome::Loaded:
        if (boardGiven && !(keypad_->info == asked)) {
            message_ = QStringLiteral("%1 holds a simulated keypad %2 (KEYS,KNOBS,VERSION,VARIANT), not %3.\n"
                                      "Give --simulate without a board to use it, or another --simulate-state file.")
                           .arg(statePath, boardText(keypad_->info), boardText(asked));
            return Outcome::BoardMismatch;
        }
        break;
    case SimulatedStateFile::LoadOutcome::Missing:
        if (!state_->save(*keypad_)) {
            message_ = state_->error();
            return Outcome::Unreadable;
        }
        outcome = Outcome::Created;
        break;
    case SimulatedStateFile::LoadOutcome::Damaged:
        message_ = state_->error();
        return Outcome::Damaged;
    case SimulatedStateFile::LoadOutcome::Unreadable:
        message_ = state_->error();
        return Outcome::Unreadable;
    case SimulatedStateFile::LoadOutcome::Busy:
        message_ = state_->error();
        return Outcome::Busy;
    }
    persistent_ = std::make_unique<PersistentKeypad>(*keypad_, *state_);
    return outcome;
}

HidTransport& SimulatedSetup::transport()
{
    if (persistent_)
        return *persistent_;
    return *keypad_;
}

bool SimulatedSetup::flush()
{
    if (!persistent_ || persistent_->flush())
        return true;
    message_ = state_->error();
    return false;
}
