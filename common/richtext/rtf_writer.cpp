#include "common/richtext/rtf.h"
#include "common/richtext/rtf_internal.h"
#include "common/text/cp1252.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QPixmap>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>
#include <bit>
#include <functional>
#include <thread>
#include <type_traits>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#endif
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace richtext {

namespace {

// The largest character the code page holds (™ U+2122); the table maps each character below it
// to its byte, 0 when there is none.
constexpr char16_t kTableEnd = 0x2123;

const std::array<std::uint8_t, kTableEnd> &cp1252Bytes()
{
    static const std::array<std::uint8_t, kTableEnd> table = [] {
        std::array<std::uint8_t, kTableEnd> t{};
        for (int b = 0x80; b <= 0xFF; ++b) {
            const char16_t c = cp1252::decodeByte(static_cast<unsigned char>(b)).unicode();
            if (c < kTableEnd) t[c] = std::uint8_t(b);
        }
        return t;
    }();
    return table;
}

constexpr char kHexDigits[] = "0123456789abcdef";

// Printable ASCII that stands for itself in RTF.
constexpr std::array<bool, 128> kPlain = [] {
    std::array<bool, 128> a{};
    for (int c = 0x20; c < 0x7F; ++c)
        a[std::size_t(c)] = c != '\\' && c != '{' && c != '}';
    return a;
}();

// Writes into a QByteArray sized ahead through a raw pointer: room is made sure of once per
// piece, the array's size is set once at the end.
class Out
{
public:
    explicit Out(qsizetype expected)
    {
        bytes_.resize(expected);
        at_ = bytes_.data();
#ifdef __linux__
        // Megabytes of output fault in page by page otherwise, which costs as much as writing
        // them; huge pages where the system offers them on request.
        constexpr std::uintptr_t kHuge = std::uintptr_t(2) << 20;
        const auto first = reinterpret_cast<std::uintptr_t>(bytes_.data());
        const auto begin = (first + kHuge - 1) & ~(kHuge - 1);
        const auto end = (first + std::uintptr_t(bytes_.size())) & ~(kHuge - 1);
        if (end > begin) ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#endif
    }

    // Room for n more bytes; returns where they go. Call done() with the end actually written.
    char *room(qsizetype n)
    {
        if (bytes_.constData() + bytes_.size() - at_ < n) {
            const qsizetype used = at_ - bytes_.constData();
            bytes_.resize(std::max(used + n, 2 * bytes_.size()));
            at_ = bytes_.data() + used;
        }
        return at_;
    }
    void done(char *end) { at_ = end; }

    void word(const char *w) { word(w, std::strlen(w)); }
    // A control word; a delimiter goes before text that follows it.
    void word(const char *w, std::size_t n)
    {
        put(w, n);
        delimit_ = true;
    }
    void param(const char *w, long long n) // a control word and its number
    {
        put(w, std::strlen(w));
        const QByteArray digits = QByteArray::number(n);
        put(digits.constData(), std::size_t(digits.size()));
        delimit_ = true;
    }
    void raw(char c)
    {
        *room(1) = c;
        ++at_;
        delimit_ = false;
    }
    void raw(const char *s)
    {
        put(s, std::strlen(s));
        delimit_ = false;
    }
    void put(const char *s, std::size_t n)
    {
        char *d = room(qsizetype(n));
        std::memcpy(d, s, n);
        at_ = d + n;
    }
    void text(QStringView text);
    void hex(const QByteArray &data);

    qsizetype size() const { return at_ - bytes_.constData(); }
    QByteArrayView view() const { return QByteArrayView(bytes_.constData(), size()); }
    // Forgets what is written; the room stays.
    void clear() { at_ = bytes_.data(); }
    QByteArray take()
    {
        bytes_.resize(size());
        return std::move(bytes_);
    }

private:
    QByteArray bytes_;
    char *at_ = nullptr; // the end of what is written
    bool delimit_ = false;
};

void Out::text(QStringView text)
{
    // The longest form of one UTF-16 unit is "\\u-12345?"; a delimiter may come first.
    char *d = room(text.size() * 9 + 1);
    const auto &bytes = cp1252Bytes();
    const char16_t *s = text.utf16();
    const char16_t *const e = s + text.size();
    while (s < e) {
        if (*s < 0x80 && kPlain[*s]) {
            if (delimit_) *d++ = ' ';
            delimit_ = false;
#ifdef __SSE2__
            // Most text is plain ASCII: eight characters at a time, each eight stored whole and
            // the end moved past those before the first that is not plain.
            while (e - s >= 8) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s));
                // Signed comparisons: units from 0x8000 up count as below the space.
                const __m128i bad = _mm_or_si128(
                    _mm_or_si128(_mm_cmplt_epi16(v, _mm_set1_epi16(0x20)),
                                 _mm_cmpgt_epi16(v, _mm_set1_epi16(0x7E))),
                    _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16('\\')),
                                 _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16('{')),
                                              _mm_cmpeq_epi16(v, _mm_set1_epi16('}')))));
                const unsigned mask = unsigned(_mm_movemask_epi8(bad));
                _mm_storel_epi64(reinterpret_cast<__m128i *>(d), _mm_packus_epi16(v, v));
                if (mask != 0) {
                    const int plain = std::countr_zero(mask) / 2;
                    s += plain;
                    d += plain;
                    break;
                }
                s += 8;
                d += 8;
            }
