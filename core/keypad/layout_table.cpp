#include "core/keypad/layout_table.h"

#include <utility>

namespace {

int scaled(double factor, int size) { return static_cast<int>(factor * size); }

struct FracPoint {
    double x, y;
};

struct FracRect {
    double x, y, w, h;
    QRect at(int H) const { return QRect(scaled(x, H), scaled(y, H), scaled(w, H), scaled(h, H)); }
};

// Keys with consecutive indices in consecutive grid columns of one row.
struct KeyRun {
    int row;
    int column;  // of the first key; may be -1 (left of the origin)
    int first;   // button index of the first key
    int count;
    int span = 1;                 // width in keys, the gaps between them included
    double height = 1.0;          // fraction of kh
    bool variantPicture = false;  // the keys' alternative art
    double yKeys = -1.0;          // >= 0: y = Y0 + yKeys*kh + yGaps*gy instead of the row
    int yGaps = 0;
};

// One knob: turn-left button, round press button, turn-right button. Index 0
// means the part is not drawn. Positions are the top-left corners in units of H.
struct Cluster {
    int left, middle, right;
    int kdSlot;  // 1..4: which knob size of the layout
    FracPoint leftAt, middleAt, rightAt;
    double sideScale = 0.6;     // arrow size as a fraction of kd
    bool variantSides = false;  // the alternative arrow art
};

struct KeypadLayout {
    int id;
    double f, gx, gy;  // key size and gaps, fractions of H
    FracPoint origin;
    std::vector<KeyRun> keys;
    std::array<double, 4> kd;  // knob sizes as multiples of kw
    std::vector<Cluster> clusters;
    FracRect plate;
    FracRect textBox;
    int shiftedLabel = 0;  // index of the one label that sits higher than its button
    double shiftedLabelY = 0.0;
    FracRect qr = {0, 0, 0, 0};  // w == 0: no QR-code label
};

// Knob-only boards with one knob: arrows at the plate's corners around the
// knob, the lower pair using the second arrow pictures.
std::vector<Cluster> oneKnobBoard(int left, int middle, int right, int left2, int right2)
{
    return {
        {left, middle, right, 1, {0.387, 0.131}, {0.463, 0.207}, {0.589, 0.131}},
        {left2, 0, right2, 2, {0.387, 0.333}, {0, 0}, {0.589, 0.333}, 0.6, true},
    };
}

// Clusters beside 3-column or 4-column key blocks: two small knobs side by
// side, the large third knob under them.
const std::vector<Cluster> kThreeKnobsBeside3Columns = {
    {16, 17, 18, 1, {0.526, 0.09}, {0.541, 0.155}, {0.596, 0.09}},
    {19, 20, 21, 2, {0.686, 0.09}, {0.701, 0.155}, {0.756, 0.09}},
    {22, 23, 24, 3, {0.523, 0.321}, {0.606, 0.265}, {0.743, 0.321}},
};

std::vector<Cluster> threeKnobsBeside4Columns(int first)
{
    return {
        {first, first + 1, first + 2, 1, {0.556, 0.09}, {0.571, 0.155}, {0.626, 0.09}},
        {first + 3, first + 4, first + 5, 2, {0.706, 0.09}, {0.721, 0.155}, {0.776, 0.09}},
        {first + 6, first + 7, first + 8, 3, {0.546, 0.321}, {0.629, 0.265}, {0.766, 0.321}},
    };
}

// Four knobs in two rows of two to the right of the keys (dx shifts the block).
std::vector<Cluster> fourKnobs(double dx)
{
    return {
        {16, 17, 18, 1, {0.538 + dx, 0.075}, {0.553 + dx, 0.14}, {0.608 + dx, 0.075}},
        {19, 20, 21, 2, {0.758 + dx, 0.075}, {0.773 + dx, 0.14}, {0.828 + dx, 0.075}},
        {22, 23, 24, 3, {0.52 + dx, 0.255}, {0.539 + dx, 0.337}, {0.61 + dx, 0.255}},
        {13, 14, 15, 4, {0.74 + dx, 0.255}, {0.759 + dx, 0.337}, {0.83 + dx, 0.255}},
    };
}

const std::vector<KeyRun> kTwoRowsOf3 = {{0, 0, 1, 3}, {1, 0, 4, 3}};
const std::vector<KeyRun> kThreeRowsOf3 = {{0, 0, 1, 3}, {1, 0, 4, 3}, {2, 0, 7, 3}};
const std::vector<KeyRun> kThreeRowsOf4 = {{0, 0, 1, 4}, {1, 0, 5, 4}, {2, 0, 9, 4}};
const std::vector<KeyRun> kFourRowsOf4 = {{0, 0, 1, 4}, {1, 0, 5, 4}, {2, 0, 9, 4}, {3, 0, 13, 4}};

const FracRect kOneKnobPlate = {0.385, 0.13, 0.28, 0.28};
const FracRect kOneKnobText = {0.75, 0.16, 0.2, 0.22};
const FracRect kOneRowText = {0.9, 0.16, 0.2, 0.22};
const FracRect kSixKeyTwoKnobPlate = {0.315, 0.05, 0.45, 0.43};
const FracRect kSixKeyTwoKnobText = {0.82, 0.1, 0.2, 0.35};

// The 31 pictures. Only the default picture (31), the extra arrows of 3, the
// knob row of 9 (x only) and the right arrow of 30 (y only) come with fixed
// knob positions; every other knob position below was chosen here so that the
// clusters sit inside the plate, beside or above the keys, and touch neither
// the keys nor each other at any window height (the tests check this).
const std::vector<KeypadLayout>& keypadLayouts()
{
    static const std::vector<KeypadLayout> layouts = {
        {1, 0.1, 0.04, 0.025, {0, 0}, {}, {1.25, 1.25},
         oneKnobBoard(16, 17, 18, 19, 21), kOneKnobPlate, kOneKnobText},
        {2, 0.1, 0.04, 0.025, {0, 0}, {}, {1.25, 1.25},
         oneKnobBoard(2, 3, 4, 5, 6), kOneKnobPlate, kOneKnobText},
        {3, 0.1, 0.04, 0.025, {0, 0}, {}, {1.25, 1.25},
         [] {
             auto c = oneKnobBoard(2, 3, 4, 5, 6);
             c.push_back({7, 0, 8, 1, {0.28, 0.16}, {0, 0}, {0.677, 0.16}, 0.75});
             return c;
         }(),
         kOneKnobPlate, {0.8, 0.16, 0.2, 0.22}},
        {4, 0.1, 0.04, 0.025, {0, 0}, {}, {1.25, 1.25},
         {{16, 17, 18, 1, {0.294, 0.17}, {0.313, 0.25}, {0.381, 0.17}},
          {19, 20, 21, 2, {0.484, 0.17}, {0.503, 0.25}, {0.572, 0.17}}},
         {0.185, 0.13, 0.57, 0.28}, {0.85, 0.16, 0.2, 0.22}},
        {5, 0.1, 0.04, 0.025, {0, 0}, {}, {1.25, 1.25, 1.25},
         {{16, 17, 18, 1, {0.182, 0.155}, {0.201, 0.235}, {0.269, 0.155}},
          {19, 20, 21, 2, {0.459, 0.155}, {0.478, 0.235}, {0.546, 0.155}},
          {22, 23, 24, 3, {0.736, 0.155}, {0.755, 0.235}, {0.824, 0.155}}},
         {0.125, 0.13, 0.83, 0.25}, {1.0, 0.15, 0.2, 0.22}},
        {6, 0.1, 0.04, 0.025, {0.42, 0.225}, {{0, 0, 1, 1}}, {}, {},
         {0.33, 0.16, 0.28, 0.22}, kOneRowText},
        {7, 0.1, 0.04, 0.025, {0.4, 0.225}, {{0, 0, 1, 2}}, {}, {},
         {0.33, 0.16, 0.38, 0.22}, kOneRowText},
        {8, 0.1, 0.05, 0.025, {0.25, 0.225}, {{0, 0, 1, 3}}, {}, {},
         {0.15, 0.16, 0.6, 0.22}, kOneRowText},
        {9, 0.1, 0.04, 0.025, {0.2, 0.225}, {{0, 0, 1, 3}}, {1.25},
         {{16, 17, 18, 1, {0.585, 0.17}, {0.64, 0.245}, {0.745, 0.17}}},
         {0.15, 0.16, 0.7, 0.22}, kOneRowText},
        {10, 0.12, 0.035, 0.035, {0.206, 0.2105}, {{0, 0, 1, 4}}, {}, {},
         {0.15, 0.16, 0.7, 0.22}, kOneRowText},
        {11, 0.08, 0.025, 0.025, {0.18, 0.23}, {{0, 0, 1, 4}}, {1.25},
         {{16, 17, 18, 1, {0.65, 0.19}, {0.665, 0.255}, {0.72, 0.19}}},
         {0.15, 0.16, 0.7, 0.22}, kOneRowText},
        {12, 0.08, 0.025, 0.025, {0.29, 0.23}, {{0, 2, 1, 1}, {1, 1, 2, 3}}, {1.25},
         {{16, 17, 18, 1, {0.429, 0.146}, {0.49, 0.105}, {0.591, 0.146}}},
         {0.34, 0.08, 0.4, 0.36}, {0.8, 0.11, 0.2, 0.3}},
        // kd equals kw here: 0.11 H
        {13, 0.11, 0.04, 0.025, {0.22, 0.31}, {{0, 0, 1, 4}}, {1.0, 1.0, 1.0},
         {{16, 17, 18, 1, {0.195, 0.117}, {0.212, 0.188}, {0.272, 0.117}},
          {19, 20, 21, 2, {0.429, 0.117}, {0.446, 0.188}, {0.506, 0.117}},
          {22, 23, 24, 3, {0.662, 0.117}, {0.678, 0.188}, {0.739, 0.117}}},
         {0.15, 0.1, 0.7, 0.35}, {0.9, 0.12, 0.2, 0.3}},
        {14, 0.1, 0.05, 0.05, {0.19, 0.22}, {{0, 0, 1, 5}}, {}, {},
         {0.13, 0.13, 0.82, 0.29}, {1.0, 0.1, 0.15, 0.35}},
        {15, 0.13, 0.04, 0.04, {0.31, 0.126}, kTwoRowsOf3, {}, {},
         {0.245, 0.085, 0.6, 0.38}, {0.9, 0.1, 0.2, 0.35}},
        {16, 0.1, 0.03, 0.03, {0.29, 0.16}, kTwoRowsOf3, {1.25},
         {{16, 17, 18, 1, {0.704, 0.17}, {0.723, 0.25}, {0.791, 0.17}}},
         {0.22, 0.1, 0.7, 0.35}, {1.0, 0.1, 0.15, 0.35}},
        {17, 0.09, 0.025, 0.025, {0.38, 0.245}, kTwoRowsOf3, {1.2, 1.2},
         {{16, 17, 18, 1, {0.38, 0.058}, {0.396, 0.128}, {0.456, 0.058}},
          {19, 20, 21, 2, {0.56, 0.058}, {0.576, 0.128}, {0.636, 0.058}}},
         kSixKeyTwoKnobPlate, kSixKeyTwoKnobText, 0, 0.0, {1.08, 0.24, 0.2, 0.2}},
        {18, 0.09, 0.025, 0.025, {0.38, 0.245}, kTwoRowsOf3, {1.2, 1.2},
         {{16, 17, 18, 1, {0.38, 0.058}, {0.396, 0.128}, {0.456, 0.058}},
          {19, 20, 21, 2, {0.56, 0.058}, {0.576, 0.128}, {0.636, 0.058}}},
         kSixKeyTwoKnobPlate, kSixKeyTwoKnobText},
        {19, 0.08, 0.015, 0.015, {0.49, 0.14}, kThreeRowsOf3, {}, {},
         {0.43, 0.1, 0.39, 0.35}, {0.9, 0.1, 0.15, 0.35}},
        {20, 0.08, 0.015, 0.015, {0.26, 0.13}, kThreeRowsOf3, {1.25, 1.25},
         {{16, 17, 18, 1, {0.56, 0.183}, {0.575, 0.248}, {0.63, 0.183}},
          {19, 20, 21, 2, {0.7, 0.183}, {0.715, 0.248}, {0.77, 0.183}}},
         {0.22, 0.09, 0.62, 0.35}, {0.9, 0.1, 0.15, 0.33}},
        {21, 0.08, 0.015, 0.015, {0.24, 0.09}, kThreeRowsOf3, {1.25, 1.25, 1.7},
         kThreeKnobsBeside3Columns, {0.2, 0.06, 0.65, 0.41}, {0.9, 0.1, 0.15, 0.35}},
        // Key 7 spans two columns; the bottom row is three quarters high.
        {22, 0.08, 0.01, 0.01, {0.25, 0.09},
         {{0, 0, 1, 3}, {1, 0, 4, 3}, {2, 0, 7, 1, 2, 1.0, true}, {2, 2, 8, 1},
          {3, 0, 9, 3, 1, 0.75, true}},
         {1.25, 1.25, 1.7}, kThreeKnobsBeside3Columns, {0.2, 0.06, 0.67, 0.41},
         {0.9, 0.1, 0.15, 0.35}},
        {23, 0.08, 0.01, 0.01, {0.3, 0.14}, kThreeRowsOf4, {}, {},
         {0.27, 0.1, 0.41, 0.34}, {0.8, 0.1, 0.25, 0.34}},
        {24, 0.08, 0.01, 0.01, {0.2, 0.14}, kThreeRowsOf4, {1.25, 1.25},
         {{16, 17, 18, 1, {0.575, 0.188}, {0.59, 0.253}, {0.645, 0.188}},
          {19, 20, 21, 2, {0.71, 0.188}, {0.725, 0.253}, {0.78, 0.188}}},
         {0.15, 0.1, 0.7, 0.34}, {0.9, 0.1, 0.15, 0.34}},
        {25, 0.08, 0.01, 0.01, {0.19, 0.09}, kThreeRowsOf4, {1.25, 1.25, 1.7},
         threeKnobsBeside4Columns(16), {0.15, 0.06, 0.7, 0.41}, {0.9, 0.1, 0.15, 0.35}},
        {26, 0.08, 0.01, 0.01, {0.19, 0.09},
         {{0, 0, 1, 3}, {1, 0, 4, 3}, {2, 0, 7, 3}, {3, 0, 10, 3}}, {1.25, 1.25, 1.6, 1.6},
         fourKnobs(0.0), {0.15, 0.06, 0.8, 0.41}, {1.0, 0.1, 0.15, 0.35}},
        {27, 0.08, 0.01, 0.01, {0.13, 0.09}, kThreeRowsOf4, {1.25, 1.25, 1.6, 1.6},
         fourKnobs(0.02), {0.1, 0.06, 0.86, 0.41}, {1.0, 0.1, 0.15, 0.35}},
        {28, 0.08, 0.01, 0.01, {0.35, 0.09}, kFourRowsOf4, {}, {},
         {0.32, 0.06, 0.41, 0.41}, {0.8, 0.1, 0.25, 0.35}},
        {29, 0.08, 0.01, 0.01, {0.19, 0.09}, kFourRowsOf4, {1.25, 1.25, 1.7},
         threeKnobsBeside4Columns(17), {0.15, 0.06, 0.7, 0.41}, {0.9, 0.1, 0.15, 0.35}},
        // Keys 10 and 15 stand left of the grid, 20 right of it; key 9 sits
        // half a row lower than row 1, beside 5-8.
        {30, 0.07, 0.008, 0.008, {0.42, 0.075},
         {{0, 0, 1, 4}, {1, 0, 5, 4}, {2, -1, 10, 1}, {2, 0, 11, 4}, {3, -1, 15, 1},
          {3, 0, 16, 4}, {3, 4, 20, 1}, {4, 3, 21, 1}, {0, 4, 9, 1, 1, 1.0, false, 1.5, 2}},
         {1.15, 1.15, 1.5, 1.5},
         {{24, 23, 22, 3, {0.2, 0.079}, {0.216, 0.147}, {0.274, 0.079}}},
         {0.15, 0.05, 0.7, 0.43}, {0.88, 0.1, 0.22, 0.35}, 22, 0.074},
        {31, 0.08, 0.01, 0.01, {0.169, 0.15}, {{0, 0, 1, 5}, {1, 0, 6, 5}, {2, 0, 11, 5}},
         {1.25, 1.25, 1.7},
         {{16, 17, 18, 1, {0.625, 0.111}, {0.64, 0.16}, {0.695, 0.111}},
          {19, 20, 21, 2, {0.785, 0.111}, {0.8, 0.16}, {0.855, 0.111}},
          {22, 23, 24, 3, {0.622, 0.326}, {0.705, 0.27}, {0.843, 0.326}}},
         {0.13, 0.1, 0.82, 0.35}, {1.0, 0.1, 0.15, 0.35}, 24, 0.321},
    };
    return layouts;
}

void addButton(LayoutPlacement& out, int index, const QRect& rect, ButtonArt art, bool alternativeArt,
               ButtonShape shape = ButtonShape::Key, int radius = kKeyRadius)
{
    if (index < 1 || index > kPictureButtons)
        return;
    ButtonPlacement b;
    b.index = index;
    b.button = rect;
    b.label = rect;
    b.art = art;
    b.alternativeArt = alternativeArt;
    b.shape = shape;
    b.radius = radius;
    out.buttons.push_back(b);
    out.used[static_cast<size_t>(index)] = true;
}

}  // namespace

