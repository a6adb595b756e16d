#pragma once

#include <QWidget>

// The widget holding the controls of one of the form's pages. A class of its
// own so the window's style sheet can reach the form's pages, and only them,
// with one selector.
class PageBody : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;
};
