#include "common/richtext/rtf.h"
#include "common/richtext/rtf_internal.h"
#include "common/text/cp1252.h"

#include <QBrush>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace richtext {

namespace {

// Beyond this depth groups are only counted: they share the state of the deepest one kept, so
// hostile nesting costs neither memory nor time, and real documents never come near it.
constexpr std::size_t kMaxDepth = 4096;
constexpr int kMaxHalfPoints = 3000;
constexpr int kMaxColourIndex = 16383;
constexpr int kMaxSkipCount = 16;

enum class Dest : std::uint8_t { Text, Ignore, FontTable, ColourTable, Picture };
enum class Align : std::uint8_t { Left, Centre, Right, Justify };

struct CharProps
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int colour = 0; // index in the colour table; 0 is "auto"
    int font = -1;  // \f number; -1 is the default font
    int halfPoints = 0;

    // Every field in one integer, so that a run's format is compared and cached cheaply.
    std::uint64_t key() const
    {
        const std::uint32_t low = std::uint32_t(bold) | std::uint32_t(italic) << 1
            | std::uint32_t(underline) << 2 | std::uint32_t(strike) << 3
            | std::uint32_t(colour) << 4 | std::uint32_t(halfPoints) << 18;
        return std::uint64_t(low) << 32 | std::uint32_t(font);
    }
};

struct State
{
    CharProps chr;
    Align align = Align::Left;
    Dest dest = Dest::Text;
    std::uint8_t uc = 1; // fallback characters after \uN
};

enum class Kw : std::uint8_t {
    Nothing, Skip, FontTable, ColourTable, Pict, Upr, Ud, Deff, Uc, U, Bin,
    Par, Line, Tab, Cell, Row, Char,
    Plain, Bold, Italic, Underline, UnderlineNone, Strike, Colour, Font, Size,
    Pard, Ql, Qc, Qr, Qj,
    Red, Green, Blue,
    PngBlip, JpegBlip, OtherBlip, PicWGoal, PicHGoal, PicScaleX, PicScaleY,
};

struct Entry
{
    Kw kw;
    char16_t ch = 0;       // for Kw::Char
    bool readStarred = false; // read even after \* (a destination this reader knows)
};

using Table = std::unordered_map<std::string_view, Entry>;

