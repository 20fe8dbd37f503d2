#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The rules of the documents that the editor and the viewer open and save: kinds, character
// sets, line ends, and the whole-text search and replace.
namespace doctext {

// The path a command line names: the arguments joined with blanks, and a path holding a double
// quote loses its first and last characters (a quoted path).
QString commandLinePath(const QStringList &arguments);

// A path holding ".rtf" anywhere, in any case, is read as RTF.
bool namesRtf(const QString &path);

// How an opened file is handled, from its extension in capitals.
enum class OpenedAs { Rtf, Text, Html };
OpenedAs openedAs(const QString &upperExtension);

// Whether the text holds "<html>", in any case.
bool holdsHtml(QStringView text);

// The character set of a text document: UTF-8 when the file's bytes are valid UTF-8, else
// Windows-1252; saved back in the same. A new document is UTF-8.
enum class Encoding { Utf8, Windows1252 };
QString encodingName(Encoding encoding);

// A larger document is refused when opened rather than freezing the window.
inline constexpr qint64 kMaxDocumentBytes = 64 * 1024 * 1024;

// The bytes of a document file. Refuses what is not a regular file (a FIFO, a device, a folder)
// and a file over kMaxDocumentBytes, with a message naming the file.
std::optional<QByteArray> readDocumentFile(const QString &path, QString *errorText);

struct PlainText
{
    QString text; // line ends as "\n"
    Encoding encoding = Encoding::Utf8;
    bool crlf = false; // the file's lines ended with CR LF
};
// The text of a plain-text file. A file holding a NUL byte is not text: nothing, and errorText
// says so.
std::optional<PlainText> decodePlainText(const QByteArray &bytes, const QString &path, QString *errorText);

// The bytes of text in encoding, lines ended as crlf says. A character that Windows-1252 cannot
// hold is refused with a message naming it; nothing is ever stored as "?".
std::optional<QByteArray> encodePlainText(QStringView text, Encoding encoding, bool crlf, QString *errorText);

// Every occurrence of word, letter case aside, replaced by replacement; the search resumes after
// each inserted text, so a replacement holding the word is not replaced again. Returns how many;
// lastEnd, when given, is where the last inserted text ends in the new text.
qsizetype replaceAllIgnoringCase(QString *text, QStringView word, QStringView replacement,
                                 qsizetype *lastEnd = nullptr);

// Where word occurs in text at or after from (0-based), letter case aside; -1 when it does not.
qsizetype findIgnoringCase(QStringView text, QStringView word, qsizetype from);

} // namespace doctext
