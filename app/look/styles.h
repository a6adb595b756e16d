#pragma once

#include "build_config.h"

#include <QString>

// Style sheets the window sets at run time; its form holds the rest.
namespace StatusStyles {
QString connectedStyle();
QString disconnectedStyle(unsigned char variant = Build_Variant);
QString savedNoticeStyle();     // while the saved notice is up
QString savedNoticeEndStyle();  // once its timer ran out
QString saveFailedStyle();
QString recordFullStyle();
QString permissionProblemStyle();
}  // namespace StatusStyles

// A transparent click button over the keypad picture; radius 10 for keys and
// knob arrows, half the knob size for the round knob button.
QString buttonStyleSheet(int radius);