#endif
            while (s < e && *s < 0x80 && kPlain[*s])
                *d++ = char(*s++);
            continue;
        }
        const char16_t c = *s++;
        if (c == u'\\' || c == u'{' || c == u'}') {
            *d++ = '\\';
            *d++ = char(c);
            delimit_ = false;
        }
        else if (c == u'\t' || c == QChar::LineSeparator) {
            const char *w = c == u'\t' ? "\\tab" : "\\line";
            const std::size_t n = std::strlen(w);
            std::memcpy(d, w, n);
            d += n;
            delimit_ = true;
        }
        else if (detail::isDroppedChar(c)) {
        }
        else if (c < kTableEnd && bytes[c]) {
            *d++ = '\\';
            *d++ = '\'';
            *d++ = kHexDigits[bytes[c] >> 4];
            *d++ = kHexDigits[bytes[c] & 15];
            delimit_ = false;
        }
        else {
            // \u takes a signed 16-bit number; '?' is the fallback of readers without Unicode.
            int n = c > 32767 ? int(c) - 65536 : int(c);
            *d++ = '\\';
            *d++ = 'u';
            if (n < 0) {
                *d++ = '-';
                n = -n;
            }
            char digits[6];
            int len = 0;
            do {
                digits[len++] = char('0' + n % 10);
                n /= 10;
            } while (n > 0);
            while (len > 0)
                *d++ = digits[--len];
            *d++ = '?';
            delimit_ = false;
        }
    }
    done(d);
}

void Out::hex(const QByteArray &data)
{
    constexpr qsizetype kLine = 64; // bytes per line of hex
    char *d = room(data.size() * 2 + data.size() / kLine + 2);
    *d++ = '\n';
    for (qsizetype i = 0; i < data.size(); ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        *d++ = kHexDigits[b >> 4];
        *d++ = kHexDigits[b & 15];
        if (i % kLine == kLine - 1) *d++ = '\n';
    }
    delimit_ = false;
    done(d);
}

QString familyOf(const QTextCharFormat &f)
{
    const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
    return detail::fontName(families.isEmpty() ? f.stringProperty(QTextFormat::FontFamily)
                                               : families.first());
}

// 0xRRGGBB, or -1 for the automatic colour.
long long colourOf(const QTextCharFormat &f)
{
    if (!f.hasProperty(QTextFormat::ForegroundBrush)) return -1;
    const QBrush brush = f.foreground();
    if (brush.style() == Qt::NoBrush) return -1;
    return brush.color().rgb() & 0xFFFFFF;
}

int halfPointsOf(const QTextCharFormat &f)
{
    if (!f.hasProperty(QTextFormat::FontPointSize)) return 0;
    return std::clamp(int(std::lround(f.fontPointSize() * 2)), 0, 3000);
}

// What the RTF of a character format says of it.
struct Props
{
    bool bold = false, italic = false, underline = false, strike = false;
    long long colour = -1; // -1 for the automatic colour
    QString family;        // empty for the document's default font
    int halfPoints = 0;    // 0 for the default size

    bool operator==(const Props &) const = default;
};

