#include "archiver/store/catalogue.h"
#include "archiver/store/lists.h"
#include "archiver/store/record_entry.h"
#include "common/text/line_file.h"

#include "tests/support/test_folder.h"

#include <QFile>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

QList<QByteArray> scanAll(const Catalogue &c)
{
    QList<QByteArray> lines;
    c.scan([&](QByteArrayView l) { lines.append(l.toByteArray()); });
    return lines;
}

} // namespace

TEST(Catalogue, AppendSortsAndDropsBlankLines)
{
    TestFolder folder;
    const Catalogue c(folder.path());
    QString current, error;
    ASSERT_TRUE(c.append(folder.lock(), QStringLiteral("abc@01-01-2001[]TEXTES#§"), &current, &error)) << error.toStdString();
    EXPECT_EQ(current, folder.file(QStringLiteral("A.MFI")));
    EXPECT_EQ(folder.read(QStringLiteral("A.MFI")), "abc@01-01-2001[]TEXTES#\xA7\r\n");

    folder.write(QStringLiteral("B.MFI"), "BOUEE@x[]#\xA7\r\n\r\n\nBANANE@x[]#\xA7\nBALLON@x[]#\xA7");
    ASSERT_TRUE(c.append(folder.lock(), QStringLiteral("BÉBÉ@x[]#§"), &current, &error));
    EXPECT_EQ(folder.read(QStringLiteral("B.MFI")),
              "BALLON@x[]#\xA7\r\nBANANE@x[]#\xA7\r\nB\xC9" "B\xC9@x[]#\xA7\r\nBOUEE@x[]#\xA7\r\n");
    // A key typed in lower case lands in the upper-case letter file; a digit in its own file.
    ASSERT_TRUE(c.append(folder.lock(), QStringLiteral("3 PETITS CHATS@x[]#§"), &current, &error));
    EXPECT_EQ(current, folder.file(QStringLiteral("3.MFI")));
}

TEST(Catalogue, FindsLetterFilesWhateverTheirCase)
{
    TestFolder folder;
    folder.write(QStringLiteral("c.mfi"), "CHAT@x[]#\xA7\r\n");
    const Catalogue c(folder.path());
    EXPECT_EQ(c.letterFile(u'c'), folder.file(QStringLiteral("c.mfi")));
    QString current, error;
    ASSERT_TRUE(c.append(folder.lock(), QStringLiteral("CANARD@x[]#§"), &current, &error));
    EXPECT_EQ(current, folder.file(QStringLiteral("c.mfi")));
    EXPECT_FALSE(folder.exists(QStringLiteral("C.MFI")));
    EXPECT_EQ(scanAll(c), (QList<QByteArray>{"CANARD@x[]#\xA7", "CHAT@x[]#\xA7"}));
}

TEST(Catalogue, DeleteRemovesEveryIdenticalLineOnly)
{
    TestFolder folder;
    folder.write(QStringLiteral("D.MFI"), "DOUBLE@1[]#\xA7\r\nDOUBLE@1[]#\xA7\r\ndouble@1[]#\xA7\r\nDUO@1[]#\xA7\r\n");
    const Catalogue c(folder.path());
    QString error;
    qsizetype removed = 0;
    ASSERT_TRUE(c.deleteLine(folder.lock(), folder.file(QStringLiteral("D.MFI")), QStringLiteral("DOUBLE@1[]#§"), &error, &removed));
    EXPECT_EQ(removed, 2);
    EXPECT_EQ(folder.read(QStringLiteral("D.MFI")), "double@1[]#\xA7\r\nDUO@1[]#\xA7\r\n");
    ASSERT_TRUE(c.deleteLine(folder.lock(), folder.file(QStringLiteral("D.MFI")), QStringLiteral("ABSENT@[]#§"), &error, &removed));
    EXPECT_EQ(removed, 0);
}

TEST(Catalogue, HandEditedFilesAreReadAndTheirBytesSurviveARewrite)
{
    TestFolder folder;
    const QByteArray longLine = "LONG@x[]#" + QByteArray(300, 'N') + "\xA7";
    const QByteArray odd = "LE \x80 \x81 \x8D \x9F@01-01-2000[]#\xA7/t";
    folder.write(QStringLiteral("L.MFI"), "\r\n" + odd + "\nLIGNE MALFORMEE SANS SEPARATEUR\r\n" + longLine +
                                              "\r\nLA CIBLE@x[]#\xA7\r\n");
    const Catalogue c(folder.path());
    EXPECT_EQ(scanAll(c).size(), 4);
    QString current = folder.file(QStringLiteral("L.MFI")), error;
    ASSERT_TRUE(c.replaceLine(folder.lock(), &current, QStringLiteral("LA CIBLE@x[]#§"), QStringLiteral("LA CIBLE@y[]#§"), &error))
        << error.toStdString();
    const QByteArray after = folder.read(QStringLiteral("L.MFI"));
    EXPECT_TRUE(after.contains(odd + "\r\n"));
    EXPECT_TRUE(after.contains(longLine + "\r\n"));
    EXPECT_TRUE(after.contains("LIGNE MALFORMEE SANS SEPARATEUR\r\n"));
    EXPECT_TRUE(after.contains("LA CIBLE@y[]#\xA7\r\n"));
    EXPECT_FALSE(after.contains("LA CIBLE@x"));
    EXPECT_FALSE(after.startsWith("\r\n"));
}