const Table &keywords()
{
    static const Table table = [] {
        Table t;
        // Destinations whose content is never part of the visible text.
        for (const char *w :
             {"stylesheet", "info", "header", "headerl", "headerr", "headerf", "footer", "footerl",
              "footerr", "footerf", "footnote", "fldinst", "listtable", "listoverridetable",
              "themedata", "colorschememapping", "latentstyles", "rsidtbl", "generator",
              "xmlnstbl", "datastore", "pgdsctbl", "revtbl", "filetbl", "nonshppict", "objdata",
              "objclass", "pn", "annotation", "atnid", "atnauthor", "atndate", "comment", "txe",
              "xe", "tc", "tcn", "bkmkstart", "bkmkend", "ftnsep", "ftnsepc", "aftnsep",
              "aftnsepc", "ftncn", "aftncn", "template", "docvar", "userprops", "protusertbl",
              "wgrffmtfilter", "mmathPr", "password", "passwordhash", "pgptbl", "listpicture",
              "fchars", "lchars", "author", "operator", "title", "subject", "keywords",
              "doccomm", "company", "manager", "category", "hlinkbase", "buptim", "creatim",
              "printim", "revtim", "nextfile", "private", "shpinst", "sp", "sn", "sv",
              "blipuid", "picprop", "panose", "falt", "fontemb", "fontfile", "leveltext",
              "levelnumbers", "listname", "liststylename", "background", "do", "factoidname",
              "oldcprops", "oldpprops", "oldsprops", "oldtprops", "pnseclvl", "xmlopen",
              "xmlattrname", "xmlattrvalue", "ebcstart", "ebcend", "formfield", "datafield",
              "bookmark", "pntxta", "pntxtb", "mhtmltag", "htmltag", "fldtype", "gridtbl", "ffdeftext", "ffname", "ffstattext", "ffhelptext",
              "ffentrymcr", "ffexitmcr", "ffformat"})
            t.emplace(w, Entry{Kw::Skip});
        for (const char *w : {"shppict", "fldrslt", "result", "shprslt"})
            t.emplace(w, Entry{Kw::Nothing, 0, true});
        t.emplace("ud", Entry{Kw::Ud, 0, true});
        t.emplace("upr", Entry{Kw::Upr});
        t.emplace("fonttbl", Entry{Kw::FontTable});
        t.emplace("colortbl", Entry{Kw::ColourTable});
        t.emplace("pict", Entry{Kw::Pict});
        t.emplace("deff", Entry{Kw::Deff});
        t.emplace("uc", Entry{Kw::Uc});
        t.emplace("u", Entry{Kw::U});
        t.emplace("bin", Entry{Kw::Bin});
        for (const char *w : {"par", "sect", "page"})
            t.emplace(w, Entry{Kw::Par});
        t.emplace("line", Entry{Kw::Line});
        t.emplace("tab", Entry{Kw::Tab});
        t.emplace("cell", Entry{Kw::Cell});
        t.emplace("nestcell", Entry{Kw::Cell});
        t.emplace("row", Entry{Kw::Row});
        t.emplace("nestrow", Entry{Kw::Row});
        const std::pair<const char *, char16_t> chars[] = {
            {"lquote", 0x2018}, {"rquote", 0x2019}, {"ldblquote", 0x201C},
            {"rdblquote", 0x201D}, {"bullet", 0x2022}, {"endash", 0x2013}, {"emdash", 0x2014},
            {"enspace", 0x2002}, {"emspace", 0x2003}, {"qmspace", 0x2005}, {"zwj", 0x200D},
            {"zwnj", 0x200C}, {"zwbo", 0x200B}, {"ltrmark", 0x200E}, {"rtlmark", 0x200F}};
        for (const auto &[w, c] : chars)
            t.emplace(w, Entry{Kw::Char, c});
        t.emplace("plain", Entry{Kw::Plain});
        t.emplace("b", Entry{Kw::Bold});
        t.emplace("i", Entry{Kw::Italic});
        for (const char *w :
             {"ul", "uld", "uldb", "uldash", "uldashd", "uldashdd", "ulhwave", "ulldash", "ulth",
              "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",
              "ulwave"})
            t.emplace(w, Entry{Kw::Underline});
        t.emplace("ulnone", Entry{Kw::UnderlineNone});
        t.emplace("strike", Entry{Kw::Strike});
        t.emplace("striked", Entry{Kw::Strike});
        t.emplace("cf", Entry{Kw::Colour});
        t.emplace("f", Entry{Kw::Font});
        t.emplace("fs", Entry{Kw::Size});
        t.emplace("pard", Entry{Kw::Pard});
        t.emplace("ql", Entry{Kw::Ql});
        t.emplace("qc", Entry{Kw::Qc});
        t.emplace("qr", Entry{Kw::Qr});
        t.emplace("qj", Entry{Kw::Qj});
        t.emplace("qd", Entry{Kw::Qj});
        t.emplace("red", Entry{Kw::Red});
        t.emplace("green", Entry{Kw::Green});
        t.emplace("blue", Entry{Kw::Blue});
        t.emplace("pngblip", Entry{Kw::PngBlip});
        t.emplace("jpegblip", Entry{Kw::JpegBlip});
        for (const char *w :
             {"emfblip", "wmetafile", "macpict", "pmmetafile", "dibitmap", "wbitmap"})
            t.emplace(w, Entry{Kw::OtherBlip});
        t.emplace("picwgoal", Entry{Kw::PicWGoal});
        t.emplace("pichgoal", Entry{Kw::PicHGoal});
        t.emplace("picscalex", Entry{Kw::PicScaleX});
        t.emplace("picscaley", Entry{Kw::PicScaleY});
        return t;
    }();
    return table;
}

// Bytes that end a run of plain text.
constexpr std::array<bool, 256> kSpecial = [] {
    std::array<bool, 256> a{};
    a['{'] = a['}'] = a['\\'] = a['\r'] = a['\n'] = true;
    return a;
}();

