#pragma once

#include "core/keypad/record_codec.h"

#include <cstdint>

class QTabWidget;
class QWidget;

// The mouse tab: touch gestures exist from record format 11 on.
namespace MousePage {
constexpr int kTabIndex = 4;
constexpr uint8_t kFirstGestureFormat = kFirstGestureFirmware;
}  // namespace MousePage

// On connection: tab caption and whether the five gesture buttons show.
void setUpMousePage(QWidget* root, QTabWidget* tabs, uint8_t formatByte, int language);
// Gesture captions in the interface language (also on entering the tab).
void setGestureCaptions(QWidget* root, int language);
