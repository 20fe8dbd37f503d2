#include "archiver/main/grid_model.h"
#include "archiver/store/record.h"
#include "common/text/cp1252.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>

#include <algorithm>

#include <gtest/gtest.h>

// Lines of every length up to past two SIMD widths, with each separator missing in turn and at
// every place, and enough rows to fill several of the model's storage blocks, twice (the second
// time over the room the first left): each row keeps its bytes, its well-formedness and its
// cells as record::fieldOf gives them, and an edited row reads back as set.
TEST(GridModel, KeepsEveryRowThroughGrowthClearingAndEditing)
{
    GridModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const quint32 seed = QRandomGenerator::global()->generate();
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    QRandomGenerator rng(seed);
    const QByteArray alphabet = "ABC xyz\xE9\xC9" "01-";

    QList<QByteArray> lines;
    for (int round = 0; round < 2; ++round) {
        lines.clear();
        // Short lines with every separator in place or missing, then many long ones.
        for (int length = 5; length < 60; ++length)
            for (int missing = -1; missing < 5; ++missing) {
                QByteArray line;
                for (int i = 0; i < length; ++i) line.append(alphabet[rng.bounded(int(alphabet.size()))]);
                for (int k = 0; k < 5; ++k)
                    if (k != missing) line[rng.bounded(length)] = record::kSeparatorBytes[k];
                lines.append(line);
            }
        const QByteArray wellFormed = "ROSE DES SABLES@01-02-2003[CD]FLEURS#NOTE\xA7/home/img/rose.jpg";
        while (lines.size() < 60000) lines.append(wellFormed + QByteArray(rng.bounded(0, 150), 'x'));

        model.clear();
        for (const QByteArray &line : lines) {
            bool expected = true;
            for (const char separator : record::kSeparatorBytes) expected = expected && line.contains(separator);
            ASSERT_EQ(model.appendLine(line), expected) << line.constData();
        }
        model.flush();
        ASSERT_EQ(model.rowCount(), lines.size());
        for (int row = 0; row < lines.size(); row += row < 400 ? 1 : 97) {
            const QByteArray &line = lines[row];
            ASSERT_EQ(model.lineBytes(row), line);
            const bool ok = std::all_of(std::begin(record::kSeparatorBytes), std::end(record::kSeparatorBytes),
                                        [&](char c) { return line.contains(c); });
            for (int column = 0; column < GridModel::kColumns; ++column) {
                const QString expected = ok ? cp1252::decode(record::fieldOf(line, GridModel::kFieldOfColumn[size_t(column)]))
                                            : column == 0 ? cp1252::decode(line) : QString();
                ASSERT_EQ(model.cell(row, column), expected) << "row " << row << " column " << column;
            }
        }
    }

    const Record edited{QStringLiteral("ÉTÉ"), QStringLiteral("01-01-2001"), QString(), QStringLiteral("TEXTES"),
                        QStringLiteral("une note"), QStringLiteral("/tmp/été.txt")};
    model.setRecord(3, edited);
    EXPECT_EQ(model.record(3), edited);
    EXPECT_EQ(model.line(3), record::compose(edited));
    EXPECT_EQ(model.lineBytes(4), lines[4]); // the others stay as they were
}
