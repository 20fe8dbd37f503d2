#pragma once

#include <QString>

namespace files {

// The desktop's trash: a file deleted from the programs goes there, where the user can take it
// back, whenever its file system has one: the user's own trash ($XDG_DATA_HOME/Trash) for a file
// on the same file system, else the trash at the top of the file's volume (.Trash/UID or
// .Trash-UID).

// Whether path can go to a trash the user may write, as far as can be told without moving it.
bool trashAvailable(const QString &path);

// Moves path to the trash; false, with the error text, when it stayed where it was. The user's
// trash folder is made first when it does not exist yet.
bool moveToTrash(const QString &path, QString *errorText);

// Deletes path for good: only for a file whose file system has no trash, after the user said so.
bool removeForGood(const QString &path, QString *errorText);

} // namespace files
