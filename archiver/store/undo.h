#pragma once

#include "common/files/folder_lock.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// The files an operation of many records changes are kept before it changes them, in a folder of
// their own under BACKUP/operations (the last kKept operations are kept), so that the last
// operation can be undone. Undoing puts the files back only when none changed since the
// operation ended (its size, time of change and identity on disk are the same); otherwise it
// refuses and says which changed.
namespace undo {

inline constexpr int kKept = 10;

// BACKUP/operations of the program folder.
QString operationsFolder(const QString &programFolder);

class Operation
{
public:
    // A new operation named title on the files of programFolder. The lock must be held until
    // seal() or rollBack().
    static std::optional<Operation> begin(const files::FolderLock &lock, const QString &programFolder,
                                          const QString &title, QString *errorText);

    // Keeps path (a file of the program folder; a missing one is noted as missing) as it is now,
    // before the operation replaces it; a file kept already stays as it was first kept. The copy
    // is a second link to the file when the folder allows it: the operation's saves replace a
    // file by another, so the kept one never changes.
    bool keep(const QString &path, QString *errorText);
    // The operation went through: the states of its files after it are noted, which undoing
    // checks. An operation that changed no file is forgotten.
    bool seal(QString *errorText);
    // The operation failed or was cancelled: its files are put back at once and it is forgotten.
    bool rollBack(QString *errorText);

    const QString &folder() const { return folder_; }

private:
    const files::FolderLock *lock_ = nullptr;
    QString programFolder_;
    QString folder_;
    QString title_;
    QDateTime when_;
    QStringList kept_;   // names
    QStringList before_; // their states
};

// The last operation that can be undone.
struct Last
{
    QString title;
    QDateTime when;
    QStringList files; // names in the program folder
    bool sealed = false; // false: the program stopped while the operation was running
    QString folder;
};
std::optional<Last> last(const QString &programFolder);

// Puts back the files of the last operation and forgets it; title receives its name. Refused,
// naming the files, when one of them changed since the operation; and when there is none.
bool undoLast(const files::FolderLock &lock, const QString &programFolder, QString *title, QString *errorText);

// An operation that never ended (its program was killed, the machine stopped) is rolled back by
// the first writer that takes the lock afterwards, before anything else changes: each of its
// files that is not as it was before is put back, which can only be the operation's own doing,
// and it is forgotten. notice receives what to tell the user (empty when there was none); false,
// with errorText, when a file could not be put back (the copies stay for the next try).
bool rollBackInterrupted(const files::FolderLock &lock, const QString &programFolder, QString *notice,
                         QString *errorText);

} // namespace undo
