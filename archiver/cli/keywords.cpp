#include "archiver/cli/cli.h"

#include "archiver/operations/keywords.h"
#include "common/text/texts.h"

namespace cli {
namespace {

class Keywords final : public Command
{
public:
    Keywords() : Command("keywords", nullptr, texts::kUsageKeywords) {}
    int run(Context &ctx, const Options &o) const override;
};

int Keywords::run(Context &ctx, const Options &o) const
{
    if (!o.positional.isEmpty()) return wrongArguments();
    const keywords::Outcome done = keywords::writeList(ctx.catalogue, ctx.folder);
    if (!done.error.isEmpty()) return refuse(done.error);
    writeOut(stdout, texts::get(texts::kCliWritten).arg(done.keys).arg(done.path) + u'\n');
    return Done;
}

} // namespace

const Command &keywordsCommand()
{
    static const Keywords command;
    return command;
}

} // namespace cli
