#include "art.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTransform>

#include <QtMath>

namespace {

QPointF onCircle(QPointF centre, qreal radius, qreal degrees)
{
    const qreal a = qDegreesToRadians(degrees);
    return {centre.x() + radius * qCos(a), centre.y() - radius * qSin(a)};
}

QPainterPath circlePath(QPointF centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath knurledRim(QPointF centre, qreal outer, qreal inner, int teeth)
{
    QPolygonF outline;
    for (int i = 0; i < teeth; ++i) {
        const qreal step = 360.0 / teeth;
        const qreal a = i * step;
        outline << onCircle(centre, inner, a) << onCircle(centre, outer, a + step * 0.2)
                << onCircle(centre, outer, a + step * 0.55) << onCircle(centre, inner, a + step * 0.75);
    }
    QPainterPath path;
    path.addPolygon(outline);
    path.closeSubpath();
    return path;
}

} // namespace

QImage renderKnob(int diameter)
{
    QImage image = transparentCanvas(QSize(diameter, diameter));
    const qreal d = diameter;
    const QPointF c(d / 2, d / 2 - d * 0.012);
    const qreal r = d * 0.43;

    paintDropShadow(image, circlePath(c, r), d * 0.05, QPointF(0, d * 0.03), QColor(0, 0, 0, 160));

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Knurled grip: a conical sheen makes the teeth read as machined metal.
    const QPainterPath rim = knurledRim(c, r, r * 0.955, 72);
    QConicalGradient metal(c, 90);
    const QColor light(0x9c, 0xa2, 0xaa), dark(0x36, 0x3a, 0x40);
    for (int i = 0; i <= 8; ++i)
        metal.setColorAt(i / 8.0, i % 2 ? dark : light);
    p.setPen(QPen(QColor(0, 0, 0, 150), d * 0.004));
    p.setBrush(metal);
    p.drawPath(rim);
    QLinearGradient rimShade(c.x(), c.y() - r, c.x(), c.y() + r);
    rimShade.setColorAt(0.0, QColor(255, 255, 255, 40));
    rimShade.setColorAt(1.0, QColor(0, 0, 0, 90));
    p.setPen(Qt::NoPen);
    p.setBrush(rimShade);
    p.drawPath(rim);

    p.setBrush(QColor(0x1c, 0x1f, 0x23));
    p.drawEllipse(c, r * 0.86, r * 0.86);

    // The cap.
    const qreal capR = r * 0.8;
    QRadialGradient capFill(c, capR, c - QPointF(capR * 0.35, capR * 0.45));
    capFill.setColorAt(0.0, QColor(0x63, 0x68, 0x70));
    capFill.setColorAt(1.0, QColor(0x34, 0x38, 0x3e));
    p.setBrush(capFill);
    p.drawEllipse(c, capR, capR);

    QConicalGradient brushed(c, 45);
    for (int i = 0; i <= 4; ++i)
        brushed.setColorAt(i / 4.0, i % 2 ? QColor(255, 255, 255, 0) : QColor(255, 255, 255, 26));
    p.setBrush(brushed);
    p.drawEllipse(c, capR, capR);
    p.setBrush(Qt::NoBrush);
    for (qreal ring = 0.2; ring < 1.0; ring += 0.09) {
        p.setPen(QPen(QColor(0, 0, 0, 14), d * 0.003));
        p.drawEllipse(c, capR * ring, capR * ring);
    }

    QLinearGradient capEdge(c.x(), c.y() - capR, c.x(), c.y() + capR);
    capEdge.setColorAt(0.0, QColor(255, 255, 255, 110));
    capEdge.setColorAt(0.5, QColor(255, 255, 255, 0));
    capEdge.setColorAt(1.0, QColor(0, 0, 0, 90));
    p.setPen(QPen(QBrush(capEdge), d * 0.01));
    p.drawEllipse(c, capR, capR);

    // A shallow centre button: the knob is also pressed.
    const qreal pressR = capR * 0.42;
    QRadialGradient dimple(c, pressR);
    dimple.setColorAt(0.0, QColor(0, 0, 0, 10));
    dimple.setColorAt(0.85, QColor(0, 0, 0, 30));
    dimple.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(dimple);
    p.drawEllipse(c, pressR, pressR);
    QLinearGradient pressEdge(c.x(), c.y() - pressR, c.x(), c.y() + pressR);
    pressEdge.setColorAt(0.0, QColor(0, 0, 0, 80));
    pressEdge.setColorAt(1.0, QColor(255, 255, 255, 70));
    p.setPen(QPen(QBrush(pressEdge), d * 0.008));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, pressR, pressR);

