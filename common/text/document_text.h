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

// Whether the file name's own extension is ".rtf", in any case; a ".rtf" elsewhere in the path
// (a folder "notes.rtf.d") does not count.
bool hasRtfExtension(const QString &path);

// Whether bytes begin as an RTF document does: "{\rtf", after a byte-order mark and blanks.
bool beginsAsRtf(QByteArrayView bytes);

// How an opened file is handled, from its extension in capitals. A file of the RTF extension
// whose bytes are not RTF is still plain text (see readDocument).
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

// The bytes of text in encoding, lines ended as crlf says, and nothing more: a text read from a
// file comes back as the file's bytes, a final line end there or not. A character that
// Windows-1252 cannot hold is refused with a message naming it; nothing is ever stored as "?".
std::optional<QByteArray> encodePlainText(QStringView text, Encoding encoding, bool crlf, QString *errorText);

// A document read from its file, before it is shown: RTF only when the file's name has the RTF
// extension and its bytes begin as RTF (or it is empty); anything else is plain text, so that a save writes the
// file in the form it was read in.
struct Document
{
    bool rtf = false;
    QByteArray rtfBytes; // the file, when rtf
    PlainText plain;     // the text, when not
};
std::optional<Document> readDocument(const QString &path, QString *errorText);

// Whether two paths name the same file (through links too); a missing file is only itself.
bool sameFile(const QString &a, const QString &b);

// Where a document without a name is proposed to be saved: the user's documents folder, or the
// home folder where there is none. Ends with "/".
QString documentsFolder();

// Every occurrence of word, letter case aside, replaced by replacement; the search resumes after
// each inserted text, so a replacement holding the word is not replaced again. Returns how many;
// lastEnd, when given, is where the last inserted text ends in the new text.
qsizetype replaceAllIgnoringCase(QString *text, QStringView word, QStringView replacement,
                                 qsizetype *lastEnd = nullptr);

// Where word occurs in text at or after from (0-based), letter case aside; -1 when it does not.
qsizetype findIgnoringCase(QStringView text, QStringView word, qsizetype from);

// Where replaceAllIgnoringCase replaces: every occurrence, letter case aside, each looked for
// after the end of the one before, in order.
QList<qsizetype> findAllIgnoringCase(QStringView text, QStringView word);

} // namespace doctext
