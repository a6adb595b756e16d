#include "models/layout_view.h"

#include "build_config.h"
#include "models/picture_cache.h"

#include <QDebug>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace {

void setGeometryIfChanged(QWidget* w, const QRect& rect)
{
    if (w && w->geometry() != rect)
        w->setGeometry(rect);
}

void setVisibleIfChanged(QWidget* w, bool visible)
{
    if (w && w->isHidden() == visible)
        w->setVisible(visible);
}

void setStyleSheetIfChanged(QWidget* w, const QString& sheet)
{
    if (w && w->styleSheet() != sheet)
        w->setStyleSheet(sheet);
}

}  // namespace

template <typename T>
T* LayoutView::find(const QString& name)
{
    T* w = m_window ? m_window->findChild<T*>(name) : nullptr;
    if (!w)
        qWarning("LayoutView: no widget named %s", qPrintable(name));
    return w;
}

LayoutView::LayoutView(QWidget* window) : m_window(window)
{
    for (int n = 1; n <= kAllButtons; ++n) {
        m_buttons[static_cast<size_t>(n)] = find<QPushButton>(QStringLiteral("pushButton_K%1").arg(n));
        m_labels[static_cast<size_t>(n)] = find<QLabel>(QStringLiteral("pushButton_K%1_BK").arg(n));
    }
    m_plate = find<QLabel>(QStringLiteral("ALL_KEY_BK"));
    m_textBox = find<QWidget>(QStringLiteral("lineEdit"));
    m_qrLabel = find<QLabel>(QStringLiteral("QR_Code_Label"));
    for (const NamedRect& control : computeFixedControls(1920, 1006))
        m_fixed.push_back(find<QWidget>(QString::fromLatin1(control.name)));

    // Plate at the back, each picture under its click button, whatever order
    // the form created them in.
    if (m_plate)
        m_plate->lower();
    for (int n = 1; n <= kAllButtons; ++n) {
        QPushButton* b = m_buttons[static_cast<size_t>(n)];
        QLabel* l = m_labels[static_cast<size_t>(n)];
        if (b && l && b->parentWidget() == l->parentWidget())
            l->stackUnder(b);
    }
}

void LayoutView::placeFixedControls(int W, int H)
{
    const std::vector<NamedRect> controls = computeFixedControls(W, H);
    for (size_t i = 0; i < controls.size() && i < m_fixed.size(); ++i)
        setGeometryIfChanged(m_fixed[i], controls[i].rect);
}

void LayoutView::apply(const uint8_t layoutIdentity[4], uint16_t productId, int W, int H)
{
    m_layout = chooseLayout(layoutIdentity[0], layoutIdentity[1], layoutIdentity[2], layoutIdentity[3],
                            productId, Build_Variant);
    applyPlacement(computeLayout(m_layout, W, H));
}

void LayoutView::applyPlacement(const LayoutPlacement& placement)
{
    setGeometryIfChanged(m_plate, placement.plate);
    setGeometryIfChanged(m_textBox, placement.textBox);

    PictureCache& pictures = pictureCache();
    for (const ButtonPlacement& p : placement.buttons) {
        QPushButton* button = m_buttons[static_cast<size_t>(p.index)];
        QLabel* label = m_labels[static_cast<size_t>(p.index)];
        if (button) {
            setGeometryIfChanged(button, p.button);
            setStyleSheetIfChanged(button, buttonStyleSheet(p.radius));
            // Tell the caption painter to keep the text inside the circle, or
            // below a turn arrow's picture.
            button->setProperty("round", p.shape == ButtonShape::RoundKnob);
            button->setProperty("arrow", p.picture.contains(QLatin1String("/KN_LEFT"))
                                             || p.picture.contains(QLatin1String("/KN_RIGHT")));
            setVisibleIfChanged(button, true);
        }
        if (label) {
            setGeometryIfChanged(label, p.label);
            pictures.show(label, p.picture, p.button.size());
            setVisibleIfChanged(label, true);
        }
    }

    for (int n = 1; n <= kAllButtons; ++n) {
        if (n <= kPictureButtons && placement.used[static_cast<size_t>(n)])
            continue;
        setVisibleIfChanged(m_buttons[static_cast<size_t>(n)], false);
        setVisibleIfChanged(m_labels[static_cast<size_t>(n)], false);
    }

    if (placement.hasQrLabel && m_qrLabel) {
        setGeometryIfChanged(m_qrLabel, placement.qrLabel);
        pictureCache().show(m_qrLabel, placement.qrPicture, placement.qrLabel.size());
    }
    setVisibleIfChanged(m_qrLabel, placement.hasQrLabel);
}