constexpr std::array<std::int8_t, 256> kHex = [] {
    std::array<std::int8_t, 256> a{};
    for (auto &v : a)
        v = -1;
    for (int i = 0; i < 10; ++i)
        a['0' + i] = std::int8_t(i);
    for (int i = 0; i < 6; ++i)
        a['a' + i] = a['A' + i] = std::int8_t(10 + i);
    return a;
}();

inline bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

struct Picture
{
    QByteArray data;
    const char *format = nullptr; // nullptr: a kind this reader does not show
    std::size_t depth = 0;
    int goalWidth = 0, goalHeight = 0, scaleX = 100, scaleY = 100;
    int nibble = -1;
    bool active = false;
};

class Reader
{
public:
    Reader(QByteArrayView rtf, QTextDocument *document)
        : p_(rtf.data()), end_(rtf.data() + rtf.size()), doc_(document), cursor_(document)
    {
    }

    void run();

private:
    void control();
    void symbol(char c);
    void word(std::string_view name, bool hasParam, int param);
    void text(const char *b, const char *e);
    void openGroup();
    void closeGroup();
    void skipGroup();
    bool enter(Dest dest);

    void beginChars(bool keepSurrogate = false);
    void appendChar(char16_t c);
    void unicode(int value);
    void flushRun();
    void paragraph();
    void applyBlockFormat();
    void finishPicture();
    void commitFont();
    void commitColour();
    const QTextCharFormat &format(const CharProps &props);
    QTextBlockFormat blockFormat(Align align) const;

    const char *p_;
    const char *end_;
    QTextDocument *doc_;
    QTextCursor cursor_;

    State cur_;
    std::vector<State> stack_;
    std::size_t overflow_ = 0;
    bool star_ = false;
    int skipChars_ = 0;        // fallback characters still to skip after \uN
    char16_t highSurrogate_ = 0;
    int pendingCells_ = 0;     // cell ends not yet followed by text in the same row

    QString run_;
    CharProps runProps_;
    Align blockAlign_ = Align::Left;

    int deff_ = 0;
    QHash<int, QString> fonts_;
    int fontNumber_ = -1;
    QString fontName_;
    std::vector<QColor> colours_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colourSet_ = false;
    QHash<std::uint64_t, QTextCharFormat> formats_;

    Picture pict_;
    int images_ = 0;
};

void Reader::run()
{
    run_.reserve(4096);
    cursor_.beginEditBlock();
    while (p_ < end_) {
        const char c = *p_;
        switch (c) {
        case '{':
            ++p_;
            openGroup();
            break;
        case '}':
            ++p_;
            closeGroup();
            break;
        case '\\':
            control();
            break;
        case '\r':
        case '\n':
            ++p_;
            break;
        default: {
            const char *b = p_;
            while (p_ < end_ && !kSpecial[static_cast<unsigned char>(*p_)])
                ++p_;
            star_ = false;
            text(b, p_);
        }
        }
    }
    // Truncated RTF: what was read stays, a picture cut short does not.
    flushRun();
    if (!stack_.empty()) applyBlockFormat(); // else the outermost group's end has set it
    cursor_.endEditBlock();
}

void Reader::openGroup()
{
    star_ = false;
    skipChars_ = 0;
    if (stack_.size() >= kMaxDepth) {
        ++overflow_;
        return;
    }
    stack_.push_back(cur_);
}

void Reader::closeGroup()
{
    star_ = false;
    skipChars_ = 0;
    if (overflow_ > 0) {
        --overflow_;
        return;
    }
    if (stack_.empty()) return; // a stray brace
    if (cur_.dest == Dest::FontTable && !fontName_.isEmpty()) commitFont();
    // The outermost group's paragraph settings are those of the last paragraph.
    if (stack_.size() == 1) applyBlockFormat();
    const bool endsPicture = pict_.active && stack_.size() == pict_.depth;
    cur_ = stack_.back();
    stack_.pop_back();
    if (endsPicture) finishPicture();
}

