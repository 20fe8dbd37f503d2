#pragma once

#include <QString>

// Splits a path into the part that a French mode word names: "chemin\" (folder with its
// separator), "chemin", "nom seul", "extension", "nom et extension", "chemin et nom seul". Both
// "/" and "\" separate folders. The extension starts at the last dot of the whole path, so a dot
// in a folder name shifts it (C:\V1.2\LISEZMOI gives the extension ".2\LISEZMOI"), as users of
// the listings have always seen. Any other word gives an empty text.
QString PartieChemin(const QString &path, const QString &modeWord);

namespace files {

// A file name made from text typed or stored in a record: it stays in the folder it is put in
// (no "/" or "\\", no "..", never "." or hidden), holds no control character and is at most 200
// bytes long; an empty text gives "SANSNOM".
QString safeFileName(const QString &text);

} // namespace files
