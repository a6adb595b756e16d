#include "app/picture/key_picture_buttons.h"

#include "app/window/window_log.h"
#include "core/keypad/board.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QRegion>
#include <QStringList>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QToolTip>
#include <QWidget>

namespace {

const char* const kIdProperty = "keyId";
const QString kEmptyCaption = QStringLiteral("NULL");

// The turn arrows' pictures fill the upper 70 % of their square.
constexpr double kArrowPictureShare = 0.7;

// Key pictures carry their number in the top-left corner, in the top sixth.
constexpr double kKeyNumberShare = 0.17;

bool isArrow(const QPushButton* button) { return button->property("arrow").toBool(); }

// The area the caption may use: the style's contents rectangle; for the round
// knob the square inside the circle, whose corners the arrows overlap; for a
// turn arrow the band under its picture.
QRect captionArea(QPushButton* button, const QStyleOptionButton& option)
{
    QRect area = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    if (button->property("round").toBool()) {
        const int side = static_cast<int>(qMin(button->width(), button->height()) * 0.7);
        area = QRect(0, 0, side, side);
        area.moveCenter(button->rect().center());
    } else if (isArrow(button)) {
        const int top = static_cast<int>(button->height() * kArrowPictureShare);
        area = QRect(0, top, button->width(), button->height() - top);
    } else if (button->property(kIdProperty).toInt() > 0) {
        area.setTop(qMax(area.top(), static_cast<int>(button->height() * kKeyNumberShare)));  // the printed number
    }
    return area.adjusted(1, 0, -1, 0);
}

bool isKnobPart(const QPushButton* button) { return isArrow(button) || button->property("round").toBool(); }

// Knob captions have little room: an arrow's band, the square inside a
// knob. They shrink, down to a size still legible, until the whole caption
// fits; only what does not fit even then is shortened.
QFont captionFont(const QPushButton* button, const QRect& area)
{
    QFont font = button->font();
    if (!isKnobPart(button))
        return font;
    constexpr int kSmallest = 9;
    int pixels = QFontInfo(font).pixelSize();
    if (isArrow(button))
        pixels = qBound(kSmallest, area.height() - 1, pixels);
    const QString caption = QString(button->text()).remove(' ').remove('\n');
    for (; pixels > kSmallest; --pixels) {
        font.setPixelSize(pixels);
        const QString shown = KeyPictureButtons::fittedCaption(button->text(), QFontMetrics(font), area);
        if (QString(shown).remove(' ').remove('\n') == caption)
            return font;
    }
    font.setPixelSize(kSmallest);
    return font;
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
    Painter(const std::array<QPushButton*, kCount + 1>& keys, const std::array<QWidget*, kCount + 1>& pictures)
        : Keys(keys), Pictures(pictures)
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Events keep coming while a button is torn down, when it is no
        // longer a QPushButton: only a whole button is drawn.
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button)
            return false;
        switch (event->type()) {
        case QEvent::Paint:
            paint(button);
            return true;
        case QEvent::DynamicPropertyChange: {
            // "round" and "arrow" follow the geometry; the unsaved mark, set
            // on every key a save or read-back touches, changes no shape.
            const QByteArray name = static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName();
            if (name != "round" && name != "arrow")
                return false;
            if (button->property(kIdProperty).toInt() > 0)
                shapeKnobs();
            return false;
        }
        case QEvent::Resize:
            refreshCaption(button);
            Q_FALLTHROUGH();
        case QEvent::Move:
        case QEvent::Show:
        case QEvent::Hide:
            if (button->property(kIdProperty).toInt() > 0)
                shapeKnobs();
            return false;
        default:
            return false;
        }
    }

