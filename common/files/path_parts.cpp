#include "common/files/path_parts.h"

#include "common/text/cp1252.h"

QString PartieChemin(const QString &path, const QString &modeWord)
{
    const QString mode = modeWord.toLower();

    const qsizetype dot = path.lastIndexOf(u'.');
    const QString extension = dot >= 0 ? path.mid(dot) : QString();
    const QString rest = dot >= 0 ? path.left(dot) : path;

    const qsizetype sep = std::max(rest.lastIndexOf(u'\\'), rest.lastIndexOf(u'/'));
    QString name, folderWithSep, folder, restKept;
    if (sep >= 0) {
        name = rest.mid(sep + 1);
        folderWithSep = rest.left(sep + 1);
        folder = rest.left(sep);
        restKept = rest;
    } else {
        name = rest;
    }

    if (mode == u"chemin\\" || mode == u"chemin/") return folderWithSep;
    if (mode == u"chemin") return folder;
    if (mode == u"nom seul") return name;
    if (mode == u"extension") return extension;
    if (mode == u"nom et extension") return name + extension;
    if (mode == u"chemin et nom seul") return restKept;
    return {};
}

namespace files {

QString safeFileName(const QString &text)
{
    QString name;
    for (const QChar c : text)
        name.append(c == u'/' || c == u'\\' || cp1252::isControl(c.unicode()) ? QChar(u'_') : c);
    while (name.contains(QLatin1String(".."))) name.replace(QLatin1String(".."), QLatin1String("_."));
    if (name.startsWith(u'.')) name[0] = u'_';
    while (name.toUtf8().size() > 200) {
        name.chop(1);
        if (!name.isEmpty() && name.back().isHighSurrogate()) name.chop(1);
    }
    return name.isEmpty() ? QStringLiteral("SANSNOM") : name;
}

} // namespace files
