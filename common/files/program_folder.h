#pragma once

#include <QString>

namespace files {

// The folder that holds a program's data, always ending with "/": $TALVO5_HOME when set; else the
// executable's folder when it holds the shipped language files (a build or a portable copy); else
// the per-user data folder $XDG_DATA_HOME/talvo5/ (~/.local/share/talvo5/), created when missing.
QString programFolder();

// The folder of the shipped read-only data (language files, sample files): "../share/talvo5/"
// beside the executable when the suite is installed, else the executable's folder.
QString shippedDataFolder();

// The folder of the running executable, where the companion programs are started from.
QString executableFolder();

// Where programFolder() looks, for a given executable folder and environment: the choice itself,
// apart from the process it runs in. userDataFolder is $XDG_DATA_HOME (or its default).
QString chooseProgramFolder(const QString &homeVariable, const QString &executableFolder,
                            const QString &userDataFolder);
QString chooseShippedDataFolder(const QString &executableFolder);

QString withTrailingSlash(const QString &folder);

// The existing entry of folder whose name matches name without regard to case ("talvo.cat"
// finds "TALVO.CAT"); the exact spelling wins when several match. Returns the full path of the
// entry found, or folder + name when none exists (the canonical name for a new file).
QString findExisting(const QString &folder, const QString &name);

} // namespace files
