// A careless folder: a FIFO, a device or a folder where a catalogue file should be, a line of a
// gigabyte, a first run killed at any step, a move whose put-back fails too, a folder owned by
// another user. Each must end in time, in bounded memory, with a clear message and no byte lost.

#include "tests/robustness/robustness_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

using robust::encoded;
using robust::sortedLines;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true; // the sanitizer reserves more address space than any limit
#else
constexpr bool kSanitized = false;
#endif

// talvo5-cli on folder, at most 60 s, in at most 600 MB of address space.
robust::ProgramRun runLimited(const TestFolder &folder, const QStringList &args,
                              const QStringList &extraEnv = QStringList())
{
    const QString limit = kSanitized ? QString() : QStringLiteral("ulimit -v 600000; ");
    return robust::runProgram(QStringLiteral("sh"),
                              QStringList{QStringLiteral("-c"), limit + QStringLiteral("exec \"$@\""),
                                          QStringLiteral("sh"), robust::cliPath(), QStringLiteral("--home"),
                                          folder.path()} +
                                  args,
                              QStringList{QStringLiteral("XDG_CONFIG_HOME=") + folder.path() +
                                          QStringLiteral(".config")} +
                                  extraEnv,
                              60000);
}

const QStringList kAddBouee{QStringLiteral("add"), QStringLiteral("--key"), QStringLiteral("BOUEE"),
                            QStringLiteral("--category"), QStringLiteral("TEXTES"), QStringLiteral("--date"),
                            QStringLiteral("01-01-2001")};

enum class Hostile { Fifo, LinkToDevZero, LinkToUrandom, Folder };

struct HostileCase
{
    Hostile kind;
    const char *file;   // put in place of this file of the catalogue
    int searchExit;     // what "search B" must end with
    int addExit;        // what adding a record to B.MFI must end with
};

const HostileCase kHostileCases[] = {
    {Hostile::Fifo, "B.MFI", 1, 1},          {Hostile::LinkToDevZero, "B.MFI", 1, 1},
    {Hostile::LinkToUrandom, "B.MFI", 1, 1}, {Hostile::Folder, "B.MFI", 1, 1},
    {Hostile::Fifo, "TALVO.CAT", 0, 1},      {Hostile::LinkToDevZero, "TALVO.CAT", 0, 1},
    {Hostile::Folder, "TALVO.SUP", 0, 1},    {Hostile::Fifo, "francais.lng", 0, 0},
    {Hostile::LinkToDevZero, "francais.lng", 0, 0},
};

std::string hostileName(const HostileCase &c)
{
    static const char *const kinds[] = {"Fifo", "LinkToDevZero", "LinkToUrandom", "Folder"};
    std::string file = c.file;
    for (char &ch : file)
        if (ch == '.') ch = '_';
    return std::string(kinds[int(c.kind)]) + "As" + file;
}

class HostileFile : public ::testing::TestWithParam<HostileCase>
{
};

TEST_P(HostileFile, IsRefusedByNameInTime)
{
    const HostileCase c = GetParam();
    const QString name = QString::fromLatin1(c.file);
    TestFolder folder;
    folder.copyShipped(QStringLiteral("francais.lng"));
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    const QByteArray path = QFile::encodeName(folder.file(name));
    ::unlink(path.constData());
    ::rmdir(path.constData());
    switch (c.kind) {
    case Hostile::Fifo:
        ASSERT_EQ(::mkfifo(path.constData(), 0644), 0);
        break;
    case Hostile::LinkToDevZero:
        ASSERT_EQ(::symlink("/dev/zero", path.constData()), 0);
        break;
    case Hostile::LinkToUrandom:
        ASSERT_EQ(::symlink("/dev/urandom", path.constData()), 0);
        break;
    case Hostile::Folder:
        ASSERT_TRUE(QDir().mkdir(folder.file(name)));
        break;
    }
    const robust::ProgramRun search = runLimited(folder, {QStringLiteral("search"), QStringLiteral("B")});
    EXPECT_EQ(search.exitCode, c.searchExit) << search.errText().toStdString();
    if (c.searchExit != 0) {
        EXPECT_TRUE(search.errText().contains(name)) << search.errText().toStdString();
    }

    const QStringList add = name == QLatin1String("TALVO.SUP")
                                ? kAddBouee + QStringList{QStringLiteral("--support"), QStringLiteral("CD 1")}
                                : kAddBouee;
    const robust::ProgramRun added = runLimited(folder, add);
    EXPECT_EQ(added.exitCode, c.addExit) << added.errText().toStdString();
    if (c.addExit != 0) {
        EXPECT_TRUE(added.errText().contains(name)) << added.errText().toStdString();
    }
    // Whatever stood there is still there, as it was.
    struct stat st {};
    ASSERT_EQ(::lstat(path.constData(), &st), 0);
    EXPECT_EQ(S_ISFIFO(st.st_mode), c.kind == Hostile::Fifo);
    EXPECT_EQ(S_ISLNK(st.st_mode), c.kind == Hostile::LinkToDevZero || c.kind == Hostile::LinkToUrandom);
    EXPECT_EQ(S_ISDIR(st.st_mode), c.kind == Hostile::Folder);
    EXPECT_EQ(robust::temporaries(folder.entries()), QStringList());
}

