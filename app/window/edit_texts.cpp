#include "app/window/edit_texts.h"

#include "core/texts/run_time_texts.h"

#include <QRegularExpression>

namespace {
bool english(int language) { return RunTimeTexts::isEnglish(language); }
}  // namespace

namespace EditTexts {

QString layerClearedHint(int language)
{
    return english(language) ? QStringLiteral("Layer cleared — Ctrl+Z brings it back")
                             : QStringLiteral("本层已清空 — 按 Ctrl+Z 可恢复");
}

QString closeTitle(int language)
{
    return english(language) ? QStringLiteral("Unsaved changes") : QStringLiteral("未保存的更改");
}

QString closeQuestion(int unsaved, int language)
{
    if (!english(language))
        return QStringLiteral("有 %1 项更改尚未保存到键盘。关闭前要保存吗？").arg(unsaved);
    return unsaved == 1 ? QStringLiteral("1 change is not saved to the keypad yet. Save it before closing?")
                        : QStringLiteral("%1 changes are not saved to the keypad yet. Save them before closing?")
                              .arg(unsaved);
}

QString saveButton(int language) { return english(language) ? QStringLiteral("Save") : QStringLiteral("保存"); }

QString discardButton(int language)
{
    return english(language) ? QStringLiteral("Discard") : QStringLiteral("放弃");
}

QString cancelButton(int language) { return english(language) ? QStringLiteral("Cancel") : QStringLiteral("取消"); }

QString discardAction(int language)
{
    return english(language) ? QStringLiteral("Discard changes") : QStringLiteral("放弃更改");
}


QString discardQuestion(int unsaved, int language)
{
    if (!english(language))
        return QStringLiteral("放弃 %1 项未保存的更改，并从键盘重新读取配置吗？").arg(unsaved);
    return unsaved == 1 ? QStringLiteral("Drop the unsaved change and read the settings back from the keypad?")
                        : QStringLiteral("Drop %1 unsaved changes and read the settings back from the keypad?")
                              .arg(unsaved);
}

QString discardIncomplete(int language)
{
    return english(language) ? QStringLiteral("The keypad did not answer in full — unread changes are kept")
                             : QStringLiteral("键盘未完整应答 — 未读取的更改已保留");
}

QString saveCaption(const QString& shownCaption, int waiting)
{
    static const QRegularExpression count(QStringLiteral(" \\(\\d+\\)$"));
    QString caption = shownCaption;
    caption.remove(count);
    return waiting > 0 ? QStringLiteral("%1 (%2)").arg(caption).arg(waiting) : caption;
}

}  // namespace EditTexts
