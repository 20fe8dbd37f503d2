#include "archiver/main/grid_model.h"

#include "common/text/cp1252.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif
#ifdef __SSE2__
#include <emmintrin.h>
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

// Whether a record line holds all five separators, in one pass over it.
bool holdsEverySeparator(QByteArrayView line)
{
    const char *s = line.data();
    const qsizetype n = line.size();
    qsizetype p = 0;
    unsigned seen = 0; // a bit for each separator met
#ifdef __SSE2__
    if (n >= 16) {
        __m128i at[5] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(),
                         _mm_setzero_si128()};
        // The last sixteen bytes overlap those before them, which changes nothing here.
        for (;; p += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + std::min(p, n - 16)));
            for (int k = 0; k < 5; ++k)
                at[k] = _mm_or_si128(at[k], _mm_cmpeq_epi8(v, _mm_set1_epi8(record::kSeparatorBytes[k])));
            if (p + 16 >= n) break;
        }
        for (int k = 0; k < 5; ++k)
            if (_mm_movemask_epi8(at[k])) seen |= 1u << k;
        return seen == 31;
    }
#endif
    for (; p < n; ++p)
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
