#pragma once

#include <QList>
#include <QObject>

class QAbstractButton;
class QButtonGroup;
class QTabWidget;
class QWidget;

// The window from the keyboard. Tab and Shift+Tab walk, in this order: the
// controls outside the picture and the pages (the action column, in the order
// the window gave it), the layer buttons, the keys of the picture (the keys
// row by row, then each knob's left, press and right), the page tabs and the
// controls of the page in front. The order is worked out at each step from
// what is shown, so another board, another page or a control added later
// need no bookkeeping. Arrow keys move between the keys of the picture; Enter
// clicks the focused button, as Space does.
class KeyboardNavigation : public QObject {
    Q_OBJECT

public:
    KeyboardNavigation(QWidget& window, QTabWidget& tabs, QList<QAbstractButton*> layers, QButtonGroup& keys,
                       QObject* parent = nullptr);

    // The window's Tab: true when the focus moved.
    bool focusNext(bool forward);
    // Everything Tab reaches now, in order.
    QList<QWidget*> order() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QAbstractButton*> pictureKeys() const;
    bool moveAcrossPicture(QAbstractButton* from, int key);

    QWidget& Window;
    QTabWidget& Tabs;
    QList<QAbstractButton*> Layers;
    QButtonGroup& Keys;
};
