#include "app/picture/layout_view.h"

#include "app/look/styles.h"
#include "app/picture/control_names.h"
#include "app/picture/picture_cache.h"
#include "app/picture/picture_paths.h"
#include "build_config.h"

#include <QDebug>
#include <QEvent>
#include <QLabel>
#include <QMultiMap>
#include <QPushButton>
#include <QWidget>
#include <QWindow>

#include <utility>

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

class LayoutView::ExposeWatch : public QObject {
public:
    ExposeWatch(LayoutView& view, QWindow& window) : m_view(view) { window.installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Before the window's own handling, which paints what is exposed.
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            m_view.releasePictures();
        }
        return false;
    }

private:
    LayoutView& m_view;
};

LayoutView::LayoutView(QWidget* window, PictureCache& pictures) : m_window(window), m_pictureCache(pictures)
{
    for (int n = 1; n <= kAllButtons; ++n) {
        m_buttons[static_cast<size_t>(n)] = find<QPushButton>(QStringLiteral("pushButton_K%1").arg(n));
        m_labels[static_cast<size_t>(n)] = find<QLabel>(QStringLiteral("pushButton_K%1_BK").arg(n));
    }
    m_plate = find<QLabel>(QStringLiteral("ALL_KEY_BK"));
    m_textBox = find<QWidget>(QStringLiteral("lineEdit"));
    m_qrLabel = find<QLabel>(QStringLiteral("QR_Code_Label"));
    for (const ControlRect& control : computeFixedControls(1920, 1006))
        m_fixed.push_back(find<QWidget>(QString::fromLatin1(controlObjectName(control.id))));

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

LayoutView::~LayoutView() = default;

void LayoutView::holdPicturesUntilExposed()
{
    QWindow* window = m_window ? m_window->windowHandle() : nullptr;
    if (window && !window->isExposed() && !m_exposeWatch) {
        m_exposeWatch = std::make_unique<ExposeWatch>(*this, *window);
        m_holdingPictures = true;
    }
}

void LayoutView::releasePictures()
{
    m_holdingPictures = false;
    const QHash<QLabel*, HeldPicture> held = std::exchange(m_heldPictures, {});
    // Nothing is being resized while a window appears: no original is kept.
    // By picture, so one shown on several labels (the knobs') decodes once
    // and each original goes before the next decodes into the memory it left.
    QMultiMap<QString, QLabel*> byPicture;
    for (auto it = held.begin(); it != held.end(); ++it)
        byPicture.insert(it->path, it.key());
    for (const QString& path : byPicture.uniqueKeys()) {
        for (QLabel* label : byPicture.values(path))
            m_pictureCache.show(label, path, held.value(label).box);
        m_pictureCache.releaseOriginal(path);
    }
    m_pictureCache.releaseOriginals();
}

void LayoutView::showPicture(QLabel* label, const QString& path, const QSize& box)
{
    if (m_holdingPictures)
        m_heldPictures.insert(label, {path, box});
    else
        m_pictureCache.show(label, path, box);
}

void LayoutView::placeFixedControls(int W, int H)
{
    const std::vector<ControlRect> controls = computeFixedControls(W, H);
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

    for (const ButtonPlacement& p : placement.buttons) {
        QPushButton* button = m_buttons[static_cast<size_t>(p.index)];
        QLabel* label = m_labels[static_cast<size_t>(p.index)];
        if (button) {
            setGeometryIfChanged(button, p.button);
            setStyleSheetIfChanged(button, buttonStyleSheet(p.radius));
            // Tell the caption painter to keep the text inside the circle, or
            // below a turn arrow's picture.
            button->setProperty("round", p.shape == ButtonShape::RoundKnob);
            button->setProperty("arrow", p.art == ButtonArt::LeftArrow || p.art == ButtonArt::RightArrow);
            setVisibleIfChanged(button, true);
        }
        if (label) {
            setGeometryIfChanged(label, p.label);
            showPicture(label, picturePath(p), p.button.size());
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
        showPicture(m_qrLabel, qrCodePicturePath(), placement.qrLabel.size());
    }
    setVisibleIfChanged(m_qrLabel, placement.hasQrLabel);
}
