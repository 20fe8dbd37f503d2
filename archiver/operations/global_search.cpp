#include "archiver/operations/global_search.h"

#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
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

// The start of the line that holds position p: pieces begin at a line start.
qsizetype lineStartOf(const unsigned char *s, qsizetype p)
{
    const void *before = p > 0 ? ::memrchr(s, '\n', size_t(p)) : nullptr;
    return before ? static_cast<const unsigned char *>(before) - s + 1 : 0;
}

LineSpan lineAround(const unsigned char *s, qsizetype n, qsizetype p)
{
    const qsizetype start = lineStartOf(s, p);
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

// The state of one pass over a piece: counts, the candidate test of the text sought, and the
// line that holds the block being read.
struct PieceScan
{
    const unsigned char *s;
    qsizetype n;
    const FoldedFinder *finder;
    qsizetype m;
    record::Field field; // the part of a found line that must hold the text (All: the line)
    SearchCounts &counts;
    const std::function<void(QByteArrayView)> &onMatch;
    qsizetype newlines = 0;
    qsizetype empty = 0;
    qsizetype reportedUpTo = -1; // position of the LF that ends the last line handed over
    // A line found in an earlier block whose end is not read yet: where it starts, and whether it
    // counts (it does not when the text lies beyond the part of an over-long line that counts).
    qsizetype openStart = -1;
    bool openCounts = false;

    // Hands over the line [start, end), end being the position of its LF or of the piece's end,
    // when its compared part holds the text.
    void found(qsizetype start, qsizetype end)
    {
        qsizetype stop = end;
        if (stop > start && s[stop - 1] == '\r') --stop;
        if (stop <= start) return;
        const QByteArrayView line(reinterpret_cast<const char *>(s) + start,
                                  std::min(stop - start, linefile::kMaxLineLength));
        if (field != record::Field::All && finder->find(record::fieldOf(line, field)) < 0) return;
        onMatch(line);
        ++counts.found;
    }

    // The text sought at p, one byte at a time: the tail of a piece, past the last whole block.
    void candidate(qsizetype p)
    {
        if (p <= reportedUpTo || p + m > n || !finder->verifyAt(s + p)) return;
        const LineSpan line = lineAround(s, n, p);
        // Either way the rest of the line needs no more look: it is found, or the text lies
        // beyond the part of an over-long line that counts.
        reportedUpTo = line.end;
        if (p + m - line.start <= linefile::kMaxLineLength) found(line.start, line.end);
    }

    // A block of 64 bytes at pos that needs a closer look, given the masks of its line feeds and
    // of the positions where the first, second and last bytes of the text all match, and the
    // line feeds that stand close to another (where an empty line may end). A found line's ends
    // come from the masks (or, for a line that began in an earlier block, from the bytes before
    // it): the rest of its candidates are dropped at once, so a line costs one comparison however
    // often it holds the text. Out of line, so that the loop over the blocks that need nothing
    // keeps its values in registers.
    __attribute__((noinline)) void closer(qsizetype pos, uint64_t nl, uint64_t cand, uint64_t closeNl)
    {
        for (uint64_t e = closeNl; e; e &= e - 1)
            if (endsEmptyLine(s, pos + __builtin_ctzll(e))) ++empty;

        if (openStart >= 0) {
            if (!nl) return; // the found line goes on past this block
            const int j = __builtin_ctzll(nl);
            if (openCounts) found(openStart, pos + j);
            openStart = -1;
            cand &= ~throughBit(j);
        }
        while (cand) {
            const int i = __builtin_ctzll(cand);
            const qsizetype p = pos + i;
            if (!finder->verifyAt(s + p)) {
                cand &= cand - 1;
                continue;
            }
            const uint64_t before = nl & (throughBit(i) >> 1);
            const qsizetype start = before ? pos + 64 - __builtin_clzll(before) : lineStartOf(s, pos);
            const bool counts = p + m - start <= linefile::kMaxLineLength;
            const uint64_t after = nl & ~throughBit(i);
            if (!after) {
                openStart = start;
                openCounts = counts;
                break;
            }
            const int j = __builtin_ctzll(after);
            if (counts) found(start, pos + j);
            cand &= ~throughBit(j);
        }
    }

    // After the blocks: the end of a line still open is looked for from pos.
    void closeOpenLine(qsizetype pos)
    {
        if (openStart < 0) return;
        const void *after = pos < n ? ::memchr(s + pos, '\n', size_t(n - pos)) : nullptr;
        const qsizetype end = after ? static_cast<const unsigned char *>(after) - s : n;
        if (openCounts) found(openStart, end);
        reportedUpTo = end;
        openStart = -1;
    }

    // The bits 0 to i.
    static uint64_t throughBit(int i) { return i >= 63 ? ~uint64_t(0) : (uint64_t(2) << i) - 1; }
};

} // namespace

