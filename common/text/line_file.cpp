#include "common/text/line_file.h"

#include "common/text/cp1252.h"
#include "common/text/texts.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace linefile {
namespace {

QString readError(const QString &path, int err)
{
    return QStringLiteral("Lecture impossible de « %1 » : %2")
        .arg(path, QString::fromLocal8Bit(strerror(err)));
}

// Reads into buffer, retrying when interrupted; the count, 0 at the end, -1 with errno.
ssize_t readSome(int fd, char *buffer, qsizetype size)
{
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size_t(size));
        if (n >= 0 || errno != EINTR) return n;
    }
}

// The file's bytes in pieces of whole lines, from one buffer. A line that outgrows
// kMaxLineLength is handed as a piece of its own, cut, and the rest of it is skipped.
class PieceReader
{
public:
    explicit PieceReader(int fd)
        : fd_(fd), storage_(spare() ? std::move(spare()) : std::unique_ptr<char[]>(new char[size_t(kPiece + 2 * kAlign)])),
          base_(aligned(storage_.get())), front_(base_)
    {
    }
    // The buffer goes to the next reader of this thread: a new one would cost the system fresh
    // zeroed pages for every file of a search.
    ~PieceReader() { spare() = std::move(storage_); }
    PieceReader(const PieceReader &) = delete;
    PieceReader &operator=(const PieceReader &) = delete;

    // False at the end of the file, or on a read error (then errorNumber() is set).
    bool next(QByteArrayView *piece)
    {
        for (;;) {
            if (consumed_ > 0) {
                kept_ -= consumed_;
                // What is kept goes where the next read lands on an aligned address: the system
                // copies into one several times faster than into any other.
                char *const to = base_ + (-kept_ & (kAlign - 1));
                std::memmove(to, front_ + consumed_, size_t(kept_));
                front_ = to;
                consumed_ = 0;
            }
            if (skipping_) {
                // The rest of a cut line, up to its line end.
                const void *nl = kept_ > 0 ? ::memchr(front_, '\n', size_t(kept_)) : nullptr;
                if (nl) {
                    skipping_ = false;
                    consumed_ = static_cast<const char *>(nl) - front_ + 1;
                    continue;
                }
                kept_ = 0;
                front_ = base_;
            } else if (kept_ > 0) {
                const void *lastNl = ::memrchr(front_, '\n', size_t(kept_));
                if (lastNl) {
                    consumed_ = static_cast<const char *>(lastNl) - front_ + 1;
                    *piece = QByteArrayView(front_, consumed_);
                    return true;
                }
                if (kept_ > kMaxLineLength || ended_) {
                    // An unfinished line already too long, or the last line without its end.
                    *piece = QByteArrayView(front_, std::min(kept_, kMaxLineLength));
                    if (kept_ > kMaxLineLength) {
                        ++cutLines_;
                        skipping_ = true;
                    }
                    consumed_ = kept_;
                    return true;
                }
            }
            if (ended_) return false;
            char *const end = front_ + kept_;
            const ssize_t n = readSome(fd_, end, base_ + kPiece + kAlign - end);
            if (n < 0) {
                error_ = errno;
                return false;
            }
            if (n == 0) ended_ = true;
            kept_ += n;
        }
    }

    int errorNumber() const { return error_; }
    qint64 cutLines() const { return cutLines_; }

private:
    // Small enough to stay in the processor's cache between the read and the scan, and large
    // enough that an unfinished line of kMaxLineLength always leaves room to read on.
    static constexpr qsizetype kPiece = 256 * 1024;
    static_assert(kPiece > 2 * kMaxLineLength);
    static constexpr qsizetype kAlign = 64;

    static std::unique_ptr<char[]> &spare()
    {
        static thread_local std::unique_ptr<char[]> buffer;
        return buffer;
    }

    static char *aligned(char *p)
    {
        return p + (-reinterpret_cast<std::uintptr_t>(p) & std::uintptr_t(kAlign - 1));
    }

    int fd_;
    std::unique_ptr<char[]> storage_;
    char *base_;  // the storage's first aligned byte
    char *front_; // the first byte kept
    qsizetype kept_ = 0;     // bytes kept from front_
    qsizetype consumed_ = 0; // bytes of the front already handed over
    bool ended_ = false;
    bool skipping_ = false;
    int error_ = 0;
    qint64 cutLines_ = 0;
};

} // namespace

QString notRegularMessage(const QString &path)
{
    struct stat st {};
    const texts::Text *what = &texts::kNotRegular;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) what = &texts::kIsFolder;
        else if (S_ISFIFO(st.st_mode)) what = &texts::kIsFifo;
        else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) what = &texts::kIsDevice;
    }
    const QString target = QFileInfo(path).symLinkTarget();
    const QString named =
        target.isEmpty() ? texts::get(texts::kQuoted).arg(path) : texts::get(texts::kLinkTo).arg(path, target);
    return texts::get(*what).arg(named);
}

int openForReading(const QString &path, QString *errorText)
{
    const QByteArray name = QFile::encodeName(path);
    // Checked before opening as well as after: opening some devices already does something.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        if (errorText) *errorText = errno == ENOENT ? QString() : readError(path, errno);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        if (errorText) *errorText = notRegularMessage(path);
        return -1;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errorText) *errorText = errno == ENOENT ? QString() : readError(path, errno);
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (errorText) *errorText = notRegularMessage(path);
        return -1;
    }
    return fd;
}

