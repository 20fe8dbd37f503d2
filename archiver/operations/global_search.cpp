#include "archiver/operations/global_search.h"

#include "common/text/cp1252.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

const std::array<unsigned char, 256> &upper() { return cp1252::upperTable(); }

std::array<unsigned char, 2> variantsOf(unsigned char folded)
{
    std::array<unsigned char, 2> v{folded, folded};
    int n = 0;
    for (int b = 0; b < 256; ++b)
        if (upper()[b] == folded && n < 2) v[n++] = static_cast<unsigned char>(b);
    return v;
}

// The line of piece around position p: [start, end) without its line end; end is the position of
// the line's LF (or the piece's size).
struct LineSpan
{
    qsizetype start, end, stop;
};

LineSpan lineAround(const unsigned char *s, qsizetype n, qsizetype p)
{
    const void *before = p > 0 ? ::memrchr(s, '\n', size_t(p)) : nullptr;
    const qsizetype start = before ? static_cast<const unsigned char *>(before) - s + 1 : 0;
    const void *after = ::memchr(s + p, '\n', size_t(n - p));
    const qsizetype end = after ? static_cast<const unsigned char *>(after) - s : n;
    qsizetype stop = end;
    if (stop > start && s[stop - 1] == '\r') --stop;
    return {start, end, stop};
}

// An LF at p ends an empty line when the line it ends holds nothing or a lone CR. Position -1
// counts as a line end: pieces begin at a line start.
bool endsEmptyLine(const unsigned char *s, qsizetype p)
{
    auto at = [&](qsizetype i) { return i < 0 ? '\n' : s[i]; };
    return at(p - 1) == '\n' || (at(p - 1) == '\r' && at(p - 2) == '\n');
}

// Counts the lines of a piece and hands over those holding the finder's text: one pass over
// the bytes, sixteen at a time, testing the first and last needle bytes together before a full
// comparison.
void scanWholeLines(QByteArrayView piece, const FoldedFinder *finder, SearchCounts &counts,
                    const std::function<void(QByteArrayView)> &onMatch)
{
    const auto *s = reinterpret_cast<const unsigned char *>(piece.data());
    const qsizetype n = piece.size();
    const qsizetype m = finder ? finder->size() : 0;
    qsizetype newlines = 0, empty = 0;
    qsizetype reportedUpTo = -1; // position of the LF that ends the last line handed over

    auto candidate = [&](qsizetype p) {
        if (p <= reportedUpTo || p + m > n || !finder->verifyAt(s + p)) return;
        const LineSpan line = lineAround(s, n, p);
        if (line.stop <= line.start) return;
        onMatch(QByteArrayView(reinterpret_cast<const char *>(s) + line.start, line.stop - line.start));
        ++counts.found;
        reportedUpTo = line.end;
    };

    qsizetype pos = 0;
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    __m128i a1{}, b1{}, a2{}, b2{};
    if (finder && m > 0) {
        a1 = _mm_set1_epi8(char(finder->variants(0)[0]));
        b1 = _mm_set1_epi8(char(finder->variants(0)[1]));
        a2 = _mm_set1_epi8(char(finder->variants(1)[0]));
        b2 = _mm_set1_epi8(char(finder->variants(1)[1]));
    }
    const bool vectorMatch = finder && m > 0;
    for (; pos + 16 <= n; pos += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + pos));
        unsigned nl = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)));
        newlines += __builtin_popcount(nl);
        for (; nl; nl &= nl - 1)
            if (endsEmptyLine(s, pos + __builtin_ctz(nl))) ++empty;
        if (!vectorMatch) continue;
        if (pos + m - 1 + 16 <= n) {
            const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + pos + m - 1));
            const __m128i firstOk = _mm_or_si128(_mm_cmpeq_epi8(v, a1), _mm_cmpeq_epi8(v, b1));
            const __m128i lastOk = _mm_or_si128(_mm_cmpeq_epi8(w, a2), _mm_cmpeq_epi8(w, b2));
            for (unsigned c = unsigned(_mm_movemask_epi8(_mm_and_si128(firstOk, lastOk))); c; c &= c - 1)
                candidate(pos + __builtin_ctz(c));
        } else {
            for (qsizetype p = pos; p < pos + 16; ++p)
                candidate(p);
        }
    }
