// Two programs changing one catalogue at once: each run of talvo5-cli that reports success must
// find its change kept, whatever the other did meanwhile; no record deleted comes back, no list
// entry is lost, and nobody fails only because the other was busy. A backup taken while a record
// moves from one letter file to another holds it exactly once.
//
// TALVO_CONCURRENCY_ROUNDS sets the number of commands each side runs (200).

#include "tests/robustness/robustness_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

using robust::encoded;
using robust::sortedLines;

int rounds()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("TALVO_CONCURRENCY_ROUNDS", &ok);
    return ok && n > 0 ? n : 200;
}

QString quoted(const QString &arg)
{
    QString q = arg;
    q.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + q + u'\'';
}

// One side: a shell running its commands one after the other, printing each exit code.
class Side
{
public:
    Side(const TestFolder &folder, const QList<QStringList> &commands, const QString &errors)
    {
        QString script;
        for (const QStringList &args : commands) {
            script += QStringLiteral("\"$0\" --home \"$1\"");
            for (const QString &a : args)
                script += u' ' + quoted(a);
            script += QStringLiteral(" 2>>\"$2\"; echo $?\n");
        }
        process_.start(QStringLiteral("sh"), {QStringLiteral("-c"), script, robust::cliPath(), folder.path(), errors});
    }
    // The exit codes in order; empty when the side did not finish in time.
    QList<int> finish()
    {
        if (!process_.waitForFinished(600000)) {
            process_.kill();
            process_.waitForFinished();
            return {};
        }
        QList<int> codes;
        for (const QByteArray &l : process_.readAllStandardOutput().split('\n'))
            if (!l.isEmpty()) codes.append(l.toInt());
        return codes;
    }

private:
    QProcess process_;
};

QString numbered(const char *pattern, int i)
{
    return QString::fromUtf8(pattern).arg(i, 3, 10, QLatin1Char('0'));
}

QStringList add(const QString &key, const QString &category, const QString &support = QString())
{
    QStringList args{QStringLiteral("add"), QStringLiteral("--key"), key, QStringLiteral("--category"), category,
                     QStringLiteral("--date"), QStringLiteral("01-01-2001")};
    if (!support.isEmpty()) args << QStringLiteral("--support") << support;
    return args;
}

QString line(const QString &key, const QString &category, const QString &support = QString(),
             const QString &note = QString())
{
    return key + QStringLiteral("@01-01-2001[") + support + u']' + category + u'#' + note + u'\u00A7';
}

// What each scenario starts from, what its two sides run, and what the folder must hold after.
struct Scenario
{
    const char *name;
    QStringList existing;                // lines of A.MFI before
    QList<QStringList> first, second;    // the two sides' commands
    QMap<QString, QStringList> expected; // file -> the lines it must hold (all of them)
    QMap<QString, QStringList> included; // file -> lines it must hold among others
};

Scenario scenario(int which, int n)
{
    Scenario s;
    QStringList added;
    for (int i = 0; i < n; ++i) {
        s.first.append(add(numbered("AJOUT %1", i), QStringLiteral("TEXTES")));
        added.append(line(numbered("AJOUT %1", i), QStringLiteral("TEXTES")));
    }
    QStringList old, replaced;
    for (int i = 0; i < n; ++i) {
        old.append(line(numbered("ANCIEN %1", i), QStringLiteral("TEXTES")));
        replaced.append(line(numbered("ANCIEN %1", i), QStringLiteral("TEXTES"), {}, QStringLiteral("REMPLACE")));
    }
    switch (which) {
    case 0:
        s.name = "AddsToOneFile";
        for (int i = 0; i < n; ++i) {
            s.second.append(add(numbered("AMONT %1", i), QStringLiteral("TEXTES")));
            added.append(line(numbered("AMONT %1", i), QStringLiteral("TEXTES")));
        }
        s.expected.insert(QStringLiteral("A.MFI"), added);
        break;
    case 1:
        s.name = "AddAndReplace";
        s.existing = old;
        for (int i = 0; i < n; ++i)
            s.second.append({QStringLiteral("replace"), old[i], replaced[i]});
        s.expected.insert(QStringLiteral("A.MFI"), added + replaced);
        break;
    case 2:
        s.name = "AddAndDelete";
        s.existing = old;
        for (int i = 0; i < n; ++i)
            s.second.append({QStringLiteral("delete"), old[i]});
        s.expected.insert(QStringLiteral("A.MFI"), added);
        break;
    default: {
        s.name = "NewCategoriesAndSupportsFromTwoFiles";
        s.first.clear();
        QStringList a, b, categories, supports;
        for (int i = 0; i < n; ++i) {
            for (const char *side : {"A", "B"}) {
                const QString key = numbered(side[0] == 'A' ? "ALPHA %1" : "BETA %1", i);
                const QString cat = numbered(side[0] == 'A' ? "CAT A %1" : "CAT B %1", i);
                const QString sup = numbered(side[0] == 'A' ? "SUP A %1" : "SUP B %1", i);
                (side[0] == 'A' ? s.first : s.second).append(add(key, cat, sup));
                (side[0] == 'A' ? a : b).append(line(key, cat, sup));
                categories.append(cat);
                supports.append(sup);
            }
        }
        s.expected.insert(QStringLiteral("A.MFI"), a);
        s.expected.insert(QStringLiteral("B.MFI"), b);
        s.expected.insert(QStringLiteral("TALVO.SUP"), supports);
        s.included.insert(QStringLiteral("TALVO.CAT"), categories);
        break;
    }
    }
    return s;
}

