#pragma once

#include "archiver/store/record.h"

#include <QString>
#include <QByteArrayView>
#include <QList>

// Narrowing a result list: its record lines are copied to "sel.txt" in the program folder, and
// the lines whose chosen field contains a text (letter case as typed) are kept.
namespace refine {

struct Result
{
    QList<QByteArray> kept; // the lines kept, in the order of the list, as Windows-1252 bytes
    int read = 0;           // the non-empty lines of the list
    QString error;    // why sel.txt could not be written or read; empty when it was

    bool ok() const { return error.isEmpty(); }
};

QString selectionFile(const QString &folder);

// The lines whose field contains text, letter case as typed.
QList<QByteArray> filter(const QList<QByteArray> &lines, record::Field field, const QString &text);

// lines: the record lines of the grid's rows, as stored. A field whose separators are missing is
// empty; Field::All compares the whole line. Nothing is kept when sel.txt cannot be written.
Result run(const QString &folder, const QList<QByteArrayView> &lines, record::Field field, const QString &text);

} // namespace refine
