#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QSize>
#include <QString>
#include <QVector>

// Shared drawing helpers.
QImage transparentCanvas(QSize size);
QPainterPath roundedRectPath(const QRectF &rect, qreal radius);
// Soft shadow of a shape: the shape filled in `color`, moved by `offset` and blurred.
void paintDropShadow(QImage &target, const QPainterPath &shape, qreal blurRadius, QPointF offset, QColor color);
void blurImage(QImage &image, int radius);

// Key caps seen from above; the legend is engraved in the upper left corner.
enum class CapGlyph { None, Speaker };
QImage renderKeyCap(QSize size, const QString &cornerLegend, CapGlyph glyph = CapGlyph::None);

// Rotary knobs and the arrows for turning them.
enum class TurnDirection { CounterClockwise, Clockwise };
enum class ArrowSide { AboveKnob, BelowKnob };
QImage renderKnob(int diameter);
QImage renderTurnArrow(QSize size, TurnDirection direction, ArrowSide side);

// A whole keypad as a product picture.
struct BoardLook {
    int keyColumns = 0;
    int keyRows = 0;
    int knobCount = 0;
    enum class KnobPlacement { Right, Above } knobPlacement = KnobPlacement::Right;
    int muteKeyIndex = -1;  // index in reading order of a key that carries a speaker glyph
};
void paintKeypadCase(QImage &image, const QRectF &caseRect, qreal pitch, bool withMarkings);
QImage renderBoard(const BoardLook &board, int keyPitch);

QImage renderQrLabel(int size);

// Writes the picture as an 8-bit RGBA PNG whose rows decode quickly.
bool writeFastPng(const QImage &image, const QString &path);
QImage renderAppIcon(int size);
