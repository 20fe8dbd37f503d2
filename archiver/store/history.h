#pragma once

#include "archiver/store/lists.h"
#include "common/files/folder_lock.h"

#include <QString>
#include <QStringList>

// The history of the key texts searched, "rechercher.lst" in the program folder: one text per
// line, each at most once (lines compared exactly), new texts at the end. Like the category and
// support lists it is a file of names, so it is written by the same functions.
namespace history {

inline constexpr char kFileName[] = "rechercher.lst";

// The history file of folder: its existing spelling, matched without case, else the canonical one.
QString file(const QString &folder);

// The non-empty lines of the history; a missing file is an empty history.
QStringList load(const QString &path);

// A searched text added to the history: refused (Failed, with errorText naming the character) when
// it holds a character that cannot be stored, such as a line break.
lists::AddOutcome add(const files::FolderLock &lock, const QString &path, const QString &text, QString *errorText);

// Rewrites the history with lines, one per line, in their order: no line leaves an empty file.
inline bool rewrite(const files::FolderLock &lock, const QString &path, const QStringList &lines, QString *errorText)
{
    return lists::write(lock, path, lines, errorText);
}

// Deletes the history file; a missing one is already clear. A file marked read-only stays.
bool clear(const files::FolderLock &lock, const QString &path, QString *errorText);

} // namespace history
