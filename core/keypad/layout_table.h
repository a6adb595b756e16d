#pragma once

#include "core/keypad/model_catalogue.h"

#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// Geometry of the keypad picture and of the window's fixed controls, as plain
// data computed from the window size. Widget-free: the widgets only copy these
// rectangles, so everything here is testable without a screen.
//
// Every length is a fraction of the window height H (the keypad picture) or
// of W and H (the fixed controls), truncated toward zero once; grid steps are
// then added in whole pixels.

constexpr int kLayoutCount = 31;
constexpr int kDefaultLayout = 31;
constexpr int kPictureButtons = 25;  // pushButton_K1..K25 take part in layouts
constexpr int kAllButtons = 27;      // K26 and K27 exist on the form but stay hidden

constexpr uint16_t kProductTwoKnobPad = 0x8850;
constexpr uint16_t kProductFourKeyOneKnobPad = 0x8851;

// Which of the 31 pictures shows a board. First match wins; everything not
// listed (15 keys with 3 knobs among them) is the default picture.
int chooseLayout(int keys, int knobs, int version, int variant, uint16_t productId,
                 int buildVariant);

// What each button of a picture stands for: a key, or the left turn, press or
// right turn of a knob (numbered in the picture's order, from 1). The board a
// keypad has is the one its picture shows, so this is where the slots of a
// board come from.
enum class PictureRole { Key, KnobLeft, KnobPress, KnobRight };
struct PictureSlot {
    int index = 0;  // button index = record slot
    PictureRole role = PictureRole::Key;
    int knob = 0;   // 1.. for knob parts, 0 for keys
};
std::vector<PictureSlot> layoutSlots(int layoutId);  // empty outside 1..31

// Corner radius of a click button: 10 for keys and knob arrows, half the knob
// size for the round knob button.
constexpr int kKeyRadius = 10;

enum class ButtonShape { Key, RoundKnob };
// What a label shows: the key's own cap, a knob's turn arrow or the knob.
// Boards with a second knob row draw its arrows (and some keys) in the
// alternative art.
enum class ButtonArt { Key, LeftArrow, RightArrow, Knob };

struct ButtonPlacement {
    int index = 0;     // n of pushButton_Kn / pushButton_Kn_BK
    QRect button;
    QRect label;       // the picture; equals button except for two shifted labels
    ButtonArt art = ButtonArt::Key;
    bool alternativeArt = false;
    ButtonShape shape = ButtonShape::Key;
    int radius = kKeyRadius;
};

struct LayoutPlacement {
    int layout = 0;
    int kw = 0, gx = 0, gy = 0;
    std::array<int, 4> kd{};
    QRect plate;    // ALL_KEY_BK
    QRect textBox;  // lineEdit
    std::vector<ButtonPlacement> buttons;
    std::array<bool, kAllButtons + 1> used{};  // by button index, [0] unused
    bool hasQrLabel = false;
    QRect qrLabel;

    const ButtonPlacement* find(int index) const;
};

// An empty placement (layout 0) for an id outside 1..31.
LayoutPlacement computeLayout(int layoutId, int W, int H);

// The main window's controls that do not belong to the keypad picture: the
// status bar, the action column (its frame, clear, clear all, read, save,
// export, import), the layer label and buttons, the selected key's button, the
// text box, the pages, the language and the settings buttons.
enum class FixedControl {
    Status, ActionFrame, Clear, ClearAll, Read, Save, Export, Import, LayerLabel, Layer1, Layer2, Layer3,
    SelectedKey, TextBox, Pages, Language, Settings
};
struct ControlRect {
    FixedControl id;
    QRect rect;
};
std::vector<ControlRect> computeFixedControls(int W, int H);

struct PickerPlacement {
    QRect dialog;  // relative to the main window's top-left corner
    QRect title;   // this and the boards relative to the dialog
    std::array<QRect, ModelCatalogue::kPickerCount> boards;  // picture and click target, in picker order
};

PickerPlacement computePickerPlacement(int W, int H);
