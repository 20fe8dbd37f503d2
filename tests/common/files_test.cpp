#include "common/files/atomic_file.h"
#include "common/files/folder_lock.h"
#include "common/files/path_parts.h"
#include "common/files/program_folder.h"
#include "common/files/trash.h"
#include "common/text/line_file.h"

#include "tests/support/test_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>

TEST(PartieChemin, SplitsByModeWord)
{
    const QString p = QStringLiteral("C:\\DOCS\\LETTRE.TXT");
    EXPECT_EQ(PartieChemin(p, QStringLiteral("chemin\\")), QStringLiteral("C:\\DOCS\\"));
    EXPECT_EQ(PartieChemin(p, QStringLiteral("CHEMIN")), QStringLiteral("C:\\DOCS"));
    EXPECT_EQ(PartieChemin(p, QStringLiteral("nom seul")), QStringLiteral("LETTRE"));
    EXPECT_EQ(PartieChemin(p, QStringLiteral("extension")), QStringLiteral(".TXT"));
    EXPECT_EQ(PartieChemin(p, QStringLiteral("nom et extension")), QStringLiteral("LETTRE.TXT"));
    EXPECT_EQ(PartieChemin(p, QStringLiteral("chemin et nom seul")), QStringLiteral("C:\\DOCS\\LETTRE"));
    EXPECT_EQ(PartieChemin(p, QStringLiteral("autre")), QString());

    const QString q = QStringLiteral("/home/anne/docs/lettre.odt");
    EXPECT_EQ(PartieChemin(q, QStringLiteral("chemin\\")), QStringLiteral("/home/anne/docs/"));
    EXPECT_EQ(PartieChemin(q, QStringLiteral("nom seul")), QStringLiteral("lettre"));
}

TEST(PartieChemin, DotsAndBareNames)
{
    // The extension starts at the last dot of the whole path, even inside a folder name.
    const QString p = QStringLiteral("C:\\V1.2\\LISEZMOI");
    EXPECT_EQ(PartieChemin(p, QStringLiteral("extension")), QStringLiteral(".2\\LISEZMOI"));
    EXPECT_EQ(PartieChemin(p, QStringLiteral("nom seul")), QStringLiteral("V1"));
    EXPECT_EQ(PartieChemin(p, QStringLiteral("chemin")), QStringLiteral("C:"));
    EXPECT_EQ(PartieChemin(QStringLiteral("C:\\LETTRE"), QStringLiteral("extension")), QString());
    EXPECT_EQ(PartieChemin(QStringLiteral("C:\\LETTRE"), QStringLiteral("nom et extension")),
              QStringLiteral("LETTRE"));
    EXPECT_EQ(PartieChemin(QStringLiteral("LETTRE.TXT"), QStringLiteral("chemin et nom seul")), QString());
    EXPECT_EQ(PartieChemin(QStringLiteral("LETTRE.TXT"), QStringLiteral("chemin\\")), QString());
}

