#pragma once

#include <QSize>
#include <QString>

#include <optional>

// The size of a JPEG, GIF, PNG or BMP picture read from its header, whatever its name says,
// without decoding it and without the GUI libraries; nothing (with the reason) for any other
// file. It is the size the picture is shown at: a JPEG whose Exif orientation turns it a quarter
// (a phone's photo stored lying) has its sides swapped, as browsers and viewers show it.
namespace images {

std::optional<QSize> headerSize(const QString &path, QString *errorText = nullptr);

} // namespace images
