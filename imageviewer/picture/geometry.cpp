#include "imageviewer/picture/geometry.h"

#include <algorithm>

namespace pictel {

QString commandLinePath(const QStringList &arguments)
{
    QString path = arguments.join(u' ');
    if (path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"')) path = path.mid(1, path.size() - 2);
    return path;
}

QSize windowTwips(QSize picture)
{
    return {std::max(kMinimumTwips.width(), picture.width() * kTwipsPerPixel + kFrameTwips.width()),
            std::max(kMinimumTwips.height(), picture.height() * kTwipsPerPixel + kFrameTwips.height())};
}

QRect selectionRect(QPoint press, QPoint release, QSize picture)
{
    // A drag that leaves the picture on any side stops at its edge.
    const auto inside = [picture](QPoint p) {
        return QPoint(std::clamp(p.x(), 0, picture.width()), std::clamp(p.y(), 0, picture.height()));
    };
    const QPoint a = inside(press);
    const QPoint b = inside(release);
    return {std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::abs(a.x() - b.x()), std::abs(a.y() - b.y())};
}

namespace {
// value × full / shown, rounded to the nearest pixel.
int scaled(int value, int full, int shown)
{
    return int((2 * qint64(value) * full + shown) / (2 * qint64(shown)));
}
} // namespace

QRect toFullSize(const QRect &shown, QSize shownSize, QSize fullSize)
{
    if (shownSize == fullSize || shownSize.isEmpty()) return shown & QRect(QPoint(), fullSize);
    const int left = scaled(shown.left(), fullSize.width(), shownSize.width());
    const int top = scaled(shown.top(), fullSize.height(), shownSize.height());
    const int right = scaled(shown.left() + shown.width(), fullSize.width(), shownSize.width());
    const int bottom = scaled(shown.top() + shown.height(), fullSize.height(), shownSize.height());
    return QRect(left, top, right - left, bottom - top) & QRect(QPoint(), fullSize);
}

qint64 proportionalHeight(qint64 width0, qint64 height0, qint64 newWidth)
{
    return width0 > 0 ? height0 * newWidth / width0 : 0;
}

qint64 proportionalWidth(qint64 width0, qint64 height0, qint64 newHeight)
{
    return height0 > 0 ? width0 * newHeight / height0 : 0;
}

} // namespace pictel
