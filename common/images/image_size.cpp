#include "common/images/image_size.h"

#include <QFileInfo>
#include <QImageReader>

namespace images {

std::optional<QSize> headerSize(const QString &path, QString *errorText)
{
    // A FIFO or a device would block or never end: only plain files are read.
    if (!QFileInfo(path).isFile()) {
        if (errorText) *errorText = QImageReader(QString()).errorString();
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
