#include "archiver/cli/cli.h"

#include "archiver/operations/finder.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"

#include <QDir>
#include <QFileInfo>

namespace cli {
namespace {

// The finder of files whose path is the target of no record: each such file on stdout, the
// three counts on stderr.
class Uncatalogued final : public Command
{
public:
    Uncatalogued()
        : Command("uncatalogued", &texts::kSyntaxUncatalogued, texts::kUsageUncatalogued,
                  {QStringLiteral("pattern")})
    {
    }
    int run(Context &ctx, const Options &o) const override;
};

int Uncatalogued::run(Context &ctx, const Options &o) const
{
    if (o.positional.size() != 1 || o.positional.front().isEmpty()) return wrongArguments();
    const QFileInfo place(o.positional.front());
    if (!place.isDir() || !place.isReadable())
        return refuse(texts::get(texts::kNotAFolderToSearch).arg(o.positional.front()));
    QString folder = place.absoluteFilePath();
    if (!folder.endsWith(u'/')) folder += u'/';
    const finder::Analysis a = finder::find(ctx.catalogue, folder, o.values.value(QStringLiteral("pattern")));
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

} // namespace

const Command &uncataloguedCommand()
{
    static const Uncatalogued command;
    return command;
}

} // namespace cli
