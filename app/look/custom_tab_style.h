#pragma once

#include <QProxyStyle>

struct WindowState;

// Tabs of the West-side page selector, sized from the window and captioned
// horizontally; the selected tab gets a filled highlight. Nothing else of a
// tab (its frame or shape) is drawn.
class CustomTabStyle : public QProxyStyle {
public:
    explicit CustomTabStyle(const WindowState& state) : State(state) {}
    ~CustomTabStyle() override = default;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;

private:
    const WindowState& State;  // the tabs follow the window's size
};
