#include "archiver/operations/html_page.h"

#include "archiver/operations/print_list.h"

#include "common/files/atomic_file.h"
#include "common/files/path_parts.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace htmlpage {
namespace {

const QString kEnd = QStringLiteral("\r\n");

QString extensionOf(const QString &target) { return cp1252::toUpper(PartieChemin(target, QStringLiteral("extension"))); }

QString escaped(const QString &text) { return text.toHtmlEscaped(); }

// A copy that replaces what the working folder held under that name.
bool copyInto(const QString &from, const QString &to, QString *errorText)
{
    // A FIFO or a device would block the copy or never end it.
    const QFileInfo source(from);
    if (source.exists() && !source.isFile()) {
        *errorText = linefile::notRegularMessage(from);
        return false;
    }
    if (QFileInfo(to).isFile() && !QFile::remove(to)) {
        *errorText = QFile(to).errorString();
        return false;
    }
    QFile file(from);
    if (!file.copy(to)) {
        *errorText = file.errorString();
        return false;
    }
    return true;
}

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

Outcome build(const QList<Record> &rows, const Options &options, const QString &programFolder, const QString &home,
              const Measure &measure, const AskMedium &askMedium)
{
    Outcome out;
    out.folder = workingFolder(home, options.name);
    const QString folder = out.folder + u'/';
    if (!QDir().mkpath(out.folder)) out.problems.append(out.folder);

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
        const QString back = files::findExisting(programFolder, QStringLiteral("back.gif"));
        if (!copyInto(back, folder + QStringLiteral("back.gif"), &why))
            out.problems.append(QStringLiteral("back.gif : ") + why);
        line(QStringLiteral("<BODY BACKGROUND=\"back.gif\">"));
    } else {
        line(QStringLiteral("<BODY>"));
    }
    line(QStringLiteral("<h1>") + escaped(options.title) + QStringLiteral("</h1>"));
    line(QString());
    line(QStringLiteral("<TABLE>"));

    const int perRow = std::max(1, options.columns);
    int cell = 0;
    for (const Record &r : rows) {
        if (!isPagePicture(r.target)) continue;
        if (++cell == 1) line(QStringLiteral("<TR ALIGN=\"CENTER\">"));
        line(QStringLiteral("  <TD>"));
        if (!r.support.isEmpty() && askMedium) askMedium(r);

        // The file the page shows, and how the page names it.
        QString shown = r.target, source;
        QString why;
        bool copied = true;
        if (options.copyMode == 0) {
            source = QUrl::fromLocalFile(r.target).toString(QUrl::FullyEncoded);
        } else {
            const QString name = options.copyMode == 1
                                     ? files::safeFileName(PartieChemin(r.target, QStringLiteral("nom et extension")))
                                     : QStringLiteral("image%1").arg(out.pictures, 4, 10, QLatin1Char('0')) +
                                           PartieChemin(r.target, QStringLiteral("extension"));
            const QString lower = name.toLower();
            shown = folder + lower;
            if (!copyInto(r.target, shown, &why)) {
                out.problems.append(r.target + QStringLiteral(" : ") + why);
                copied = false;
                shown = r.target; // measured where it is, so the page keeps its place
            }
            source = QString::fromLatin1(QUrl::toPercentEncoding(lower));
        }
        const auto size = measure(shown, &why);
        QString img = QStringLiteral("  <IMG SRC=\"") + source.toHtmlEscaped() + u'"';
        if (size)
            img += QStringLiteral(" Width=\"%1\" Height=\"%2\"").arg(size->width()).arg(size->height());
        else if (copied)
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

    if (out.pictures == 0) return out;
    const QString path = folder + pageFileName(options.name);
    if (!files::saveAtomically(path, page.toUtf8(), &out.error)) return out;
    out.page = path;
    return out;
}

} // namespace htmlpage
