#include "core/keypad/key_match.h"

#include "core/keypad/config_store.h"
#include "core/keypad/key_table.h"
#include "core/keypad/record_render.h"

#include <QtGlobal>

namespace {

constexpr int kFirstModifierIndex = 0;
constexpr int kLastSingleModifierIndex = 7;
constexpr int kFirstMultimedia = 41;
constexpr int kLastMultimedia = 81;
constexpr int kFirstKeyboard = 112;
constexpr int kLastKeyboard = 222;  // 223 is "NULL"
constexpr uint8_t kFirstModifierEntry = 0xF1;
constexpr uint8_t kLastModifierEntry = 0xF8;

struct CodeUsage {
    int code;
    uint16_t usage;
};

// The kernel's key codes of a USB keyboard's usages, as its HID driver maps them.
const CodeUsage kEvdevKeyboard[] = {
    {30, 0x04}, {48, 0x05}, {46, 0x06}, {32, 0x07}, {18, 0x08}, {33, 0x09}, {34, 0x0A}, {35, 0x0B},
    {23, 0x0C}, {36, 0x0D}, {37, 0x0E}, {38, 0x0F}, {50, 0x10}, {49, 0x11}, {24, 0x12}, {25, 0x13},
    {16, 0x14}, {19, 0x15}, {31, 0x16}, {20, 0x17}, {22, 0x18}, {47, 0x19}, {17, 0x1A}, {45, 0x1B},
    {21, 0x1C}, {44, 0x1D}, {2, 0x1E},  {3, 0x1F},  {4, 0x20},  {5, 0x21},  {6, 0x22},  {7, 0x23},
    {8, 0x24},  {9, 0x25},  {10, 0x26}, {11, 0x27}, {28, 0x28}, {1, 0x29},  {14, 0x2A}, {15, 0x2B},
    {57, 0x2C}, {12, 0x2D}, {13, 0x2E}, {26, 0x2F}, {27, 0x30}, {43, 0x31}, {39, 0x33}, {40, 0x34},
    {41, 0x35}, {51, 0x36}, {52, 0x37}, {53, 0x38}, {58, 0x39}, {59, 0x3A}, {60, 0x3B}, {61, 0x3C},
    {62, 0x3D}, {63, 0x3E}, {64, 0x3F}, {65, 0x40}, {66, 0x41}, {67, 0x42}, {68, 0x43}, {87, 0x44},
    {88, 0x45}, {99, 0x46}, {70, 0x47}, {119, 0x48}, {110, 0x49}, {102, 0x4A}, {104, 0x4B}, {111, 0x4C},
    {107, 0x4D}, {109, 0x4E}, {106, 0x4F}, {105, 0x50}, {108, 0x51}, {103, 0x52}, {69, 0x53}, {98, 0x54},
    {55, 0x55}, {74, 0x56}, {78, 0x57}, {96, 0x58}, {79, 0x59}, {80, 0x5A}, {81, 0x5B}, {75, 0x5C},
    {76, 0x5D}, {77, 0x5E}, {71, 0x5F}, {72, 0x60}, {73, 0x61}, {82, 0x62}, {83, 0x63}, {86, 0x64},
    {127, 0x65}, {116, 0x66}, {117, 0x67}, {183, 0x68}, {184, 0x69}, {185, 0x6A}, {186, 0x6B}, {187, 0x6C},
    {188, 0x6D}, {189, 0x6E}, {190, 0x6F}, {191, 0x70}, {192, 0x71}, {193, 0x72}, {194, 0x73},
    {29, 0xE0}, {42, 0xE1}, {56, 0xE2}, {125, 0xE3}, {97, 0xE4}, {54, 0xE5}, {100, 0xE6}, {126, 0xE7},
};

const CodeUsage kEvdevConsumer[] = {
    {164, 0xCD}, {166, 0xB7}, {165, 0xB6}, {163, 0xB5}, {144, 0x194}, {225, 0x6F}, {224, 0x70},
    {171, 0x183}, {113, 0xE2}, {115, 0xE9}, {114, 0xEA}, {140, 0x192}, {172, 0x223}, {155, 0x18A},
    {173, 0x227}, {159, 0x225}, {158, 0x224}, {200, 0xB0}, {201, 0xB1},
};

// Qt's keys without a layout-independent position; letters, digits and
// function keys are ranges below.
const CodeUsage kQtKeyboard[] = {
    {Qt::Key_Return, 0x28},    {Qt::Key_Enter, 0x58},    {Qt::Key_Escape, 0x29},   {Qt::Key_Backspace, 0x2A},
    {Qt::Key_Tab, 0x2B},       {Qt::Key_Backtab, 0x2B},  {Qt::Key_Space, 0x2C},    {Qt::Key_Minus, 0x2D},
    {Qt::Key_Equal, 0x2E},     {Qt::Key_BracketLeft, 0x2F}, {Qt::Key_BracketRight, 0x30},
    {Qt::Key_Backslash, 0x31}, {Qt::Key_Semicolon, 0x33}, {Qt::Key_Apostrophe, 0x34},
    {Qt::Key_QuoteLeft, 0x35}, {Qt::Key_Comma, 0x36},    {Qt::Key_Period, 0x37},   {Qt::Key_Slash, 0x38},
    {Qt::Key_CapsLock, 0x39},  {Qt::Key_Print, 0x46},    {Qt::Key_ScrollLock, 0x47}, {Qt::Key_Pause, 0x48},
    {Qt::Key_Insert, 0x49},    {Qt::Key_Home, 0x4A},     {Qt::Key_PageUp, 0x4B},   {Qt::Key_Delete, 0x4C},
    {Qt::Key_End, 0x4D},       {Qt::Key_PageDown, 0x4E}, {Qt::Key_Right, 0x4F},    {Qt::Key_Left, 0x50},
    {Qt::Key_Down, 0x51},      {Qt::Key_Up, 0x52},       {Qt::Key_NumLock, 0x53},  {Qt::Key_Menu, 0x65},
    {Qt::Key_Control, 0xE0},   {Qt::Key_Shift, 0xE1},    {Qt::Key_Alt, 0xE2},      {Qt::Key_Meta, 0xE3},
    {Qt::Key_Super_L, 0xE3},   {Qt::Key_Super_R, 0xE7},  {Qt::Key_AltGr, 0xE6},
    // What Shift makes of the keys of a US layout.
    {Qt::Key_Exclam, 0x1E},    {Qt::Key_At, 0x1F},       {Qt::Key_NumberSign, 0x20}, {Qt::Key_Dollar, 0x21},
    {Qt::Key_Percent, 0x22},   {Qt::Key_AsciiCircum, 0x23}, {Qt::Key_Ampersand, 0x24}, {Qt::Key_Asterisk, 0x25},
    {Qt::Key_ParenLeft, 0x26}, {Qt::Key_ParenRight, 0x27}, {Qt::Key_Underscore, 0x2D}, {Qt::Key_Plus, 0x2E},
    {Qt::Key_BraceLeft, 0x2F}, {Qt::Key_BraceRight, 0x30}, {Qt::Key_Bar, 0x31},     {Qt::Key_Colon, 0x33},
    {Qt::Key_QuoteDbl, 0x34},  {Qt::Key_AsciiTilde, 0x35}, {Qt::Key_Less, 0x36},    {Qt::Key_Greater, 0x37},
    {Qt::Key_Question, 0x38},
};

const CodeUsage kQtConsumer[] = {
    {Qt::Key_MediaTogglePlayPause, 0xCD}, {Qt::Key_MediaPlay, 0xCD}, {Qt::Key_MediaStop, 0xB7},
    {Qt::Key_MediaPrevious, 0xB6}, {Qt::Key_MediaNext, 0xB5}, {Qt::Key_MonBrightnessUp, 0x6F},
    {Qt::Key_MonBrightnessDown, 0x70}, {Qt::Key_VolumeMute, 0xE2}, {Qt::Key_VolumeUp, 0xE9},
    {Qt::Key_VolumeDown, 0xEA}, {Qt::Key_Calculator, 0x192}, {Qt::Key_HomePage, 0x223},
    {Qt::Key_LaunchMail, 0x18A}, {Qt::Key_Refresh, 0x227}, {Qt::Key_Forward, 0x225}, {Qt::Key_Back, 0x224},
    {Qt::Key_LaunchMedia, 0x183}, {Qt::Key_Explorer, 0x194},
};

template <size_t N>
uint16_t lookUp(const CodeUsage (&table)[N], int code)
{
    for (const CodeUsage& e : table) {
        if (e.code == code)
            return e.usage;
    }
    return 0;
}

uint8_t bitOfModifierEntry(uint8_t entry)
{
    return entry >= kFirstModifierEntry && entry <= kLastModifierEntry ? uint8_t(1u << (entry - kFirstModifierEntry))
                                                                       : 0;
}

int8_t wheelOf(uint8_t wheelByte)
{
    return wheelByte == 0x01 ? 1 : wheelByte == 0xFF ? -1 : 0;
}

Stroke mouseStroke(uint8_t modifiers, uint8_t buttons, uint8_t wheelByte)
{
    if (buttons == 0 && wheelOf(wheelByte) == 0)
        return {};
    return Stroke::mouse(modifiers, buttons, wheelOf(wheelByte));
}

Stroke consumerStroke(uint8_t lo, uint8_t hi)
{
    const uint16_t usage = uint16_t(lo | (hi << 8));
    return usage == 0 ? Stroke{} : Stroke::consumer(usage);
}

Stroke firstCurrent(const uint8_t* rec)
{
    switch (rec[3]) {
    case ModeKeys:
    case ModeDelay: {
        uint8_t modifiers = 0;
        for (int k = 0; k < kCurrentEntries; ++k) {
            const uint8_t c = rec[entryCodeByte(k)];
            if (c == 0 || c > kLastModifierEntry)
                continue;
            if (c >= kFirstModifierEntry)
                modifiers |= bitOfModifierEntry(c);
            else
                return Stroke::key(modifiers, c);
        }
        return modifiers ? Stroke::key(modifiers, 0) : Stroke{};
    }
    case ModeMultimedia:
        return consumerStroke(rec[8], rec[11]);
    case ModeMouse:
        if (rec[4] == 4)  // a touch gesture reaches no mouse
            return {};
        return mouseStroke(bitOfModifierEntry(rec[8]), rec[11], rec[20]);
    default:
        return {};
    }
}

Stroke firstOld(const uint8_t* rec)
{
    switch (rec[3]) {
    case ModeKeys:
    case ModeDelay:
        for (int k = 0; k < kOldPairs; ++k) {
            const uint8_t bits = rec[pairBitsByte(k)];
            const uint8_t c = rec[pairCodeByte(k)];
            if (bits != 0 || c != 0)
                return Stroke::key(bits, c);
        }
        return {};
    case ModeMultimedia:
        return consumerStroke(rec[10], rec[11]);
    case ModeMouse:
        return mouseStroke(rec[10], rec[11], rec[14]);
    default:
        return {};
    }
}

QString consumerCaption(uint16_t usage, int language)
{
    // Each function is two entries: the usage's low byte, then its high byte.
    for (int i = kFirstMultimedia; i < kLastMultimedia; i += 2) {
        if (KeyTable::code(i) == (usage & 0xFF) && KeyTable::code(i + 1) == (usage >> 8))
            return KeyTable::caption(i, language);
    }
    return QString();
}

QString hex(unsigned value)
{
    return QStringLiteral("0x%1").arg(value, 2, 16, QLatin1Char('0'));
}

}  // namespace

