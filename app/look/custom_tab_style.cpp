#include "app/look/custom_tab_style.h"

#include "app/window/window_state.h"

#include <QPainter>
#include <QStyleOptionTab>
#include <QTextOption>

namespace {
const QColor kHighlightOutline(0x89, 0xCF, 0xFF);
const QColor kHighlightFill(0x17, 0x75, 0xD8);
const QColor kSelectedCaption(0xF8, 0xFC, 0xFF);
const QColor kCaption(0x5D, 0x5D, 0x5D);
constexpr int kHighlightInset = 6;
constexpr int kTabOptionVersion = 3;
}  // namespace

void CustomTabStyle::drawControl(ControlElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const
{
    if (element == CE_TabBarTab) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    if (element != CE_TabBarTabLabel || !option || !painter)
        return;
    if (option->type != QStyleOption::SO_Tab || option->version < kTabOptionVersion)
        return;
    const auto* tab = static_cast<const QStyleOptionTab*>(option);
    const QRect r = tab->rect;
    const bool selected = tab->state & State_Selected;

    painter->save();
    if (selected) {
        painter->setPen(kHighlightOutline);
        painter->setBrush(QBrush(kHighlightFill, Qt::SolidPattern));
        painter->drawRect(r.adjusted(kHighlightInset, kHighlightInset, -kHighlightInset,
                                     -kHighlightInset));
    }
    if (tab->state & State_HasFocus) {
        // The keyboard's focus, as the window draws it elsewhere.
        painter->setPen(QPen(Qt::white, 2, Qt::DashLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r.adjusted(kHighlightInset - 3, kHighlightInset - 3, 3 - kHighlightInset,
                                     3 - kHighlightInset));
    }
    QTextOption text;
    text.setAlignment(Qt::AlignCenter);
    painter->setPen(selected ? kSelectedCaption : kCaption);
    painter->drawText(QRectF(r), tab->text, text);
    painter->restore();
}

QSize CustomTabStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                       const QSize& size, const QWidget* widget) const
{
    QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_TabBarTab)
        s = QSize(static_cast<int>(0.09 * State.W), static_cast<int>(0.05 * State.H));
    return s;
}
