#include "imageviewer/picture/picture.h"

#include "common/files/atomic_file.h"
#include "common/text/line_file.h"
#include "common/text/texts.h"
#include "imageviewer/picture/pictel_texts.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageIOHandler>
#include <QImageReader>
#include <QImageWriter>
#include <QMap>
#include <QTransform>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace pictel {

namespace {

// The PNG level of QImageWriter: most of the size gain of the highest levels for a fraction of
// their time (a 4-megapixel crop: 0.6 s against 3 s, 1 % larger).
constexpr int kPngCompression = 50;
constexpr int kJpegQuality = 90;
// Enough for the largest picture allowed, in 32-bit pixels, for Qt's own check of each decode.
constexpr int kAllocationLimitMiB = int(kMaxPixels * 4 / (1024 * 1024)) + 64;

void setError(QString *errorText, const QString &text)
{
    if (errorText) *errorText = text;
}

// Only the JPEG decoder scales and crops while decoding; the others decode the whole picture
// first, so for them the whole picture is decoded once and kept.
bool decoderScales(const QByteArray &format) { return format == "jpeg"; }

// The place where each stored pixel is shown once the file's orientation is applied: Qt mirrors,
// then flips, then turns a quarter clockwise, in that order.
QTransform shownFromStored(QSize stored, QImageIOHandler::Transformations turn)
{
    QTransform m;
    if (turn & QImageIOHandler::TransformationMirror) m *= QTransform(-1, 0, 0, 1, stored.width(), 0);
    if (turn & QImageIOHandler::TransformationFlip) m *= QTransform(1, 0, 0, -1, 0, stored.height());
    if (turn & QImageIOHandler::TransformationRotate90) m *= QTransform(0, 1, -1, 0, stored.height(), 0);
    return m;
}

bool sideways(QImageIOHandler::Transformations turn) { return turn & QImageIOHandler::TransformationRotate90; }

// A format as QImageWriter names it, from a file extension.
QByteArray formatOfSuffix(const QString &suffix)
{
    static const QMap<QByteArray, QByteArray> aliases{{"jpg", "jpeg"}, {"jpe", "jpeg"}, {"tif", "tiff"}, {"dib", "bmp"}};
    const QByteArray lower = suffix.toLower().toLatin1();
    return aliases.value(lower, lower);
}

// Formats with the extensions that name them, for the dialogs' filters.
QMap<QByteArray, QStringList> extensionsByFormat(const QList<QByteArray> &formats)
{
    QMap<QByteArray, QStringList> byFormat;
    for (const QByteArray &name : formats) {
        const QByteArray format = formatOfSuffix(QString::fromLatin1(name));
        QStringList &patterns = byFormat[format];
        const QString pattern = QStringLiteral("*.") + QString::fromLatin1(name).toLower();
        if (!patterns.contains(pattern)) patterns.append(pattern);
    }
    if (byFormat.contains("jpeg") && !byFormat["jpeg"].contains(QStringLiteral("*.jpe"))) byFormat["jpeg"].append(QStringLiteral("*.jpe"));
    if (byFormat.contains("bmp") && !byFormat["bmp"].contains(QStringLiteral("*.dib"))) byFormat["bmp"].append(QStringLiteral("*.dib"));
    return byFormat;
}

QString filterOf(const QMap<QByteArray, QStringList> &byFormat, const QByteArray &first)
{
    QStringList entries;
    if (byFormat.contains(first))
        entries.append(QString::fromLatin1(first).toUpper() + QStringLiteral(" (") + byFormat[first].join(u' ') + u')');
    for (auto it = byFormat.cbegin(); it != byFormat.cend(); ++it)
        if (it.key() != first)
            entries.append(QString::fromLatin1(it.key()).toUpper() + QStringLiteral(" (") + it.value().join(u' ') + u')');
    return entries.join(QStringLiteral(";;"));
}

QString writableExtensions()
{
    QStringList names;
    for (const QByteArray &format : QImageWriter::supportedImageFormats())
        names.append(u'.' + QString::fromLatin1(format).toLower());
    names.removeDuplicates();
    return names.join(QStringLiteral(", "));
}

} // namespace

bool sizeAllowed(QSize size)
{
    return size.width() >= 1 && size.height() >= 1 && size.width() <= kMaxSide && size.height() <= kMaxSide
           && qint64(size.width()) * size.height() <= kMaxPixels;
}

struct Picture::Data
{
    QString path;       // of the file read; empty for an edit
    QByteArray bytes;   // the file as read
    QByteArray format;  // as the reader named it
    QSize size;         // upright
    QSize stored;       // as the file stores it, before its orientation is applied
    QImageIOHandler::Transformations turn = QImageIOHandler::TransformationNone;
    QImage image;       // the whole picture upright, once decoded

