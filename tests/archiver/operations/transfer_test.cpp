#include "archiver/operations/transfer.h"

#include "archiver/operations/batch.h"
#include "archiver/store/undo.h"

#include "tests/support/test_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

#include <gtest/gtest.h>

namespace {

// "letter:line" for every line taken, sorted.
QList<QByteArray> lettersOf(const transfer::Reading &r)
{
    QList<QByteArray> out;
    for (auto it = r.lines.begin(); it != r.lines.end(); ++it)
        for (const QByteArray &l : it.value()) out.append(QByteArray(1, char(it.key().unicode())) + ':' + l);
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

// Which lines of a file of records are taken, and where the third rejected line stops.
TEST(Transfer, RecordFilesTakeOnlyRecordLinesUpToTheThirdRejected)
{
    const struct
    {
        const char *name;
        QByteArray file;
        QList<QByteArray> taken;
        int rejected;
        bool abandoned;
    } cases[] = {
        {"three empty lines first", "\r\n\r\n\r\nA@1[]X#\xA7\r\n", {}, 3, true},
        {"lower case, accented capital, no section mark", "a@1[]X#\xA7\r\n\xC9T\xC9@1[]X#\xA7\r\nB@1[]X#\r\nC@1[]X#\xA7\r\n",
         {}, 3, true},
        {"two rejected among good ones", "1@[]#\xA7\r\nx\r\nZOO@1[]X#N\xA7t\r\n\r\nZ2@1[CD]X#\xA7\n",
         {"1:1@[]#\xA7", "Z:Z2@1[CD]X#\xA7", "Z:ZOO@1[]X#N\xA7t"}, 2, false},
        {"binary", QByteArray("\x7F" "ELF\x02\x01\x00\x00\r\n\x00\x00\xA7#@[]\n\xFF\xFE\x00\n", 21) + "A@1[]X#\xA7\r\n",
         {}, 3, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        folder.write(QStringLiteral("in.MFI"), c.file);
        const transfer::Reading r = transfer::readRecords(folder.file(QStringLiteral("in.MFI")));
        EXPECT_TRUE(r.error.isEmpty());
        EXPECT_EQ(lettersOf(r), c.taken);
        EXPECT_EQ(r.accepted, c.taken.size());
        EXPECT_EQ(r.rejected, c.rejected);
        EXPECT_EQ(r.abandoned, c.abandoned);
    }
}

// A list of "key#note" lines becomes records of one category, read as UTF-8 or as Windows-1252;
// lines a record could not hold are rejected.
TEST(Transfer, ListsBecomeRecordsOfTheChosenCategory)
{
    const QByteArray expected = "CL\xC9@07-12-2026[]DIVERS#VOIR PAGE 3\xA7";
    const struct
    {
        const char *name;
        QByteArray file;
        QList<QByteArray> taken;
        int rejected;
    } cases[] = {
        {"UTF-8 with its mark", "\xEF\xBB\xBF" "cl\xC3\xA9#voir page 3\r\n\r\n", {"C:" + expected}, 0},
        {"Windows-1252", "cl\xE9#voir page 3\n", {"C:" + expected}, 0},
        {"bad lines", "\xC3\xA9t\xC3\xA9#x\r\nno hash\r\nA#B\xC2\xA7\r\n", {}, 3},
        {"fields shifted, foreign text, too long",
         "D#ok\r\nA@B#x\r\nB#\xE6\xBC\xA2\r\nC#" + QByteArray(260, 'n') + "\r\nE#after\r\n", {"D:D@07-12-2026[]DIVERS#OK\xA7"}, 3},
        {"binary", QByteArray("\x00\x01#\x02\n\x1B[0m#x\n\xFF\xD8\xFF\xE0#\x00\n", 18) + "F#after\r\n", {}, 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        folder.write(QStringLiteral("in.txt"), c.file);
        const transfer::Reading r =
            transfer::readList(folder.file(QStringLiteral("in.txt")), QStringLiteral("07-12-2026"), QStringLiteral("DIVERS"));
        EXPECT_TRUE(r.error.isEmpty()) << r.error.toStdString();
        EXPECT_EQ(lettersOf(r), c.taken);
        EXPECT_EQ(r.rejected, c.rejected);
    }
}

// What cannot be read or written is said, and nothing is half done.
TEST(Transfer, UnreadableSourcesAndUnwritableExportsAreSaid)
{
    TestFolder folder;
    QDir().mkpath(folder.file(QStringLiteral("folder.MFI")));
    for (const QString &name : {QStringLiteral("folder.MFI"), QStringLiteral("missing.MFI")}) {
        EXPECT_FALSE(transfer::readRecords(folder.file(name)).error.isEmpty());
        EXPECT_FALSE(transfer::readList(folder.file(name), QString(), QStringLiteral("X")).error.isEmpty());
    }

    QString error;
    ASSERT_TRUE(transfer::exportLines(folder.file(QStringLiteral("none.MFI")), {}, &error));
    EXPECT_EQ(folder.read(QStringLiteral("none.MFI")), QByteArray());
    ASSERT_TRUE(transfer::exportLines(folder.file(QStringLiteral("two.MFI")),
                                      {QStringLiteral("CLÉ@1[]X#N§"), QStringLiteral("B@1[]X#§")}, &error));
    EXPECT_EQ(folder.read(QStringLiteral("two.MFI")), QByteArray("CL\xC9@1[]X#N\xA7\r\nB@1[]X#\xA7\r\n"));
    folder.write(QStringLiteral("kept.MFI"), "OLD\r\n");
    EXPECT_FALSE(transfer::exportLines(folder.file(QStringLiteral("kept.MFI")), {QStringLiteral("漢@1[]X#§")}, &error));
    EXPECT_EQ(folder.read(QStringLiteral("kept.MFI")), QByteArray("OLD\r\n"));
    EXPECT_FALSE(transfer::exportLines(folder.file(QStringLiteral("folder.MFI")), {QStringLiteral("A@1[]X#§")}, &error));
    EXPECT_FALSE(error.isEmpty());
}

// An import larger than the memory it may hold waits in sorted runs, merged into the letter files
// as they are written: the catalogue comes out byte for byte as the import held in memory makes
// it, into files that held records already and files that did not, the undo puts it all back, and
// the runs go with the reading.
TEST(Transfer, AnImportOutgrowingItsMemoryGivesTheSameCatalogue)
{
    QByteArray import, existing;
    for (int i = 0; i < 2000; ++i) {
        const char letter = "ABZ9"[i % 4];
        import += letter + QByteArray("MPORT ") + QByteArray::number((i * 7919) % 2000) + "@1[]X#N\xA7\r\n";
        if (i % 3 == 0) existing += "A" + QByteArray("NCIEN ") + QByteArray::number(i) + "@1[]X#\xA7\r\n";
    }
    QMap<QString, QByteArray> results[2];
    QString spool;
    for (const int budget : {0, 1}) {
        TestFolder folder;
        folder.write(QStringLiteral("import.MFI"), import);
        folder.write(QStringLiteral("A.MFI"), existing);
        const Catalogue catalogue(folder.path());
        ASSERT_TRUE(catalogue.TrierFichierCourant(folder.lock(), folder.file(QStringLiteral("A.MFI")), nullptr));
        const QByteArray sortedExisting = folder.read(QStringLiteral("A.MFI"));
        {
            const transfer::Reading read =
                transfer::readRecords(folder.file(QStringLiteral("import.MFI")), budget ? 4096 : transfer::kMemoryBudget);
            ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
            EXPECT_EQ(read.accepted, 2000);
            EXPECT_EQ(read.runs.isEmpty(), budget == 0);
            if (budget) {
                EXPECT_GT(read.runs.value(u'A').size(), 10);
                spool = read.spool->path();
            }
            const batch::Plan plan{QStringLiteral("import"), {}, read.lines, read.runs, read.runLines};
            EXPECT_EQ(batch::preview(catalogue, plan).records, 2000);
            const batch::Outcome done = batch::apply(catalogue, folder.lock(), plan);
            ASSERT_TRUE(done.ok) << done.error.toStdString();
            EXPECT_EQ(done.counts.records, 2000);
        }
        if (budget) { EXPECT_FALSE(QFileInfo::exists(spool)); }
        for (const QString &name : {QStringLiteral("A.MFI"), QStringLiteral("B.MFI"), QStringLiteral("Z.MFI"), QStringLiteral("9.MFI")})
            results[budget].insert(name, folder.read(name));
        QString title, error;
        ASSERT_TRUE(undo::undoLast(folder.lock(), folder.path(), &title, &error)) << error.toStdString();
        EXPECT_EQ(folder.read(QStringLiteral("A.MFI")), sortedExisting);
        EXPECT_FALSE(folder.exists(QStringLiteral("B.MFI")) && !folder.read(QStringLiteral("B.MFI")).isEmpty());
    }
    EXPECT_EQ(results[1], results[0]);
    EXPECT_EQ(results[0].value(QStringLiteral("A.MFI")).count('\n'), 500 + 667);
}
