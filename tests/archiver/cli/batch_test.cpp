#include "tests/support/test_folder.h"

#include <QMap>

#include <gtest/gtest.h>

namespace {

QMap<QString, QByteArray> letterFiles(const TestFolder &folder)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : folder.entries())
        if (name.endsWith(QLatin1String(".MFI")) || name.startsWith(QLatin1String("TALVO.")))
            files.insert(name, folder.read(name));
    return files;
}

} // namespace

// A script's round: what an operation would change, the change, its undoing; imports of both
// kinds, their rejected lines said; bad arguments refused before anything is read.
TEST(CliBatch, OperationsPreviewApplyAndUndo)
{
    TestFolder folder;
    folder.copyShipped(QStringLiteral("francais.lng"));
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    folder.write(QStringLiteral("R.MFI"), "ROME 2@1[CD2]VILLES#\xA7\r\nROME@1[]VILLES#\xA7\r\n");
    folder.write(QStringLiteral("V.MFI"), "VOYAGE@1[]X#ROME\xA7\r\n");
    const auto before = letterFiles(folder);

    CliRun r = runCli(folder, {QStringLiteral("give-support"), QStringLiteral("ROME"), QStringLiteral("cd1"),
                               QStringLiteral("--dry-run")});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_EQ(r.outText(), QStringLiteral("2 fiche(s) dans 2 fichier(s)\n"));
    EXPECT_EQ(letterFiles(folder), before);

    r = runCli(folder, {QStringLiteral("give-support"), QStringLiteral("ROME"), QStringLiteral("cd1")});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_EQ(folder.read(QStringLiteral("R.MFI")), QByteArray("ROME 2@1[CD2]VILLES#\xA7\r\nROME@1[CD1]VILLES#\xA7\r\n"));
    r = runCli(folder, {QStringLiteral("undo")});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_EQ(letterFiles(folder), before);
    r = runCli(folder, {QStringLiteral("undo")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.errText(), QStringLiteral("Aucune opération à annuler.\n"));

    // Within one field: the support emptied where it is exactly CD2.
    r = runCli(folder, {QStringLiteral("replace-all"), QStringLiteral("--field"), QStringLiteral("support"),
                        QStringLiteral("cd2"), QString()});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_EQ(folder.read(QStringLiteral("R.MFI")), QByteArray("ROME 2@1[]VILLES#\xA7\r\nROME@1[]VILLES#\xA7\r\n"));
    ASSERT_EQ(runCli(folder, {QStringLiteral("undo")}).exitCode, 0);

    folder.write(QStringLiteral("in.MFI"), "BATEAU@1[]X#\xA7\r\nmauvaise\r\nZOO@1[]Y#\xA7\r\n");
    r = runCli(folder, {QStringLiteral("import"), folder.file(QStringLiteral("in.MFI"))});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_EQ(r.outText(), QStringLiteral("2 fiche(s) dans 2 fichier(s)\n"));
    EXPECT_EQ(r.errText(), QStringLiteral("1 ligne(s) rejetée(s)\n"));
    EXPECT_TRUE(folder.read(QStringLiteral("B.MFI")).contains("BATEAU@1[]X#\xA7\r\n"));

    folder.write(QStringLiteral("in.txt"), "caf\xC3\xA9#noir\n");
    r = runCli(folder, {QStringLiteral("import-list"), folder.file(QStringLiteral("in.txt")), QStringLiteral("boissons")});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_TRUE(folder.read(QStringLiteral("C.MFI")).contains("CAF\xC9@")) << folder.read(QStringLiteral("C.MFI")).toStdString();
    EXPECT_TRUE(folder.read(QStringLiteral("TALVO.CAT")).contains("BOISSONS\r\n"));

    const auto now = letterFiles(folder);
    for (const QStringList &bad : {QStringList{QStringLiteral("replace-all"), QStringLiteral("A")},
                                   QStringList{QStringLiteral("replace-all"), QString(), QStringLiteral("B")},
                                   QStringList{QStringLiteral("replace-all"), QStringLiteral("--field"), QStringLiteral("date"),
                                               QStringLiteral("1"), QStringLiteral("2")},
                                   QStringList{QStringLiteral("remove-support"), QStringLiteral("X"), QStringLiteral("--all")}}) {
        SCOPED_TRACE(bad.join(u' ').toStdString());
        EXPECT_EQ(runCli(folder, bad).exitCode, 2);
    }
    EXPECT_EQ(runCli(folder, {QStringLiteral("import"), folder.file(QStringLiteral("missing.MFI"))}).exitCode, 1);
    EXPECT_EQ(letterFiles(folder), now);
}

// The analysis from a script: each broken line on stderr with its file, the summary on stdout,
// the category list rebuilt from the records; arguments and a folder without a catalogue refused.
TEST(CliBatch, AnalyseReportsBrokenLinesAndRebuildsTheLists)
{
    TestFolder folder;
    folder.copyShipped(QStringLiteral("francais.lng"));
    EXPECT_EQ(runCli(folder, {QStringLiteral("analyse")}).exitCode, 1); // no catalogue yet
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    for (const QString &name : folder.entries())
        if (name.endsWith(QLatin1String(".MFI"))) folder.write(name, "");
    folder.write(QStringLiteral("R.MFI"), "ROME@1[CD2]VILLES#\xA7\r\nROUTE@1[]A\r\n");

    CliRun r = runCli(folder, {QStringLiteral("analyse")});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_TRUE(r.errText().endsWith(QStringLiteral("R.MFI: ROUTE@1[]A\n"))) << r.errText().toStdString();
    EXPECT_TRUE(r.outText().contains(QStringLiteral("1 catégorie(s)"))) << r.outText().toStdString();
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.CAT")), QByteArray("VILLES\r\n"));
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.SUP")), QByteArray("CD2\r\n"));
    EXPECT_TRUE(folder.exists(QStringLiteral("talvo_cat.bak")));
    EXPECT_TRUE(folder.read(QStringLiteral("bilan.txt")).contains("ROUTE@1[]A"));

    EXPECT_EQ(runCli(folder, {QStringLiteral("analyse"), QStringLiteral("now")}).exitCode, 2);
}
