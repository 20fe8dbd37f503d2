#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

// The viewer's arithmetic, apart from any window: the command line, the window's size rules, the
// selection rectangle and the size dialog's proportions.
namespace pictel {

// The picture path of a command line: the arguments joined with blanks, then a surrounding pair
// of double quotes stripped.
QString commandLinePath(const QStringList &arguments);

// The window's outer size in twips for a picture of that size: the picture plus room for the
// border, title bar and menu, never below the smallest window.
inline constexpr int kTwipsPerPixel = 15;
inline constexpr QSize kFrameTwips(150, 780);
inline constexpr QSize kMinimumTwips(3480, 1800);
QSize windowTwips(QSize picture);

// The rectangle between the point where the button went down and where it came up, whichever
// way the mouse went, both points kept within the picture. Empty when the two points share a
// row or a column.
QRect selectionRect(QPoint press, QPoint release, QSize picture);

// A rectangle of the picture as shown (scaled to fit the screen) in the pixels of the picture at
// full size.
QRect toFullSize(const QRect &shown, QSize shownSize, QSize fullSize);

// The other side of the size dialog, keeping the proportions of width0 × height0: the integer
// part of the exact quotient.
qint64 proportionalHeight(qint64 width0, qint64 height0, qint64 newWidth);
qint64 proportionalWidth(qint64 width0, qint64 height0, qint64 newHeight);

} // namespace pictel
