#include "common/text/cp1252.h"

#include "common/text/texts.h"

#include <QHash>

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace cp1252 {
namespace {

// Code points of bytes 0x80 to 0x9F; the undefined ones keep their own value.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct Tables {
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, unsigned char> fromUnicode; // only the characters 0x80–0x9F remap
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};

    Tables()
    {
        for (int b = 0; b < 256; ++b)
            toUnicode[b] = (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b);
        for (int b = 0x80; b < 0xA0; ++b)
            fromUnicode.insert(kHigh[b - 0x80], static_cast<unsigned char>(b));
        for (int b = 0; b < 256; ++b) {
            upper[b] = lower[b] = static_cast<unsigned char>(b);
        }
        // Derive the case pairs from Unicode, keeping only partners that are in the code page.
        for (int b = 0; b < 256; ++b) {
            const QChar c(toUnicode[b]);
            const auto u = byteOf(c.toUpper().unicode());
            const auto l = byteOf(c.toLower().unicode());
            if (u) upper[b] = *u;
            if (l) lower[b] = *l;
        }
    }

    std::optional<unsigned char> byteOf(char16_t u) const
    {
        if (u < 0x80 || (u >= 0xA0 && u < 0x100)) return static_cast<unsigned char>(u);
        if (auto it = fromUnicode.constFind(u); it != fromUnicode.constEnd()) return *it;
        return std::nullopt;
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

} // namespace

QChar decodeByte(unsigned char byte) { return QChar(tables().toUnicode[byte]); }

QString decode(QByteArrayView bytes)
{
    const auto &t = tables().toUnicode;
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        d[i] = QChar(t[static_cast<unsigned char>(bytes[i])]);
    return out;
}

std::optional<QByteArray> encode(QStringView text, char32_t *badChar)
{
    const Tables &t = tables();
    QByteArray out(text.size(), Qt::Uninitialized);
    char *d = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            d[i] = static_cast<char>(u);
            continue;
        }
        const auto b = t.byteOf(u);
        if (!b) {
            if (badChar) {
                char32_t cp = u;
                if (QChar::isHighSurrogate(u) && i + 1 < text.size() &&
                    text[i + 1].isLowSurrogate())
                    cp = QChar::surrogateToUcs4(u, text[i + 1].unicode());
                *badChar = cp;
            }
            return std::nullopt;
        }
        d[i] = static_cast<char>(*b);
    }
    return out;
}

bool encodeTo(QStringView text, QByteArray *out, QString *errorText)
{
    char32_t bad = 0;
    auto encoded = encode(text, &bad);
    if (!encoded) {
        if (errorText) *errorText = unencodableMessage(bad);
        return false;
    }
    *out = std::move(*encoded);
    return true;
}

char32_t firstUnencodable(QStringView text)
{
    char32_t bad = 0;
    return encode(text, &bad) ? 0 : bad;
}

QChar toUpper(QChar c)
{
    const auto b = tables().byteOf(c.unicode());
    return b ? decodeByte(tables().upper[*b]) : c;
}

QChar toLower(QChar c)
{
    const auto b = tables().byteOf(c.unicode());
    return b ? decodeByte(tables().lower[*b]) : c;
}

QString toUpper(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = toUpper(text[i]);
    return out;
}

QString toLower(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = toLower(text[i]);
    return out;
}

const std::array<unsigned char, 256> &upperTable() { return tables().upper; }

QString unencodableMessage(char32_t c)
{
    return texts::get(texts::kUnencodable)
        .arg(QString::fromUcs4(&c, 1))
        .arg(QString::number(c, 16).toUpper().rightJustified(4, u'0'));
}

std::optional<char32_t> firstControl(QByteArrayView bytes)
{
    for (const char b : bytes)
        if (const char16_t c = decodeByte(static_cast<unsigned char>(b)).unicode(); isControl(c)) return c;
    return std::nullopt;
}

std::optional<char32_t> firstUnstorable(QStringView text)
{
    for (const char32_t c : text.toUcs4())
        if (isControl(c) || firstUnencodable(QString::fromUcs4(&c, 1))) return c;
    return std::nullopt;
}

QString unstorableMessage(char32_t c)
{
    if (!isControl(c)) return unencodableMessage(c);
    return texts::get(texts::kControlCharacter)
        .arg(QString::number(c, 16).toUpper().rightJustified(4, u'0'));
}

QString withControlsShown(QStringView text, bool keepLineFeeds)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (cp1252::isControl(c.unicode()) && !(keepLineFeeds && c == u'\n'))
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

namespace {

// The printed form of each byte, padded to four bytes so that it is copied in one move.
struct ShownByte
{
    char bytes[kMaxShownPerByte];
    unsigned char size;
};

const std::array<ShownByte, 256> &shownBytes()
{
    static const std::array<ShownByte, 256> table = [] {
        std::array<ShownByte, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const QChar c = decodeByte(static_cast<unsigned char>(b));
            const QByteArray form = isControl(c.unicode())
                                        ? QByteArray("\\x") + QByteArray::number(b, 16).rightJustified(2, '0')
                                        : QString(c).toUtf8();
            std::memcpy(t[b].bytes, form.constData(), size_t(form.size()));
            t[b].size = static_cast<unsigned char>(form.size());
        }
        return t;
    }();
    return table;
}

} // namespace

char *writeShownUtf8(QByteArrayView bytes, char *out)
{
    const auto &table = shownBytes();
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
#ifdef __SSE2__
    // Runs of printable ASCII, sixteen bytes at a time, go out as they are.
    const __m128i space = _mm_set1_epi8(0x1F), del = _mm_set1_epi8(0x7F);
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        // Signed, a byte of 0x80 or more is negative: not above 0x1F.
        const __m128i printable = _mm_andnot_si128(_mm_cmpeq_epi8(v, del), _mm_cmpgt_epi8(v, space));
        const unsigned mask = unsigned(_mm_movemask_epi8(printable));
        if (mask == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out), v);
            p += 16;
            out += 16;
            continue;
        }
        const int plain = __builtin_ctz(~mask);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), v); // the plain bytes, and some spare
        p += plain;
        out += plain;
        const ShownByte &b = table[*p++];
        std::memcpy(out, b.bytes, kMaxShownPerByte);
        out += b.size;
    }
#endif
    for (; p < end; ++p) {
        const ShownByte &b = table[*p];
        std::memcpy(out, b.bytes, kMaxShownPerByte);
        out += b.size;
    }
    return out;
}

} // namespace cp1252