class TwoWriters : public ::testing::TestWithParam<int>
{
};

TEST_P(TwoWriters, KeepEveryChangeReportedAsDone)
{
    const int n = rounds();
    const Scenario s = scenario(GetParam(), n);
    TestFolder folder;
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    if (!s.existing.isEmpty()) folder.write(QStringLiteral("A.MFI"), encoded(s.existing.join(QStringLiteral("\r\n"))));

    const QString errors = folder.file(QStringLiteral("errors.txt"));
    Side first(folder, s.first, errors), second(folder, s.second, errors);
    const QList<int> firstCodes = first.finish(), secondCodes = second.finish();
    ASSERT_EQ(firstCodes.size(), s.first.size());
    ASSERT_EQ(secondCodes.size(), s.second.size());
    EXPECT_EQ(firstCodes.count(0) + secondCodes.count(0), s.first.size() + s.second.size())
        << QString::fromUtf8(folder.read(QStringLiteral("errors.txt"))).left(2000).toStdString();

    for (auto it = s.expected.cbegin(); it != s.expected.cend(); ++it) {
        QList<QByteArray> want;
        for (const QString &l : it.value())
            want.append(encoded(l));
        std::sort(want.begin(), want.end());
        const QList<QByteArray> have = sortedLines(folder.read(it.key()));
        EXPECT_EQ(have.size(), want.size()) << it.key().toStdString();
        EXPECT_TRUE(have == want) << it.key().toStdString() << " differs";
    }
    for (auto it = s.included.cbegin(); it != s.included.cend(); ++it) {
        const QList<QByteArray> have = sortedLines(folder.read(it.key()));
        const auto missing = std::count_if(it.value().cbegin(), it.value().cend(),
                                           [&](const QString &l) { return !have.contains(encoded(l)); });
        EXPECT_EQ(missing, 0) << it.key().toStdString();
    }
    EXPECT_EQ(robust::temporaries(folder.entries()), QStringList());
}

INSTANTIATE_TEST_SUITE_P(robustness, TwoWriters, ::testing::Range(0, 4),
                         [](const auto &info) { return std::string(scenario(info.param, 1).name); });

TEST(BackupWhileRecordsMove, HoldsTheMovingRecordExactlyOnce)
{
    TestFolder folder;
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    const QString inZ = line(QStringLiteral("ZZ MOBILE"), QStringLiteral("TEXTES"));
    const QString inA = line(QStringLiteral("AA MOBILE"), QStringLiteral("TEXTES"));
    QStringList filler;
    for (int i = 0; i < 300; ++i)
        filler.append(line(numbered("ZONE %1", i), QStringLiteral("TEXTES")));
    folder.write(QStringLiteral("Z.MFI"), encoded((filler + QStringList{inZ}).join(QStringLiteral("\r\n"))));

    // The mover goes back and forth until the backups are done.
    const QString stop = folder.file(QStringLiteral("stop"));
    QProcess mover;
    mover.start(QStringLiteral("sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("while [ ! -e \"$2\" ]; do"
                                "  \"$0\" --home \"$1\" replace \"$3\" \"$4\"; echo $?;"
                                "  \"$0\" --home \"$1\" replace \"$4\" \"$3\"; echo $?; done"),
                 robust::cliPath(), folder.path(), stop, inZ, inA});
    ASSERT_TRUE(mover.waitForStarted());

    const int backups = std::max(10, rounds() / 2);
    int wrong = 0;
    QString example;
    for (int i = 0; i < backups; ++i) {
        const CliRun r = runCli(folder, {QStringLiteral("backup")});
        ASSERT_EQ(r.exitCode, 0) << r.errText().toStdString();
        // The newest backup, a dated folder of BACKUP.
        const QStringList dated =
            QDir(folder.file(QStringLiteral("BACKUP"))).entryList({QStringLiteral("2*")}, QDir::Dirs, QDir::Name | QDir::Reversed);
        ASSERT_FALSE(dated.isEmpty());
        const QString newest = QStringLiteral("BACKUP/") + dated.front() + u'/';
        const QList<QByteArray> copy = sortedLines(folder.read(newest + QStringLiteral("A.mfi"))) +
                                       sortedLines(folder.read(newest + QStringLiteral("Z.mfi")));
        const auto held = copy.count(encoded(inZ)) + copy.count(encoded(inA));
        if (held != 1) {
            ++wrong;
            example = QStringLiteral("backup %1 holds the record %2 times").arg(i).arg(held);
        }
    }
    QFile(stop).open(QIODevice::WriteOnly);
    ASSERT_TRUE(mover.waitForFinished(120000));
    EXPECT_EQ(wrong, 0) << example.toStdString();

    QList<int> codes;
    for (const QByteArray &l : mover.readAllStandardOutput().split('\n'))
        if (!l.isEmpty()) codes.append(l.toInt());
    EXPECT_GT(codes.size(), 2) << "the record hardly moved during the backups";
    EXPECT_EQ(codes.count(0), codes.size());
}

} // namespace
