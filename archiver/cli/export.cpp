#include "archiver/cli/cli.h"

#include "archiver/operations/transfer.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"

namespace cli {
namespace {

class Export final : public Command
{
public:
    Export()
        : Command("export", &texts::kSyntaxExport, texts::kUsageExport,
                  {QStringLiteral("search"), QStringLiteral("field")})
    {
    }
    int run(Context &ctx, const Options &o) const override;
};

int Export::run(Context &ctx, const Options &o) const
{
    if (o.positional.size() != 1 || o.positional.front().isEmpty()) return wrongArguments();
    int exit = Done;
    const auto f = found(ctx, o, &exit);
    if (!f) return exit;
    QStringList lines;
    lines.reserve(f->lines.size());
    for (const QByteArray &line : f->lines) lines.append(cp1252::decode(line));
    QString error;
    if (!transfer::exportLines(o.positional.front(), lines, &error)) return refuse(error);
    writeOut(stdout, texts::get(texts::kCliWritten).arg(lines.size()).arg(o.positional.front()) + u'\n');
    return Done;
}

} // namespace

const Command &exportCommand()
{
    static const Export command;
    return command;
}

} // namespace cli
