#include "archiver/operations/print_list.h"

#include "tests/support/test_folder.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

const QList<Record> kRows = {
    {QStringLiteral("ROSE"), QStringLiteral("01-02-2003"), QStringLiteral("CD1"), QStringLiteral("FLEURS"),
     QStringLiteral("ROUGE_ET BLANC"), QStringLiteral("/img/rose.jpg")},
    {QStringLiteral("LYS"), QStringLiteral("1"), QString(), QStringLiteral("FLEURS"), QString(), QString()},
};

} // namespace

// The list in columns: each chosen column (one may come twice) cut or filled to its width with
// the first character of the fill text, an empty cell filled too, so that every column starts
// at its place; one blank between columns; dashes under each record, as wide as its line.
TEST(PrintList, ColumnsAreFilledToTheirWidths)
{
    const struct
    {
        const char *name;
        printlist::Columns layout;
        QString body;
    } cases[] = {
        {"key twice, note cut",
         {{0, 1, 0}, {5, 8, 2}, QStringLiteral(".-"), false},
         QStringLiteral("ROSE. ROUGE_ET RO\r\nLYS.. ........ LY\r\n")},
        {"empty cells keep their columns",
         {{3, 5, 4}, {4, 3, 6}, QString(), false},
         QStringLiteral("CD1  /im FLEURS\r\n         FLEURS\r\n")},
        {"dashes of the line's width",
         {{4, 3}, {3, 2}, QString(), true},
         QStringLiteral("FLE CD\r\n------\r\nFLE   \r\n------\r\n")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(printlist::columns(kRows, c.layout, QStringLiteral("H")), QStringLiteral("H\r\n\r\n") + c.body);
        EXPECT_EQ(printlist::totalWidth(c.layout), c.body.indexOf(u'\r'));
    }
    EXPECT_EQ(printlist::headerLine(QStringLiteral("ROSE"), QStringLiteral("07-12-2026"), 2, QStringLiteral(" fiche(s)")),
              QStringLiteral("ROSE , 07-12-2026 ,  2 fiche(s)"));
    EXPECT_EQ(printlist::widest(kRows, 1), 14);
    for (const auto &[total, notice] : std::initializer_list<std::pair<int, QString>>{
             {96, QStringLiteral("fits")}, {100, QStringLiteral("wide\r\n")}, {140, QStringLiteral("wide\r\ntoo wide")}})
        EXPECT_EQ(printlist::widthNotice(total, QStringLiteral("fits"), QStringLiteral("wide"), QStringLiteral("too wide")),
                  notice);
}

// Record cards with each option; a note's parts on lines of their own, followed by an empty line.
TEST(PrintList, CardsFollowTheirOptions)
{
    const QStringList labels{QStringLiteral("K"), QStringLiteral("N"), QStringLiteral("D"),
                             QStringLiteral("S"), QStringLiteral("C"), QStringLiteral("T")};
    const struct
    {
        const char *name;
        printlist::Cards layout;
        QString text;
    } cases[] = {
        {"plain", {{0, 1}, false, false, false, {}},
         QStringLiteral("ROSE\r\nROUGE\r\nET BLANC\r\n\r\n\r\nLYS\r\n\r\n\r\n")},
        {"everything", {{0}, true, true, true, labels},
         QStringLiteral("H\r\n1\r\nK: ROSE\r\n") + QString(40, u'-') + QStringLiteral("\r\n2\r\nK: LYS\r\n") + QString(40, u'-')
             + QStringLiteral("\r\n")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(printlist::cards(kRows, c.layout, QStringLiteral("H")), c.text);
    }
}

TEST(PrintList, TheListFileIsWrittenWholeOrNotAtAll)
{
    TestFolder folder;
    folder.write(QStringLiteral("LISTE.TXT"), "old");
    QString error;
    const auto path = printlist::save(folder.path(), QStringLiteral("CLÉ\r\n"), &error);
    ASSERT_TRUE(path) << error.toStdString();
    EXPECT_EQ(*path, folder.file(QStringLiteral("LISTE.TXT"))); // the existing spelling
    EXPECT_EQ(folder.read(QStringLiteral("LISTE.TXT")), QByteArray("CL\xC9\r\n"));
    EXPECT_FALSE(printlist::save(folder.path(), QStringLiteral("漢"), &error));
    EXPECT_EQ(folder.read(QStringLiteral("LISTE.TXT")), QByteArray("CL\xC9\r\n"));
}
