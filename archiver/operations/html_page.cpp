#include "archiver/operations/html_page.h"

#include "archiver/operations/print_list.h"

#include "common/files/atomic_file.h"
#include "common/files/path_parts.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"
#include "common/text/texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUrl>

namespace htmlpage {
namespace {

const QString kEnd = QStringLiteral("\r\n");

QString extensionOf(const QString &target) { return cp1252::toUpper(PartieChemin(target, QStringLiteral("extension"))); }

QString escaped(const QString &text) { return text.toHtmlEscaped(); }

// How the page names a file of its own folder.
QString relativeSource(const QString &name)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(name));
}

// name (a safe file name) with "_n" before its extension, cut so that it stays a safe name.
QString numbered(const QString &name, int n)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    QString base = dot > 0 ? name.left(dot) : name;
    const QString tail = QStringLiteral("_%1").arg(n) + (dot > 0 ? name.mid(dot) : QString());
    while (!base.isEmpty() && files::safeFileName(base + tail) != base + tail)
        base.chop(1);
    return base + tail;
}

// Far more than any folder holds: a search for a free name always ends.
constexpr int kMostNumbers = 100000;

// The files the program wrote in a working folder, each with the size and time it had once
// written, as the folder's hidden list keeps them. A file that no longer has them was changed or
// put there by someone else: it is the user's.
class WrittenFiles
{
  public:
    explicit WrittenFiles(const QString &folder) : folder_(folder)
    {
        const QString path = folder_ + QLatin1String(kWrittenList);
        const QFileInfo list(path);
        found_ = list.isFile();
        QFile file(path);
        if (!found_ || !file.open(QIODevice::ReadOnly)) return;
        // The list is a few lines; a huge file there is not one of ours to read whole.
        for (const QByteArray &line : file.read(1 << 20).split('\n')) {
            const qsizetype a = line.indexOf('\t'), b = line.indexOf('\t', a + 1);
            if (a <= 0 || b <= a + 1) continue;
            entries_.insert(QString::fromUtf8(line.mid(b + 1)),
                            {line.left(a).toLongLong(), line.mid(a + 1, b - a - 1).toLongLong()});
        }
    }

    // Whether the program ever wrote to the folder.
    bool found() const { return found_; }
    // Whether name is still the file the program wrote.
    bool isOurs(const QString &name) const
    {
        const auto it = entries_.constFind(name);
        return it != entries_.cend() && stamp(name) == *it;
    }
    // Whether a file may be written under name: nothing stands there, or the program's own file.
    bool isFree(const QString &name) const
    {
        const QFileInfo f(folder_ + name);
        return (!f.exists() && !f.isSymLink()) || isOurs(name);
    }
    void wrote(const QString &name)
    {
        if (const auto s = stamp(name)) entries_.insert(name, *s);
    }
    // Keeps the files that are still the program's.
    bool save(QString *errorText) const
    {
        QByteArray text;
        for (auto it = entries_.cbegin(); it != entries_.cend(); ++it)
            if (isOurs(it.key()))
                text += QByteArray::number(it->first) + '\t' + QByteArray::number(it->second) +
                        '\t' + it.key().toUtf8() + '\n';
        return files::saveAtomically(folder_ + QLatin1String(kWrittenList), text, errorText);
    }

  private:
    using Stamp = std::pair<qint64, qint64>; // size, time of the last change in ms
    std::optional<Stamp> stamp(const QString &name) const
    {
        const QFileInfo f(folder_ + name);
        if (!f.isFile() || f.isSymLink()) return std::nullopt;
        return Stamp{f.size(), f.lastModified().toMSecsSinceEpoch()};
    }

    QString folder_; // ends with "/"
    bool found_ = false;
    QHash<QString, Stamp> entries_;
};

} // namespace

QStringList albumPictures(const QList<Record> &rows)
{
    static const QStringList extensions{QStringLiteral(".BMP"), QStringLiteral(".EMF"), QStringLiteral(".WMF"),
                                        QStringLiteral(".ICO"), QStringLiteral(".CUR"), QStringLiteral(".JPG"),
                                        QStringLiteral(".JPE"), QStringLiteral(".JPEG"), QStringLiteral(".GIF")};
    QStringList pictures;
    for (const Record &r : rows)
        if (r.support.isEmpty() && extensions.contains(extensionOf(r.target))) pictures.append(r.target);
    return pictures;
}

