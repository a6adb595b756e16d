#include "models/picture_cache.h"

#include <QLabel>

namespace {
// Bounds the scaled pictures kept while a window edge is dragged through many sizes.
constexpr int kMaxScaled = 400;

qint64 shownPixmapKey(const QLabel* label)
{
#if QT_VERSION >= QT_VERSION_CHECK(5, 15, 0)
    return label->pixmap(Qt::ReturnByValue).cacheKey();
#else
    const QPixmap* p = label->pixmap();
    return p ? p->cacheKey() : QPixmap().cacheKey();
#endif
}

bool showsSomething(const QLabel* label)
{
#if QT_VERSION >= QT_VERSION_CHECK(5, 15, 0)
    return !label->pixmap(Qt::ReturnByValue).isNull() || !label->text().isEmpty();
#else
    return (label->pixmap() && !label->pixmap()->isNull()) || !label->text().isEmpty();
#endif
}
}  // namespace

QImage PictureCache::decode(const QString& path)
{
    QImage image(path);
    // In place: no second copy of the decoded picture, even for a moment.
    if (!image.isNull()) {
#if QT_VERSION >= QT_VERSION_CHECK(5, 13, 0)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
#else
        image = std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
#endif
    }
    return image;
}

void PictureCache::prefetch(const QStringList& paths)
{
    QStringList wanted;
    for (const QString& path : paths)
        if (!m_originals.contains(path) && !m_pending.contains(path) && !wanted.contains(path))
            wanted.append(path);
    if (wanted.isEmpty())
        return;
    const Batch batch = std::async(std::launch::async, [wanted] {
        QHash<QString, QImage> decoded;
        for (const QString& path : wanted)
            decoded.insert(path, decode(path));
        return decoded;
    }).share();
    for (const QString& path : wanted)
        m_pending.insert(path, batch);
}

const QImage& PictureCache::original(const QString& path)
{
    auto it = m_originals.find(path);
    if (it != m_originals.end())
        return it.value();
    takeOverBatchOf(path);
    it = m_originals.find(path);
    if (it != m_originals.end())
        return it.value();
    return m_originals.insert(path, decode(path)).value();
}

void PictureCache::takeOverBatchOf(const QString& path)
{
    const auto pending = m_pending.constFind(path);
    if (pending == m_pending.constEnd())
        return;
    // The whole batch at once: it was decoded in one go.
    const Batch batch = pending.value();
    const QHash<QString, QImage>& decoded = batch.get();
    for (auto d = decoded.constBegin(); d != decoded.constEnd(); ++d) {
        if (!m_originals.contains(d.key()))
            m_originals.insert(d.key(), d.value());
        m_pending.remove(d.key());
    }
}

QPixmap PictureCache::scaled(const QString& path, const QSize& box)
{
    const QImage& image = original(path);
    if (image.isNull() || box.isEmpty())
        return QPixmap();
    const QString key = path + QLatin1Char('@') + QString::number(box.width()) + QLatin1Char('x')
                        + QString::number(box.height());
    auto it = m_scaled.constFind(key);
    if (it != m_scaled.constEnd())
        return it.value();
    if (m_scaled.size() >= kMaxScaled)
        m_scaled.clear();
    const QPixmap pixmap = QPixmap::fromImage(
        image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_scaled.insert(key, pixmap);
    return pixmap;
}

void PictureCache::forget(const QString& path)
{
    takeOverBatchOf(path);  // a prefetch under way finishes first
    m_originals.remove(path);
    const QString prefix = path + QLatin1Char('@');
    for (auto it = m_scaled.begin(); it != m_scaled.end();) {
        if (it.key().startsWith(prefix))
            it = m_scaled.erase(it);
        else
            ++it;
    }
}

void PictureCache::show(QLabel* label, const QString& path, const QSize& box)
{
    if (!label)
        return;
    const QPixmap pixmap = scaled(path, box);
    if (pixmap.isNull()) {
        if (showsSomething(label))
            label->clear();
        return;
    }
    if (shownPixmapKey(label) != pixmap.cacheKey())
        label->setPixmap(pixmap);
}

PictureCache& pictureCache()
{
    static PictureCache cache;
    return cache;
}