private:
    // A knob's round button reaches into the squares of its turn arrows, over
    // their captions. The knob and its picture lie under the arrows and
    // theirs, and each arrow leaves the circle out but for its caption: the
    // caption, its tooltip and its clicks are the arrow's, the rest of the
    // circle is the knob's.
    void shapeKnobs()
    {
        for (int a = 1; a <= kCount; ++a) {
            QPushButton* arrow = Keys[a];
            if (!arrow)
                continue;
            QRegion shape(arrow->rect());
            bool cut = false;
            for (int k = 1; k <= kCount && isArrow(arrow); ++k) {
                QPushButton* knob = Keys[k];
                if (!knob || knob->isHidden() || !knob->property("round").toBool()
                    || !knob->geometry().intersects(arrow->geometry()))
                    continue;
                // The caption's band stays whole: the edge of the circle it
                // crosses holds nothing of the knob's.
                const int bandTop = static_cast<int>(arrow->height() * kArrowPictureShare);
                const QRegion band(0, bandTop, arrow->width(), arrow->height() - bandTop);
                shape -= QRegion(knob->geometry().translated(-arrow->pos()), QRegion::Ellipse).subtracted(band);
                cut = true;
                QWidget* arrowBottom = Pictures[a] ? Pictures[a] : arrow;
                const QObjectList& stack = arrow->parentWidget()->children();
                if (stack.indexOf(knob) > stack.indexOf(arrowBottom)) {
                    if (Pictures[k])
                        Pictures[k]->stackUnder(arrowBottom);
                    knob->stackUnder(arrowBottom);
                }
            }
            if (cut && arrow->mask() != shape)
                arrow->setMask(shape);
            else if (!cut && !arrow->mask().isEmpty())
                arrow->clearMask();
        }
    }

    const std::array<QPushButton*, kCount + 1>& Keys;
    const std::array<QWidget*, kCount + 1>& Pictures;

    static void paint(QPushButton* button)
    {
        QStylePainter painter(button);
        const QStyleOptionButton option = optionFor(button);
        painter.drawControl(QStyle::CE_PushButton, option);  // the sheet's panel, no text
        const QRect area = captionArea(button, option);
        const QFont font = captionFont(button, area);
        // Fitted once for the tooltip and the drawing alike: laying out the
        // text is most of a button's paint.
        const QString shown = refreshCaption(button, area, font);
        QPalette palette = option.palette;
        // A key painted in its LED colour hides the number on its picture:
        // print the number, and write in whatever ink reads on that colour.
        const QColor fill = palette.color(QPalette::Button);
        const int id = button->property(kIdProperty).toInt();
        if (id > 0 && fill.alpha() > 128) {
            palette.setColor(QPalette::ButtonText, qGray(fill.rgb()) > 150 ? Qt::black : Qt::white);
            QFont small = font;
            small.setPixelSize(qBound(8, button->height() / 6, 14));
            painter.setFont(small);
            painter.drawItemText(button->rect().adjusted(5, 3, -5, -3), Qt::AlignLeft | Qt::AlignTop, palette,
                                 true, QString::number(id),
                                 QPalette::ButtonText);
        }
        painter.setFont(font);
        painter.drawItemText(area, Qt::AlignCenter, palette, button->isEnabled(), shown, QPalette::ButtonText);
        painter.setRenderHint(QPainter::Antialiasing);
        if (button->property(kUnsavedProperty).toBool()) {
            // An amber dot in the top-right corner, inside the rounded border.
            const int d = qBound(6, button->height() / 8, 12);
            const QRect dot(button->width() - d - qMax(4, d / 2), qMax(4, d / 2), d, d);
            painter.setPen(QPen(QColor(40, 40, 40), 1));
            painter.setBrush(QColor(255, 170, 0));
            painter.drawEllipse(dot);
        }
        if (button->hasFocus()) {
            // The keyboard's focus: white and dashed, inside the yellow frame of the selected key.
            painter.setPen(QPen(Qt::white, 2, Qt::DashLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(QRectF(button->rect()).adjusted(6, 6, -6, -6), 6, 6);
        }
    }
};

QString KeyPictureButtons::fittedCaption(const QString& caption, const QFontMetrics& metrics, const QRect& area)
{
    const int width = area.width();
    const int maxLines = qMax(1, area.height() / qMax(1, metrics.lineSpacing()));
    // Lines break after a '+' or a blank, so a modifier keeps its '+'.
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

namespace {
// The name a button was given by the board the picture shows.
constexpr const char* kSpokenProperty = "spokenName";
const char* const kSides[] = {"left", "press", "right"};
}  // namespace

QString KeyPictureButtons::spokenName(const Board& board, int id)
{
    if (board.isKnob(id))
        return QStringLiteral("Knob %1 %2").arg(board.knobNumber(id)).arg(QLatin1String(kSides[board.knobSide(id)]));
    return QStringLiteral("Key %1").arg(id);
}

QString KeyPictureButtons::accessibleName(const QString& spoken, const QString& caption)
{
    const QString what = caption.isEmpty() || caption == kEmptyCaption ? QStringLiteral("empty")
                                                                        : QString(caption).replace('\n', ' ');
    return spoken + QStringLiteral(": ") + what;
}

void KeyPictureButtons::nameFor(const Board& board)
{
    board_ = board;
    for (int id = 1; id <= kCount; ++id) {
        if (!buttons_[id])
            continue;
        buttons_[id]->setProperty(kSpokenProperty, spokenName(board, id));
        buttons_[id]->setAccessibleName(accessibleName(spokenName(board, id), buttons_[id]->text()));
    }
}

void KeyPictureButtons::refreshCaption(QPushButton* button)
{
    const QRect area = captionArea(button, optionFor(button));
    refreshCaption(button, area, captionFont(button, area));
}

QString KeyPictureButtons::refreshCaption(QPushButton* button, const QRect& area, const QFont& font)
{
    const QString caption = button->text();
    const QString shown = fittedCaption(caption, QFontMetrics(font), area);
    const bool elided = QString(shown).remove('\n').remove(' ') != QString(caption).remove('\n').remove(' ');
    const QString tip = elided ? caption : QString();
    if (button->toolTip() != tip) {
        // A tooltip on screen keeps its text: the old caption would stay (after an undo, say).
        if (QToolTip::isVisible() && !button->toolTip().isEmpty() && QToolTip::text() == button->toolTip())
            QToolTip::hideText();
        button->setToolTip(tip);
    }
    const int id = button->property(kIdProperty).toInt();
    if (id < 1)
        return shown;
    QString spoken = button->property(kSpokenProperty).toString();
    if (spoken.isEmpty())  // no board named yet: the generic names
        spoken = SlotNames::isKnobSlot(id) ? QStringLiteral("Knob %1 %2")
                                                 .arg(SlotNames::knobOf(id))
                                                 .arg(QLatin1String(kSides[(id - 16) % 3]))
                                           : QStringLiteral("Key %1").arg(id);
    const QString name = accessibleName(spoken, caption);
    if (button->accessibleName() != name)
        button->setAccessibleName(name);
    return shown;
}

void KeyPictureButtons::fitCaption(QPushButton* button)
{
    button->installEventFilter(painter_.get());
    // A button on a page not shown yet has neither its size nor its font:
    // it is fitted when its page first lays it out.
    if (button->isVisible())
        refreshCaption(button);
}

const char* const KeyPictureButtons::NormalStyle =
    "QPushButton{background-color: rgba(125, 125, 125, 5);border-radius:10px;color:#FFFFFF;}";
const char* const KeyPictureButtons::SelectedStyle =
    "QPushButton{background-color: rgba(125, 125, 125, 5);border-radius:10px;color:#FFFFFF;border:4px solid "
    "#e1e100;}";

KeyPictureButtons::KeyPictureButtons(QWidget* root) : painter_(std::make_unique<Painter>(buttons_, pictures_))
{
    for (int id = 1; id <= kCount; ++id) {
        const QString name = QStringLiteral("pushButton_K%1").arg(id);
        buttons_[id] = root->findChild<QPushButton*>(name);
        if (!buttons_[id]) {
            qCWarning(lcUi) << "Button not found:" << name;
            continue;
        }
        // The picture under a button only shows: a pointer over it is over
        // the button, or over what lies below where the button is not.
        pictures_[id] = root->findChild<QWidget*>(name + QLatin1String("_BK"));
        if (pictures_[id])
            pictures_[id]->setAttribute(Qt::WA_TransparentForMouseEvents);
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
