#include "archiver/operations/record_change.h"

#include "archiver/store/undo.h"
#include "archiver/store/lists.h"
#include "archiver/store/record_entry.h"
#include "common/text/texts.h"

namespace recordchange {

QString addTitle(const QString &key) { return texts::get(texts::kAddRecordTitle).arg(key); }
QString editTitle(const QString &key) { return texts::get(texts::kEditRecordTitle).arg(key); }
QString deleteTitle(const QString &key) { return texts::get(texts::kDeleteRecordTitle).arg(key); }

bool run(const FolderLock &lock, const QString &programFolder, const QString &title, const QStringList &files,
         const std::function<bool(QString *errorText)> &change, QString *errorText, QString *warning)
{
    auto op = undo::Operation::begin(lock, programFolder, title, errorText);
    if (!op) return false;
    for (const QString &path : files)
        if (!op->keep(path, errorText)) {
            op->rollBack(nullptr);
            return false;
        }
    if (!change(errorText)) {
        QString error;
        if (!op->rollBack(&error) && errorText) *errorText += u'\n' + error;
        return false;
    }
    QString error;
    if (!op->seal(&error) && warning) *warning = error;
    return true;
}

QStringList filesOfAdd(const Catalogue &catalogue, const Record &r)
{
    const QString &folder = catalogue.folder();
    return {catalogue.letterFileOfKey(r.key), lists::supportFile(folder), lists::categoryFile(folder)};
}

bool add(const FolderLock &lock, const Catalogue &catalogue, const Record &r, bool addCategory, QString *currentFile,
         QString *errorText, QString *warning)
{
    return run(
        lock, catalogue.folder(), addTitle(r.key), filesOfAdd(catalogue, r),
        [&](QString *error) { return entry::store(lock, catalogue, r, addCategory, currentFile, error); }, errorText,
        warning);
}

bool replace(const FolderLock &lock, const Catalogue &catalogue, QString *currentFile, const QString &oldLine,
             const QString &newLine, QString *errorText, QString *warning)
{
    const auto key = record::parse(newLine);
    return run(
        lock, catalogue.folder(), editTitle(key ? key->key : newLine), {*currentFile, catalogue.letterFileOfKey(newLine)},
        [&](QString *error) { return catalogue.replaceLine(lock, currentFile, oldLine, newLine, error); }, errorText,
        warning);
}

bool remove(const FolderLock &lock, const Catalogue &catalogue, const QString &path, const QString &line,
            qsizetype *removed, QString *errorText, QString *warning)
{
    const auto key = record::parse(line);
    return run(
        lock, catalogue.folder(), deleteTitle(key ? key->key : line), {path},
        [&](QString *error) { return catalogue.deleteLine(lock, path, line, error, removed); }, errorText, warning);
}

} // namespace recordchange
