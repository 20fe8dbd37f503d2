#include "archiver/store/language.h"
#include "archiver/store/utilities.h"
#include "common/text/cp1252.h"

#include "tests/support/test_folder.h"

#include <QCoreApplication>
#include <QDate>

#include <gtest/gtest.h>

namespace {

// A catalogue made by the tool itself, with the shipped French messages.
struct CliCatalogue : TestFolder
{
    CliCatalogue()
    {
        copyShipped(QStringLiteral("francais.lng"));
        const CliRun init = runCli(*this, {QStringLiteral("init")});
        EXPECT_EQ(init.exitCode, 0) << init.err.toStdString();
        language.setFile(file(QStringLiteral("francais.lng")));
    }

    QString message(int n) const
    {
        const QString m = language.LireMessage(n);
        EXPECT_FALSE(m.isEmpty()) << "message " << n << " is missing from francais.lng";
        return m;
    }

    CliRun run(const QStringList &args) const { return runCli(*this, args); }

    Language language;
};

QString firstLine(const CliRun &r) { return r.errText().section(u'\n', 0, 0); }

} // namespace

TEST(Cli, InitCreatesTheCatalogueOnceOnly)
{
    CliCatalogue c;
    EXPECT_TRUE(c.exists(QStringLiteral("A.MFI")));
    EXPECT_TRUE(c.exists(QStringLiteral("NOTES")));
    EXPECT_TRUE(c.exists(QStringLiteral("BACKUP")));
    const QByteArray examples = c.read(QStringLiteral("U.MFI"));
    const CliRun again = c.run({QStringLiteral("init")});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_FALSE(again.err.isEmpty());
    EXPECT_EQ(c.read(QStringLiteral("U.MFI")), examples);
}

