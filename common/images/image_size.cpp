#include "common/images/image_size.h"

#include "common/text/line_file.h"

#include <QFileInfo>
#include <QImageReader>

namespace images {

std::optional<QSize> headerSize(const QString &path, QString *errorText)
{
    // A FIFO or a device would block or never end: only plain files are read.
    const QFileInfo file(path);
    if (file.exists() && !file.isFile()) {
        if (errorText) *errorText = linefile::notRegularMessage(path);
        return std::nullopt;
    }
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid()) {
        if (errorText) *errorText = reader.errorString();
        return std::nullopt;
    }
    return size;
}

} // namespace images