// The environment's folder first; else the executable's when it holds language files (a build or
// a portable copy); else the user's data folder. Shipped data lie in ../share/talvo5 of an
// installed executable, beside a build's.
TEST(ProgramFolder, ChosenFromTheEnvironmentTheExecutableOrTheUsersDataFolder)
{
    TestFolder folder;
    EXPECT_EQ(files::programFolder(), folder.path());
    QDir(folder.path()).mkpath(QStringLiteral("build"));
    QDir(folder.path()).mkpath(QStringLiteral("usr/bin"));
    QDir(folder.path()).mkpath(QStringLiteral("usr/share/talvo5"));
    folder.write(QStringLiteral("build/English.LNG"), "");
    const QString build = folder.file(QStringLiteral("build")), bin = folder.file(QStringLiteral("usr/bin/"));
    const QString data = folder.file(QStringLiteral("data"));
    const struct
    {
        QString home, exe, expected;
    } cases[] = {
        {QStringLiteral("/srv/cat"), build, QStringLiteral("/srv/cat/")},
        {QString(), build, build + u'/'},
        {QString(), bin, data + QStringLiteral("/talvo5/")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(files::chooseProgramFolder(c.home, c.exe, data), c.expected) << c.exe.toStdString();
    EXPECT_EQ(files::chooseShippedDataFolder(bin), folder.file(QStringLiteral("usr/share/talvo5/")));
    EXPECT_EQ(files::chooseShippedDataFolder(build), build + u'/');
}

TEST(FindExisting, MatchesNamesWithoutCase)
{
    TestFolder folder;
    folder.write(QStringLiteral("talvo.cat"), "X\r\n");
    EXPECT_EQ(files::findExisting(folder.path(), QStringLiteral("TALVO.CAT")), folder.file(QStringLiteral("talvo.cat")));
    EXPECT_EQ(files::findExisting(folder.path(), QStringLiteral("TALVO.SUP")), folder.file(QStringLiteral("TALVO.SUP")));
    folder.write(QStringLiteral("TALVO.CAT"), "Y\r\n");
    EXPECT_EQ(files::findExisting(folder.path(), QStringLiteral("TALVO.CAT")), folder.file(QStringLiteral("TALVO.CAT")));
}

TEST(SaveAtomically, ReplacesContentKeepsModeAndLeavesNothingBehind)
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("A.MFI"));
    QString error;
    ASSERT_TRUE(files::saveAtomically(path, "un\r\n", &error)) << error.toStdString();
    EXPECT_EQ(folder.read(QStringLiteral("A.MFI")), "un\r\n");

    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    ASSERT_TRUE(files::saveAtomically(path, "deux\r\n", &error));
    EXPECT_EQ(folder.read(QStringLiteral("A.MFI")), "deux\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    ASSERT_TRUE(files::saveAtomically(path, QByteArray(), &error));
    EXPECT_EQ(QFileInfo(path).size(), 0);
    for (const QString &e : folder.entries())
        EXPECT_FALSE(e.contains(QLatin1String(files::kTemporaryMarker))) << e.toStdString();
}

TEST(SaveAtomically, ReportsAFolderThatDoesNotExist)
{
    TestFolder folder;
    QString error;
    EXPECT_FALSE(files::saveAtomically(folder.file(QStringLiteral("absent/A.MFI")), "x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(files::copyAtomically(folder.file(QStringLiteral("none")), folder.file(QStringLiteral("B")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("none")));
    EXPECT_FALSE(folder.exists(QStringLiteral("B")));
}

TEST(FolderLock, IsExclusiveNamesItsHolderAndClearsStaleTemporaries)
{
    TestFolder folder;
    folder.write(QStringLiteral(".A.MFI") + QLatin1String(files::kTemporaryMarker) + QStringLiteral("x1Y2z3"), "half");
    folder.write(QStringLiteral("A.MFI"), "kept\r\n");
    QString error;
    {
        auto held = files::FolderLock::acquire(folder.path(), &error, 0);
        ASSERT_TRUE(held) << error.toStdString();
        // What an interrupted save left is gone; the lock file is the folder's only addition.
        EXPECT_EQ(folder.entries(), (QStringList{QStringLiteral(".config"), QLatin1String(files::FolderLock::kFileName),
                                                 QStringLiteral("A.MFI")}));
        EXPECT_FALSE(files::FolderLock::acquire(folder.path(), &error, 50));
        EXPECT_TRUE(error.contains(QStringLiteral("pid %1").arg(QCoreApplication::applicationPid())))
            << error.toStdString();
    }
    EXPECT_TRUE(files::FolderLock::acquire(folder.path(), &error, 0)) << error.toStdString();
}

TEST(LineFile, ReadsOnlyRegularFilesAndCutsOverLongLines)
{
    TestFolder folder;
    const qsizetype max = linefile::kMaxLineLength;
    // Lines longer than the limit, one that the reader's buffer holds whole and one it does not.
    folder.write(QStringLiteral("L.MFI"), "A\r\n" + QByteArray(max + 10, 'x') + "\nB\n" + QByteArray(5 * max, 'y') +
                                             "\r\nC");
    QList<QByteArray> lines;
    const linefile::ReadStatus status =
        linefile::forEachLine(folder.file(QStringLiteral("L.MFI")), [&](QByteArrayView l) { lines.append(l.toByteArray()); });
    EXPECT_TRUE(status.ok());
    EXPECT_EQ(status.cutLines, 2);
    EXPECT_EQ(lines, (QList<QByteArray>{"A", QByteArray(max, 'x'), "B", QByteArray(max, 'y'), "C"}));

    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file(QStringLiteral("F.MFI"))).constData(), 0644), 0);
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("D.MFI")));
    for (const QString &name : {QStringLiteral("F.MFI"), QStringLiteral("D.MFI")}) {
        const linefile::ReadStatus refused = linefile::forEachLine(folder.file(name), [](QByteArrayView) {});
        EXPECT_TRUE(refused.error.contains(name)) << refused.error.toStdString();
        QString error;
        EXPECT_FALSE(linefile::readFile(folder.file(name), &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(files::saveAtomically(folder.file(name), "x", &error));
        EXPECT_TRUE(error.contains(name));
    }
    EXPECT_TRUE(linefile::forEachLine(folder.file(QStringLiteral("none")), [](QByteArrayView) {}).missing);
}

TEST(SaveAtomically, RefusesReadOnlyFilesAndWritesThroughLinks)
{
    TestFolder folder;
    folder.write(QStringLiteral("C.MFI"), "CHAT@1[]#\xA7\r\n");
    const QString path = folder.file(QStringLiteral("C.MFI"));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    QString error;
    EXPECT_FALSE(files::saveAtomically(path, "NOUVEAU\r\n", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("C.MFI")));
    EXPECT_EQ(folder.read(QStringLiteral("C.MFI")), "CHAT@1[]#\xA7\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);

    QDir(folder.path()).mkdir(QStringLiteral("real"));
    folder.write(QStringLiteral("real/B.MFI"), "ANCIEN\r\n");
    ASSERT_TRUE(QFile::link(folder.file(QStringLiteral("real/B.MFI")), folder.file(QStringLiteral("B.MFI"))));
    ASSERT_TRUE(files::saveAtomically(folder.file(QStringLiteral("B.MFI")), "NOUVEAU\r\n", &error));
    EXPECT_TRUE(QFileInfo(folder.file(QStringLiteral("B.MFI"))).isSymLink());
    EXPECT_EQ(folder.read(QStringLiteral("real/B.MFI")), "NOUVEAU\r\n");
    for (const QString &e : QDir(folder.file(QStringLiteral("real"))).entryList(QDir::Files | QDir::Hidden))
        EXPECT_EQ(e, QStringLiteral("B.MFI"));
}

// A deleted file goes to the user's trash, whose folder is made when missing; where the trash
// cannot be used (its folder cannot be made, or the file's folder does not let it go) the file
// stays where it was, and nothing lands in the current folder.
TEST(Trash, TakesTheFileOrLeavesItWhereItWas)
{
    TestFolder folder;
    const QStringList cwdBefore = QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    enum class Case { Fine, NoTrashFolder, FolderLocked };
    for (const Case c : {Case::Fine, Case::NoTrashFolder, Case::FolderLocked}) {
        SCOPED_TRACE(int(c));
        QDir().mkpath(folder.file(QStringLiteral("docs")));
        folder.write(QStringLiteral("docs/lettre.txt"), "bytes");
        const QString path = folder.file(QStringLiteral("docs/lettre.txt"));
        const QByteArray data = qgetenv("XDG_DATA_HOME");
        if (c == Case::NoTrashFolder) {
            folder.write(QStringLiteral("plain"), "x");
            qputenv("XDG_DATA_HOME", QFile::encodeName(folder.file(QStringLiteral("plain/share"))));
        }
        std::optional<Immutable> locked;
        if (c == Case::FolderLocked) {
            locked.emplace(folder.file(QStringLiteral("docs")));
            if (!locked->set) GTEST_SKIP() << "chattr +i refused here";
        }
        EXPECT_EQ(files::trashAvailable(path), c == Case::Fine || c == Case::NoTrashFolder);
        QString error;
        const bool moved = files::moveToTrash(path, &error);
        qputenv("XDG_DATA_HOME", data);
        locked.reset();
        EXPECT_EQ(moved, c == Case::Fine) << error.toStdString();
        EXPECT_EQ(QFileInfo::exists(path), c != Case::Fine);
        if (moved) {
            EXPECT_EQ(folder.read(QStringLiteral(".local/share/Trash/files/lettre.txt")), "bytes");
            EXPECT_TRUE(QFileInfo::exists(folder.file(QStringLiteral(".local/share/Trash/info/lettre.txt.trashinfo"))));
        } else {
            EXPECT_TRUE(error.contains(path)) << error.toStdString();
            EXPECT_EQ(folder.read(QStringLiteral("docs/lettre.txt")), "bytes");
        }
    }
    EXPECT_EQ(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), cwdBefore);
}
