#include "archiver/store/catalogue.h"

#include "archiver/store/record.h"
#include "archiver/store/undo.h"
#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"
#include "common/text/texts.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <memory>
#include <tuple>
#include <vector>

namespace {

QString notFound(const QString &line, const QString &path)
{
    return texts::get(texts::kNoSuchRecord)
        .arg(line, path);
}

// The lines of a run file, one at a time: a line per LF, read through a buffer.
class RunReader
{
public:
    explicit RunReader(const QString &path) : file_(path)
    {
        if (!file_.open(QIODevice::ReadOnly)) error_ = texts::get(texts::kCannotRead).arg(path, file_.errorString());
        else advance();
    }
    bool ok() const { return error_.isEmpty(); }
    const QString &error() const { return error_; }
    bool atEnd() const { return end_; }
    QByteArrayView line() const { return line_; }
    void advance()
    {
        if (!error_.isEmpty() || !file_.isOpen()) {
            end_ = true;
            return;
        }
        line_ = file_.readLine(linefile::kMaxLineLength + 2);
        if (line_.isEmpty()) {
            end_ = true;
            if (file_.error() != QFile::NoError) error_ = texts::get(texts::kCannotRead).arg(file_.fileName(), file_.errorString());
            return;
        }
        if (line_.endsWith('\n')) line_.chop(1);
    }

private:
    QFile file_;
    QByteArray line_;
    QString error_;
    bool end_ = false;
};

QString tooLongLines(const QString &path, qint64 count)
{
    return texts::get(texts::kTooLongLines)
        .arg(path)
        .arg(count)
        .arg(linefile::kMaxLineLength / 1024);
}

} // namespace

Catalogue::Catalogue(const QString &programFolder) : folder_(files::withTrailingSlash(programFolder)) {}

std::optional<FolderLock> Catalogue::lock(QString *errorText, int waitMs, bool *rolledBack) const
{
    auto lock = FolderLock::acquire(folder_, errorText, waitMs);
    if (!lock) return lock;
    QString notice;
    if (!undo::rollBackInterrupted(*lock, folder_, &notice, errorText)) return std::nullopt;
    if (rolledBack) *rolledBack = !notice.isEmpty();
    if (!notice.isEmpty() && notice_) notice_(notice);
    return lock;
}

QString Catalogue::letterFile(QChar first) const
{
    return files::findExisting(folder_, record::letterFileName(first));
}

QString Catalogue::letterFileOfKey(const QString &key) const
{
    return key.isEmpty() ? QString() : letterFile(key.front());
}

const LineOrder &Catalogue::order() const
{
    if (!order_) order_ = std::make_shared<LineOrder>();
    return *order_;
}

QStringList Catalogue::scan(const std::function<void(QByteArrayView line)> &fn) const
{
    QStringList unreadable;
    for (int i = 0; i < record::kLetterCount; ++i) {
        const linefile::ReadStatus status = linefile::forEachLine(letterFile(QLatin1Char(record::kLetterList[i])), fn);
        if (!status.ok()) unreadable.append(status.error);
    }
    return unreadable;
}

bool Catalogue::rewrite(const FolderLock &lock, const QString &path, const Edit &edit, QString *errorText,
                        qsizetype *removedOut) const
{
    if (removedOut) *removedOut = 0;
    if (!lock.allows(path, errorText)) return false;
    files::AtomicWriter out;
    if (!out.open(path, errorText)) return false;

    const LineOrder &ord = order();
    qsizetype removed = 0;
    qsizetype toInsert = edit.insertCount;
    bool inOrder = true;
    QByteArray previous; // the last line copied, its buffer reused from line to line
    bool havePrevious = false;
    auto insertHere = [&] {
        for (; toInsert > 0; --toInsert) {
            out.write(edit.insert);
            out.write("\r\n");
        }
    };
    const linefile::ReadStatus status = linefile::forEachLine(path, [&](QByteArrayView line) {
        if (edit.drops(line, &removed)) return;
        if (edit.sort && inOrder) {
            if (havePrevious && ord.compare(previous, line) > 0) inOrder = false;
            // After the lines that sort before it or with it, as a stable sort would put it.
            if (toInsert > 0 && ord.compare(edit.insert, line) < 0) insertHere();
            previous.resize(line.size());
            std::memcpy(previous.data(), line.data(), size_t(line.size()));
            havePrevious = true;
        }
        out.write(line);
        out.write("\r\n");
    });
    if (!status.ok()) {
        if (errorText) *errorText = status.error;
        return false;
    }
    if (status.cutLines > 0) {
        if (errorText) *errorText = tooLongLines(path, status.cutLines);
        return false;
    }
    if (removedOut) *removedOut = removed;
    const bool changes = removed > 0 || edit.insertCount > 0;
    if (!changes && (!edit.rewriteUnchanged || status.missing)) {
        out.abandon();
        return true;
    }
    if (edit.sort && !inOrder) {
        out.abandon();
        return rewriteInMemory(path, edit, errorText);
    }
    insertHere();
    return out.commit(errorText);
}

