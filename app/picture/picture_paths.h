#pragma once

#include "core/keypad/layout_table.h"

#include <QString>

// The resource picture of what the layout table places on a label.
QString picturePath(const ButtonPlacement& placement);
QString qrCodePicturePath();