// The block loop, compiled once for each instruction set and for whether a text is sought: it
// walks a piece 64 bytes at a time and stops where a block and the text's last byte would pass
// the end. Most blocks need nothing but their line feeds counted; the others go to
// PieceScan::closer.
#define TALVO_BLOCK_LOOP(ATTRIBUTES, NAME, ...)                                                    \
    template <bool Seek>                                                                           \
    ATTRIBUTES qsizetype NAME(PieceScan &scan)                                                     \
    {                                                                                              \
        const unsigned char *const s = scan.s;                                                     \
        const qsizetype n = scan.n;                                                                \
        const qsizetype tail = Seek ? scan.m - 1 : 0;                                              \
        const unsigned char a1 = Seek ? scan.finder->variants(0)[0] : 0;                           \
        const unsigned char b1 = Seek ? scan.finder->variants(0)[1] : 0;                           \
        const unsigned char a2 = Seek ? scan.finder->variants(1)[0] : 0;                           \
        const unsigned char b2 = Seek ? scan.finder->variants(1)[1] : 0;                           \
        const unsigned char a3 = Seek ? scan.finder->variants(2)[0] : 0;                           \
        const unsigned char b3 = Seek ? scan.finder->variants(2)[1] : 0;                           \
        const qsizetype second = Seek && scan.m > 1 ? 1 : 0;                                       \
        uint64_t previousNl = uint64_t(1) << 63; /* a piece starts after a line end */             \
        qsizetype newlines = 0;                                                                    \
        bool open = false;                                                                         \
        qsizetype pos = 0;                                                                         \
        for (; pos + 64 + tail <= n; pos += 64) {                                                  \
            uint64_t nl = 0, cand = 0;                                                             \
            __VA_ARGS__                                                                            \
            newlines += __builtin_popcountll(nl);                                                  \
            /* An empty line ends with an LF one or two bytes after another LF (a lone CR       \
               between them): those rare places are checked one by one. */                         \
            const uint64_t closeNl =                                                               \
                nl & ((nl << 1) | (previousNl >> 63) | (nl << 2) | (previousNl >> 62));            \
            if (__builtin_expect((cand | closeNl) != 0 || open, 0)) {                              \
                scan.closer(pos, nl, cand, closeNl);                                               \
                open = scan.openStart >= 0;                                                        \
            }                                                                                      \
            previousNl = nl;                                                                       \
        }                                                                                          \
        scan.newlines += newlines;                                                                 \
        return pos;                                                                                \
    }

namespace {

#ifdef __SSE2__
inline uint32_t eq16(const unsigned char *p, __m128i c)
{
    return uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)), c)));
}

TALVO_BLOCK_LOOP(, blockLoopSse2, {
    const __m128i lf = _mm_set1_epi8('\n'), va1 = _mm_set1_epi8(char(a1)), vb1 = _mm_set1_epi8(char(b1)),
                  va2 = _mm_set1_epi8(char(a2)), vb2 = _mm_set1_epi8(char(b2)), va3 = _mm_set1_epi8(char(a3)),
                  vb3 = _mm_set1_epi8(char(b3));
    for (int k = 0; k < 4; ++k) {
        const unsigned char *p = s + pos + 16 * k;
        nl |= uint64_t(eq16(p, lf)) << (16 * k);
        if (Seek) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + tail));
            const __m128i first = _mm_or_si128(_mm_cmpeq_epi8(v, va1), _mm_cmpeq_epi8(v, vb1));
            const __m128i last = _mm_or_si128(_mm_cmpeq_epi8(w, va2), _mm_cmpeq_epi8(w, vb2));
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + second));
            const __m128i next = _mm_or_si128(_mm_cmpeq_epi8(x, va3), _mm_cmpeq_epi8(x, vb3));
            cand |= uint64_t(uint32_t(_mm_movemask_epi8(_mm_and_si128(_mm_and_si128(first, last), next))))
                    << (16 * k);
        }
    }
})
#endif

