#pragma once

#include <QMap>
#include <QString>

#include <cstdint>

// Every assignable value: a code byte with a Chinese and an English caption.
// Language numbers follow Language_Flag: 1 English, anything else Chinese.

class Board;

struct KeyEntry {
    uint8_t code;
    const char* chinese;  // UTF-8
    const char* english;  // UTF-8
};

enum class KeyGroup { Modifier, Multimedia, Lighting, Mouse, Keyboard, None };

namespace KeyTable {
constexpr int kSize = 224;
constexpr int kNullIndex = 223;
extern const uint8_t GroupBounds[10];  // 0, 40, 41, 81, 82, 95, 96, 111, 112, 224

const KeyEntry& entry(int index);
uint8_t code(int index);
QString caption(int index, int language);
KeyGroup groupOf(int index);
// First index in [first, last] whose code equals code, or -1.
int findCode(uint8_t code, int first, int last);

// ids 1..27; with a board, a slot it has is named as its picture shows it
// (K16 of a 21-key board is "KEY16", its knob's left turn "k1_left").
QString physicalKeyName(int keyId, int language, const Board* board = nullptr);
QString colourName(int colour, int language);      // 1..7
QString ledModeName(int mode, int language);       // 0..5
QString modifierPrefix(uint8_t pseudoCode);        // 0xF1..0xF8, else empty
}  // namespace KeyTable

// NameToIndex: caption -> index, filled per language and never emptied, so
// after a switch both caption sets resolve.
class CaptionLookup {
public:
    void rebuild(int language);  // insert-or-overwrite, in index order
    int indexOf(const QString& caption) const;  // -1 when not found
    int size() const { return NameToIndex.size(); }
    QMap<QString, int> NameToIndex;
};
