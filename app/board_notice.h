#pragma once

#include <QString>

struct KeypadIdentity;

// A keypad that names a board this program has no picture for is drawn as the
// 15-key, 3-knob board; the status line says so, with what the keypad said.
namespace BoardNotice {
// Whether some picture was made for this board (the 15-key, 3-knob board has
// the default one).
bool isKnownBoard(const KeypadIdentity& identity);
// Empty for a known board or a keypad that did not answer.
QString text(const KeypadIdentity& identity, int languageFlag);
}  // namespace BoardNotice
