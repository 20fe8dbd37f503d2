#include "archiver/cli/cli.h"

#include "archiver/store/record.h"
#include "archiver/store/removable_media.h"
#include "common/text/texts.h"

namespace cli {

// Where the record card would open the record's target: on the volume that carries its support
// when that support is mounted at another place than where it was catalogued.
int runResolve(Context &ctx, const QStringList &args)
{
    if (args.size() != 1)
        return usage(texts::get(texts::kTakesArguments).arg(QStringLiteral("resolve"), texts::get(texts::kSyntaxResolve)));
    const QString &line = args.front();
    if (line.isEmpty()) return usage(texts::get(texts::kNoEmptyArgument).arg(QStringLiteral("resolve")));
    const auto r = record::parse(line);
    if (!r) return refuse(line + u'\n' + ctx.message(8));
    const media::Location where =
        media::locate(r->target, r->support, media::removableRoots(), media::mountedVolumes());
    if (where.path.isEmpty()) return refuse(texts::get(texts::kSupportNotMounted).arg(where.missingSupport));
    writeOut(stdout, where.path + u'\n');
    return Done;
}

} // namespace cli
