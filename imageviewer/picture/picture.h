#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

namespace pictel {

// Far above a photograph, far below what would exhaust a desktop's memory: a picture over these
// is refused from its header, before anything is decoded.
inline constexpr qint64 kMaxPixels = 200'000'000;
inline constexpr int kMaxSide = 65535;
inline constexpr qint64 kMaxFileBytes = 1024LL * 1024 * 1024;

// Whether a picture of that size may be made or decoded.
bool sizeAllowed(QSize size);

// One picture of the viewer: either a file as it was read (its bytes, decoded when the full
// picture is first needed) or the result of an edit. Copies share their data.
//
// A large JPEG is shown from a decode scaled by the decoder itself, and cropped by decoding only
// the region, so opening and cropping it never wait for the whole picture; any other format is
// decoded at once.
//
// A file is seen upright: the orientation it records (a phone's photo is often stored lying, with
// a note that it is to be turned) is applied to its size, to what is shown, cropped and resized.
// Every rectangle and size here is of the upright picture; an edit holds upright pixels and no
// orientation, so nothing turns it a second time.
class Picture
{
public:
    Picture() = default;
    explicit Picture(QImage image);

    // Reads a picture file: only a regular file, its size checked from its header against the
    // limits above. Nothing, with a sentence naming the file in errorText, when it cannot be
    // read, is no picture, or is too large.
    static std::optional<Picture> load(const QString &path, QString *errorText);

    bool isNull() const;
    QSize size() const;
    // The format the file was read in ("jpeg", "png"...); empty for an edited picture.
    QByteArray fileFormat() const;
    bool isDecoded() const;
    // Whether the two are copies of one picture (one file read, or one edit), whatever their
    // pixels: how the window tells the picture a file holds from a change not saved.
    bool sameAs(const Picture &other) const { return d_ && d_ == other.d_; }

    // The whole picture; a null image, with the reason, when it cannot be decoded.
    QImage image(QString *errorText = nullptr) const;
    // The picture as shown within bound: itself when it fits, else scaled down keeping its
    // proportions. Null, with the reason, when it cannot be decoded.
    QImage fitted(QSize bound, QString *errorText = nullptr) const;
    // A rectangle of the picture in its own pixels (kept within it), and the picture at a new
    // size.
    std::optional<Picture> cropped(const QRect &rect, QString *errorText) const;
    std::optional<Picture> resized(QSize size, QString *errorText) const;

    // The picture as a file of format: a picture read from a file and unchanged, asked for in its
    // own format, gives the file's own bytes (no second lossy compression; its orientation note
    // kept with the pixels it turns); anything else is encoded upright, with no orientation.
    std::optional<QByteArray> encoded(const QByteArray &format, QString *errorText) const;

private:
    struct Data;
    std::shared_ptr<Data> d_;
};

// Where and how a picture is saved when the user chose path: the format named by the extension
// (case ignored; "jpg", "jpe", "jpeg" are JPEG, "tif" TIFF, "dib" BMP). A name without extension
// gets ".png" and is written as PNG. An extension of no format Qt writes (GIF, say) is refused:
// nothing, with the reason in errorText.
struct SaveTarget
{
    QString path;
    QByteArray format;
};
std::optional<SaveTarget> saveTarget(const QString &path, QString *errorText);

// Encodes the picture for the target and replaces the file atomically: on failure the file is as
// it was and errorText says why.
bool save(const Picture &picture, const SaveTarget &target, QString *errorText);

// The Open dialog's filter: every format Qt reads, then every file.
QString openFilter();
// The Save dialog's filter: the formats Qt writes, the one of path's extension first (else PNG).
QString saveFilter(const QString &path);

} // namespace pictel