Props propsOf(const QTextCharFormat &f)
{
    Props p;
    p.bold = f.fontWeight() >= QFont::DemiBold;
    p.italic = f.fontItalic();
    p.underline = f.fontUnderline() || f.underlineStyle() != QTextCharFormat::NoUnderline;
    p.strike = f.fontStrikeOut();
    p.colour = colourOf(f);
    p.family = familyOf(f);
    p.halfPoints = halfPointsOf(f);
    return p;
}

// Whether text in props f, in a group opened where props base hold, needs \plain first: base
// has something that f lacks and no word of f would undo.
bool needsPlain(const Props &f, const Props &base)
{
    return (base.bold && !f.bold) || (base.italic && !f.italic) || (base.underline && !f.underline)
        || (base.strike && !f.strike) || (base.colour >= 0 && f.colour < 0)
        || (!base.family.isEmpty() && f.family.isEmpty()) || (base.halfPoints > 0 && f.halfPoints == 0);
}

// Whether the words that turn base into f name a colour or a font, whose numbers are known
// only once the whole text is made.
bool namesNumbers(const Props &f, const Props &base)
{
    if (needsPlain(f, base)) return f.colour >= 0 || !f.family.isEmpty();
    return (f.colour >= 0 && f.colour != base.colour) || (!f.family.isEmpty() && f.family != base.family);
}

// The control words that turn props base into f; colours and fonts are numbered by number(long
// long colour) and number(QString family). Empty when f is base.
template <class Number>
QByteArray wordsFrom(const Props &base, const Props &f, Number number)
{
    QByteArray p;
    if (f == base) return p;
    const bool plain = needsPlain(f, base);
    const Props from = plain ? Props{} : base;
    if (plain) p += "\\plain";
    if (f.bold && !from.bold) p += "\\b";
    if (f.italic && !from.italic) p += "\\i";
    if (f.underline && !from.underline) p += "\\ul";
    if (f.strike && !from.strike) p += "\\strike";
    if (f.colour >= 0 && f.colour != from.colour) p += "\\cf" + QByteArray::number(number(f.colour));
    if (!f.family.isEmpty() && f.family != from.family) p += "\\f" + QByteArray::number(number(f.family));
    if (f.halfPoints > 0 && f.halfPoints != from.halfPoints) p += "\\fs" + QByteArray::number(f.halfPoints);
    return p;
}

QImage imageOf(const QTextDocument &doc, const QString &name)
{
    if (name.isEmpty()) return {};
    const QVariant v = doc.resource(QTextDocument::ImageResource, QUrl(name));
    switch (v.typeId()) {
    case QMetaType::QImage:
        return v.value<QImage>();
    case QMetaType::QPixmap:
        return v.value<QPixmap>().toImage();
    case QMetaType::QByteArray:
        return QImage::fromData(v.toByteArray());
    default:
        return {};
    }
}

// What the writer knows of a character format before it writes any text.
struct FormatWords
{
    bool picture = false;
    // Pictures: what each object character becomes, empty when it cannot be shown.
    // Other formats: the control words, empty for plain text; unless numbered.
    QByteArray words;
    // The words hold a colour or a font, whose numbers are known once the whole text is made.
    bool numbered = false;
};

// The control words of the formats with colours and fonts hold numbers that follow the order
// the whole text first uses them: the text of a block is made into bytes with a hole for each
// such format, filled when the whole document is written.
struct Hole
{
    qsizetype at; // where in the block's bytes the words go
    int format;
};

// A block's text made into RTF: its bytes and holes, as kept in the block or just made.
struct BlockRtf
{
    QByteArrayView bytes;
    const Hole *holes = nullptr;
    std::size_t holeCount = 0;
};

// The RTF of a block's text, kept in the block until its text or formats change (see keep()).
class KeptRtf : public QTextBlockUserData
{
public:
    QByteArray bytes;
    std::vector<Hole> holes;
    int base = 0; // the keeper's base format it was made for
};

