#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

// The record card's square thumbnail of a target picture.
namespace thumbnail {

// The size at which a picture of size picture is drawn into a box of size box: for an upright or
// square picture k = width / box width rounded to the nearest whole number (halves to even),
// drawn box width wide and height / k high (whole part); for a lying picture the same with the
// heights. The box shows the part that fits. Nothing when k rounds to 0 (a picture less than
// half as wide, or high, as the box).
std::optional<QSize> drawSize(QSize picture, QSize box);

// The thumbnail of the picture file at path for a box of size box: the picture drawn at
// drawSize, cut to the box (an image of drawSize bounded by box); or, when the picture cannot be
// shown, an error text and a null image: unreadable or not a picture (the reader's reason
// given), too large to decode, too small for the rule.
//
// The picture is upright: the orientation the file records (a phone's photo stored lying) is
// applied, and the rule uses the upright size, read from its header first. A picture wider or
// higher than 16384 pixels, of more than 256 Mpixels, or one that a format without reduced-size
// decoding would need more than 256 MB to hold, is refused from its header alone, without
// decoding it. A JPEG is decoded at the smallest of the decoder's own
// scales 1/2, 1/4, 1/8 that still holds the draw size (a 6000 x 4000 picture is never decoded
// whole); other formats are decoded whole. The decoded picture is then stretched to exactly the
// draw size by taking the nearest pixel (no smoothing), and cut to the box. A JPEG cut short
// decodes partly (the decoder fills what is missing): that image is shown.
struct Result
{
    QImage image;
    QString error;
};
Result make(const QString &path, QSize box);

} // namespace thumbnail
