#include "archiver/store/undo.h"

#include "archiver/store/backup.h"
#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/line_file.h"
#include "common/text/texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace undo {
namespace {

const QString kManifest = QStringLiteral("operation.txt");
const QString kFormat = QStringLiteral("talvo-undo 1");
const QString kMissing = QStringLiteral("-");

struct Entry
{
    QString name;
    QString before;
    QString after;
};

struct Manifest
{
    QString title;
    QDateTime when;
    bool sealed = false;
    QList<Entry> entries;
};

// What a file is now, to tell later whether it changed: its size, the time of its last change
// and its identity on disk (a save replaces a file by a new one), or "-" when it does not exist.
// Nothing, with errorText, when it cannot be looked at.
std::optional<QString> stateOf(const QString &path, QString *errorText)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        if (errno == ENOENT) return kMissing;
        if (errorText) *errorText = texts::get(texts::kCannotRead).arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    return QStringLiteral("%1:%2.%3:%4:%5")
        .arg(qint64(st.st_size))
        .arg(qint64(st.st_mtim.tv_sec))
        .arg(qint64(st.st_mtim.tv_nsec))
        .arg(quint64(st.st_dev))
        .arg(quint64(st.st_ino));
}

bool writeManifest(const QString &folder, const Manifest &m, QString *errorText)
{
    QStringList lines{kFormat, m.title, m.when.toString(Qt::ISODateWithMs),
                      m.sealed ? QStringLiteral("sealed") : QStringLiteral("open")};
    for (const Entry &e : m.entries)
        lines.append(e.name + u'\t' + e.before + u'\t' + e.after);
    return files::saveAtomically(folder + kManifest, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8(),
                                 errorText);
}

std::optional<Manifest> readManifest(const QString &folder)
{
    const auto data = linefile::readFile(folder + kManifest);
    if (!data) return std::nullopt;
    const QStringList lines = QString::fromUtf8(*data).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    if (lines.size() < 4 || lines[0] != kFormat) return std::nullopt;
    Manifest m;
    m.title = lines[1];
    m.when = QDateTime::fromString(lines[2], Qt::ISODateWithMs);
    m.sealed = lines[3] == QLatin1String("sealed");
    for (qsizetype i = 4; i < lines.size(); ++i) {
        const QStringList parts = lines[i].split(u'\t');
        // A name that could leave the program folder is not one this program wrote.
        if (parts.size() != 3 || parts[0].isEmpty() || parts[0].contains(u'/') || parts[0].startsWith(u'.'))
            return std::nullopt;
        m.entries.append({parts[0], parts[1], parts[2]});
    }
    return m;
}

// Puts the file of e back as it was before the operation.
bool putBack(const files::FolderLock &lock, const QString &programFolder, const QString &copies, const Entry &e,
             QString *errorText)
{
    const QString target = programFolder + e.name;
    if (!lock.allows(target, errorText)) return false;
    if (e.before == kMissing) {
        if (QFile::exists(target) && !QFile::remove(target)) {
            if (errorText) *errorText = texts::get(texts::kCannotRemove).arg(target);
            return false;
        }
        return true;
    }
    // The kept copy goes back in one rename when it can (it is not needed afterwards).
    const QByteArray from = QFile::encodeName(copies + e.name);
    if (::rename(from.constData(), QFile::encodeName(QFileInfo(target).canonicalFilePath().isEmpty()
                                                         ? target
                                                         : QFileInfo(target).canonicalFilePath())
                                       .constData())
        == 0)
        return true;
    return files::copyAtomically(copies + e.name, target, errorText);
}

