// talvo5-cli killed at random moments while it saves: afterwards every letter file must be its
// old content or exactly the new one, never a torn or empty file, a moved record must never be
// lost, and the next command must clear the temporary file the killed one left behind.
//
// TALVO_KILL_SEED replays a run (the seed is printed); TALVO_KILL_ROUNDS sets the number of kills
// of the three tests together (200).

#include "tests/robustness/robustness_support.h"

#include "archiver/store/record.h"
#include "common/files/atomic_file.h"
#include "common/text/line_file.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <iostream>
#include <random>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace
{

using Clock = std::chrono::steady_clock;
using robust::encoded;

enum class Kind { Add, Replace, Move };

const char *kindName(Kind k)
{
    switch (k) {
    case Kind::Add:
        return "Adds";
    case Kind::Replace:
        return "Replaces";
    case Kind::Move:
        return "Moves";
    }
    return "";
}

void PrintTo(Kind k, std::ostream *os)
{
    *os << kindName(k);
}

// Starts talvo5-cli on home with its output thrown away.
pid_t spawnCli(const QString &home, const QStringList &args)
{
    std::vector<QByteArray> storage{QFile::encodeName(robust::cliPath()), "--home",
                                    QFile::encodeName(home)};
    for (const QString &a : args)
        storage.push_back(a.toUtf8());
    std::vector<char *> argv;
    for (QByteArray &s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int waitFor(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

using Letters = QMap<QString, QByteArray>;

// The 36 letter files of a folder.
Letters readLetters(const QString &folder)
{
    Letters out;
    for (int i = 0; i < record::kLetterCount; ++i) {
        const QString name = QLatin1Char(record::kLetterList[i]) + QStringLiteral(".MFI");
        QFile f(folder + name);
        out.insert(name, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>"));
    }
    return out;
}

class Generator
{
  public:
    explicit Generator(quint64 seed) : rng_(seed) {}

    int below(int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(rng_)); }
    template <typename T, size_t N> const T &pick(const T (&a)[N]) { return a[below(int(N))]; }

    QString key(QChar letter)
    {
        static const char *const a[] = {"ALBUM", "ARCHIVE", "AQUARELLE", "ATELIER", "AUTOMNE"};
        static const char *const b[] = {"BALADE", "BIBLIOTHÈQUE", "BOÎTE", "BRETAGNE", "BÉBÉ"};
        QString k = QString::fromUtf8(letter == u'A' ? pick(a) : pick(b));
        for (int n = below(3); n >= 0; --n)
            k += u' ' + word();
        return k + QStringLiteral(" %1").arg(++serial_);
    }
    QString word()
    {
        static const char *const w[] = {"ÉTÉ",    "NOËL",    "FORÊT",  "GARÇON",  "ŒUVRE", "PHOTO",
                                        "LETTRE", "CONCERT", "VOYAGE", "CHÂTEAU", "MER",   "1998"};
        return QString::fromUtf8(pick(w));
    }
    QString date()
    {
        return QStringLiteral("%1-%2-%3")
            .arg(1 + below(28), 2, 10, QLatin1Char('0'))
            .arg(1 + below(12), 2, 10, QLatin1Char('0'))
            .arg(1980 + below(45));
    }
    QString category()
    {
        static const char *const c[] = {"TEXTES", "SONS", "IMAGES", "WEB", "E-MAIL"};
        return QString::fromUtf8(pick(c));
    }
    QString note()
    {
        QString n = word();
        for (int i = below(4); i > 0; --i)
            n += u' ' + word();
        return n;
    }
    QString target(QChar letter)
    {
        return below(4) == 0
                   ? QStringLiteral("contact%1@exemple.fr").arg(below(1000))
                   : QStringLiteral("/srv/archives/%1/%2.jpg").arg(letter).arg(below(100000));
    }
    QString line(QChar letter)
    {
        const QString support = below(10) < 3 ? QStringLiteral("CD %1").arg(below(50)) : QString();
        return key(letter) + u'@' + date() + u'[' + support + u']' + category() + u'#' + note() +
               u'\u00A7' + target(letter);
    }

    std::mt19937_64 &engine() { return rng_; }

  private:
    std::mt19937_64 rng_;
    int serial_ = 0;
};

// A random record line of a letter file.
QString pickLine(Generator &g, const QByteArray &file)
{
    QList<QByteArray> lines = linefile::splitLines(file);
    lines.removeAll(QByteArray());
    return lines.isEmpty() ? QString() : robust::decoded(lines[g.below(int(lines.size()))]);
}

// One command of the loop and the letter files it writes.
struct Step {
    QStringList args;
    QString from, to; // a move takes a record out of from and into to
};

Step nextStep(Kind kind, Generator &g, const Letters &letters)
{
    const QChar letter = g.below(2) ? u'A' : u'B';
    const QString file = letter + QStringLiteral(".MFI");
    switch (kind) {
    case Kind::Add:
        return {{QStringLiteral("add"), QStringLiteral("--key"), g.key(letter),
                 QStringLiteral("--category"), g.category(), QStringLiteral("--date"), g.date(),
                 QStringLiteral("--note"), g.note(), QStringLiteral("--target"), g.target(letter)},
                {},
                file};
    case Kind::Replace: {
        const QString old = pickLine(g, letters.value(file));
        const qsizetype hash = old.indexOf(u'#');
        const qsizetype section = old.indexOf(u'\u00A7');
        const QString edited = old.left(hash + 1) + g.note() + old.mid(section);
        return {{QStringLiteral("replace"), old, edited}, {}, file};
    }
    case Kind::Move: {
        const QChar other = letter == u'A' ? u'B' : u'A';
        const QString old = pickLine(g, letters.value(file));
        return {{QStringLiteral("replace"), old, other + old.mid(1)},
                file,
                other + QStringLiteral(".MFI")};
    }
    }
    return {};
}

// Waits until a temporary file of a save appears in the watched folder, at most timeout.
bool waitForSaveToBegin(int watch, std::chrono::milliseconds timeout)
{
    const auto end = Clock::now() + timeout;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0) return false;
        pollfd p{watch, POLLIN, 0};
        if (::poll(&p, 1, int(left.count())) <= 0) continue;
        const ssize_t n = ::read(watch, buffer, sizeof buffer);
        for (ssize_t at = 0; at < n;) {
            const auto *e = reinterpret_cast<const inotify_event *>(buffer + at);
            if (e->len && std::strstr(e->name, files::kTemporaryMarker)) return true;
            at += ssize_t(sizeof(inotify_event) + e->len);
        }
    }
}

// An inotify descriptor, closed however the test ends.
struct Watch {
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ~Watch()
    {
        if (fd >= 0) ::close(fd);
    }
};

void drain(int watch)
{
    char buffer[4096];
    while (::read(watch, buffer, sizeof buffer) > 0) {
    }
}

QString describe(const QString &name, const QByteArray &now, const QByteArray &old,
                 const QByteArray &expected)
{
    return QStringLiteral(
               "%1 is neither its old content (%2 bytes) nor the new one (%3 bytes): %4 bytes")
        .arg(name)
        .arg(old.size())
        .arg(expected.size())
        .arg(now.size());
}

class KillLoop : public ::testing::TestWithParam<Kind>
{
};

TEST_P(KillLoop, EveryLetterFileIsOldOrNew)
{
    const Kind kind = GetParam();
    bool seeded = false;
    const quint64 seed = qEnvironmentVariable("TALVO_KILL_SEED").toULongLong(&seeded);
    const quint64 used =
        seeded ? seed : std::random_device{}() ^ (quint64(std::random_device{}()) << 32);
    // The kills are shared out between the three kinds of command.
    bool counted = false;
    int total = qEnvironmentVariableIntValue("TALVO_KILL_ROUNDS", &counted);
    if (!counted) total = 200;
    const int rounds = total / 3 + (int(kind) < total % 3 ? 1 : 0);
    std::cout << "kill loop " << kindName(kind) << ": seed " << used << " (TALVO_KILL_SEED=" << used
              << " replays it)" << std::endl;
    RecordProperty("seed", std::to_string(used));
    Generator g(used);

    TestFolder folder;
    const QString home = folder.path();
    const QString reference = folder.file(QStringLiteral("reference/"));
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    ASSERT_EQ(
        runCli(folder, {QStringLiteral("--home"), reference, QStringLiteral("init")}).exitCode, 0);
    // A few thousand records in each of the two letter files the commands write, so that a save
    // takes a measurable time.
    for (const QChar letter : {u'A', u'B'}) {
        QByteArray bytes;
        for (int i = 0; i < 3000; ++i)
            bytes += encoded(g.line(letter)) + "\r\n";
        folder.write(letter + QStringLiteral(".MFI"), bytes);
    }

    const Watch watching;
    const int watch = watching.fd;
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(home).constData(), IN_CREATE), 0);

    double averageUs = 5000; // of an uninterrupted command, refined as the reference runs go
    int kills = 0, asBefore = 0, asAfter = 0, halfMoved = 0, finished = 0, leftovers = 0,
        cleanups = 0;
    bool cleanupDue = false;
    const auto start = Clock::now();
    // Past the last kill, one more command clears what that kill may have left.
    for (int round = 0; (kills < rounds || cleanupDue) && !HasFailure(); ++round) {
        SCOPED_TRACE(QStringLiteral("seed %1, round %2").arg(used).arg(round).toStdString());
        const Letters old = readLetters(home);
        const Step step = nextStep(kind, g, old);

        // What the command makes of these files when nothing stops it.
        for (const char *name : {"A.MFI", "B.MFI"}) {
            QFile f(reference + QLatin1String(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ASSERT_EQ(f.write(old.value(QLatin1String(name))),
                      old.value(QLatin1String(name)).size());
        }
        const auto refStart = Clock::now();
        const pid_t ref = spawnCli(reference, step.args);
        ASSERT_GT(ref, 0);
        const int refStatus = waitFor(ref);
        averageUs =
            0.9 * averageUs + 0.1 * double(std::chrono::duration_cast<std::chrono::microseconds>(
                                               Clock::now() - refStart)
                                               .count());
        ASSERT_TRUE(WIFEXITED(refStatus) && WEXITSTATUS(refStatus) == 0)
            << "uninterrupted " << step.args.join(u' ').toStdString();
        Letters expected = old;
        for (const char *name : {"A.MFI", "B.MFI"}) {
            QFile f(reference + QLatin1String(name));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            expected[QLatin1String(name)] = f.readAll();
        }

        if (cleanupDue) {
            // The command after a killed save runs to its end and clears what the killed one left.
            const int status = waitFor(spawnCli(home, step.args));
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            EXPECT_EQ(robust::temporariesIn(home), QStringList());
            EXPECT_TRUE(readLetters(home) == expected) << "the command after a kill did not save";
            cleanupDue = false;
            ++cleanups;
            continue;
        }

        drain(watch);
        const bool anchored = g.below(2) == 0;
        const pid_t pid = spawnCli(home, step.args);
        ASSERT_GT(pid, 0);
        if (anchored) {
            // Somewhere inside the save: from the creation of its temporary file to shortly after.
            waitForSaveToBegin(watch, std::chrono::milliseconds(200 + int(averageUs / 100)));
            std::this_thread::sleep_for(std::chrono::microseconds(g.below(1000)));
        } else {
            // Anywhere in the run, start-up included.
            std::this_thread::sleep_for(
                std::chrono::microseconds(g.below(int(averageUs * 1.2) + 1)));
        }
        ::kill(pid, SIGKILL);
        const int status = waitFor(pid);
        ++kills;

        const Letters now = readLetters(home);
        if (WIFEXITED(status)) {
            ++finished;
            EXPECT_EQ(WEXITSTATUS(status), 0);
            EXPECT_TRUE(now == expected) << "a command that ended normally did not save";
        }
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            const QByteArray &o = old.value(it.key()), &e = expected.value(it.key());
            EXPECT_TRUE(it.value() == o || it.value() == e)
                << describe(it.key(), it.value(), o, e).toStdString();
        }
        if (!step.from.isEmpty()) {
            const bool outOfOld = now.value(step.from) != old.value(step.from);
            const bool intoNew = now.value(step.to) != old.value(step.to);
            EXPECT_FALSE(outOfOld && !intoNew) << "the moved record is in neither file";
            if (!outOfOld && intoNew) ++halfMoved;
        }
        if (now == old)
            ++asBefore;
        else if (now == expected)
            ++asAfter;
        if (!robust::temporariesIn(home).isEmpty()) {
            ++leftovers;
            cleanupDue = true;
        }
    }
    const auto seconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count() /
        1000.0;
    std::cout << "kill loop " << kindName(kind) << ": " << kills << " kills in " << seconds
              << " s (a command takes " << int(averageUs) << " us): " << asBefore
              << " left the old files, " << asAfter << " the new ones, " << halfMoved
              << " a record in both files, " << finished << " ended before the kill; " << leftovers
              << " left a temporary file, which the next command removed" << std::endl;
    // The kills landed on both sides of the saves and inside them, or the loop proved nothing.
    EXPECT_GT(asBefore, 0);
    EXPECT_GT(asAfter, 0);
    EXPECT_GT(leftovers, 0);
    EXPECT_EQ(cleanups, leftovers);
}

// An import of lines for every letter file killed at a random moment: each letter file is its old
// content or its new one, and undo then gives back the catalogue as it was before the import.
TEST(KillImport, EachFileIsOldOrNewAndUndoGivesBackTheOldCatalogue)
{
    bool seeded = false;
    const quint64 seed = qEnvironmentVariable("TALVO_KILL_SEED").toULongLong(&seeded);
    const quint64 used = seeded ? seed : std::random_device{}();
    std::cout << "kill import: seed " << used << " (TALVO_KILL_SEED=" << used << " replays it)" << std::endl;
    Generator g(used);

    TestFolder folder;
    const QString home = folder.path();
    const QString reference = folder.file(QStringLiteral("reference/"));
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    ASSERT_EQ(runCli(folder, {QStringLiteral("--home"), reference, QStringLiteral("init")}).exitCode, 0);
    QByteArray import;
    for (int i = 0; i < record::kLetterCount; ++i) {
        const QChar letter = QLatin1Char(record::kLetterList[i]);
        QByteArray bytes;
        for (int n = 0; n < 400; ++n) {
            bytes += encoded(letter + g.line(u'A').mid(1)) + "\r\n";
            if (n % 4 == 0) import += encoded(letter + g.line(u'B').mid(1)) + "\r\n";
        }
        folder.write(letter + QStringLiteral(".MFI"), bytes);
        folder.write(QStringLiteral("reference/") + letter + QStringLiteral(".MFI"), bytes);
    }
    folder.write(QStringLiteral("import.MFI"), import);
    const QStringList args = {QStringLiteral("import"), folder.file(QStringLiteral("import.MFI"))};
    const Letters old = readLetters(home);

    const auto refStart = Clock::now();
    ASSERT_EQ(waitFor(spawnCli(reference, args)), 0);
    const auto fullUs = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - refStart).count();
    const Letters expected = readLetters(reference);
    ASSERT_NE(expected, old);

    const int rounds = 24;
    int asBefore = 0, mixed = 0, asAfter = 0;
    for (int round = 0; round < rounds && !HasFailure(); ++round) {
        SCOPED_TRACE(QStringLiteral("seed %1, round %2").arg(used).arg(round).toStdString());
        const pid_t pid = spawnCli(home, args);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(g.below(int(fullUs * 1.2) + 1)));
        ::kill(pid, SIGKILL);
        waitFor(pid);

        const Letters now = readLetters(home);
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            const QByteArray &o = old.value(it.key()), &e = expected.value(it.key());
            EXPECT_TRUE(it.value() == o || it.value() == e) << describe(it.key(), it.value(), o, e).toStdString();
        }
        if (now == old) ++asBefore;
        else if (now == expected) ++asAfter;
        else ++mixed;

        const CliRun undone = runCli(folder, {QStringLiteral("undo")});
        EXPECT_TRUE(undone.exitCode == 0 || (now == old && undone.exitCode == 1)) << undone.errText().toStdString();
        EXPECT_TRUE(readLetters(home) == old) << "undo did not give back the catalogue";
        EXPECT_EQ(runCli(folder, {QStringLiteral("undo")}).exitCode, 1); // nothing left to undo
    }
    std::cout << "kill import: " << rounds << " kills (an import takes " << fullUs << " us): " << asBefore
              << " left the old catalogue, " << mixed << " some files imported, " << asAfter << " all of them"
              << std::endl;
    EXPECT_GT(asBefore + mixed + asAfter, 0);
}

