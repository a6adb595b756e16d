#include "art.h"

#include <QPainter>

#include <random>

namespace {

constexpr int kModules = 25;

// Finder squares, timing lines and one alignment square make it look like a
// QR code; the remaining modules are noise, so it encodes nothing.
QVector<QVector<bool>> decorativeQrModules()
{
    QVector<QVector<bool>> dark(kModules, QVector<bool>(kModules, false));
    QVector<QVector<bool>> fixed(kModules, QVector<bool>(kModules, false));
    auto square = [&](int top, int left, int size, int ring) {
        for (int r = 0; r < size; ++r)
            for (int c = 0; c < size; ++c) {
                const int edge = std::min({r, c, size - 1 - r, size - 1 - c});
                dark[top + r][left + c] = (edge % 2 == 0) ? true : (edge >= ring);
                fixed[top + r][left + c] = true;
            }
    };
    auto reserve = [&](int top, int left, int size) {
        for (int r = top; r < top + size; ++r)
            for (int c = left; c < left + size; ++c)
                if (r >= 0 && c >= 0 && r < kModules && c < kModules)
                    fixed[r][c] = true;
    };
    reserve(0, 0, 8);
    reserve(0, kModules - 8, 8);
    reserve(kModules - 8, 0, 8);
    square(0, 0, 7, 2);
    square(0, kModules - 7, 7, 2);
    square(kModules - 7, 0, 7, 2);
    square(kModules - 9, kModules - 9, 5, 2);
    for (int i = 8; i < kModules - 8; ++i) {
        dark[6][i] = dark[i][6] = (i % 2 == 0);
        fixed[6][i] = fixed[i][6] = true;
    }
    std::mt19937 noise(0x7e55a);
    std::bernoulli_distribution coin(0.5);
    for (int r = 0; r < kModules; ++r)
        for (int c = 0; c < kModules; ++c)
            if (!fixed[r][c])
                dark[r][c] = coin(noise);
    return dark;
}

} // namespace

QImage renderQrLabel(int size)
{
    QImage image = transparentCanvas(QSize(size, size));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal corner = size * 0.06;
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(0, 0, size, size), corner, corner);

    const int quiet = 2;
    const qreal module = qreal(size) / (kModules + 2 * quiet);
    const auto dark = decorativeQrModules();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(QColor(0x1d, 0x20, 0x25));
    for (int r = 0; r < kModules; ++r)
        for (int c = 0; c < kModules; ++c)
            if (dark[r][c]) {
                const int x0 = int((quiet + c) * module + 0.5), x1 = int((quiet + c + 1) * module + 0.5);
                const int y0 = int((quiet + r) * module + 0.5), y1 = int((quiet + r + 1) * module + 0.5);
                p.drawRect(x0, y0, x1 - x0, y1 - y0);
            }
    return image;
}

QImage renderAppIcon(int size)
{
    const qreal s = size;
    QImage image = transparentCanvas(QSize(size, size));
    paintKeypadCase(image, QRectF(s * 0.06, s * 0.07, s * 0.88, s * 0.84), s * 0.3, false);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF well(s * 0.13, s * 0.14, s * 0.74, s * 0.7);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x26, 0x29, 0x2e));
    p.drawRoundedRect(well, s * 0.06, s * 0.06);

    const int cap = int(s * 0.37);
    const QImage key = renderKeyCap(QSize(cap, cap), QString());
    QImage accent = key;
    {
        QPainter tint(&accent);
        tint.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        tint.fillRect(accent.rect(), QColor(0x17, 0x75, 0xd8, 150));
    }
    auto at = [&](qreal cx, qreal cy, qreal d) { return QPointF(cx * s - d / 2, cy * s - d / 2); };
    p.drawImage(at(0.31, 0.31, cap), key);
    p.drawImage(at(0.31, 0.67, cap), key);
    p.drawImage(at(0.69, 0.67, cap), accent);
    const int knob = int(s * 0.4);
    p.drawImage(at(0.69, 0.31, knob), renderKnob(knob));
    return image;
}