namespace KeyMatch {

Stroke firstStroke(const uint8_t* record, bool currentFormat)
{
    if (!record || record[0] != kRecordCommand)
        return {};
    return currentFormat ? firstCurrent(record) : firstOld(record);
}

QVector<int> slotsSending(const ConfigStore& store, int layer, const Stroke& arrived, const QVector<int>& candidates)
{
    QVector<int> found;
    if (arrived.kind == Stroke::Kind::None)
        return found;
    for (int slot : candidates) {
        // Slot 0 holds an old keypad's lighting, never a key.
        if (slot <= 0)
            continue;
        if (firstStroke(store.record(layer, slot), store.currentFormat()) == arrived)
            found << slot;
    }
    return found;
}

QString caption(const Stroke& stroke, int language)
{
    // Drawn as the key picture draws a record that sends it, so the tester
    // and the picture use the same words.
    uint8_t rec[kSlotBytes] = {};
    rec[0] = kRecordCommand;
    QString text;
    switch (stroke.kind) {
    case Stroke::Kind::None:
        return QString();
    case Stroke::Kind::Consumer:
        text = consumerCaption(stroke.usage, language);
        return text.isEmpty() ? QStringLiteral("Consumer ") + hex(stroke.usage) : text;
    case Stroke::Kind::Key: {
        rec[3] = ModeKeys;
        int n = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if (stroke.modifiers & (1u << bit))
                rec[entryCodeByte(n++)] = uint8_t(kFirstModifierEntry + bit);
        }
        const bool named = stroke.usage == 0
                           || KeyTable::findCode(uint8_t(stroke.usage), kFirstKeyboard, kLastKeyboard) >= 0;
        if (stroke.usage < 0xE0)
            rec[entryCodeByte(n)] = uint8_t(stroke.usage);
        text = RecordRender::renderRecord(rec, true, RenderTarget::KeyButton, language);
        if (!named && stroke.usage < 0xE0)
            text += QStringLiteral("Key ") + hex(stroke.usage);
        break;
    }
    case Stroke::Kind::Mouse: {
        rec[3] = ModeMouse;
        rec[4] = 1;
        rec[8] = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if (stroke.modifiers & (1u << bit))
                rec[8] = uint8_t(kFirstModifierEntry + bit);
        }
        rec[11] = stroke.buttons;
        rec[20] = stroke.wheel > 0 ? 0x01 : stroke.wheel < 0 ? 0xFF : 0x00;
        text = RecordRender::renderRecord(rec, true, RenderTarget::KeyButton, language);
        if (text.isEmpty()) {
            for (int bit = 0; bit < 8; ++bit) {
                if (stroke.modifiers & (1u << bit))
                    text += KeyTable::modifierPrefix(uint8_t(kFirstModifierEntry + bit));
            }
            text += stroke.wheel != 0 ? QStringLiteral("Wheel %1").arg(stroke.wheel > 0 ? '+' : '-')
                                      : QStringLiteral("Mouse button ") + hex(stroke.buttons);
        }
        break;
    }
    }
    return text.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

