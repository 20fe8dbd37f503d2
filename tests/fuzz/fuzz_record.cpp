// Record lines and the Windows-1252 code page under arbitrary input.
//
// Every input is used three ways:
//  - as the raw bytes of a catalogue line (decoded as Windows-1252, parsed, and its fields taken
//    straight from the bytes with fieldOf);
//  - as UTF-16 text (two bytes per character, any code unit, lone surrogates included), which
//    reaches the characters the code page cannot hold;
//  - split on tabs into the six fields of a record that the entry checks accept or refuse.
#include "archiver/store/record.h"
#include "archiver/store/record_entry.h"
#include "common/text/cp1252.h"
#include "tests/fuzz/fuzz_support.h"

#include <QString>
#include <QStringView>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

using fuzzsupport::isViewInto;
using fuzzsupport::sameBytes;
using record::Field;

namespace {

constexpr Field kFields[6] = {Field::Key,      Field::Date, Field::Support,
                              Field::Category, Field::Note, Field::Target};

const QString &fieldText(const Record &r, int i)
{
    const QString *f[6] = {&r.key, &r.date, &r.support, &r.category, &r.note, &r.target};
    return *f[i];
}

QString &fieldText(Record &r, int i)
{
    QString *f[6] = {&r.key, &r.date, &r.support, &r.category, &r.note, &r.target};
    return *f[i];
}

bool isSeparator(QChar c)
{
    for (const QChar s : record::kSeparators)
        if (c == s) return true;
    return false;
}

// Position of the first occurrence of each separator, -1 when missing.
std::array<qsizetype, 5> firstSeparators(QStringView line)
{
    std::array<qsizetype, 5> pos{};
    for (int i = 0; i < 5; ++i)
        pos[i] = line.indexOf(record::kSeparators[i]);
    return pos;
}

bool inGrammarOrder(const std::array<qsizetype, 5> &pos)
{
    for (int i = 0; i < 5; ++i)
        if (pos[i] < 0 || (i > 0 && pos[i] <= pos[i - 1])) return false;
    return true;
}

// A record whose field j holds none of the separators j..4 is written and read back unchanged.
bool followsSeparatorRule(const Record &r)
{
    for (int j = 0; j < 5; ++j)
        for (int s = j; s < 5; ++s)
            if (fieldText(r, j).contains(record::kSeparators[s])) return false;
    return true;
}

// --- The code page -------------------------------------------------------------------------

// Bytes → text → bytes is the identity, one character per byte, and the case mapping keeps
// every character inside the code page and every separator where it was.
void checkCodePageBytes(QByteArrayView bytes, const QString &text)
{
    FUZZ_CHECK(text.size() == bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        FUZZ_CHECK(text[i] == cp1252::decodeByte(static_cast<unsigned char>(bytes[i])));

    char32_t bad = 0;
    const auto back = cp1252::encode(text, &bad);
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK(bad == 0);
    FUZZ_CHECK(sameBytes(*back, bytes));
    FUZZ_CHECK(cp1252::firstUnencodable(text) == 0);

    const QString upper = cp1252::toUpper(text);
    const QString lower = cp1252::toLower(text);
    FUZZ_CHECK(upper.size() == text.size() && lower.size() == text.size());
    const auto upperBytes = cp1252::encode(upper);
    const auto lowerBytes = cp1252::encode(lower);
    FUZZ_CHECK(upperBytes.has_value() && lowerBytes.has_value());
    const auto &table = cp1252::upperTable();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        // The byte table and the character mapping agree.
        FUZZ_CHECK(static_cast<unsigned char>(upperBytes->at(i)) == table[b]);
        // Case mapping neither creates nor removes a separator.
        FUZZ_CHECK(isSeparator(text[i]) == isSeparator(upper[i]));
        FUZZ_CHECK(isSeparator(text[i]) == isSeparator(lower[i]));
        if (isSeparator(text[i])) FUZZ_CHECK(upper[i] == text[i] && lower[i] == text[i]);
        // Both directions are idempotent.
        FUZZ_CHECK(cp1252::toUpper(upper[i]) == upper[i]);
        FUZZ_CHECK(cp1252::toLower(lower[i]) == lower[i]);
    }
}

// Any UTF-16 text: encoding succeeds exactly when every character has a byte, and otherwise names
// the first character that has none.
void checkAnyText(QStringView text)
{
    qsizetype firstBad = -1;
    for (qsizetype i = 0; i < text.size() && firstBad < 0; ++i) {
        if (!cp1252::encode(text.sliced(i, 1))) firstBad = i;
    }

    char32_t bad = 0xFFFFFFFF;
    const auto bytes = cp1252::encode(text, &bad);
    FUZZ_CHECK(bytes.has_value() == (firstBad < 0));
    if (bytes) {
        FUZZ_CHECK(bytes->size() == text.size());
        FUZZ_CHECK(cp1252::decode(*bytes) == text);
        FUZZ_CHECK(cp1252::firstUnencodable(text) == 0);
        FUZZ_CHECK(bad == 0xFFFFFFFF); // left alone on success
        return;
    }
    char32_t expected = text[firstBad].unicode();
    if (text[firstBad].isHighSurrogate() && firstBad + 1 < text.size() &&
        text[firstBad + 1].isLowSurrogate())
        expected = QChar::surrogateToUcs4(text[firstBad], text[firstBad + 1]);
    FUZZ_CHECK(bad == expected);
    FUZZ_CHECK(cp1252::firstUnencodable(text) == expected);
    FUZZ_CHECK(cp1252::encode(text.first(firstBad)).has_value());
    FUZZ_CHECK(!cp1252::unencodableMessage(bad).isEmpty());
}

// --- Keys ----------------------------------------------------------------------------------

void checkKey(const QString &key)
{
    const int m = record::keyRefusal(key);
    FUZZ_CHECK((m >= 0 && m <= 5) || m == 7);
    if (m >= 1 && m <= 5) {
        // The first separator in the order "@", "[", "]", "#", "§" that the key holds.
        FUZZ_CHECK(key.contains(record::kSeparators[m - 1]));
        for (int s = 0; s < m - 1; ++s)
            FUZZ_CHECK(!key.contains(record::kSeparators[s]));
    } else {
        for (const QChar s : record::kSeparators)
            FUZZ_CHECK(!key.contains(s));
    }
    if (m == 0) {
        // An accepted key has a letter file named after one of the 36 letters.
        FUZZ_CHECK(!key.isEmpty());
        const QString file = record::letterFileName(key.front());
        FUZZ_CHECK(file.size() == 5 && file.endsWith(QLatin1String(".MFI")));
        FUZZ_CHECK(std::strchr(record::kLetterList, file.front().toLatin1()) != nullptr &&
                   file.front().unicode() != 0);
        FUZZ_CHECK(record::isLetter(file.front()));
    }
    // The entry form stores the key in capitals: that never changes whether it is accepted.
    FUZZ_CHECK(record::keyRefusal(cp1252::toUpper(key)) == m);
}

// --- Lines ---------------------------------------------------------------------------------

// Parsing a line; raw is the line's bytes when it came from a file (empty otherwise).
void checkLine(QStringView line, QByteArrayView raw, bool haveRaw)
{
    const auto pos = firstSeparators(line);
    bool allPresent = true;
    for (const qsizetype p : pos)
        allPresent = allPresent && p >= 0;

    const auto r = record::parse(line);
    FUZZ_CHECK(r.has_value() == allPresent);

    if (r) {
        // The key runs from the start to the first "@", the target from the first "§" to the
        // end, whatever the order of the separators.
        FUZZ_CHECK(line.startsWith(r->key) && !r->key.contains(u'@'));
        FUZZ_CHECK(line.endsWith(r->target) && r->target.size() == line.size() - pos[4] - 1);

        if (inGrammarOrder(pos)) {
            // A separator never lies in its own field or an earlier one ...
            FUZZ_CHECK(followsSeparatorRule(*r));
            // ... so the fields put back together give the line itself.
            qsizetype total = 5;
            for (int j = 0; j < 6; ++j)
                total += fieldText(*r, j).size();
            FUZZ_CHECK(total == line.size());
            FUZZ_CHECK(record::compose(*r) == line);
            const auto again = record::parse(record::compose(*r));
            FUZZ_CHECK(again.has_value() && *again == *r);
        }
    }

    if (!haveRaw) return;

    // Fields read from the raw bytes, without decoding.
    FUZZ_CHECK(sameBytes(record::fieldOf(raw, Field::All), raw));
    std::array<qsizetype, 5> bytePos{};
    for (int i = 0; i < 5; ++i)
        bytePos[i] = raw.indexOf(record::kSeparatorBytes[i]);
    // One byte is one character, so the separators sit at the same places.
    FUZZ_CHECK(bytePos == pos);

    for (int j = 0; j < 6; ++j) {
        const QByteArrayView f = record::fieldOf(raw, kFields[j]);
        FUZZ_CHECK(isViewInto(f, raw));
        // A field whose separators are missing is empty.
        const bool startMissing = j > 0 && bytePos[j - 1] < 0;
        const bool endMissing = j < 5 && bytePos[j] < 0;
        if (startMissing || endMissing) FUZZ_CHECK(f.isEmpty());
        // Field j ends with separator j (none for the target) ...
        if (j < 5) FUZZ_CHECK(!f.contains(record::kSeparatorBytes[j]));
        if (!f.isEmpty()) {
            // ... and lies between the first occurrences of its two separators.
            const qsizetype begin = f.data() - raw.data();
            const qsizetype end = begin + f.size();
            FUZZ_CHECK(j == 0 ? begin == 0 : begin == bytePos[j - 1] + 1);
            FUZZ_CHECK(j == 5 ? end == raw.size() : end == bytePos[j]);
        }
        // The same text as the parsed field, in the file's bytes.
        if (r) {
            const auto encoded = cp1252::encode(fieldText(*r, j));
            FUZZ_CHECK(encoded.has_value() && sameBytes(f, *encoded));
        }
    }
}

// --- Records from the entry form ---------------------------------------------------------------

// Six fields separated by tabs (missing ones empty; the sixth takes the rest).
Record recordFromTabs(QStringView text)
{
    Record r;
    qsizetype start = 0;
    for (int j = 0; j < 6; ++j) {
        qsizetype tab = j < 5 ? text.indexOf(u'\t', start) : -1;
        if (start > text.size()) break;
        if (tab < 0) {
            fieldText(r, j) = text.sliced(start).toString();
            break;
        }
        fieldText(r, j) = text.sliced(start, tab - start).toString();
        start = tab + 1;
    }
    return r;
}

// Storable text: the code page holds it, and it has no control character (C0, DEL or C1), line
// breaks included.
bool isStorableText(const QString &s)
{
    return cp1252::encode(s).has_value() && std::none_of(s.cbegin(), s.cend(), [](QChar c) {
               return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
           });
}

void checkRecord(const Record &r)
{
    checkKey(r.key);

    const QString line = record::compose(r);
    if (followsSeparatorRule(r)) {
        const auto back = record::parse(line);
        FUZZ_CHECK(back.has_value() && *back == r);
    }

    bool allFieldsStorable = true;
    for (int j = 0; j < 6; ++j)
        allFieldsStorable = allFieldsStorable && isStorableText(fieldText(r, j));
    const bool storable = record::keyRefusal(r.key) == 0 && followsSeparatorRule(r) &&
                          allFieldsStorable && line.size() <= record::kMaxLineLength;

    const auto refusal = entry::check(r);
    // The checks refuse exactly the records that cannot be stored as one line and read back.
    FUZZ_CHECK(refusal.has_value() == !storable);
    if (refusal) {
        const int m = refusal->message;
        FUZZ_CHECK(m == 0 || (m >= 1 && m <= 5) || m == 7 || m == 29);
        if (m == 0) FUZZ_CHECK(!refusal->text.isEmpty());
        if ((m >= 1 && m <= 5) || m == 7) FUZZ_CHECK(m == record::keyRefusal(r.key));
        if (m == 29) FUZZ_CHECK(line.size() > record::kMaxLineLength);
        return;
    }

    // An accepted record goes to the file and comes back unchanged.
    const auto bytes = cp1252::encode(line);
    FUZZ_CHECK(bytes.has_value());
    FUZZ_CHECK(!bytes->contains('\r') && !bytes->contains('\n'));
    FUZZ_CHECK(bytes->size() <= record::kMaxLineLength);
    const auto back = record::parse(cp1252::decode(*bytes));
    FUZZ_CHECK(back.has_value() && *back == r);
    for (int j = 0; j < 6; ++j)
        FUZZ_CHECK(sameBytes(record::fieldOf(*bytes, kFields[j]), *cp1252::encode(fieldText(r, j))));

    // Capitals as the entry form stores them: still accepted, and stable.
    const Record n = entry::normalised(r);
    FUZZ_CHECK(!entry::check(n).has_value());
    FUZZ_CHECK(entry::normalised(n) == n);
    FUZZ_CHECK(n.date == r.date && n.support == r.support && n.category == r.category &&
               n.target == r.target);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView raw(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    // 1. A line of a letter file.
    const QString line = cp1252::decode(raw);
    checkCodePageBytes(raw, line);
    checkLine(line, raw, true);
    checkRecord(recordFromTabs(line));

    // 2. The same bytes as UTF-16 text, as typed into a form.
    std::u16string units(size / 2, u'\0');
    if (!units.empty()) std::memcpy(units.data(), data, units.size() * 2);
    const QStringView text(units.data(), static_cast<qsizetype>(units.size()));
    checkAnyText(text);
    checkLine(text, {}, false);
    checkRecord(recordFromTabs(text));
    return 0;
}
