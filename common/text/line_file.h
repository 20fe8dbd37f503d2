#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Line files: lines end with CR LF when written; LF alone is read as well. A final line without
// its line end is still a line.
//
// Every read opens the file without blocking and reads it only when it is a regular file (a link
// is followed), so a FIFO, a device or a folder where a file should be is refused instead of
// hanging or filling memory; and no read holds more than a bounded amount whatever the file.
namespace linefile {

// Far above the length of any record: a longer line is handed over cut to this length, and the
// rest of it is skipped.
inline constexpr qsizetype kMaxLineLength = 64 * 1024;
// Whole-file reads are for small files (lists, settings, language files); a larger file is
// refused.
inline constexpr qsizetype kMaxWholeFile = 16 * 1024 * 1024;

// How a streamed read went.
struct ReadStatus
{
    bool missing = false; // the file does not exist (not an error)
    QString error;        // why the file could not be read, naming it; empty when it was
    qint64 cutLines = 0;  // lines longer than kMaxLineLength, handed over cut

    bool ok() const { return error.isEmpty(); }
};

// Opens an existing file for reading. -1 when it cannot be read: then errorText names the file
// and says why, or is left empty when the file does not exist.
int openForReading(const QString &path, QString *errorText);

// The message that refuses a path which is not a regular file.
QString notRegularMessage(const QString &path);

// Hands the file's contents in pieces that hold whole lines (the last line of a file may lack its
// line end, and so does a line cut to kMaxLineLength, which always comes as a piece of its own).
// The pieces come from one reused buffer of a few hundred KiB, so memory stays flat whatever the
// file holds.
ReadStatus forEachPiece(const QString &path, const std::function<void(QByteArrayView)> &fn);

// The bytes of a file as they are read, in chunks of at most a few hundred KiB, until fn returns
// false.
ReadStatus forEachChunk(const QString &path, const std::function<bool(QByteArrayView)> &fn);

// Every non-empty line of a file, without its line end, in file order; at most kMaxLineLength
// bytes of each.
ReadStatus forEachLine(const QString &path, const std::function<void(QByteArrayView)> &fn);
// The same with the empty lines.
ReadStatus forEachLineWithEmpty(const QString &path, const std::function<void(QByteArrayView)> &fn);

QList<QByteArray> splitLines(QByteArrayView data);
QByteArray joinLines(const QList<QByteArray> &lines);

// Whole-file read of a file of at most kMaxWholeFile bytes. A missing file gives nothing (and
// errorText stays empty); one that cannot be read gives nothing with the reason in errorText.
std::optional<QByteArray> readFile(const QString &path, QString *errorText = nullptr);

// The bytes of a file that may be missing (then data is empty and exists, when given, false).
// False, with the reason in errorText, when it exists but cannot be read.
bool readIfExists(const QString &path, QByteArray *data, QString *errorText, bool *exists = nullptr);

// The raw lines of a file that may be missing (then it has no lines). False, with the reason in
// errorText, when it exists but cannot be read.
bool readLines(const QString &path, QList<QByteArray> *lines, QString *errorText);

// Lines of a Windows-1252 file, decoded; a missing or unreadable file gives an empty list.
QStringList readTextLines(const QString &path);

// Windows-1252 lines as one CR LF file body; nothing when a character cannot be encoded.
std::optional<QByteArray> encodeLines(const QStringList &lines, char32_t *badChar = nullptr);

bool isUtf8(QByteArrayView data);

// A document's text: UTF-8 when its bytes are valid UTF-8, else Windows-1252.
QString decodeDocument(QByteArrayView data, bool *wasUtf8 = nullptr);

} // namespace linefile
