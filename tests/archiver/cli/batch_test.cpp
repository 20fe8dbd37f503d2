#include "tests/support/test_folder.h"

#include <QFile>
#include <QPair>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

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

    CliRun r = runCli(folder, {QStringLiteral("support-add"), QStringLiteral("ROME"), QStringLiteral("cd1"),
                               QStringLiteral("--dry-run")});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_EQ(r.outText(), QStringLiteral("2 fiche(s) dans 2 fichier(s)\n"));
    EXPECT_EQ(letterFiles(folder), before);

    r = runCli(folder, {QStringLiteral("support-add"), QStringLiteral("ROME"), QStringLiteral("cd1")});
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
    EXPECT_EQ(r.errText(), QStringLiteral("1 ligne(s) rejetée(s)\nligne 2 : « mauvaise » : commence par « m », pas par "
                                         "un chiffre ou une capitale de A à Z\n"));
    EXPECT_TRUE(folder.read(QStringLiteral("B.MFI")).contains("BATEAU@1[]X#\xA7\r\n"));

    folder.write(QStringLiteral("in.txt"), "caf\xC3\xA9#noir\n");
    r = runCli(folder, {QStringLiteral("import-text"), folder.file(QStringLiteral("in.txt")), QStringLiteral("--category"), QStringLiteral("boissons")});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_TRUE(folder.read(QStringLiteral("C.MFI")).contains("CAF\xC9@")) << folder.read(QStringLiteral("C.MFI")).toStdString();
    EXPECT_TRUE(folder.read(QStringLiteral("TALVO.CAT")).contains("BOISSONS\r\n"));

    const auto now = letterFiles(folder);
    for (const QStringList &bad : {QStringList{QStringLiteral("replace-all"), QStringLiteral("A")},
                                   QStringList{QStringLiteral("replace-all"), QString(), QStringLiteral("B")},
                                   QStringList{QStringLiteral("replace-all"), QStringLiteral("--field"), QStringLiteral("date"),
                                               QStringLiteral("1"), QStringLiteral("2")},
                                   QStringList{QStringLiteral("support-remove"), QStringLiteral("X"), QStringLiteral("--all")}}) {
        SCOPED_TRACE(bad.join(u' ').toStdString());
        EXPECT_EQ(runCli(folder, bad).exitCode, 2);
    }
    EXPECT_EQ(runCli(folder, {QStringLiteral("import"), folder.file(QStringLiteral("missing.MFI"))}).exitCode, 1);
    EXPECT_EQ(letterFiles(folder), now);
}

// The analysis from a script: each broken line on stderr with its file, the summary on stdout,
// the lists completed from the records and pruned only when asked, as an operation that undo
// takes back; arguments and a folder without a catalogue refused.
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
    const QByteArray firstCategories = "TEXTES\r\nSONS\r\nIMAGES\r\nCARNET D'ADRESSES\r\nWEB\r\nE-MAIL\r\n";
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.CAT")), firstCategories + "VILLES\r\n");
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.SUP")), QByteArray("CD2\r\n"));
    EXPECT_TRUE(folder.exists(QStringLiteral("talvo_cat.bak")));
    EXPECT_TRUE(folder.read(QStringLiteral("bilan.txt")).contains("ROUTE@1[]A"));
    EXPECT_TRUE(folder.read(QStringLiteral("bilan.txt")).contains("        CARNET D'ADRESSES\r\n"));

    r = runCli(folder, {QStringLiteral("analyse"), QStringLiteral("--prune")});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.CAT")), QByteArray("VILLES\r\n"));
    EXPECT_TRUE(folder.exists(QStringLiteral("bilan.1.txt"))); // the report before stays
    r = runCli(folder, {QStringLiteral("undo")});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.CAT")), firstCategories + "VILLES\r\n");

    EXPECT_EQ(runCli(folder, {QStringLiteral("analyse"), QStringLiteral("now")}).exitCode, 2);
}

