#include "archiver/store/history.h"

#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"
#include "common/text/texts.h"

#include <QFile>
#include <QFileInfo>

namespace history {

QString file(const QString &folder) { return files::findExisting(folder, QString::fromLatin1(kFileName)); }

QStringList load(const QString &path) { return lists::load(path); }

lists::AddOutcome add(const files::FolderLock &lock, const QString &path, const QString &text, QString *errorText)
{
    if (const auto bad = cp1252::firstUnstorable(text)) {
        if (errorText) *errorText = cp1252::unstorableMessage(*bad);
        return lists::AddOutcome::Failed;
    }
    return lists::appendIfAbsent(lock, path, text, errorText);
}

bool clear(const files::FolderLock &lock, const QString &path, QString *errorText)
{
    if (!lock.allows(path, errorText)) return false;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return true;
    constexpr auto anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (info.isFile() && (!(info.permissions() & anyWrite) || !info.isWritable())) {
        if (errorText) *errorText = texts::get(texts::kReadOnlyFile).arg(path);
        return false;
    }
    if (!QFile::remove(path)) {
        if (errorText) *errorText = texts::get(texts::kCannotRemove).arg(path);
        return false;
    }
    return true;
}

} // namespace history
