#include "art.h"

#include <QPainter>

#include <algorithm>

QImage transparentCanvas(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QPainterPath roundedRectPath(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// One running-sum pass along rows (or columns); three passes approach a Gaussian.
static void boxBlurPass(QImage &image, int radius, bool horizontal)
{
    const int w = image.width();
    const int h = image.height();
    const int lines = horizontal ? h : w;
    const int length = horizontal ? w : h;
    const int window = 2 * radius + 1;
    QVector<quint32> line(length);
    for (int l = 0; l < lines; ++l) {
        auto pixelAt = [&](int i) -> QRgb * {
            return horizontal ? reinterpret_cast<QRgb *>(image.scanLine(l)) + i
                              : reinterpret_cast<QRgb *>(image.scanLine(i)) + l;
        };
        for (int i = 0; i < length; ++i)
            line[i] = *pixelAt(i);
        int sum[4] = {0, 0, 0, 0};
        auto channel = [](quint32 p, int c) { return int((p >> (8 * c)) & 0xff); };
        for (int i = -radius; i <= radius; ++i) {
            if (i >= 0 && i < length)
                for (int c = 0; c < 4; ++c)
                    sum[c] += channel(line[i], c);
        }
        for (int i = 0; i < length; ++i) {
            quint32 out = 0;
            for (int c = 0; c < 4; ++c)
                out |= quint32(sum[c] / window) << (8 * c);
            *pixelAt(i) = out;
            const int leaving = i - radius;
            const int entering = i + radius + 1;
            for (int c = 0; c < 4; ++c) {
                if (leaving >= 0)
                    sum[c] -= channel(line[leaving], c);
                if (entering < length)
                    sum[c] += channel(line[entering], c);
            }
        }
    }
}

void blurImage(QImage &image, int radius)
{
    if (radius < 1)
        return;
    for (int pass = 0; pass < 3; ++pass) {
        boxBlurPass(image, radius, true);
        boxBlurPass(image, radius, false);
    }
}

void paintDropShadow(QImage &target, const QPainterPath &shape, qreal blurRadius, QPointF offset, QColor color)
{
    QImage shadow = transparentCanvas(target.size());
    {
        QPainter p(&shadow);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawPath(shape.translated(offset));
    }
    // Three box passes of radius r spread roughly like a Gaussian of sigma r.
    blurImage(shadow, std::max(1, int(blurRadius / 1.7)));
    QPainter p(&target);
    p.drawImage(0, 0, shadow);
}
