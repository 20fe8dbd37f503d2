#include "common/files/atomic_file.h"

#include "common/text/line_file.h"
#include "common/text/texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {
namespace {

constexpr qsizetype kBuffer = 256 * 1024;
// What one write hands to the system at most before its writeback is started.
constexpr qsizetype kSlice = 1024 * 1024;

QString describeErrno(const QString &what, const QString &path, int err)
{
    return texts::get(texts::kSystemError).arg(what, path, QString::fromLocal8Bit(strerror(err)));
}

// Starts writing back to the disk what was just written, so that the fsync at the end finds
// little left to wait for. Only a hint: the fsync still reports any failure.
void startWriteback(int fd, qint64 offset, qsizetype size)
{
#ifdef __linux__
    (void)::sync_file_range(fd, offset, size, SYNC_FILE_RANGE_WRITE);
#else
    (void)fd;
    (void)offset;
    (void)size;
#endif
}

bool writeAll(int fd, const char *data, qsizetype size, int *err)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            *err = errno;
            return false;
        }
        if (n == 0) {
            *err = ENOSPC;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

void syncFolder(const QByteArray &folder)
{
    // The rename is what makes the new content visible; a folder that cannot be synced (some
    // file systems refuse it) does not undo it, so this step reports nothing.
    const int dfd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return;
    ::fsync(dfd);
    ::close(dfd);
}

} // namespace

AtomicWriter::~AtomicWriter() { abandon(); }

bool AtomicWriter::fail(const QString &what, int err)
{
    if (error_.isEmpty()) error_ = describeErrno(what, shownTarget_, err);
    return false;
}

bool AtomicWriter::open(const QString &path, QString *errorText)
{
    abandon();
    error_.clear();
    // A link is written through: the new content replaces the file it points to.
    const QFileInfo given(path);
    const QFileInfo info(given.isSymLink() && given.exists() ? given.canonicalFilePath() : path);
    folder_ = info.absolutePath();
    shownTarget_ = info.absoluteFilePath();
    target_ = QFile::encodeName(shownTarget_);

    auto refuse = [&](const QString &text) {
        if (errorText) *errorText = text;
        return false;
    };
    struct stat current {};
    const bool exists = ::stat(target_.constData(), &current) == 0;
    if (exists && !S_ISREG(current.st_mode)) return refuse(linefile::notRegularMessage(path));
    // A file marked read-only stays as it is, even for a user whom the system would let replace it.
    if (exists && ((current.st_mode & 0222) == 0 || ::access(target_.constData(), W_OK) != 0))
        return refuse(texts::get(texts::kReadOnlyFile)
                          .arg(shownTarget_));

    temp_ = QFile::encodeName(folder_ + QStringLiteral("/.") + info.fileName() +
                              QLatin1String(kTemporaryMarker)) +
            "XXXXXX";
    fd_ = ::mkostemp(temp_.data(), O_CLOEXEC);
    written_ = 0;
    if (fd_ < 0) {
        const int err = errno;
        temp_.clear();
        return refuse(describeErrno(texts::get(texts::kCannotWriteFolder), folder_, err));
    }

    mode_t mode;
    if (exists) {
        mode = current.st_mode & 07777;
        // The owner a user (often root) finds is kept; where the system refuses, the file
        // becomes the writer's, as any new file would.
        if (current.st_uid != ::geteuid() || current.st_gid != ::getegid())
            (void)::fchown(fd_, current.st_uid, current.st_gid);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd_, mode) != 0) {
        fail(texts::get(texts::kCannotSetMode), errno);
        if (errorText) *errorText = error_;
        abandon();
        return false;
    }
    buffer_.reserve(kBuffer);
    return true;
}

bool AtomicWriter::put(const char *data, qsizetype size)
{
    // A large piece goes in slices, each on its way to the disk while the next is copied.
    while (size > 0) {
        const qsizetype slice = std::min(size, kSlice);
        int err = 0;
        if (!writeAll(fd_, data, slice, &err)) return fail(texts::get(texts::kCannotWrite), err);
        startWriteback(fd_, written_, slice);
        written_ += slice;
        data += slice;
        size -= slice;
    }
    return true;
}

bool AtomicWriter::flush()
{
    if (!error_.isEmpty()) return false;
    if (!put(buffer_.constData(), buffer_.size())) return false;
    buffer_.resize(0);
    return true;
}

bool AtomicWriter::write(QByteArrayView data)
{
    if (fd_ < 0 || !error_.isEmpty()) return false;
    if (buffer_.size() + data.size() > kBuffer && !flush()) return false;
    if (data.size() >= kBuffer) return put(data.data(), data.size());
    buffer_.append(data.data(), data.size());
    return true;
}

bool AtomicWriter::commit(QString *errorText)
{
    if (fd_ < 0 && error_.isEmpty()) error_ = texts::get(texts::kNothingToSave);
    if (fd_ >= 0 && flush() && ::fsync(fd_) != 0)
        fail(texts::get(texts::kCannotSync), errno);
    if (fd_ >= 0) {
        if (::close(fd_) != 0) fail(texts::get(texts::kCannotWrite), errno);
        fd_ = -1;
    }
    if (error_.isEmpty() && ::rename(temp_.constData(), target_.constData()) != 0)
        fail(texts::get(texts::kCannotReplace), errno);
    if (!error_.isEmpty()) {
        if (errorText) *errorText = error_;
        abandon();
        return false;
    }
    temp_.clear();
    syncFolder(QFile::encodeName(folder_));
    return true;
}

void AtomicWriter::abandon()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.isEmpty()) ::unlink(temp_.constData());
    temp_.clear();
    buffer_.clear();
}

bool saveAtomically(const QString &path, QByteArrayView content, QString *errorText)
{
    AtomicWriter writer;
    if (!writer.open(path, errorText)) return false;
    writer.write(content); // a failed write is the commit's to report
    return writer.commit(errorText);
}

int removeStaleTemporaries(const QString &folder)
{
    QDir dir(folder);
    const QStringList stale =
        dir.entryList({QStringLiteral(".*") + QLatin1String(kTemporaryMarker) + u'*'},
                      QDir::Files | QDir::Hidden | QDir::System);
    int removed = 0;
    for (const QString &name : stale)
        if (dir.remove(name)) ++removed;
    return removed;
}

bool copyAtomically(const QString &source, const QString &target, QString *errorText)
{
    AtomicWriter writer;
    if (!writer.open(target, errorText)) return false;
    const linefile::ReadStatus status =
        linefile::forEachChunk(source, [&](QByteArrayView chunk) { return writer.write(chunk); });
    if (status.missing || !status.ok()) {
        if (errorText)
            *errorText = status.missing ? texts::get(texts::kFileNotFound).arg(source) : status.error;
        return false; // the writer abandons its file
    }
    return writer.commit(errorText); // says what a failed write was
}

bool FileSnapshot::take(const QString &path, QString *errorText)
{
    path_ = path;
    return linefile::readIfExists(path, &content_, errorText, &existed_);
}

bool FileSnapshot::restore(QString *errorText) const
{
    if (existed_) return saveAtomically(path_, content_, errorText);
    if (QFile::remove(path_) || !QFileInfo::exists(path_)) return true;
    if (errorText) *errorText = texts::get(texts::kCannotRemove).arg(path_);
    return false;
}

} // namespace files