// Jumps past the end of the current group without looking at what it holds; only \bin data,
// which may contain braces, needs reading.
void Reader::skipGroup()
{
    int depth = 1;
    while (p_ < end_) {
        const char c = *p_++;
        if (c == '\\') {
            if (p_ == end_) break;
            if (!isLetter(*p_)) {
                ++p_;
                continue;
            }
            const char *w = p_;
            while (p_ < end_ && isLetter(*p_))
                ++p_;
            if (p_ - w == 3 && std::memcmp(w, "bin", 3) == 0) {
                long long n = 0;
                while (p_ < end_ && isDigit(*p_)) {
                    n = std::min<long long>(n * 10 + (*p_ - '0'), end_ - p_);
                    ++p_;
                }
                if (p_ < end_ && *p_ == ' ') ++p_;
                p_ += std::min<long long>(n, end_ - p_);
            }
        }
        else if (c == '{')
            ++depth;
        else if (c == '}' && --depth == 0) {
            closeGroup();
            return;
        }
    }
}

// A destination starts in the current group; inside counted-only groups it cannot be undone at
// their end, so the group is skipped instead.
bool Reader::enter(Dest dest)
{
    if (overflow_ > 0 || stack_.empty()) {
        skipGroup();
        return false;
    }
    cur_.dest = dest;
    return true;
}

void Reader::control()
{
    ++p_; // the backslash
    if (p_ == end_) return;
    const char c = *p_;
    if (!isLetter(c)) {
        ++p_;
        symbol(c);
        return;
    }
    const char *w = p_;
    while (p_ < end_ && isLetter(*p_))
        ++p_;
    const std::string_view name(w, std::size_t(p_ - w));
    bool negative = false;
    if (p_ + 1 < end_ && *p_ == '-' && isDigit(p_[1])) {
        negative = true;
        ++p_;
    }
    bool hasParam = false;
    long long value = 0;
    while (p_ < end_ && isDigit(*p_)) {
        hasParam = true;
        value = std::min<long long>(value * 10 + (*p_ - '0'), 1LL << 40);
        ++p_;
    }
    if (p_ < end_ && *p_ == ' ') ++p_;
    if (negative) value = -value;
    value = std::clamp<long long>(value, INT32_MIN, INT32_MAX);
    word(name, hasParam, int(value));
}

void Reader::symbol(char c)
{
    if (c == '*') {
        star_ = true;
        return;
    }
    star_ = false;
    if (c == '\'') {
        // A half byte, cut by the end of the file or by a non-digit, stands for nothing.
        int v = 0, digits = 0;
        while (digits < 2 && p_ < end_ && kHex[static_cast<unsigned char>(*p_)] >= 0) {
            v = v * 16 + kHex[static_cast<unsigned char>(*p_++)];
            ++digits;
        }
        if (digits < 2) v = -1;
        if (skipChars_ > 0) {
            --skipChars_;
            return;
        }
        if (v < 0) return;
        if (cur_.dest == Dest::Picture) return;
        // Only Windows-1252 is decoded; other code pages read as if they were it.
        appendChar(cp1252::decodeByte(static_cast<unsigned char>(v)).unicode());
        return;
    }
    if (skipChars_ > 0) {
        --skipChars_;
        return;
    }
    switch (c) {
    case '\\':
    case '{':
    case '}':
        appendChar(char16_t(c));
        break;
    case '~':
        appendChar(0x00A0);
        break;
    case '_':
        appendChar(0x2011);
        break;
    case '\r':
    case '\n':
        paragraph();
        break;
    default: // \- (optional hyphen), \| \: and the rest show nothing
        break;
    }
}