ReadStatus forEachPiece(const QString &path, const std::function<void(QByteArrayView)> &fn)
{
    ReadStatus status;
    const int fd = openForReading(path, &status.error);
    if (fd < 0) {
        status.missing = status.error.isEmpty();
        return status;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    PieceReader reader(fd);
    QByteArrayView piece;
    while (reader.next(&piece))
        fn(piece);
    if (reader.errorNumber()) status.error = readError(path, reader.errorNumber());
    status.cutLines = reader.cutLines();
    ::close(fd);
    return status;
}

namespace {

ReadStatus eachLine(const QString &path, const std::function<void(QByteArrayView)> &fn, bool withEmptyLines)
{
    qint64 cutHere = 0;
    ReadStatus status = forEachPiece(path, [&](QByteArrayView piece) {
        qsizetype start = 0;
        while (start < piece.size()) {
            qsizetype end = piece.indexOf('\n', start);
            if (end < 0) end = piece.size();
            qsizetype stop = end;
            if (stop > start && piece[stop - 1] == '\r') --stop;
            // A line that ended within the piece that holds it may still be longer than the
            // limit.
            if (stop - start > kMaxLineLength) {
                ++cutHere;
                stop = start + kMaxLineLength;
            }
            if (stop > start || withEmptyLines) fn(piece.sliced(start, stop - start));
            start = end + 1;
        }
    });
    status.cutLines += cutHere;
    return status;
}

} // namespace

ReadStatus forEachLine(const QString &path, const std::function<void(QByteArrayView)> &fn)
{
    return eachLine(path, fn, false);
}

ReadStatus forEachLineWithEmpty(const QString &path, const std::function<void(QByteArrayView)> &fn)
{
    return eachLine(path, fn, true);
}

QList<QByteArray> splitLines(QByteArrayView data)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        const bool last = end < 0;
        if (last) end = data.size();
        qsizetype stop = end;
        if (stop > start && data[stop - 1] == '\r') --stop;
        lines.append(data.sliced(start, stop - start).toByteArray());
        start = end + 1;
    }
    return lines;
}

QByteArray joinLines(const QList<QByteArray> &lines)
{
    qsizetype size = 0;
    for (const auto &l : lines)
        size += l.size() + 2;
    QByteArray out;
    out.reserve(size);
    for (const auto &l : lines) {
        out.append(l);
        out.append("\r\n", 2);
    }
    return out;
}

ReadStatus forEachChunk(const QString &path, const std::function<bool(QByteArrayView)> &fn)
{
    ReadStatus status;
    const int fd = openForReading(path, &status.error);
    if (fd < 0) {
        status.missing = status.error.isEmpty();
        return status;
    }
    QByteArray chunk(256 * 1024, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = readSome(fd, chunk.data(), chunk.size());
        if (n < 0) status.error = readError(path, errno);
        if (n <= 0 || !fn(QByteArrayView(chunk.constData(), n))) break;
    }
    ::close(fd);
    return status;
}

std::optional<QByteArray> readFile(const QString &path, QString *errorText)
{
    QByteArray data;
    bool tooLarge = false;
    const ReadStatus status = forEachChunk(path, [&](QByteArrayView chunk) {
        tooLarge = data.size() + chunk.size() > kMaxWholeFile;
        if (!tooLarge) data.append(chunk);
        return !tooLarge;
    });
    if (errorText) *errorText = status.error;
    if (tooLarge && errorText)
        *errorText = texts::get(texts::kTooBig)
                         .arg(path)
                         .arg(kMaxWholeFile / (1024 * 1024));
    if (!status.ok() || status.missing || tooLarge) return std::nullopt;
    return data;
}

bool readIfExists(const QString &path, QByteArray *data, QString *errorText, bool *exists)
{
    QString error;
    auto read = readFile(path, &error);
    if (!read && !error.isEmpty()) {
        if (errorText) *errorText = error;
        return false;
    }
    if (exists) *exists = read.has_value();
    *data = read ? std::move(*read) : QByteArray();
    return true;
}

bool readLines(const QString &path, QList<QByteArray> *lines, QString *errorText)
{
    QByteArray data;
    if (!readIfExists(path, &data, errorText)) return false;
    *lines = splitLines(data);
    return true;
}

QStringList readTextLines(const QString &path)
{
    QStringList out;
    const auto data = readFile(path);
    if (!data) return out;
    for (const auto &l : splitLines(*data))
        out.append(cp1252::decode(l));
    return out;
}

std::optional<QByteArray> encodeLines(const QStringList &lines, char32_t *badChar)
{
    QList<QByteArray> encoded;
    encoded.reserve(lines.size());
    for (const auto &l : lines) {
        auto e = cp1252::encode(l, badChar);
        if (!e) return std::nullopt;
        encoded.append(*e);
    }
    return joinLines(encoded);
}

bool isUtf8(QByteArrayView data)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString unused = decoder.decode(data);
    return !decoder.hasError();
}

QString decodeDocument(QByteArrayView data, bool *wasUtf8)
{
    const bool utf8 = isUtf8(data);
    if (wasUtf8) *wasUtf8 = utf8;
    return utf8 ? QString::fromUtf8(data) : cp1252::decode(data);
}

} // namespace linefile
