#pragma once

#include "common/files/folder_lock.h"

#include <QString>
#include <QStringList>

// The category list TALVO.CAT and the support list TALVO.SUP: one name per line, in order of
// addition, duplicates refused by an exact comparison.
namespace lists {

QString categoryFile(const QString &folder);
QString supportFile(const QString &folder);

// The non-empty lines of a list file; a missing file is an empty list.
QStringList load(const QString &path);

enum class AddOutcome { Added, AlreadyPresent, Empty, Failed };

// Appends name as the last line of the category list unless an identical line is there. Like
// every change of the program folder, under its lock.
AddOutcome addCategory(const files::FolderLock &lock, const QString &name, QString *errorText);

// Makes sure the support name is a line of the support list, creating the file when needed.
// An empty name registers nothing.
bool registerSupport(const files::FolderLock &lock, const QString &name, QString *errorText);

// Appends name as the last line of the list file at path unless an identical line is there,
// creating the file when needed; every existing byte of the file stays as it is.
AddOutcome appendIfAbsent(const files::FolderLock &lock, const QString &path, const QString &name,
                          QString *errorText);

// Replaces the file at path, atomically, with names, one per line (no name leaves an empty file).
bool write(const files::FolderLock &lock, const QString &path, const QStringList &names, QString *errorText);

// Copies path to backupPath, then rewrites path with names, one per line.
bool rebuild(const files::FolderLock &lock, const QString &path, const QString &backupPath, const QStringList &names,
             QString *errorText);

} // namespace lists
