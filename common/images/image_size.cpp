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

// The frame header of a JPEG file, found by walking its segments from the start.
std::optional<QSize> jpegSize(QFile &file)
{
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
        if (frame) return length >= 7 ? sized(be16(head + 7), be16(head + 5)) : std::nullopt;
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
