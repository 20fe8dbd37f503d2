// Saving on a disk that really fills up: a small tmpfs in a mount namespace of the test's own,
// filled so that only part of the new letter file fits. The write comes back short, then with
// ENOSPC; the save must fail cleanly and work once room is made.

#include "tests/robustness/robustness_support.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace
{

using robust::Command;
using robust::commandName;
using robust::encoded;
using robust::sortedLines;

// Arguments: DISK SOURCE OUT CLI COMMAND-ARGUMENTS...
// Copies the catalogue SOURCE (with its sample files) onto a fresh 256 KiB tmpfs at DISK, fills the disk with one-page
// files, frees two pages, runs the command, records what it left, makes room and runs it again.
const char kScript[] = R"(
disk=$1; source=$2; out=$3; cli=$4; shift 4
mount -t tmpfs -o size=256k tmpfs "$disk" || exit 97
cp -a "$source/." "$disk/" || exit 98
n=0
while dd if=/dev/zero of="$disk/filler$n" bs=4096 count=1 2>/dev/null; do n=$((n+1)); done
echo "$n" >"$out/fillers"
rm -f "$disk/filler$n" "$disk/filler0" "$disk/filler1"
LC_ALL=C.UTF-8 "$cli" --home "$disk" "$@" >/dev/null 2>"$out/err1"; echo $? >"$out/rc1"
rm -f "$disk"/filler*
mkdir "$out/after1" && cp -a "$disk/." "$out/after1/"
LC_ALL=C.UTF-8 "$cli" --home "$disk" "$@" >/dev/null 2>"$out/err2"; echo $? >"$out/rc2"
mkdir "$out/after2" && cp -a "$disk/." "$out/after2/"
)";

class FullDisk : public ::testing::TestWithParam<Command>
{
};

TEST_P(FullDisk, SaveThatDoesNotFitFailsCleanly)
{
    TestFolder folder;
    const QString why = robust::whyNoPrivateMounts(folder.file(QStringLiteral("probe")));
    if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();

    const QString source = folder.file(QStringLiteral("source"));
    const QString disk = folder.file(QStringLiteral("disk"));
    const QString out = folder.file(QStringLiteral("out"));
    for (const QString &d : {source, disk, out})
        ASSERT_TRUE(QDir().mkpath(d));
    ASSERT_EQ(runCli(folder, {QStringLiteral("--home"), source, QStringLiteral("init")}).exitCode,
              0);

    // About 15 KiB of records: four pages, while only two will be free.
    QByteArray letters;
    for (int i = 0; i < 150; ++i)
        letters +=
            encoded(QStringLiteral("ARCHIVE %1 DE L'ÉTÉ@01-08-2001[]IMAGES#VUE N° %1 PRISE À "
                                   "L'AUBE§/srv/photos/été/%1.jpg\r\n")
                        .arg(i, 3, 10, QLatin1Char('0')));
    {
        QFile f(source + QStringLiteral("/A.MFI"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(letters), letters.size());
    }
    const QString victim =
        QStringLiteral("ARCHIVE 042 DE L'ÉTÉ@01-08-2001[]IMAGES#VUE N° 042 PRISE À "
                       "L'AUBE§/srv/photos/été/042.jpg");
    const QString edited = QStringLiteral("ARCHIVE 042 DE L'ÉTÉ@01-08-2001[]IMAGES#VUE N° 042, "
                                          "RECADRÉE§/srv/photos/été/042.jpg");
    QStringList args;
    QList<QByteArray> expected = sortedLines(letters);
    switch (GetParam()) {
    case Command::Add:
        args = {QStringLiteral("add"),         QStringLiteral("--key"),
                QStringLiteral("ARCHIVE 999"), QStringLiteral("--category"),
                QStringLiteral("IMAGES"),      QStringLiteral("--date"),
                QStringLiteral("02-08-2001")};
        expected.append(encoded(QStringLiteral("ARCHIVE 999@02-08-2001[]IMAGES#§")));
        break;
    case Command::Delete:
        args = {QStringLiteral("delete"), victim};
        expected.removeAll(encoded(victim));
        break;
    case Command::Replace:
        args = {QStringLiteral("replace"), victim, edited};
        expected.removeAll(encoded(victim));
        expected.append(encoded(edited));
        break;
    }
    std::sort(expected.begin(), expected.end());
    const robust::Snapshot before = robust::snapshot(source);

    const robust::ProgramRun run = robust::runInMountNamespace(
        QString::fromLatin1(kScript), QStringList{disk, source, out, robust::cliPath()} + args);
    ASSERT_EQ(run.exitCode, 0) << run.errText().toStdString();
    auto text = [&](const QString &name) {
        QFile f(out + u'/' + name);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
    };
    // The disk was full before two pages were freed.
    ASSERT_GE(text(QStringLiteral("fillers")).toInt(), 2);

    EXPECT_EQ(text(QStringLiteral("rc1")), QStringLiteral("1"))
        << text(QStringLiteral("err1")).toStdString();
    EXPECT_TRUE(text(QStringLiteral("err1")).contains(QStringLiteral("No space left on device")))
        << text(QStringLiteral("err1")).toStdString();
    const robust::Snapshot after = robust::snapshot(out + QStringLiteral("/after1"));
    EXPECT_EQ(robust::differences(before, after), QStringList());
    EXPECT_EQ(robust::temporaries(after.keys()), QStringList());

    EXPECT_EQ(text(QStringLiteral("rc2")), QStringLiteral("0"))
        << text(QStringLiteral("err2")).toStdString();
    const robust::Snapshot retried = robust::snapshot(out + QStringLiteral("/after2"));
    EXPECT_EQ(sortedLines(retried.value(QStringLiteral("A.MFI"))), expected);
    EXPECT_EQ(robust::temporaries(retried.keys()), QStringList());
}

// Arguments: DISK SOURCE OUT CLI. A first backup, a record added, then the disk filled: a second
// backup and a restore both fail, each leaving everything as it was; with room again, the
// restore brings back the first backup.
const char kBackupScript[] = R"(
disk=$1; source=$2; out=$3; cli=$4
mount -t tmpfs -o size=1m tmpfs "$disk" || exit 97
cp -a "$source/." "$disk/" || exit 98
LC_ALL=C.UTF-8 "$cli" --home "$disk" backup 2>"$out/err0"; echo $? >"$out/rc0"
LC_ALL=C.UTF-8 "$cli" --home "$disk" add --key "ARCHIVE 999" --category IMAGES --date 02-08-2001 2>>"$out/err0"
cp "$disk/A.MFI" "$out/A.added"
n=0
while dd if=/dev/zero of="$disk/filler$n" bs=4096 count=1 2>/dev/null; do n=$((n+1)); done
rm -f "$disk/filler0" "$disk/filler1"
LC_ALL=C.UTF-8 "$cli" --home "$disk" backup 2>"$out/err1"; echo $? >"$out/rc1"
LC_ALL=C.UTF-8 "$cli" --home "$disk" restore 2>"$out/err2"; echo $? >"$out/rc2"
rm -f "$disk"/filler*
mkdir "$out/after1" && cp -a "$disk/." "$out/after1/"
LC_ALL=C.UTF-8 "$cli" --home "$disk" restore 2>"$out/err3"; echo $? >"$out/rc3"
mkdir "$out/after2" && cp -a "$disk/." "$out/after2/"
)";

