#pragma once

#include <QSize>
#include <QString>

#include <optional>

// The size of a picture read from its header, without decoding it; nothing (with the reader's
// reason) when the file is not a picture Qt reads.
namespace images {

std::optional<QSize> headerSize(const QString &path, QString *errorText = nullptr);

} // namespace images