void Reader::word(std::string_view name, bool hasParam, int param)
{
    const Table &table = keywords();
    const auto found = table.find(name);
    const bool starred = star_;
    star_ = false;
    if (starred && (found == table.end() || !found->second.readStarred)) {
        skipGroup();
        return;
    }
    if (found == table.end()) {
        if (skipChars_ > 0) --skipChars_;
        return;
    }
    const Entry &e = found->second;
    if (e.kw == Kw::U) {
        // A \u never stands as another's fallback: some writers give a pair one fallback only.
        skipChars_ = 0;
        if (hasParam && param >= -32768 && param <= 65535) unicode(param < 0 ? param + 65536 : param);
        skipChars_ = cur_.uc;
        return;
    }
    if (e.kw == Kw::Bin) {
        const long long n = std::min<long long>(std::max(param, 0), end_ - p_);
        if (cur_.dest == Dest::Picture && pict_.format) {
            pict_.data.append(p_, qsizetype(n));
            pict_.nibble = -1;
        }
        p_ += n;
        if (skipChars_ > 0) --skipChars_;
        return;
    }
    if (skipChars_ > 0) {
        --skipChars_;
        return;
    }
    const bool on = !hasParam || param != 0;
    switch (e.kw) {
    case Kw::Nothing:
        break;
    case Kw::Skip:
        skipGroup();
        break;
    case Kw::FontTable:
        if (enter(Dest::FontTable)) {
            fontNumber_ = -1;
            fontName_.clear();
        }
        break;
    case Kw::ColourTable:
        if (enter(Dest::ColourTable)) {
            colours_.clear();
            formats_.clear();
            colourSet_ = false;
            red_ = green_ = blue_ = 0;
        }
        break;
    case Kw::Pict:
        if (cur_.dest != Dest::Text) {
            if (cur_.dest != Dest::Picture) skipGroup();
        }
        else if (enter(Dest::Picture)) {
            pict_ = Picture{};
            pict_.active = true;
            pict_.depth = stack_.size();
        }
        break;
    case Kw::Upr:
        // The ANSI half of an \upr pair is left for the \ud half.
        if (cur_.dest == Dest::Text) enter(Dest::Ignore);
        break;
    case Kw::Ud:
        if (cur_.dest == Dest::Ignore) cur_.dest = Dest::Text;
        break;
    case Kw::Deff:
        deff_ = param;
        formats_.clear();
        break;
    case Kw::Uc:
        cur_.uc = std::uint8_t(std::clamp(param, 0, kMaxSkipCount));
        break;
    case Kw::Par:
        paragraph();
        break;
    case Kw::Row:
        pendingCells_ = 0;
        paragraph();
        break;
    case Kw::Line:
        appendChar(0x2028);
        break;
    case Kw::Tab:
        appendChar(u'\t');
        break;
    case Kw::Cell:
        // A cell's end becomes a tab only when the row goes on, so rows end without one.
        if (cur_.dest == Dest::Text) ++pendingCells_;
        break;
    case Kw::Char:
        appendChar(e.ch);
        break;
    case Kw::Plain:
        cur_.chr = CharProps{};
        break;
    case Kw::Bold:
        cur_.chr.bold = on;
        break;
    case Kw::Italic:
        cur_.chr.italic = on;
        break;
    case Kw::Underline:
        cur_.chr.underline = on;
        break;
    case Kw::UnderlineNone:
        cur_.chr.underline = false;
        break;
    case Kw::Strike:
        cur_.chr.strike = on;
        break;
    case Kw::Colour:
        cur_.chr.colour = std::clamp(hasParam ? param : 0, 0, kMaxColourIndex);
        break;
    case Kw::Font:
        if (cur_.dest == Dest::FontTable) {
            if (!fontName_.isEmpty()) commitFont();
            fontNumber_ = param;
        }
        else
            cur_.chr.font = hasParam ? param : -1;
        break;
    case Kw::Size:
        cur_.chr.halfPoints = std::clamp(hasParam ? param : 0, 0, kMaxHalfPoints);
        break;
    case Kw::Pard:
        cur_.align = Align::Left;
        break;
    case Kw::Ql:
        cur_.align = Align::Left;
        break;
    case Kw::Qc:
        cur_.align = Align::Centre;
        break;
    case Kw::Qr:
        cur_.align = Align::Right;
        break;
    case Kw::Qj:
        cur_.align = Align::Justify;
        break;
    case Kw::Red:
    case Kw::Green:
    case Kw::Blue:
        if (cur_.dest == Dest::ColourTable) {
            const int v = std::clamp(param, 0, 255);
            (e.kw == Kw::Red ? red_ : e.kw == Kw::Green ? green_ : blue_) = v;
            colourSet_ = true;
        }
        break;
    case Kw::PngBlip:
    case Kw::JpegBlip:
    case Kw::OtherBlip:
        if (cur_.dest == Dest::Picture)
            pict_.format = e.kw == Kw::PngBlip ? "PNG" : e.kw == Kw::JpegBlip ? "JPEG" : nullptr;
        break;
    case Kw::PicWGoal:
        if (cur_.dest == Dest::Picture) pict_.goalWidth = param;
        break;
    case Kw::PicHGoal:
        if (cur_.dest == Dest::Picture) pict_.goalHeight = param;
        break;
    case Kw::PicScaleX:
        if (cur_.dest == Dest::Picture) pict_.scaleX = param;
        break;
    case Kw::PicScaleY:
        if (cur_.dest == Dest::Picture) pict_.scaleY = param;
        break;
    case Kw::U:
    case Kw::Bin:
        break;
    }
}

