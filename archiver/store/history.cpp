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

lists::AddOutcome appendLineIfAbsent(const files::FolderLock &lock, const QString &path, const QString &line,
                                     QString *errorText)
{
    using lists::AddOutcome;
    if (line.isEmpty()) return AddOutcome::Empty;
    if (!lock.allows(path, errorText)) return AddOutcome::Failed;
    QByteArray encoded;
    if (!cp1252::encodeTo(line, &encoded, errorText)) return AddOutcome::Failed;
    QList<QByteArray> lines;
    if (!linefile::readLines(path, &lines, errorText)) return AddOutcome::Failed;
    if (lines.contains(encoded)) return AddOutcome::AlreadyPresent;
    lines.append(encoded);
    return files::saveAtomically(path, linefile::joinLines(lines), errorText) ? AddOutcome::Added
                                                                            : AddOutcome::Failed;
}

lists::AddOutcome add(const files::FolderLock &lock, const QString &path, const QString &text, QString *errorText)
{
    if (const auto bad = cp1252::firstUnstorable(text)) {
        if (errorText) *errorText = cp1252::unstorableMessage(*bad);
        return lists::AddOutcome::Failed;
    }
    return appendLineIfAbsent(lock, path, text, errorText);
}

bool rewrite(const files::FolderLock &lock, const QString &path, const QStringList &lines, QString *errorText)
{
    if (!lock.allows(path, errorText)) return false;
    char32_t bad = 0;
    const auto body = linefile::encodeLines(lines, &bad);
    if (!body) {
        if (errorText) *errorText = cp1252::unencodableMessage(bad);
        return false;
    }
    return files::saveAtomically(path, *body, errorText);
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
