#pragma once

#include "archiver/store/record.h"

#include <QList>
#include <QString>
#include <QStringList>

// The printed lists of the result grid: a list in columns (one record per line) or record cards
// (a block of lines per record), as the text of "liste.txt", which the editor opens and prints.
namespace printlist {

// A record's text in a grid column: 0 key, 1 note, 2 date, 3 support, 4 category, 5 target.
QString cell(const Record &r, int column);

// The first line of a list: search text, " , ", today, " , ", the count with its leading blank,
// and countWord (" fiche(s)").
QString headerLine(const QString &searchText, const QString &today, qsizetype count, const QString &countWord);

// The greatest length of the column's texts over rows.
int widest(const QList<Record> &rows, int column);

struct Columns
{
    QList<int> selection; // the columns, in the order chosen (one may come twice)
    QList<int> widths;    // one per selection entry
    QString fill = QStringLiteral(" "); // its first character fills the columns
    bool dashes = false;  // a line of "-" under each record
};
// The list in columns, after its header line and an empty line: every cell, an empty one too,
// cut or filled to its column's width, one blank between columns.
QString columns(const QList<Record> &rows, const Columns &layout, const QString &header);
// The width of a line of the list: the columns and the blanks between them.
int totalWidth(const Columns &layout);
// The notice shown when the list opens: fits (message 18), too wide for portrait (19 and a line
// break), too wide for landscape too (19, a line break and 20).
QString widthNotice(int total, const QString &fits, const QString &landscape, const QString &tooWide);

struct Cards
{
    QList<int> selection;
    bool header = false;
    bool separators = false; // a line of 40 "-" after each card, else an empty line
    bool numbers = false;
    QStringList labels; // the field names by column when labels are printed; empty: none
};
// The record cards, each note part ("_") on a line of its own.
QString cards(const QList<Record> &rows, const Cards &layout, const QString &header);

// Writes text as the list file of the program folder (Windows-1252, atomically); its path, or
// nothing with errorText.
std::optional<QString> save(const QString &programFolder, const QString &text, QString *errorText);

} // namespace printlist