INSTANTIATE_TEST_SUITE_P(robustness, HostileFile, ::testing::ValuesIn(kHostileCases),
                         [](const auto &info) { return hostileName(info.param); });

TEST(HugeLine, IsReadCutInBoundedMemoryAndItsFileIsNeverRewritten)
{
    TestFolder folder;
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    // A record, a line of a gigabyte (a hole: no disk is used), another record.
    const QByteArray head = encoded(QStringLiteral("BALLON@01-01-2001[]TEXTES#§\r\n"));
    const QByteArray tail = encoded(QStringLiteral("\r\nBATEAU@01-01-2001[]TEXTES#§\r\n"));
    constexpr qint64 kHuge = qint64(1) << 30;
    {
        QFile f(folder.file(QStringLiteral("B.MFI")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(head), head.size());
        ASSERT_TRUE(f.resize(head.size() + kHuge));
        ASSERT_TRUE(f.seek(head.size() + kHuge));
        ASSERT_EQ(f.write(tail), tail.size());
    }
    const qint64 size = QFileInfo(folder.file(QStringLiteral("B.MFI"))).size();

    const robust::ProgramRun count =
        runLimited(folder, {QStringLiteral("search"), QStringLiteral("BATEAU"), QStringLiteral("--count")});
    ASSERT_EQ(count.exitCode, 0) << count.errText().toStdString();
    EXPECT_EQ(count.out.trimmed(), "1");
    const robust::ProgramRun before =
        runLimited(folder, {QStringLiteral("search"), QStringLiteral("BALLON"), QStringLiteral("--count")});
    ASSERT_EQ(before.exitCode, 0) << before.errText().toStdString();
    EXPECT_EQ(before.out.trimmed(), "1");

    const robust::ProgramRun added = runLimited(folder, kAddBouee);
    EXPECT_EQ(added.exitCode, 1) << added.errText().toStdString();
    EXPECT_TRUE(added.errText().contains(QStringLiteral("B.MFI")) && added.errText().contains(QStringLiteral("64")))
        << added.errText().toStdString();
    EXPECT_EQ(QFileInfo(folder.file(QStringLiteral("B.MFI"))).size(), size);
    EXPECT_EQ(robust::temporaries(folder.entries()), QStringList());
}

// The state a first run leaves, whatever the day it ran.
struct FirstRunState
{
    QList<QByteArray> examples, categories;
    int letterFiles = 0;
    bool subFolders = false;
    bool operator==(const FirstRunState &) const = default;
};

FirstRunState firstRunState(const TestFolder &folder)
{
    FirstRunState s;
    for (QByteArray l : sortedLines(folder.read(QStringLiteral("U.MFI"))))
        s.examples.append(l.left(l.indexOf('@')));
    s.categories = sortedLines(folder.read(QStringLiteral("TALVO.CAT")));
    s.letterFiles = int(QDir(folder.path()).entryList({QStringLiteral("*.MFI")}, QDir::Files).size());
    s.subFolders = QFileInfo(folder.file(QStringLiteral("NOTES"))).isDir() &&
                   QFileInfo(folder.file(QStringLiteral("BACKUP"))).isDir();
    return s;
}

TEST(FirstRun, KilledAtAnyStepAndDoneAgainGivesEachFileOnce)
{
    TestFolder clean;
    ASSERT_EQ(runCli(clean, {QStringLiteral("init")}).exitCode, 0);
    const FirstRunState expected = firstRunState(clean);
    ASSERT_EQ(expected.examples.size(), 6);
    ASSERT_EQ(expected.letterFiles, 36);

    QTemporaryDir logs;
    int killed = 0;
    for (int step = 0; step < 200; ++step) {
        TestFolder folder;
        QStringList env = robust::faultEnv(QStringLiteral("rename"), folder.path(), logs.filePath(QStringLiteral("log")));
        env << QStringLiteral("TALVO_FAULT_SKIP=%1").arg(step) << QStringLiteral("TALVO_FAULT_KILL=1");
        const CliRun first = runCli(folder, {QStringLiteral("init")}, env);
        if (first.exitCode == 0) break; // the run ended before the step: every step was tried
        ASSERT_EQ(first.exitCode, -1) << "step " << step << ": " << first.errText().toStdString();
        ++killed;
        const CliRun again = runCli(folder, {QStringLiteral("init")});
        ASSERT_EQ(again.exitCode, 0) << "step " << step << ": " << again.errText().toStdString();
        EXPECT_TRUE(firstRunState(folder) == expected) << "killed at step " << step;
        EXPECT_EQ(robust::temporaries(folder.entries()), QStringList()) << "step " << step;
    }
    EXPECT_GE(killed, 37); // the letter files, the lists and the notepad are each a step
}

TEST(MovedRecord, FailedPutBackNamesBothFilesAndLosesNothing)
{
    TestFolder folder;
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    const QString amande = QStringLiteral("AMANDE@14-07-1999[]IMAGES#VERGER§/srv/amande.jpg");
    const QString brugnon = QStringLiteral("BRUGNON@14-07-1999[]IMAGES#VERGER§/srv/amande.jpg");
    folder.write(QStringLiteral("A.MFI"), encoded(amande + QStringLiteral("\r\n")));
    // The new line reaches B.MFI; removing the old one from A.MFI fails, and so does taking the
    // new one out of B.MFI again.
    QTemporaryDir logs;
    QStringList env = robust::faultEnv(QStringLiteral("rename"), QStringLiteral(".MFI"), logs.filePath(QStringLiteral("log")));
    env << QStringLiteral("TALVO_FAULT_SKIP=1");
    const CliRun r = runCli(folder, {QStringLiteral("replace"), amande, brugnon}, env);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.errText().contains(folder.file(QStringLiteral("A.MFI"))) &&
                r.errText().contains(folder.file(QStringLiteral("B.MFI"))))
        << r.errText().toStdString();
    EXPECT_EQ(robust::faultLog(logs.filePath(QStringLiteral("log"))).size(), 2);
    EXPECT_EQ(sortedLines(folder.read(QStringLiteral("A.MFI"))), QList<QByteArray>{encoded(amande)});
    EXPECT_EQ(sortedLines(folder.read(QStringLiteral("B.MFI"))), QList<QByteArray>{encoded(brugnon)});
}