// The text of block b, its fragments in their formats, into out; the holes' places are counted
// from start. The block's own control words come before it, so plain text at its start is set
// apart from them. Reads the document only: blocks of one document may be made at the same time.
void makeBlock(const QTextBlock &b, const std::vector<FormatWords> &formats, Out &out, qsizetype start,
               std::vector<Hole> &holes)
{
    out.word("", 0);
    // The block's text at once, each fragment a piece of it in turn: one string per block
    // rather than one per fragment.
    const QString all = b.text();
    qsizetype at = 0;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid()) continue;
        const auto index = std::size_t(fragment.charFormatIndex());
        const QStringView text = QStringView(all).sliced(at, fragment.length());
        at += fragment.length();
        static const FormatWords plain;
        const FormatWords &f = index < formats.size() ? formats[index] : plain;
        if (f.picture) {
            // Identical pictures side by side share one fragment.
            if (f.words.isEmpty()) continue; // nothing is written for a picture that cannot be shown
            for (const QChar c : text)
                if (c == QChar::ObjectReplacementCharacter) out.raw(f.words.constData());
            continue;
        }
        if (f.words.isEmpty() && !f.numbered) {
            out.text(text);
            continue;
        }
        out.raw('{');
        if (f.numbered) {
            holes.push_back({out.size() - start, int(index)});
            out.word("", 0);
        } else {
            out.word(f.words.constData(), std::size_t(f.words.size()));
        }
        out.text(text);
        out.raw('}');
    }
}

// Blocks made by one thread, one after the other in one output.
struct Batch
{
    explicit Batch(qsizetype expected) : out(expected) {}
    Out out;
    std::vector<Hole> holes;
    struct Made
    {
        qsizetype start, end;               // in out
        std::size_t firstHole, endHole;     // in holes
    };
    std::vector<Made> made;

    void make(const std::vector<QTextBlock> &blocks, std::size_t from, std::size_t to,
              const std::vector<FormatWords> &formats)
    {
        for (std::size_t i = from; i < to; ++i) {
            const qsizetype start = out.size();
            const std::size_t firstHole = holes.size();
            makeBlock(blocks[i], formats, out, start, holes);
            made.push_back({start, out.size(), firstHole, holes.size()});
        }
    }
    BlockRtf at(std::size_t i) const
    {
        const Made &m = made[i];
        return {out.view().sliced(m.start, m.end - m.start), holes.data() + m.firstHole, m.endHole - m.firstHole};
    }
};

// What a document keeps to write itself again quickly: the words of its formats, each with the
// format it was made from (a cleared document numbers its formats anew). The blocks keep their
// own text's RTF; a change drops it from the blocks it touches.
class Keeper : public QObject
{
public:
    explicit Keeper(QTextDocument *document) : QObject(document)
    {
        setObjectName(QStringLiteral("richtext keeper"));
        // A document without a layout tells no changes.
        document->documentLayout();
        connect(document, &QTextDocument::contentsChange, this, [document](int position, int, int added) {
            const QTextBlock last = document->findBlock(position + added);
            for (QTextBlock b = document->findBlock(position); b.isValid(); b = b.next()) {
                b.setUserData(nullptr);
                if (b == last) break;
            }
        });
    }
    static Keeper *of(const QTextDocument &document)
    {
        return document.findChild<Keeper *>(QStringLiteral("richtext keeper"), Qt::FindDirectChildrenOnly);
    }

    // The format most text is in, written once at the top, and a count of the changes of it:
    // what was kept for another base format is made anew.
    Props base;
    int baseGeneration = 0;
    std::vector<std::pair<QTextFormat, FormatWords>> words; // by format index, for that base; not pictures
};

// Below this many characters, one thread makes the whole text.
constexpr int kPartedCharacters = 256 * 1024;

class Writer
{
public:
    explicit Writer(const QTextDocument &doc) : doc_(doc), formats_(doc.allFormats()) {}
    // The RTF in pieces of about chunk bytes to sink; as it comes when chunk is 0.
    bool run(qsizetype chunk, const std::function<bool(QByteArrayView)> &sink);
    qsizetype expectedSize() const;

private:
    QByteArray header() const;
    static const char *alignment(const QTextBlockFormat &format);
    Props sampledBase() const;
    FormatWords wordsOf(int format);
    const QByteArray &numberedWords(int format);
    int colourNumber(long long colour);
    int fontNumber(const QString &family);
    // The words that turn from into to, their colours and fonts numbered on first use.
    QByteArray numberedWordsFrom(const Props &from, const Props &to);
    QByteArray picture(const QTextImageFormat &format);

