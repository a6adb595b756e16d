#include "core/keypad/quick_menu_entries.h"

#include "core/texts/run_time_texts.h"

#include <QVariantList>

namespace QuickMenu {

namespace {
constexpr int Shift = 0xF2;
constexpr int Alt = 0xF3;
constexpr int Win = 0xF4;

const std::array<QuickMenuEntry, kEntryCount> kEntries = {{
    {1, "QuickMenu", "速选菜单", 1, {44}},
    {2, "Debug\n Commands", "调试命令", 1, {53}},
    {3, "Activate\n Brush Tool", "激活\n绘画工具", 1, {5}},
    {4, "Open\n Color Panel", "打开\n色彩面板", 1, {6}},
    {5, "Activate\n Eraser Tool", "激活\n擦除工具", 1, {62}},
    {6, "Open\n Layers Panel", "打开\n图层列表", 1, {15}},
    {7, "Enter\n Selection\n Mode", "进入\n选取模式", 1, {22}},
    {8, "Enter\n Transform\n Mode", "进入\n变形模式", 1, {25}},
    {9, "Switch \nBetween Previous\n and Current Color", "先前和当前\n颜色切换", 1, {27}},
    {10, "Color\n Pick (Alt)", "吸色Alt", 1, {Alt}},
    {11, "Color Pick\n M (iOS 17)", "吸色\nM(IOS17)", 1, {16}},
    {12, "Clear\n Selected Layer", "清除\n所选图层", 2, {Win, 42}},
    {13, "Toggle\n Full Screen\n Mode", "开/关\n 全屏模式", 2, {Win, 39}},
    {14, "Toggle\n Perspective\n Guide", "开/关\n透视指引", 2, {Win, 51}},
    {15, "Decrease\n Brush Size\n by 1%", "画笔\n缩小1%", 2, {Win, 47}},
    {16, "Increase\n Brush Size\n by 1%", "画笔\n放大1%", 2, {Win, 48}},
    {17, "Decrease\n Brush Size\n by 5%", "画笔\n缩小5%", 1, {47}},
    {18, "Increase\n Brush Size\n by 5%", "画笔\n放大5%", 1, {48}},
    {19, "Decrease\n Brush Size\n by 10%", "画笔\n缩小10%", 2, {Shift, 47}},
    {20, "Increase\n Brush Size\n by 10%", "画笔\n放大10%", 2, {Shift, 48}},
    {21, "Copy All", "全部拷贝", 2, {Win, 4}},
    {22, "Apply Color\n Balance\n Adjustment", "输入颜色\n平衡调整", 2, {Win, 5}},
    {23, "Copy", "拷贝", 2, {Win, 6}},
    {24, "Clear\n Selection", "清除选区", 2, {Win, 7}},
    {25, "Duplicate\n Selection", "复制选区", 2, {Win, 13}},
    {26, "Open\n Actions Menu", "打开\n操作菜单", 2, {Win, 14}},
    {27, "Apply\n HSB Adjustment", "输入\nHSB调整", 2, {Win, 24}},
    {28, "Paste", "粘贴", 2, {Win, 25}},
    {29, "Cut", "剪切", 2, {Win, 27}},
    {30, "Undo", "撤销", 2, {Win, 29}},
    {31, "Redo", "重做", 3, {Shift, Win, 29}},
}};

}  // namespace

const std::array<QuickMenuEntry, kEntryCount>& entries() { return kEntries; }

QString caption(const QuickMenuEntry& entry, int language)
{
    return QString::fromUtf8(RunTimeTexts::isEnglish(language) ? entry.english : entry.chinese);
}

QVariant dataValue(const QuickMenuEntry& entry)
{
    if (entry.codeCount == 1)
        return QVariant(entry.codes[0]);
    QVariantList list;
    for (int i = 0; i < entry.codeCount; ++i)
        list.append(entry.codes[static_cast<size_t>(i)]);
    return QVariant(list);
}

}  // namespace QuickMenu

namespace {
bool isPlainInteger(const QVariant& v)
{
    switch (static_cast<QMetaType::Type>(v.type())) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool appendCode(const QVariant& v, std::vector<int>& codes)
{
    if (!isPlainInteger(v))
        return false;
    bool ok = false;
    const qlonglong code = v.toLongLong(&ok);
    if (!ok || code < 0 || code > 0xFF)
        return false;
    codes.push_back(static_cast<int>(code));
    return true;
}
}  // namespace

std::vector<int> dataValueCodes(const QVariant& value)
{
    std::vector<int> codes;
    if (value.type() == QVariant::List) {
        const QVariantList list = value.toList();
        if (list.size() != 2 && list.size() != 3)
            return {};
        for (const QVariant& item : list) {
            if (!appendCode(item, codes))
                return {};
        }
        return codes;
    }
    if (!appendCode(value, codes))
        return {};
    return codes;
}
