#include "archiver/forms/thumbnail.h"

#include "common/text/texts.h"

#include <QImageIOHandler>
#include <QImageReader>
#include <QRect>

namespace thumbnail {
namespace {

// Beyond these a picture is refused from its header: its decoding would need too much memory.
constexpr qint64 kMaxSide = 16384;
constexpr qint64 kMaxPixels = 256LL * 1024 * 1024;
// What a picture decoded whole (a format that cannot decode at a reduced size) may take.
constexpr int kAllocationLimitMB = 256;

// n / d rounded to the nearest whole number, halves to the even one (n >= 0, d > 0), exactly.
qint64 roundedQuotient(qint64 n, qint64 d)
{
    const qint64 q = n / d;
    const qint64 twice = 2 * (n % d);
    if (twice > d || (twice == d && q % 2 == 1)) return q + 1;
    return q;
}

// The side a JPEG decoder gives at scale 1/denom (it rounds up).
int scaledSide(int side, int denom)
{
    return (side + denom - 1) / denom;
}

} // namespace

std::optional<QSize> drawSize(QSize picture, QSize box)
{
    if (picture.width() <= 0 || picture.height() <= 0 || box.width() <= 0 || box.height() <= 0)
        return std::nullopt;
    if (picture.height() >= picture.width()) {
        const qint64 k = roundedQuotient(picture.width(), box.width());
        if (k == 0) return std::nullopt;
        return QSize(box.width(), int(picture.height() / k));
    }
    const qint64 k = roundedQuotient(picture.height(), box.height());
    if (k == 0) return std::nullopt;
    return QSize(int(picture.width() / k), box.height());
}

Result make(const QString &path, QSize box)
{
    QImageReader reader(path);
    // Upright: the orientation a phone's photo records is applied after the decoder's scaling,
    // which works on the pixels as stored.
    reader.setAutoTransform(true);
    reader.setAllocationLimit(kAllocationLimitMB);

    const QSize stored = reader.size();
    const bool sideways = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize size = sideways ? stored.transposed() : stored;
    if (!size.isValid()) {
        // The header gave no size: not a picture, unreadable, or a format that cannot tell it
        // before decoding. Only a readable picture goes on, and then within the allocation limit.
        if (!reader.canRead())
            return {QImage(), texts::get(texts::kPictureUnreadable).arg(path, reader.errorString())};
    } else {
        const qint64 w = size.width(), h = size.height();
        const bool scalable = reader.supportsOption(QImageIOHandler::ScaledSize);
        if (w > kMaxSide || h > kMaxSide || w * h > kMaxPixels
            || (!scalable && w * h * 4 > qint64(kAllocationLimitMB) * 1024 * 1024))
            return {QImage(), texts::get(texts::kPictureTooLarge).arg(path).arg(w).arg(h)};
        const std::optional<QSize> draw = drawSize(size, box);
        if (!draw)
            return {QImage(), texts::get(texts::kPictureTooSmall).arg(path).arg(w).arg(h)};
        if (scalable) {
            // Decode at the smallest of the decoder's own scales 1/1, 1/2, 1/4, 1/8 that still
            // holds the draw size, asking for exactly the size it gives so that the reader adds
            // no smoothing of its own; the rule's stretch comes after. The decoder is asked for
            // the stored sides so scaled: it scales before the picture is turned upright.
            int denom = 8;
            while (denom > 1
                   && (scaledSide(size.width(), denom) < draw->width()
                       || scaledSide(size.height(), denom) < draw->height()))
                denom /= 2;
            if (denom > 1)
                reader.setScaledSize(
                    QSize(scaledSide(stored.width(), denom), scaledSide(stored.height(), denom)));
        }
    }

    QImage decoded = reader.read();
    if (decoded.isNull())
        return {QImage(), texts::get(texts::kPictureUnreadable).arg(path, reader.errorString())};

    // The picture's own size decides the rule, even when it was decoded smaller.
    const QSize shown = size.isValid() ? size : decoded.size();
    const std::optional<QSize> draw = drawSize(shown, box);
    if (!draw)
        return {QImage(),
                texts::get(texts::kPictureTooSmall).arg(path).arg(shown.width()).arg(shown.height())};

    QImage drawn = decoded.size() == *draw
                       ? decoded
                       : decoded.scaled(*draw, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    // The box shows the part that fits: the rest is cut at the right or bottom edge.
    return {drawn.copy(QRect(QPoint(0, 0), box).intersected(drawn.rect())), QString()};
}

} // namespace thumbnail
