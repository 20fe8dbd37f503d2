#include "archiver/store/backup.h"

#include "archiver/store/catalogue.h"
#include "archiver/store/lists.h"
#include "archiver/store/record.h"
#include "archiver/store/undo.h"
#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/line_file.h"
#include "common/text/texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace backup {
namespace {

const QString kManifest = QStringLiteral("backup.txt");
const QString kFormat = QStringLiteral("talvo-backup 1");
const QString kPartial = QStringLiteral(".partial-");
const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");

struct Pair
{
    QString live; // the file of the catalogue
    QString name; // its name in a backup
};

// The files of the catalogue and their names in a backup: "A.mfi" ..., TALVO.CAT, TALVO.SUP.
QList<Pair> pairs(const QString &folder)
{
    const Catalogue catalogue(folder);
    QList<Pair> out;
    for (int i = 0; i < record::kLetterCount; ++i) {
        const QChar c = QLatin1Char(record::kLetterList[i]);
        out.append({catalogue.letterFile(c), QString(c) + QStringLiteral(".mfi")});
    }
    out.append({lists::categoryFile(folder), QStringLiteral("TALVO.CAT")});
    out.append({lists::supportFile(folder), QStringLiteral("TALVO.SUP")});
    return out;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// A backup folder's manifest: when, how many records, and each file with its size; nothing when
// it is missing or does not say the backup is whole (its files all there, at their sizes).
std::optional<Backup> readBackup(const QString &folder, const QString &id)
{
    const auto data = linefile::readFile(folder + kManifest);
    if (!data) return std::nullopt;
    const QStringList lines = QString::fromUtf8(*data).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    if (lines.size() < 3 || lines[0] != kFormat) return std::nullopt;
    Backup b;
    b.id = id;
    b.folder = folder;
    b.when = QDateTime::fromString(lines[1], Qt::ISODateWithMs);
    bool ok = false;
    b.records = lines[2].toLongLong(&ok);
    if (!ok || !b.when.isValid()) return std::nullopt;
    for (qsizetype i = 3; i < lines.size(); ++i) {
        const QStringList parts = lines[i].split(u'\t');
        if (parts.size() != 2 || parts[0].contains(u'/')) return std::nullopt;
        const QFileInfo copy(folder + parts[0]);
        if (!copy.isFile() || QString::number(copy.size()) != parts[1]) return std::nullopt;
    }
    return b;
}

bool isStamp(const QString &name) { return QDateTime::fromString(name.left(19), kStampFormat).isValid(); }

// Removes the dated backups beyond the kept newest ones (never keep), and what killed backups
// left half made.
void prune(const QString &bak, int kept, const QString &keep)
{
    QDir dir(bak);
    for (const QString &name : dir.entryList({kPartial + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        QDir(bak + name).removeRecursively();
    QStringList dated;
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed))
        if (isStamp(name) && readBackup(bak + name + u'/', name)) dated.append(name);
    int seen = 0;
    for (const QString &name : dated) {
        if (++seen <= std::max(1, kept) || name == keep) continue;
        // Out of sight in one rename first: a removal stopped half-way leaves no backup half there.
        const QString away = bak + kPartial + name;
        if (::rename(QFile::encodeName(bak + name).constData(), QFile::encodeName(away).constData()) == 0)
            QDir(away).removeRecursively();
    }
}

std::optional<Backup> make(const files::FolderLock &lock, QString *errorText, int kept, const QString &keep)
{
    const QString folder = lock.folder();
    const QString bak = files::withTrailingSlash(backupFolder(folder));
    if (!lock.allows(bak, errorText)) return std::nullopt;
    if (!QFileInfo(bak).isDir() && !QDir().mkpath(bak)) {
        if (errorText) *errorText = texts::get(texts::kCannotCreateFolder).arg(bak);
        return std::nullopt;
    }
    const QDateTime now = QDateTime::currentDateTime();
    QString id = now.toString(kStampFormat);
    for (int n = 2; QFileInfo::exists(bak + id); ++n) id = now.toString(kStampFormat) + u'-' + QString::number(n);
    const QString partial = bak + kPartial + id + u'/';
    if (!QDir().mkpath(partial)) {
        if (errorText) *errorText = texts::get(texts::kCannotCreateFolder).arg(partial);
        return std::nullopt;
    }
    auto fail = [&]() -> std::optional<Backup> {
        QDir(partial).removeRecursively();
        return std::nullopt;
    };
    QStringList manifest{kFormat, now.toString(Qt::ISODateWithMs), QString()};
    qint64 records = 0;
    for (const Pair &p : pairs(folder)) {
        if (!QFileInfo::exists(p.live)) continue;
        if (!files::copyAtomically(p.live, partial + p.name, errorText)) return fail();
        // The records are counted in the copy, as the backup holds them.
        if (p.name.endsWith(QLatin1String(".mfi")))
            linefile::forEachLine(partial + p.name, [&](QByteArrayView) { ++records; });
        manifest.append(p.name + u'\t' + QString::number(QFileInfo(partial + p.name).size()));
    }
    manifest[2] = QString::number(records);
    if (!files::saveAtomically(partial + kManifest, (manifest.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8(),
                               errorText))
        return fail();
    syncFolder(partial);
    if (::rename(QFile::encodeName(partial.chopped(1)).constData(), QFile::encodeName(bak + id).constData()) != 0) {
        if (errorText) *errorText = texts::get(texts::kCannotCreateFolder).arg(bak + id);
        return fail();
    }
    syncFolder(bak);
    prune(bak, kept, keep);
    return readBackup(bak + id + u'/', id);
}

} // namespace

QString backupFolder(const QString &folder) { return files::findExisting(folder, QStringLiteral("BACKUP")); }

QList<Backup> list(const QString &folder)
{
    const QString bak = files::withTrailingSlash(backupFolder(files::withTrailingSlash(folder)));
    QList<Backup> out;
    for (const QString &name : QDir(bak).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed))
        if (isStamp(name))
            if (const auto b = readBackup(bak + name + u'/', name)) out.append(*b);
    // The copies of the earlier form lie in BACKUP itself; they are offered, not verified.
    const QFileInfo legacy(files::findExisting(bak, QStringLiteral("A.mfi")));
    if (legacy.isFile()) {
        Backup b;
        b.id = QStringLiteral("ancien");
        b.when = legacy.lastModified();
        b.folder = bak;
        b.legacy = true;
        b.records = 0;
        for (const Pair &p : pairs(files::withTrailingSlash(folder)))
            if (p.name.endsWith(QLatin1String(".mfi")))
                linefile::forEachLine(files::findExisting(bak, p.name), [&](QByteArrayView) { ++b.records; });
        out.append(b);
    }
    return out;
}

bool exists(const QString &folder) { return !list(folder).isEmpty(); }

std::optional<Backup> makeBackup(const files::FolderLock &lock, QString *errorText, int kept)
{
    return make(lock, errorText, kept, QString());
}

bool restore(const files::FolderLock &lock, const Backup &backup, QString *errorText, int kept)
{
    const QString folder = lock.folder();
    // The backup is read as it is now: one gone or spoilt since it was listed is refused.
    if (!backup.legacy && !readBackup(backup.folder, backup.id)) {
        if (errorText) *errorText = texts::get(texts::kBackupIncomplete).arg(backup.id);
        return false;
    }
    if (!make(lock, errorText, kept + 1, backup.id)) return false;
    const QString title = texts::get(texts::kRestoreTitle).arg(QLocale().toString(backup.when, QLocale::ShortFormat));
    auto op = undo::Operation::begin(lock, folder, title, errorText);
    if (!op) return false;
    for (const Pair &p : pairs(folder)) {
        const QString copy = files::findExisting(backup.folder, p.name);
        const bool there = QFileInfo(copy).isFile();
        // A list the backup lacks stays as it is; a letter file it lacks held no record then.
        if (!there && !p.name.endsWith(QLatin1String(".mfi"))) continue;
        const bool ok = op->keep(p.live, errorText)
                        && (there ? files::copyAtomically(copy, p.live, errorText)
                                  : files::saveAtomically(p.live, QByteArray(), errorText));
        if (!ok) {
            QString error;
            if (!op->rollBack(&error) && errorText) *errorText += u'\n' + error;
            return false;
        }
    }
    QString error;
    op->seal(&error);
    return true;
}

} // namespace backup
