#include "archiver/store/first_run.h"

#include "archiver/store/catalogue.h"
#include "archiver/store/lists.h"
#include "archiver/store/record.h"
#include "archiver/store/settings.h"
#include "archiver/store/shipped_files.h"
#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"
#include "common/text/texts.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace firstrun {
namespace {

const QStringList kCategories{QStringLiteral("TEXTES"), QStringLiteral("SONS"),
                              QStringLiteral("IMAGES"), QStringLiteral("CARNET D'ADRESSES"),
                              QStringLiteral("WEB"), QStringLiteral("E-MAIL")};

// Adds lines after the existing lines of path (creating it); blank lines are dropped and the file
// is written with CR LF ends. A line for which present() finds an existing line is not added.
bool extendFile(const QString &path, const QStringList &lines,
                const std::function<bool(const QList<QByteArray> &, const QByteArray &)> &present,
                QString *errorText)
{
    QList<QByteArray> all;
    if (!linefile::readLines(path, &all, errorText)) return false;
    all.removeAll(QByteArray());
    for (const QString &l : lines) {
        QByteArray e;
        if (!cp1252::encodeTo(l, &e, errorText)) return false;
        if (!present(all, e)) all.append(e);
    }
    return files::saveAtomically(path, linefile::joinLines(all), errorText);
}

bool sameLine(const QList<QByteArray> &lines, const QByteArray &line) { return lines.contains(line); }

// An example is there when a record with its key is, whatever its date: a first run done again
// on another day does not add it twice.
bool sameKey(const QList<QByteArray> &lines, const QByteArray &line)
{
    const QByteArray key = line.left(line.indexOf('@') + 1);
    return std::any_of(lines.cbegin(), lines.cend(), [&](const QByteArray &l) { return l.startsWith(key); });
}

// The six example records, dated date, their targets in folder.
QStringList exampleRecords(const QString &folder, const QString &date)
{
    const QString dir = files::withTrailingSlash(folder);
    auto line = [&](const QString &key, const QString &category, const QString &note,
                    const QString &target) {
        return record::compose(Record{key, date, QString(), category, note, target});
    };
    return {
        line(QStringLiteral("UN EXEMPLE D'IMAGE : VERDURE"), QStringLiteral("IMAGES"),
             QStringLiteral("UN CLIC SUR L'IMAGE L'AFFICHE EN TAILLE REELLE -UN CLIC SUR EXECUTER "
                            "LANCE LE LOGICIEL ASSOCIE DANS WINDOWS AUX IMAGES BMP"),
             dir + QStringLiteral("FORET.BMP")),
        line(QStringLiteral("UN EXEMPLE DE SON : BACH"), QStringLiteral("SONS"),
             QStringLiteral("UN CLIC SUR EXECUTER LANCE LE LOGICIEL ASSOCIE DANS WINDOWS AUX SONS MID"),
             dir + QStringLiteral("BACH.MID")),
        line(QStringLiteral("UN EXEMPLE DE TEXTE : LISEZ-MOI"), QStringLiteral("TEXTES"),
             QStringLiteral("UN CLIC SUR EXECUTER LANCE LE LOGICIEL ASSOCIE DANS WINDOWS AUX TEXTES TXT"),
             dir + QStringLiteral("LISEZMOI.TXT")),
        line(QStringLiteral("UN EXEMPLE D'ADRESSE : LIBRAIRIE DU VIEUX PONT"),
             QStringLiteral("CARNET D'ADRESSES"), QStringLiteral("TEL 04 78 00 00 00 - LYON"),
             QString()),
        line(QStringLiteral("UN EXEMPLE D'ADRESSE E-MAIL : L'AUTEUR"), QStringLiteral("E-MAIL"),
             QStringLiteral("UN CLIC SUR EXECUTER LANCE VOTRE GESTIONNAIRE DE COURRIER"),
             QStringLiteral("auteur@talvo.example.org")),
        line(QStringLiteral("UN EXEMPLE DE SITE WEB : WIKIPEDIA"), QStringLiteral("WEB"),
             QStringLiteral("UN CLIC SUR EXECUTER LANCE VOTRE EXPLORATEUR INTERNET"),
             QStringLiteral("https://fr.wikipedia.org")),
    };
}

struct SubFolder
{
    const char *name;             // created with this spelling
    const texts::Text &message;   // shown before it is created
};

constexpr SubFolder kSubFolders[] = {{"NOTES", texts::kCreatingNotes}, {"BACKUP", texts::kCreatingBackup}};

} // namespace

