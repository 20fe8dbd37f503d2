#include "archiver/operations/transfer.h"

#include "tests/support/test_folder.h"

#include <QDir>

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
