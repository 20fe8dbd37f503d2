#pragma once

#include "common/files/folder_lock.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Backups of the catalogue (the 36 letter files, TALVO.CAT and TALVO.SUP), each whole or absent:
// a backup is written into a hidden folder of BACKUP, synced, then made visible as
// BACKUP/<date> by one rename, so that a failed or killed backup leaves the earlier ones as they
// were and none half made. The last kKeptByDefault (or as many as asked) are kept. A restore takes
// only a complete backup, keeps the catalogue as it is first as a backup of its own, and puts the
// files back as one undoable operation: stopped half-way, the next writer puts them back as they
// were. BACKUP/operations holds the undo history, not backups.
namespace backup {

inline constexpr int kKeptByDefault = 10;

QString backupFolder(const QString &folder);

struct Backup
{
    QString id;        // its folder's name under BACKUP ("20261210-142501-123"), or "ancien"
    QDateTime when;
    qint64 records = -1; // -1: not counted (a backup of the earlier, single-generation form)
    QString folder;    // ends with "/"
    bool legacy = false; // the copies lying in BACKUP itself, as earlier versions made them
};

// The complete backups, newest first; the earlier form, when BACKUP holds one, last.
QList<Backup> list(const QString &folder);
// Whether there is a backup to restore.
bool exists(const QString &folder);

// Makes a new backup of the catalogue under the lock; the oldest beyond kept are removed. The
// backup made, or nothing with errorText (the earlier backups untouched).
std::optional<Backup> makeBackup(const files::FolderLock &lock, QString *errorText, int kept = kKeptByDefault);

// Puts the catalogue back as backup holds it (a letter file it lacks becomes empty), after keeping
// the catalogue as it is as a backup of its own; an operation that undo takes back. False, with
// errorText, when it could not (the catalogue then as it was).
bool restore(const files::FolderLock &lock, const Backup &backup, QString *errorText, int kept = kKeptByDefault);

} // namespace backup
