#include "core/keypad/key_table.h"

#include "core/keypad/board.h"
#include "core/keypad/config_store.h"


namespace {

// Code, Chinese caption, English caption. Multimedia values take two
// consecutive entries: the Consumer-page usage low byte, then its high byte.
const KeyEntry kEntries[KeyTable::kSize] = {
    /*   0 */ {0x01, "Ctrl+", "Ctrl+"},
    /*   1 */ {0x04, "Alt+", "Alt+"},
    /*   2 */ {0x02, "Shift+", "Shift+"},
    /*   3 */ {0x08, "Win+", "Win+"},
    /*   4 */ {0x10, "Right Ctrl+", "Right Ctrl+"},
    /*   5 */ {0x40, "Right Alt+", "Right Alt+"},
    /*   6 */ {0x20, "Right Shift+", "Right Shift+"},
    /*   7 */ {0x80, "Right Win+", "Right Win+"},
    /*   8 */ {0x05, "Ctrl+Alt+", "Ctrl+Alt+"},
    /*   9 */ {0x03, "Ctrl+Shift+", "Ctrl+Shift+"},
    /*  10 */ {0x06, "Alt+Shift+", "Alt+Shift+"},
    /*  11 */ {0x0A, "Shift+Win+", "Shift+Win+"},
    /*  12 */ {0x07, "Ctrl+Shift+Alt+", "Ctrl+Shift+Alt+"},
    /*  13 */ {0x0D, "Ctrl+Alt+Win+", "Ctrl+Alt+Win+"},
    /*  14 */ {0x0F, "Ctrl+Alt+Shift+Win+", "Ctrl+Alt+Shift+Win+"},
    /*  15 */ {0x01, "control", "control"},
    /*  16 */ {0x04, "option", "option"},
    /*  17 */ {0x08, "command", "command"},
    /*  18 */ {0x80, "Right command", "Right command"},
    /*  19 */ {0x40, "Right option", "Right option"},
    /*  20 */ {0x35, "~", "~"},
    /*  21 */ {0x1E, "!", "!"},
    /*  22 */ {0x1F, "@", "@"},
    /*  23 */ {0x20, "#", "#"},
    /*  24 */ {0x21, "$", "$"},
    /*  25 */ {0x22, "%", "%"},
    /*  26 */ {0x23, "^", "^"},
    /*  27 */ {0x24, "＆", "＆"},
    /*  28 */ {0x25, "*", "*"},
    /*  29 */ {0x26, "(", "("},
    /*  30 */ {0x27, ")", ")"},
    /*  31 */ {0x2D, "-", "-"},
    /*  32 */ {0x2E, "+", "+"},
    /*  33 */ {0x2F, "{", "{"},
    /*  34 */ {0x30, "}", "}"},
    /*  35 */ {0x31, "|", "|"},
    /*  36 */ {0x33, ":", ":"},
    /*  37 */ {0x34, "\"", "\""},
    /*  38 */ {0x36, "<", "<"},
    /*  39 */ {0x37, ">", ">"},
    /*  40 */ {0x38, "?", "?"},
    /*  41 */ {0xCD, "播放/暂停", "Play/Pause"},
    /*  42 */ {0x00, "播放/暂停1", "Play/Pause1"},
    /*  43 */ {0xB7, "停止", "Stop"},
    /*  44 */ {0x00, "停止1", "Stop1"},
    /*  45 */ {0xB6, "上一曲", "Previous track"},
    /*  46 */ {0x00, "上一曲1", "Previous track1"},
    /*  47 */ {0xB5, "下一曲", "Next track"},
    /*  48 */ {0x00, "下一曲1", "Next track1"},
    /*  49 */ {0x94, "我的电脑", "My Computer"},
    /*  50 */ {0x01, "我的电脑1", "My Computer1"},
    /*  51 */ {0x6F, "屏幕亮度+", "Screen brightness+"},
    /*  52 */ {0x00, "屏幕亮度+1", "Screen brightness+1"},
    /*  53 */ {0x70, "屏幕亮度-", "Screen brightness-"},
    /*  54 */ {0x00, "屏幕亮度-1", "Screen brightness-1"},
    /*  55 */ {0x83, "打开媒体", "Multimedia"},
    /*  56 */ {0x01, "打开媒体1", "Multimedia1"},
    /*  57 */ {0xE2, "静音", "Mute"},
    /*  58 */ {0x00, "静音1", "Mute1"},
    /*  59 */ {0xE9, "音量+", "Volume+"},
    /*  60 */ {0x00, "音量+1", "Volume+1"},
    /*  61 */ {0xEA, "音量-", "Volume-"},
    /*  62 */ {0x00, "音量-1", "Volume-1"},
    /*  63 */ {0x92, "打开计算器", "Calculator"},
    /*  64 */ {0x01, "打开计算器1", "Calculator1"},
    /*  65 */ {0x23, "打开浏览器", "WWW home"},
    /*  66 */ {0x02, "打开浏览器1", "WWW home1"},
    /*  67 */ {0x8A, "打开邮件", "E-mail"},
    /*  68 */ {0x01, "打开邮件1", "E-mail1"},
    /*  69 */ {0x52, "低音+", "Bass+"},
    /*  70 */ {0x01, "低音+1", "Bass+1"},
    /*  71 */ {0x53, "低音-", "Bass-"},
    /*  72 */ {0x01, "低音-1", "Bass-1"},
    /*  73 */ {0x54, "高音+", "Treble+"},
    /*  74 */ {0x01, "高音+1", "Treble+1"},
    /*  75 */ {0x55, "高音-", "Treble-"},
    /*  76 */ {0x01, "高音-1", "Treble-1"},
    /*  77 */ {0x27, "网页刷新", "WWW Pagerefresh"},
    /*  78 */ {0x02, "网页刷新1", "WWW Pagerefresh1"},
    /*  79 */ {0x25, "网页前进", "WWW Pageforward"},
    /*  80 */ {0x02, "网页前进1", "WWW Pageforward1"},
    /*  81 */ {0x24, "网页后退", "WWW Pageback"},
    /*  82 */ {0x02, "网页后退1", "WWW Pageback1"},
    /*  83 */ {0x10, "红色", "Red"},
    /*  84 */ {0x20, "橙色", "Orange"},
    /*  85 */ {0x30, "黄色", "Yellow"},
    /*  86 */ {0x40, "绿色", "Green"},
    /*  87 */ {0x50, "青色", "Cyan"},
    /*  88 */ {0x60, "蓝色", "Blue"},
    /*  89 */ {0x70, "紫色", "Purple"},
    /*  90 */ {0x00, "LED模式0", "LED Mode0"},
    /*  91 */ {0x01, "LED模式1", "LED Mode1"},
    /*  92 */ {0x02, "LED模式2", "LED Mode2"},
    /*  93 */ {0x03, "LED模式3", "LED Mode3"},
    /*  94 */ {0x04, "LED模式4", "LED Mode4"},
    /*  95 */ {0x05, "LED模式5", "LED Mode5"},
    /*  96 */ {0x61, "鼠标左键", "Mouse LeftKey"},
    /*  97 */ {0x62, "鼠标中键", "Mouse Middle"},
    /*  98 */ {0x63, "鼠标右键", "Mouse Right"},
    /*  99 */ {0x64, "鼠标滚轮+", "Mouse Wheel+"},
    /* 100 */ {0x65, "鼠标滚轮-", "Mouse Wheel-"},
    /* 101 */ {0x66, "Ctrl+鼠标向上", "Ctrl+Mouse Up"},
    /* 102 */ {0x67, "Ctrl+鼠标向下", "Ctrl+Mouse Down"},
    /* 103 */ {0x68, "Shift+鼠标向上", "Shift+Mouse Up"},
    /* 104 */ {0x69, "Shift+鼠标向下", "Shift+Mouse Down"},
    /* 105 */ {0x6A, "Alt+鼠标向上", "Alt+Mouse Up"},
    /* 106 */ {0x6B, "Alt+鼠标向下", "Alt+Mouse Down"},
    /* 107 */ {0x70, "点赞", "Like"},
    /* 108 */ {0x6C, "向左划屏", "Left Swipe"},
    /* 109 */ {0x6D, "向右划屏", "Right Swipe"},
    /* 110 */ {0x6E, "向上划屏", "Up Swipe"},
    /* 111 */ {0x6F, "向下划屏", "Down Swipe"},
    /* 112 */ {0x3A, "F1", "F1"},
    /* 113 */ {0x3B, "F2", "F2"},
    /* 114 */ {0x3C, "F3", "F3"},
    /* 115 */ {0x3D, "F4", "F4"},
    /* 116 */ {0x3E, "F5", "F5"},
    /* 117 */ {0x3F, "F6", "F6"},
    /* 118 */ {0x40, "F7", "F7"},
    /* 119 */ {0x41, "F8", "F8"},
    /* 120 */ {0x42, "F9", "F9"},
    /* 121 */ {0x43, "F10", "F10"},
    /* 122 */ {0x44, "F11", "F11"},
    /* 123 */ {0x45, "F12", "F12"},
    /* 124 */ {0x68, "F13", "F13"},
    /* 125 */ {0x69, "F14", "F14"},
    /* 126 */ {0x6A, "F15", "F15"},
    /* 127 */ {0x6B, "F16", "F16"},
    /* 128 */ {0x6C, "F17", "F17"},
    /* 129 */ {0x6D, "F18", "F18"},
    /* 130 */ {0x6E, "F19", "F19"},
    /* 131 */ {0x6F, "F20", "F20"},
    /* 132 */ {0x70, "F21", "F21"},
    /* 133 */ {0x71, "F22", "F22"},
    /* 134 */ {0x72, "F23", "F23"},
    /* 135 */ {0x73, "F24", "F24"},
    /* 136 */ {0x50, "←", "←"},
    /* 137 */ {0x46, "PrtSc\nSysRq", "PrtSc\nSysRq"},
    /* 138 */ {0x47, "Scroll\nLock", "Scroll\nLock"},
    /* 139 */ {0x48, "Pause\nBreak", "Pause\nBreak"},
    /* 140 */ {0x49, "Insert", "Insert"},
    /* 141 */ {0x4C, "Delete", "Delete"},
    /* 142 */ {0x4A, "Home", "Home"},
    /* 143 */ {0x4B, "Page\nUp", "Page\nUp"},
    /* 144 */ {0x4E, "Page\nDown", "Page\nDown"},
    /* 145 */ {0x4D, "End", "End"},
    /* 146 */ {0x4F, "→", "→"},
    /* 147 */ {0x52, "↑", "↑"},
    /* 148 */ {0x51, "↓", "↓"},
    /* 149 */ {0x65, "▤", "▤"},
    /* 150 */ {0x39, "Caps Lock", "Caps Lock"},
    /* 151 */ {0x04, "A", "A"},
    /* 152 */ {0x05, "B", "B"},
    /* 153 */ {0x06, "C", "C"},
    /* 154 */ {0x07, "D", "D"},
    /* 155 */ {0x08, "E", "E"},
    /* 156 */ {0x09, "F", "F"},
    /* 157 */ {0x0A, "G", "G"},
    /* 158 */ {0x0B, "H", "H"},
    /* 159 */ {0x0C, "I", "I"},
    /* 160 */ {0x0D, "J", "J"},
    /* 161 */ {0x0E, "K", "K"},
    /* 162 */ {0x0F, "L", "L"},
    /* 163 */ {0x10, "M", "M"},
    /* 164 */ {0x11, "N", "N"},
    /* 165 */ {0x12, "O", "O"},
    /* 166 */ {0x13, "P", "P"},
    /* 167 */ {0x14, "Q", "Q"},
    /* 168 */ {0x15, "R", "R"},
    /* 169 */ {0x16, "S", "S"},
    /* 170 */ {0x17, "T", "T"},
    /* 171 */ {0x18, "U", "U"},
    /* 172 */ {0x19, "V", "V"},
    /* 173 */ {0x1A, "W", "W"},
    /* 174 */ {0x1B, "X", "X"},
    /* 175 */ {0x1C, "Y", "Y"},
    /* 176 */ {0x1D, "Z", "Z"},
    /* 177 */ {0x1E, "1!", "1!"},
    /* 178 */ {0x1F, "2@", "2@"},
    /* 179 */ {0x20, "3#", "3#"},
    /* 180 */ {0x21, "4$", "4$"},
    /* 181 */ {0x22, "5%", "5%"},
    /* 182 */ {0x23, "6^", "6^"},
    /* 183 */ {0x24, "7＆", "7＆"},
    /* 184 */ {0x25, "8*", "8*"},
    /* 185 */ {0x26, "9(", "9("},
    /* 186 */ {0x27, "0)", "0)"},
    /* 187 */ {0x28, "Enter", "Enter"},
    /* 188 */ {0x29, "ESC", "ESC"},
    /* 189 */ {0x2A, "←Back\nspace", "←Back\nspace"},
    /* 190 */ {0x2B, "Tab", "Tab"},
    /* 191 */ {0x2C, "Space", "Space"},
    /* 192 */ {0x2D, "-_", "-_"},
    /* 193 */ {0x2E, "=+", "=+"},
    /* 194 */ {0x2F, "[{", "[{"},
    /* 195 */ {0x30, "]}", "]}"},
    /* 196 */ {0x31, "\\|", "\\|"},
    /* 197 */ {0x35, "~、", "~、"},
    /* 198 */ {0x33, ";:", ";:"},
    /* 199 */ {0x34, "' \"", "' \""},
    /* 200 */ {0x32, "~`", "~`"},
    /* 201 */ {0x36, ",<", ",<"},
    /* 202 */ {0x37, ".>", ".>"},
    /* 203 */ {0x38, "?/", "?/"},
    /* 204 */ {0x57, "＋", "＋"},
    /* 205 */ {0x56, "－", "－"},
    /* 206 */ {0x55, "×", "×"},
    /* 207 */ {0x54, "÷", "÷"},
    /* 208 */ {0x53, "NumLock", "NumLock"},
    /* 209 */ {0x28, "ENTER", "ENTER"},
    /* 210 */ {0x58, "Enter", "Enter"},
    /* 211 */ {0x59, "1", "1"},
    /* 212 */ {0x5A, "2", "2"},
    /* 213 */ {0x5B, "3", "3"},
    /* 214 */ {0x5C, "4", "4"},
    /* 215 */ {0x5D, "5", "5"},
    /* 216 */ {0x5E, "6", "6"},
    /* 217 */ {0x5F, "7", "7"},
    /* 218 */ {0x60, "8", "8"},
    /* 219 */ {0x61, "9", "9"},
    /* 220 */ {0x62, "0", "0"},
    /* 221 */ {0x63, "▪", "▪"},
    /* 222 */ {0x64, "><", "><"},
    /* 223 */ {0x00, "NULL", "NULL"},
};

const KeyEntry kOutOfRange = {0x00, "", ""};

const char* const kKnobSidesChinese[3] = {"左", "中", "右"};
const char* const kKnobSidesEnglish[3] = {"left", "middle", "right"};

const char* const kColourChinese[7] = {"红色", "橙色", "黄色", "绿色", "青色", "蓝色", "紫色"};
const char* const kColourEnglish[7] = {"Red", "Orange", "Yellow", "Green", "Cyan", "Blue", "Purple"};

const char* const kModifierPrefixes[8] = {
    "Ctrl+", "Shift+", "Alt+", "Win+", "Right Ctrl+", "Right Shift+", "Right Alt+", "Right Win+",
};

bool isEnglish(int language) { return language == 1; }

bool validIndex(int index) { return index >= 0 && index < KeyTable::kSize; }

}  // namespace

