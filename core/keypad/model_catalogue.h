#pragma once

#include <cstdint>

// Board identities: the six boards offered by the model picker and the
// sixteen models a keypad can be switched to. Widget-free.

struct PickerModel {
    int groupId;           // id in the picker's button group, 1..6
    uint16_t value;        // keys in the low byte, knobs in the high byte
};

struct CatalogueModel {
    int id;                // 1..16, the id the model switch takes
    const char* name;
    uint8_t keys;
    uint8_t knobs;
    uint8_t variant;
    uint16_t value() const { return static_cast<uint16_t>(keys | (knobs << 8)); }
};

namespace ModelCatalogue {
constexpr int kPickerCount = 6;
constexpr int kCatalogueCount = 16;

const PickerModel* pickerModels();  // kPickerCount entries, ordered by group id
const PickerModel* pickerModel(int groupId);  // nullptr outside 1..6

const CatalogueModel* catalogueModel(int id);  // nullptr outside 1..16
}  // namespace ModelCatalogue

// Stores a picker value as the keypad reports it: keys into [0], knobs into [1];
// [2] and [3] keep their values.
void storePickerValue(uint8_t identity[4], uint16_t value);

// Whether the monitor should replace the shown identity by the current one.
// An identity of 0 keys and 0 knobs is never adopted: it is what a keypad
// that has not answered yet looks like, and no layout draws it.
bool shouldAdoptIdentity(const uint8_t cur[4], const uint8_t layout[4]);
