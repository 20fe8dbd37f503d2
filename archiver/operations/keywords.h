#pragma once

#include "archiver/store/catalogue.h"

#include <QChar>
#include <QString>

#include <functional>

// The keyword list: every record key of the catalogue, one per line, in the order of the letter
// files and, inside each, in file order, duplicates kept.
namespace keywords {

QString listFile(const QString &folder); // Mots_Cles.txt in the program folder

struct Outcome
{
    qint64 keys = 0;
    QString path;  // the list written, when error is empty
    QString error; // the list could not be written (the old one is left as it was), or a letter
                   // file could not be read (then no list is written either)
};

// Writes the list atomically; onLetter is called before each letter file is read.
Outcome writeList(const Catalogue &catalogue, const QString &folder,
                  const std::function<void(QChar letter)> &onLetter = {});

} // namespace keywords
