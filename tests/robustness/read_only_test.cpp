// A catalogue on a folder that cannot be written: a read-only bind mount, or the immutable
// attribute on the folder and its files (plain permissions do not stop root, who runs these
// tests). Every writing command must say so and change nothing.

#include "tests/robustness/robustness_support.h"

#include <QDir>

#include <gtest/gtest.h>

#include <tuple>

namespace
{

using robust::encoded;
using robust::sortedLines;

enum class Protection { ReadOnlyMount, Immutable };

void PrintTo(Protection p, std::ostream *os)
{
    *os << (p == Protection::ReadOnlyMount ? "read-only mount" : "immutable");
}
using robust::Command;
using robust::commandName;

const QString kLine =
    QStringLiteral("ECLAIR AU CAFÉ@09-09-2009[]TEXTES#RECETTE§/srv/recettes/éclair.txt");
const QString kLineEdited =
    QStringLiteral("ECLAIR AU CAFÉ@09-09-2009[]TEXTES#RECETTE DE 1920§/srv/recettes/éclair.txt");

// Runs talvo5-cli on a read-only bind mount of the folder, inside a mount namespace of its own.
const char kReadOnlyScript[] = R"(
dir=$1; shift
mount --bind "$dir" "$dir" && mount -o remount,bind,ro "$dir" || exit 97
exec "$@"
)";

// Sets or clears the immutable attribute; lifts it again when it goes out of scope, so that the
// temporary folder can be removed even when a check fails.
class Immutability
{
  public:
    explicit Immutability(QStringList paths) : paths_(std::move(paths)) {}
    ~Immutability()
    {
        if (set_)
            robust::runProgram(QStringLiteral("chattr"),
                               QStringList{QStringLiteral("-i")} + paths_);
    }
    QString set()
    {
        const robust::ProgramRun r = robust::runProgram(QStringLiteral("chattr"),
                                                        QStringList{QStringLiteral("+i")} + paths_);
        set_ = true; // some paths may have taken it even when chattr failed on others
        return r.exitCode == 0
                   ? QString()
                   : r.errText().trimmed() + QStringLiteral(" (chattr exit %1)").arg(r.exitCode);
    }
    void lift()
    {
        robust::runProgram(QStringLiteral("chattr"), QStringList{QStringLiteral("-i")} + paths_);
        set_ = false;
    }

  private:
    QStringList paths_;
    bool set_ = false;
};

class ReadOnlyFolder : public ::testing::TestWithParam<std::tuple<Protection, Command>>
{
};

TEST_P(ReadOnlyFolder, WritingCommandFailsAndChangesNothing)
{
    const auto [protection, command] = GetParam();
    TestFolder folder;
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    const QStringList add{QStringLiteral("add"),
                          QStringLiteral("--key"),
                          QStringLiteral("eclair au café"),
                          QStringLiteral("--category"),
                          QStringLiteral("TEXTES"),
                          QStringLiteral("--date"),
                          QStringLiteral("09-09-2009"),
                          QStringLiteral("--note"),
                          QStringLiteral("recette"),
                          QStringLiteral("--target"),
                          QStringLiteral("/srv/recettes/éclair.txt")};
    QStringList args;
    QList<QByteArray> expected;
    if (command == Command::Add) {
        args = add;
        expected = {encoded(kLine)};
    } else {
        ASSERT_EQ(runCli(folder, add).exitCode, 0);
        ASSERT_EQ(sortedLines(folder.read(QStringLiteral("E.MFI"))),
                  QList<QByteArray>{encoded(kLine)});
        if (command == Command::Delete) {
            args = {QStringLiteral("delete"), kLine};
        } else {
            args = {QStringLiteral("replace"), kLine, kLineEdited};
            expected = {encoded(kLineEdited)};
        }
    }
    const robust::Snapshot before = robust::snapshot(folder.path());

    CliRun failed;
    QStringList everything{folder.path()};
    for (const QString &name : QDir(folder.path()).entryList(QDir::Files | QDir::Hidden))
        everything << folder.file(name);
    Immutability immutable(everything);
    if (protection == Protection::ReadOnlyMount) {
        const QString why = robust::whyNoPrivateMounts(folder.file(QStringLiteral("probe")));
        if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
        const robust::ProgramRun r = robust::runInMountNamespace(
            QString::fromLatin1(kReadOnlyScript),
            QStringList{folder.path(), robust::cliPath(), QStringLiteral("--home"), folder.path()} +
                args);
        if (r.exitCode == 97)
            GTEST_SKIP() << "read-only bind mount refused: " << r.errText().toStdString();
        failed = {r.exitCode, r.out, r.err};
    } else {
        const QString why = immutable.set();
        if (!why.isEmpty()) GTEST_SKIP() << "immutable attribute refused: " << why.toStdString();
        failed = runCli(folder, args);
    }
    EXPECT_EQ(failed.exitCode, 1) << failed.errText().toStdString();
    EXPECT_FALSE(failed.errText().trimmed().isEmpty());
    EXPECT_EQ(robust::differences(before, robust::snapshot(folder.path())), QStringList());
    EXPECT_EQ(robust::temporaries(folder.entries()), QStringList());

    immutable.lift();
    const CliRun retried = runCli(folder, args);
    ASSERT_EQ(retried.exitCode, 0) << retried.errText().toStdString();
    EXPECT_EQ(sortedLines(folder.read(QStringLiteral("E.MFI"))), expected);
}

INSTANTIATE_TEST_SUITE_P(
    robustness, ReadOnlyFolder,
    ::testing::Combine(::testing::Values(Protection::ReadOnlyMount, Protection::Immutable),
                       ::testing::Values(Command::Add, Command::Delete, Command::Replace)),
    [](const auto &info) {
        return std::string(std::get<0>(info.param) == Protection::ReadOnlyMount ? "Mount"
                                                                                : "Immutable") +
               commandName(std::get<1>(info.param));
    });

} // namespace
