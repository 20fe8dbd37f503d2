#include "archiver/operations/global_search.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include "tests/support/test_folder.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

struct Found
{
    SearchCounts counts;
    QList<QByteArray> lines;
};

Found search(const TestFolder &folder, const QString &text, record::Field field = record::Field::All)
{
    Found f;
    f.counts = RechercheGlobale(Catalogue(folder.path()), text, field,
                                [&](QByteArrayView l) { f.lines.append(l.toByteArray()); });
    return f;
}

} // namespace

TEST(GlobalSearch, FindsTextAnywhereInTheLineWithoutCaseInLetterOrder)
{
    TestFolder folder;
    folder.write(QStringLiteral("Z.MFI"), "ZEN@1[]#ROSE DES SABLES\xA7\r\n");
    folder.write(QStringLiteral("L.MFI"), "LA ROSE ROUGE@1[]FLEURS#\xA7\r\nLE LYS@1[]FLEURS#\xA7\r\n");
    folder.write(QStringLiteral("2.MFI"), "2 ROSES@1[]#\xA7/img/rose.jpg\r\n");
    folder.write(QStringLiteral("R.MFI"), "RAPPORT@1[]#\xA7/docs/Rosemonde.txt\r\n");
    const Found f = search(folder, QStringLiteral("ROSE"));
    EXPECT_EQ(f.counts.found, 4);
    EXPECT_EQ(f.counts.total, 5);
    // A line holding the text twice is handed over once; files come in letter-list order.
    EXPECT_EQ(f.lines, (QList<QByteArray>{"2 ROSES@1[]#\xA7/img/rose.jpg", "LA ROSE ROUGE@1[]FLEURS#\xA7",
                                          "RAPPORT@1[]#\xA7/docs/Rosemonde.txt", "ZEN@1[]#ROSE DES SABLES\xA7"}));
}

TEST(GlobalSearch, FoldsTheCaseOfAccentedLettersAndSpansSeparators)
{
    TestFolder folder;
    folder.write(QStringLiteral("E.MFI"), "\xC9T\xC9 INDIEN@01-02-2003[]#\xA7\r\n"
                                          "ECOLE@01-02-2003[]#\x9C" "UVRES\xA7\r\n");
    EXPECT_EQ(search(folder, QStringLiteral("été")).counts.found, 1);
    EXPECT_EQ(search(folder, QStringLiteral("ÉTÉ")).counts.found, 1);
    EXPECT_EQ(search(folder, QStringLiteral("œuvres")).counts.found, 1);
    EXPECT_EQ(search(folder, QStringLiteral("ŒUVRES")).counts.found, 1);
    EXPECT_EQ(search(folder, QStringLiteral("INDIEN@01")).counts.found, 1);
    EXPECT_EQ(search(folder, QStringLiteral("ETE")).counts.found, 0); // accents still count
}

TEST(GlobalSearch, CountsNonEmptyLinesOfEveryShape)
{
    TestFolder folder;
    // Blank lines (CR LF, LF), LF-only lines, a malformed line, a missing final line
    // end, and a file of length 0.
    folder.write(QStringLiteral("A.MFI"), "\r\n\nA1@[]#\xA7\nA2@[]#\xA7\r\n\r\n\r\nMALFORMEE\r\nA3@[]#\xA7");
    folder.write(QStringLiteral("B.MFI"), "");
    folder.write(QStringLiteral("C.MFI"), "\n\n\n");
    const Found f = search(folder, QStringLiteral("A"));
    EXPECT_EQ(f.counts.total, 4);
    EXPECT_EQ(f.lines, (QList<QByteArray>{"A1@[]#\xA7", "A2@[]#\xA7", "MALFORMEE", "A3@[]#\xA7"}));
    EXPECT_EQ(search(folder, QStringLiteral("XYZ")).counts.total, 4);
    // A text the code page cannot hold finds nothing but the lines are still counted.
    const Found none = search(folder, QStringLiteral("Ł"));
    EXPECT_EQ(none.counts.found, 0);
    EXPECT_EQ(none.counts.total, 4);
}

