#pragma once

#include "archiver/store/record.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QStringList>

#include <array>
#include <vector>

// The rows of the result grid: one record per row, in the column order key, note, date, support,
// category, target. Rows keep the record line's bytes as read and are decoded only when shown,
// so a search that finds a hundred thousand records fills the grid at once.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kColumns = 6;
    // The record field shown in each column.
    static constexpr std::array<record::Field, kColumns> kFieldOfColumn{
        record::Field::Key,     record::Field::Note,     record::Field::Date,
        record::Field::Support, record::Field::Category, record::Field::Target};

    explicit GridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setHeaders(const QStringList &headers);

    // Adds a record line read from a file. A malformed line fills the key column alone; the
    // return value says whether the line was well formed. Added lines are held back until
    // flush(), which shows them all in one insertion.
    bool appendLine(QByteArrayView line);
    void flush();

    void clear();
    void removeRecord(int row);
    void setRecord(int row, const Record &r);

    // The six texts of a row, as extracted from its line.
    Record record(int row) const;
    QString cell(int row, int column) const;
    // The record line of a row, exactly as it was read (or last set).
    QString line(int row) const;
    // The same as stored, Windows-1252; valid until the rows change.
    QByteArrayView lineBytes(int row) const;

private:
    struct Row
    {
        qsizetype offset = 0; // in arena_
        qsizetype length = 0;
        std::array<qint32, 5> separators{}; // positions of @ [ ] # §, relative to offset; -1 when malformed
    };

    QByteArrayView bytes(const Row &r) const { return QByteArrayView(arena_).sliced(r.offset, r.length); }

    QByteArray arena_;
    std::vector<Row> rows_;
    int shown_ = 0;
    QStringList headers_;
};
