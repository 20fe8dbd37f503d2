#pragma once

#include "common/files/folder_lock.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace firstrun {

// "A.MFI" present means the work files exist.
bool workFilesExist(const QString &folder);

// Creates the work files of the locked folder: the 36 letter files, the example records in U.MFI,
// the category and support lists, the notepad, and records folder + "francais.lng" as the user's
// language file. Files that already exist are never emptied: the examples and the six categories
// missing from them are added after what they hold, so a first run interrupted and done again
// gives each of them once. Returns false with errorText on the first write that fails.
bool InitialiserFichiers(const files::FolderLock &lock, const QString &date, QString *errorText);

// Creates the NOTES and BACKUP sub-folders when missing (matched without case), calling
// beforeCreating with each message first, in that order. Returns the message of each folder that
// could not be created.
QStringList ensureSubFolders(const QString &folder, const std::function<void(const QString &)> &beforeCreating);

// Copies into the locked folder each shipped file that it lacks (names relative to the shipped
// folder, each part matched without case): the language files, the sample files the example
// records point at, and the other data the build ships. A file that is there is never replaced,
// so a translation the user edited stays his. Nothing is copied when the two folders are one.
// Returns the message of each file that could not be copied.
QStringList copyShippedFiles(const files::FolderLock &lock, const QString &shippedFolder, const QStringList &names);
// The same for every file the build ships.
QStringList copyShippedFiles(const files::FolderLock &lock, const QString &shippedFolder);

} // namespace firstrun
