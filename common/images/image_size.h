#pragma once

#include <QSize>
#include <QString>

#include <optional>

// The size of a JPEG, GIF, PNG or BMP picture read from its header, whatever its name says,
// without decoding it and without the GUI libraries; nothing (with the reason) for any other
// file.
namespace images {

std::optional<QSize> headerSize(const QString &path, QString *errorText = nullptr);

} // namespace images