// Commands over the records a search finds: export, the keyword list, both print layouts and the
// deletion; each refuses a bad argument before it reads anything, and says its own syntax.
TEST(CliBatch, ListsAndDeletionFromTheFoundRecords)
{
    TestFolder folder;
    folder.copyShipped(QStringLiteral("francais.lng"));
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    folder.write(QStringLiteral("R.MFI"), "ROME 2@1[CD2]VILLES#\xA7\r\nROME@1[]VILLES#\xA7\r\nROMAN\r\n");
    folder.write(QStringLiteral("V.MFI"), "VOYAGE@1[]X#ROME\xA7\r\n");
    const auto before = letterFiles(folder);

    struct Case {
        QStringList args;
        QString file;
        QByteArray contents; // the file holds exactly this when `exact`, else contains it
        bool exact;
        QByteArray absent;
    };
    const QList<Case> cases = {
        {{QStringLiteral("export"), folder.file(QStringLiteral("out.mfi")), QStringLiteral("--search"),
          QStringLiteral("rome"), QStringLiteral("--field"), QStringLiteral("key")},
         QStringLiteral("out.mfi"), "ROME 2@1[CD2]VILLES#\xA7\r\nROME@1[]VILLES#\xA7\r\n", true, {}},
        {{QStringLiteral("keywords")}, QStringLiteral("Mots_Cles.txt"), "ROME 2\r\nROME\r\n", false, "ROMAN"},
        {{QStringLiteral("print-list"), QStringLiteral("--cards"), QStringLiteral("--field"), QStringLiteral("support"),
          QStringLiteral("--search"), QStringLiteral("cd2")},
         QStringLiteral("liste.txt"), "ROME 2\r\n\r\n1\r\nCD2\r\nVILLES\r\n", false, "VOYAGE"},
        {{QStringLiteral("print-list"), QStringLiteral("--columns"), QStringLiteral("--search"), QStringLiteral("rome")},
         QStringLiteral("liste.txt"), "VOYAGE", false, "ROMAN"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliRun r = runCli(folder, c.args);
        EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
        EXPECT_TRUE(r.outText().endsWith(c.file + QStringLiteral("\n"))) << r.outText().toStdString();
        const QByteArray written = folder.read(c.file);
        if (c.exact) {
            EXPECT_EQ(written, c.contents);
        } else {
            EXPECT_TRUE(written.contains(c.contents)) << written.toStdString();
        }
        if (!c.absent.isEmpty()) {
            EXPECT_FALSE(written.contains(c.absent));
        }
    }
    EXPECT_EQ(letterFiles(folder), before);

    CliRun r = runCli(folder, {QStringLiteral("delete-found"), QStringLiteral("rome"), QStringLiteral("--field"),
                               QStringLiteral("key"), QStringLiteral("--dry-run")});
    EXPECT_EQ(r.outText(), QStringLiteral("2 fiche(s) dans 1 fichier(s)\n"));
    EXPECT_EQ(letterFiles(folder), before);
    r = runCli(folder, {QStringLiteral("delete-found"), QStringLiteral("rome"), QStringLiteral("--field"),
                        QStringLiteral("key")});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_EQ(folder.read(QStringLiteral("R.MFI")), QByteArray("ROMAN\r\n"));
    EXPECT_EQ(folder.read(QStringLiteral("V.MFI")), before.value(QStringLiteral("V.MFI")));
    ASSERT_EQ(runCli(folder, {QStringLiteral("undo")}).exitCode, 0);
    EXPECT_EQ(letterFiles(folder), before);

    folder.write(QStringLiteral("plain"), "x");
    const QList<std::pair<QStringList, int>> refused = {
        {{QStringLiteral("export"), folder.file(QStringLiteral("plain/out.mfi"))}, 1},
        {{QStringLiteral("print-list")}, 2},
        {{QStringLiteral("print-list"), QStringLiteral("--cards"), QStringLiteral("--columns")}, 2},
        {{QStringLiteral("delete-found"), QString()}, 2},
        {{QStringLiteral("delete-found"), QStringLiteral("rome"), QStringLiteral("--field"), QStringLiteral("date")}, 2},
        {{QStringLiteral("export"), folder.file(QStringLiteral("o.mfi")), QStringLiteral("--field"), QStringLiteral("key")}, 2},
    };
    for (const auto &[args, code] : refused) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        r = runCli(folder, args);
        EXPECT_EQ(r.exitCode, code);
        EXPECT_TRUE(r.outText().isEmpty()) << r.outText().toStdString();
        EXPECT_FALSE(r.errText().isEmpty());
    }
    EXPECT_EQ(letterFiles(folder), before);

    for (const QString &command : {QStringLiteral("analyse"), QStringLiteral("import"), QStringLiteral("import-text"),
                                   QStringLiteral("export"), QStringLiteral("replace-all"), QStringLiteral("support-add"),
                                   QStringLiteral("support-remove"), QStringLiteral("delete-found"), QStringLiteral("undo"),
                                   QStringLiteral("backup"), QStringLiteral("restore"), QStringLiteral("keywords"),
                                   QStringLiteral("print-list"), QStringLiteral("uncatalogued"),
                                   QStringLiteral("html-page")}) {
        SCOPED_TRACE(command.toStdString());
        r = runCli(folder, {command, QStringLiteral("--help")});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_TRUE(r.outText().startsWith(QStringLiteral("  ") + command + u' ')) << r.outText().toStdString();
    }
}