void Reader::text(const char *b, const char *e)
{
    if (skipChars_ > 0) {
        const auto n = std::min<std::ptrdiff_t>(skipChars_, e - b);
        b += n;
        skipChars_ -= int(n);
    }
    if (b == e) return;
    switch (cur_.dest) {
    case Dest::Text:
        beginChars();
        while (b < e) {
            const char *r = b;
            while (r < e && static_cast<unsigned char>(*r) >= 0x20 && static_cast<unsigned char>(*r) < 0x7F)
                ++r;
            if (r > b) run_.append(QLatin1StringView(b, r - b));
            if (r == e) break;
            const auto c = static_cast<unsigned char>(*r);
            if (c >= 0x80) run_.append(cp1252::decodeByte(c));
            else if (c == '\t') run_.append(u'\t');
            b = r + 1;
        }
        break;
    case Dest::Picture:
        if (!pict_.format) break;
        for (; b < e; ++b) {
            const int v = kHex[static_cast<unsigned char>(*b)];
            if (v < 0) continue;
            if (pict_.nibble < 0) pict_.nibble = v;
            else {
                pict_.data.append(char(pict_.nibble << 4 | v));
                pict_.nibble = -1;
            }
        }
        break;
    case Dest::FontTable:
        for (; b < e; ++b) {
            if (*b == ';') commitFont();
            else appendChar(cp1252::decodeByte(static_cast<unsigned char>(*b)).unicode());
        }
        break;
    case Dest::ColourTable:
        for (; b < e; ++b)
            if (*b == ';') commitColour();
        break;
    case Dest::Ignore:
        break;
    }
}

// Gets the run ready for characters in the current format.
void Reader::beginChars(bool keepSurrogate)
{
    if (!keepSurrogate) highSurrogate_ = 0;
    if (cur_.chr.key() != runProps_.key()) {
        flushRun();
        runProps_ = cur_.chr;
    }
    if (pendingCells_ > 0) {
        run_.append(QString(pendingCells_, u'\t'));
        pendingCells_ = 0;
    }
    applyBlockFormat();
}

void Reader::appendChar(char16_t c)
{
    if (cur_.dest == Dest::FontTable) {
        highSurrogate_ = 0;
        fontName_.append(QChar(c));
        return;
    }
    if (cur_.dest != Dest::Text || detail::isDroppedChar(c)) return;
    beginChars();
    run_.append(QChar(c));
}

void Reader::unicode(int value)
{
    const auto c = char16_t(value);
    if (QChar::isHighSurrogate(c)) {
        highSurrogate_ = c;
        return;
    }
    if (QChar::isLowSurrogate(c)) {
        const char16_t high = highSurrogate_;
        highSurrogate_ = 0;
        if (!high) return; // a lone half stands for nothing
        if (cur_.dest == Dest::FontTable) {
            fontName_.append(QChar(high));
            fontName_.append(QChar(c));
        }
        else if (cur_.dest == Dest::Text) {
            beginChars(true);
            run_.append(QChar(high));
            run_.append(QChar(c));
        }
        return;
    }
    appendChar(c);
}

