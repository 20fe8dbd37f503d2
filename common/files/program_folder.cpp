#include "common/files/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace files {

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

QString programFolder()
{
    const QString home = qEnvironmentVariable("TALVO5_HOME");
    if (!home.isEmpty()) return withTrailingSlash(QFileInfo(home).absoluteFilePath());
    return executableFolder();
}

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
