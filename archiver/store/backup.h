#pragma once

#include <QString>
#include <QStringList>

// One generation of copies of the catalogue in the BACKUP sub-folder: the 36 letter files (as
// "A.mfi" …), TALVO.CAT and TALVO.SUP. Each copy is made through the atomic save, so a copy
// that fails leaves the file it would have replaced whole.
namespace backup {

QString backupFolder(const QString &folder);
// A backup exists when BACKUP holds the copy of A's letter file.
bool exists(const QString &folder);

// Copies the catalogue into BACKUP; a missing file is passed over. Returns the errors, one per
// copy that failed (empty when all went well).
QStringList makeBackup(const QString &folder);
// Copies BACKUP back over the catalogue, the same way.
QStringList restore(const QString &folder);

} // namespace backup
