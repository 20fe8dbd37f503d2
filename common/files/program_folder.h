#pragma once

#include <QString>

namespace files {

// The folder that holds a program's data: $TALVO5_HOME when set, else the executable's folder.
// Always ends with "/".
QString programFolder();

// The folder of the running executable, where the companion programs are started from.
QString executableFolder();

QString withTrailingSlash(const QString &folder);

// The existing entry of folder whose name matches name without regard to case ("talvo.cat"
// finds "TALVO.CAT"); the exact spelling wins when several match. Returns the full path of the
// entry found, or folder + name when none exists (the canonical name for a new file).
QString findExisting(const QString &folder, const QString &name);

} // namespace files