bool isPagePicture(const QString &target)
{
    static const QStringList extensions{QStringLiteral(".JPG"), QStringLiteral(".JPE"), QStringLiteral(".JPEG"),
                                        QStringLiteral(".GIF")};
    return extensions.contains(extensionOf(target));
}

QString pageFileName(const QString &typed)
{
    QString name = typed;
    if (!name.contains(QLatin1String(".htm"), Qt::CaseInsensitive)) name += QStringLiteral(".htm");
    return files::safeFileName(name);
}

QString workingFolder(const QString &home, const QString &typed)
{
    const QString name = pageFileName(typed);
    const qsizetype dot = name.lastIndexOf(u'.');
    QString base = dot > 0 ? name.left(dot) : name;
    QString folder = home;
    if (!folder.endsWith(u'/')) folder += u'/';
    return folder + files::safeFileName(base);
}

Place placeOf(const QString &home, const QString &typed)
{
    Place place;
    const QString name = pageFileName(typed);
    place.folder = workingFolder(home, typed);
    place.page = place.folder + u'/' + name;
    const QFileInfo folder(place.folder);
    if (!folder.exists() && !folder.isSymLink()) return place;
    if (!folder.isDir()) {
        place.blocked = true;
        return place;
    }
    const WrittenFiles written(place.folder + u'/');
    place.othersFolder = !written.found();
    const QFileInfo page(place.page);
    // A link would have the page written into the file it names, wherever that is.
    if (page.isSymLink() || (page.exists() && !page.isFile()))
        place.blocked = true;
    else if (page.exists())
        place.othersPage = !written.isOurs(name);
    return place;
}

QString freeName(const QString &home, const QString &typed)
{
    const QString name = pageFileName(typed);
    QString candidate = name;
    for (int n = 2; n < kMostNumbers; ++n) {
        candidate = numbered(name, n);
        if (placeOf(home, candidate).clear()) break;
    }
    return candidate;
}

