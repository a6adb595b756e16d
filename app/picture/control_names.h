#pragma once

#include "core/keypad/layout_table.h"

// The form's object name of each control the layout table places.
const char* controlObjectName(FixedControl control);