    const QTextDocument &doc_;
    const QList<QTextFormat> formats_;    // by format index
    QStringList fonts_;                   // \f1 onwards; \f0 is the document's default font
    std::vector<long long> colours_;      // \cf1 onwards
    Props base_;                          // the format most text is in
    QByteArray baseWords_;                // its words, at the top of the text
    std::vector<std::optional<QByteArray>> numbered_; // by format index: its words once numbered
    struct Png
    {
        QByteArray data; // empty when there is no picture to show
        QSize size;
    };
    QHash<QString, Png> pngs_;
};

// The format of the most characters among the first ones: the text at the top of the RTF is
// set to it, so that text in it needs no words of its own.
Props Writer::sampledBase() const
{
    constexpr qsizetype kSample = 16 * 1024;
    // The formats in the order the text first uses them, so that a tie goes the same way in any
    // document with this content, whatever numbers its formats have.
    std::vector<std::pair<int, qsizetype>> characters;
    QHash<int, std::size_t> place;
    qsizetype seen = 0;
    for (QTextBlock b = doc_.begin(); b.isValid() && seen < kSample; b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            const QTextFormat &f = formats_.value(fragment.charFormatIndex());
            if (!f.isCharFormat() || f.isImageFormat()) continue;
            auto at = place.constFind(fragment.charFormatIndex());
            if (at == place.constEnd()) {
                at = place.insert(fragment.charFormatIndex(), characters.size());
                characters.push_back({fragment.charFormatIndex(), 0});
            }
            characters[*at].second += fragment.length();
            seen += fragment.length();
        }
    int most = -1;
    qsizetype mostCharacters = 0;
    for (const auto &[format, count] : characters)
        if (count > mostCharacters) {
            most = format;
            mostCharacters = count;
        }
    return most < 0 ? Props{} : propsOf(formats_[most].toCharFormat());
}

FormatWords Writer::wordsOf(int index)
{
    FormatWords words;
    const QTextFormat &format = formats_[index];
    if (format.isImageFormat()) {
        words.picture = true;
        words.words = picture(format.toImageFormat());
        return words;
    }
    if (!format.isCharFormat()) return words;
    const Props f = propsOf(format.toCharFormat());
    words.numbered = namesNumbers(f, base_);
    if (!words.numbered) words.words = wordsFrom(base_, f, [](const auto &) { return 0; });
    return words;
}

// Colours and fonts are numbered in the order the text first uses them.
int Writer::colourNumber(long long colour)
{
    auto at = std::find(colours_.begin(), colours_.end(), colour);
    if (at == colours_.end()) at = colours_.insert(at, colour);
    return int(at - colours_.begin()) + 1;
}

int Writer::fontNumber(const QString &family)
{
    if (!fonts_.contains(family)) fonts_.append(family);
    return int(fonts_.indexOf(family)) + 1;
}

QByteArray Writer::numberedWordsFrom(const Props &from, const Props &to)
{
    return wordsFrom(from, to, [this](const auto &v) {
        if constexpr (std::is_same_v<std::decay_t<decltype(v)>, QString>) return fontNumber(v);
        else return colourNumber(v);
    });
}

// The words of a format with a colour or a font, numbering them on their first use.
const QByteArray &Writer::numberedWords(int index)
{
    if (std::size_t(index) >= numbered_.size()) numbered_.resize(std::size_t(index) + 1);
    std::optional<QByteArray> &p = numbered_[std::size_t(index)];
    if (!p) {
        p = numberedWordsFrom(base_, propsOf(formats_[index].toCharFormat()));
    }
    return *p;
}

