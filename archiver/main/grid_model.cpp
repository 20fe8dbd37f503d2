#include "archiver/main/grid_model.h"

#include "common/text/cp1252.h"

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

bool GridModel::appendLine(QByteArrayView text)
{
    Row r;
    r.offset = arena_.size();
    r.length = text.size();
    bool wellFormed = true;
    for (int i = 0; i < 5; ++i) {
        r.separators[i] = qint32(text.indexOf(record::kSeparatorBytes[i]));
        wellFormed = wellFormed && r.separators[i] >= 0;
    }
    if (!wellFormed) r.separators.fill(-1);
    arena_.append(text);
    rows_.push_back(r);
    return wellFormed;
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
    arena_.clear();
    arena_.squeeze();
    rows_.clear();
    rows_.shrink_to_fit();
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
    const QByteArray bytes = cp1252::encode(record::compose(rec)).value_or(QByteArray());
    Row r;
    r.offset = arena_.size();
    r.length = bytes.size();
    for (int i = 0; i < 5; ++i)
        r.separators[i] = qint32(bytes.indexOf(record::kSeparatorBytes[i]));
    arena_.append(bytes);
    rows_[size_t(row)] = r;
    emit dataChanged(index(row, 0), index(row, kColumns - 1));
}

QString GridModel::cell(int row, int column) const
{
    if (row < 0 || row >= int(rows_.size()) || column < 0 || column >= kColumns) return {};
    const Row &r = rows_[size_t(row)];
    if (r.separators[0] < 0) return column == 0 ? cp1252::decode(bytes(r)) : QString();
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