// The sorted lines of each letter file: an add sorts its file, so files are compared by their lines.
QMap<QString, QList<QByteArray>> sortedLetters(const Letters &letters)
{
    QMap<QString, QList<QByteArray>> out;
    for (auto it = letters.cbegin(); it != letters.cend(); ++it) {
        QList<QByteArray> lines = linefile::splitLines(it.value());
        lines.removeAll(QByteArray());
        std::sort(lines.begin(), lines.end());
        out.insert(it.key(), lines);
    }
    return out;
}

// Each operation on many records killed at a random moment, then a record added, then undo: the
// add first puts an interrupted operation back (a finished one stays), and the undo never takes
// the added record away. The catalogue is then, the added record aside, the one before the
// operation or the one after it, as a whole. TALVO_KILL_BATCH_ROUNDS sets the kills of each
// operation (8).
TEST(KillBatch, ARecordAddedAfterAKillSurvivesTheUndo)
{
    bool seeded = false;
    const quint64 seed = qEnvironmentVariable("TALVO_KILL_SEED").toULongLong(&seeded);
    const quint64 used = seeded ? seed : std::random_device{}();
    std::cout << "kill batch: seed " << used << " (TALVO_KILL_SEED=" << used << " replays it)" << std::endl;
    Generator g(used);
    const int rounds = qEnvironmentVariableIntValue("TALVO_KILL_BATCH_ROUNDS") > 0
                           ? qEnvironmentVariableIntValue("TALVO_KILL_BATCH_ROUNDS")
                           : 8;

    TestFolder folder;
    const QString home = folder.path();
    const QString reference = folder.file(QStringLiteral("reference/"));
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    ASSERT_EQ(runCli(folder, {QStringLiteral("--home"), reference, QStringLiteral("init")}).exitCode, 0);
    Letters old;
    QByteArray import;
    for (int i = 0; i < record::kLetterCount; ++i) {
        const QChar letter = QLatin1Char(record::kLetterList[i]);
        QByteArray bytes;
        for (int n = 0; n < 300; ++n) {
            bytes += encoded(letter + g.line(u'A').mid(1)) + "\r\n";
            if (n % 5 == 0) import += encoded(letter + g.line(u'B').mid(1)) + "\r\n";
        }
        old.insert(letter + QStringLiteral(".MFI"), bytes);
    }
    folder.write(QStringLiteral("import.MFI"), import);
    auto reset = [&old](const QString &dir) {
        for (auto it = old.cbegin(); it != old.cend(); ++it) {
            QFile f(dir + it.key());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(it.value());
        }
        QDir(dir + QStringLiteral("BACKUP/operations")).removeRecursively();
    };
    const QList<QStringList> operations{
        {QStringLiteral("replace-all"), QStringLiteral("PHOTO"), QStringLiteral("IMAGE")},
        // A key changed at its first letter moves its record to another letter file.
        {QStringLiteral("replace-all"), QStringLiteral("ALBUM"), QStringLiteral("ZALBUM")},
        {QStringLiteral("support-add"), QStringLiteral("NOËL"), QStringLiteral("CD NOEL")},
        {QStringLiteral("support-remove"), QStringLiteral("CD 7")},
        {QStringLiteral("delete-found"), QStringLiteral("VOYAGE")},
        {QStringLiteral("import"), folder.file(QStringLiteral("import.MFI"))},
    };
    int kills = 0, undone = 0, refused = 0;
    for (const QStringList &op : operations) {
        SCOPED_TRACE(op.join(u' ').toStdString());
        reset(reference);
        const auto start = Clock::now();
        ASSERT_EQ(waitFor(spawnCli(reference, op)), 0);
        const auto fullUs = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        const auto before = sortedLetters(old), after = sortedLetters(readLetters(reference));
        ASSERT_NE(before, after);
        for (int round = 0; round < rounds && !HasFailure(); ++round, ++kills) {
            SCOPED_TRACE(QStringLiteral("seed %1, round %2").arg(used).arg(round).toStdString());
            reset(home);
            const pid_t pid = spawnCli(home, op);
            ASSERT_GT(pid, 0);
            std::this_thread::sleep_for(std::chrono::microseconds(g.below(int(fullUs * 1.2) + 1)));
            ::kill(pid, SIGKILL);
            waitFor(pid);

            const QString key = QStringLiteral("AJOUT %1").arg(round);
            const CliRun added = runCli(folder, {QStringLiteral("add"), QStringLiteral("--key"), key,
                                                 QStringLiteral("--category"), QStringLiteral("TEXTES"),
                                                 QStringLiteral("--date"), QStringLiteral("01-01-2001")});
            ASSERT_EQ(added.exitCode, 0) << added.errText().toStdString();
            const CliRun undo = runCli(folder, {QStringLiteral("undo")});
            (undo.exitCode == 0 ? undone : refused) += 1;

            const QByteArray addedLine = encoded(key + QStringLiteral("@01-01-2001[]TEXTES#\u00A7"));
            auto now = sortedLetters(readLetters(home));
            EXPECT_EQ(now[QStringLiteral("A.MFI")].count(addedLine), 1) << undo.errText().toStdString();
            now[QStringLiteral("A.MFI")].removeAll(addedLine);
            EXPECT_TRUE(now == before || now == after) << "a mix of the catalogue before and after the operation";
        }
    }
    std::cout << "kill batch: " << kills << " kills, then an add and an undo: " << undone << " undos done, "
              << refused << " refused or with nothing to undo" << std::endl;
}