QVector<int> captionIndicesOf(const Stroke& stroke)
{
    QVector<int> indices;
    if (stroke.kind != Stroke::Kind::Key || stroke.usage == 0 || modifierBitOfUsage(stroke.usage) != 0)
        return indices;
    for (int bit = 0; bit < 8; ++bit) {
        const uint8_t mask = uint8_t(1u << bit);
        if (!(stroke.modifiers & mask))
            continue;
        const int index = KeyTable::findCode(mask, kFirstModifierIndex, kLastSingleModifierIndex);
        if (index < 0)
            return {};
        indices << index;
    }
    const int key = stroke.usage > 0xFF ? -1 : KeyTable::findCode(uint8_t(stroke.usage), kFirstKeyboard, kLastKeyboard);
    if (key < 0)
        return {};
    indices << key;
    return indices;
}

uint16_t keyboardUsageOfEvdev(int code)
{
    return lookUp(kEvdevKeyboard, code);
}

uint16_t consumerUsageOfEvdev(int code)
{
    return lookUp(kEvdevConsumer, code);
}

uint16_t keyboardUsageOfQtKey(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return uint16_t(0x04 + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_1 && qtKey <= Qt::Key_9)
        return uint16_t(0x1E + (qtKey - Qt::Key_1));
    if (qtKey == Qt::Key_0)
        return 0x27;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return uint16_t(0x3A + (qtKey - Qt::Key_F1));
    if (qtKey >= Qt::Key_F13 && qtKey <= Qt::Key_F24)
        return uint16_t(0x68 + (qtKey - Qt::Key_F13));
    return lookUp(kQtKeyboard, qtKey);
}

uint16_t consumerUsageOfQtKey(int qtKey)
{
    return lookUp(kQtConsumer, qtKey);
}

uint8_t modifierBitOfUsage(uint16_t usage)
{
    return usage >= 0xE0 && usage <= 0xE7 ? uint8_t(1u << (usage - 0xE0)) : 0;
}

}  // namespace KeyMatch
