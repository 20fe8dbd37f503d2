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
        const char *data = nullptr; // in arena_
        qint32 length = 0;
        bool wellFormed = false;
    };

    // The rows' bytes, in large blocks that stay when the grid is emptied: the next search
    // writes over them instead of asking the system for fresh pages, and a block never moves,
    // so a growing grid copies nothing.
    class Arena
    {
    public:
        Arena() = default;
        Arena(const Arena &) = delete;
        Arena &operator=(const Arena &) = delete;
        ~Arena();
        const char *add(QByteArrayView bytes);
        void clear();

    private:
        struct Block
        {
            char *data;
            qsizetype size;
        };
        std::vector<Block> blocks_;
        std::size_t current_ = 0; // the block being filled
        qsizetype used_ = 0;      // bytes of it
    };

    static QByteArrayView bytes(const Row &r) { return QByteArrayView(r.data, r.length); }
    Row addRow(QByteArrayView bytes);

    Arena arena_;
    std::vector<Row> rows_;
    int shown_ = 0;
    QStringList headers_;
};