// What one object character of format becomes; empty for a picture that cannot be shown.
QByteArray Writer::picture(const QTextImageFormat &format)
{
    const QString name = format.name();
    auto it = pngs_.find(name);
    if (it == pngs_.end()) {
        Png png;
        const QImage image = imageOf(doc_, name);
        if (!image.isNull()) {
            QBuffer buffer(&png.data);
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, "PNG");
            if (!writer.write(image)) png.data.clear();
            png.size = image.size();
        }
        it = pngs_.insert(name, png);
    }
    if (it->data.isEmpty()) return {};
    const int w = it->size.width(), h = it->size.height();
    // The shown size, as the document lays the picture out: one side given scales the other.
    double shownW = format.width() > 0 ? format.width() : 0;
    double shownH = format.height() > 0 ? format.height() : 0;
    if (shownW <= 0 && shownH <= 0) {
        shownW = w;
        shownH = h;
    }
    else if (shownW <= 0)
        shownW = h > 0 ? w * shownH / h : w;
    else if (shownH <= 0)
        shownH = w > 0 ? h * shownW / w : h;
    Out out(it->data.size() * 2 + 256);
    out.raw("{");
    out.word("\\pict\\pngblip");
    out.param("\\picw", w);
    out.param("\\pich", h);
    out.param("\\picwgoal", std::llround(shownW * detail::kTwipsPerPixel));
    out.param("\\pichgoal", std::llround(shownH * detail::kTwipsPerPixel));
    out.hex(it->data);
    out.raw("}");
    return out.take();
}

// The header names the fonts and colours the text uses, so it is made after the text.
QByteArray Writer::header() const
{
    Out out(4096);
    out.raw("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{");
    out.word("\\f0\\fnil");
    out.text(detail::fontName(doc_.defaultFont().family()));
    out.raw(";}");
    for (qsizetype i = 0; i < fonts_.size(); ++i) {
        out.raw("{");
        out.param("\\f", i + 1);
        out.word("\\fnil");
        out.text(fonts_[i]);
        out.raw(";}");
    }
    out.raw("}");
    if (!colours_.empty()) {
        out.raw("{\\colortbl;");
        for (const long long c : colours_) {
            out.param("\\red", c >> 16 & 255);
            out.param("\\green", c >> 8 & 255);
            out.param("\\blue", c & 255);
            out.raw(";");
        }
        out.raw("}");
    }
    out.raw("\n");
    return out.take();
}

const char *Writer::alignment(const QTextBlockFormat &format)
{
    const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
    return align & Qt::AlignJustify ? "\\pard\\qj"
        : align & Qt::AlignHCenter  ? "\\pard\\qc"
        : align & Qt::AlignRight    ? "\\pard\\qr"
                                    : "\\pard";
}

// Accents and format groups make RTF about twice the text.
qsizetype Writer::expectedSize() const { return doc_.characterCount() * 2LL + 4096; }