int chooseLayout(int keys, int knobs, int version, int variant, uint16_t productId,
                 int buildVariant)
{
    const int K = keys, N = knobs, V = version, B = variant;
    switch (K) {
    case 0:
        if (N == 1)
            return V <= 9 ? 1 : (B != 1 ? 2 : 3);
        if (N == 2)
            return productId == kProductTwoKnobPad ? 4 : 1;
        if (N == 3)
            return 5;
        break;
    case 1:
        if (N == 0)
            return 6;
        break;
    case 2:
        if (N == 0)
            return 7;
        break;
    case 3:
        if (N == 0)
            return 8;
        if (N == 1)
            return 9;
        break;
    case 4:
        if (N == 0)
            return 10;
        if (N == 1) {
            if (V == 0 && productId != kProductFourKeyOneKnobPad)
                return 11;
            if (V == 0 || V == 1)
                return 12;
        }
        if (N == 3)
            return 13;
        break;
    case 5:
        if (N == 0)
            return 14;
        break;
    case 6:
        if (N == 0)
            return 15;
        if (N == 1)
            return 16;
        if (N == 2)
            return buildVariant == 1 ? 17 : 18;
        break;
    case 9:
        if (N == 0)
            return 19;
        if (N == 2)
            return 20;
        if (N == 3)
            return 21;
        break;
    case 11:
        if (N == 3)
            return 22;
        break;
    case 12:
        if (N == 0)
            return 23;
        if (N == 2)
            return 24;
        if (N == 3)
            return 25;
        if (N == 4)
            return buildVariant == 1 ? 26 : 27;
        break;
    case 16:
        if (N == 0)
            return 28;
        if (N == 3)
            return 29;
        break;
    case 21:
        if (N == 1)
            return 30;
        break;
    default:
        break;
    }
    return kDefaultLayout;
}