bool Catalogue::rewriteInMemory(const QString &path, const Edit &edit, QString *errorText) const
{
    // Only a file edited by hand is out of order; it is sorted as a whole, once.
    QList<QByteArray> lines;
    qsizetype removed = 0;
    const linefile::ReadStatus status = linefile::forEachLine(path, [&](QByteArrayView line) {
        if (edit.drops(line, &removed)) return;
        lines.append(line.toByteArray());
    });
    if (!status.ok()) {
        if (errorText) *errorText = status.error;
        return false;
    }
    const LineOrder &ord = order();
    auto less = [&](const QByteArray &a, const QByteArray &b) { return ord.compare(a, b) < 0; };
    std::stable_sort(lines.begin(), lines.end(), less);
    if (edit.insertCount > 0) {
        const QByteArray inserted = edit.insert.toByteArray();
        const auto at = std::upper_bound(lines.begin(), lines.end(), inserted, less);
        lines.insert(at - lines.begin(), edit.insertCount, inserted);
    }
    return files::saveAtomically(path, linefile::joinLines(lines), errorText);
}

bool Catalogue::rewriteLines(const FolderLock &lock, const QString &path, const LinesEdit &edit, LinesResult *result,
                             QString *errorText) const
{
    *result = LinesResult{};
    if (!lock.allows(path, errorText)) return false;
    const LineOrder &ord = order();
    auto less = [&](const QByteArray &a, const QByteArray &b) { return ord.compare(a, b) < 0; };

    // First pass: the lines that change, and whether the others are in order.
    QList<QByteArray> incoming;
    for (const QByteArray &line : edit.added)
        if (!line.isEmpty()) incoming.append(line);
    QByteArray out, previous;
    bool inOrder = true, havePrevious = false;
    // The lines that change, by their number among the non-empty lines: the second pass skips
    // them without asking the change again.
    QList<qsizetype> changedAt;
    qsizetype number = -1;
    linefile::ReadStatus status = linefile::forEachLine(path, [&](QByteArrayView line) {
        ++number;
        out.clear();
        if (edit.change && edit.change(line, &out)) {
            ++result->changed;
            changedAt.append(number);
            if (out.isEmpty()) return;
            if (edit.staysHere && !edit.staysHere(out)) result->leaving.append(out);
            else incoming.append(out);
            return;
        }
        if (inOrder && havePrevious && ord.compare(previous, line) > 0) inOrder = false;
        previous.resize(line.size());
        std::memcpy(previous.data(), line.data(), size_t(line.size()));
        havePrevious = true;
    });
    if (!status.ok()) {
        if (errorText) *errorText = status.error;
        return false;
    }
    if (result->changed == 0 && incoming.isEmpty() && edit.addedRuns.isEmpty()) return true;
    if (status.cutLines > 0) {
        if (errorText) *errorText = tooLongLines(path, status.cutLines);
        return false;
    }
    std::stable_sort(incoming.begin(), incoming.end(), less);

    files::AtomicWriter writer;
    if (!writer.open(path, errorText)) return false;
    auto writeLine = [&](QByteArrayView line) {
        writer.write(line);
        writer.write("\r\n");
    };
    // Second pass: the lines that stay, in file order (the changed ones are skipped by number).
    auto eachStaying = [&](const std::function<void(QByteArrayView)> &fn) {
        qsizetype skip = 0, n = -1;
        return linefile::forEachLine(path, [&](QByteArrayView line) {
            ++n;
            if (skip < changedAt.size() && changedAt[skip] == n) {
                ++skip;
                return;
            }
            fn(line);
        });
    };
    std::vector<std::unique_ptr<RunReader>> runs;
    for (const QString &run : edit.addedRuns) {
        runs.push_back(std::make_unique<RunReader>(run));
        if (!runs.back()->ok()) {
            if (errorText) *errorText = runs.back()->error();
            return false;
        }
    }
    if (inOrder) {
        // The incoming lines and those of the runs merged in after the lines that sort before
        // them or with them; among themselves, the incoming ones first.
        qsizetype next = 0;
        auto least = [&]() -> std::pair<int, QByteArrayView> { // -1: incoming; none: past the end
            int which = next < incoming.size() ? -1 : -2;
            QByteArrayView best = which == -1 ? QByteArrayView(incoming[next]) : QByteArrayView();
            for (int r = 0; r < int(runs.size()); ++r)
                if (!runs[size_t(r)]->atEnd() && (which == -2 || ord.compare(runs[size_t(r)]->line(), best) < 0)) {
                    which = r;
                    best = runs[size_t(r)]->line();
                }
            return {which, best};
        };
        auto take = [&](int which) {
            if (which == -1) ++next;
            else runs[size_t(which)]->advance();
        };
        status = eachStaying([&](QByteArrayView line) {
            for (auto [which, best] = least(); which != -2 && ord.compare(best, line) < 0; std::tie(which, best) = least()) {
                writeLine(best);
                take(which);
            }
            writeLine(line);
        });
        for (auto [which, best] = least(); which != -2; std::tie(which, best) = least()) {
            writeLine(best);
            take(which);
        }
    } else {
        // Only a file edited by hand is out of order: it is sorted whole, once.
        QList<QByteArray> lines;
        status = eachStaying([&](QByteArrayView line) { lines.append(line.toByteArray()); });
        lines += incoming;
        for (auto &run : runs)
            for (; !run->atEnd(); run->advance()) lines.append(run->line().toByteArray());
        std::stable_sort(lines.begin(), lines.end(), less);
        for (const QByteArray &line : lines) writeLine(line);
    }
    for (const auto &run : runs)
        if (!run->ok()) {
            if (errorText) *errorText = run->error();
            return false;
        }
    if (!status.ok()) {
        if (errorText) *errorText = status.error;
        return false;
    }
    if (edit.beforeReplacing && !edit.beforeReplacing(errorText)) return false;
    if (!writer.commit(errorText)) return false;
    result->replaced = true;
    return true;
}

