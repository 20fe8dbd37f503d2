#include "common/files/trash.h"

#include "common/text/texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace files {
namespace {

QString homeTrash() { return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash"); }

// The device of path, or of its nearest existing parent when it does not exist yet.
std::optional<dev_t> deviceOf(QString path)
{
    struct stat st;
    while (!path.isEmpty()) {
        if (::stat(QFile::encodeName(path).constData(), &st) == 0) return st.st_dev;
        const QString parent = QFileInfo(path).absolutePath();
        if (parent == path) break;
        path = parent;
    }
    return std::nullopt;
}

bool writableFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink() && ::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
}

// A trash at the top of the volume: an administrator's sticky .Trash holding the user's own
// folder (or letting it be made), else the user's .Trash-UID (or the right to make it).
bool volumeTrash(const QString &top)
{
    const QString uid = QString::number(::getuid());
    const QString shared = top + QStringLiteral("/.Trash");
    struct stat st;
    if (::lstat(QFile::encodeName(shared).constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const QString own = shared + u'/' + uid;
        if (QFileInfo::exists(own) ? writableFolder(own) : writableFolder(shared)) return true;
    }
    const QString own = top + QStringLiteral("/.Trash-") + uid;
    return QFileInfo::exists(own) ? writableFolder(own) : writableFolder(top);
}

} // namespace

bool trashAvailable(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists() && !file.isSymLink()) return false;
    // What is moved is the entry in its folder, which must let it go.
    if (!writableFolder(file.absolutePath())) return false;
    const auto here = deviceOf(file.absolutePath());
    if (!here) return false;
    if (here == deviceOf(homeTrash())) return true;
    const QString top = QStorageInfo(file.absolutePath()).rootPath();
    return !top.isEmpty() && volumeTrash(top == QLatin1String("/") ? QString() : top);
}

bool moveToTrash(const QString &path, QString *errorText)
{
    // Without the user's trash folder Qt would file the entry under the current folder and call it
    // trashed.
    const QString home = homeTrash();
    if (!QDir().mkpath(home + QStringLiteral("/files")) || !QDir().mkpath(home + QStringLiteral("/info"))) {
        if (errorText) *errorText = texts::get(texts::kCannotTrash).arg(path);
        return false;
    }
    QString where;
    if (QFile::moveToTrash(path, &where) && QFileInfo(where).isAbsolute() && !QFileInfo(path).exists()) return true;
    if (errorText) *errorText = texts::get(texts::kCannotTrash).arg(path);
    return false;
}

bool removeForGood(const QString &path, QString *errorText)
{
    if (QFile::remove(path)) return true;
    if (errorText) *errorText = texts::get(texts::kCannotRemove).arg(path);
    return false;
}

} // namespace files
