#include "archiver/operations/global_search.h"

#include "common/text/cp1252.h"
#include "common/text/processor.h"
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

// The probe that every byte folding to folded passes: the bits in which its case forms differ
// (the code page's pairs differ in one bit, but for Ÿ and ÿ), set in all of them. A few other
// bytes may pass too; the comparison that follows turns them down.
FoldedFinder::Probe probeOf(unsigned char folded)
{
    unsigned char bits = 0;
    for (int b = 0; b < 256; ++b)
        if (upper()[b] == folded) bits |= static_cast<unsigned char>(b ^ folded);
    return {bits, static_cast<unsigned char>(folded | bits)};
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

// The first place at or after from where line holds a or b, or -1.
qsizetype firstOfEither(QByteArrayView line, qsizetype from, char a, char b)
{
    const char *const s = line.data();
    const qsizetype n = line.size();
    qsizetype p = from;
#ifdef __SSE2__
    const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b);
    for (; p + 16 <= n; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + p));
        const unsigned mask = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb))));
        if (mask) return p + __builtin_ctz(mask);
    }
#endif
    for (; p < n; ++p)
        if (s[p] == a || s[p] == b) return p;
    return -1;
}

// Whether a field of a record line holds the text, as a search of the part that record::fieldOf
// gives would tell; first is where the text first stands in the line. The field's separators
// are found on the way: the first of its opening and closing separators, then the text before
// the closing one.
bool fieldHolds(const FoldedFinder &finder, QByteArrayView line, record::Field field, qsizetype first)
{
    if (finder.size() == 0) return !record::fieldOf(line, field).isEmpty();
    const int i = static_cast<int>(field) - 1; // index of the separator that ends the field
    if (i == 5) {
        const QByteArrayView target = record::fieldOf(line, field);
        return !target.isEmpty() && finder.find(target, std::max<qsizetype>(first - (target.data() - line.data()), 0)) >= 0;
    }
    const char closing = record::kSeparatorBytes[i];
    qsizetype from = 0;
    if (i > 0) {
        // A closing separator before the opening one leaves the field empty.
        const qsizetype opening = firstOfEither(line, 0, record::kSeparatorBytes[i - 1], closing);
        if (opening < 0 || line[opening] == closing) return false;
        from = opening + 1;
    }
    return finder.standsBefore(line, from, closing, first);
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
    qsizetype candidateBlocks = 0; // blocks whose first and last bytes' tests left candidates
    qsizetype handed = 0;          // lines whose whole line holds the text
    qsizetype reportedUpTo = -1; // position of the LF that ends the last line handed over
    // A line found in an earlier block whose end is not read yet: where it starts, and whether it
    // counts (it does not when the text lies beyond the part of an over-long line that counts).
    qsizetype openStart = -1;
    qsizetype openFirst = -1; // where the text stands in it
    bool openCounts = false;

    // Hands over the line [start, end), end being the position of its LF or of the piece's end,
    // when its compared part holds the text.
    // first is where the text first stands in the line (before start when that is not known): a
    // field holds it only from there on.
    void found(qsizetype start, qsizetype end, qsizetype first)
    {
        ++handed;
        qsizetype stop = end;
        if (stop > start && s[stop - 1] == '\r') --stop;
        if (stop <= start) return;
        const QByteArrayView line(reinterpret_cast<const char *>(s) + start,
                                  std::min(stop - start, linefile::kMaxLineLength));
        if (field != record::Field::All && !fieldHolds(*finder, line, field, first - start)) return;
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
        if (p + m - line.start <= linefile::kMaxLineLength) found(line.start, line.end, p);
    }

    // A block of 64 bytes at pos that needs a closer look, given the masks of its line feeds and
    // of the positions where the first, second and last bytes of the text all match, and the
    // line feeds that stand close to another (where an empty line may end). A found line's ends
    // come from the masks (or, for a line that began in an earlier block, from the bytes before
    // it): the rest of its candidates are dropped at once, so a line costs one comparison however
    // often it holds the text. Out of line, so that the loop over the blocks that need nothing
    // keeps its values in registers.
    __attribute__((noinline)) void closer(qsizetype pos, uint64_t nl, uint64_t cand, uint64_t closeNl,
                                          uint64_t previousNl)
    {
        for (uint64_t e = closeNl; e; e &= e - 1)
            if (endsEmptyLine(s, pos + __builtin_ctzll(e))) ++empty;

        if (openStart >= 0) {
            if (!nl) return; // the found line goes on past this block
            const int j = __builtin_ctzll(nl);
            if (openCounts) found(openStart, pos + j, openFirst);
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
            // The line's start: in this block, in the one before (whose line feeds are known;
            // a piece's first block counts one just before it), or further back.
            const qsizetype start = before       ? pos + 64 - __builtin_clzll(before)
                                    : previousNl ? pos - __builtin_clzll(previousNl)
                                                 : lineStartOf(s, pos);
            const bool counts = p + m - start <= linefile::kMaxLineLength;
            const uint64_t after = nl & ~throughBit(i);
            if (!after) {
                openStart = start;
                openFirst = p;
                openCounts = counts;
                break;
            }
            const int j = __builtin_ctzll(after);
            if (counts) found(start, pos + j, p);
            cand &= ~throughBit(j);
        }
    }

    // After the blocks: the end of a line still open is looked for from pos.
    void closeOpenLine(qsizetype pos)
    {
        if (openStart < 0) return;
        const void *after = pos < n ? ::memchr(s + pos, '\n', size_t(n - pos)) : nullptr;
        const qsizetype end = after ? static_cast<const unsigned char *>(after) - s : n;
        if (openCounts) found(openStart, end, openFirst);
        reportedUpTo = end;
        openStart = -1;
    }

    // The bits 0 to i.
    static uint64_t throughBit(int i) { return i >= 63 ? ~uint64_t(0) : (uint64_t(2) << i) - 1; }
};

} // namespace