#endif
    for (; pos < n; ++pos) {
        if (s[pos] == '\n') {
            ++newlines;
            if (endsEmptyLine(s, pos)) ++empty;
        }
        if (finder && m > 0) candidate(pos);
    }

    // The last line of a file may lack its line end.
    qsizetype tailStart = n;
    while (tailStart > 0 && s[tailStart - 1] != '\n')
        --tailStart;
    qsizetype tailStop = n;
    if (tailStop > tailStart && s[tailStop - 1] == '\r') --tailStop;
    const bool openTail = tailStop > tailStart;

    const qsizetype lines = newlines - empty + (openTail ? 1 : 0);
    counts.total += lines;
    if (finder && m == 0) {
        // An empty text is found in every non-empty line.
        qsizetype start = 0;
        while (start < n) {
            const LineSpan line = lineAround(s, n, start);
            if (line.stop > line.start) {
                onMatch(QByteArrayView(reinterpret_cast<const char *>(s) + line.start,
                                       line.stop - line.start));
                ++counts.found;
            }
            start = line.end + 1;
        }
    }
}

} // namespace

FoldedFinder::FoldedFinder(QByteArrayView needle) : needle_(needle.toByteArray())
{
    for (char &c : needle_)
        c = char(upper()[static_cast<unsigned char>(c)]);
    if (!needle_.isEmpty()) {
        first_ = variantsOf(static_cast<unsigned char>(needle_.front()));
        last_ = variantsOf(static_cast<unsigned char>(needle_.back()));
    }
}

bool FoldedFinder::verifyAt(const unsigned char *p) const
{
    const auto &up = upper();
    const auto *q = reinterpret_cast<const unsigned char *>(needle_.constData());
    for (qsizetype j = 0; j < needle_.size(); ++j)
        if (up[p[j]] != q[j]) return false;
    return true;
}

qsizetype FoldedFinder::find(QByteArrayView hay, qsizetype from) const
{
    if (needle_.isEmpty()) return hay.isEmpty() ? -1 : from;
    const auto *s = reinterpret_cast<const unsigned char *>(hay.data());
    const auto &up = upper();
    const unsigned char first = static_cast<unsigned char>(needle_.front());
    for (qsizetype p = from; p + needle_.size() <= hay.size(); ++p)
        if (up[s[p]] == first && verifyAt(s + p)) return p;
    return -1;
}

SearchCounts RechercheGlobale(const Catalogue &catalogue, const QString &text, record::Field field,
                              const std::function<void(QByteArrayView line)> &onMatch)
{
    SearchCounts counts;
    const auto encoded = cp1252::encode(text);
    // A text that no line can hold only counts the lines.
    const bool searchable = encoded && !encoded->contains('\n') && !encoded->contains('\r');
    const FoldedFinder finder(encoded.value_or(QByteArray()));

    for (int i = 0; i < record::kLetterCount; ++i) {
        const QString path = catalogue.letterFile(QLatin1Char(record::kLetterList[i]));
        if (field == record::Field::All) {
            Catalogue::forEachPiece(path, [&](QByteArrayView piece) {
                scanWholeLines(piece, searchable ? &finder : nullptr, counts, onMatch);
            });
            continue;
        }
        Catalogue::forEachLine(path, [&](QByteArrayView line) {
            ++counts.total;
            if (searchable && finder.find(record::fieldOf(line, field)) >= 0) {
                onMatch(line);
                ++counts.found;
            }
        });
    }
    return counts;
}
