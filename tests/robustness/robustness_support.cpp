#include "tests/robustness/robustness_support.h"

#include "common/files/atomic_file.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <algorithm>

namespace robust
{

const char *commandName(Command c)
{
    switch (c) {
    case Command::Add:
        return "Add";
    case Command::Delete:
        return "Delete";
    case Command::Replace:
        return "Replace";
    }
    return "";
}

void PrintTo(Command c, std::ostream *os)
{
    *os << commandName(c);
}

QString testBinFolder()
{
    // The test binaries are built beside the fault library and the probe.
    const QString dir = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget().section(u'/', 0, -2);
    return dir.endsWith(u'/') ? dir : dir + u'/';
}

QString cliPath()
{
    return shippedFolder() + QStringLiteral("talvo5-cli");
}

QStringList faultEnv(const QString &kinds, const QString &pattern, const QString &logFile)
{
    // A sanitizer build of talvo5-cli would refuse a library loaded in front of its runtime.
    return {
        QStringLiteral("LD_PRELOAD=") + testBinFolder() + QStringLiteral("talvo_fault_inject.so"),
        QStringLiteral("TALVO_FAULT=") + kinds, QStringLiteral("TALVO_FAULT_PATTERN=") + pattern,
        QStringLiteral("TALVO_FAULT_LOG=") + logFile,
        QStringLiteral("ASAN_OPTIONS=verify_asan_link_order=0")};
}

QStringList faultLog(const QString &logFile)
{
    QFile f(logFile);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLocal8Bit(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

Snapshot snapshot(const QString &folder)
{
    Snapshot s;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile f(dir.filePath(name));
        s.insert(name, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
    }
    return s;
}

QStringList differences(const Snapshot &before, const Snapshot &after)
{
    QStringList out;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key()))
            out << it.key() + QStringLiteral(" removed");
        else if (after.value(it.key()) != it.value())
            out << QStringLiteral("%1 changed (%2 -> %3 bytes)")
                       .arg(it.key())
                       .arg(it.value().size())
                       .arg(after.value(it.key()).size());
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (!before.contains(it.key())) out << it.key() + QStringLiteral(" added");
    return out;
}

QStringList temporaries(const QStringList &names)
{
    QStringList out;
    for (const QString &n : names)
        if (n.contains(QLatin1String(files::kTemporaryMarker))) out << n;
    return out;
}

QStringList temporariesIn(const QString &folder)
{
    return temporaries(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                              QDir::NoDotAndDotDot));
}

QList<QByteArray> sortedLines(const QByteArray &bytes)
{
    QList<QByteArray> lines = linefile::splitLines(bytes);
    lines.removeAll(QByteArray());
    std::sort(lines.begin(), lines.end());
    return lines;
}

QByteArray encoded(const QString &line)
{
    return cp1252::encode(line).value_or(QByteArray());
}
QString decoded(const QByteArray &line)
{
    return cp1252::decode(line);
}

ProgramRun runProgram(const QString &program, const QStringList &args, const QStringList &extraEnv,
                      int timeoutMs)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &e : extraEnv) {
        const qsizetype eq = e.indexOf(u'=');
        env.insert(e.left(eq), e.mid(eq + 1));
    }
    p.setProcessEnvironment(env);
    p.start(program, args);
    ProgramRun r;
    if (!p.waitForStarted(timeoutMs)) {
        r.err = p.errorString().toUtf8();
        return r;
    }
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = "timed out";
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

ProgramRun runInMountNamespace(const QString &script, const QStringList &args,
                               const QStringList &extraEnv)
{
    QStringList all{QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"), script,
                    QStringLiteral("sh")};
    all += args;
    return runProgram(QStringLiteral("unshare"), all, extraEnv);
}

QString whyNoPrivateMounts(const QString &scratchFolder)
{
    QDir().mkpath(scratchFolder);
    const ProgramRun r = runInMountNamespace(
        QStringLiteral("mount -t tmpfs -o size=16k tmpfs \"$1\""), {scratchFolder});
    if (r.exitCode == 0) return {};
    return QStringLiteral("cannot mount inside a private mount namespace (needs root or "
                          "CAP_SYS_ADMIN and the unshare tool): %1")
        .arg(r.errText().trimmed());
}

} // namespace robust
