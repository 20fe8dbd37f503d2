#include "archiver/store/lists.h"

#include "archiver/store/history.h"

#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include <QFile>

namespace lists {
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
    return history::appendLineIfAbsent(lock, categoryFile(lock.folder()), name, errorText);
}

bool registerSupport(const files::FolderLock &lock, const QString &name, QString *errorText)
{
    if (name.isEmpty()) return true;
    return history::appendLineIfAbsent(lock, supportFile(lock.folder()), name, errorText) != AddOutcome::Failed;
}

bool rebuild(const files::FolderLock &lock, const QString &path, const QString &backupPath,
             const QStringList &names, QString *errorText)
{
    if (!lock.allows(path, errorText) || !lock.allows(backupPath, errorText)) return false;
    if (QFile::exists(path) && !files::copyAtomically(path, backupPath, errorText)) return false;
    char32_t bad = 0;
    const auto body = linefile::encodeLines(names, &bad);
    if (!body) {
        if (errorText)
            *errorText = cp1252::unencodableMessage(bad);
        return false;
    }
    return files::saveAtomically(path, *body, errorText);
}

} // namespace lists
