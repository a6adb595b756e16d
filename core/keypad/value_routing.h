#pragma once

#include <cstdint>

// Where a click on an on-screen value button goes, decided from the page in
// front, the record format, the selection and the caption's table index.
enum class ValueRoute {
    NotFound,       // caption is no table entry: nothing is assigned
    NoKeySelected,  // nothing to write to
    Modifier,       // AddModifier
    Media,          // SetMediaKey
    Mouse,          // SetMouseKey
    KeyCode,        // AddKeyCode
    OldLighting,    // SetRgb_Led_Key, needs no selected key
};

ValueRoute routeValueClick(int tableIndex, uint8_t selectedKey, bool currentFormat);

// The delay page swallows releases so its buttons never act as values; on a
// current-format keypad the lighting page handles its own buttons.
enum class ValueFilterStage { Swallow, LeaveToPage, Route };
ValueFilterStage valueFilterStage(int currentPage, bool currentFormat, uint8_t mode);