TEST(FullDisk, ABackupOrARestoreThatDoesNotFitChangesNothing)
{
    TestFolder folder;
    const QString why = robust::whyNoPrivateMounts(folder.file(QStringLiteral("probe")));
    if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
    const QString source = folder.file(QStringLiteral("source"));
    const QString disk = folder.file(QStringLiteral("disk"));
    const QString out = folder.file(QStringLiteral("out"));
    for (const QString &d : {source, disk, out})
        ASSERT_TRUE(QDir().mkpath(d));
    ASSERT_EQ(runCli(folder, {QStringLiteral("--home"), source, QStringLiteral("init")}).exitCode, 0);
    QByteArray letters;
    for (int i = 0; i < 150; ++i)
        letters += encoded(QStringLiteral("ARCHIVE %1 DE L'ÉTÉ@01-08-2001[]IMAGES#VUE N° %1§/srv/photos/%1.jpg\r\n")
                               .arg(i, 3, 10, QLatin1Char('0')));
    {
        QFile f(source + QStringLiteral("/A.MFI"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(letters), letters.size());
    }
    const robust::ProgramRun run = robust::runInMountNamespace(QString::fromLatin1(kBackupScript),
                                                               QStringList{disk, source, out, robust::cliPath()});
    ASSERT_EQ(run.exitCode, 0) << run.errText().toStdString();
    auto text = [&](const QString &name) {
        QFile f(out + u'/' + name);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
    };
    ASSERT_EQ(text(QStringLiteral("rc0")), QStringLiteral("0")) << text(QStringLiteral("err0")).toStdString();
    for (const char *rc : {"rc1", "rc2"}) {
        EXPECT_EQ(text(QLatin1String(rc)), QStringLiteral("1")) << rc;
    }
    EXPECT_TRUE(text(QStringLiteral("err1")).contains(QStringLiteral("No space left on device")))
        << text(QStringLiteral("err1")).toStdString();
    EXPECT_TRUE(text(QStringLiteral("err2")).contains(QStringLiteral("No space left on device")))
        << text(QStringLiteral("err2")).toStdString();
    // The failed backup left no half-made one, the failed restore the catalogue as it was.
    const QStringList dated = QDir(out + QStringLiteral("/after1/BACKUP"))
                                  .entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_EQ(dated.filter(QStringLiteral("partial")), QStringList());
    EXPECT_EQ(dated.filter(QRegularExpression(QStringLiteral("^2"))).size(), 1) << dated.join(u' ').toStdString();
    QFile added(out + QStringLiteral("/A.added"));
    ASSERT_TRUE(added.open(QIODevice::ReadOnly));
    EXPECT_EQ(robust::snapshot(out + QStringLiteral("/after1")).value(QStringLiteral("A.MFI")), added.readAll());

    EXPECT_EQ(text(QStringLiteral("rc3")), QStringLiteral("0")) << text(QStringLiteral("err3")).toStdString();
    EXPECT_EQ(sortedLines(robust::snapshot(out + QStringLiteral("/after2")).value(QStringLiteral("A.MFI"))),
              sortedLines(letters));
}

INSTANTIATE_TEST_SUITE_P(robustness, FullDisk,
                         ::testing::Values(Command::Add, Command::Delete, Command::Replace),
                         [](const auto &info) { return std::string(commandName(info.param)); });

} // namespace