std::vector<PictureSlot> layoutSlots(int layoutId)
{
    std::vector<PictureSlot> out;
    if (layoutId < 1 || layoutId > kLayoutCount)
        return out;
    const KeypadLayout& shape = keypadLayouts()[static_cast<size_t>(layoutId - 1)];
    for (const KeyRun& run : shape.keys)
        for (int i = 0; i < run.count; ++i)
            out.push_back({run.first + i, PictureRole::Key, 0});
    int knob = 0;
    for (const Cluster& c : shape.clusters) {
        ++knob;
        for (const auto& [index, role] : {std::pair<int, PictureRole>{c.left, PictureRole::KnobLeft},
                                          {c.middle, PictureRole::KnobPress},
                                          {c.right, PictureRole::KnobRight}})
            if (index >= 1 && index <= kPictureButtons)
                out.push_back({index, role, knob});
    }
    return out;
}

const ButtonPlacement* LayoutPlacement::find(int index) const
{
    for (const ButtonPlacement& b : buttons)
        if (b.index == index)
            return &b;
    return nullptr;
}

LayoutPlacement computeLayout(int layoutId, int W, int H)
{
    Q_UNUSED(W);  // the keypad picture follows the height alone
    LayoutPlacement out;
    if (layoutId < 1 || layoutId > kLayoutCount)
        return out;
    const KeypadLayout& shape = keypadLayouts()[static_cast<size_t>(layoutId - 1)];
    out.layout = shape.id;

    const int kw = scaled(shape.f, H);
    const int kh = kw;
    out.kw = kw;
    out.gx = scaled(shape.gx, H);
    out.gy = scaled(shape.gy, H);
    for (size_t i = 0; i < out.kd.size(); ++i)
        out.kd[i] = scaled(shape.kd[i], kw);
    out.plate = shape.plate.at(H);
    out.textBox = shape.textBox.at(H);

    const int x0 = scaled(shape.origin.x, H);
    const int y0 = scaled(shape.origin.y, H);
    for (const KeyRun& run : shape.keys) {
        const int y = run.yKeys >= 0 ? y0 + scaled(run.yKeys, kh) + run.yGaps * out.gy
                                     : y0 + run.row * (kh + out.gy);
        const int width = run.span * kw + (run.span - 1) * out.gx;
        const int height = scaled(run.height, kh);
        for (int i = 0; i < run.count; ++i) {
            const int x = x0 + (run.column + i) * (kw + out.gx);
            const int index = run.first + i;
            addButton(out, index, QRect(x, y, width, height), ButtonArt::Key, run.variantPicture);
        }
    }

    for (const Cluster& c : shape.clusters) {
        const int kd = out.kd[static_cast<size_t>(c.kdSlot - 1)];
        const int side = scaled(c.sideScale, kd);
        if (c.left)
            addButton(out, c.left,
                      QRect(scaled(c.leftAt.x, H), scaled(c.leftAt.y, H), side, side),
                      ButtonArt::LeftArrow, c.variantSides);
        if (c.middle)
            addButton(out, c.middle,
                      QRect(scaled(c.middleAt.x, H), scaled(c.middleAt.y, H), kd, kd),
                      ButtonArt::Knob, false, ButtonShape::RoundKnob, kd / 2);
        if (c.right)
            addButton(out, c.right,
                      QRect(scaled(c.rightAt.x, H), scaled(c.rightAt.y, H), side, side),
                      ButtonArt::RightArrow, c.variantSides);
    }

    if (shape.shiftedLabel) {
        for (ButtonPlacement& b : out.buttons)
            if (b.index == shape.shiftedLabel)
                b.label.moveTop(scaled(shape.shiftedLabelY, H));
    }
    if (shape.qr.w > 0) {
        out.hasQrLabel = true;
        out.qrLabel = shape.qr.at(H);
    }
    return out;
}

