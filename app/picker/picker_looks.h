#pragma once

#include "core/keypad/model_catalogue.h"

// How the picker shows each board it offers, in the catalogue's picker order.
struct PickerLook {
    const char* button;   // object name of the click target
    const char* label;    // object name of the picture label
    const char* picture;  // resource path of the board picture
};

const PickerLook& pickerLook(int index);  // 0 .. ModelCatalogue::kPickerCount - 1
