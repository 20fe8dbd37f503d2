#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

// Pictures made for the tests.
namespace testpictures {

// Every pixel different from its neighbours, so that a crop one pixel off is seen.
QImage pattern(QSize size);
// Squares of 16 flat colours: what JPEG keeps nearly exact, for comparing decodes.
QImage blocks(QSize size);
QByteArray encode(const QImage &image, const char *format, int quality = -1);
// A PNG and a BMP whose headers claim width × height pixels, with (almost) no pixels behind.
QByteArray pngHeader(quint32 width, quint32 height);
QByteArray bmpHeader(qint32 width, qint32 height);
// The largest difference of one colour channel between two pictures of the same size; -1 when
// their sizes differ.
int maxDifference(const QImage &a, const QImage &b);

} // namespace testpictures
