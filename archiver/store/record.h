#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>
#include <optional>

// One catalogue entry stored as one line:
//   key "@" date "[" support "]" category "#" note "§" target
// Each field is found by the first occurrence of its separator in the whole line, so a separator
// may appear inside a later field (a mail target holds "@") but never in its own or an earlier
// one.
struct Record
{
    QString key;
    QString date;
    QString support;
    QString category;
    QString note;
    QString target;

    bool operator==(const Record &) const = default;
};

namespace record {

inline constexpr int kMaxLineLength = 256;
inline constexpr QChar kSeparators[5] = {u'@', u'[', u']', u'#', u'\u00A7'};
// The same separators as Windows-1252 bytes ("§" is 0xA7).
inline constexpr char kSeparatorBytes[5] = {'@', '[', ']', '#', '\xA7'};

// The fields a search can compare; All is the whole line.
enum class Field { All = 0, Key = 1, Date = 2, Support = 3, Category = 4, Note = 5, Target = 6 };

// Nothing when one of the five separators is missing (a malformed line).
std::optional<Record> parse(QStringView line);
QString compose(const Record &r);

// The text of one field of a raw Windows-1252 line, without decoding it. Empty when a separator
// the field needs is missing. Field::All gives the whole line.
QByteArrayView fieldOf(QByteArrayView line, Field field);

// The digits and capitals whose letter files make up the catalogue, in scanning order.
inline constexpr char kLetterList[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
inline constexpr int kLetterCount = 36;
bool isLetter(QChar c);
// "A.MFI" for a key starting with A (or a): the canonical name of the key's letter file.
QString letterFileName(QChar first);

} // namespace record

namespace record {

// 0 when text may be a key, else the number of the message that refuses it: 1 to 5 for a
// separator it contains (checked in the order "@", "[", "]", "#", "§"), 7 when its first
// character, upper-cased, is not in the letter list.
int keyRefusal(const QString &text);

} // namespace record
