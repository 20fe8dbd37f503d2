#include "archiver/store/removable_media.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace media {
namespace {

bool removableFlag(const QString &sysBlockEntry)
{
    QFile f(sysBlockEntry + QStringLiteral("/removable"));
    return f.open(QIODevice::ReadOnly) && f.read(1) == "1";
}

bool isRemovableDevice(const QString &device)
{
    if (!device.startsWith(QStringLiteral("/dev/"))) return false;
    const QString name = QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
    if (name.isEmpty()) return false;
    const QString entry = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
    if (entry.isEmpty()) return false;
    // A partition carries no flag of its own: its disk is the folder above it.
    return removableFlag(entry) || removableFlag(QFileInfo(entry).absolutePath());
}

} // namespace

QStringList removableRoots()
{
    QStringList roots;
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes())
        if (v.isValid() && isRemovableDevice(QString::fromLocal8Bit(v.device())))
            roots.append(v.rootPath());
    roots.sort();
    return roots;
}

bool onRemovableSupport(const QString &path, const QStringList &roots)
{
    if (path.startsWith(QStringLiteral("A:"), Qt::CaseInsensitive)) return true;
    for (const QString &root : roots) {
        const QString r = root.endsWith(u'/') ? root : root + u'/';
        if (path.startsWith(r) || path == root) return true;
    }
    return false;
}

QList<Volume> mountedVolumes()
{
    QList<Volume> volumes;
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady()) continue;
        QString root = v.rootPath();
        if (!root.endsWith(u'/')) root += u'/';
        volumes.append({root, v.name()});
    }
    return volumes;
}

} // namespace media
