#include "art.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace {

struct BoardGeometry {
    QRectF caseRect;
    QRectF keyArea;
    QVector<QRectF> keys;
    QVector<QRectF> knobs;
    QSize canvas;
};

BoardGeometry layoutBoard(const BoardLook &board, qreal pitch)
{
    const qreal keyStep = pitch * 1.04;
    const qreal knob = pitch * 1.15;
    const qreal padding = pitch * 0.38;
    const qreal outer = pitch * 0.22;
    const qreal knobGap = pitch * 0.22;

    const QSizeF keyBlock(board.keyColumns * keyStep, board.keyRows * keyStep);
    QSizeF content = keyBlock;
    QPointF keyOrigin(0, 0);
    QVector<QPointF> knobCentres;
    if (board.knobCount > 0 && board.knobPlacement == BoardLook::KnobPlacement::Right) {
        const qreal column = std::max(keyBlock.height(), board.knobCount * knob * 1.08);
        content = QSizeF(keyBlock.width() + knobGap + knob, column);
        keyOrigin.setY((column - keyBlock.height()) / 2);
        const qreal slot = column / board.knobCount;
        for (int i = 0; i < board.knobCount; ++i)
            knobCentres << QPointF(keyBlock.width() + knobGap + knob / 2, slot * (i + 0.5));
    } else if (board.knobCount > 0) {
        const qreal row = std::max(keyBlock.width(), board.knobCount * knob * 1.3);
        content = QSizeF(row, knob + knobGap + keyBlock.height());
        keyOrigin = QPointF((row - keyBlock.width()) / 2, knob + knobGap);
        const qreal slot = row / board.knobCount;
        for (int i = 0; i < board.knobCount; ++i)
            knobCentres << QPointF(slot * (i + 0.5), knob / 2);
    }

    BoardGeometry g;
    const QPointF contentTopLeft(outer + padding, outer + padding);
    g.caseRect = QRectF(outer, outer, content.width() + 2 * padding, content.height() + 2 * padding);
    g.canvas = QSize(int(g.caseRect.width() + 2 * outer + 0.5), int(g.caseRect.height() + 2 * outer + pitch * 0.05 + 0.5));
    g.keyArea = QRectF(contentTopLeft + keyOrigin, keyBlock);
    for (int r = 0; r < board.keyRows; ++r)
        for (int c = 0; c < board.keyColumns; ++c) {
            const QPointF centre = g.keyArea.topLeft() + QPointF((c + 0.5) * keyStep, (r + 0.5) * keyStep);
            g.keys << QRectF(centre - QPointF(pitch / 2, pitch / 2), QSizeF(pitch, pitch));
        }
    for (const QPointF &centre : knobCentres) {
        const QPointF at = contentTopLeft + centre;
        g.knobs << QRectF(at - QPointF(knob / 2, knob / 2), QSizeF(knob, knob));
    }
    return g;
}

} // namespace

void paintKeypadCase(QImage &image, const QRectF &caseRect, qreal pitch, bool withMarkings)
{
    const QPainterPath shell = roundedRectPath(caseRect, pitch * 0.3);
    paintDropShadow(image, shell, pitch * 0.12, QPointF(0, pitch * 0.06), QColor(0, 0, 0, 120));

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(caseRect.topLeft(), caseRect.bottomLeft());
    body.setColorAt(0.0, QColor(0xee, 0xf0, 0xf3));
    body.setColorAt(1.0, QColor(0xc2, 0xc6, 0xcc));
    p.setPen(QPen(QColor(0x80, 0x86, 0x8e), pitch * 0.012));
    p.setBrush(body);
    p.drawPath(shell);

    // Chamfered edge: bright along the top, shaded along the bottom.
    const QRectF chamfer = caseRect.adjusted(pitch * 0.05, pitch * 0.05, -pitch * 0.05, -pitch * 0.05);
    QLinearGradient edge(chamfer.topLeft(), chamfer.bottomLeft());
    edge.setColorAt(0.0, QColor(255, 255, 255, 220));
    edge.setColorAt(0.5, QColor(255, 255, 255, 0));
    edge.setColorAt(1.0, QColor(0, 0, 0, 45));
    p.setPen(QPen(QBrush(edge), pitch * 0.02));
    p.setBrush(Qt::NoBrush);
    p.drawPath(roundedRectPath(chamfer, pitch * 0.26));

    if (!withMarkings)
        return;

    // USB-C socket in the far edge.
    const QRectF port(caseRect.center().x() - pitch * 0.17, caseRect.top() - pitch * 0.005, pitch * 0.34, pitch * 0.075);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2a, 0x2d, 0x32));
    p.drawRoundedRect(port, pitch * 0.035, pitch * 0.035);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setLetterSpacing(QFont::PercentageSpacing, 130);
    font.setPixelSize(int(pitch * 0.1));
    p.setFont(font);
    const QRectF brand(caseRect.left(), caseRect.bottom() - pitch * 0.3, caseRect.width() - pitch * 0.4, pitch * 0.25);
    p.setPen(QColor(255, 255, 255, 160));
    p.drawText(brand.translated(0, pitch * 0.006), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("TESSAPLEX"));
    p.setPen(QColor(0x6c, 0x72, 0x7a, 200));
    p.drawText(brand, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("TESSAPLEX"));
}

namespace {

void paintKeyWell(QPainter &p, const QRectF &area, qreal pitch)
{
    const QRectF well = area.adjusted(-pitch * 0.07, -pitch * 0.07, pitch * 0.07, pitch * 0.07);
    QLinearGradient fill(well.topLeft(), well.bottomLeft());
    fill.setColorAt(0.0, QColor(0x1d, 0x20, 0x24));
    fill.setColorAt(1.0, QColor(0x33, 0x37, 0x3d));
    p.setPen(QPen(QColor(255, 255, 255, 150), pitch * 0.012));
    p.setBrush(fill);
    p.drawRoundedRect(well, pitch * 0.14, pitch * 0.14);
}

} // namespace

QImage renderBoard(const BoardLook &board, int keyPitch)
{
    const qreal pitch = keyPitch;
    const BoardGeometry g = layoutBoard(board, pitch);
    QImage image = transparentCanvas(g.canvas);
    paintKeypadCase(image, g.caseRect, pitch, true);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    paintKeyWell(p, g.keyArea, pitch);

    const QImage plainCap = renderKeyCap(QSize(keyPitch, keyPitch), QString());
    const QImage muteCap = renderKeyCap(QSize(keyPitch, keyPitch), QString(), CapGlyph::Speaker);
    for (int i = 0; i < g.keys.size(); ++i)
        p.drawImage(g.keys[i].topLeft(), i == board.muteKeyIndex ? muteCap : plainCap);

    for (const QRectF &knob : g.knobs) {
        const QRectF collar = knob.adjusted(knob.width() * 0.03, knob.width() * 0.03, -knob.width() * 0.03, -knob.width() * 0.03);
        p.setPen(QPen(QColor(255, 255, 255, 170), pitch * 0.012));
        p.setBrush(QColor(0x9a, 0x9f, 0xa6));
        p.drawEllipse(collar.adjusted(0, collar.height() * 0.02, 0, collar.height() * 0.02));
        p.drawImage(knob.topLeft(), renderKnob(int(knob.width())));
    }
    return image;
}