// Oldest first.
QStringList operationFolders(const QString &programFolder)
{
    QDir dir(operationsFolder(programFolder));
    return dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

QString operationsFolder(const QString &programFolder)
{
    return files::withTrailingSlash(backup::backupFolder(programFolder)) + QStringLiteral("operations/");
}

std::optional<Operation> Operation::begin(const files::FolderLock &lock, const QString &programFolder,
                                          const QString &title, QString *errorText)
{
    const QString root = operationsFolder(programFolder);
    const QDateTime now = QDateTime::currentDateTime();
    const QString stamp = now.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    QString folder = root + stamp + u'/';
    for (int n = 2; QFileInfo::exists(folder); ++n)
        folder = root + stamp + u'-' + QString::number(n) + u'/';
    if (!lock.allows(programFolder, errorText)) return std::nullopt;
    if (!QDir().mkpath(folder)) {
        if (errorText) *errorText = texts::get(texts::kCannotCreateFolder).arg(folder);
        return std::nullopt;
    }
    Operation op;
    op.lock_ = &lock;
    op.programFolder_ = files::withTrailingSlash(programFolder);
    op.folder_ = folder;
    op.title_ = title;
    op.when_ = now;
    if (!writeManifest(folder, Manifest{title, now, false, {}}, errorText)) {
        QDir(folder).removeRecursively();
        return std::nullopt;
    }
    // The oldest operations beyond the last kKept are forgotten.
    const QStringList all = operationFolders(programFolder);
    for (qsizetype i = 0; i + kKept < all.size(); ++i)
        QDir(root + all[i]).removeRecursively();
    return op;
}

bool Operation::keep(const QString &path, QString *errorText)
{
    const QString name = QFileInfo(path).fileName();
    if (kept_.contains(name)) return true;
    const auto before = stateOf(path, errorText);
    if (!before) return false;
    if (*before != kMissing) {
        // A FIFO or a device where a catalogue file should be is never copied, nor read.
        if (!QFileInfo(path).isFile()) {
            if (errorText) *errorText = linefile::notRegularMessage(path);
            return false;
        }
        const QString source = QFileInfo(path).canonicalFilePath();
        if (::link(QFile::encodeName(source).constData(), QFile::encodeName(folder_ + name).constData()) != 0
            && !files::copyAtomically(source, folder_ + name, errorText))
            return false;
    }
    kept_.append(name);
    before_.append(*before);
    Manifest m{title_, when_, false, {}};
    for (qsizetype i = 0; i < kept_.size(); ++i) m.entries.append({kept_[i], before_[i], kMissing});
    return writeManifest(folder_, m, errorText);
}

bool Operation::seal(QString *errorText)
{
    if (kept_.isEmpty()) {
        QDir(folder_).removeRecursively();
        return true;
    }
    Manifest m{title_, when_, true, {}};
    bool changed = false;
    for (qsizetype i = 0; i < kept_.size(); ++i) {
        const auto after = stateOf(programFolder_ + kept_[i], errorText);
        if (!after) return false;
        changed = changed || *after != before_[i];
        m.entries.append({kept_[i], before_[i], *after});
    }
    if (!changed) {
        QDir(folder_).removeRecursively();
        return true;
    }
    return writeManifest(folder_, m, errorText);
}

bool Operation::rollBack(QString *errorText)
{
    QStringList errors;
    for (qsizetype i = 0; i < kept_.size(); ++i) {
        QString error;
        const auto now = stateOf(programFolder_ + kept_[i], &error);
        if (now && *now == before_[i]) continue;
        if (!putBack(*lock_, programFolder_, folder_, {kept_[i], before_[i], kMissing}, &error)) errors.append(error);
    }
    if (!errors.isEmpty()) {
        if (errorText) *errorText = errors.join(u'\n');
        return false; // the copies stay, for the user to undo the operation later
    }
    QDir(folder_).removeRecursively();
    return true;
}

std::optional<Last> last(const QString &programFolder)
{
    const QString root = operationsFolder(programFolder);
    QStringList all = operationFolders(programFolder);
    for (qsizetype i = all.size() - 1; i >= 0; --i) {
        const QString folder = root + all[i] + u'/';
        const auto m = readManifest(folder);
        if (!m) continue;
        Last l;
        l.title = m->title;
        l.when = m->when;
        l.sealed = m->sealed;
        l.folder = folder;
        for (const Entry &e : m->entries)
            l.files.append(e.name);
        return l;
    }
    return std::nullopt;
}

bool rollBackInterrupted(const files::FolderLock &lock, const QString &programFolder, QString *notice,
                         QString *errorText)
{
    const QString dir = files::withTrailingSlash(programFolder);
    const QString root = operationsFolder(dir);
    QStringList told;
    const QStringList all = operationFolders(dir);
    for (qsizetype i = all.size() - 1; i >= 0; --i) {
        const QString folder = root + all[i] + u'/';
        const auto m = readManifest(folder);
        if (!m || m->sealed) continue;
        QStringList putBackNames;
        for (const Entry &e : m->entries) {
            const auto now = stateOf(dir + e.name, errorText);
            if (!now) return false;
            if (*now == e.before) continue;
            if (!putBack(lock, dir, folder, e, errorText)) return false;
            putBackNames.append(e.name);
        }
        QDir(folder).removeRecursively();
        told.append(texts::get(texts::kInterruptedOperation)
                        .arg(m->title, QLocale().toString(m->when, QLocale::ShortFormat),
                             putBackNames.isEmpty() ? texts::get(texts::kNothingChanged)
                                                    : putBackNames.join(QStringLiteral(", "))));
    }
    if (notice) *notice = told.join(u'\n');
    return true;
}

bool undoLast(const files::FolderLock &lock, const QString &programFolder, QString *title, QString *errorText)
{
    const QString dir = files::withTrailingSlash(programFolder);
    const auto l = last(dir);
    if (!l) {
        if (errorText) *errorText = texts::get(texts::kNothingToUndo);
        return false;
    }
    if (title) *title = l->title;
    const auto m = readManifest(l->folder);
    // Each file must be as the operation left it (or already back as it was before, when an
    // earlier undo stopped half-way); an operation the program did not finish is put back whole.
    QStringList changed;
    QList<Entry> toPutBack;
    for (const Entry &e : m->entries) {
        const auto now = stateOf(dir + e.name, errorText);
        if (!now) return false;
        if (*now == e.before) continue;
        if (m->sealed && *now != e.after) changed.append(e.name);
        toPutBack.append(e);
    }
    if (!changed.isEmpty()) {
        if (errorText) *errorText = texts::get(texts::kUndoChangedSince).arg(l->title, changed.join(QStringLiteral(", ")));
        return false;
    }
    for (const Entry &e : toPutBack)
        if (!putBack(lock, dir, l->folder, e, errorText)) return false;
    QDir(l->folder).removeRecursively();
    return true;
}

} // namespace undo
