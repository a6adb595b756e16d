#pragma once

#include "models/layout_table.h"

#include <array>
#include <cstdint>
#include <vector>

class QLabel;
class QPushButton;
class QWidget;

// Puts the main window's fixed controls and the keypad picture in place. The
// widgets are looked up by object name once; a missing one is reported then
// and left alone afterwards.
class LayoutView {
public:
    explicit LayoutView(QWidget* window);

    void placeFixedControls(int W, int H);
    // Picks the picture for the board identity (keys, knobs, version, variant)
    // and lays it out for a window of W x H.
    void apply(const uint8_t layoutIdentity[4], uint16_t productId, int W, int H);
    int currentLayout() const { return m_layout; }

private:
    template <typename T>
    T* find(const QString& name);
    void applyPlacement(const LayoutPlacement& placement);

    QWidget* m_window;
    std::array<QPushButton*, kAllButtons + 1> m_buttons{};
    std::array<QLabel*, kAllButtons + 1> m_labels{};
    QLabel* m_plate = nullptr;
    QWidget* m_textBox = nullptr;
    QLabel* m_qrLabel = nullptr;
    std::vector<QWidget*> m_fixed;  // in the order of computeFixedControls()
    int m_layout = 0;
};