TEST(GlobalSearch, ComparesOneFieldWhenAsked)
{
    TestFolder folder;
    folder.write(QStringLiteral("M.MFI"), "MER@01-05-2004[CD MER]MARINE#NOTE MER\xA7/mer.jpg\r\n"
                                          "MONT@02-05-2004[]PAYSAGE#\xA7/mont.jpg\r\n"
                                          "MALFORMEE MER\r\n");
    using F = record::Field;
    EXPECT_EQ(search(folder, QStringLiteral("MER"), F::All).counts.found, 2);
    EXPECT_EQ(search(folder, QStringLiteral("MER"), F::Key).counts.found, 1);
    EXPECT_EQ(search(folder, QStringLiteral("05-2004"), F::Date).counts.found, 2);
    EXPECT_EQ(search(folder, QStringLiteral("CD"), F::Support).counts.found, 1);
    EXPECT_EQ(search(folder, QStringLiteral("PAYS"), F::Category).counts.found, 1);
    EXPECT_EQ(search(folder, QStringLiteral("NOTE"), F::Note).counts.found, 1);
    EXPECT_EQ(search(folder, QStringLiteral(".JPG"), F::Target).counts.found, 2);
    EXPECT_EQ(search(folder, QStringLiteral("MER"), F::Target).counts.total, 3);
    // An empty text is found in every line whose compared field is not empty.
    EXPECT_EQ(search(folder, QString(), F::Support).counts.found, 1);
    EXPECT_EQ(search(folder, QString(), F::All).counts.found, 3);
}

TEST(GlobalSearch, AgreesWithAPlainScanOnRandomFilesForTheLineAndEveryField)
{
    // Random lines over a small alphabet, with lines long enough to cross the reader's pieces
    // and the blocks of the scan at every offset, and texts found once, several times or in
    // every line: the fast scan must find exactly the lines a plain comparison finds, in the same
    // order, and count the same lines, for the whole line and for each field. Lines over the
    // length limit, whether or not they fit in one piece of the reader, count by their first part.
    TestFolder folder;
    const quint32 seed = QRandomGenerator::global()->generate();
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    QRandomGenerator rng(seed);
    const QByteArray alphabet = "roseROSE \xE9\xC9\r@[]#\xA7xy";
    QByteArray content;
    for (int i = 0; i < 4000; ++i) {
        const int kind = rng.bounded(200);
        qsizetype length = kind < 10   ? 0
                           : kind < 11 ? rng.bounded(300000, 400000)
                           : kind < 15 ? rng.bounded(60000, 70000)
                           : kind < 40 ? rng.bounded(100, 300)
                                       : rng.bounded(1, 90);
        QByteArray line;
        for (qsizetype j = 0; j < length; ++j)
            line.append(alphabet[rng.bounded(int(alphabet.size()))]);
        line.replace('\r', 'x');
        content += line + (rng.bounded(2) ? "\r\n" : "\n");
    }
    content.chop(rng.bounded(2)); // sometimes no final line end
    folder.write(QStringLiteral("R.MFI"), content);

    QList<QByteArray> lines; // non-empty, cut to the limit
    for (QByteArray line : content.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (!line.isEmpty()) lines.append(line.left(linefile::kMaxLineLength));
    }

    using F = record::Field;
    for (const QString &text : {QStringLiteral("ROSE"), QStringLiteral("É"), QStringLiteral("SE ÉR"),
                                QStringLiteral("R"), QStringLiteral("@[]"), QString()}) {
        const auto needle = cp1252::encode(text);
        const FoldedFinder finder(*needle);
        for (const F field : {F::All, F::Key, F::Date, F::Support, F::Category, F::Note, F::Target}) {
            QList<QByteArray> expected;
            for (const QByteArray &line : lines) {
                QByteArray upperPart = record::fieldOf(line, field).toByteArray();
                for (char &c : upperPart)
                    c = char(cp1252::upperTable()[static_cast<unsigned char>(c)]);
                // An empty text is found in any part that is not empty.
                if (!upperPart.isEmpty() && upperPart.contains(finder.needle())) expected.append(line);
            }
            for (const bool narrow : {false, true}) {
                if (narrow) qputenv("TALVO_SCAN_SSE2", "1");
                const Found f = search(folder, text, field);
                qunsetenv("TALVO_SCAN_SSE2");
                const auto where = ::testing::Message() << text.toStdString() << " field " << int(field)
                                                        << " narrow " << narrow;
                EXPECT_EQ(f.counts.total, lines.size()) << where;
                EXPECT_EQ(f.counts.found, expected.size()) << where;
                EXPECT_TRUE(f.lines == expected) << where;
            }
        }
    }
}
