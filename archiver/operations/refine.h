#pragma once

#include "archiver/store/record.h"

#include <QString>
#include <QStringList>

// Narrowing a result list: its record lines are copied to "sel.txt" in the program folder, then
// read back, and the lines whose chosen field contains a text (letter case as typed) are kept.
namespace refine {

struct Result
{
    QStringList kept; // the lines kept, in the order of the list
    int read = 0;     // the non-empty lines read back
    QString error;    // why sel.txt could not be written or read; empty when it was

    bool ok() const { return error.isEmpty(); }
};

QString selectionFile(const QString &folder);

// lines: the record lines of the grid's rows. A field whose separators are missing is empty;
// Field::All compares the whole line.
Result run(const QString &folder, const QStringList &lines, record::Field field, const QString &text);

} // namespace refine
