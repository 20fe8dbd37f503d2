#include "archiver/operations/analysis.h"

#include "archiver/store/undo.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"
#include "tests/support/test_folder.h"

#include <QFile>


#include <gtest/gtest.h>

#include <optional>


namespace {

// A language file whose message n reads "<n>", so the report shows where each message goes.
void writeLanguage(const TestFolder &folder)
{
    QByteArray lng = "[MSG]\r\n";
    for (int n = 1; n <= 99; ++n) lng += QByteArray::number(n) + "=<" + QByteArray::number(n) + ">\r\n";
    folder.write(QStringLiteral("test.lng"), lng);
}

// The report's section of the names of a list that no record uses.
QByteArray unused(const texts::Text &heading, const char *name)
{
    return *cp1252::encode(texts::get(heading).arg(1)) + "\r\n\r\n        " + name + "\r\n\r\n";
}

struct AnalysisFolder
{
    TestFolder folder;
    ArchiverSession session{folder.path(), QStringLiteral("07-12-2026")};
    AnalysisFolder()
    {
        writeLanguage(folder);
        session.language.setFile(folder.file(QStringLiteral("test.lng")));
    }
};

} // namespace

// One catalogue with every kind of line: the report, the rebuilt lists and the counts.
TEST(Analysis, WritesTheReportAndRebuildsTheLists)
{
    AnalysisFolder run;
    const QByteArray line256 = "AB@1999[CD 1]FLEURS#" + QByteArray(256 - 21, 'n') + "\xA7";
    const QByteArray line257 = "A" + line256;
    ASSERT_EQ(line256.size(), 256);
    run.folder.write(QStringLiteral("A.MFI"),
                     "ALPHA@01-02-2003[CD 1]FLEURS#note\xA7\r\n"
                     "\r\n"
                     "ABC@01-02-2003[]FLEURS#n\xA7" "C:\\x\r\n"
                     "BAD LINE\r\n"
                     "AZ@[CD 1]X#\xA7\r\n"
                     "AY@2005[CD 1]#\xA7\r\n"
                     "AT@01-02[CD 1]ARBRES#\xA7x[y\r\n"
                     "BETA@2004[CD 2]UNIQUE#\xA7\r\n" +
                         line257 + "\r\n" + line256 + "\r\n");
    run.folder.write(QStringLiteral("C.MFI"), "CLELONGUEUNIQUE@01-02-2003[CD 2]FLEURS#\xA7\r\n");
    run.folder.write(QStringLiteral("TALVO.CAT"), "VIEILLE\r\n");
    run.folder.write(QStringLiteral("TALVO.SUP"), "ANCIEN\r\n");
    QString letters;
    QStringList anomalies;
    AnalysisOptions options;
    options.onLetter = [&](QChar c) { letters += c; };
    options.onAnomaly = [&](const AnalysisAnomaly &a) { anomalies << a.file + (a.malformed ? " " : " target ") + a.line; };
    const AnalysisResult r = analyseCatalogue(run.session, options);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(letters, QString::fromLatin1("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    EXPECT_EQ(anomalies, (QStringList{"A.MFI BAD LINE", "A.MFI AZ@[CD 1]X#\u00A7", "A.MFI AY@2005[CD 1]#\u00A7",
                                      "A.MFI target AT@01-02[CD 1]ARBRES#\u00A7x[y"}));
    const QByteArray sizeA = QByteArray::number(QFile(run.folder.file(QStringLiteral("A.MFI"))).size());
    const QByteArray expected =
        "<39>07-12-2026\r\n\r\n"
        "<40> 3\r\n\r\n" // 01-02-2003, 2004, 1999; 01-02 lies inside the first
        "<41>9<17>\r\n\r\n"
        "A.MFI     8<37>" + QByteArray(8 - 1 - sizeA.size(), ' ') + " " + sizeA + "<38>\r\n"
        "C.MFI     1<37>      42<38>\r\n\r\n"
        "<42>1\r\n\r\n"
        "<44>1\r\n<35>A.MFI\r\n\r\n"
        "<46>1\r\n" + line257 + "\r\n\r\n"
        "<47>AB (256<48>)\r\n\r\n"
        "<49>CLELONGUEUNIQUE (15<48>)\r\n\r\n"
        "<51>4\r\nBAD LINE<35>A.MFI\r\nAZ@[CD 1]X#\xA7<35>A.MFI\r\nAY@2005[CD 1]#\xA7<35>A.MFI\r\n"
        "AT@01-02[CD 1]ARBRES#\xA7x[y<35>A.MFI\r\n\r\n"
        "<53>1\r\nBETA<35>A.MFI\r\n\r\n"
        "<54> 3<55> :\r\n\r\n"
        "       4<56>FLEURS\r\n"
        "       1<56>ARBRES<57>\r\n"
        "       1<56>UNIQUE<57>\r\n"
        "\r\n"
        "<54> 3<59> :\r\n\r\n"
        "       3<56>CD 1\r\n"
        "       1<56>\r\n"
        "       2<56>CD 2\r\n"
        "\r\n\r\n" +
        unused(texts::kUnusedCategories, "VIEILLE") + unused(texts::kUnusedSupports, "ANCIEN") +
        "<60>\r\n";
    EXPECT_EQ(run.folder.read(QStringLiteral("bilan.txt")), expected);
    EXPECT_EQ(r.reportPath, run.folder.file(QStringLiteral("bilan.txt")));
    // The old names stay first, the names the records use join them; no empty line.
    EXPECT_EQ(run.folder.read(QStringLiteral("TALVO.CAT")), "VIEILLE\r\nFLEURS\r\nARBRES\r\nUNIQUE\r\n");
    EXPECT_EQ(run.folder.read(QStringLiteral("TALVO.SUP")), "ANCIEN\r\nCD 1\r\nCD 2\r\n");
    EXPECT_EQ(run.folder.read(QStringLiteral("talvo_cat.bak")), "VIEILLE\r\n");
    EXPECT_EQ(run.folder.read(QStringLiteral("talvo_sup.bak")), "ANCIEN\r\n");
    EXPECT_EQ(r.summary.toStdString(), "<61>\n9<17>\n3<55>\n3<59>\n6<62>\n<63>");
}

