#pragma once

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

#include <future>

class QLabel;

// Resource pictures decoded once and rescaled from memory. A window resize
// rescales every picture of the keypad, so decoding the PNGs each time would
// make dragging the window edge stutter.
class PictureCache {
public:
    // Starts decoding the pictures on a worker thread, so that they are ready
    // by the time the window needs them: while the program builds its form,
    // the second core would otherwise sit idle. Whoever asks for one of them
    // first waits for the rest of its batch.
    void prefetch(const QStringList& paths);
    // Null pixmap when the resource is missing or not a picture.
    QPixmap scaled(const QString& path, const QSize& box);
    // Shows the picture on the label, scaled into the label's own size;
    // touches the label only when the picture it shows would change.
    void show(QLabel* label, const QString& path, const QSize& box);

    // Lets go of the decoded picture and its scaled copies, for pictures
    // that will not be shown for a while; labels keep what they show.
    void forget(const QString& path);

    int decodedCount() const { return m_originals.size(); }

private:
    using Batch = std::shared_future<QHash<QString, QImage>>;

    static QImage decode(const QString& path);
    const QImage& original(const QString& path);
    void takeOverBatchOf(const QString& path);

    QHash<QString, QImage> m_originals;
    QHash<QString, Batch> m_pending;  // decoding on a worker thread
    QHash<QString, QPixmap> m_scaled;  // key: path + size
};

// One cache for the keypad picture and the model picker.
PictureCache& pictureCache();
