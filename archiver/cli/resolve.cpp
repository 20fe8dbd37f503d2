#include "archiver/cli/cli.h"

#include "archiver/store/record.h"
#include "archiver/store/removable_media.h"
#include "common/text/texts.h"

namespace cli {
namespace {

// Where the record card would open the record's target: on the volume that carries its support
// when that support is mounted at another place than where it was catalogued.
class Resolve final : public Command
{
public:
    Resolve() : Command("resolve", &texts::kSyntaxResolve, texts::kUsageResolve) {}
    int run(Context &ctx, const Options &o) const override;
};

int Resolve::run(Context &ctx, const Options &o) const
{
    if (o.positional.size() != 1) return wrongArguments();
    const QString &line = o.positional.front();
    if (line.isEmpty()) return usage(texts::get(texts::kNoEmptyArgument).arg(name()));
    const auto r = record::parse(line);
    if (!r) return refuse(line + u'\n' + ctx.message(8));
    const media::Location where =
        media::locate(r->target, r->support, media::removableRoots(), media::mountedVolumes());
    if (where.path.isEmpty()) return refuse(texts::get(texts::kSupportNotMounted).arg(where.missingSupport));
    writeOut(stdout, where.path + u'\n');
    return Done;
}

} // namespace

const Command &resolveCommand()
{
    static const Resolve command;
    return command;
}

} // namespace cli
