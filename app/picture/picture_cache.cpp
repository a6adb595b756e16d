#include "app/picture/picture_cache.h"

#include "app/picture/png_decode.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTimer>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {
// Bounds the scaled pictures kept while a window edge is dragged through many sizes.
constexpr int kMaxScaled = 400;
// A drag pauses for moments; after this long without a new size it has ended.
constexpr int kKeepOriginalsMs = 2000;

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

PictureCache::~PictureCache() { delete m_idle.data(); }

const QImage& PictureCache::original(const QString& path)
{
    if (!m_idle && QCoreApplication::instance()) {
        m_idle = new QTimer(QCoreApplication::instance());
        m_idle->setSingleShot(true);
        m_idle->setInterval(kKeepOriginalsMs);
        QObject::connect(m_idle, &QTimer::timeout, [this] { releaseOriginals(); });
    }
    if (m_idle)
        m_idle->start();
    auto it = m_originals.find(path);
    if (it == m_originals.end()) {
        it = m_originals.insert(path, decodePicture(path));
    }
    return it.value();
}

QPixmap PictureCache::scaled(const QString& path, const QSize& box)
{
    if (box.isEmpty())
        return QPixmap();
    // A size shown before needs no decoding: the originals go after the first
    // paint, and a new layout of the same board would decode them all again.
    const QString key = path + QLatin1Char('@') + QString::number(box.width()) + QLatin1Char('x')
                        + QString::number(box.height());
    auto it = m_scaled.constFind(key);
    if (it != m_scaled.constEnd())
        return it.value();
    const QImage& image = original(path);
    if (image.isNull())
        return QPixmap();
    if (m_scaled.size() >= kMaxScaled)
        m_scaled.clear();
    const QPixmap pixmap = QPixmap::fromImage(
        image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_scaled.insert(key, pixmap);
    return pixmap;
}

void PictureCache::forget(const QString& path)
{
    m_originals.remove(path);
    const QString prefix = path + QLatin1Char('@');
    for (auto it = m_scaled.begin(); it != m_scaled.end();) {
        if (it.key().startsWith(prefix))
            it = m_scaled.erase(it);
        else
            ++it;
    }
}

void PictureCache::releaseOriginals()
{
    if (m_originals.isEmpty())
        return;
    m_originals.clear();
    if (m_idle)
        m_idle->stop();
#if defined(__GLIBC__)
    // The pictures were too small for mmap of their own once the first freed
    // one raised malloc's threshold: give the pages back from the heap.
    malloc_trim(0);
#endif
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