TEST(Cli, SearchPrintsMatchingLinesAsUtf8AndTheCounts)
{
    CliCatalogue c;
    ASSERT_EQ(c.run({QStringLiteral("add"), QStringLiteral("--key"), QStringLiteral("rosée du matin"),
                     QStringLiteral("--category"), QStringLiteral("IMAGES"), QStringLiteral("--date"),
                     QStringLiteral("01-06-2005")})
                  .exitCode,
              0);
    const CliRun r = c.run({QStringLiteral("search"), QStringLiteral("rosée")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.outText(), QStringLiteral("ROSÉE DU MATIN@01-06-2005[]IMAGES#§\n"));
    EXPECT_EQ(r.errText(), QStringLiteral(" 1") + c.message(96) + QStringLiteral(" 7") + c.message(97) + u'\n');

    const CliRun all = c.run({QStringLiteral("search"), QStringLiteral("un exemple")});
    EXPECT_EQ(all.out.count('\n'), 6);
    EXPECT_TRUE(all.outText().startsWith(QStringLiteral("UN EXEMPLE D'IMAGE : VERDURE@")));
    EXPECT_EQ(c.run({QStringLiteral("search"), QStringLiteral("EXEMPLE"), QStringLiteral("--count")}).out, "6\n");
    const CliRun sons = c.run({QStringLiteral("search"), QStringLiteral("sons"), QStringLiteral("--field"),
                               QStringLiteral("category")});
    EXPECT_EQ(sons.out.count('\n'), 1);
    EXPECT_TRUE(sons.outText().startsWith(QStringLiteral("UN EXEMPLE DE SON : BACH@")));
    EXPECT_EQ(c.run({QStringLiteral("search"), QStringLiteral("x"), QStringLiteral("--field"), QStringLiteral("titre")}).exitCode, 2);
}

TEST(Cli, AddComposesTheRecordAsTheEntryFormDoes)
{
    CliCatalogue c;
    const CliRun r = c.run({QStringLiteral("add"), QStringLiteral("--key"), QStringLiteral("facture gaz"),
                            QStringLiteral("--category"), QStringLiteral("factures"), QStringLiteral("--date"),
                            QStringLiteral("05-03-2004"), QStringLiteral("--note"), QStringLiteral("payée"),
                            QStringLiteral("--target"), QStringLiteral("C:\\Docs\\f.pdf")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(firstLine(r), QStringLiteral("FACTURE GAZ") + c.message(145));
    ASSERT_EQ(c.run({QStringLiteral("add"), QStringLiteral("--key"), QStringLiteral("FACTURE EAU"),
                     QStringLiteral("--category"), QStringLiteral("FACTURES"), QStringLiteral("--support"),
                     QStringLiteral("cd factures")})
                  .exitCode,
              0);
    const QString today = formatDayDate(QDate::currentDate());
    EXPECT_EQ(c.read(QStringLiteral("F.MFI")),
              "FACTURE EAU@" + today.toLatin1() + "[CD FACTURES]FACTURES#\xA7\r\n"
              "FACTURE GAZ@05-03-2004[]FACTURES#PAY\xC9" "E\xA7" "C:\\Docs\\f.pdf\r\n");
    EXPECT_EQ(c.read(QStringLiteral("TALVO.SUP")), "CD FACTURES\r\n");
    EXPECT_TRUE(c.read(QStringLiteral("TALVO.CAT")).endsWith("E-MAIL\r\nFACTURES\r\n"));
}

TEST(Cli, AddRefusesBadKeysWithTheirMessagesAndWritesNothing)
{
    CliCatalogue c;
    const QStringList before = c.entries();
    const QByteArray a = c.read(QStringLiteral("A.MFI"));
    const struct
    {
        QString key;
        int message;
    } cases[] = {{QStringLiteral("A@B"), 1},    {QStringLiteral("A[B"), 2}, {QStringLiteral("A]B"), 3},
                 {QStringLiteral("A#B"), 4},    {QStringLiteral("A§B"), 5}, {QStringLiteral("Été"), 7},
                 {QStringLiteral(" ABEILLE"), 7}, {QStringLiteral("@#"), 1}};
    for (const auto &k : cases) {
        const CliRun r = c.run({QStringLiteral("add"), QStringLiteral("--key"), k.key, QStringLiteral("--category"),
                                QStringLiteral("TEXTES"), QStringLiteral("--support"), QStringLiteral("CLE USB")});
        EXPECT_EQ(r.exitCode, 1) << k.key.toStdString();
        EXPECT_EQ(r.errText(), c.message(k.message) + u'\n') << k.key.toStdString();
    }
    const CliRun polish = c.run({QStringLiteral("add"), QStringLiteral("--key"), QStringLiteral("AMIS"),
                                 QStringLiteral("--category"), QStringLiteral("TEXTES"), QStringLiteral("--note"),
                                 QStringLiteral("voyage à Łódź")});
    EXPECT_EQ(polish.exitCode, 1);
    EXPECT_TRUE(polish.errText().contains(QStringLiteral("Ł"))) << polish.err.toStdString();
    EXPECT_EQ(c.read(QStringLiteral("A.MFI")), a);
    EXPECT_TRUE(c.read(QStringLiteral("TALVO.SUP")).isEmpty());
    EXPECT_EQ(c.entries(), before);
}

TEST(Cli, TheLineLimitIs256Characters)
{
    CliCatalogue c;
    const QString prefix = QStringLiteral("LIMITE@01-01-2001[]TEXTES#");
    const QString note256 = QString(256 - prefix.size() - 1, u'N'); // the "§" closes the line
    const CliRun ok = c.run({QStringLiteral("add"), QStringLiteral("--key"), QStringLiteral("LIMITE"),
                             QStringLiteral("--category"), QStringLiteral("TEXTES"), QStringLiteral("--date"),
                             QStringLiteral("01-01-2001"), QStringLiteral("--note"), note256});
    ASSERT_EQ(ok.exitCode, 0) << ok.err.toStdString();
    EXPECT_EQ(c.read(QStringLiteral("L.MFI")).size(), 256 + 2);
    const CliRun tooLong = c.run({QStringLiteral("add"), QStringLiteral("--key"), QStringLiteral("LIMITE"),
                                  QStringLiteral("--category"), QStringLiteral("TEXTES"), QStringLiteral("--date"),
                                  QStringLiteral("01-01-2001"), QStringLiteral("--note"), note256 + u'N'});
    EXPECT_EQ(tooLong.exitCode, 1);
    EXPECT_EQ(tooLong.errText(), c.message(29) + u'\n');
    EXPECT_EQ(c.read(QStringLiteral("L.MFI")).size(), 256 + 2);
}

TEST(Cli, DeleteAndReplaceRewriteTheLetterFiles)
{
    CliCatalogue c;
    c.write(QStringLiteral("M.MFI"), "MARS@1[]#\xA7\r\nMOUTON@1[]#\xA7\r\nMOUTON@1[]#\xA7\r\nMUR \x80@1[]#\xA7\r\n");
    const CliRun del = c.run({QStringLiteral("delete"), QStringLiteral("MOUTON@1[]#§")});
    EXPECT_EQ(del.exitCode, 0) << del.err.toStdString();
    EXPECT_EQ(c.read(QStringLiteral("M.MFI")), "MARS@1[]#\xA7\r\nMUR \x80@1[]#\xA7\r\n");
    EXPECT_EQ(c.run({QStringLiteral("delete"), QStringLiteral("MOUTON@1[]#§")}).exitCode, 1);

    const CliRun same = c.run({QStringLiteral("replace"), QStringLiteral("MUR €@1[]#§"), QStringLiteral("MAISON@2[]#§")});
    EXPECT_EQ(same.exitCode, 0) << same.err.toStdString();
    EXPECT_EQ(c.read(QStringLiteral("M.MFI")), "MAISON@2[]#\xA7\r\nMARS@1[]#\xA7\r\n");

    const CliRun moved = c.run({QStringLiteral("replace"), QStringLiteral("MARS@1[]#§"), QStringLiteral("zèbre@1[]#§")});
    EXPECT_EQ(moved.exitCode, 0) << moved.err.toStdString();
    EXPECT_EQ(c.read(QStringLiteral("M.MFI")), "MAISON@2[]#\xA7\r\n");
    EXPECT_EQ(c.read(QStringLiteral("Z.MFI")), "Z\xC8" "BRE@1[]#\xA7\r\n");

    // Refusals leave every file as it was: an unknown old line, a new key outside the letter
    // list, a malformed new line, a new line over the limit.
    const QByteArray m = c.read(QStringLiteral("M.MFI"));
    EXPECT_EQ(c.run({QStringLiteral("replace"), QStringLiteral("ABSENT@[]#§"), QStringLiteral("AUTRE@[]#§")}).exitCode, 1);
    const CliRun accent = c.run({QStringLiteral("replace"), QStringLiteral("MAISON@2[]#§"), QStringLiteral("ÉCOLE@2[]#§")});
    EXPECT_EQ(accent.exitCode, 1);
    EXPECT_EQ(accent.errText(), c.message(7) + u'\n');
    EXPECT_EQ(c.run({QStringLiteral("replace"), QStringLiteral("MAISON@2[]#§"), QStringLiteral("MAISON SANS SEPARATEURS")}).exitCode, 1);
    const CliRun longer = c.run({QStringLiteral("replace"), QStringLiteral("MAISON@2[]#§"),
                                 QStringLiteral("MAISON@2[]#") + QString(250, u'N') + u'§'});
    EXPECT_EQ(longer.errText(), c.message(29) + u'\n');
    EXPECT_EQ(c.read(QStringLiteral("M.MFI")), m);
    EXPECT_FALSE(c.exists(QStringLiteral("É.MFI")));
}

TEST(Cli, UsageErrorsExitWithTwo)
{
    TestFolder folder;
    EXPECT_EQ(runCli(folder, {}).exitCode, 2);
    EXPECT_EQ(runCli(folder, {QStringLiteral("chercher")}).exitCode, 2);
    EXPECT_EQ(runCli(folder, {QStringLiteral("search")}).exitCode, 2);
    EXPECT_EQ(runCli(folder, {QStringLiteral("add"), QStringLiteral("--key"), QStringLiteral("A")}).exitCode, 2);
    EXPECT_EQ(runCli(folder, {QStringLiteral("add"), QStringLiteral("--kye"), QStringLiteral("A")}).exitCode, 2);
    EXPECT_EQ(runCli(folder, {QStringLiteral("delete")}).exitCode, 2);
    EXPECT_EQ(runCli(folder, {QStringLiteral("replace"), QStringLiteral("A@[]#§")}).exitCode, 2);
    const CliRun help = runCli(folder, {QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.outText().contains(QStringLiteral("search TEXT")));
    // --home names another program folder than TALVO5_HOME.
    TestFolder other;
    other.copyShipped(QStringLiteral("francais.lng"));
    EXPECT_EQ(runCli(folder, {QStringLiteral("--home"), other.path(), QStringLiteral("init")}).exitCode, 0);
    EXPECT_TRUE(other.exists(QStringLiteral("A.MFI")));
    EXPECT_FALSE(folder.exists(QStringLiteral("A.MFI")));
}

TEST(Cli, ControlCharactersAreRefusedInEveryFieldAndNeverPrintedRaw)
{
    CliCatalogue c;
    const QByteArray a = c.read(QStringLiteral("A.MFI"));
    const struct
    {
        const char *option;
        QString value;
        const char *named;
    } cases[] = {{"--note", QStringLiteral("\x1b[2J"), "U+001B"},      {"--key", QStringLiteral("A\aB"), "U+0007"},
                 {"--target", QStringLiteral("/x\x7f"), "U+007F"},     {"--support", QStringLiteral("CD\u009b1"), "U+009B"},
                 {"--category", QStringLiteral("TEX\tTES"), "U+0009"}, {"--date", QStringLiteral("01\x1f-01"), "U+001F"}};
    for (const auto &k : cases) {
        QStringList args{QStringLiteral("add"), QStringLiteral("--key"), QStringLiteral("AMIS"), QStringLiteral("--category"),
                         QStringLiteral("TEXTES")};
        const int at = int(args.indexOf(QLatin1String(k.option)));
        if (at >= 0) args[at + 1] = k.value;
        else args << QLatin1String(k.option) << k.value;
        const CliRun r = c.run(args);
        EXPECT_EQ(r.exitCode, 1) << k.option;
        EXPECT_TRUE(r.errText().contains(QLatin1String(k.named))) << k.option << ": " << r.err.toStdString();
    }
    EXPECT_EQ(c.read(QStringLiteral("A.MFI")), a);

    // What a hand-edited file already holds is shown, never sent to the terminal as it is; such a
    // record can still be deleted by its line.
    const QByteArray stored = "CTRL\x1b[31m@01-01-2001[]TEXTES#BIP\x07\xA7/x\x9d\r\n";
    c.write(QStringLiteral("C.MFI"), stored);
    const CliRun shown = c.run({QStringLiteral("search"), QStringLiteral("ctrl")});
    ASSERT_EQ(shown.exitCode, 0);
    EXPECT_EQ(shown.out, "CTRL\\x1b[31m@01-01-2001[]TEXTES#BIP\\x07\xC2\xA7/x\\x9d\n");
    for (const QByteArray &out : {shown.out, shown.err})
        for (const char ch : out)
            EXPECT_TRUE(ch == '\n' || static_cast<unsigned char>(ch) >= 0x20) << int(ch);
    const CliRun deleted = c.run({QStringLiteral("delete"), cp1252::decode(stored.chopped(2))});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    EXPECT_TRUE(c.read(QStringLiteral("C.MFI")).isEmpty());
}

TEST(Cli, AWriterWaitsForTheLockThenSaysWhoHoldsItAndWritesNothing)
{
    CliCatalogue c;
    const QByteArray a = c.read(QStringLiteral("A.MFI"));
    const QStringList add{QStringLiteral("add"), QStringLiteral("--key"), QStringLiteral("ABRI"),
                          QStringLiteral("--category"), QStringLiteral("TEXTES")};
    {
        const files::FolderLock held = c.lock();
        const CliRun busy = runCli(c, add, {QStringLiteral("TALVO_LOCK_WAIT_MS=200")});
        EXPECT_EQ(busy.exitCode, 1);
        EXPECT_TRUE(busy.errText().contains(QStringLiteral("occupé")) &&
                    busy.errText().contains(QStringLiteral("pid %1").arg(QCoreApplication::applicationPid())))
            << busy.err.toStdString();
        EXPECT_EQ(c.read(QStringLiteral("A.MFI")), a);
        // Readers take no lock.
        EXPECT_EQ(c.run({QStringLiteral("search"), QStringLiteral("EXEMPLE"), QStringLiteral("--count")}).out, "6\n");
    }
    EXPECT_EQ(c.run(add).exitCode, 0);
    EXPECT_TRUE(c.read(QStringLiteral("A.MFI")).startsWith("ABRI@"));
}

TEST(Cli, OutputThatCannotBeWrittenIsAFailure)
{
    CliCatalogue c;
    const CliRun full = runCli(c, {QStringLiteral("search"), QStringLiteral("EXEMPLE")}, {}, QStringLiteral("/dev/full"));
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_TRUE(full.errText().contains(QStringLiteral("stdout"))) << full.err.toStdString();
}

TEST(Cli, WritingCommandsRefuseAFolderWithoutCatalogue)
{
    TestFolder empty;
    const QList<QStringList> commands{
        {QStringLiteral("add"), QStringLiteral("--key"), QStringLiteral("ABRI"), QStringLiteral("--category"),
         QStringLiteral("TEXTES")},
        {QStringLiteral("delete"), QStringLiteral("ABRI@[]#§")},
        {QStringLiteral("replace"), QStringLiteral("ABRI@[]#§"), QStringLiteral("ABRIS@[]#§")},
        {QStringLiteral("backup")},
        {QStringLiteral("restore")}};
    const QStringList before = empty.entries();
    for (const QStringList &args : commands) {
        const CliRun r = runCli(empty, args);
        EXPECT_EQ(r.exitCode, 1) << args.front().toStdString();
        EXPECT_TRUE(r.errText().contains(QStringLiteral("init"))) << r.err.toStdString();
    }
    EXPECT_EQ(empty.entries(), before);
    ASSERT_EQ(runCli(empty, {QStringLiteral("init")}).exitCode, 0);
    EXPECT_EQ(runCli(empty, commands.front()).exitCode, 0);
}
