#pragma once

#include <QString>
#include <QVariant>

#include <array>
#include <vector>

// The shortcuts of the "Procreate" quick-menu page. Codes are slot codes:
// HID keyboard usages, or 0xF2 Shift / 0xF3 Alt / 0xF4 Win, modifiers first.
struct QuickMenuEntry {
    int id;  // 1..31, also the grid position
    const char* english;
    const char* chinese;
    int codeCount;  // 1..3
    std::array<int, 3> codes;
};

namespace QuickMenu {

constexpr int kEntryCount = 31;
constexpr int kColumns = 8;
inline const char* tabText() { return "Procreate"; }

const std::array<QuickMenuEntry, kEntryCount>& entries();
QString caption(const QuickMenuEntry& entry, int language);  // English when language is 1

// The "data-value" property of a button: one int, or a list of two or three.
QVariant dataValue(const QuickMenuEntry& entry);

}  // namespace QuickMenu

// Codes a "data-value" stands for: an integer, or a list of 2 or 3 integers,
// each a byte value. Anything else yields nothing, so nothing gets stored.
std::vector<int> dataValueCodes(const QVariant& value);
