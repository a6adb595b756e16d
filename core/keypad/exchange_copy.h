#pragma once

#include "core/keypad/config_store.h"

#include <memory>

class KeypadConfig;

// An exchange run off the window's thread works on a copy of the store taken
// when it was asked for (a save takes what was marked then); the copy lives
// in a KeypadConfig of the worker's own for the length of the exchange. What
// the exchange did is applied to the window's configuration on its thread.

// A configuration holding a copy of `store`; made and dropped on the worker.
std::unique_ptr<KeypadConfig> workingCopy(const ConfigStore& store);

// Takes over what the exchange changed between `before` (the copy it was
// given) and `after` (the copy once it ended): bytes read from the keypad,
// unsaved marks a save cleared, LED layers read or written. A record or LED
// layer the user changed meanwhile keeps the user's bytes and unsaved mark:
// the keypad does not hold that edit. Emits changed() and ledChanged() for
// what the exchange put in; the identity is the caller's to adopt.
void applyExchange(KeypadConfig& config, const ConfigStore& before, const ConfigStore& after);
