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

namespace media {
namespace {

QString withSlash(const QString &root)
{
    return root.endsWith(u'/') ? root : root + u'/';
}

// The ways of reading target as "old root" + "relative part", most likely first: the removable
// root it lies under (the deepest), else the old catalogues' drive "A:", else the usual places
// where supports are mounted automatically, whose root may no longer be mounted.
QStringList relativeParts(const QString &target, const QStringList &removableRoots)
{
    QString best;
    for (const QString &root : removableRoots) {
        const QString r = withSlash(root);
        if (r != QStringLiteral("/") && target.startsWith(r) && r.size() > best.size()) best = r;
    }
    if (!best.isEmpty()) return {target.mid(best.size())};

    if (target.startsWith(QStringLiteral("A:"), Qt::CaseInsensitive)) {
        QString rest = target.mid(2);
        rest.replace(u'\\', u'/');
        while (rest.startsWith(u'/')) rest.remove(0, 1);
        return {rest};
    }

    // "/media/<user>/<name>/rest" or "/media/<name>/rest" cannot be told apart by the text: both
    // readings are kept, the one with a user first when the path is deep enough for it.
    const QStringList parts = target.split(u'/');
    // The part after the first n components (which must all be non-empty), if any.
    auto after = [&](qsizetype n) -> QString {
        if (!parts[0].isEmpty() || parts.size() <= n + 1) return QString();
        for (qsizetype i = 1; i <= n; ++i)
            if (parts[i].isEmpty()) return QString();
        return parts.mid(n + 1).join(u'/');
    };
    QStringList readings;
    auto add = [&](const QString &rest) {
        if (!rest.isEmpty()) readings.append(rest);
    };
    if (parts.size() > 2 && parts[1] == QStringLiteral("run") && parts[2] == QStringLiteral("media")) {
        add(after(4)); // /run/media/<user>/<name>/
    } else if (parts.size() > 1 && parts[1] == QStringLiteral("media")) {
        add(after(3)); // /media/<user>/<name>/
        add(after(2)); // /media/<name>/
    } else if (parts.size() > 1 && parts[1] == QStringLiteral("mnt")) {
        add(after(2)); // /mnt/<name>/
    }
    return readings;
}

// relative below root, each component matched without case when the exact name is missing (a
// support written on another system); empty when nothing of that name exists.
QString existingBelow(const QString &root, const QString &relative)
{
    if (QFileInfo::exists(root + relative)) return root + relative;
    QString path = root;
    const QStringList parts = relative.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QDir dir(path);
        QString found;
        for (const QString &entry :
             dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
            if (entry.compare(parts[i], Qt::CaseInsensitive) == 0) {
                found = entry;
                break;
            }
        if (found.isEmpty()) return QString();
        path += found;
        if (i + 1 < parts.size()) path += u'/';
    }
    return path;
}

} // namespace

bool isWebAddress(const QString &target)
{
    return target.contains(QLatin1String("http:"), Qt::CaseInsensitive)
           || target.contains(QLatin1String("https:"), Qt::CaseInsensitive)
           || target.startsWith(QLatin1String("www."), Qt::CaseInsensitive);
}

bool isMailAddress(const QString &target) { return target.indexOf(u'@') >= 1; }

Location locate(const QString &target, const QString &support, const QStringList &removableRoots,
                const QList<Volume> &volumes)
{
    if (isWebAddress(target) || isMailAddress(target) || support.trimmed().isEmpty() || QFileInfo::exists(target))
        return {target, QString()};
    const QStringList readings = relativeParts(target, removableRoots);
    if (readings.isEmpty()) return {target, QString()};

    QStringList roots;
    for (const Volume &v : volumes)
        if (v.label.compare(support.trimmed(), Qt::CaseInsensitive) == 0 && !v.label.isEmpty())
            roots.append(withSlash(v.root));
    if (roots.isEmpty()) return {QString(), support};

    // The first reading that names an existing file on a volume of that name; else the most
    // likely reading on the first such volume (the file is missing from the support itself).
    for (const QString &relative : readings)
        for (const QString &root : roots) {
            const QString found = existingBelow(root, relative);
            if (!found.isEmpty()) return {found, QString()};
        }
    return {roots.first() + readings.first(), QString()};
}

} // namespace media
