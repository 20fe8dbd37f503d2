// The fault library itself: every other robustness test trusts it to fail exactly the calls it
// was asked to fail, on the matching path only, and to pass everything else through.

#include "tests/robustness/robustness_support.h"

#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

namespace
{

struct ProbeCase {
    const char *name;
    const char *kinds;
    const char *errnoSetting; // nullptr: the library's default
    const char *pattern;
    // What the probe's calls on the matching file give; the file that does not match always
    // gives the results of a healthy disk.
    QMap<QString, QString> victim;
};

void PrintTo(const ProbeCase &c, std::ostream *os)
{
    *os << c.name;
}

QString err(int e)
{
    return QStringLiteral("e%1").arg(e);
}

const QMap<QString, QString> &healthy()
{
    static const QMap<QString, QString> h{{"write", "10"},   {"write2", "10"},   {"writev", "8"},
                                          {"fsync", "0"},    {"fdatasync", "0"}, {"rename", "0"},
                                          {"renameat", "0"}, {"renameat2", "0"}, {"size", "28"}};
    return h;
}

QMap<QString, QString> healthyBut(const QMap<QString, QString> &changes)
{
    QMap<QString, QString> m = healthy();
    for (auto it = changes.cbegin(); it != changes.cend(); ++it)
        m[it.key()] = it.value();
    return m;
}

std::vector<ProbeCase> probeCases()
{
    return {
        {"Write", "write", nullptr, "victim",
         healthyBut({{"write", err(ENOSPC)}, {"write2", err(ENOSPC)}, {"size", "8"}})},
        // Half of the first write lands, then the disk is full for every later write.
        {"ShortWrite", "shortwrite", nullptr, "victim",
         healthyBut(
             {{"write", "5"}, {"write2", err(ENOSPC)}, {"writev", err(ENOSPC)}, {"size", "5"}})},
        {"Writev", "writev", nullptr, "victim",
         healthyBut({{"writev", err(ENOSPC)}, {"size", "20"}})},
        {"Fsync", "fsync", nullptr, "victim", healthyBut({{"fsync", err(EIO)}})},
        {"Fdatasync", "fdatasync", nullptr, "victim", healthyBut({{"fdatasync", err(EIO)}})},
        // rename(), renameat() and renameat2() are separate entry points of the C library.
        {"Rename", "rename", nullptr, "victim",
         healthyBut({{"rename", err(EIO)}, {"renameat", err(EIO)}, {"renameat2", err(EIO)}})},
        {"ChosenErrno", "fsync,rename", "EROFS", "victim",
         healthyBut({{"fsync", err(EROFS)},
                     {"rename", err(EROFS)},
                     {"renameat", err(EROFS)},
                     {"renameat2", err(EROFS)}})},
        {"NumericErrno", "write", "122", "victim",
         healthyBut({{"write", err(122)}, {"write2", err(122)}, {"size", "8"}})},
        {"UnknownKindFailsNothing", "truncate", nullptr, "victim", healthy()},
        {"NoPatternFailsNothing", "write,writev,shortwrite,fsync,fdatasync,rename", nullptr, "",
         healthy()},
    };
}

class FaultLibrary : public ::testing::TestWithParam<ProbeCase>
{
};

QMap<QString, QMap<QString, QString>> parseProbe(const QByteArray &out)
{
    QMap<QString, QMap<QString, QString>> results;
    for (const QString &line : QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList parts = line.split(u' ');
        if (parts.size() == 3) results[parts[0]][parts[1]] = parts[2];
    }
    return results;
}

TEST_P(FaultLibrary, FailsOnlyTheChosenCallsOnTheMatchingPath)
{
    const ProbeCase &c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString log = dir.filePath(QStringLiteral("faults.log"));
    QStringList env =
        robust::faultEnv(QString::fromLatin1(c.kinds), QString::fromLatin1(c.pattern), log);
    if (c.errnoSetting) env << QStringLiteral("TALVO_FAULT_ERRNO=") + QLatin1String(c.errnoSetting);

    const robust::ProgramRun run = robust::runProgram(
        robust::testBinFolder() + QStringLiteral("fault_probe"),
        {dir.path(), QStringLiteral("victim.dat"), QStringLiteral("bystander.dat")}, env);
    ASSERT_EQ(run.exitCode, 0) << run.errText().toStdString();
    const auto results = parseProbe(run.out);

    EXPECT_EQ(results.value(QStringLiteral("victim.dat")), c.victim) << run.out.toStdString();
    EXPECT_EQ(results.value(QStringLiteral("bystander.dat")), healthy()) << run.out.toStdString();

    // Every injected fault is logged with the matching path, and nothing else is.
    const QStringList logged = robust::faultLog(log);
    int failures = 0;
    for (auto it = c.victim.cbegin(); it != c.victim.cend(); ++it)
        if (it.value().startsWith(u'e')) ++failures;
    if (QString::fromLatin1(c.kinds) == QLatin1String("shortwrite")) ++failures; // the short one
    EXPECT_EQ(logged.size(), failures) << logged.join(u'\n').toStdString();
    for (const QString &l : logged)
        EXPECT_TRUE(l.contains(QStringLiteral("victim.dat"))) << l.toStdString();
}

INSTANTIATE_TEST_SUITE_P(robustness, FaultLibrary, ::testing::ValuesIn(probeCases()),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
