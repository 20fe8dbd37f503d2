#include "common/text/document_text.h"

#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include <QFileInfo>

#include <array>
#include <bit>
#include <memory>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <sys/stat.h>
#include <unistd.h>

namespace doctext {

QString commandLinePath(const QStringList &arguments)
{
    QString path = arguments.join(u' ');
    if (path.contains(u'"')) path = path.size() >= 2 ? path.mid(1, path.size() - 2) : QString();
    return path;
}

bool namesRtf(const QString &path) { return path.contains(QStringLiteral(".rtf"), Qt::CaseInsensitive); }

OpenedAs openedAs(const QString &upperExtension)
{
    if (upperExtension == u".RTF") return OpenedAs::Rtf;
    if (upperExtension == u".HTM" || upperExtension == u".HTML" || upperExtension == u".SHTML") return OpenedAs::Html;
    return OpenedAs::Text;
}

QString encodingName(Encoding encoding)
{
    return encoding == Encoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1252");
}

std::optional<QByteArray> readDocumentFile(const QString &path, QString *errorText)
{
    QString error;
    const int fd = linefile::openForReading(path, &error);
    if (fd < 0) {
        *errorText = error.isEmpty() ? QStringLiteral("Le fichier %1 n'existe pas.").arg(path) : error;
        return std::nullopt;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        ::close(fd);
        *errorText = QStringLiteral("Le fichier %1 ne peut pas être lu.").arg(path);
        return std::nullopt;
    }
    if (st.st_size > kMaxDocumentBytes) {
        ::close(fd);
        *errorText = QStringLiteral("%1 est trop grand pour l'éditeur : %2 Mo, pour %3 Mo au plus.")
                         .arg(path)
                         .arg(st.st_size / (1024 * 1024))
                         .arg(kMaxDocumentBytes / (1024 * 1024));
        return std::nullopt;
    }
    QByteArray bytes;
    bytes.resize(qsizetype(st.st_size));
    qsizetype done = 0;
    // The file may grow while it is read: what is beyond its size at open is left out.
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (got < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            *errorText = QStringLiteral("Le fichier %1 ne peut pas être lu.").arg(path);
            return std::nullopt;
        }
        if (got == 0) break;
        done += got;
    }
    ::close(fd);
    bytes.truncate(done);
    return bytes;
}

std::optional<PlainText> decodePlainText(const QByteArray &bytes, const QString &path, QString *errorText)
{
    if (bytes.contains('\0')) {
        *errorText = QStringLiteral("%1 n'est pas un texte : il contient des caractères nuls.").arg(path);
        return std::nullopt;
    }
    PlainText result;
    bool utf8 = false;
    result.text = linefile::decodeDocument(bytes, &utf8);
    result.encoding = utf8 ? Encoding::Utf8 : Encoding::Windows1252;
    result.crlf = bytes.contains("\r\n");
    if (result.crlf) result.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return result;
}

std::optional<QByteArray> encodePlainText(QStringView text, Encoding encoding, bool crlf, QString *errorText)
{
    QString withEnds;
    if (crlf) {
        withEnds = text.toString();
        withEnds.replace(u'\n', QStringLiteral("\r\n"));
        text = withEnds;
    }
    if (encoding == Encoding::Utf8) return text.toUtf8();
    QByteArray out;
    if (!cp1252::encodeTo(text, &out, errorText)) return std::nullopt;
    return out;
}

namespace {

// Letter case aside, two characters are the same when they fold to the same character. Folding
// one UTF-16 unit at a time is what QString's own case-insensitive search does for every
// character outside the surrogates; the table holds it for all 65,536 units.
const std::array<char16_t, 0x10000> &foldTable()
{
    static const auto table = [] {
        auto t = std::make_unique<std::array<char16_t, 0x10000>>();
        for (char32_t u = 0; u < 0x10000; ++u)
            (*t)[u] = QChar::isSurrogate(u) ? char16_t(u) : char16_t(QChar::toCaseFolded(u));
        return t;
    }();
    return *table;
}

// Finds a word letter case aside, the same occurrences as QStringView::indexOf with
// Qt::CaseInsensitive, faster: a vector scan for the few units that fold to the word's first one,
// then a check of the word's length at each of them. A text or a word holding surrogates (a
// character beyond the 65,536 first) is left to indexOf from there on.
class CaseFinder
{
public:
    explicit CaseFinder(QStringView word) : word_(word)
    {
        if (word.isEmpty()) return;
        for (const QChar c : word)
            if (c.isSurrogate()) return;
        const auto &fold = foldTable();
        const char16_t first = fold[word[0].unicode()];
        for (char32_t u = 0; u < 0x10000; ++u)
            if (fold[u] == first && !QChar::isSurrogate(u)) {
                if (variants_ == int(first_.size())) return; // too many to scan for
                first_[std::size_t(variants_++)] = char16_t(u);
            }
        // Unused slots repeat the first, so the scan compares with four units always.
        for (int i = variants_; i < int(first_.size()); ++i) first_[std::size_t(i)] = first_[0];
        fast_ = true;
    }

