#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Line files: lines end with CR LF when written; LF alone is read as well. A final line without
// its line end is still a line.
namespace linefile {

QList<QByteArray> splitLines(QByteArrayView data);
QByteArray joinLines(const QList<QByteArray> &lines);

// Whole-file read. A missing file gives nothing (and errorText stays empty); an unreadable one
// gives nothing with the reason in errorText.
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