bool Catalogue::TrierFichierCourant(const FolderLock &lock, const QString &path, QString *errorText) const
{
    Edit sortOnly;
    sortOnly.rewriteUnchanged = true;
    return rewrite(lock, path, sortOnly, errorText);
}

bool Catalogue::append(const FolderLock &lock, const QString &line, QString *currentFile, QString *errorText) const
{
    if (line.isEmpty()) return false;
    QByteArray encoded;
    if (!cp1252::encodeTo(line, &encoded, errorText)) return false;
    const QString path = letterFile(line.front());
    Edit add;
    add.insert = encoded;
    add.insertCount = 1;
    if (!rewrite(lock, path, add, errorText)) return false;
    if (currentFile) *currentFile = path;
    return true;
}

bool Catalogue::deleteLine(const FolderLock &lock, const QString &path, const QString &oldLine,
                           QString *errorText, qsizetype *removed) const
{
    if (removed) *removed = 0;
    QByteArray old;
    if (!cp1252::encodeTo(oldLine, &old, errorText)) return false;
    if (old.isEmpty()) return true;
    Edit drop;
    drop.remove = old;
    drop.sort = false; // the other lines keep their places
    return rewrite(lock, path, drop, errorText, removed);
}

std::optional<qsizetype> Catalogue::countLine(const QString &path, const QString &line, QString *errorText) const
{
    QByteArray encoded;
    if (!cp1252::encodeTo(line, &encoded, errorText)) return std::nullopt;
    qsizetype count = 0;
    const linefile::ReadStatus status = linefile::forEachLine(path, [&](QByteArrayView l) {
        if (l == encoded) ++count;
    });
    if (!status.ok()) {
        if (errorText) *errorText = status.error;
        return std::nullopt;
    }
    return count;
}

bool Catalogue::replaceLine(const FolderLock &lock, QString *currentFile, const QString &oldLine,
                            const QString &newLine, QString *errorText) const
{
    QByteArray oldBytes, newBytes;
    if (!cp1252::encodeTo(oldLine, &oldBytes, errorText) || !cp1252::encodeTo(newLine, &newBytes, errorText))
        return false;
    if (newLine.isEmpty() || oldLine.isEmpty()) return false;

    const auto count = countLine(*currentFile, oldLine, errorText);
    if (!count) return false;
    if (*count == 0) {
        if (errorText) *errorText = notFound(oldLine, *currentFile);
        return false;
    }

    if (cp1252::toUpper(oldLine.front()) == cp1252::toUpper(newLine.front())) {
        Edit replace;
        replace.remove = oldBytes;
        replace.insert = newBytes;
        replace.insertCount = *count;
        return rewrite(lock, *currentFile, replace, errorText);
    }

    // Moving to another letter file: the new line is written first, so that the record is never
    // nowhere; when the old line cannot then be removed, the new one is taken out again.
    const QString target = letterFile(newLine.front());
    Edit add;
    add.insert = newBytes;
    add.insertCount = 1;
    if (!rewrite(lock, target, add, errorText)) return false;
    QString deleteError;
    Edit drop;
    drop.remove = oldBytes;
    drop.sort = false;
    if (!rewrite(lock, *currentFile, drop, &deleteError)) {
        Edit takeBack;
        takeBack.remove = newBytes;
        takeBack.removeAtMost = 1;
        takeBack.sort = false;
        QString putBackError;
        if (!rewrite(lock, target, takeBack, &putBackError)) {
            if (errorText)
                *errorText = deleteError + u'\n' + putBackError + u'\n' +
                             texts::get(texts::kRecordTwice).arg(*currentFile, target);
            return false;
        }
        if (errorText) *errorText = deleteError;
        return false;
    }
    *currentFile = target;
    return true;
}