// No record: both lists stay as they were (not even rewritten), their names reported unused;
// zeros.
TEST(Analysis, AnEmptyCatalogueKeepsBothLists)
{
    AnalysisFolder run;
    run.folder.write(QStringLiteral("A.MFI"), "");
    run.folder.write(QStringLiteral("TALVO.CAT"), "VIEILLE\r\n");
    run.folder.write(QStringLiteral("TALVO.SUP"), "ANCIEN\r\n");
    const AnalysisResult r = analyseCatalogue(run.session);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(run.folder.read(QStringLiteral("TALVO.CAT")), "VIEILLE\r\n");
    EXPECT_EQ(run.folder.read(QStringLiteral("TALVO.SUP")), "ANCIEN\r\n");
    EXPECT_FALSE(run.folder.exists(QStringLiteral("talvo_cat.bak")));
    EXPECT_FALSE(run.folder.exists(QStringLiteral("talvo_sup.bak")));
    EXPECT_EQ(run.folder.read(QStringLiteral("bilan.txt")),
              "<39>07-12-2026\r\n\r\n<40> 0\r\n\r\n<41>0<17>\r\n\r\n\r\n<42>0\r\n\r\n<43>\r\n\r\n"
              "<45>\r\n\r\n<47> (0<48>)\r\n\r\n<49> (0<48>)\r\n\r\n<50>\r\n\r\n<52>\r\n\r\n"
              "<54> 0<55> :\r\n\r\n\r\n<58>\r\n" +
                  unused(texts::kUnusedCategories, "VIEILLE") + unused(texts::kUnusedSupports, "ANCIEN") + "<60>\r\n");
    EXPECT_EQ(r.summary.toStdString(), "<61>\n0<17>\n0<55>\n0<59>\n0<62>\n<63>");
}

// A folder that cannot be written, or whose lock another program keeps: an error, and every
// file as it was.
TEST(Analysis, AFailureChangesNothing)
{
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only folder" : "busy lock");
        AnalysisFolder run;
        run.folder.write(QStringLiteral("A.MFI"), "ALPHA@01-02-2003[CD 1]FLEURS#\xA7\r\n");
        run.folder.write(QStringLiteral("TALVO.CAT"), "VIEILLE\r\n");
        std::optional<files::FolderLock> held;
        qputenv("TALVO_LOCK_WAIT_MS", "50");
        std::optional<Immutable> frozen; // a read-only folder that refuses root too
        if (readOnly) {
            frozen.emplace(run.folder.path());
            if (!frozen->set) GTEST_SKIP() << "chattr +i is refused here";
        } else {
            held.emplace(run.folder.lock());
        }
        const QStringList before = run.folder.entries();
        const AnalysisResult r = analyseCatalogue(run.session);
        frozen.reset();
        qunsetenv("TALVO_LOCK_WAIT_MS");
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(r.summary.isEmpty());
        EXPECT_EQ(run.folder.entries(), before);
        EXPECT_EQ(run.folder.read(QStringLiteral("TALVO.CAT")), "VIEILLE\r\n");
    }
}

