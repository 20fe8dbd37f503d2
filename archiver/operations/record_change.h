#pragma once

#include "archiver/store/catalogue.h"
#include "archiver/store/record.h"

#include <QString>
#include <QStringList>

#include <functional>

// A change of one record made by hand (the entry form, the record card, the finder, the
// command-line tool's add, delete and replace) is an operation like those of many records: the
// files it changes are kept first, so that "undo" puts them back. Each function runs under the
// folder's lock held by the caller. A failure puts back what the change had written already;
// warning (when not empty) says that the change went through but cannot be undone.
namespace recordchange {

// The operation's names, as the undoing names them.
QString addTitle(const QString &key);
QString editTitle(const QString &key);
QString deleteTitle(const QString &key);

// Runs change as one undoable operation named title, keeping files (paths in the program folder)
// before it runs. A change that leaves every file as it was is forgotten.
bool run(const FolderLock &lock, const QString &programFolder, const QString &title, const QStringList &files,
         const std::function<bool(QString *errorText)> &change, QString *errorText, QString *warning);

// The files a new record may change: its letter file and the two lists.
QStringList filesOfAdd(const Catalogue &catalogue, const Record &r);

// entry::store as an operation.
bool add(const FolderLock &lock, const Catalogue &catalogue, const Record &r, bool addCategory, QString *currentFile,
         QString *errorText, QString *warning);
// Catalogue::replaceLine as an operation.
bool replace(const FolderLock &lock, const Catalogue &catalogue, QString *currentFile, const QString &oldLine,
             const QString &newLine, QString *errorText, QString *warning);
// Catalogue::deleteLine as an operation; removed receives how many lines went.
bool remove(const FolderLock &lock, const Catalogue &catalogue, const QString &path, const QString &line,
            qsizetype *removed, QString *errorText, QString *warning);

} // namespace recordchange