// A backup killed at a random moment, then a restore; a restore killed, then the next command: the
// catalogue is always one whole state it had, never a mix, and a killed backup leaves no backup
// half made. TALVO_KILL_BATCH_ROUNDS sets the kills of each (8).
TEST(KillBackup, ARestoreAlwaysGivesOneWholeEarlierCatalogue)
{
    bool seeded = false;
    const quint64 seed = qEnvironmentVariable("TALVO_KILL_SEED").toULongLong(&seeded);
    const quint64 used = seeded ? seed : std::random_device{}();
    std::cout << "kill backup: seed " << used << " (TALVO_KILL_SEED=" << used << " replays it)" << std::endl;
    Generator g(used);
    const int rounds = qEnvironmentVariableIntValue("TALVO_KILL_BATCH_ROUNDS") > 0
                           ? qEnvironmentVariableIntValue("TALVO_KILL_BATCH_ROUNDS")
                           : 8;
    TestFolder folder;
    const QString home = folder.path();
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    Letters first, second;
    for (int i = 0; i < record::kLetterCount; ++i) {
        const QChar letter = QLatin1Char(record::kLetterList[i]);
        QByteArray a, b;
        for (int n = 0; n < 300; ++n) {
            const QByteArray line = encoded(letter + g.line(u'A').mid(1)) + "\r\n";
            a += line;
            b += n % 3 ? line : encoded(letter + g.line(u'B').mid(1)) + "\r\n";
        }
        first.insert(letter + QStringLiteral(".MFI"), a);
        second.insert(letter + QStringLiteral(".MFI"), b);
    }
    auto put = [&](const Letters &state) {
        for (auto it = state.cbegin(); it != state.cend(); ++it) folder.write(it.key(), it.value());
    };
    auto backups = [&] {
        return QDir(folder.file(QStringLiteral("BACKUP")))
            .entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)
            .filter(QRegularExpression(QStringLiteral("^2")));
    };
    put(first);
    ASSERT_EQ(runCli(folder, {QStringLiteral("backup")}).exitCode, 0);
    auto time = [&](const QStringList &args) {
        const auto start = Clock::now();
        waitFor(spawnCli(home, args));
        return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
    };
    put(second);
    const auto backupUs = time({QStringLiteral("backup")});
    int whole = 0;
    for (int round = 0; round < rounds && !HasFailure(); ++round) {
        SCOPED_TRACE(QStringLiteral("seed %1, backup round %2").arg(used).arg(round).toStdString());
        put(second);
        const pid_t pid = spawnCli(home, {QStringLiteral("backup")});
        std::this_thread::sleep_for(std::chrono::microseconds(g.below(int(backupUs * 1.2) + 1)));
        ::kill(pid, SIGKILL);
        waitFor(pid);
        // A dated backup is whole: a killed one is absent, or complete with its manifest.
        for (const QString &name : backups())
            EXPECT_TRUE(folder.exists(QStringLiteral("BACKUP/") + name + QStringLiteral("/backup.txt"))) << name.toStdString();
        const CliRun restored = runCli(folder, {QStringLiteral("restore")});
        EXPECT_EQ(restored.exitCode, 0) << restored.errText().toStdString();
        const Letters now = readLetters(home);
        EXPECT_TRUE(now == first || now == second) << "the restore gave a mix";
        whole += now == first || now == second;
    }
    put(second);
    const auto restoreUs = time({QStringLiteral("restore"), backups().first()});
    for (int round = 0; round < rounds && !HasFailure(); ++round) {
        SCOPED_TRACE(QStringLiteral("seed %1, restore round %2").arg(used).arg(round).toStdString());
        put(second);
        const pid_t pid = spawnCli(home, {QStringLiteral("restore"), backups().first()});
        std::this_thread::sleep_for(std::chrono::microseconds(g.below(int(restoreUs * 1.2) + 1)));
        ::kill(pid, SIGKILL);
        waitFor(pid);
        // The next writer puts a half-made restore back.
        ASSERT_EQ(runCli(folder, {QStringLiteral("backup")}).exitCode, 0);
        const Letters now = readLetters(home);
        EXPECT_TRUE(now == first || now == second) << "a killed restore left a mix";
        whole += now == first || now == second;
    }
    std::cout << "kill backup: " << 2 * rounds << " kills of a backup or a restore, " << whole
              << " left one whole catalogue" << std::endl;
}

INSTANTIATE_TEST_SUITE_P(robustness, KillLoop,
                         ::testing::Values(Kind::Add, Kind::Replace, Kind::Move),
                         [](const auto &info) { return std::string(kindName(info.param)); });

} // namespace
