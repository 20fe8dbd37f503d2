#pragma once

#include "archiver/store/catalogue.h"

#include <QString>
#include <QStringList>

#include <functional>

// The finder of files no record names: the plain files of one folder are looked for in every
// letter file. A file is catalogued when a record's target is its full path, byte for byte:
// another case, a longer name or the path inside a note names another file here.
namespace finder {

// The plain files of folder (ending with "/") whose names match pattern, in name order: "*" and
// "?" as wildcards, case ignored; "*.*" and an empty pattern take every file. Hidden files,
// sub-folders and whatever is not a file (a FIFO, a device, a broken link) are left out.
QStringList listFiles(const QString &folder, const QString &pattern);

// The plain files of folder whose names are not valid UTF-8 (written by another system in
// another encoding), matched against pattern as listFiles does, each byte of the name read as
// Latin-1: their full paths as bytes, in byte order. No record can name such a file: a target is
// text that the letter files hold.
QList<QByteArray> undecodableFiles(const QString &folder, const QString &pattern);
// Bytes of a name as the user is shown them: valid UTF-8 as it reads, every other byte as \xNN.
QString shownBytes(QByteArrayView bytes);

struct Analysis
{
    qint64 analysed = 0;
    // Files found, counted once per letter file that names them: a file named in three letter
    // files counts three.
    qint64 catalogued = 0;
    QStringList uncatalogued; // full paths, in the order of names
    QList<QByteArray> undecodable; // full paths of the files whose names are not text: uncatalogued too
    QStringList unreadable;   // why each letter file that could not be read was passed over
    bool cancelled = false;   // onLetter said stop: nothing else is filled
};

// Looks for folder + each name among the targets of the whole catalogue in one pass over the
// letter files, all names together. onLetter is called with the number of letter files read so
// far (0 to 36) and stops the work when it returns false. A path the code page cannot hold, or
// holding a line break, can be in no line: it is uncatalogued.
Analysis analyse(const Catalogue &catalogue, const QString &folder, const QStringList &names,
                 const std::function<bool(int lettersDone)> &onLetter = {});

// The files of folder matching pattern analysed: those listFiles gives, and those whose names are
// not text (counted as analysed and uncatalogued).
Analysis find(const Catalogue &catalogue, const QString &folder, const QString &pattern,
              const std::function<bool(int lettersDone)> &onLetter = {});

} // namespace finder
