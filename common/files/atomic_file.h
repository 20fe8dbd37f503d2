#pragma once

#include <QByteArray>
#include <QString>

namespace files {

// Replaces a file so that it is, at every moment and after any crash, either the old version or
// the new one: the content goes to a temporary file beside the target, every write is checked,
// the file is fsync'ed, renamed over the target, and the folder is synced. On failure the
// temporary file is removed, the target is untouched and the error text says what failed.
// An existing file keeps its mode and, where the system allows, its owner; a new one gets the
// usual permissions. A file marked read-only is refused, and so is anything that is not a regular
// file; a symbolic link to a regular file is written through to the file it names.
class AtomicWriter
{
public:
    AtomicWriter() = default;
    AtomicWriter(const AtomicWriter &) = delete;
    AtomicWriter &operator=(const AtomicWriter &) = delete;
    ~AtomicWriter(); // an uncommitted file is abandoned

    bool open(const QString &path, QString *errorText);
    // Buffered; false once a write has failed (commit then reports it). What is written starts
    // on its way to the disk at once, so that the sync of commit() has little left to wait for.
    bool write(QByteArrayView data);
    bool commit(QString *errorText);
    // Removes the temporary file; the target stays as it was.
    void abandon();

private:
    bool flush();
    bool put(const char *data, qsizetype size);
    bool fail(const QString &what, int err);

    int fd_ = -1;
    qint64 written_ = 0; // bytes in the temporary file
    QByteArray temp_;
    QByteArray target_;
    QString shownTarget_;
    QString folder_;
    QByteArray buffer_;
    QString error_;
};

// The whole new content at once, through an AtomicWriter.
bool saveAtomically(const QString &path, QByteArrayView content, QString *errorText = nullptr);

// Removes the temporary files that an interrupted save left in folder. Returns how many. Only
// the holder of the folder's lock may call it: a temporary file found then belongs to no save
// that is still running.
int removeStaleTemporaries(const QString &folder);

// Copies source over target through an AtomicWriter, a piece at a time. A missing source is an
// error.
bool copyAtomically(const QString &source, const QString &target, QString *errorText = nullptr);

// The content of a small file at one moment, to put it back as it was when a change made of
// several saves fails half-way. A file that did not exist is removed again.
class FileSnapshot
{
public:
    // False, with errorText, when the file exists but cannot be read.
    bool take(const QString &path, QString *errorText);
    const QByteArray &content() const { return content_; }
    bool existed() const { return existed_; }
    // False, with errorText, when the file could not be put back.
    bool restore(QString *errorText = nullptr) const;

private:
    QString path_;
    QByteArray content_;
    bool existed_ = false;
};

// The marker in the names of the temporary files of saveAtomically.
inline constexpr char kTemporaryMarker[] = ".talvo-save-";

} // namespace files
