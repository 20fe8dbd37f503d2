#include "common/text/document_text.h"

#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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

bool hasRtfExtension(const QString &path)
{
    return QFileInfo(path).suffix().compare(QStringLiteral("rtf"), Qt::CaseInsensitive) == 0;
}

bool beginsAsRtf(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
    qsizetype i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n')) ++i;
    return bytes.sliced(i).startsWith("{\\rtf");
}

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

std::optional<Document> readDocument(const QString &path, QString *errorText)
{
    auto bytes = readDocumentFile(path, errorText);
    if (!bytes) return std::nullopt;
    Document document;
    // An empty file of that name is a new RTF document.
    if (hasRtfExtension(path) && (bytes->isEmpty() || beginsAsRtf(*bytes))) {
        document.rtf = true;
        document.rtfBytes = std::move(*bytes);
        return document;
    }
    auto plain = decodePlainText(*bytes, path, errorText);
    if (!plain) return std::nullopt;
    document.plain = std::move(*plain);
    return document;
}

bool sameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty()) return false;
    const QString realA = QFileInfo(a).canonicalFilePath(), realB = QFileInfo(b).canonicalFilePath();
    return realA.isEmpty() || realB.isEmpty() ? QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath()
                                              : realA == realB;
}

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString folder = !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
    return folder.endsWith(u'/') ? folder : folder + u'/';
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
        fast_ = formsOf(word.front().unicode(), &first_) && formsOf(word.back().unicode(), &last_);
    }

    qsizetype find(QStringView text, qsizetype from) const
    {
        if (!fast_) return text.indexOf(word_, from, Qt::CaseInsensitive);
        const char16_t *const s = text.utf16();
        const qsizetype back = word_.size() - 1; // from the word's first unit to its last
        const qsizetype last = text.size() - word_.size(); // the last place the word may start
        qsizetype i = from;
#ifdef __SSE2__
        // Both ends of the word must match, which leaves few places to check.
        const Forms first(first_), end(last_);
        const __m128i surrogateMask = _mm_set1_epi16(short(0xF800)), surrogate = _mm_set1_epi16(short(0xD800));
        while (i + 8 <= last + 1) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i + back));
            const __m128i odd = _mm_or_si128(_mm_cmpeq_epi16(_mm_and_si128(a, surrogateMask), surrogate),
                                             _mm_cmpeq_epi16(_mm_and_si128(b, surrogateMask), surrogate));
            if (_mm_movemask_epi8(odd) != 0) return text.indexOf(word_, i, Qt::CaseInsensitive);
            unsigned bits = unsigned(_mm_movemask_epi8(_mm_and_si128(first.in(a), end.in(b))));
            while (bits != 0) {
                const qsizetype at = i + qsizetype(std::countr_zero(bits) / 2);
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
    using Units = std::array<char16_t, 4>;

    // The units that fold as c does, into forms; false when there are more than it holds. Unused
    // slots repeat the first, so that a scan compares with four units always.
    static bool formsOf(char16_t c, Units *forms)
    {
        const auto &fold = foldTable();
        const char16_t folded = fold[c];
        int count = 0;
        for (char32_t u = 0; u < 0x10000; ++u)
            if (fold[u] == folded && !QChar::isSurrogate(u)) {
                if (count == int(forms->size())) return false;
                (*forms)[std::size_t(count++)] = char16_t(u);
            }
        for (int i = count; i < int(forms->size()); ++i) (*forms)[std::size_t(i)] = (*forms)[0];
        return true;
    }

#ifdef __SSE2__
    struct Forms
    {
        explicit Forms(const Units &u)
            : f0(_mm_set1_epi16(short(u[0]))), f1(_mm_set1_epi16(short(u[1]))), f2(_mm_set1_epi16(short(u[2]))),
              f3(_mm_set1_epi16(short(u[3])))
        {
        }
        // Each unit of v that is one of the forms, as all ones.
        __m128i in(__m128i v) const
        {
            return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, f0), _mm_cmpeq_epi16(v, f1)),
                                _mm_or_si128(_mm_cmpeq_epi16(v, f2), _mm_cmpeq_epi16(v, f3)));
        }
        __m128i f0, f1, f2, f3;
    };
#endif

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
    Units first_{}, last_{};
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

QList<qsizetype> findAllIgnoringCase(QStringView text, QStringView word)
{
    QList<qsizetype> found;
    if (word.isEmpty()) return found;
    const CaseFinder finder(word);
    for (qsizetype at = finder.find(text, 0); at >= 0; at = finder.find(text, at + word.size())) found.append(at);
    return found;
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
    // A longer replacement makes room for a text an eighth longer at once rather than growing
    // by steps, each a copy of what is already written.
    result.reserve(source.size() + (replacement.size() > word.size() ? source.size() / 8 + 16 : 0));
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