bool Writer::run(qsizetype chunk, const std::function<bool(QByteArrayView)> &sink)
{
    // What each format becomes, known before the blocks are made: their threads only read.
    Keeper *const keeper = Keeper::of(doc_);
    base_ = sampledBase();
    if (keeper && !(keeper->base == base_)) {
        keeper->base = base_;
        ++keeper->baseGeneration;
        keeper->words.clear();
    }
    std::vector<FormatWords> formats(std::size_t(formats_.size()));
    std::vector<const char *> alignments(std::size_t(formats_.size()), "\\pard");
    if (keeper) keeper->words.resize(formats.size());
    for (qsizetype i = 0; i < formats_.size(); ++i) {
        const auto k = std::size_t(i);
        if (keeper && keeper->words[k].first == formats_[i]) {
            formats[k] = keeper->words[k].second;
        } else {
            formats[k] = wordsOf(int(i));
            // A picture's format holds only its name, and another document read in names its
            // pictures the same: the picture itself is looked at again each time.
            if (keeper && !formats[k].picture) keeper->words[k] = {formats_[i], formats[k]};
        }
        if (formats_[i].isBlockFormat()) alignments[k] = alignment(formats_[i].toBlockFormat());
    }

    // Every block in one pass: its paragraph words, and its text's RTF where it keeps one; the
    // others are to be made.
    struct Entry
    {
        const char *alignment;
        BlockRtf rtf;
    };
    std::vector<Entry> entries;
    entries.reserve(std::size_t(doc_.blockCount()));
    std::vector<std::size_t> toMakeEntries;
    std::vector<QTextBlock> toMake;
    qsizetype characters = 0;
    for (QTextBlock b = doc_.begin(); b.isValid(); b = b.next()) {
        const auto blockFormat = std::size_t(b.blockFormatIndex());
        Entry entry{blockFormat < alignments.size() ? alignments[blockFormat] : "\\pard", {}};
        if (const auto *kept = keeper ? dynamic_cast<KeptRtf *>(b.userData()) : nullptr;
            kept && kept->base == keeper->baseGeneration) {
            entry.rtf = {kept->bytes, kept->holes.data(), kept->holes.size()};
        } else {
            toMakeEntries.push_back(entries.size());
            toMake.push_back(b);
            characters += b.length();
        }
        entries.push_back(entry);
    }
    // Two threads for much text, each taking the blocks of half of it. Pages reserved and never
    // written cost nothing, a reallocation costs a copy.
    std::vector<Batch> batches;
    if (characters < kPartedCharacters || toMake.size() < 2) {
        batches.emplace_back(characters * 2 + 4096);
        batches[0].make(toMake, 0, toMake.size(), formats);
    } else {
        std::size_t half = 0;
        for (qsizetype counted = 0; half < toMake.size() && counted < characters / 2; ++half)
            counted += toMake[half].length();
        batches.emplace_back(characters + 4096);
        batches.emplace_back(characters + 4096);
        std::thread other([&] { batches[1].make(toMake, half, toMake.size(), formats); });
        batches[0].make(toMake, 0, half, formats);
        other.join();
    }
    for (std::size_t i = 0; i < toMake.size(); ++i) {
        const std::size_t first = batches[0].made.size();
        BlockRtf rtf = i < first ? batches[0].at(i) : batches[1].at(i - first);
        if (keeper) {
            auto *kept = new KeptRtf;
            kept->bytes = rtf.bytes.toByteArray();
            kept->holes.assign(rtf.holes, rtf.holes + rtf.holeCount);
            kept->base = keeper->baseGeneration;
            toMake[i].setUserData(kept);
            rtf = {kept->bytes, kept->holes.data(), kept->holes.size()};
        }
        entries[toMakeEntries[i]].rtf = rtf;
    }

    // The numbers in the order of first use, then the header, then the text with its holes
    // filled; the base format's words come first.
    baseWords_ = numberedWordsFrom(Props{}, base_);
    for (const Entry &entry : entries)
        for (std::size_t h = 0; h < entry.rtf.holeCount; ++h) numberedWords(entry.rtf.holes[h].format);
    Out pending(chunk + 4096);
    const auto give = [&](QByteArrayView bytes) {
        if (bytes.isEmpty()) return true;
        if (chunk == 0) return sink(bytes);
        // Small pieces gather until a chunk is full; large ones go as they are.
        if (pending.size() + bytes.size() > chunk && pending.size() > 0) {
            if (!sink(pending.view())) return false;
            pending.clear();
        }
        if (bytes.size() >= chunk) return sink(bytes);
        pending.put(bytes.data(), std::size_t(bytes.size()));
        return true;
    };
    if (!give(header()) || !give(baseWords_)) return false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const BlockRtf &rtf = entries[i].rtf;
        if ((i > 0 && !give("\\par\n")) || !give(entries[i].alignment)) return false;
        qsizetype done = 0;
        for (std::size_t h = 0; h < rtf.holeCount; ++h) {
            const Hole &hole = rtf.holes[h];
            if (!give(rtf.bytes.sliced(done, hole.at - done)) || !give(*numbered_[std::size_t(hole.format)])) return false;
            done = hole.at;
        }
        if (!give(rtf.bytes.sliced(done))) return false;
    }
    return give("}\n") && (pending.size() == 0 || sink(pending.view()));
}

} // namespace

QByteArray write(const QTextDocument &document)
{
    Writer writer(document);
    QByteArray rtf;
    rtf.reserve(writer.expectedSize());
    writer.run(0, [&rtf](QByteArrayView piece) {
        rtf += piece;
        return true;
    });
    return rtf;
}

bool write(const QTextDocument &document, const std::function<bool(QByteArrayView)> &sink)
{
    constexpr qsizetype kChunk = 1024 * 1024;
    return Writer(document).run(kChunk, sink);
}

void keep(QTextDocument *document, bool now)
{
    if (!Keeper::of(*document)) new Keeper(document);
    // Writing makes and keeps the RTF of every block that has none.
    if (now) Writer(*document).run(0, [](QByteArrayView) { return true; });
}

} // namespace richtext
