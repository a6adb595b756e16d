#include "app/window/keyboard_navigation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

namespace {

bool tabbable(const QWidget* w)
{
    return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
}

// A knob's turn arrows and its press; the layouts mark them for drawing.
bool isKnobPart(const QWidget* w) { return w->property("round").toBool() || w->property("arrow").toBool(); }

QPoint centreOf(const QWidget* w) { return w->geometry().center(); }

}  // namespace

KeyboardNavigation::KeyboardNavigation(QWidget& window, QTabWidget& tabs, QList<QAbstractButton*> layers,
                                       QButtonGroup& keys, QObject* parent)
    : QObject(parent), Window(window), Tabs(tabs), Layers(std::move(layers)), Keys(keys)
{
    Window.installEventFilter(this);
    for (QAbstractButton* key : Keys.buttons())
        key->installEventFilter(this);
}

QList<QAbstractButton*> KeyboardNavigation::pictureKeys() const
{
    QList<QAbstractButton*> keys;
    QList<QAbstractButton*> knobParts;
    for (QAbstractButton* b : Keys.buttons()) {
        if (b->isVisible() && b->isEnabled() && !b->size().isEmpty())
            (isKnobPart(b) ? knobParts : keys) << b;
    }
    // Row by row: a key whose top lies within half a key of the row's first
    // key is on that row.
    std::sort(keys.begin(), keys.end(), [](QAbstractButton* a, QAbstractButton* b) { return a->y() < b->y(); });
    QList<QAbstractButton*> ordered;
    for (int start = 0; start < keys.size();) {
        int end = start + 1;
        while (end < keys.size() && keys[end]->y() < keys[start]->y() + keys[start]->height() / 2)
            ++end;
        QList<QAbstractButton*> row = keys.mid(start, end - start);
        std::sort(row.begin(), row.end(), [](QAbstractButton* a, QAbstractButton* b) { return a->x() < b->x(); });
        ordered << row;
        start = end;
    }
    // Knob actions are numbered left, press, right, knob after knob.
    std::sort(knobParts.begin(), knobParts.end(),
              [this](QAbstractButton* a, QAbstractButton* b) { return Keys.id(a) < Keys.id(b); });
    return ordered << knobParts;
}

QList<QWidget*> KeyboardNavigation::order() const
{
    const QList<QAbstractButton*> keys = pictureKeys();
    auto ownedElsewhere = [&](QWidget* w) {
        return w == &Tabs || Tabs.isAncestorOf(w) || Layers.contains(qobject_cast<QAbstractButton*>(w))
               || Keys.buttons().contains(qobject_cast<QAbstractButton*>(w));
    };
    QList<QWidget*> list;
    for (QWidget* w = Window.nextInFocusChain(); w != &Window; w = w->nextInFocusChain()) {
        if (w->window() == &Window && tabbable(w) && !ownedElsewhere(w))
            list << w;
    }
    for (QAbstractButton* layer : Layers) {
        if (tabbable(layer))
            list << layer;
    }
    for (QAbstractButton* key : keys)
        list << key;
    if (tabbable(Tabs.tabBar()))
        list << Tabs.tabBar();
    if (QWidget* page = Tabs.currentWidget()) {
        for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
            if (page->isAncestorOf(w) && tabbable(w))
                list << w;
        }
    }
    return list;
}

bool KeyboardNavigation::focusNext(bool forward)
{
    const QList<QWidget*> list = order();
    if (list.isEmpty())
        return false;
    QWidget* focused = QApplication::focusWidget();
    int at = -1;
    for (int i = 0; i < list.size() && focused; ++i) {
        if (list[i] == focused || list[i]->isAncestorOf(focused)) {
            at = i;
            break;
        }
    }
    const int n = list.size();
    const int next = at < 0 ? (forward ? 0 : n - 1) : (at + (forward ? 1 : n - 1)) % n;
    list[next]->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool KeyboardNavigation::moveAcrossPicture(QAbstractButton* from, int key)
{
    const QPoint here = centreOf(from);
    QAbstractButton* best = nullptr;
    int bestScore = 0;
    for (QAbstractButton* b : pictureKeys()) {
        const QPoint d = centreOf(b) - here;
        // Along the arrow, and how far off to the side: a key straight ahead
        // beats a nearer one diagonally.
        int along = 0;
        int aside = 0;
        switch (key) {
        case Qt::Key_Left: along = -d.x(), aside = d.y(); break;
        case Qt::Key_Right: along = d.x(), aside = d.y(); break;
        case Qt::Key_Up: along = -d.y(), aside = d.x(); break;
        default: along = d.y(), aside = d.x(); break;
        }
        if (b == from || along <= 0 || qAbs(aside) > 2 * along + from->height())
            continue;
        const int score = along + 2 * qAbs(aside);
        if (!best || score < bestScore) {
            best = b;
            bestScore = score;
        }
    }
    if (best)
        best->setFocus(key == Qt::Key_Left || key == Qt::Key_Up ? Qt::BacktabFocusReason : Qt::TabFocusReason);
    return best != nullptr;
}

bool KeyboardNavigation::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* press = static_cast<QKeyEvent*>(event);
    const int key = press->key();
    const bool plain = (press->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (button && Keys.buttons().contains(button) && plain
        && (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down)) {
        // Taken here: the button group would also select the key it moves to.
        moveAcrossPicture(button, key);
        return true;
    }
    // Enter a button left unhandled reaches the window: it clicks, like Space.
    if (watched == &Window && plain && !press->isAutoRepeat() && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        if (focused && focused->window() == &Window && focused->isEnabled()) {
            focused->click();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
