#pragma once

#include "common/files/folder_lock.h"

#include <QString>
#include <QStringList>

// One generation of copies of the catalogue in the BACKUP sub-folder: the 36 letter files (as
// "A.mfi" …), TALVO.CAT and TALVO.SUP. Each copy is made through the atomic save, so a copy
// that fails leaves the file it would have replaced whole.
namespace backup {

QString backupFolder(const QString &folder);
// A backup exists when BACKUP holds the copy of A's letter file.
bool exists(const QString &folder);

// Copies the catalogue of the locked folder into BACKUP; a missing file is passed over. The lock
// is held over all the copies, so they are one snapshot of the catalogue. Returns the errors, one
// per copy that failed (empty when all went well).
QStringList makeBackup(const files::FolderLock &lock);
// Copies BACKUP back over the catalogue, the same way.
QStringList restore(const files::FolderLock &lock);

} // namespace backup
