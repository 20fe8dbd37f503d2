#include "tests/imageviewer/test_pictures.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>

#include <algorithm>

namespace testpictures {

QImage pattern(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) image.setPixel(x, y, qRgb(x % 256, y % 256, (x * 7 + y * 13) % 256));
    return image;
}

QImage blocks(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x / 16 * 40) % 256, (y / 16 * 60) % 256, ((x / 16 + y / 16) * 30) % 256));
    return image;
}

QByteArray encode(const QImage &image, const char *format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0) writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

namespace {

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xffffffffu;
    for (const char c : data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

template <typename T> void append(QByteArray &out, T value, bool bigEndian)
{
    char bytes[sizeof(T)];
    if (bigEndian) qToBigEndian(value, bytes);
    else qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

} // namespace

QByteArray pngHeader(quint32 width, quint32 height)
{
    QByteArray ihdr("IHDR");
    append(ihdr, width, true);
    append(ihdr, height, true);
    ihdr.append("\x08\x02\x00\x00\x00", 5); // 8-bit RGB
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    append(png, quint32(13), true);
    png.append(ihdr);
    append(png, crc32(ihdr), true);
    // The reader wants the header of the first data chunk before it tells the size.
    const QByteArray idat("IDAT\x78\x9c\x03\x00", 8);
    append(png, quint32(idat.size() - 4), true);
    png.append(idat);
    append(png, crc32(idat), true);
    return png;
}

QByteArray bmpHeader(qint32 width, qint32 height)
{
    QByteArray bmp("BM");
    append(bmp, quint32(54), false); // the file's size: the headers alone
    append(bmp, quint32(0), false);
    append(bmp, quint32(54), false);
    append(bmp, quint32(40), false);
    append(bmp, width, false);
    append(bmp, height, false);
    append(bmp, quint16(1), false);
    append(bmp, quint16(24), false);
    for (int i = 0; i < 6; ++i) append(bmp, quint32(0), false);
    return bmp;
}

int maxDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size()) return -1;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int most = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q))});
        }
    return most;
}

} // namespace testpictures