// The block loop, compiled once for each instruction set and for the bytes of the text it tests
// in every block: none (no text is sought), the first and the last, or these and the second. It
// walks a piece 64 bytes at a time and stops where a block and the text's last byte would pass
// the end. Most blocks need nothing but their line feeds counted; the others go to
// PieceScan::closer. With two bytes tested, the second sifts the candidates of a block before
// its closer look, and the blocks that hold candidates are counted: when they are many, testing
// the second byte in every block costs less than the closer looks it saves.
#define TALVO_BLOCK_LOOP(ATTRIBUTES, NAME, SIFT, ...)                                              \
    template <int Probes>                                                                          \
    ATTRIBUTES qsizetype NAME(PieceScan &scan)                                                     \
    {                                                                                              \
        constexpr bool Seek = Probes > 0;                                                          \
        const unsigned char *const s = scan.s;                                                     \
        const qsizetype n = scan.n;                                                                \
        const qsizetype tail = Seek ? scan.m - 1 : 0;                                              \
        const FoldedFinder::Probe first = Seek ? scan.finder->probe(0) : FoldedFinder::Probe{};    \
        const FoldedFinder::Probe last = Seek ? scan.finder->probe(1) : FoldedFinder::Probe{};     \
        /* The second byte is worth testing when it is not the last. */                            \
        const bool sift = Probes == 2 && scan.m > 2;                                               \
        const FoldedFinder::Probe second = Seek ? scan.finder->probe(2) : FoldedFinder::Probe{};   \
        const qsizetype step = Probes == 3 ? 1 : 0;                                                \
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
                if (sift && cand) {                                                                \
                    ++scan.candidateBlocks;                                                        \
                    cand &= SIFT(s + pos, second);                                                 \
                }                                                                                  \
                scan.closer(pos, nl, cand, closeNl, previousNl);                                   \
                open = scan.openStart >= 0;                                                        \
            }                                                                                      \
            previousNl = nl;                                                                       \
        }                                                                                          \
        scan.newlines += newlines;                                                                 \
        return pos;                                                                                \
    }

namespace {

#ifdef __SSE2__
// A byte matches a probe when it equals the target once the probe's bits are set in it.

// The positions of a block whose next byte passes the probe.
uint64_t siftSse2(const unsigned char *block, FoldedFinder::Probe probe)
{
    const __m128i bits = _mm_set1_epi8(char(probe.bits)), target = _mm_set1_epi8(char(probe.target));
    uint64_t mask = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(block + 16 * k + 1));
        mask |= uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(x, bits), target)))) << (16 * k);
    }
    return mask;
}

TALVO_BLOCK_LOOP(, blockLoopSse2, siftSse2, {
    const __m128i lf = _mm_set1_epi8('\n'), m1 = _mm_set1_epi8(char(first.bits)),
                  t1 = _mm_set1_epi8(char(first.target)), m2 = _mm_set1_epi8(char(last.bits)),
                  t2 = _mm_set1_epi8(char(last.target)), m3 = _mm_set1_epi8(char(second.bits)),
                  t3 = _mm_set1_epi8(char(second.target));
    for (int k = 0; k < 4; ++k) {
        const unsigned char *p = s + pos + 16 * k;
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        nl |= uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)))) << (16 * k);
        if (Seek) {
            const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + tail));
            __m128i both = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(v, m1), t1),
                                         _mm_cmpeq_epi8(_mm_or_si128(w, m2), t2));
            if (Probes == 3) {
                const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + step));
                both = _mm_and_si128(both, _mm_cmpeq_epi8(_mm_or_si128(x, m3), t3));
            }
            cand |= uint64_t(uint32_t(_mm_movemask_epi8(both))) << (16 * k);
        }
    }
})
#endif

