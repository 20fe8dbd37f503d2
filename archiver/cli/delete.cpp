#include "archiver/cli/cli.h"

#include "common/text/texts.h"
#include "common/text/cp1252.h"

namespace cli {
namespace {

class Delete final : public Command
{
public:
    Delete() : Command("delete", &texts::kSyntaxDelete, texts::kUsageDelete) {}
    int run(Context &ctx, const Options &o) const override;
};

int Delete::run(Context &ctx, const Options &o) const
{
    if (o.positional.size() != 1) return wrongArguments();
    const QString &line = o.positional.front();
    if (line.isEmpty()) return usage(texts::get(texts::kNoEmptyArgument).arg(name()));
    // The line names a record as stored, control characters included: they may be deleted.
    if (const char32_t bad = cp1252::firstUnencodable(line)) return refuse(cp1252::unencodableMessage(bad));
    QString error;
    const auto lock = ctx.lockForWriting(&error);
    if (!lock) return refuse(error);
    qsizetype removed = 0;
    if (!ctx.catalogue.deleteLine(*lock, ctx.catalogue.letterFileOfKey(line), line, &error, &removed))
        return refuse(error);
    if (removed == 0)
        return refuse(texts::get(texts::kNoIdenticalRecord).arg(line));
    return Done;
}

} // namespace

const Command &deleteCommand()
{
    static const Delete command;
    return command;
}

} // namespace cli
