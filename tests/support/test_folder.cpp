#include "tests/support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>

#include <gtest/gtest.h>

QString shippedFolder()
{
    QString dir = qEnvironmentVariable("TALVO_PROGRAM_DIR", QStringLiteral(TALVO_BUILD_PROGRAM_DIR));
    return dir.endsWith(u'/') ? dir : dir + u'/';
}

TestFolder::TestFolder()
    : oldHome_(qgetenv("TALVO5_HOME")), oldConfig_(qgetenv("XDG_CONFIG_HOME")), oldData_(qgetenv("XDG_DATA_HOME"))
{
    EXPECT_TRUE(dir_.isValid());
    QDir(dir_.path()).mkpath(QStringLiteral(".config"));
    qputenv("TALVO5_HOME", QFile::encodeName(path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path() + QStringLiteral(".config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(path() + QStringLiteral(".local/share")));
    // QSettings reads XDG_CONFIG_HOME once per process: every later test would share the first
    // one's settings, and write them back into its folder after it was removed.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path() + QStringLiteral(".config"));
}

TestFolder::~TestFolder()
{
    qputenv("TALVO5_HOME", oldHome_);
    qputenv("XDG_CONFIG_HOME", oldConfig_);
    qputenv("XDG_DATA_HOME", oldData_);
}

QString TestFolder::trash() const { return path() + QStringLiteral(".local/share/Trash/files/"); }

QString TestFolder::path() const { return dir_.path() + u'/'; }

void TestFolder::write(const QString &name, QByteArrayView bytes) const
{
    QFile f(file(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name.toStdString();
    ASSERT_EQ(f.write(bytes.data(), bytes.size()), bytes.size());
}

QByteArray TestFolder::read(const QString &name) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

bool TestFolder::exists(const QString &name) const { return QFile::exists(file(name)); }

void TestFolder::copyShipped(const QString &name) const
{
    QFile::remove(file(name));
    ASSERT_TRUE(QFile::copy(shippedFolder() + name, file(name))) << name.toStdString();
}

QStringList TestFolder::entries() const
{
    return QDir(path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

files::FolderLock TestFolder::lock() const
{
    QString error;
    auto held = files::FolderLock::acquire(path(), &error, 0);
    if (!held) qFatal("%s", qPrintable(error));
    return std::move(*held);
}

CliRun runCli(const TestFolder &folder, const QStringList &args, const QStringList &extraEnv,
              const QString &outputFile)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TALVO5_HOME"), folder.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.path() + QStringLiteral(".config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), folder.path() + QStringLiteral(".local/share"));
    // What the tool writes under the home folder stays in the test's folder too.
    env.insert(QStringLiteral("HOME"), folder.path() + QStringLiteral("home"));
    // The tool speaks the folder's language whatever the developer's locale, unless a test says.
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    for (const QString &e : extraEnv) {
        const qsizetype eq = e.indexOf(u'=');
        env.insert(e.left(eq), e.mid(eq + 1));
    }
    p.setProcessEnvironment(env);
    if (!outputFile.isEmpty()) p.setStandardOutputFile(outputFile);
    p.start(shippedFolder() + QStringLiteral("talvo5-cli"), args);
    CliRun r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "talvo5-cli did not finish";
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

Immutable::Immutable(const QString &folder) : path(folder)
{
    set = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
}

Immutable::~Immutable()
{
    if (set) QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
}
