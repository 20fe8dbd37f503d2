#pragma once

// Photos as a phone stores them: the pixels lying, and an Exif note of how to turn them upright.
// Header-only, so that the record card's thumbnail tests use it too.

#include <QByteArray>
#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QTransform>

namespace phonephoto {

// The JPEG with an APP1 Exif segment, put right after the start marker, whose only entry is the
// orientation (1 to 8, as Exif numbers them).
inline QByteArray withOrientation(const QByteArray &jpeg, int orientation)
{
    QByteArray exif("Exif\0\0", 6);
    exif.append("MM\0\x2a\0\0\0\x08", 8);                     // big-endian TIFF, IFD0 at 8
    exif.append("\0\x01", 2);                                 // one entry
    exif.append("\x01\x12\0\x03\0\0\0\x01", 8);               // orientation, one 16-bit value
    exif.append(char(0)).append(char(orientation)).append(2, '\0');
    exif.append(4, '\0');                                     // no next IFD
    QByteArray segment("\xff\xe1", 2);
    segment.append(char((exif.size() + 2) >> 8)).append(char((exif.size() + 2) & 0xff)).append(exif);
    return QByteArray(jpeg).insert(2, segment);
}

// The picture turned as the orientation asks: what a viewer shows of pixels stored so.
inline QImage turned(const QImage &stored, int orientation)
{
    const QImage quarter = stored.transformed(QTransform().rotate(90));
    switch (orientation) {
    case 2: return stored.mirrored(true, false);
    case 3: return stored.mirrored(true, true);
    case 4: return stored.mirrored(false, true);
    case 5: return quarter.mirrored(true, false);
    case 6: return quarter;
    case 7: return quarter.mirrored(false, true);
    case 8: return stored.transformed(QTransform().rotate(270));
    default: return stored;
    }
}

// The pixels a phone stores for a photo that is upright as given: each orientation undoes
// itself, but for the quarter turns, which undo each other.
inline QImage storedFor(const QImage &upright, int orientation)
{
    return turned(upright, orientation == 6 ? 8 : orientation == 8 ? 6 : orientation);
}

// The JPEG file a phone would write for that upright picture.
inline QByteArray jpeg(const QImage &upright, int orientation, int quality = 95)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.write(storedFor(upright, orientation));
    return withOrientation(bytes, orientation);
}

} // namespace phonephoto