bool workFilesExist(const QString &folder)
{
    return QFileInfo::exists(files::findExisting(folder, QStringLiteral("A.MFI")));
}

bool InitialiserFichiers(const files::FolderLock &lock, const QString &date, QString *errorText)
{
    const QString dir = lock.folder();
    const Catalogue catalogue(dir);
    // "A.MFI" is what says the work files exist, so it is made last: an interrupted first run
    // is started again at the next start-up.
    auto createEmpty = [&](QChar letter) {
        const QString path = catalogue.letterFile(letter);
        return QFileInfo::exists(path) || files::saveAtomically(path, QByteArray(), errorText);
    };
    for (int i = 0; i < record::kLetterCount; ++i)
        if (record::kLetterList[i] != 'A' && !createEmpty(QLatin1Char(record::kLetterList[i])))
            return false;
    if (!extendFile(catalogue.letterFile(u'U'), exampleRecords(dir, date), sameKey, errorText)) return false;
    if (!extendFile(lists::categoryFile(dir), kCategories, sameLine, errorText)) return false;
    const QString sup = lists::supportFile(dir);
    if (!QFileInfo::exists(sup) && !files::saveAtomically(sup, QByteArray(), errorText))
        return false;
    const QString notepad = files::findExisting(dir, QStringLiteral("bloc_not.rtf"));
    if (!QFileInfo::exists(notepad) &&
        !extendFile(notepad, {QStringLiteral("[Premiere utilisation] d'Talvo : "), date}, sameLine,
                    errorText))
        return false;
    if (!createEmpty(u'A')) return false;
    settings::setLanguageFileSetting(dir + QStringLiteral("francais.lng"));
    return true;
}

QStringList ensureSubFolders(const QString &folder, const std::function<void(const QString &)> &beforeCreating)
{
    QStringList failures;
    for (const SubFolder &sub : kSubFolders) {
        const QString name = QLatin1String(sub.name);
        const QString existing = files::findExisting(folder, name);
        if (QFileInfo(existing).isDir()) continue;
        beforeCreating(texts::get(sub.message));
        if (QFileInfo::exists(existing) || QFileInfo(existing).isSymLink())
            failures.append(texts::get(texts::kSubFolderNotFolder).arg(name, existing));
        else if (!QDir(folder).mkdir(name))
            failures.append(texts::get(texts::kSubFolderFailed).arg(name, folder));
    }
    return failures;
}

QStringList copyShippedFiles(const files::FolderLock &lock, const QString &shippedFolder,
                             const QStringList &names)
{
    QStringList failures;
    const QString from = files::withTrailingSlash(QFileInfo(shippedFolder).canonicalFilePath());
    if (from.size() <= 1 || from == files::withTrailingSlash(QFileInfo(lock.folder()).canonicalFilePath()))
        return failures;
    for (const QString &name : names) {
        const QString source = from + name;
        if (!QFileInfo(source).isFile()) continue;
        // Each part of the name is matched without case, so a copied folder of another system's
        // spelling is used as it is.
        const QStringList parts = name.split(u'/', Qt::SkipEmptyParts);
        QString target = lock.folder();
        bool ok = true;
        for (int i = 0; ok && i + 1 < parts.size(); ++i) {
            const QString dir = files::findExisting(target, parts[i]);
            if (!QFileInfo(dir).isDir() && !QDir(target).mkdir(parts[i])) {
                failures.append(texts::get(texts::kCannotCreateFolder).arg(dir));
                ok = false;
            }
            target = files::withTrailingSlash(dir);
        }
        if (!ok) continue;
        const QString existing = files::findExisting(target, parts.last());
        if (QFileInfo::exists(existing) || QFileInfo(existing).isSymLink()) continue;
        QString error;
        if (!lock.allows(existing, &error) || !files::copyAtomically(source, existing, &error))
            failures.append(texts::get(texts::kCannotCopyShipped).arg(name, lock.folder(), error));
    }
    return failures;
}

QStringList copyShippedFiles(const files::FolderLock &lock, const QString &shippedFolder)
{
    QStringList names;
    for (const char *name : kShippedFiles)
        names.append(QString::fromUtf8(name));
    return copyShippedFiles(lock, shippedFolder, names);
}

} // namespace firstrun