// Many distinct categories and supports are each counted once (their speed is the operations
// benchmark's).
TEST(Analysis, ManyDistinctCategoriesAreEachCountedOnce)
{
    AnalysisFolder run;
    QByteArray a;
    for (int i = 0; i < 200000; ++i)
        a += "A" + QByteArray::number(i) + "@01-02-2003[CD " + QByteArray::number(i % 7) + "]CAT" +
             QByteArray::number(i % 50000) + "#\xA7\r\n";
    run.folder.write(QStringLiteral("A.MFI"), a);
    const AnalysisResult r = analyseCatalogue(run.session);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.records, 200000);
    EXPECT_EQ(r.categories, 50000);
    EXPECT_EQ(r.supports, 7);
}

// The lists keep what the user put in them: their old names first, in their order (without empty
// lines or repeats), then the names the records use that they lacked; a name no record uses is
// named in the report and leaves only when pruned. A record whose separators come out of order
// is broken, and its fields count for nothing. Each run is an operation that undo takes back,
// and the report keeps its four earlier versions.
TEST(Analysis, CompletesTheListsAndPrunesOnlyWhenAsked)
{
    const struct
    {
        bool prune;
        QByteArray categories, supports; // the lists after the run
    } cases[] = {
        {false, "VIEILLE\r\nFLEURS\r\nNEUVE\r\n", "CD 2\r\nANCIEN\r\nCD 1\r\n"},
        {true, "FLEURS\r\nNEUVE\r\n", "CD 2\r\nCD 1\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.prune);
        AnalysisFolder run;
        run.folder.write(QStringLiteral("A.MFI"), "ALPHA@01-02-2003[CD 1]NEUVE#\xA7\r\n"
                                                  "AMI@01-02-2003[]FLEURS#\xA7\r\n"
                                                  "AS#X@01-02-2003[CD 9]CACHEE#\xA7\r\n");
        run.folder.write(QStringLiteral("C.MFI"), "CLE@01-02-2003[CD 2]FLEURS#\xA7\r\n");
        const QByteArray categories = "VIEILLE\r\n\r\nFLEURS\r\nVIEILLE\r\n", supports = "CD 2\r\nANCIEN\r\n";
        run.folder.write(QStringLiteral("TALVO.CAT"), categories);
        run.folder.write(QStringLiteral("TALVO.SUP"), supports);
        AnalysisOptions options;
        options.prune = c.prune;
        QStringList broken;
        options.onAnomaly = [&](const AnalysisAnomaly &a) { broken.append(a.line); };
        const AnalysisResult r = analyseCatalogue(run.session, options);
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_EQ(broken, QStringList{QStringLiteral("AS#X@01-02-2003[CD 9]CACHEE#\u00A7")});
        EXPECT_EQ(run.folder.read(QStringLiteral("TALVO.CAT")), c.categories);
        EXPECT_EQ(run.folder.read(QStringLiteral("TALVO.SUP")), c.supports);
        EXPECT_EQ(r.unusedCategories, QStringList{QStringLiteral("VIEILLE")});
        EXPECT_EQ(r.unusedSupports, QStringList{QStringLiteral("ANCIEN")});
        EXPECT_TRUE(run.folder.read(QStringLiteral("bilan.txt")).contains("        ANCIEN\r\n"));
        EXPECT_EQ(run.folder.read(QStringLiteral("talvo_cat.bak")), categories);

        QString title, error;
        ASSERT_TRUE(undo::undoLast(run.folder.lock(), run.folder.path(), &title, &error)) << error.toStdString();
        EXPECT_EQ(title, texts::get(c.prune ? texts::kPruneTitle : texts::kAnalysisTitle));
        EXPECT_EQ(run.folder.read(QStringLiteral("TALVO.CAT")), categories);
        EXPECT_EQ(run.folder.read(QStringLiteral("TALVO.SUP")), supports);
    }

    AnalysisFolder run;
    run.folder.write(QStringLiteral("A.MFI"), "ALPHA@01-02-2003[]FLEURS#\xA7\r\n");
    for (int n = 0; n < 7; ++n) {
        run.folder.write(QStringLiteral("A.MFI"), "ALPHA" + QByteArray::number(n) + "@01-02-2003[]FLEURS#\xA7\r\n");
        ASSERT_TRUE(analyseCatalogue(run.session).ok());
    }
    for (int n = 0; n < 5; ++n) {
        const QString name = n == 0 ? QStringLiteral("bilan.txt") : QStringLiteral("bilan.%1.txt").arg(n);
        EXPECT_TRUE(run.folder.read(name).contains("ALPHA" + QByteArray::number(6 - n) + " ")) << name.toStdString();
    }
    EXPECT_FALSE(run.folder.exists(QStringLiteral("bilan.5.txt")));
}
