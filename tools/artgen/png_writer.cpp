#include "art.h"

#include <QFile>

#include <png.h>

#include <csetjmp>
#include <cstdio>

// Qt's PNG writer leaves the row filters to libpng, which picks Paeth for
// most rows of these soft-shaded pictures. Paeth is the slowest filter to
// undo: about half of the time the program spends decoding a key picture at
// start-up. None, Sub and Up only give files no larger here and decode in
// about 60 % of the time; the pixels are the same.
bool writeFastPng(const QImage &source, const QString &path)
{
    const QImage image = source.convertToFormat(QImage::Format_RGBA8888);
    FILE *file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    volatile bool ok = false;  // read after a longjmp from libpng
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()),
                     8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE | PNG_FILTER_SUB | PNG_FILTER_UP);
        png_set_compression_level(png, 9);
        png_write_info(png, info);
        for (int y = 0; y < image.height(); ++y)
            png_write_row(png, image.constScanLine(y));
        png_write_end(png, info);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}
