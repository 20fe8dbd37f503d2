#include "archiver/store/backup.h"

#include "archiver/store/catalogue.h"
#include "archiver/store/lists.h"
#include "archiver/store/record.h"
#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/texts.h"

#include <QDir>
#include <QFileInfo>

namespace backup {
namespace {

struct Pair
{
    QString live;   // the file of the catalogue
    QString copy;   // its copy in BACKUP
};

QList<Pair> pairs(const QString &folder)
{
    const QString dir = files::withTrailingSlash(folder);
    const QString bak = files::withTrailingSlash(backupFolder(dir));
    const Catalogue catalogue(dir);
    QList<Pair> out;
    for (int i = 0; i < record::kLetterCount; ++i) {
        const QChar c = QLatin1Char(record::kLetterList[i]);
        out.append({catalogue.letterFile(c), files::findExisting(bak, QString(c) + QStringLiteral(".mfi"))});
    }
    out.append({lists::categoryFile(dir), files::findExisting(bak, QStringLiteral("TALVO.CAT"))});
    out.append({lists::supportFile(dir), files::findExisting(bak, QStringLiteral("TALVO.SUP"))});
    return out;
}

QStringList copyAll(const QList<Pair> &list, bool toBackup)
{
    QStringList errors;
    for (const Pair &p : list) {
        const QString &from = toBackup ? p.live : p.copy;
        const QString &to = toBackup ? p.copy : p.live;
        if (!QFileInfo::exists(from)) continue;
        QString error;
        if (!files::copyAtomically(from, to, &error)) errors.append(error);
    }
    return errors;
}

} // namespace

QString backupFolder(const QString &folder) { return files::findExisting(folder, QStringLiteral("BACKUP")); }

bool exists(const QString &folder)
{
    return QFileInfo::exists(
        files::findExisting(files::withTrailingSlash(backupFolder(folder)), QStringLiteral("A.mfi")));
}

QStringList makeBackup(const files::FolderLock &lock)
{
    const QString bak = backupFolder(lock.folder());
    if (!QFileInfo(bak).isDir() && !QDir().mkpath(bak))
        return {texts::get(texts::kCannotCreateFolder).arg(bak)};
    files::removeStaleTemporaries(bak);
    return copyAll(pairs(lock.folder()), true);
}

QStringList restore(const files::FolderLock &lock)
{
    if (!exists(lock.folder())) return {};
    files::removeStaleTemporaries(backupFolder(lock.folder()));
    return copyAll(pairs(lock.folder()), false);
}

} // namespace backup
