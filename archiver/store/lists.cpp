#include "archiver/store/lists.h"

#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include <QFile>

namespace lists {

AddOutcome appendIfAbsent(const files::FolderLock &lock, const QString &path, const QString &name,
                          QString *errorText)
{
    if (name.isEmpty()) return AddOutcome::Empty;
    if (!lock.allows(path, errorText)) return AddOutcome::Failed;
    QByteArray encoded;
    if (!cp1252::encodeTo(name, &encoded, errorText)) return AddOutcome::Failed;
    QList<QByteArray> lines;
    if (!linefile::readLines(path, &lines, errorText)) return AddOutcome::Failed;
    if (lines.contains(encoded)) return AddOutcome::AlreadyPresent;
    lines.append(encoded);
    return files::saveAtomically(path, linefile::joinLines(lines), errorText) ? AddOutcome::Added
                                                                            : AddOutcome::Failed;
}

bool write(const files::FolderLock &lock, const QString &path, const QStringList &names, QString *errorText)
{
    if (!lock.allows(path, errorText)) return false;
    char32_t bad = 0;
    const auto body = linefile::encodeLines(names, &bad);
    if (!body) {
        if (errorText) *errorText = cp1252::unencodableMessage(bad);
        return false;
    }
    return files::saveAtomically(path, *body, errorText);
}
QString categoryFile(const QString &folder) { return files::findExisting(folder, QStringLiteral("TALVO.CAT")); }
QString supportFile(const QString &folder) { return files::findExisting(folder, QStringLiteral("TALVO.SUP")); }

QStringList load(const QString &path)
{
    QStringList names = linefile::readTextLines(path);
    names.removeAll(QString());
    return names;
}

AddOutcome addCategory(const files::FolderLock &lock, const QString &name, QString *errorText)
{
    return appendIfAbsent(lock, categoryFile(lock.folder()), name, errorText);
}

bool registerSupport(const files::FolderLock &lock, const QString &name, QString *errorText)
{
    if (name.isEmpty()) return true;
    return appendIfAbsent(lock, supportFile(lock.folder()), name, errorText) != AddOutcome::Failed;
}

bool rebuild(const files::FolderLock &lock, const QString &path, const QString &backupPath,
             const QStringList &names, QString *errorText)
{
    if (!lock.allows(path, errorText) || !lock.allows(backupPath, errorText)) return false;
    if (QFile::exists(path) && !files::copyAtomically(path, backupPath, errorText)) return false;
    return write(lock, path, names, errorText);
}

} // namespace lists
