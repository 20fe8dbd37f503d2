#include "archiver/cli/cli.h"

#include "archiver/operations/finder.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"

#include <QDir>
#include <QFileInfo>

namespace cli {

// The finder of files whose path is the target of no record: each such file on stdout, the
// three counts on stderr.
int runUncatalogued(Context &ctx, const QStringList &args)
{
    QString problem;
    const auto o = parseOptions(args, {QStringLiteral("pattern")}, {}, &problem);
    if (!o) return usage(problem);
    if (o->positional.size() != 1 || o->positional.front().isEmpty())
        return usage(texts::get(texts::kTakesArguments)
                         .arg(QStringLiteral("uncatalogued"), texts::get(texts::kSyntaxUncatalogued)));
    const QFileInfo place(o->positional.front());
    if (!place.isDir() || !place.isReadable())
        return refuse(texts::get(texts::kNotAFolderToSearch).arg(o->positional.front()));
    QString folder = place.absoluteFilePath();
    if (!folder.endsWith(u'/')) folder += u'/';
    const finder::Analysis a = finder::find(ctx.catalogue, folder, o->values.value(QStringLiteral("pattern")));
    // One path per line: a line feed inside a name is shown as the other control characters are,
    // and a name that is not text with its bytes written out.
    for (const QString &path : a.uncatalogued) writeOut(stdout, cp1252::withControlsShown(path, false) + u'\n');
    for (const QByteArray &path : a.undecodable)
        writeOut(stdout, cp1252::withControlsShown(finder::shownBytes(path), false) + u'\n');
    for (const QString &why : a.unreadable) writeOut(stderr, why + u'\n');
    writeOut(stderr, texts::get(texts::kFinderCounts)
                         .arg(a.analysed)
                         .arg(a.catalogued)
                         .arg(a.uncatalogued.size() + a.undecodable.size())
                         + u'\n');
    return Done;
}

} // namespace cli