TEST(Ownership, RewrittenFilesKeepTheirOwnerAndMode)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root, to write into a folder owned by another user";
    constexpr uid_t kNobody = 65534;
    TestFolder folder;
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    const QStringList names{QString(), QStringLiteral("A.MFI"), QStringLiteral("TALVO.CAT"), QStringLiteral("TALVO.SUP")};
    for (const QString &n : names)
        ASSERT_EQ(::chown(QFile::encodeName(folder.file(n)).constData(), kNobody, kNobody), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder.file(QStringLiteral("A.MFI"))).constData(), 0640), 0);

    const CliRun r = runCli(folder, {QStringLiteral("add"), QStringLiteral("--key"), QStringLiteral("ABEILLE"),
                                     QStringLiteral("--category"), QStringLiteral("NOUVELLE"),
                                     QStringLiteral("--support"), QStringLiteral("CD 9")});
    ASSERT_EQ(r.exitCode, 0) << r.errText().toStdString();
    for (const QString &n : names) {
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(folder.file(n)).constData(), &st), 0);
        EXPECT_EQ(st.st_uid, kNobody) << n.toStdString();
        EXPECT_EQ(st.st_gid, kNobody) << n.toStdString();
        if (n == QLatin1String("A.MFI")) {
            EXPECT_EQ(st.st_mode & 07777, 0640u);
        }
    }
    EXPECT_TRUE(folder.read(QStringLiteral("A.MFI")).startsWith("ABEILLE@"));
}

} // namespace
