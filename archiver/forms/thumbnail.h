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
// drawSize, cut to the box; or, when the picture cannot be shown, an error text (unreadable,
// not a picture, too large to decode, too small for the rule) and a null image. A picture is
// never decoded at a size it does not need, and one too large to decode is refused from its
// header alone.
struct Result
{
    QImage image;
    QString error;
};
Result make(const QString &path, QSize box);

} // namespace thumbnail