    qsizetype find(QStringView text, qsizetype from) const
    {
        if (!fast_) return text.indexOf(word_, from, Qt::CaseInsensitive);
        const char16_t *const s = text.utf16();
        const qsizetype n = word_.size();
        const qsizetype last = text.size() - n; // the last place the word may start
        qsizetype i = from;
#ifdef __SSE2__
        const __m128i v0 = _mm_set1_epi16(short(first_[0])), v1 = _mm_set1_epi16(short(first_[1]));
        const __m128i v2 = _mm_set1_epi16(short(first_[2])), v3 = _mm_set1_epi16(short(first_[3]));
        const __m128i surrogateMask = _mm_set1_epi16(short(0xF800)), surrogate = _mm_set1_epi16(short(0xD800));
        while (i + 8 <= text.size() && i <= last) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, surrogateMask), surrogate)) != 0)
                return text.indexOf(word_, i, Qt::CaseInsensitive);
            const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, v0), _mm_cmpeq_epi16(v, v1)),
                                             _mm_or_si128(_mm_cmpeq_epi16(v, v2), _mm_cmpeq_epi16(v, v3)));
            unsigned bits = unsigned(_mm_movemask_epi8(hit));
            while (bits != 0) {
                const qsizetype at = i + qsizetype(std::countr_zero(bits) / 2);
                if (at > last) return -1;
                switch (matchesAt(s, at)) {
                case Match::Yes: return at;
                case Match::Unsure: return text.indexOf(word_, at, Qt::CaseInsensitive);
                case Match::No: break;
                }
                bits &= ~(3u << (std::countr_zero(bits) & ~1)); // both bytes of the unit
            }
            i += 8;
        }
#endif
        for (; i <= last; ++i) {
            const char16_t c = s[i];
            if (QChar::isSurrogate(c)) return text.indexOf(word_, i, Qt::CaseInsensitive);
            if (c != first_[0] && c != first_[1] && c != first_[2] && c != first_[3]) continue;
            switch (matchesAt(s, i)) {
            case Match::Yes: return i;
            case Match::Unsure: return text.indexOf(word_, i, Qt::CaseInsensitive);
            case Match::No: break;
            }
        }
        return -1;
    }

private:
    enum class Match { No, Yes, Unsure };
    // Whether the word is at at, its first unit known to match; unsure over a surrogate.
    Match matchesAt(const char16_t *s, qsizetype at) const
    {
        const auto &fold = foldTable();
        const char16_t *w = word_.utf16();
        for (qsizetype k = 1; k < word_.size(); ++k) {
            const char16_t c = s[at + k];
            if (c == w[k]) continue;
            if (QChar::isSurrogate(c)) return Match::Unsure;
            if (fold[c] != fold[w[k]]) return Match::No;
        }
        return Match::Yes;
    }

    QStringView word_;
    std::array<char16_t, 4> first_{};
    int variants_ = 0;
    bool fast_ = false;
};

} // namespace

bool holdsHtml(QStringView text)
{
    static const CaseFinder finder(u"<html>");
    return finder.find(text, 0) >= 0;
}

qsizetype findIgnoringCase(QStringView text, QStringView word, qsizetype from)
{
    if (word.isEmpty() || from < 0 || from > text.size()) return -1;
    return CaseFinder(word).find(text, from);
}

qsizetype replaceAllIgnoringCase(QString *text, QStringView word, QStringView replacement, qsizetype *lastEnd)
{
    if (word.isEmpty()) return 0;
    const CaseFinder finder(word);
    const QStringView source = *text;
    qsizetype at = finder.find(source, 0);
    if (at < 0) return 0;
    // One pass that copies the pieces between occurrences, instead of rebuilding the whole text
    // at each one.
    QString result;
    result.reserve(source.size() + std::max<qsizetype>(0, replacement.size() - word.size()) * 16);
    qsizetype copied = 0;
    qsizetype count = 0;
    while (at >= 0) {
        result.append(source.mid(copied, at - copied));
        result.append(replacement);
        if (lastEnd) *lastEnd = result.size();
        copied = at + word.size();
        ++count;
        at = finder.find(source, copied);
    }
    result.append(source.mid(copied));
    *text = std::move(result);
    return count;
}

} // namespace doctext
