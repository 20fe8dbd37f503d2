#include "archiver/main/grid_model.h"

#include "common/text/cp1252.h"
#include "common/text/processor.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

GridModel::GridModel(QObject *parent) : QAbstractTableModel(parent) {}

int GridModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : shown_; }

int GridModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= shown_) return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return cell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < headers_.size())
        return headers_[section];
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void GridModel::setHeaders(const QStringList &headers)
{
    headers_ = headers;
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

namespace {

#if defined(__x86_64__) && defined(__GNUC__)
// The five separators end in five different hexadecimal digits: a byte is one of them when it
// equals the separator its last digit names, and each separator has a bit of its own. Other
// digits name a byte that ends in another digit, which no byte with that last digit equals.
constexpr char kSeparatorOfDigit[16] = {'@', 0, 3, '#', 5, 4, 7, '\xA7', 9, 8, 11, '[', 13, ']', 15, 14};
constexpr char kBitOfDigit[16] = {1, 0, 0, 8, 0, 0, 0, 16, 0, 0, 0, 2, 0, 4, 0, 0};

// Thirty-two bytes at a time; the last thirty-two overlap those before them, which changes
// nothing here. For lines of 32 bytes or more.
__attribute__((target("avx2"))) unsigned separatorsSeen(const char *s, qsizetype n)
{
    const __m256i digits = _mm256_set1_epi8(0x0F),
                  separators = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i *>(kSeparatorOfDigit))),
                  bits = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i *>(kBitOfDigit)));
    __m256i seen = _mm256_setzero_si256();
    for (qsizetype p = 0;; p += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(s + std::min(p, n - 32)));
        const __m256i digit = _mm256_and_si256(v, digits);
        const __m256i is = _mm256_cmpeq_epi8(_mm256_shuffle_epi8(separators, digit), v);
        seen = _mm256_or_si256(seen, _mm256_and_si256(_mm256_shuffle_epi8(bits, digit), is));
        if (p + 32 >= n) break;
    }
    __m128i half = _mm_or_si128(_mm256_castsi256_si128(seen), _mm256_extracti128_si256(seen, 1));
    half = _mm_or_si128(half, _mm_srli_si128(half, 8));
    half = _mm_or_si128(half, _mm_srli_si128(half, 4));
    half = _mm_or_si128(half, _mm_srli_si128(half, 2));
    half = _mm_or_si128(half, _mm_srli_si128(half, 1));
    return unsigned(_mm_cvtsi128_si32(half) & 0xFF);
}

#endif

// Whether a record line holds all five separators, in one pass over it.
bool holdsEverySeparator(QByteArrayView line)
{
    const char *s = line.data();
    const qsizetype n = line.size();
#if defined(__x86_64__) && defined(__GNUC__)
    if (n >= 32 && haveAvx2()) return separatorsSeen(s, n) == 31;
#endif
    unsigned seen = 0; // a bit for each separator met
    for (qsizetype p = 0; p < n; ++p)
        for (int k = 0; k < 5; ++k)
            if (s[p] == record::kSeparatorBytes[k]) seen |= 1u << k;
    return seen == 31;
}

#ifdef __linux__
constexpr std::size_t kHugePage = std::size_t(2) << 20;
#endif
// Blocks of two huge pages where the system gives them: a grid of a hundred thousand rows then
// costs a few page faults instead of thousands.
constexpr qsizetype kArenaBlock = qsizetype(4) << 20;

} // namespace

GridModel::Arena::~Arena()
{
    for (const Block &block : blocks_) std::free(block.data);
}

const char *GridModel::Arena::add(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    // On to the next block, kept from an earlier search or new, when this one is full.
    while (current_ < blocks_.size() && used_ + n > blocks_[current_].size) {
        ++current_;
        used_ = 0;
    }
    if (current_ == blocks_.size()) {
        blocks_.reserve(blocks_.size() + 1); // so that the block is never lost between the two
        const qsizetype size = std::max(kArenaBlock, n);
#ifdef __linux__
        auto *data = static_cast<char *>(std::aligned_alloc(kHugePage, size_t((size + kHugePage - 1) / kHugePage * kHugePage)));
        if (data) ::madvise(data, size_t(size), MADV_HUGEPAGE);
#else
        auto *data = static_cast<char *>(std::malloc(size_t(size)));
#endif
        if (!data) throw std::bad_alloc();
        blocks_.push_back({data, size});
        used_ = 0;
    }
    char *at = blocks_[current_].data + used_;
    if (n > 0) std::memcpy(at, bytes.data(), size_t(n));
    used_ += n;
    return at;
}

void GridModel::Arena::clear()
{
    current_ = 0;
    used_ = 0;
}

GridModel::Row GridModel::addRow(QByteArrayView text)
{
    Row r;
    r.data = arena_.add(text);
    r.length = qint32(text.size());
    r.wellFormed = holdsEverySeparator(text);
    return r;
}

bool GridModel::appendLine(QByteArrayView text)
{
    rows_.push_back(addRow(text));
    return rows_.back().wellFormed;
}

void GridModel::flush()
{
    const int total = int(rows_.size());
    if (total == shown_) return;
    beginInsertRows(QModelIndex(), shown_, total - 1);
    shown_ = total;
    endInsertRows();
}

void GridModel::clear()
{
    beginResetModel();
    // The room stays for the next search.
    arena_.clear();
    rows_.clear();
    shown_ = 0;
    endResetModel();
}

void GridModel::removeRecord(int row)
{
    if (row < 0 || row >= shown_) return;
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + row);
    --shown_;
    endRemoveRows();
}

void GridModel::setRecord(int row, const Record &rec)
{
    if (row < 0 || row >= shown_) return;
    // The record comes from the card, which only keeps what the files can hold.
    rows_[size_t(row)] = addRow(cp1252::encode(record::compose(rec)).value_or(QByteArray()));
    emit dataChanged(index(row, 0), index(row, kColumns - 1));
}

QString GridModel::cell(int row, int column) const
{
    if (row < 0 || row >= int(rows_.size()) || column < 0 || column >= kColumns) return {};
    const Row &r = rows_[size_t(row)];
    if (!r.wellFormed) return column == 0 ? cp1252::decode(bytes(r)) : QString();
    return cp1252::decode(record::fieldOf(bytes(r), kFieldOfColumn[size_t(column)]));
}

Record GridModel::record(int row) const
{
    return Record{cell(row, 0), cell(row, 2), cell(row, 3), cell(row, 4), cell(row, 1), cell(row, 5)};
}

QString GridModel::line(int row) const { return cp1252::decode(lineBytes(row)); }

QByteArrayView GridModel::lineBytes(int row) const
{
    if (row < 0 || row >= int(rows_.size())) return {};
    return bytes(rows_[size_t(row)]);
}
