#include "archiver/cli/cli.h"

#include "archiver/operations/keywords.h"
#include "common/text/texts.h"

namespace cli {

int runKeywords(Context &ctx, const QStringList &args)
{
    if (!args.isEmpty())
        return usage(texts::get(texts::kTakesArguments).arg(QStringLiteral("keywords"), QStringLiteral("keywords")));
    const keywords::Outcome done = keywords::writeList(ctx.catalogue, ctx.folder);
    if (!done.error.isEmpty()) return refuse(done.error);
    writeOut(stdout, texts::get(texts::kCliWritten).arg(done.keys).arg(done.path) + u'\n');
    return Done;
}

} // namespace cli
