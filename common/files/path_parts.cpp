#include "common/files/path_parts.h"

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
