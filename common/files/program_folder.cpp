#include "common/files/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace files {
namespace {

bool holdsLanguageFiles(const QString &folder)
{
    return !QDir(folder).entryList({QStringLiteral("*.lng")}, QDir::Files).isEmpty();
}

} // namespace

QString withTrailingSlash(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(u'/')) return folder;
    return folder + u'/';
}

QString executableFolder()
{
    QString dir = QCoreApplication::applicationDirPath();
    if (dir.isEmpty()) dir = QDir::currentPath();
    return withTrailingSlash(dir);
}

QString chooseProgramFolder(const QString &homeVariable, const QString &exeFolder, const QString &userDataFolder)
{
    if (!homeVariable.isEmpty()) return withTrailingSlash(QFileInfo(homeVariable).absoluteFilePath());
    if (holdsLanguageFiles(exeFolder)) return withTrailingSlash(exeFolder);
    return withTrailingSlash(QDir::cleanPath(userDataFolder + QStringLiteral("/talvo5")));
}

QString chooseShippedDataFolder(const QString &exeFolder)
{
    const QString installed = QDir::cleanPath(exeFolder + QStringLiteral("/../share/talvo5"));
    if (QFileInfo(installed).isDir()) return withTrailingSlash(installed);
    return withTrailingSlash(exeFolder);
}

QString programFolder()
{
    const QString home = qEnvironmentVariable("TALVO5_HOME");
    const QString exe = executableFolder();
    const QString folder = chooseProgramFolder(
        home, exe, QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    // Only the per-user folder is made here; a failure shows when the first file is written.
    if (home.isEmpty() && folder != exe && !QFileInfo(folder).isDir()) QDir().mkpath(folder);
    return folder;
}

QString shippedDataFolder() { return chooseShippedDataFolder(executableFolder()); }

QString findExisting(const QString &folder, const QString &name)
{
    const QString dir = withTrailingSlash(folder);
    if (QFileInfo::exists(dir + name)) return dir + name;
    const QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0) return dir + e;
    return dir + name;
}

} // namespace files
