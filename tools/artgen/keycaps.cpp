#include "art.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>

namespace {

// Speaker with a cross beside it, centred in `area`.
void paintMuteGlyph(QPainter &p, const QRectF &area, qreal unit)
{
    const qreal h = area.height() * 0.42;
    const QPointF c = area.center();
    const qreal left = c.x() - h * 0.85;
    QPolygonF speaker;
    speaker << QPointF(left, c.y() - h * 0.2) << QPointF(left + h * 0.3, c.y() - h * 0.2)
            << QPointF(left + h * 0.72, c.y() - h * 0.5) << QPointF(left + h * 0.72, c.y() + h * 0.5)
            << QPointF(left + h * 0.3, c.y() + h * 0.2) << QPointF(left, c.y() + h * 0.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 218, 224));
    p.drawPolygon(speaker);

    QPen cross(QColor(236, 92, 80), unit * 0.035, Qt::SolidLine, Qt::RoundCap);
    p.setPen(cross);
    const QPointF x(left + h * 1.3, c.y());
    const qreal d = h * 0.26;
    p.drawLine(x + QPointF(-d, -d), x + QPointF(d, d));
    p.drawLine(x + QPointF(-d, d), x + QPointF(d, -d));
}

} // namespace

QImage renderKeyCap(QSize size, const QString &cornerLegend, CapGlyph glyph)
{
    QImage image = transparentCanvas(size);
    const qreal unit = std::min(size.width(), size.height());
    const qreal margin = unit * 0.065;
    const QRectF base(margin, margin * 0.7, size.width() - 2 * margin, size.height() - 2 * margin);
    const QPainterPath basePath = roundedRectPath(base, unit * 0.15);

    paintDropShadow(image, basePath, unit * 0.05, QPointF(0, unit * 0.035), QColor(0, 0, 0, 150));

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // The skirt: lit from above, so its far edge is bright and its near edge dark.
    QLinearGradient skirt(base.topLeft(), base.bottomLeft());
    skirt.setColorAt(0.0, QColor(0x7a, 0x7f, 0x88));
    skirt.setColorAt(0.45, QColor(0x4b, 0x4f, 0x56));
    skirt.setColorAt(1.0, QColor(0x23, 0x26, 0x2b));
    p.setPen(QPen(QColor(10, 12, 14, 190), unit * 0.008));
    p.setBrush(skirt);
    p.drawPath(basePath);

    QLinearGradient sideLight(base.topLeft(), base.topRight());
    sideLight.setColorAt(0.0, QColor(255, 255, 255, 20));
    sideLight.setColorAt(0.5, QColor(255, 255, 255, 0));
    sideLight.setColorAt(1.0, QColor(0, 0, 0, 35));
    p.setPen(Qt::NoPen);
    p.setBrush(sideLight);
    p.drawPath(basePath);

    // The top face sits a little towards the back, as a cap's dished top does.
    const QRectF face = base.adjusted(unit * 0.085, unit * 0.05, -unit * 0.085, -unit * 0.12);
    const QPainterPath facePath = roundedRectPath(face, unit * 0.11);
    QLinearGradient faceFill(face.topLeft(), face.bottomLeft());
    faceFill.setColorAt(0.0, QColor(0x5d, 0x62, 0x6a));
    faceFill.setColorAt(1.0, QColor(0x44, 0x48, 0x4f));
    p.setBrush(faceFill);
    p.drawPath(facePath);

    QRadialGradient dish(face.center(), std::max(face.width(), face.height()) * 0.62);
    dish.setColorAt(0.0, QColor(0, 0, 0, 26));
    dish.setColorAt(0.7, QColor(0, 0, 0, 8));
    dish.setColorAt(1.0, QColor(255, 255, 255, 10));
    p.setBrush(dish);
    p.drawPath(facePath);

    QLinearGradient rim(face.topLeft(), face.bottomLeft());
    rim.setColorAt(0.0, QColor(255, 255, 255, 95));
    rim.setColorAt(0.35, QColor(255, 255, 255, 0));
    rim.setColorAt(0.8, QColor(0, 0, 0, 0));
    rim.setColorAt(1.0, QColor(0, 0, 0, 70));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(rim), unit * 0.012));
    p.drawPath(facePath);

    if (!cornerLegend.isEmpty()) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setBold(true);
        font.setPixelSize(int(unit * 0.115));
        p.setFont(font);
        const QFontMetricsF metrics(font);
        const QPointF origin(face.left() + unit * 0.06, face.top() + unit * 0.035 + metrics.ascent());
        const qreal px = unit / 256.0 * 1.5;
        p.setPen(QColor(12, 14, 16, 170));
        p.drawText(origin + QPointF(-px * 0.5, -px), cornerLegend);
        p.setPen(QColor(204, 209, 216, 225));
        p.drawText(origin, cornerLegend);
    }

    if (glyph == CapGlyph::Speaker)
        paintMuteGlyph(p, face, unit);

    return image;
}
