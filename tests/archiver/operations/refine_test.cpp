#include "archiver/operations/refine.h"

#include "common/text/cp1252.h"
#include "tests/support/test_folder.h"

#include <QDir>

#include <gtest/gtest.h>

using record::Field;

// The grid's lines go to sel.txt as Windows-1252 CR LF; the lines whose chosen field holds the
// text, letter case as typed, are kept; a field without its separators is empty.
TEST(Refine, KeepsTheLinesWhoseFieldHoldsTheText)
{
    const QStringList grid = {
        QStringLiteral("LA ROSE@01-02-2003[CD 1]FLEURS#été rose\u00A7C:\\PHOTOS\\rose.jpg"),
        QStringLiteral("LE LYS@01-02-2003[CD 1]FLEURS#lys blanc\u00A7"),
        QStringLiteral("TULIPE@05-06-2007[ZIP]BULBES#rose pâle\u00A7"),
        QStringLiteral("ROSIER@05-06-2007[]ARBUSTES#\u00A7D:\\IMAGES\\rosier.png"),
        QStringLiteral("DAHLIA@01-02-2003[CD 2]FLEURS#Rose\u00A7"),
        QStringLiteral("IRIS@01-02-2003[CD 2]FLEURS#bleu\u00A7"),
        QStringLiteral("PENSEE@09-09-2009[DVD]FLEURS#roses#\u00A7"),
        QStringLiteral("MUGUET@01-05-2001[CD 3]FLEURS#blanc\u00A7"),
        QStringLiteral("SANS SEPARATEURS rose"),
        QStringLiteral("ORCHIDEE@01-02-2003[CD 3]SERRE#\u00A7"),
        QStringLiteral("CACTUS@01-02-2003[CD 3]SERRE#épine\u00A7"),
        QStringLiteral("LAURIER ROSE@01-02-2003[CD 4]ARBUSTES#\u00A7"),
    };
    const struct
    {
        Field field;
        QString text;
        QList<int> kept;
    } cases[] = {
        {Field::Note, QStringLiteral("rose"), {0, 2, 6}}, // "Rose" differs; a line without separators has no note
        {Field::Key, QStringLiteral("ROSE"), {0, 11}},
        {Field::Key, QStringLiteral("rose"), {}},
        {Field::Date, QStringLiteral("05-06"), {2, 3}},
        {Field::Support, QStringLiteral("CD 3"), {7, 9, 10}},
        {Field::Category, QStringLiteral("SERRE"), {9, 10}},
        {Field::Target, QStringLiteral("IMAGES"), {3}},
        {Field::Note, QStringLiteral("é"), {0, 10}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString() + " in field " + std::to_string(int(c.field)));
        TestFolder folder;
        QList<QByteArray> bytes;
        for (const QString &line : grid) bytes.append(cp1252::encode(line).value());
        const refine::Result r = refine::run(folder.path(), {bytes.begin(), bytes.end()}, c.field, c.text);
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_EQ(r.read, 12);
        QList<QByteArray> expected;
        for (int i : c.kept) expected << bytes[i];
        EXPECT_EQ(r.kept, expected);
        const QByteArray sel = folder.read(QStringLiteral("sel.txt"));
        EXPECT_TRUE(sel.startsWith("LA ROSE@01-02-2003[CD 1]FLEURS#\xE9t\xE9 rose\xA7" "C:\\PHOTOS\\rose.jpg\r\nLE LYS@"));
        EXPECT_TRUE(sel.endsWith("[CD 4]ARBUSTES#\xA7\r\n"));
    }
}

TEST(Refine, AnUnwritableSelectionFileIsAnError)
{
    TestFolder folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("sel.txt")));
    const refine::Result r = refine::run(folder.path(), {QByteArrayView("A@1[]#\xA7")}, Field::Key, QStringLiteral("A"));
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.kept.isEmpty());
    EXPECT_EQ(r.read, 0);
}