// The finder prints each file no record mentions, a line feed in a name shown escaped, and the
// three counts on stderr; a place that is not a folder is refused.
TEST(CliBatch, UncataloguedPrintsTheFilesNoRecordMentions)
{
    TestFolder folder;
    folder.copyShipped(QStringLiteral("francais.lng"));
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    QTemporaryDir files;
    const QString place = files.path() + u'/';
    for (const QString &name : {QStringLiteral("PHOTO.JPG"), QStringLiteral("NOTE.TXT"), QStringLiteral("a\nb.txt")}) {
        QFile f(place + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    // The record names the file by its exact path: case counts on this system.
    folder.write(QStringLiteral("V.MFI"), "VACANCES@1[]PHOTOS#\xA7" + place.toUtf8() + "PHOTO.JPG\r\n");

    const struct
    {
        QString pattern;
        QString out;
        QString counts;
    } cases[] = {
        {QString(), place + QStringLiteral("NOTE.TXT\n") + place + QStringLiteral("a\\x0ab.txt\n"),
         QStringLiteral("3 fichier(s) analysé(s), 1 fiche(s) associée(s), 2 fichier(s) non répertorié(s)")},
        {QStringLiteral("*.jpg"), QString(),
         QStringLiteral("1 fichier(s) analysé(s), 1 fiche(s) associée(s), 0 fichier(s) non répertorié(s)")},
    };
    for (const auto &c : cases) {
        QStringList args{QStringLiteral("uncatalogued"), files.path()};
        if (!c.pattern.isEmpty()) args << QStringLiteral("--pattern") << c.pattern;
        const CliRun r = runCli(folder, args);
        EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
        EXPECT_EQ(r.outText(), c.out);
        EXPECT_EQ(r.errText().trimmed(), c.counts);
    }
    EXPECT_EQ(runCli(folder, {QStringLiteral("uncatalogued"), place + QStringLiteral("NOTE.TXT")}).exitCode, 1);
    EXPECT_EQ(runCli(folder, {QStringLiteral("uncatalogued")}).exitCode, 2);
}

// The page of the found pictures goes to a folder of its own under the home folder; a FIFO named
// as a picture is reported without blocking the page, and neither placed nor counted; wrong
// options are usage errors and a list without a picture makes no page.
TEST(CliBatch, HtmlPageMakesThePageOfTheFoundPictures)
{
    TestFolder folder;
    folder.copyShipped(QStringLiteral("francais.lng"));
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    const char gif[] = "GIF89a\x03\x00\x02\x00\xf0\x00\x00\xff\x00\x00\x00\x00\x00\x21\xf9\x04\x00\x00\x00\x00\x00"
                       "\x2c\x00\x00\x00\x00\x03\x00\x02\x00\x00\x02\x02\x84\x5f\x00\x3b";
    folder.write(QStringLiteral("rouge.gif"), QByteArray(gif, sizeof gif - 1));
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.file(QStringLiteral("tube.jpg"))).constData(), 0600), 0);
    folder.write(QStringLiteral("P.MFI"), "PHOTO <1>@1[]P#\xA7" + folder.file(QStringLiteral("rouge.gif")).toUtf8() +
                                              "\r\nPHOTO 2@1[]P#\xA7" +
                                              folder.file(QStringLiteral("tube.jpg")).toUtf8() + "\r\n");

    CliRun r = runCli(folder, {QStringLiteral("html-page"), QStringLiteral("album"), QStringLiteral("--search"),
                               QStringLiteral("photo"), QStringLiteral("--fields"), QStringLiteral("0")});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    const QString page = folder.file(QStringLiteral("home/album/album.htm"));
    EXPECT_EQ(r.outText(), QStringLiteral("1 image(s) dans ") + page + u'\n');
    EXPECT_TRUE(r.errText().contains(QStringLiteral("tube.jpg")));
    const QByteArray text = folder.read(QStringLiteral("home/album/album.htm"));
    EXPECT_TRUE(text.contains("<IMG SRC=\"image0000.gif\" Width=\"3\" Height=\"2\"><br>\r\n  PHOTO &lt;1&gt;<br>"));
    EXPECT_EQ(text.count("<IMG"), 1);

    const QList<QPair<QStringList, int>> refused = {
        {{QStringLiteral("html-page"), QStringLiteral("x")}, 2},
        {{QStringLiteral("html-page"), QStringLiteral("x"), QStringLiteral("--search"), QStringLiteral("photo"),
          QStringLiteral("--copy-mode"), QStringLiteral("3")}, 2},
        {{QStringLiteral("html-page"), QStringLiteral("x"), QStringLiteral("--search"), QStringLiteral("photo"),
          QStringLiteral("--columns"), QStringLiteral("0")}, 2},
        {{QStringLiteral("html-page"), QStringLiteral("vide"), QStringLiteral("--search"), QStringLiteral("zzz")}, 1},
    };
    for (const auto &[args, code] : refused) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        r = runCli(folder, args);
        EXPECT_EQ(r.exitCode, code);
        EXPECT_TRUE(r.outText().isEmpty());
    }
    EXPECT_FALSE(folder.exists(QStringLiteral("home/vide/vide.htm")));
}

