#pragma once

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

class QLabel;

// Resource pictures decoded once and rescaled from memory. A window resize
// rescales every picture of the keypad, so decoding the PNGs each time would
// make dragging the window edge stutter.
class PictureCache {
public:
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
    const QImage& original(const QString& path);

    QHash<QString, QImage> m_originals;
    QHash<QString, QPixmap> m_scaled;  // key: path + size
};

// One cache for the keypad picture and the model picker.
PictureCache& pictureCache();
