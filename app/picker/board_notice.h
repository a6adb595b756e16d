#pragma once

#include <QString>

struct WindowState;

class Dialog1;
class KeypadConnection;
class SettingsMenu;
class StatusLine;
struct KeypadIdentity;

// A keypad that names a board this program has no picture for is drawn as the
// 15-key, 3-knob board; the status line says so, with what the keypad said.
namespace BoardNotice {
// Whether some picture was made for this board (the 15-key, 3-knob board has
// the default one).
bool isKnownBoard(const KeypadIdentity& identity);
// Empty for a known board or a keypad that did not answer.
QString text(const KeypadIdentity& identity, int languageFlag);
// On every connection: the note in the status line, and the picker offered in
// the settings menu while the keypad has not said which board it is.
void follow(KeypadConnection& connection, StatusLine& status, SettingsMenu& settings, Dialog1& picker,
            const WindowState& state);
}  // namespace BoardNotice