void Reader::flushRun()
{
    if (run_.isEmpty()) return;
    cursor_.insertText(run_, format(runProps_));
    run_.truncate(0);
}

const QTextCharFormat &Reader::format(const CharProps &props)
{
    const std::uint64_t key = props.key();
    auto it = formats_.find(key);
    if (it != formats_.end()) return *it;
    QTextCharFormat f;
    if (props.bold) f.setFontWeight(QFont::Bold);
    if (props.italic) f.setFontItalic(true);
    if (props.underline) f.setFontUnderline(true);
    if (props.strike) f.setFontStrikeOut(true);
    if (props.colour > 0 && std::size_t(props.colour) < colours_.size()
        && colours_[std::size_t(props.colour)].isValid())
        f.setForeground(colours_[std::size_t(props.colour)]);
    // The default font is the document's own, whatever the table calls it.
    if (props.font >= 0 && props.font != deff_) {
        const QString name = fonts_.value(props.font);
        if (!name.isEmpty()) f.setFontFamilies({name});
    }
    if (props.halfPoints > 0) f.setFontPointSize(props.halfPoints / 2.0);
    return *formats_.insert(key, f);
}

QTextBlockFormat Reader::blockFormat(Align align) const
{
    QTextBlockFormat f;
    switch (align) {
    case Align::Left:
        break;
    case Align::Centre:
        f.setAlignment(Qt::AlignHCenter);
        break;
    case Align::Right:
        f.setAlignment(Qt::AlignRight);
        break;
    case Align::Justify:
        f.setAlignment(Qt::AlignJustify);
        break;
    }
    return f;
}

void Reader::applyBlockFormat()
{
    if (blockAlign_ == cur_.align) return;
    cursor_.setBlockFormat(blockFormat(cur_.align));
    blockAlign_ = cur_.align;
}

void Reader::paragraph()
{
    if (cur_.dest != Dest::Text) return;
    highSurrogate_ = 0;
    pendingCells_ = 0;
    flushRun();
    applyBlockFormat();
    cursor_.insertBlock(blockFormat(cur_.align), format(cur_.chr));
}

void Reader::finishPicture()
{
    Picture pict = std::move(pict_);
    pict_ = Picture{};
    if (!pict.format || pict.data.isEmpty() || cur_.dest != Dest::Text) return;
    QImage image = QImage::fromData(pict.data, pict.format);
    if (image.isNull()) image = QImage::fromData(pict.data); // a blip mislabelled
    if (image.isNull()) return;
    const QString name = QStringLiteral("rtf-image:%1").arg(++images_);
    doc_->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat f;
    f.setName(name);
    if (pict.goalWidth > 0 && pict.goalHeight > 0 && pict.scaleX > 0 && pict.scaleY > 0) {
        const double w = pict.goalWidth * (pict.scaleX / 100.0) / detail::kTwipsPerPixel;
        const double h = pict.goalHeight * (pict.scaleY / 100.0) / detail::kTwipsPerPixel;
        if (w < 1e5 && h < 1e5) {
            f.setWidth(w);
            f.setHeight(h);
        }
    }
    beginChars();
    flushRun();
    cursor_.insertImage(f);
}

void Reader::commitFont()
{
    const QString name = detail::fontName(fontName_);
    if (fontNumber_ >= 0 && !name.isEmpty()) fonts_.insert(fontNumber_, name);
    else if (fontNumber_ >= 0) fonts_.remove(fontNumber_);
    fontName_.clear();
    formats_.clear();
}

void Reader::commitColour()
{
    colours_.push_back(colourSet_ ? QColor(red_, green_, blue_) : QColor());
    colourSet_ = false;
    red_ = green_ = blue_ = 0;
    formats_.clear();
}

} // namespace

void read(QByteArrayView rtf, QTextDocument *document)
{
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    Reader(rtf, document).run();
    document->setUndoRedoEnabled(undo);
}

bool looksLikeRtf(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
    qsizetype i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.sliced(i).startsWith("{\\rtf");
}

} // namespace richtext