TEST(Catalogue, ReplaceWithAnotherFirstCharacterMovesTheRecord)
{
    TestFolder folder;
    // The old file is deliberately unsorted: a move leaves it as it is apart from the line.
    folder.write(QStringLiteral("M.MFI"), "MOUTON@1[]#\xA7\r\nMARS@1[]#\xA7\r\nMOUTON@1[]#\xA7\r\n");
    folder.write(QStringLiteral("P.MFI"), "POIRE@1[]#\xA7\r\nPAIN@1[]#\xA7\r\n");
    const Catalogue c(folder.path());
    QString current = folder.file(QStringLiteral("M.MFI")), error;
    ASSERT_TRUE(c.replaceLine(folder.lock(), &current, QStringLiteral("MOUTON@1[]#§"), QStringLiteral("PECHE@1[]#§"), &error));
    EXPECT_EQ(current, folder.file(QStringLiteral("P.MFI")));
    EXPECT_EQ(folder.read(QStringLiteral("M.MFI")), "MARS@1[]#\xA7\r\n");
    EXPECT_EQ(folder.read(QStringLiteral("P.MFI")), "PAIN@1[]#\xA7\r\nPECHE@1[]#\xA7\r\nPOIRE@1[]#\xA7\r\n");
}

TEST(Catalogue, RefusesACharacterTheFilesCannotHold)
{
    TestFolder folder;
    folder.write(QStringLiteral("W.MFI"), "WAGON@1[]#\xA7\r\n");
    const Catalogue c(folder.path());
    QString current, error;
    EXPECT_FALSE(c.append(folder.lock(), QStringLiteral("WROCŁAW@1[]#§"), &current, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Ł")));
    EXPECT_EQ(folder.read(QStringLiteral("W.MFI")), "WAGON@1[]#\xA7\r\n");
}

TEST(Lists, CategoriesRefuseDuplicatesAndSupportsRegisterOnce)
{
    TestFolder folder;
    folder.write(QStringLiteral("talvo.cat"), "TEXTES\r\nWEB\r\n");
    QString error;
    EXPECT_EQ(lists::addCategory(folder.lock(), QStringLiteral("WEB"), &error), lists::AddOutcome::AlreadyPresent);
    EXPECT_EQ(lists::addCategory(folder.lock(), QString(), &error), lists::AddOutcome::Empty);
    EXPECT_EQ(lists::addCategory(folder.lock(), QStringLiteral("FACTURES"), &error), lists::AddOutcome::Added);
    EXPECT_EQ(folder.read(QStringLiteral("talvo.cat")), "TEXTES\r\nWEB\r\nFACTURES\r\n");
    EXPECT_EQ(lists::load(lists::categoryFile(folder.path())),
              (QStringList{QStringLiteral("TEXTES"), QStringLiteral("WEB"), QStringLiteral("FACTURES")}));

    ASSERT_TRUE(lists::registerSupport(folder.lock(), QStringLiteral("CD PHOTOS"), &error));
    ASSERT_TRUE(lists::registerSupport(folder.lock(), QStringLiteral("DISQUETTE 3"), &error));
    ASSERT_TRUE(lists::registerSupport(folder.lock(), QStringLiteral("DISQUETTE 3"), &error));
    ASSERT_TRUE(lists::registerSupport(folder.lock(), QString(), &error));
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.SUP")), "CD PHOTOS\r\nDISQUETTE 3\r\n");
}

TEST(Lists, RebuildKeepsABackupCopy)
{
    TestFolder folder;
    folder.write(QStringLiteral("TALVO.CAT"), "ANCIENNE\r\n");
    QString error;
    ASSERT_TRUE(lists::rebuild(folder.lock(), folder.file(QStringLiteral("TALVO.CAT")), folder.file(QStringLiteral("talvo_cat.bak")),
                               {QStringLiteral("IMAGES"), QStringLiteral("SONS")}, &error));
    EXPECT_EQ(folder.read(QStringLiteral("talvo_cat.bak")), "ANCIENNE\r\n");
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.CAT")), "IMAGES\r\nSONS\r\n");
}

TEST(Catalogue, SortingAFileDropsBlankLinesAndKeepsEqualLinesInOrder)
{
    TestFolder folder;
    folder.write(QStringLiteral("S.MFI"), "SOLEIL@2[]#\xA7\r\n\r\nsel@1[]#\xA7\nSEL@1[]#\xA7\r\n\r\nSABLE@3[]#\xA7\r\n");
    folder.write(QStringLiteral("T.MFI"), "");
    const Catalogue c(folder.path());
    QString error;
    ASSERT_TRUE(c.TrierFichierCourant(folder.lock(), folder.file(QStringLiteral("S.MFI")), &error));
    EXPECT_EQ(folder.read(QStringLiteral("S.MFI")), "SABLE@3[]#\xA7\r\nsel@1[]#\xA7\r\nSEL@1[]#\xA7\r\nSOLEIL@2[]#\xA7\r\n");
    ASSERT_TRUE(c.TrierFichierCourant(folder.lock(), folder.file(QStringLiteral("T.MFI")), &error));
    EXPECT_TRUE(folder.read(QStringLiteral("T.MFI")).isEmpty());
    ASSERT_TRUE(c.TrierFichierCourant(folder.lock(), folder.file(QStringLiteral("X.MFI")), &error));
    EXPECT_FALSE(folder.exists(QStringLiteral("X.MFI")));
}

TEST(RecordEntry, AFailedSaveLeavesTheListsAsTheyWere)
{
    TestFolder folder;
    folder.write(QStringLiteral("TALVO.CAT"), "TEXTES\r\n");
    folder.write(QStringLiteral("G.MFI"), "GARE@1[]#\xA7\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(folder.file(QStringLiteral("G.MFI"))).constData(), 0444), 0);
    const Catalogue c(folder.path());
    const Record r{QStringLiteral("GARE DU NORD"), QStringLiteral("01-01-2001"), QStringLiteral("CLE USB"),
                   QStringLiteral("VOYAGES"), QString(), QString()};
    QString current, error;
    EXPECT_FALSE(entry::store(folder.lock(), c, r, true, &current, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("G.MFI")));
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.CAT")), "TEXTES\r\n");
    EXPECT_FALSE(folder.exists(QStringLiteral("TALVO.SUP")));

    ASSERT_EQ(::chmod(QFile::encodeName(folder.file(QStringLiteral("G.MFI"))).constData(), 0644), 0);
    ASSERT_TRUE(entry::store(folder.lock(), c, r, true, &current, &error)) << error.toStdString();
    EXPECT_EQ(current, folder.file(QStringLiteral("G.MFI")));
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.CAT")), "TEXTES\r\nVOYAGES\r\n");
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.SUP")), "CLE USB\r\n");
    EXPECT_EQ(folder.read(QStringLiteral("G.MFI")), "GARE DU NORD@01-01-2001[CLE USB]VOYAGES#\xA7\r\nGARE@1[]#\xA7\r\n");
}

TEST(Catalogue, NeverRewritesAFileItCannotReadWholeNorWithTheLockOfAnotherFolder)
{
    TestFolder folder, other;
    const QByteArray content = "BALLON@1[]#\xA7\r\n" + QByteArray(linefile::kMaxLineLength + 1, 'B') + "\r\nBOL@1[]#\xA7\r\n";
    folder.write(QStringLiteral("B.MFI"), content);
    const Catalogue c(folder.path());
    QString current = folder.file(QStringLiteral("B.MFI")), error;
    EXPECT_FALSE(c.append(folder.lock(), QStringLiteral("BATEAU@1[]#§"), &current, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("B.MFI")) && error.contains(QStringLiteral("64"))) << error.toStdString();
    EXPECT_FALSE(c.deleteLine(folder.lock(), current, QStringLiteral("BOL@1[]#§"), &error));
    EXPECT_FALSE(c.replaceLine(folder.lock(), &current, QStringLiteral("BOL@1[]#§"), QStringLiteral("BOLS@1[]#§"), &error));
    EXPECT_FALSE(c.TrierFichierCourant(folder.lock(), current, &error));
    EXPECT_EQ(folder.read(QStringLiteral("B.MFI")), content);

    EXPECT_FALSE(c.append(other.lock(), QStringLiteral("CERISE@1[]#§"), &current, &error));
    EXPECT_TRUE(error.contains(other.path())) << error.toStdString();
    EXPECT_FALSE(folder.exists(QStringLiteral("C.MFI")));
}
