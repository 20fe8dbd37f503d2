#pragma once

#include "tests/support/test_folder.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <ostream>

// Helpers shared by the tests that make saves fail: the fault library, whole-folder snapshots,
// letter-file lines, and programs run in a mount namespace of their own.
namespace robust
{

// The writing commands of talvo5-cli that the tests make fail.
enum class Command { Add, Delete, Replace };
const char *commandName(Command c);
void PrintTo(Command c, std::ostream *os);

// The folder of the test binaries, where the fault library and the probe are built.
QString testBinFolder();

// Environment entries that preload the fault library into talvo5-cli: calls of the given kinds
// ("write", "shortwrite,fsync", ...) on paths holding pattern fail, and each injected fault is
// logged to logFile.
QStringList faultEnv(const QString &kinds, const QString &pattern, const QString &logFile);

// The lines of a fault log, each "call path errno".
QStringList faultLog(const QString &logFile);

// Every file directly in folder (hidden ones included) with its bytes; sub-folders are left out.
using Snapshot = QMap<QString, QByteArray>;
Snapshot snapshot(const QString &folder);
// Names added, removed or changed between two snapshots, for a readable failure.
QStringList differences(const Snapshot &before, const Snapshot &after);

// The names holding the marker of the save helper's temporary files.
QStringList temporaries(const QStringList &names);
QStringList temporariesIn(const QString &folder);

// The lines of a letter file (CR LF or LF), empty lines dropped, sorted bytewise: two files hold
// the same records exactly when these lists are equal, whatever order the catalogue keeps.
QList<QByteArray> sortedLines(const QByteArray &bytes);
QByteArray encoded(const QString &line);
QString decoded(const QByteArray &line);

struct ProgramRun {
    int exitCode = -1; // -1 when it did not start, crashed or timed out
    QByteArray out;
    QByteArray err;
    QString errText() const { return QString::fromUtf8(err); }
};

// Runs program with args and extra NAME=VALUE environment entries, at most timeoutMs.
ProgramRun runProgram(const QString &program, const QStringList &args,
                      const QStringList &extraEnv = QStringList(), int timeoutMs = 60000);

// Runs a shell script inside a private mount namespace (unshare -m) with positional arguments.
ProgramRun runInMountNamespace(const QString &script, const QStringList &args,
                               const QStringList &extraEnv = QStringList());

// Empty when the tests may mount file systems in a namespace of their own, else the reason why
// not, for GTEST_SKIP.
QString whyNoPrivateMounts(const QString &scratchFolder);

QString cliPath();

} // namespace robust

// Readable values in the failure messages of GoogleTest.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray &b, std::ostream *os)
{
    *os << '"' << b.toPercentEncoding(" @[]#/:.,'-_").toStdString() << '"';
}
