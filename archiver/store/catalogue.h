#pragma once

#include "archiver/store/line_order.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

// The letter files of a program folder: one file per character of the letter list, each kept in
// line order after every change. Lines are Windows-1252 bytes on disk; the operations that take
// QString lines encode them and refuse a character the code page cannot hold. Every rewrite goes
// through files::saveAtomically, so a failed change leaves the file as it was.
class Catalogue
{
public:
    explicit Catalogue(const QString &programFolder);

    const QString &folder() const { return folder_; }

    // The letter file of a character (upper-cased first): its existing spelling, matched without
    // case, or the canonical "A.MFI" name when there is none yet.
    QString letterFile(QChar first) const;
    QString letterFileOfKey(const QString &key) const;

    // Hands every file's contents in pieces that hold whole lines (the last line of a file may
    // lack its line end); a file that is missing or cannot be read is passed over. The pieces
    // come from a small reused buffer, so memory stays flat whatever the file's size.
    static void forEachPiece(const QString &path, const std::function<void(QByteArrayView)> &fn);

    // Every non-empty line of one file, without its line end, in file order.
    static void forEachLine(const QString &path, const std::function<void(QByteArrayView)> &fn);

    // Every non-empty line of every letter file, in letter-list order and file order.
    void scan(const std::function<void(QByteArrayView line)> &fn) const;

    // Appends line to the letter file of its first character, then sorts that file.
    // currentFile receives the letter file written.
    bool append(const QString &line, QString *currentFile, QString *errorText) const;

    // Rewrites path with its non-empty lines in line order.
    bool TrierFichierCourant(const QString &path, QString *errorText) const;

    // Removes every line of path identical to oldLine (whole line, case-sensitive); removed
    // (when given) receives how many. A file without such a line is left alone.
    bool deleteLine(const QString &path, const QString &oldLine, QString *errorText,
                    qsizetype *removed = nullptr) const;

    // How many lines of path are identical to line.
    qsizetype countLine(const QString &path, const QString &line) const;

    // Puts newLine in place of every line identical to oldLine in *currentFile, or, when the
    // first character changed, deletes oldLine there and appends newLine to the other letter
    // file, which becomes *currentFile. The file written last is sorted.
    bool replaceLine(QString *currentFile, const QString &oldLine, const QString &newLine,
                     QString *errorText) const;

    const LineOrder &order() const;

private:
    bool writeSorted(const QString &path, QList<QByteArray> lines, QString *errorText) const;

    QString folder_;
    mutable std::shared_ptr<LineOrder> order_;
};