#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("avx2"))) uint64_t siftAvx2(const unsigned char *block, FoldedFinder::Probe probe)
{
    const __m256i bits = _mm256_set1_epi8(char(probe.bits)), target = _mm256_set1_epi8(char(probe.target));
    uint64_t mask = 0;
    for (int k = 0; k < 2; ++k) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(block + 32 * k + 1));
        mask |= uint64_t(uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_or_si256(x, bits), target))))
                << (32 * k);
    }
    return mask;
}

TALVO_BLOCK_LOOP(__attribute__((target("avx2"))), blockLoopAvx2, siftAvx2, {
    const __m256i lf = _mm256_set1_epi8('\n'), m1 = _mm256_set1_epi8(char(first.bits)),
                  t1 = _mm256_set1_epi8(char(first.target)), m2 = _mm256_set1_epi8(char(last.bits)),
                  t2 = _mm256_set1_epi8(char(last.target)), m3 = _mm256_set1_epi8(char(second.bits)),
                  t3 = _mm256_set1_epi8(char(second.target));
    for (int k = 0; k < 2; ++k) {
        const unsigned char *p = s + pos + 32 * k;
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
        nl |= uint64_t(uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, lf)))) << (32 * k);
        if (Seek) {
            const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + tail));
            __m256i both = _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(v, m1), t1),
                                            _mm256_cmpeq_epi8(_mm256_or_si256(w, m2), t2));
            if (Probes == 3) {
                const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + step));
                both = _mm256_and_si256(both, _mm256_cmpeq_epi8(_mm256_or_si256(x, m3), t3));
            }
            cand |= uint64_t(uint32_t(_mm256_movemask_epi8(both))) << (32 * k);
        }
    }
})

#endif

// Counts the lines of a piece and hands over those holding the finder's text, in one pass over
// the bytes: the first and last bytes of the text (and its second, once the candidates proved
// many: threeProbes is set then, for the rest of the search) are tested many bytes at a time
// before a full comparison. With a field, a line holding the text is handed over when that field
// holds it: the field lies within the line, so only the lines found need the closer look.
//
// A field search that finds the text in most lines (every line holds an E) looks at the field of
// every line instead, once a piece has shown it: the look at each line's candidates would find
// nearly all of them only to look at their field after all. everyLine is set then, for the rest
// of the search.
void scanPiece(QByteArrayView piece, const FoldedFinder *finder, record::Field field, bool wide,
               bool &threeProbes, bool &everyLine, SearchCounts &counts,
               const std::function<void(QByteArrayView)> &onMatch)
{
    PieceScan scan{reinterpret_cast<const unsigned char *>(piece.data()), piece.size(), finder,
                   finder ? finder->size() : 0, field, counts, onMatch};
    const unsigned char *s = scan.s;
    const qsizetype n = scan.n;
    // An empty text is found in every non-empty line.
    if (finder && (scan.m == 0 || everyLine)) {
        // Line by line, each non-empty one counted and handed to found(), which looks at its
        // field.
        for (qsizetype start = 0; start < n;) {
            const void *lf = ::memchr(s + start, '\n', size_t(n - start));
            const qsizetype end = lf ? static_cast<const unsigned char *>(lf) - s : n;
            if (end - start > 1 || (end - start == 1 && s[start] != '\r')) ++counts.total;
            scan.found(start, end, start - 1); // where the text stands is not known
            start = end + 1;
        }
        return;
    }
    const bool seek = finder != nullptr;

    qsizetype pos = 0;
#if defined(__x86_64__) && defined(__GNUC__)
    if (wide) pos = !seek ? blockLoopAvx2<0>(scan) : threeProbes ? blockLoopAvx2<3>(scan) : blockLoopAvx2<2>(scan);
    else
#endif
#ifdef __SSE2__
        pos = !seek ? blockLoopSse2<0>(scan) : threeProbes ? blockLoopSse2<3>(scan) : blockLoopSse2<2>(scan);
#endif
    // One block in eight holding candidates makes the closer looks cost more than the second
    // byte's test in every block.
    if (scan.candidateBlocks * 8 > pos / 64) threeProbes = true;
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
    if (seek && field != record::Field::All && scan.handed * 2 > scan.newlines) everyLine = true;
}

} // namespace

