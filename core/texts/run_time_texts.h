#pragma once

#include "build_config.h"

#include <QString>

#include <cstdint>

// Every text the program sets from code (as opposed to the form texts that the
// translation files cover). Language numbers follow Language_Flag: 1 English,
// anything else Chinese.
namespace RunTimeTexts {

inline bool isEnglish(int language) { return language == 1; }
// The text of the language shown, from its two UTF-8 spellings.
inline QString pick(int language, const char* english, const char* chinese)
{
    return QString::fromUtf8(isEnglish(language) ? english : chinese);
}

// Status button.
QString connected(int language);
QString disconnected(int language);
QString saved(int language);    // "Saved successfully"
QString saveFailed(int language);
QString recordFull(int language);  // a value that no longer fits the selected key
// The keypad is on the bus but cannot be opened (no access rights).
QString permissionProblem(int language);
// The keypad is open but takes no report, so nothing can be read or saved.
QString notAnswering(int language);

// Captions of LED_color_1..7 on old-format keypads; colour 1..7 (red..purple).
QString oldFormatColourCaption(int colour, int language);
// Text box after an old-format lighting change: mode name, three spaces and,
// except in the TESSAPLEX build, the colour name.
QString oldFormatLedText(uint8_t ledByte, int language, unsigned char variant = Build_Variant);

// Tab 4: with or without the touch gestures.
QString mouseTabCaption(bool withGestures, int language);
// Gestures in button order: Like, Left, Right, Up, Down swipe (0..4).
constexpr int kGestureCount = 5;
QString gestureCaption(int gesture, int language);

// Old-format single delay, e.g. " 500 MS".
QString oldFormatDelayText(int valueMs);

}  // namespace RunTimeTexts