std::vector<ControlRect> computeFixedControls(int W, int H)
{
    auto r = [W, H](double x, double y, double w, double h) {
        return QRect(scaled(x, W), scaled(y, H), scaled(w, W), scaled(h, H));
    };
    const int layerSide = scaled(0.035, H);
    return {
        {FixedControl::Status, QRect(0, 0, W, scaled(0.035, H))},
        {FixedControl::ActionFrame, r(0.86, 0.03, 0.135, 0.47)},
        {FixedControl::Clear, r(0.8725, 0.11, 0.11, 0.07)},
        {FixedControl::ClearAll, r(0.8725, 0.19, 0.11, 0.07)},
        {FixedControl::Read, r(0.8725, 0.27, 0.11, 0.07)},
        {FixedControl::Save, r(0.8725, 0.35, 0.11, 0.07)},
        {FixedControl::Export, r(0.8725, 0.43, 0.053, 0.05)},
        {FixedControl::Import, r(0.9295, 0.43, 0.053, 0.05)},
        {FixedControl::LayerLabel, r(0.675, 0.04, 0.045, 0.035)},
        {FixedControl::Layer1, QRect(scaled(0.72, W), scaled(0.04, H), layerSide, layerSide)},
        {FixedControl::Layer2, QRect(scaled(0.75, W), scaled(0.04, H), layerSide, layerSide)},
        {FixedControl::Layer3, QRect(scaled(0.78, W), scaled(0.04, H), layerSide, layerSide)},
        {FixedControl::SelectedKey, r(0.007, 0.458, 0.068, 0.04)},
        {FixedControl::TextBox, r(0.078, 0.458, 0.915, 0.04)},
        {FixedControl::Pages, r(0.006, 0.5, 0.988, 0.5)},
        // Above the action buttons, inside the frame: the language button and
        // the square settings button flush with the right edge of the column.
        {FixedControl::Language, r(0.8725, 0.04, 0.07, 0.05)},
        {FixedControl::Settings, QRect(scaled(0.9825, W) - scaled(0.05, H), scaled(0.04, H), scaled(0.05, H), scaled(0.05, H))},
    };
}

PickerPlacement computePickerPlacement(int W, int H)
{
    auto r = [W, H](double x, double y, double w, double h) {
        return QRect(scaled(x, W), scaled(y, H), scaled(w, W), scaled(h, H));
    };
    PickerPlacement p;
    p.dialog = r(0.1, 0.25, 0.79, 0.6);
    const QRect board12 = r(0.03, 0.08, 0.2, 0.15);
    const QRect board5 = r(0.28, 0.08, 0.2, 0.15);
    const QRect board3 = r(0.55, 0.08, 0.2, 0.15);
    const QRect board6k2 = r(0.047, 0.3, 0.25, 0.25);
    const QRect board6 = r(0.28, 0.31, 0.23, 0.23);
    const QRect board9 = r(0.56, 0.31, 0.25, 0.25);
    p.title = r(0.22, 0.02, 0.3, 0.04);
    p.boards = {board12, board5, board3, board6k2, board6, board9};
    return p;
}
