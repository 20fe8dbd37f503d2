#pragma once

#include <QByteArray>
#include <QChar>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <QTemporaryDir>

#include <functional>
#include <memory>

// Records in and out of the catalogue: the lines of a file to import, sorted out by the letter
// file they go to, and the export of listed records.
namespace transfer {

// Reading a file stops at its third rejected line.
inline constexpr int kRejectedLimit = 3;
// The accepted lines a reading holds in memory at most, in bytes; the rest waits in runs.
inline constexpr qsizetype kMemoryBudget = 32 * 1024 * 1024;

// A line of the file that was not imported: its number (from 1), its text and why, as a text
// of its own or as a numbered message of the language file.
struct Rejected
{
    qint64 number = 0;
    QString text;
    QString why;
    int message = 0;
};

struct Reading
{
    QHash<QChar, QList<QByteArray>> lines; // the record lines accepted, by letter file
    // Once the accepted lines outgrow the memory allowed, they go to files of lines in line order
    // (runs, merged into the letter files as these are written), by letter file, in a scratch
    // folder that lives as long as the reading.
    QHash<QChar, QStringList> runs;
    QHash<QChar, qint64> runLines;
    std::shared_ptr<QTemporaryDir> spool;
    qint64 accepted = 0;
    int rejected = 0;
    QList<Rejected> rejectedLines;
    bool abandoned = false; // the third rejected line stopped the reading
    QString error;          // the file could not be read (nothing accepted then)
};

// A file of record lines, as the letter files and the export hold them (Windows-1252): a line
// is accepted, unchanged, when it holds "#" and "§" and begins with a digit or a capital A-Z; any
// other line, an empty one included, is rejected.
Reading readRecords(const QString &path, qsizetype memoryBudget = kMemoryBudget);

// A list of "key#note" lines, UTF-8 when the whole file is valid UTF-8, else Windows-1252. Each
// line is put in capitals; it is accepted when it holds a "#" and no "§", begins with a digit or
// a capital A-Z and can be written in Windows-1252; it becomes the record key, "@", today, "[]",
// category, the text from the "#" on, "§". Empty lines are passed over.
Reading readList(const QString &path, const QString &today, const QString &category,
                 qsizetype memoryBudget = kMemoryBudget);

// "line 3: «ÉTÉ 2024#vacances»: why", one per rejected line; message gives the numbered messages.
QStringList describe(const QList<Rejected> &rejected, const std::function<QString(int)> &message);

// Writes lines (record lines of the listed records) to path, Windows-1252, CR LF, atomically;
// no line gives an empty file.
bool exportLines(const QString &path, const QStringList &lines, QString *errorText);

} // namespace transfer
