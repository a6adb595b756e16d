#pragma once

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QSize>
#include <QString>

class QLabel;
class QTimer;

// Resource pictures decoded once and rescaled from memory while a window edge
// is dragged: decoding the PNGs for every new size would make it stutter. The
// decoded pictures (a quarter megabyte each) are let go again once nothing has
// been scaled for a while; only the scaled copies stay.
class PictureCache {
public:
    PictureCache() = default;
    ~PictureCache();  // its idle timer goes with it
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;

    // Null pixmap when the resource is missing or not a picture.
    QPixmap scaled(const QString& path, const QSize& box);
    // Shows the picture on the label, scaled into the label's own size;
    // touches the label only when the picture it shows would change.
    void show(QLabel* label, const QString& path, const QSize& box);

    // Lets go of the decoded picture and its scaled copies, for pictures
    // that will not be shown for a while; labels keep what they show.
    void forget(const QString& path);

    // Lets go of every decoded picture now, e.g. once a window has been shown
    // and nothing is being resized; the next new size decodes them again.
    void releaseOriginals();
    // Lets go of one decoded picture, keeping its scaled copies: the next
    // picture decoded reuses the memory instead of the system handing out
    // (and faulting in) new pages.
    void releaseOriginal(const QString& path) { m_originals.remove(path); }

    int decodedCount() const { return m_originals.size(); }

private:
    const QImage& original(const QString& path);

    QHash<QString, QImage> m_originals;
    QPointer<QTimer> m_idle;  // releases the originals when it runs out
    QHash<QString, QPixmap> m_scaled;  // key: path + size
};
