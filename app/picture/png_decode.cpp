#include "app/picture/png_decode.h"

#include <QByteArray>
#include <QFile>

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <utility>

namespace {

struct Source {
    const QByteArray& bytes;
    size_t at = 0;
};

void readBytes(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (source->at + count > static_cast<size_t>(source->bytes.size()))
        png_error(png, "truncated picture");
    std::memcpy(out, source->bytes.constData() + source->at, count);
    source->at += count;
}

// Fills image when the picture is 8-bit RGBA without interlacing; false for
// any other picture or a damaged one. The image lives in the caller's frame:
// libpng's error path longjmps, and locals changed after setjmp would be
// indeterminate afterwards.
bool readRgba(const QByteArray& bytes, QImage& image)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    Source source{bytes};
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return false;
    }
    png_set_read_fn(png, &source, readBytes);
#ifdef PNG_IGNORE_ADLER32
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int depth = 0;
    int colourType = 0;
    int interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    bool read = false;
    if (depth == 8 && colourType == PNG_COLOR_TYPE_RGB_ALPHA && interlace == PNG_INTERLACE_NONE) {
        png_set_bgr(png);  // ARGB32 is B, G, R, A in memory on little-endian machines
        image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
        read = !image.isNull();
        for (png_uint_32 y = 0; read && y < height; ++y)
            png_read_row(png, image.scanLine(static_cast<int>(y)), nullptr);
        if (read)
            png_read_end(png, nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return read;
}

}  // namespace

QImage decodePicture(const QString& path)
{
    QImage image;
    if (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || !readRgba(file.readAll(), image))
            image = QImage();
    }
    if (image.isNull())
        image.load(path);
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