    // Position mark.
    p.setPen(QPen(QColor(0xe6, 0xea, 0xef), d * 0.024, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(onCircle(c, capR * 0.66, 90), onCircle(c, capR * 0.86, 90));
    return image;
}

QImage renderTurnArrow(QSize size, TurnDirection direction, ArrowSide side)
{
    // Built around a circle of radius 100 (large enough that the stroker
    // flattens the arc smoothly): an arc over the knob's upper left, turning
    // counter-clockwise; the other cases are mirror images of it.
    const qreal radius = 100, startDeg = 62, endDeg = 158, width = 20;
    const QPointF origin(0, 0);
    QPainterPath arc;
    arc.moveTo(onCircle(origin, radius, startDeg));
    arc.arcTo(QRectF(-radius, -radius, 2 * radius, 2 * radius), startDeg, endDeg - startDeg);
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    QPainterPath shape = stroker.createStroke(arc);

    const QPointF end = onCircle(origin, radius, endDeg);
    const qreal a = qDegreesToRadians(endDeg);
    const QPointF tangent(-qSin(a), -qCos(a));
    const QPointF normal(qCos(a), -qSin(a));
    QPolygonF head;
    head << end + tangent * 40 << end + normal * 28 - tangent * 4 << end - normal * 28 - tangent * 4;
    QPainterPath headPath;
    headPath.addPolygon(head);
    headPath.closeSubpath();
    shape = shape.united(headPath).simplified();

    QTransform mirror;
    mirror.scale(direction == TurnDirection::Clockwise ? -1 : 1, side == ArrowSide::BelowKnob ? -1 : 1);
    shape = mirror.map(shape);

    const qreal unit = std::min(size.width(), size.height());
    const qreal margin = unit * 0.09;
    const QRectF bounds = shape.boundingRect();
    const qreal scale = std::min((size.width() - 2 * margin) / bounds.width(),
                                 (size.height() - 2 * margin) / bounds.height());
    QTransform fit;
    fit.translate(size.width() / 2.0, size.height() / 2.0);
    fit.scale(scale, scale);
    fit.translate(-bounds.center().x(), -bounds.center().y());
    shape = fit.map(shape);

    QImage image = transparentCanvas(size);
    paintDropShadow(image, shape, unit * 0.04, QPointF(0, unit * 0.025), QColor(0, 0, 0, 140));

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const bool below = side == ArrowSide::BelowKnob;
    const QColor bright = below ? QColor(0x4f, 0xd6, 0xc0) : QColor(0x5c, 0xb2, 0xff);
    const QColor deep = below ? QColor(0x0e, 0x86, 0x76) : QColor(0x17, 0x75, 0xd8);
    const QColor edge = below ? QColor(0x06, 0x4a, 0x41) : QColor(0x0b, 0x3d, 0x75);
    QLinearGradient fill(0, shape.boundingRect().top(), 0, shape.boundingRect().bottom());
    fill.setColorAt(0.0, below ? deep : bright);
    fill.setColorAt(1.0, below ? bright : deep);
    p.setPen(QPen(edge, unit * 0.018, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(shape);

    // A thin gloss along the lit edge of the stroke.
    QLinearGradient gloss(0, shape.boundingRect().top(), 0, shape.boundingRect().bottom());
    gloss.setColorAt(0.0, QColor(255, 255, 255, below ? 0 : 70));
    gloss.setColorAt(0.5, QColor(255, 255, 255, 0));
    gloss.setColorAt(1.0, QColor(255, 255, 255, below ? 60 : 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawPath(shape);
    return image;
}
