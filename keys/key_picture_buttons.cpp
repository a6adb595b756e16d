#include "keys/key_picture_buttons.h"
#include "keys/window_log.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QStringList>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QWidget>

namespace {

const char* const kIdProperty = "keyId";
const QString kEmptyCaption = QStringLiteral("NULL");

// The area the caption may use: the style's contents rectangle, and for the
// round knob the square inside the circle, whose corners the arrows overlap.
QRect captionArea(QPushButton* button, const QStyleOptionButton& option)
{
    QRect area = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    if (button->property("round").toBool()) {
        const int side = static_cast<int>(qMin(button->width(), button->height()) * 0.7);
        area = QRect(0, 0, side, side);
        area.moveCenter(button->rect().center());
    }
    return area.adjusted(1, 0, -1, 0);
}

QStyleOptionButton optionFor(QPushButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.features = QStyleOptionButton::None;
    if (button->isDown())
        option.state |= QStyle::State_Sunken;
    else
        option.state |= QStyle::State_Raised;
    if (button->isChecked())
        option.state |= QStyle::State_On;
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    return option;
}

}  // namespace

class KeyPictureButtons::Painter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* button = static_cast<QPushButton*>(watched);
        if (event->type() == QEvent::Resize) {
            refreshCaption(button);
        } else if (event->type() == QEvent::Paint) {
            paint(button);
            return true;
        }
        return false;
    }

private:
    static void paint(QPushButton* button)
    {
        refreshCaption(button);
        QStylePainter painter(button);
        const QStyleOptionButton option = optionFor(button);
        painter.drawControl(QStyle::CE_PushButton, option);  // the sheet's panel, no text
        const QRect area = captionArea(button, option);
        painter.drawItemText(area, Qt::AlignCenter, option.palette, button->isEnabled(),
                             fittedCaption(button->text(), button->fontMetrics(), area), QPalette::ButtonText);
        painter.setRenderHint(QPainter::Antialiasing);
        if (button->property("unsaved").toBool()) {
            // An amber dot in the top-right corner, inside the rounded border.
            const int d = qBound(6, button->height() / 8, 12);
            const QRect dot(button->width() - d - qMax(4, d / 2), qMax(4, d / 2), d, d);
            painter.setPen(QPen(QColor(40, 40, 40), 1));
            painter.setBrush(QColor(255, 170, 0));
            painter.drawEllipse(dot);
        }
        if (button->hasFocus()) {
            painter.setPen(QPen(QColor(0xe1, 0xe1, 0x00), 2, Qt::DashLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(QRectF(button->rect()).adjusted(2, 2, -2, -2), 8, 8);
        }
    }
};

QString KeyPictureButtons::fittedCaption(const QString& caption, const QFontMetrics& metrics, const QRect& area)
{
    const int width = area.width();
    const int maxLines = qMax(1, area.height() / qMax(1, metrics.lineSpacing()));
    // Break after '+' or a blank, so "Ctrl+Alt+" stays together.
    QStringList lines;
    for (const QString& given : caption.split('\n')) {
        QString line;
        QString word;
        auto place = [&](const QString& w) {
            if (line.isEmpty() || metrics.horizontalAdvance(line + w) <= width) {
                line += w;
            } else {
                lines << line.trimmed();
                line = w;
            }
        };
        for (const QChar c : given) {
            word += c;
            if (c == '+' || c == ' ') {
                place(word);
                word.clear();
            }
        }
        place(word);
        lines << line.trimmed();
    }
    bool cut = false;
    if (lines.size() > maxLines) {
        QStringList rest = lines.mid(maxLines - 1);
        lines = lines.mid(0, maxLines - 1);
        lines << rest.join(' ');
        cut = true;
    }
    for (int i = 0; i < lines.size(); ++i) {
        const bool last = i == lines.size() - 1;
        if (last && cut)
            lines[i] = metrics.elidedText(lines[i] + QString(QChar(0x2026)), Qt::ElideRight, width);
        if (metrics.horizontalAdvance(lines[i]) > width)
            lines[i] = metrics.elidedText(lines[i], Qt::ElideRight, width);
    }
    return lines.join('\n');
}

QString KeyPictureButtons::accessibleName(int id, const QString& caption)
{
    static const char* const parts[] = {"left", "press", "right"};
    const QString what = caption.isEmpty() || caption == kEmptyCaption ? QStringLiteral("empty")
                                                                        : QString(caption).replace('\n', ' ');
    if (id >= 16 && id <= kCount)
        return QStringLiteral("Knob %1 %2: %3").arg((id - 16) / 3 + 1).arg(QLatin1String(parts[(id - 16) % 3]), what);
    return QStringLiteral("Key %1: %2").arg(id).arg(what);
}

void KeyPictureButtons::refreshCaption(QPushButton* button)
{
    const QString caption = button->text();
    const QRect area = captionArea(button, optionFor(button));
    const bool elided = fittedCaption(caption, button->fontMetrics(), area).remove('\n').remove(' ')
                        != QString(caption).remove('\n').remove(' ');
    const QString tip = elided ? caption : QString();
    if (button->toolTip() != tip)
        button->setToolTip(tip);
    const QString name = accessibleName(button->property(kIdProperty).toInt(), caption);
    if (button->accessibleName() != name)
        button->setAccessibleName(name);
}

const char* const KeyPictureButtons::NormalStyle =
    "QPushButton{background-color: rgba(125, 125, 125, 5);border-radius:10px;color:#FFFFFF;}";
const char* const KeyPictureButtons::SelectedStyle =
    "QPushButton{background-color: rgba(125, 125, 125, 5);border-radius:10px;color:#FFFFFF;border:4px solid "
    "#e1e100;}";

KeyPictureButtons::KeyPictureButtons(QWidget* root) : painter_(std::make_unique<Painter>())
{
    for (int id = 1; id <= kCount; ++id) {
        const QString name = QStringLiteral("pushButton_K%1").arg(id);
        buttons_[id] = root->findChild<QPushButton*>(name);
        if (!buttons_[id]) {
            qCWarning(lcUi) << "Button not found:" << name;
            continue;
        }
        buttons_[id]->setProperty(kIdProperty, id);
        buttons_[id]->installEventFilter(painter_.get());
        refreshCaption(buttons_[id]);
    }
}

// Qt drops a deleted filter from the buttons itself, whichever goes first.
KeyPictureButtons::~KeyPictureButtons() = default;

QPushButton* KeyPictureButtons::button(int id) const
{
    return (id >= 1 && id <= kCount) ? buttons_[id] : nullptr;
}

void KeyPictureButtons::setText(int id, const QString& text)
{
    if (QPushButton* b = button(id)) {
        b->setText(text);
        refreshCaption(b);
    }
}

QString KeyPictureButtons::text(int id) const
{
    QPushButton* b = button(id);
    return b ? b->text() : QString();
}

void KeyPictureButtons::resetHighlights()
{
    for (int id = 1; id <= kSelectable; ++id)
        if (QPushButton* b = buttons_[id])
            b->setStyleSheet(NormalStyle);
}

void KeyPictureButtons::highlight(int id)
{
    if (id >= 1 && id <= kSelectable)
        if (QPushButton* b = buttons_[id])
            b->setStyleSheet(SelectedStyle);
}

void KeyPictureButtons::highlightKey(int id, bool lightingPageInFront)
{
    if (lightingPageInFront)
        return;
    if (id == 0xFF) {
        resetHighlights();
    } else if (id >= 1 && id <= kSelectable) {
        resetHighlights();
        highlight(id);
    }
}
