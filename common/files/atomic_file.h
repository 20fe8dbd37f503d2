#pragma once

#include <QByteArray>
#include <QString>

namespace files {

// Replaces path with content so that the file is, at every moment and after any crash, either
// the old version or the new one: the content goes to a temporary file beside the target, every
// write is checked, the file is fsync'ed, renamed over the target, and the folder is synced.
// On failure the temporary file is removed, the target is untouched and errorText (when given)
// says what failed. A new file gets the usual permissions; an existing one keeps its own. A file
// marked read-only is refused; a symbolic link is written through to the file it names.
bool saveAtomically(const QString &path, QByteArrayView content, QString *errorText = nullptr);

// Removes the temporary files that an interrupted save left in folder. Returns how many.
int removeStaleTemporaries(const QString &folder);

// Copies source over target through saveAtomically. A missing source is an error.
bool copyAtomically(const QString &source, const QString &target, QString *errorText = nullptr);

// The content of a file at one moment, to put it back as it was when a change made of several
// saves fails half-way. A file that did not exist is removed again.
class FileSnapshot
{
public:
    // False, with errorText, when the file exists but cannot be read.
    bool take(const QString &path, QString *errorText);
    const QByteArray &content() const { return content_; }
    bool existed() const { return existed_; }
    void restore() const;

private:
    QString path_;
    QByteArray content_;
    bool existed_ = false;
};

// The marker in the names of the temporary files of saveAtomically.
inline constexpr char kTemporaryMarker[] = ".talvo-save-";

} // namespace files
