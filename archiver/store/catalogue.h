#pragma once

#include "archiver/store/line_order.h"
#include "common/files/folder_lock.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

using files::FolderLock;

// The letter files of a program folder: one file per character of the letter list, each kept in
// line order after every change. Lines are Windows-1252 bytes on disk; the operations that take
// QString lines encode them and refuse a character the code page cannot hold.
//
// Every change needs the folder's lock, taken by lock() and held for as long as the caller's
// change lasts (a batch holds it once); each change reads its file again under it. Files are
// rewritten a line at a time through files::AtomicWriter, so memory stays flat whatever their
// size and a failed change leaves the file as it was. A file holding a line too long to be read
// whole is never rewritten, so that nothing of it is lost.
class Catalogue
{
public:
    explicit Catalogue(const QString &programFolder);

    const QString &folder() const { return folder_; }

    // The folder's lock; see FolderLock::acquire. An operation that a killed program left half
    // done is rolled back first (rolledBack, when given, says whether one was), and the notice
    // function (when set) is told so; when it cannot be, nothing is locked and errorText says why.
    std::optional<FolderLock> lock(QString *errorText, int waitMs = -1, bool *rolledBack = nullptr) const;
    void setNotice(std::function<void(const QString &text)> notice) { notice_ = std::move(notice); }

    // The letter file of a character (upper-cased first): its existing spelling, matched without
    // case, or the canonical "A.MFI" name when there is none yet.
    QString letterFile(QChar first) const;
    QString letterFileOfKey(const QString &key) const;

    // Every non-empty line of every letter file, in letter-list order and file order. Returns the
    // messages of the letter files that could not be read, which were passed over.
    QStringList scan(const std::function<void(QByteArrayView line)> &fn) const;

    // Appends line to the letter file of its first character, keeping the file in line order.
    // currentFile receives the letter file written.
    bool append(const FolderLock &lock, const QString &line, QString *currentFile, QString *errorText) const;

    // Rewrites path with its non-empty lines in line order.
    bool TrierFichierCourant(const FolderLock &lock, const QString &path, QString *errorText) const;

    // Removes every line of path identical to oldLine (whole line, case-sensitive); removed
    // (when given) receives how many. A file without such a line is left alone.
    bool deleteLine(const FolderLock &lock, const QString &path, const QString &oldLine, QString *errorText,
                    qsizetype *removed = nullptr) const;

    // How many lines of path are identical to line; nothing, with errorText, when path cannot be
    // read.
    std::optional<qsizetype> countLine(const QString &path, const QString &line, QString *errorText) const;

    // Puts newLine in place of every line identical to oldLine in *currentFile, keeping the file
    // in line order, or, when the first character changed, appends newLine to the other letter
    // file, which becomes *currentFile, and then deletes oldLine from its own. Refused, saying so,
    // when *currentFile holds no such line (another program changed or deleted it).
    bool replaceLine(const FolderLock &lock, QString *currentFile, const QString &oldLine, const QString &newLine,
                     QString *errorText) const;

    // A change of the lines of a batch: called with every non-empty line of a letter file, it
    // returns whether the line changes, *out then holding the new line (empty: the line goes).
    using LineChange = std::function<bool(QByteArrayView line, QByteArray *out)>;

    struct LinesEdit
    {
        LineChange change;        // may be empty
        QList<QByteArray> added;  // lines joined to the file
        // Files of lines joined to the file too, each already in line order, one line per LF:
        // merged in as the file is written, so that they are never all in memory.
        QStringList addedRuns;
        // Whether a changed line stays in this file; one that does not goes to leaving.
        std::function<bool(QByteArrayView line)> staysHere;
        // Runs once the new file is written whole, before it replaces the old one; false (with
        // the error text) leaves the old one.
        std::function<bool(QString *errorText)> beforeReplacing;
    };
    struct LinesResult
    {
        qsizetype changed = 0; // lines changed or removed
        QList<QByteArray> leaving;
        bool replaced = false; // the file was rewritten
    };

    // One batch pass over path: the change applied to every line, the added lines joined, the
    // file kept in line order. A file the pass leaves as it was is not written. The file is read
    // twice and written once, a line at a time; only the changed and added lines are held in
    // memory (all of them when the file was out of order). Refused, with nothing written, when a
    // line of the file is too long to be read whole.
    bool rewriteLines(const FolderLock &lock, const QString &path, const LinesEdit &edit, LinesResult *result,
                      QString *errorText) const;

    const LineOrder &order() const;

private:
    // One pass over a letter file: lines identical to remove are dropped (at most removeAtMost
    // of them, all when negative), insertCount copies of insert are put in their place in line
    // order, the rest is copied. A file out of order is sorted as a whole.
    struct Edit
    {
        QByteArrayView remove;
        qsizetype removeAtMost = -1;
        QByteArrayView insert;
        qsizetype insertCount = 0;
        bool sort = true;
        bool rewriteUnchanged = false; // false: a file the edit does not change is left alone

        // Whether line is one to drop, given how many were dropped already (counted on).
        bool drops(QByteArrayView line, qsizetype *removed) const
        {
            if (remove.isEmpty() || line != remove || (removeAtMost >= 0 && *removed >= removeAtMost))
                return false;
            ++*removed;
            return true;
        }
    };
    bool rewrite(const FolderLock &lock, const QString &path, const Edit &edit, QString *errorText,
                 qsizetype *removed = nullptr) const;
    bool rewriteInMemory(const QString &path, const Edit &edit, QString *errorText) const;

    QString folder_;
    mutable std::shared_ptr<LineOrder> order_;
    std::function<void(const QString &text)> notice_;
};