Outcome build(const QList<Record> &rows, const Options &options, const QString &programFolder, const QString &home,
              const Measure &measure, const AskMedium &askMedium)
{
    Outcome out;
    const Place place = placeOf(home, options.name);
    out.folder = place.folder;
    QList<const Record *> pictures;
    for (const Record &r : rows)
        if (isPagePicture(r.target)) pictures.append(&r);
    if (pictures.isEmpty()) return out;

    // What the user did not let the page replace or write into stops it before anything is written.
    if (place.blocked || (place.othersFolder && !options.intoOthersFolder) ||
        (place.othersPage && !options.replaceOthersPage)) {
        const bool folderInTheWay =
            !QFileInfo(place.folder).isDir() || (place.othersFolder && !options.intoOthersFolder);
        out.error =
            texts::get(texts::kPageInTheWay).arg(folderInTheWay ? place.folder : place.page);
        return out;
    }
    if (!QDir().mkpath(place.folder)) {
        out.error = texts::get(texts::kCannotCreateFolder).arg(place.folder);
        return out;
    }
    const QString folder = place.folder + u'/';
    const QString canonicalFolder = QFileInfo(place.folder).canonicalFilePath();
    const QString pageName = pageFileName(options.name);
    WrittenFiles written(folder);
    QSet<QString> used{pageName, QLatin1String(kWrittenList)}; // names given in this run
    QHash<QString, QString> copies;                            // picture copied → its name here
    const auto isFree = [&](const QString &name) {
        return !used.contains(name) && written.isFree(name);
    };
    const auto freeVariant = [&](const QString &name) {
        QString candidate = name;
        for (int n = 2; !isFree(candidate) && n < kMostNumbers; ++n)
            candidate = numbered(name, n);
        return candidate;
    };
    const auto copyIn = [&](const QString &from, const QString &name, QString *why) {
        used.insert(name);
        // A FIFO or a device would block the copy or never end it.
        const QFileInfo source(from);
        if (source.exists() && !source.isFile()) {
            *why = linefile::notRegularMessage(from);
            return false;
        }
        if (!files::copyAtomically(from, folder + name, why)) return false;
        written.wrote(name);
        return true;
    };

    QString page;
    const auto line = [&page](const QString &text) { page += text + kEnd; };
    line(QStringLiteral("<html>"));
    line(QStringLiteral("<head>"));
    line(QStringLiteral("<meta charset=\"utf-8\">"));
    line(QStringLiteral("<title>") + escaped(options.title) + QStringLiteral("</title>"));
    line(QStringLiteral("</head>"));
    line(QString());
    if (options.parchment) {
        QString why;
        const QString background = freeVariant(QStringLiteral("back.gif"));
        if (!copyIn(files::findExisting(programFolder, QStringLiteral("back.gif")), background,
                    &why))
            out.problems.append(QStringLiteral("back.gif : ") + why);
        line(QStringLiteral("<BODY BACKGROUND=\"") + relativeSource(background).toHtmlEscaped() +
             QStringLiteral("\">"));
    } else {
        line(QStringLiteral("<BODY>"));
    }
    line(QStringLiteral("<h1>") + escaped(options.title) + QStringLiteral("</h1>"));
    line(QString());
    line(QStringLiteral("<TABLE>"));

    const int perRow = std::max(1, options.columns);
    int cell = 0;
    int number = 0; // the next number of a numbered copy
    for (const Record *row : pictures) {
        const Record &r = *row;
        const QFileInfo picture(r.target);
        if (!r.support.isEmpty() && askMedium && !picture.exists()) askMedium(r);

        // The file the page shows, and how the page names it.
        QString shown = r.target, source;
        QString why;
        if (options.copyMode == 0) {
            source = QUrl::fromLocalFile(r.target).toString(QUrl::FullyEncoded);
        } else if (picture.isFile() &&
                   QFileInfo(picture.absolutePath()).canonicalFilePath() == canonicalFolder) {
            // Already in the working folder: shown where it lies, under its own name.
            source = relativeSource(picture.fileName());
        } else if (const QString known = copies.value(picture.canonicalFilePath());
                   !known.isEmpty()) {
            shown = folder + known;
            source = relativeSource(known);
        } else {
            QString name;
            if (options.copyMode == 1) {
                name = freeVariant(
                    files::safeFileName(PartieChemin(r.target, QStringLiteral("nom et extension")))
                        .toLower());
            } else {
                const QString extension =
                    PartieChemin(r.target, QStringLiteral("extension")).toLower();
                const auto numberedName = [&](int n) {
                    return QStringLiteral("image%1").arg(n, 4, 10, QLatin1Char('0')) + extension;
                };
                number = std::max(number, out.pictures);
                while (!isFree(numberedName(number)) && number < kMostNumbers)
                    ++number;
                name = numberedName(number++);
            }
            shown = folder + name;
            if (!copyIn(r.target, name, &why)) {
                // Not on the page: a picture it would not find. Said, and not counted.
                out.problems.append(r.target + QStringLiteral(" : ") + why);
                continue;
            }
            copies.insert(picture.canonicalFilePath(), name);
            source = relativeSource(name);
        }
        if (++cell == 1) line(QStringLiteral("<TR ALIGN=\"CENTER\">"));
        line(QStringLiteral("  <TD>"));
        const auto size = measure(shown, &why);
        QString img = QStringLiteral("  <IMG SRC=\"") + source.toHtmlEscaped() + u'"';
        if (size)
            img += QStringLiteral(" Width=\"%1\" Height=\"%2\"").arg(size->width()).arg(size->height());
        else
            out.problems.append(r.target + QStringLiteral(" : ") + why);
        line(img + QStringLiteral("><br>"));
        for (const QChar digit : options.fields)
            line(QStringLiteral("  ") + escaped(printlist::cell(r, digit.isDigit() ? digit.digitValue() : 0)) +
                 QStringLiteral("<br>"));
        line(QStringLiteral("  </TD>"));
        if (cell == perRow) {
            line(QStringLiteral("</TR>"));
            line(QString());
            cell = 0;
        }
        ++out.pictures;
    }
    if (cell != 0) line(QStringLiteral("</TR>"));
    line(QString());
    line(QStringLiteral("</TABLE>"));
    line(QStringLiteral("</body>"));
    line(QStringLiteral("</html>"));

    const QString path = folder + pageName;
    if (out.pictures > 0 && files::saveAtomically(path, page.toUtf8(), &out.error)) {
        written.wrote(pageName);
        out.page = path;
    }
    // Without the list the copies would count as the user's next time: kept, never replaced.
    QString why;
    if (!written.save(&why)) out.problems.append(why);
    return out;
}

} // namespace htmlpage
