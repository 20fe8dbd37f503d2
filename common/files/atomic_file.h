#pragma once

#include <QByteArray>
#include <QString>

namespace files {

// Replaces path with content so that the file is, at every moment and after any crash, either
// the old version or the new one: the content goes to a temporary file beside the target, every
// write is checked, the file is fsync'ed, renamed over the target, and the folder is synced.
// On failure the temporary file is removed, the target is untouched and errorText (when given)
// says what failed. A new file gets the usual permissions; an existing one keeps its own.
bool saveAtomically(const QString &path, QByteArrayView content, QString *errorText = nullptr);

// Removes the temporary files that an interrupted save left in folder. Returns how many.
int removeStaleTemporaries(const QString &folder);

// Copies source over target through saveAtomically. A missing source is an error.
bool copyAtomically(const QString &source, const QString &target, QString *errorText = nullptr);

// The marker in the names of the temporary files of saveAtomically.
inline constexpr char kTemporaryMarker[] = ".talvo-save-";

} // namespace files