    QString decodeError(const QString &reason) const
    {
        return path.isEmpty() ? pictexts::cannotDecodeEdited(reason) : pictexts::cannotDecode(path, reason);
    }

    // The file decoded upright, scaled to scaledSize or cut to clip (upright, when valid). The
    // decoder scales and cuts the pixels as stored, so both are taken back there first.
    QImage decode(QSize scaledSize, QRect clip, QString *reason) const
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, format);
        reader.setAutoTransform(true);
        reader.setAllocationLimit(kAllocationLimitMiB);
        if (clip.isValid()) reader.setClipRect(shownFromStored(stored, turn).inverted().mapRect(QRectF(clip)).toRect());
        if (scaledSize.isValid()) reader.setScaledSize(sideways(turn) ? scaledSize.transposed() : scaledSize);
        QImage image;
        if (!reader.read(&image)) {
            if (reason) *reason = reader.errorString();
            return {};
        }
        return image;
    }
};

Picture::Picture(QImage image) : d_(std::make_shared<Data>())
{
    d_->size = d_->stored = image.size();
    d_->image = std::move(image);
}

std::optional<Picture> Picture::load(const QString &path, QString *errorText)
{
    // Opened without blocking and read only when it is a regular file: a FIFO or a device is
    // refused instead of hanging.
    QString error;
    const int fd = linefile::openForReading(path, &error);
    if (fd < 0) {
        setError(errorText, error.isEmpty() ? pictexts::fileNotFound(path) : error);
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size > kMaxFileBytes) {
        ::close(fd);
        setError(errorText, pictexts::fileTooBig(path, kMaxFileBytes / (1024 * 1024)));
        return std::nullopt;
    }
    auto d = std::make_shared<Data>();
    d->path = path;
    d->bytes = QByteArray(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < d->bytes.size()) {
        const ssize_t n = ::read(fd, d->bytes.data() + got, size_t(d->bytes.size() - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            setError(errorText, texts::get(texts::kCannotRead).arg(path, QString::fromLocal8Bit(std::strerror(err))));
            return std::nullopt;
        }
        if (n == 0) break; // the file shrank meanwhile: what is there is the file
        got += n;
    }
    ::close(fd);
    d->bytes.truncate(got);

    // The format from the content, whatever the name says; the size from the header alone. The
    // decoder of the name's format is asked first, the others only when it cannot read the file.
    QBuffer buffer(&d->bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, formatOfSuffix(QFileInfo(path).suffix()));
    reader.setAutoDetectImageFormat(false);
    if (!reader.canRead()) {
        buffer.seek(0);
        reader.setDevice(&buffer);
        reader.setFormat(QByteArray());
        reader.setAutoDetectImageFormat(true);
    }
    d->format = reader.format();
    if (d->format.isEmpty()) {
        setError(errorText, pictexts::notAPicture(path));
        return std::nullopt;
    }
    // The header's size is the stored one; the orientation says how it is shown.
    const QSize stored = reader.size();
    d->turn = reader.transformation();
    const QSize size = sideways(d->turn) ? stored.transposed() : stored;
    if (size.isValid() && !sizeAllowed(size)) {
        setError(errorText, pictexts::pictureTooLarge(size.width(), size.height(), kMaxPixels / 1'000'000));
        return std::nullopt;
    }
    d->size = size;
    d->stored = stored;
    if (!size.isValid() || !decoderScales(d->format)) {
        QString reason;
        QImage image = d->decode({}, {}, &reason);
        if (image.isNull()) {
            setError(errorText, d->decodeError(reason));
            return std::nullopt;
        }
        if (!sizeAllowed(image.size())) {
            setError(errorText, pictexts::pictureTooLarge(image.width(), image.height(), kMaxPixels / 1'000'000));
            return std::nullopt;
        }
        d->size = image.size();
        d->stored = sideways(d->turn) ? d->size.transposed() : d->size;
        d->image = std::move(image);
    }
    Picture picture;
    picture.d_ = std::move(d);
    return picture;
}

bool Picture::isNull() const { return !d_ || d_->size.isEmpty(); }
QSize Picture::size() const { return d_ ? d_->size : QSize(); }
QByteArray Picture::fileFormat() const { return d_ ? d_->format : QByteArray(); }
bool Picture::isDecoded() const { return d_ && !d_->image.isNull(); }

QImage Picture::image(QString *errorText) const
{
    if (!d_) return {};
    if (d_->image.isNull()) {
        QString reason;
        QImage image = d_->decode({}, {}, &reason);
        if (image.isNull()) {
            setError(errorText, d_->decodeError(reason));
            return {};
        }
        d_->image = std::move(image);
    }
    return d_->image;
}

QImage Picture::fitted(QSize bound, QString *errorText) const
{
    if (isNull()) return {};
    const QSize full = size();
    if (bound.isEmpty() || (full.width() <= bound.width() && full.height() <= bound.height())) return image(errorText);
    const QSize target = full.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (!isDecoded() && decoderScales(d_->format)) {
        QString reason;
        QImage shown = d_->decode(target, {}, &reason);
        if (shown.isNull()) setError(errorText, d_->decodeError(reason));
        return shown;
    }
    const QImage whole = image(errorText);
    if (whole.isNull()) return {};
    return whole.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

std::optional<Picture> Picture::cropped(const QRect &rect, QString *errorText) const
{
    const QRect area = rect & QRect(QPoint(), size());
    if (area.isEmpty()) {
        setError(errorText, pictexts::sizeTooSmall());
        return std::nullopt;
    }
    QImage part;
    if (!isDecoded() && decoderScales(d_->format)) {
        QString reason;
        part = d_->decode({}, area, &reason);
        if (part.isNull()) {
            setError(errorText, d_->decodeError(reason));
            return std::nullopt;
        }
    } else {
        const QImage whole = image(errorText);
        if (whole.isNull()) return std::nullopt;
        part = whole.copy(area);
    }
    if (part.size() != area.size()) {
        setError(errorText, pictexts::cannotDecodeEdited(pictexts::notEnoughMemory()));
        return std::nullopt;
    }
    return Picture(std::move(part));
}

std::optional<Picture> Picture::resized(QSize newSize, QString *errorText) const
{
    if (!sizeAllowed(newSize)) {
        setError(errorText, newSize.width() < 1 || newSize.height() < 1
                                ? pictexts::sizeTooSmall()
                                : pictexts::pictureTooLarge(newSize.width(), newSize.height(), kMaxPixels / 1'000'000));
        return std::nullopt;
    }
    if (isNull()) return std::nullopt;
    if (newSize == size()) return *this;
    QImage result;
    if (!isDecoded() && decoderScales(d_->format) && newSize.width() <= size().width()
        && newSize.height() <= size().height()) {
        QString reason;
        result = d_->decode(newSize, {}, &reason);
        if (result.isNull()) {
            setError(errorText, d_->decodeError(reason));
            return std::nullopt;
        }
    } else {
        const QImage whole = image(errorText);
        if (whole.isNull()) return std::nullopt;
        result = whole.scaled(newSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (result.size() != newSize) {
        setError(errorText, pictexts::cannotDecodeEdited(pictexts::notEnoughMemory()));
        return std::nullopt;
    }
    return Picture(std::move(result));
}

std::optional<QByteArray> Picture::encoded(const QByteArray &format, QString *errorText) const
{
    if (isNull()) return std::nullopt;
    if (!d_->bytes.isEmpty() && d_->format == format) return d_->bytes;
    const QImage whole = image(errorText);
    if (whole.isNull()) return std::nullopt;
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (format == "png") writer.setCompression(kPngCompression);
    else writer.setQuality(kJpegQuality); // JPEG and WebP; ignored by the others
    if (!writer.write(whole)) {
        setError(errorText, pictexts::cannotEncode(QString::fromLatin1(format), writer.errorString()));
        return std::nullopt;
    }
    return out;
}

std::optional<SaveTarget> saveTarget(const QString &path, QString *errorText)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty()) {
        QString named = path;
        if (named.endsWith(u'.')) named.chop(1);
        return SaveTarget{named + QStringLiteral(".png"), "png"};
    }
    const QByteArray format = formatOfSuffix(suffix);
    if (!QImageWriter::supportedImageFormats().contains(format)) {
        setError(errorText, pictexts::unknownExtension(suffix, writableExtensions()));
        return std::nullopt;
    }
    return SaveTarget{path, format};
}

bool save(const Picture &picture, const SaveTarget &target, QString *errorText)
{
    const auto bytes = picture.encoded(target.format, errorText);
    return bytes && files::saveAtomically(target.path, *bytes, errorText);
}

QString openFilter()
{
    const auto byFormat = extensionsByFormat(QImageReader::supportedImageFormats());
    QStringList all;
    for (const QStringList &patterns : byFormat) all.append(patterns);
    return pictexts::allPictures() + QStringLiteral(" (") + all.join(u' ') + QStringLiteral(");;")
           + filterOf(byFormat, "bmp") + QStringLiteral(";;") + pictexts::allFiles() + QStringLiteral(" (*)");
}

QString saveFilter(const QString &path)
{
    const auto byFormat = extensionsByFormat(QImageWriter::supportedImageFormats());
    const QByteArray named = formatOfSuffix(QFileInfo(path).suffix());
    return filterOf(byFormat, byFormat.contains(named) ? named : QByteArray("png"));
}

} // namespace pictel