namespace KeyTable {

const uint8_t GroupBounds[10] = {0, 40, 41, 81, 82, 95, 96, 111, 112, 224};

const KeyEntry& entry(int index)
{
    return validIndex(index) ? kEntries[index] : kOutOfRange;
}

uint8_t code(int index)
{
    return entry(index).code;
}

QString caption(int index, int language)
{
    const KeyEntry& e = entry(index);
    return QString::fromUtf8(isEnglish(language) ? e.english : e.chinese);
}

KeyGroup groupOf(int index)
{
    if (!validIndex(index))
        return KeyGroup::None;
    if (index <= GroupBounds[1])
        return KeyGroup::Modifier;
    if (index <= GroupBounds[3])
        return KeyGroup::Multimedia;
    if (index <= GroupBounds[5])
        return KeyGroup::Lighting;
    if (index <= GroupBounds[7])
        return KeyGroup::Mouse;
    return KeyGroup::Keyboard;
}

int findCode(uint8_t code, int first, int last)
{
    first = qMax(first, 0);
    last = qMin(last, kSize - 1);
    for (int i = first; i <= last; ++i) {
        if (kEntries[i].code == code)
            return i;
    }
    return -1;
}

QString physicalKeyName(int keyId, int language, const Board* board)
{
    const bool onBoard = board && keyId >= 1 && board->has(keyId);
    if (onBoard ? board->isKey(keyId) : keyId >= 1 && keyId <= 15)
        return QStringLiteral("KEY%1").arg(keyId);
    if (onBoard || SlotNames::isKnobSlot(keyId)) {
        const int knob = onBoard ? board->knobNumber(keyId) : SlotNames::knobOf(keyId);
        const int side = onBoard ? board->knobSide(keyId) : (keyId - 16) % 3;
        if (isEnglish(language))
            return QStringLiteral("k%1_%2").arg(knob).arg(QLatin1String(kKnobSidesEnglish[side]));
        return QStringLiteral("K%1_").arg(knob) + QString::fromUtf8(kKnobSidesChinese[side]);
    }
    return QString();
}

QString colourName(int colour, int language)
{
    if (colour < 1 || colour > 7)
        return QString();
    return QString::fromUtf8(isEnglish(language) ? kColourEnglish[colour - 1] : kColourChinese[colour - 1]);
}

QString ledModeName(int mode, int language)
{
    if (mode < 0 || mode > 5)
        return QString();
    return isEnglish(language) ? QStringLiteral("LED Mode%1").arg(mode)
                               : QString::fromUtf8("LED模式") + QString::number(mode);
}

QString modifierPrefix(uint8_t pseudoCode)
{
    if (pseudoCode < 0xF1 || pseudoCode > 0xF8)
        return QString();
    return QLatin1String(kModifierPrefixes[pseudoCode - 0xF1]);
}

}  // namespace KeyTable

void CaptionLookup::rebuild(int language)
{
    int count = 0;
    for (int i = 0; i < KeyTable::kSize; ++i) {
        const QString text = KeyTable::caption(i, language);
        if (text.isEmpty())
            continue;
        NameToIndex.insert(text, i);
        ++count;
    }
    qCDebug(lcConfig).nospace() << "all num is " << count;
}

int CaptionLookup::indexOf(const QString& caption) const
{
    return NameToIndex.value(caption, -1);
}
