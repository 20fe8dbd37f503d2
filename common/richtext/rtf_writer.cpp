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
    // Text made by text() elsewhere: leadsPlain, its first byte stands for itself (a delimiter
    // goes before it after a control word); endsWord, it ends with one.
    void made(QByteArrayView bytes, bool leadsPlain, bool endsWord)
    {
        if (bytes.isEmpty()) return;
        if (delimit_ && leadsPlain) raw(' ');
        put(bytes.data(), std::size_t(bytes.size()));
        delimit_ = endsWord;
    }
    // Returns whether its first byte stands for itself; false when it wrote nothing too.
    bool text(QStringView text);
    void hex(const QByteArray &data);

    qsizetype size() const { return at_ - bytes_.constData(); }
    bool delimits() const { return delimit_; }
    QByteArrayView view() const { return QByteArrayView(bytes_.constData(), size()); }
    // Forgets what is written; the room stays.
    void clear() { at_ = bytes_.data(); }
    // As at the start of a group: text needs no delimiter.
    void fresh() { delimit_ = false; }
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

bool Out::text(QStringView text)
{
    // The longest form of one UTF-16 unit is "\\u-12345?"; a delimiter may come first.
    char *d = room(text.size() * 9 + 1);
    char *const start = d;
    bool leadsPlain = false;
    const auto &bytes = cp1252Bytes();
    const char16_t *s = text.utf16();
    const char16_t *const e = s + text.size();
    while (s < e) {
        if (*s < 0x80 && kPlain[*s]) {
            if (d == start) leadsPlain = true;
            if (delimit_) *d++ = ' ';
            delimit_ = false;
#ifdef __SSE2__
            // Most text is plain ASCII: eight characters at a time, the plain ones before the
            // first that is not stored from each eight.
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
    return leadsPlain;
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

// A document's text turned into RTF in parts, each by its own thread: what a part of the text
// becomes does not depend on the rest, only the font and colour numbers do, and those are given
// in the order the whole text first uses them once every part is made.
struct Piece
{
    enum Kind : std::uint8_t { Block, Text, Pictures };
    Kind kind;
    bool leadsPlain = false; // Text: its first byte stands for itself
    bool endsWord = false;   // Text: it ends with a control word
    int format = 0;          // Block: its block format; Text, Pictures: the character format
    qsizetype begin = 0;     // Text: its bytes in the part; Pictures: how many
    qsizetype end = 0;
};

struct Part
{
    explicit Part(qsizetype expected) : out(expected) {}
    Out out;
    std::vector<Piece> pieces;
};

// The blocks from first up to end (an invalid block for the last), made into part. Reads the
// document only: parts of one document may be made at the same time.
void makePart(const QTextBlock &first, const QTextBlock &end, const std::vector<bool> &pictures, Part *part)
{
    const int endNumber = end.isValid() ? end.blockNumber() : -1;
    for (QTextBlock b = first; b.isValid() && b.blockNumber() != endNumber; b = b.next()) {
        part->pieces.push_back({Piece::Block, false, false, b.blockFormatIndex()});
        // The block's text at once, each fragment a piece of it in turn: one string per block
        // rather than one per fragment.
        const QString all = b.text();
        qsizetype at = 0;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            const int format = fragment.charFormatIndex();
            const QStringView text = QStringView(all).sliced(at, fragment.length());
            at += fragment.length();
            if (std::size_t(format) < pictures.size() && pictures[std::size_t(format)]) {
                // Identical pictures side by side share one fragment.
                const auto count = qsizetype(std::count(text.cbegin(), text.cend(), QChar::ObjectReplacementCharacter));
                if (count > 0) part->pieces.push_back({Piece::Pictures, false, false, format, count});
                continue;
            }
            Piece piece{Piece::Text, false, false, format, part->out.size()};
            part->out.fresh();
            piece.leadsPlain = part->out.text(text);
            piece.endsWord = part->out.delimits();
            piece.end = part->out.size();
            part->pieces.push_back(piece);
        }
    }
}

// Below this many characters, one thread makes the whole text.
constexpr int kPartedCharacters = 256 * 1024;

class Writer
{
public:
    explicit Writer(const QTextDocument &doc) : doc_(doc), formats_(doc.allFormats()) {}
    // The RTF in pieces of about chunk bytes to sink; with no sink, all of it for take().
    bool run(qsizetype chunk, const std::function<bool(QByteArrayView)> &sink);
    QByteArray take() { return out_.take(); }

private:
    QByteArray header() const;
    const char *alignment(int blockFormat);
    struct Props
    {
        QByteArray words; // control words; empty for plain text
    };
    const Props &propsOf(int format);
    void picture(const QTextImageFormat &format);

    const QTextDocument &doc_;
    const QList<QTextFormat> formats_;    // by format index
    QStringList fonts_;                   // \f1 onwards; \f0 is the document's default font
    std::vector<long long> colours_;      // \cf1 onwards
    std::vector<int> slots_;              // by format index: where its Props are, or -1
    std::vector<const char *> alignments_; // by block format index; nullptr until known
    std::vector<Props> props_;
    struct Png
    {
        QByteArray data; // empty when there is no picture to show
        QSize size;
    };
    QHash<QString, Png> pngs_;
    Out out_{0};
};

const Writer::Props &Writer::propsOf(int index)
{
    if (std::size_t(index) >= slots_.size()) slots_.resize(std::size_t(index) + 1, -1);
    if (slots_[std::size_t(index)] >= 0) return props_[std::size_t(slots_[std::size_t(index)])];
    const QTextCharFormat f = formats_.value(index).toCharFormat();
    Props props;
    QByteArray &p = props.words;
    if (f.fontWeight() >= QFont::DemiBold) p += "\\b";
    if (f.fontItalic()) p += "\\i";
    if (f.fontUnderline() || f.underlineStyle() != QTextCharFormat::NoUnderline) p += "\\ul";
    if (f.fontStrikeOut()) p += "\\strike";
    // Colours and fonts are numbered in the order the text first uses them.
    if (const long long colour = colourOf(f); colour >= 0) {
        auto at = std::find(colours_.begin(), colours_.end(), colour);
        if (at == colours_.end()) at = colours_.insert(at, colour);
        p += "\\cf" + QByteArray::number(at - colours_.begin() + 1);
    }
    if (const QString family = familyOf(f); !family.isEmpty()) {
        if (!fonts_.contains(family)) fonts_.append(family);
        p += "\\f" + QByteArray::number(fonts_.indexOf(family) + 1);
    }
    if (const int hp = halfPointsOf(f); hp > 0) p += "\\fs" + QByteArray::number(hp);
    slots_[std::size_t(index)] = int(props_.size());
    props_.push_back(std::move(props));
    return props_.back();
}

void Writer::picture(const QTextImageFormat &format)
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
    if (it->data.isEmpty()) return; // nothing is written for a picture that cannot be shown
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
    out_.raw("{");
    out_.word("\\pict\\pngblip");
    out_.param("\\picw", w);
    out_.param("\\pich", h);
    out_.param("\\picwgoal", std::llround(shownW * detail::kTwipsPerPixel));
    out_.param("\\pichgoal", std::llround(shownH * detail::kTwipsPerPixel));
    out_.hex(it->data);
    out_.raw("}");
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

const char *Writer::alignment(int blockFormat)
{
    const auto index = std::size_t(blockFormat);
    if (index >= alignments_.size()) alignments_.resize(index + 1, nullptr);
    const char *&words = alignments_[index];
    if (!words) {
        const Qt::Alignment align = formats_.value(blockFormat).toBlockFormat().alignment() & Qt::AlignHorizontal_Mask;
        words = align & Qt::AlignJustify ? "\\pard\\qj"
            : align & Qt::AlignHCenter  ? "\\pard\\qc"
            : align & Qt::AlignRight    ? "\\pard\\qr"
                                        : "\\pard";
    }
    return words;
}

bool Writer::run(qsizetype chunk, const std::function<bool(QByteArrayView)> &sink)
{
    std::vector<bool> pictures(std::size_t(formats_.size()));
    for (qsizetype i = 0; i < formats_.size(); ++i) pictures[std::size_t(i)] = formats_[i].isImageFormat();

    // Accents and format groups make RTF about twice the text; pages reserved and never written
    // cost nothing, a reallocation costs a copy.
    const qsizetype characters = doc_.characterCount();
    std::vector<Part> parts;
    const bool parted = characters >= kPartedCharacters && doc_.blockCount() >= 2;
    if (!parted) {
        parts.emplace_back(characters * 2 + 4096);
        makePart(doc_.begin(), QTextBlock(), pictures, &parts[0]);
    } else {
        const QTextBlock middle = doc_.findBlockByNumber(doc_.blockCount() / 2);
        const qsizetype second = characters - middle.position();
        parts.emplace_back((characters - second) * 2 + 4096);
        parts.emplace_back(second * 2 + 4096);
        std::thread other([&] { makePart(middle, QTextBlock(), pictures, &parts[1]); });
        makePart(doc_.begin(), middle, pictures, &parts[0]);
        other.join();
    }

    // The numbers in the order of first use, then the header, then the text in that order.
    for (const Part &part : parts)
        for (const Piece &piece : part.pieces)
            if (piece.kind == Piece::Text) propsOf(piece.format);
    const QByteArray head = header();
    qsizetype total = head.size() + 16;
    for (const Part &part : parts) total += part.out.size() + qsizetype(part.pieces.size()) * 16;
    out_ = Out(sink ? chunk + chunk / 4 : total);
    out_.put(head.constData(), std::size_t(head.size()));
    bool first = true;
    for (const Part &part : parts) {
        const char *const bytes = part.out.view().data();
        for (const Piece &piece : part.pieces) {
            switch (piece.kind) {
            case Piece::Block:
                if (!first) out_.raw("\\par\n");
                first = false;
                out_.word(alignment(piece.format));
                break;
            case Piece::Pictures: {
                const QTextImageFormat image = formats_.value(piece.format).toImageFormat();
                for (qsizetype i = 0; i < piece.begin; ++i) picture(image);
                break;
            }
            case Piece::Text: {
                const QByteArrayView text(bytes + piece.begin, piece.end - piece.begin);
                const Props &props = propsOf(piece.format);
                if (props.words.isEmpty()) {
                    out_.made(text, piece.leadsPlain, piece.endsWord);
                    break;
                }
                out_.raw('{');
                out_.word(props.words.constData(), std::size_t(props.words.size()));
                out_.made(text, piece.leadsPlain, piece.endsWord);
                out_.raw('}');
                break;
            }
            }
            if (sink && out_.size() >= chunk) {
                if (!sink(out_.view())) return false;
                out_.clear();
            }
        }
    }
    out_.raw("}\n");
    return !sink || sink(out_.view());
}

} // namespace

QByteArray write(const QTextDocument &document)
{
    Writer writer(document);
    writer.run(0, {});
    return writer.take();
}

bool write(const QTextDocument &document, const std::function<bool(QByteArrayView)> &sink)
{
    constexpr qsizetype kChunk = 1024 * 1024;
    return Writer(document).run(kChunk, sink);
}

} // namespace richtext
