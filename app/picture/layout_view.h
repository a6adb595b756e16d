#pragma once

#include "core/keypad/layout_table.h"

#include <QHash>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class PictureCache;

class QLabel;
class QPushButton;
class QWidget;

// Puts the main window's fixed controls and the keypad picture in place. The
// widgets are looked up by object name once; a missing one is reported then
// and left alone afterwards.
class LayoutView {
public:
    LayoutView(QWidget* window, PictureCache& pictures);
    ~LayoutView();

    // Until the window is first exposed, the pictures are only noted and then
    // scaled once, for the size it is shown at: a window being shown passes
    // through sizes (its normal size, the screen's, the size with the frame)
    // and each would cost scaling every picture of the keypad.
    void holdPicturesUntilExposed();

    void placeFixedControls(int W, int H);
    // Picks the picture for the board identity (keys, knobs, version, variant)
    // and lays it out for a window of W x H.
    void apply(const uint8_t layoutIdentity[4], uint16_t productId, int W, int H);
    int currentLayout() const { return m_layout; }

private:
    template <typename T>
    T* find(const QString& name);
    void applyPlacement(const LayoutPlacement& placement);
    void showPicture(QLabel* label, const QString& path, const QSize& box);
    void releasePictures();

    class ExposeWatch;
    std::unique_ptr<ExposeWatch> m_exposeWatch;
    bool m_holdingPictures = false;
    struct HeldPicture {
        QString path;
        QSize box;
    };
    QHash<QLabel*, HeldPicture> m_heldPictures;

    QWidget* m_window;
    PictureCache& m_pictureCache;
    std::array<QPushButton*, kAllButtons + 1> m_buttons{};
    std::array<QLabel*, kAllButtons + 1> m_labels{};
    QLabel* m_plate = nullptr;
    QWidget* m_textBox = nullptr;
    QLabel* m_qrLabel = nullptr;
    std::vector<QWidget*> m_fixed;  // in the order of computeFixedControls()
    int m_layout = 0;
};