#if defined(__x86_64__) && defined(__GNUC__)
TALVO_BLOCK_LOOP(__attribute__((target("avx2"))), blockLoopAvx2, {
    const __m256i lf = _mm256_set1_epi8('\n'), va1 = _mm256_set1_epi8(char(a1)), vb1 = _mm256_set1_epi8(char(b1)),
                  va2 = _mm256_set1_epi8(char(a2)), vb2 = _mm256_set1_epi8(char(b2)),
                  va3 = _mm256_set1_epi8(char(a3)), vb3 = _mm256_set1_epi8(char(b3));
    for (int k = 0; k < 2; ++k) {
        const unsigned char *p = s + pos + 32 * k;
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
        nl |= uint64_t(uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, lf)))) << (32 * k);
        if (Seek) {
            const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + tail));
            const __m256i first = _mm256_or_si256(_mm256_cmpeq_epi8(v, va1), _mm256_cmpeq_epi8(v, vb1));
            const __m256i last = _mm256_or_si256(_mm256_cmpeq_epi8(w, va2), _mm256_cmpeq_epi8(w, vb2));
            const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + second));
            const __m256i next = _mm256_or_si256(_mm256_cmpeq_epi8(x, va3), _mm256_cmpeq_epi8(x, vb3));
            cand |= uint64_t(uint32_t(_mm256_movemask_epi8(_mm256_and_si256(_mm256_and_si256(first, last), next))))
                    << (32 * k);
        }
    }
})

bool haveAvx2()
{
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}
#endif

// Counts the lines of a piece and hands over those holding the finder's text, in one pass over
// the bytes: the first, second and last bytes of the text are tested together, many bytes at a time,
// before a full comparison. With a field, a line holding the text is handed over when that field
// holds it: the field lies within the line, so only the lines found need the closer look.
void scanPiece(QByteArrayView piece, const FoldedFinder *finder, record::Field field, bool wide,
               SearchCounts &counts, const std::function<void(QByteArrayView)> &onMatch)
{
    PieceScan scan{reinterpret_cast<const unsigned char *>(piece.data()), piece.size(), finder,
                   finder ? finder->size() : 0, field, counts, onMatch};
    const unsigned char *s = scan.s;
    const qsizetype n = scan.n;
    const bool seek = finder && scan.m > 0;

    qsizetype pos = 0;
#if defined(__x86_64__) && defined(__GNUC__)
    if (wide) pos = seek ? blockLoopAvx2<true>(scan) : blockLoopAvx2<false>(scan);
    else
#endif
#ifdef __SSE2__
        pos = seek ? blockLoopSse2<true>(scan) : blockLoopSse2<false>(scan);
#endif
    scan.closeOpenLine(pos);
    for (; pos < n; ++pos) {
        if (s[pos] == '\n') {
            ++scan.newlines;
            if (endsEmptyLine(s, pos)) ++scan.empty;
        }
        if (seek) scan.candidate(pos);
    }

    // The last line of a file may lack its line end.
    qsizetype tailStart = n;
    while (tailStart > 0 && s[tailStart - 1] != '\n')
        --tailStart;
    qsizetype tailStop = n;
    if (tailStop > tailStart && s[tailStop - 1] == '\r') --tailStop;
    const bool openTail = tailStop > tailStart;

    counts.total += scan.newlines - scan.empty + (openTail ? 1 : 0);
    if (finder && scan.m == 0) {
        // An empty text is found in every non-empty line.
        qsizetype start = 0;
        while (start < n) {
            const LineSpan line = lineAround(s, n, start);
            scan.found(line.start, line.end);
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
        second_ = variantsOf(static_cast<unsigned char>(needle_.size() > 1 ? needle_[1] : needle_.back()));
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

LetterSearch::LetterSearch(const QString &text, record::Field field) : field_(field)
{
    const auto encoded = cp1252::encode(text);
    // A text that no line can hold only counts the lines.
    searchable_ = encoded && !encoded->contains('\n') && !encoded->contains('\r');
    finder_ = FoldedFinder(encoded.value_or(QByteArray()));
#if defined(__x86_64__) && defined(__GNUC__)
    // TALVO_SCAN_SSE2 lets the tests run the narrower loop on machines that have both.
    wide_ = haveAvx2() && !qEnvironmentVariableIsSet("TALVO_SCAN_SSE2");
#endif
}

void LetterSearch::run(const QString &path, SearchCounts &counts,
                       const std::function<void(QByteArrayView line)> &onMatch) const
{
    const linefile::ReadStatus status = linefile::forEachPiece(path, [&](QByteArrayView piece) {
        scanPiece(piece, searchable_ ? &finder_ : nullptr, field_, wide_, counts, onMatch);
    });
    if (!status.ok()) counts.unreadable.append(status.error);
}

SearchCounts RechercheGlobale(const Catalogue &catalogue, const QString &text, record::Field field,
                              const std::function<void(QByteArrayView line)> &onMatch)
{
    SearchCounts counts;
    const LetterSearch search(text, field);
    for (int i = 0; i < record::kLetterCount; ++i)
        search.run(catalogue.letterFile(QLatin1Char(record::kLetterList[i])), counts, onMatch);
    return counts;
}
