#pragma once

#include <QPair>
#include <QVector>

class QTabWidget;
class QWidget;

// Keeps the pages the user has not opened out of the window's first polish.
//
// Showing a window polishes every widget below it, hidden pages included,
// and under the window's style sheet that was most of the start. Each page's
// controls sit in one body widget. For as long as this guard lives, the body
// of every page but the current one is taken out of its page; the guard's end
// puts it back unpolished, and Qt polishes it when its page is first shown.
// Live only around the first show(): nothing may look for a page's controls
// meanwhile. Afterwards every control is where the form put it.
class PagesHeldBack {
public:
    explicit PagesHeldBack(QTabWidget& tabs);
    ~PagesHeldBack();

    PagesHeldBack(const PagesHeldBack&) = delete;
    PagesHeldBack& operator=(const PagesHeldBack&) = delete;

private:
    QVector<QPair<QWidget*, QWidget*>> Held;  // page, its body
};
