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
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

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

// Appends to a QByteArray through a raw pointer: the capacity is made sure of once per piece of
// text, not per byte.
class Out
{
public:
    explicit Out(qsizetype expected) { bytes_.reserve(expected); }

    // Room for n more bytes; returns where they go. Call done() with the end actually written.
    char *room(qsizetype n)
    {
        const qsizetype size = bytes_.size();
        if (bytes_.capacity() < size + n) bytes_.reserve(std::max(size + n, 2 * bytes_.capacity()));
        bytes_.resize(size + n);
        return bytes_.data() + size;
    }
    void done(const char *end) { bytes_.resize(end - bytes_.constData()); }

    void word(const char *w) // a control word; a delimiter goes before text that follows it
    {
        bytes_.append(w);
        delimit_ = true;
    }
    void word(const char *w, long long n)
    {
        bytes_.append(w);
        bytes_.append(QByteArray::number(n));
        delimit_ = true;
    }
    void raw(const char *s)
    {
        bytes_.append(s);
        delimit_ = false;
    }
    void text(QStringView text);
    void hex(const QByteArray &data);

    QByteArray take() { return std::move(bytes_); }

private:
    QByteArray bytes_;
    bool delimit_ = false;
};

void Out::text(QStringView text)
{
    // The longest form of one UTF-16 unit is "\u-12345?"; a delimiter may come first.
    char *d = room(text.size() * 9 + 1);
    const auto &bytes = cp1252Bytes();
    bool delimit = delimit_;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c >= 0x20 && c < 0x7F) {
            if (c == u'\\' || c == u'{' || c == u'}') *d++ = '\\';
            else if (delimit) *d++ = ' ';
            *d++ = char(c);
            delimit = false;
        }
        else if (c == u'\t' || c == QChar::LineSeparator) {
            const char *w = c == u'\t' ? "\\tab" : "\\line";
            const std::size_t n = std::strlen(w);
            std::memcpy(d, w, n);
            d += n;
            delimit = true;
        }
        else if (detail::isDroppedChar(c)) {
        }
        else if (c < kTableEnd && bytes[c]) {
            *d++ = '\\';
            *d++ = '\'';
            *d++ = kHexDigits[bytes[c] >> 4];
            *d++ = kHexDigits[bytes[c] & 15];
            delimit = false;
        }
        else {
            // \u takes a signed 16-bit number; '?' is the fallback of readers without Unicode.
            const int n = c > 32767 ? int(c) - 65536 : int(c);
            *d++ = '\\';
            *d++ = 'u';
            char digits[8];
            int len = std::snprintf(digits, sizeof digits, "%d", n);
            std::memcpy(d, digits, std::size_t(len));
            d += len;
            *d++ = '?';
            delimit = false;
        }
    }
    delimit_ = delimit;
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

class Writer
{
public:
    explicit Writer(const QTextDocument &doc) : doc_(doc), out_(doc.characterCount() * 11 / 10 + 4096) {}
    QByteArray run();

private:
    void collectTables();
    const QByteArray &propsOf(const QTextFragment &fragment);
    void picture(const QTextImageFormat &format);

    const QTextDocument &doc_;
    Out out_;
    QStringList fonts_;             // \f1 onwards; \f0 is the document's default font
    std::vector<long long> colours_; // \cf1 onwards
    QHash<int, QByteArray> props_;  // control words by format index; empty for plain text
    struct Png
    {
        QByteArray data; // empty when there is no picture to show
        QSize size;
    };
    QHash<QString, Png> pngs_;
};

void Writer::collectTables()
{
    QHash<int, bool> seen;
    for (QTextBlock b = doc_.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || seen.contains(fragment.charFormatIndex())) continue;
            seen.insert(fragment.charFormatIndex(), true);
            const QTextCharFormat f = fragment.charFormat();
            if (f.isImageFormat()) continue;
            const QString family = familyOf(f);
            if (!family.isEmpty() && !fonts_.contains(family)) fonts_.append(family);
            const long long colour = colourOf(f);
            if (colour >= 0 && std::find(colours_.begin(), colours_.end(), colour) == colours_.end())
                colours_.push_back(colour);
        }
}

const QByteArray &Writer::propsOf(const QTextFragment &fragment)
{
    const int index = fragment.charFormatIndex();
    auto it = props_.find(index);
    if (it != props_.end()) return *it;
    const QTextCharFormat f = fragment.charFormat();
    QByteArray p;
    if (f.fontWeight() >= QFont::DemiBold) p += "\\b";
    if (f.fontItalic()) p += "\\i";
    if (f.fontUnderline() || f.underlineStyle() != QTextCharFormat::NoUnderline) p += "\\ul";
    if (f.fontStrikeOut()) p += "\\strike";
    const long long colour = colourOf(f);
    if (colour >= 0)
        p += "\\cf" + QByteArray::number(std::find(colours_.begin(), colours_.end(), colour) - colours_.begin() + 1);
    const QString family = familyOf(f);
    if (!family.isEmpty()) p += "\\f" + QByteArray::number(fonts_.indexOf(family) + 1);
    if (const int hp = halfPointsOf(f); hp > 0) p += "\\fs" + QByteArray::number(hp);
    return *props_.insert(index, p);
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
    out_.word("\\picw", w);
    out_.word("\\pich", h);
    out_.word("\\picwgoal", std::llround(shownW * detail::kTwipsPerPixel));
    out_.word("\\pichgoal", std::llround(shownH * detail::kTwipsPerPixel));
    out_.hex(it->data);
    out_.raw("}");
}

QByteArray Writer::run()
{
    collectTables();
    out_.raw("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{");
    out_.word("\\f0\\fnil");
    out_.text(detail::fontName(doc_.defaultFont().family()));
    out_.raw(";}");
    for (qsizetype i = 0; i < fonts_.size(); ++i) {
        out_.raw("{");
        out_.word("\\f", i + 1);
        out_.word("\\fnil");
        out_.text(fonts_[i]);
        out_.raw(";}");
    }
    out_.raw("}");
    if (!colours_.empty()) {
        out_.raw("{\\colortbl;");
        for (const long long c : colours_) {
            out_.word("\\red", c >> 16 & 255);
            out_.word("\\green", c >> 8 & 255);
            out_.word("\\blue", c & 255);
            out_.raw(";");
        }
        out_.raw("}");
    }
    out_.raw("\n");

    bool first = true;
    for (QTextBlock b = doc_.begin(); b.isValid(); b = b.next()) {
        if (!first) out_.raw("\\par\n");
        first = false;
        out_.word("\\pard");
        const Qt::Alignment align = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (align & Qt::AlignJustify) out_.word("\\qj");
        else if (align & Qt::AlignHCenter) out_.word("\\qc");
        else if (align & Qt::AlignRight) out_.word("\\qr");
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            const QTextCharFormat f = fragment.charFormat();
            const QString text = fragment.text();
            if (f.isImageFormat()) {
                // Identical pictures side by side share one fragment.
                const QTextImageFormat image = f.toImageFormat();
                for (const QChar c : text)
                    if (c == QChar::ObjectReplacementCharacter) picture(image);
                continue;
            }
            const QByteArray &props = propsOf(fragment);
            if (props.isEmpty()) {
                out_.text(text);
                continue;
            }
            out_.raw("{");
            out_.word(props.constData());
            out_.text(text);
            out_.raw("}");
        }
    }
    out_.raw("}\n");
    return out_.take();
}

} // namespace

QByteArray write(const QTextDocument &document)
{
    return Writer(document).run();
}

} // namespace richtext
