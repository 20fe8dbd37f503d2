#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

// The Windows-1252 code page in which the catalogue, the lists, the settings and the language
// files are stored. All 256 bytes decode: 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which the code page
// leaves undefined, decode to the C1 control of the same value, so any file survives a
// decode/encode round trip byte for byte.
namespace cp1252 {

QString decode(QByteArrayView bytes);
QChar decodeByte(unsigned char byte);

// Encodes text; returns nothing when a character has no byte in the code page, and then sets
// badChar (when given) to the first such character.
std::optional<QByteArray> encode(QStringView text, char32_t *badChar = nullptr);

// Encodes text into out; when a character has no byte, returns false and puts the message that
// names it in errorText.
bool encodeTo(QStringView text, QByteArray *out, QString *errorText);

// The first character of text the code page cannot hold, or 0 when there is none.
char32_t firstUnencodable(QStringView text);

// Upper and lower case inside the code page: é↔É, œ↔Œ, ÿ↔Ÿ, š↔Š, ž↔Ž. Characters whose case
// partner is outside the code page (ß, µ) stay as they are.
QChar toUpper(QChar c);
QChar toLower(QChar c);
QString toUpper(QStringView text);
QString toLower(QStringView text);

// Byte tables of the same case mapping, for scanning raw file bytes.
const std::array<unsigned char, 256> &upperTable();

// The message that refuses a character the code page cannot hold, naming it and its code point.
QString unencodableMessage(char32_t c);

// Control characters (C0, DEL and C1) are never stored where text is typed: printed, they would
// act on a terminal or a printer instead of showing.
inline bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Text with each control character written as \xNN, so that it shows instead of acting; line
// feeds are kept as they are when keepLineFeeds is true.
QString withControlsShown(QStringView text, bool keepLineFeeds);

// Windows-1252 bytes written into out as UTF-8, each control character as \xNN (line feeds
// too): the printed form of a stored line. Writes at most kMaxShownPerByte bytes for each byte
// read and returns the end of what it wrote.
inline constexpr qsizetype kMaxShownPerByte = 4;
char *writeShownUtf8(QByteArrayView bytes, char *out);

// The first control character that raw bytes decode to (C0, DEL, and the C1 controls of the
// undefined bytes), or nothing: a line of a file checked without decoding it.
std::optional<char32_t> firstControl(QByteArrayView bytes);

// The first character of typed text that may not be stored: a control character (NUL included)
// or one the code page cannot hold; nothing when there is none.
std::optional<char32_t> firstUnstorable(QStringView text);
// The message that refuses it, naming it.
QString unstorableMessage(char32_t c);

} // namespace cp1252