FoldedFinder::FoldedFinder(QByteArrayView needle) : needle_(needle.toByteArray()), upper_(&upper())
{
    for (char &c : needle_)
        c = char(upper()[static_cast<unsigned char>(c)]);
    if (!needle_.isEmpty()) {
        first_ = probeOf(static_cast<unsigned char>(needle_.front()));
        last_ = probeOf(static_cast<unsigned char>(needle_.back()));
        second_ = probeOf(static_cast<unsigned char>(needle_.size() > 1 ? needle_[1] : needle_.back()));
    }
}

#ifdef __SSE2__
unsigned FoldedFinder::probed16(const unsigned char *at) const
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
    const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at + needle_.size() - 1));
    return unsigned(_mm_movemask_epi8(
        _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(v, _mm_set1_epi8(char(first_.bits))), _mm_set1_epi8(char(first_.target))),
                      _mm_cmpeq_epi8(_mm_or_si128(w, _mm_set1_epi8(char(last_.bits))), _mm_set1_epi8(char(last_.target))))));
}
#endif

qsizetype FoldedFinder::find(QByteArrayView hay, qsizetype from) const
{
    const qsizetype m = needle_.size();
    if (m == 0) return hay.isEmpty() ? -1 : from;
    const auto *s = reinterpret_cast<const unsigned char *>(hay.data());
    const qsizetype n = hay.size();
    qsizetype p = std::max<qsizetype>(from, 0);
#ifdef __SSE2__
    // Sixteen places at a time, each tested on the text's first and last bytes first; the last
    // sixteen places overlap those already tested, which are left out.
    if (n - p >= 16 + m - 1) {
        const qsizetype lastWindow = n - (16 + m - 1);
        for (;;) {
            const qsizetype q = std::min(p, lastWindow);
            unsigned mask = probed16(s + q) & ~((1u << (p - q)) - 1);
            for (; mask; mask &= mask - 1)
                if (verifyAt(s + q + __builtin_ctz(mask))) return q + __builtin_ctz(mask);
            if (q == lastWindow) return -1;
            p += 16;
        }
    }
#endif
    for (; p + m <= n; ++p)
        if (verifyAt(s + p)) return p;
    return -1;
}

bool FoldedFinder::standsBefore(QByteArrayView hay, qsizetype from, char stop, qsizetype first) const
{
    const qsizetype m = needle_.size();
    const char *const s = hay.data();
    const qsizetype n = hay.size();
    const auto stopAt = [&](qsizetype begin, qsizetype end) {
        return begin < end && ::memchr(s + begin, stop, size_t(end - begin)) != nullptr;
    };
    if (first >= from) {
        // Nothing stands before first: the text stands there, unless a stop byte came before.
        return !stopAt(from, first) && stopAt(first + m, n);
    }
    qsizetype p = from;
#ifdef __SSE2__
    // Sixteen places at a time, as find() takes them, with the stop bytes among them.
    if (n - p >= 16 + m - 1) {
        const __m128i vs = _mm_set1_epi8(stop);
        const qsizetype lastWindow = n - (16 + m - 1);
        for (;;) {
            const qsizetype q = std::min(p, lastWindow);
            const unsigned fresh = ~((1u << (p - q)) - 1);
            unsigned candidates = probed16(reinterpret_cast<const unsigned char *>(s + q)) & fresh;
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + q));
            const unsigned stops = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, vs))) & fresh;
            // The text holds no stop byte: one that starts before the first stop ends before it.
            if (stops) candidates &= (1u << __builtin_ctz(stops)) - 1;
            for (; candidates; candidates &= candidates - 1) {
                const qsizetype c = q + __builtin_ctz(candidates);
                if (verifyAt(reinterpret_cast<const unsigned char *>(s + c))) return stops || stopAt(c + m, n);
            }
            if (stops || q == lastWindow) return false;
            p += 16;
        }
    }
#endif
    for (; p + m <= n; ++p) {
        if (s[p] == stop) return false;
        if (verifyAt(reinterpret_cast<const unsigned char *>(s + p))) return stopAt(p + m, n);
    }
    return false;
}

LetterSearch::LetterSearch(const QString &text, record::Field field) : field_(field)
{
    const auto encoded = cp1252::encode(text);
    // A text that no line can hold only counts the lines.
    searchable_ = encoded && !encoded->contains('\n') && !encoded->contains('\r');
    // Nor can a field hold the separator that closes it.
    const int closing = static_cast<int>(field) - 1;
    if (searchable_ && closing >= 0 && closing < 5 && encoded->contains(record::kSeparatorBytes[closing]))
        searchable_ = false;
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
        scanPiece(piece, searchable_ ? &finder_ : nullptr, field_, wide_, threeProbes_, everyLine_, counts, onMatch);
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
