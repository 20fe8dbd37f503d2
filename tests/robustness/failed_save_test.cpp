// A save that fails part way (write refused, disk filling up, sync failing, rename refused) must
// be reported, leave every file of the catalogue byte for byte as it was and no temporary file
// behind; the same command afterwards, on a healthy disk, must work.

#include "tests/robustness/robustness_support.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <tuple>

namespace
{

using robust::Command;
using robust::commandName;
using robust::encoded;
using robust::sortedLines;

// The records every test starts from, as talvo5-cli writes them.
const QString kAlpha =
    QStringLiteral("ALPHA@01-02-2003[]SONS#PRÉLUDE EN UT§/srv/musique/alpha.mid");
const QString kAmande =
    QStringLiteral("AMANDE@14-07-1999[CD 12]IMAGES#VERGER D'ÉTÉ§/srv/photos/amande.jpg");
const QString kAzur = QStringLiteral("AZUR@30-11-2010[]WEB#CÔTE§https://azur.example.org/a@b");
const QString kBambou = QStringLiteral("BAMBOU@02-03-2004[]TEXTES#JARDIN§/srv/textes/bambou.txt");

const QStringList kAddAbricot{QStringLiteral("add"),
                              QStringLiteral("--key"),
                              QStringLiteral("abricot"),
                              QStringLiteral("--category"),
                              QStringLiteral("TEXTES"),
                              QStringLiteral("--date"),
                              QStringLiteral("05-06-2007"),
                              QStringLiteral("--note"),
                              QStringLiteral("récolte d'été"),
                              QStringLiteral("--target"),
                              QStringLiteral("/srv/fruits/abricot.txt")};
const QString kAbricot =
    QStringLiteral("ABRICOT@05-06-2007[]TEXTES#RÉCOLTE D'ÉTÉ§/srv/fruits/abricot.txt");
const QString kAmandeEdited =
    QStringLiteral("AMANDE@14-07-1999[CD 12]IMAGES#VERGER D'ÉTÉ, RETOUCHÉ§/srv/photos/amande.jpg");

// A catalogue of a few records in A.MFI and one in B.MFI, made by talvo5-cli itself.
void makeCatalogue(const TestFolder &folder)
{
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    auto add = [&](const QString &key, const QString &date, const QString &support,
                   const QString &category, const QString &note, const QString &target) {
        QStringList args{QStringLiteral("add"),
                         QStringLiteral("--key"),
                         key,
                         QStringLiteral("--date"),
                         date,
                         QStringLiteral("--category"),
                         category,
                         QStringLiteral("--note"),
                         note,
                         QStringLiteral("--target"),
                         target};
        if (!support.isEmpty()) args << QStringLiteral("--support") << support;
        const CliRun r = runCli(folder, args);
        ASSERT_EQ(r.exitCode, 0) << r.errText().toStdString();
    };
    add(QStringLiteral("alpha"), QStringLiteral("01-02-2003"), {}, QStringLiteral("SONS"),
        QStringLiteral("prélude en ut"), QStringLiteral("/srv/musique/alpha.mid"));
    add(QStringLiteral("amande"), QStringLiteral("14-07-1999"), QStringLiteral("CD 12"),
        QStringLiteral("IMAGES"), QStringLiteral("verger d'été"),
        QStringLiteral("/srv/photos/amande.jpg"));
    add(QStringLiteral("azur"), QStringLiteral("30-11-2010"), {}, QStringLiteral("WEB"),
        QStringLiteral("côte"), QStringLiteral("https://azur.example.org/a@b"));
    add(QStringLiteral("bambou"), QStringLiteral("02-03-2004"), {}, QStringLiteral("TEXTES"),
        QStringLiteral("jardin"), QStringLiteral("/srv/textes/bambou.txt"));
    ASSERT_EQ(sortedLines(folder.read(QStringLiteral("A.MFI"))),
              sortedLines(encoded(kAlpha + u'\n' + kAmande + u'\n' + kAzur)));
    ASSERT_EQ(sortedLines(folder.read(QStringLiteral("B.MFI"))), sortedLines(encoded(kBambou)));
}

struct CommandCase {
    QStringList args;
    QString removed; // the line the command takes out of A.MFI, if any
    QString added;   // the line it puts in, if any
};

CommandCase commandCase(Command c)
{
    switch (c) {
    case Command::Add:
        return {kAddAbricot, {}, kAbricot};
    case Command::Delete:
        return {{QStringLiteral("delete"), kAmande}, kAmande, {}};
    case Command::Replace:
        return {{QStringLiteral("replace"), kAmande, kAmandeEdited}, kAmande, kAmandeEdited};
    }
    return {};
}

// A.MFI as the command must leave it: its old records, less the removed line, plus the added one.
QList<QByteArray> expectedLines(const QByteArray &before, const CommandCase &c)
{
    QList<QByteArray> lines = sortedLines(before);
    if (!c.removed.isEmpty()) lines.removeAll(encoded(c.removed));
    if (!c.added.isEmpty()) lines.append(encoded(c.added));
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The call whose failure each fault kind injects, as the fault log names it.
QString injectedCall(const QString &kind)
{
    return kind == QLatin1String("shortwrite") ? QStringLiteral("write") : kind;
}

class FailedSave : public ::testing::TestWithParam<std::tuple<Command, std::string>>
{
};

TEST_P(FailedSave, IsReportedAndLeavesTheCatalogueAsItWas)
{
    const auto [command, faultKind] = GetParam();
    const QString kind = QString::fromStdString(faultKind);
    const CommandCase c = commandCase(command);
    TestFolder folder;
    ASSERT_NO_FATAL_FAILURE(makeCatalogue(folder));
    QTemporaryDir logs;
    const QString log = logs.filePath(QStringLiteral("faults.log"));
    const robust::Snapshot before = robust::snapshot(folder.path());

    const CliRun failed =
        runCli(folder, c.args, robust::faultEnv(kind, QStringLiteral("A.MFI"), log));
    EXPECT_EQ(failed.exitCode, 1) << failed.errText().toStdString();
    EXPECT_FALSE(failed.errText().trimmed().isEmpty());
    EXPECT_EQ(robust::differences(before, robust::snapshot(folder.path())), QStringList());
    EXPECT_EQ(robust::temporaries(folder.entries()), QStringList());

    // The failure came from the injected fault, on the save of the letter file: a short write
    // first wrote part, and the save went on writing until the disk refused.
    const QStringList logged = robust::faultLog(log);
    const QString expected = injectedCall(kind) + u' ';
    EXPECT_TRUE(std::any_of(logged.cbegin(), logged.cend(), [&](const QString &l) {
        return l.startsWith(expected) && l.contains(QStringLiteral("A.MFI"));
    })) << logged.join(u'\n').toStdString();
    if (kind == QLatin1String("shortwrite")) {
        EXPECT_TRUE(logged.value(0).startsWith(QStringLiteral("shortwrite ")))
            << logged.join(u'\n').toStdString();
    }

    const CliRun retried = runCli(folder, c.args);
    ASSERT_EQ(retried.exitCode, 0) << retried.errText().toStdString();
    EXPECT_EQ(sortedLines(folder.read(QStringLiteral("A.MFI"))),
              expectedLines(before.value(QStringLiteral("A.MFI")), c));
    QStringList changed = robust::differences(before, robust::snapshot(folder.path()));
    EXPECT_EQ(changed.size(), 1) << changed.join(u'\n').toStdString();
    EXPECT_TRUE(changed.value(0).startsWith(QStringLiteral("A.MFI changed")));
}

INSTANTIATE_TEST_SUITE_P(
    robustness, FailedSave,
    ::testing::Combine(::testing::Values(Command::Add, Command::Delete, Command::Replace),
                       ::testing::Values("write", "shortwrite", "fsync", "rename")),
    [](const auto &info) {
        std::string kind = std::get<1>(info.param);
        kind[0] = char(std::toupper(kind[0]));
        return std::string(commandName(std::get<0>(info.param))) + kind;
    });

// The fault library loaded but aimed at another file: every command works as without it, so the
// failures above come from the faults and not from the preloading.
class UnmatchedFault : public ::testing::TestWithParam<Command>
{
};

TEST_P(UnmatchedFault, ChangesNothingInTheCommand)
{
    const CommandCase c = commandCase(GetParam());
    TestFolder folder;
    ASSERT_NO_FATAL_FAILURE(makeCatalogue(folder));
    QTemporaryDir logs;
    const QString log = logs.filePath(QStringLiteral("faults.log"));
    const QByteArray before = folder.read(QStringLiteral("A.MFI"));

    const CliRun run = runCli(folder, c.args,
                              robust::faultEnv(QStringLiteral("write,shortwrite,fsync,rename"),
                                               QStringLiteral("Q.MFI"), log));
    ASSERT_EQ(run.exitCode, 0) << run.errText().toStdString();
    EXPECT_EQ(sortedLines(folder.read(QStringLiteral("A.MFI"))), expectedLines(before, c));
    EXPECT_EQ(robust::faultLog(log), QStringList());
    EXPECT_EQ(robust::temporaries(folder.entries()), QStringList());
}

INSTANTIATE_TEST_SUITE_P(robustness, UnmatchedFault,
                         ::testing::Values(Command::Add, Command::Delete, Command::Replace),
                         [](const auto &info) { return std::string(commandName(info.param)); });

// A replace that changes the key's first letter saves two letter files: the new line into the
// other file first, then the old line out of its own. A failure of either save must leave both
// files as they were, so that trying again gives the record once.
class MovedRecord : public ::testing::TestWithParam<std::string>
{
};

TEST_P(MovedRecord, FailedMoveLeavesBothFilesAsTheyWere)
{
    const QString faulted = QString::fromStdString(GetParam());
    const QString moved =
        QStringLiteral("BRUGNON@14-07-1999[CD 12]IMAGES#VERGER D'ÉTÉ§/srv/photos/amande.jpg");
    const QStringList args{QStringLiteral("replace"), kAmande, moved};
    TestFolder folder;
    ASSERT_NO_FATAL_FAILURE(makeCatalogue(folder));
    QTemporaryDir logs;
    const QString log = logs.filePath(QStringLiteral("faults.log"));
    const robust::Snapshot before = robust::snapshot(folder.path());

    const CliRun failed =
        runCli(folder, args, robust::faultEnv(QStringLiteral("write"), faulted, log));
    EXPECT_EQ(failed.exitCode, 1) << failed.errText().toStdString();
    EXPECT_FALSE(failed.errText().trimmed().isEmpty());
    EXPECT_FALSE(robust::faultLog(log).isEmpty());
    EXPECT_EQ(robust::temporaries(folder.entries()), QStringList());
    // The known fault: with the fault on A.MFI, B.MFI keeps the new line.
    EXPECT_EQ(robust::differences(before, robust::snapshot(folder.path())), QStringList());

    const CliRun retried = runCli(folder, args);
    ASSERT_EQ(retried.exitCode, 0) << retried.errText().toStdString();
    QList<QByteArray> a = sortedLines(before.value(QStringLiteral("A.MFI")));
    a.removeAll(encoded(kAmande));
    QList<QByteArray> b = sortedLines(before.value(QStringLiteral("B.MFI")));
    b.append(encoded(moved));
    std::sort(b.begin(), b.end());
    EXPECT_EQ(sortedLines(folder.read(QStringLiteral("A.MFI"))), a);
    // The known fault again: the retry leaves the record twice in B.MFI.
    EXPECT_EQ(sortedLines(folder.read(QStringLiteral("B.MFI"))), b);
}

INSTANTIATE_TEST_SUITE_P(robustness, MovedRecord, ::testing::Values("B.MFI", "A.MFI"),
                         [](const auto &info) {
                             return std::string(info.param[0] == 'B' ? "FaultOnNewFile"
                                                                     : "FaultOnOldFile");
                         });

// A list or an export of a megabyte and more that cannot be saved says which file and why, and
// leaves no file of that name and no temporary file; the catalogue stays as it was.
TEST(FailedSave, ABigListThatCannotBeSavedSaysWhy)
{
    TestFolder folder;
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    QByteArray lines;
    for (int i = 0; lines.size() < 1100 * 1024; ++i)
        lines += "LIVRE " + QByteArray::number(i) + "@01-02-2003[CD 1]TEXTES#" + QByteArray(180, 'n') + "\xA7/srv/l.txt\r\n";
    folder.write(QStringLiteral("L.MFI"), lines);
    const QString exported = folder.file(QStringLiteral("out.MFI"));
    const struct
    {
        QStringList args;
        QString file;
    } cases[] = {
        {{QStringLiteral("export"), exported}, exported},
        {{QStringLiteral("print-list"), QStringLiteral("--cards")}, folder.file(QStringLiteral("liste.txt"))},
        {{QStringLiteral("print-list"), QStringLiteral("--columns")}, folder.file(QStringLiteral("liste.txt"))},
    };
    for (const auto &c : cases)
        for (const QString kind : {QStringLiteral("write"), QStringLiteral("shortwrite"), QStringLiteral("fsync")}) {
            SCOPED_TRACE((c.args.join(u' ') + u' ' + kind).toStdString());
            QTemporaryDir logs;
            const robust::Snapshot before = robust::snapshot(folder.path());
            const CliRun failed = runCli(folder, c.args,
                                         robust::faultEnv(kind, QFileInfo(c.file).fileName(), logs.filePath(QStringLiteral("log"))));
            EXPECT_EQ(failed.exitCode, 1);
            EXPECT_TRUE(failed.errText().contains(c.file)) << failed.errText().toStdString();
            EXPECT_TRUE(failed.errText().contains(QString::fromLocal8Bit(strerror(kind == QLatin1String("fsync") ? EIO : ENOSPC))))
                << failed.errText().toStdString();
            EXPECT_FALSE(QFileInfo::exists(c.file));
            EXPECT_EQ(robust::differences(before, robust::snapshot(folder.path())), QStringList());
            EXPECT_EQ(robust::temporaries(folder.entries()), QStringList());
        }
}

// The analysis writes its report and both lists, or none of them: a list that cannot be saved
// leaves the report, the other list and the backups as they were, and says why.
TEST(FailedSave, TheAnalysisWritesItsReportAndListsOrNone)
{
    for (const QString faulted : {QStringLiteral("TALVO.CAT"), QStringLiteral("TALVO.SUP"), QStringLiteral("bilan.txt")}) {
        SCOPED_TRACE(faulted.toStdString());
        TestFolder folder;
        ASSERT_NO_FATAL_FAILURE(makeCatalogue(folder));
        folder.write(QStringLiteral("bilan.txt"), "the report before\r\n");
        folder.write(QStringLiteral("TALVO.SUP"), "ANCIEN\r\n");
        folder.write(QStringLiteral("TALVO.CAT"), "VIEILLE\r\n"); // both lists gain names
        QTemporaryDir logs;
        const robust::Snapshot before = robust::snapshot(folder.path());
        const CliRun failed = runCli(folder, {QStringLiteral("analyse")},
                                     robust::faultEnv(QStringLiteral("rename"), faulted, logs.filePath(QStringLiteral("log"))));
        EXPECT_EQ(failed.exitCode, 1);
        EXPECT_TRUE(failed.errText().contains(faulted)) << failed.errText().toStdString();
        EXPECT_EQ(robust::differences(before, robust::snapshot(folder.path())), QStringList());
        const CliRun retried = runCli(folder, {QStringLiteral("analyse")});
        EXPECT_EQ(retried.exitCode, 0) << retried.errText().toStdString();
        EXPECT_TRUE(folder.read(QStringLiteral("TALVO.SUP")).startsWith("ANCIEN\r\nCD 12\r\n"));
        EXPECT_EQ(folder.read(QStringLiteral("bilan.1.txt")), "the report before\r\n");
    }
}

} // namespace