namespace {

QByteArray utf16(const QString &text, bool bom)
{
    QByteArray out = bom ? QByteArray("\xFF\xFE") : QByteArray();
    for (const QChar c : text) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    return out;
}

} // namespace

// Import files a record cannot come from: each bad line is rejected, counted and named with its
// number and why (a line cut or over 256 characters, a control character or a NUL); a file in
// UTF-16 or with lone CR line ends is refused whole, naming it; an import stopped at its third
// rejected line exits 1. Nothing but the accepted lines reaches the catalogue.
TEST(CliBatch, HostileImportsAreRefusedWithTheirReasons)
{
    const QByteArray good = "BON@1[]A#\xA7\r\n";
    const struct
    {
        const char *name;
        QByteArray bytes;
        int exit;
        QString said;  // in stderr
        bool imported; // the good line reached B.MFI
    } cases[] = {
        {"a line far too long", "LONG@1[]A#" + QByteArray(200 * 1024, 'x') + "\xA7\r\n" + good, 0,
         QStringLiteral("ligne 1 : « LONG@1[]A#xxx"), true},
        {"a line over 256", "LONG@1[]A#" + QByteArray(250, 'x') + "\xA7\r\n" + good, 0, QStringLiteral("plus de 256 caractères"), true},
        {"NUL", QByteArray("NUL@1[]A#x\0y\xA7\r\n", 15) + good, 0, QStringLiteral("U+0000"), true},
        {"ESC and BEL", "ESC@1[]A#\x1B[31m\xA7\r\nBEL@1[]A#\x07\xA7\r\n" + good, 0, QStringLiteral("U+001B"), true},
        {"UTF-16 with its mark", utf16(QStringLiteral("BON@1[]A#\u00A7\r\n"), true), 1, QStringLiteral("UTF-16"), false},
        {"UTF-16 without it", utf16(QStringLiteral("BON@1[]A#\u00A7\r\nBOIS@1[]A#\u00A7\r\n"), false), 1,
         QStringLiteral("UTF-16"), false},
        {"lone CR line ends", "BON@1[]A#\xA7\rBOIS@1[]A#\xA7\rBAL@1[]A#\xA7\r", 1, QStringLiteral("CR seul"), false},
        {"abandoned at the third bad line", good + "x\r\ny\r\nz\r\nBIS@1[]A#\xA7\r\n", 1, QStringLiteral("ligne 4 : « z »"), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        folder.copyShipped(QStringLiteral("francais.lng"));
        ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
        folder.write(QStringLiteral("in.MFI"), c.bytes);
        const auto before = letterFiles(folder);
        const CliRun r = runCli(folder, {QStringLiteral("import"), folder.file(QStringLiteral("in.MFI"))});
        EXPECT_EQ(r.exitCode, c.exit) << r.errText().toStdString();
        EXPECT_TRUE(r.errText().contains(c.said)) << r.errText().toStdString();
        auto after = letterFiles(folder);
        EXPECT_EQ(after.value(QStringLiteral("B.MFI")).contains("BON@1[]A#"), c.imported);
        after.remove(QStringLiteral("B.MFI"));
        auto rest = before;
        rest.remove(QStringLiteral("B.MFI"));
        EXPECT_EQ(after, rest); // no bad line anywhere
        EXPECT_FALSE(folder.read(QStringLiteral("B.MFI")).contains("BIS@")); // after the stop
    }
}
