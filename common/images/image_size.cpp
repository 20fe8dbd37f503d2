#include "common/images/image_size.h"

#include "common/text/line_file.h"
#include "common/text/texts.h"

#include <QFile>
#include <QFileInfo>

namespace images {

namespace {

unsigned be16(const uchar *p) { return unsigned(p[0]) << 8 | p[1]; }
unsigned le16(const uchar *p) { return unsigned(p[1]) << 8 | p[0]; }
quint32 be32(const uchar *p) { return quint32(be16(p)) << 16 | be16(p + 2); }
qint32 le32(const uchar *p) { return qint32(quint32(le16(p + 2)) << 16 | le16(p)); }

std::optional<QSize> sized(qint64 width, qint64 height)
{
    if (width <= 0 || height <= 0 || width > 1 << 20 || height > 1 << 20) return std::nullopt;
    return QSize(int(width), int(height));
}

// The orientation an Exif segment records (1 to 8; 5 to 8 turn the picture a quarter), 0 when
// it records none. The tag is looked for in IFD0 alone, where cameras write it.
int exifOrientation(const QByteArray &segment)
{
    if (!segment.startsWith(QByteArrayView("Exif\0\0", 6)) || segment.size() < 6 + 8) return 0;
    const auto *tiff = reinterpret_cast<const uchar *>(segment.constData()) + 6;
    const qint64 size = segment.size() - 6;
    const bool big = tiff[0] == 'M' && tiff[1] == 'M';
    if (!big && !(tiff[0] == 'I' && tiff[1] == 'I')) return 0;
    const auto u16 = [&](qint64 at) { return big ? be16(tiff + at) : le16(tiff + at); };
    const auto u32 = [&](qint64 at) { return big ? be32(tiff + at) : quint32(le32(tiff + at)); };
    if (u16(2) != 42) return 0;
    const qint64 folder = u32(4);
    if (folder + 2 > size) return 0;
    const unsigned entries = u16(folder);
    for (unsigned i = 0; i < entries && folder + 2 + 12 * (i + 1) <= size; ++i) {
        const qint64 entry = folder + 2 + 12 * i;
        if (u16(entry) == 0x0112 && u16(entry + 2) == 3) { // orientation, a 16-bit number
            const unsigned value = u16(entry + 8);
            return value >= 1 && value <= 8 ? int(value) : 0;
        }
    }
    return 0;
}

// The frame header of a JPEG file, found by walking its segments from the start; its sides
// swapped when an Exif segment before it says the picture is shown turned a quarter.
std::optional<QSize> jpegSize(QFile &file)
{
    int orientation = 0;
    qint64 at = 2;
    for (int segments = 0; segments < 4096; ++segments) {
        uchar head[9];
        if (!file.seek(at) || file.read(reinterpret_cast<char *>(head), 2) != 2 || head[0] != 0xFF) return std::nullopt;
        const uchar marker = head[1];
        if (marker == 0xFF) { // a fill byte
            ++at;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { // no length
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return std::nullopt; // the image data, and no frame
        if (file.read(reinterpret_cast<char *>(head + 2), 7) < 2) return std::nullopt;
        const unsigned length = be16(head + 2);
        if (length < 2) return std::nullopt;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 7) return std::nullopt;
            const unsigned height = be16(head + 5), width = be16(head + 7);
            return orientation >= 5 ? sized(height, width) : sized(width, height);
        }
        if (marker == 0xE1 && orientation == 0 && file.seek(at + 4))
            orientation = exifOrientation(file.read(length - 2));
        at += 2 + length;
    }
    return std::nullopt;
}

} // namespace

std::optional<QSize> headerSize(const QString &path, QString *errorText)
{
    // A FIFO or a device would block or never end: only plain files are read.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        if (errorText) *errorText = linefile::notRegularMessage(path);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorText) *errorText = file.errorString();
        return std::nullopt;
    }
    uchar h[26] = {};
    const qint64 got = file.read(reinterpret_cast<char *>(h), sizeof h);
    std::optional<QSize> size;
    if (got >= 3 && h[0] == 0xFF && h[1] == 0xD8 && h[2] == 0xFF) {
        size = jpegSize(file);
    } else if (got >= 10 && (QByteArrayView(reinterpret_cast<char *>(h), 6) == "GIF87a" ||
                             QByteArrayView(reinterpret_cast<char *>(h), 6) == "GIF89a")) {
        size = sized(le16(h + 6), le16(h + 8));
    } else if (got >= 24 && QByteArrayView(reinterpret_cast<char *>(h), 8) == "\x89PNG\r\n\x1a\n" &&
               QByteArrayView(reinterpret_cast<char *>(h) + 12, 4) == "IHDR") {
        size = sized(be32(h + 16), be32(h + 20));
    } else if (got >= 26 && h[0] == 'B' && h[1] == 'M') {
        // The older header holds 16-bit sides; the later ones 32-bit, the height negative for
        // rows stored top to bottom.
        if (le32(h + 14) == 12) size = sized(le16(h + 18), le16(h + 20));
        else size = sized(le32(h + 18), qAbs(qint64(le32(h + 22))));
    }
    if (!size && errorText) *errorText = texts::get(texts::kNotAPicture).arg(path);
    return size;
}

} // namespace images
