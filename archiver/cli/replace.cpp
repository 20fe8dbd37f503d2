#include "archiver/cli/cli.h"

#include "common/text/texts.h"
#include "common/text/cp1252.h"

namespace cli {
namespace {

// Checks a line given on the command line as a record the catalogue can hold.
std::optional<entry::Refusal> checkLine(const QString &line)
{
    const auto r = record::parse(line);
    if (!r) return entry::Refusal{8, {}};
    if (const auto refusal = entry::check(*r)) return refusal;
    if (record::compose(*r) != line) return entry::Refusal{8, {}};
    return std::nullopt;
}

class Replace final : public Command
{
public:
    Replace() : Command("replace", &texts::kSyntaxReplace, texts::kUsageReplace) {}
    int run(Context &ctx, const Options &o) const override;
};

int Replace::run(Context &ctx, const Options &o) const
{
    if (o.positional.size() != 2) return wrongArguments();
    const QString &oldLine = o.positional[0], &given = o.positional[1];
    if (oldLine.isEmpty() || given.isEmpty()) return usage(texts::get(texts::kNoEmptyArgument).arg(name()));
    if (const char32_t bad = cp1252::firstUnencodable(oldLine)) return refuse(cp1252::unencodableMessage(bad));
    if (const auto refusal = checkLine(given)) {
        if (refusal->message == 8) return refuse(given + u'\n' + ctx.message(8));
        return ctx.refuse(*refusal);
    }
    // The key is stored in capitals, as the record card writes it.
    Record rewritten = *record::parse(given);
    rewritten.key = cp1252::toUpper(rewritten.key);
    const QString newLine = record::compose(rewritten);
    QString error;
    const auto lock = ctx.lockForWriting(&error);
    if (!lock) return refuse(error);
    QString current = ctx.catalogue.letterFileOfKey(oldLine);
    if (!ctx.catalogue.replaceLine(*lock, &current, oldLine, newLine, &error)) return refuse(error);
    return Done;
}

} // namespace

const Command &replaceCommand()
{
    static const Replace command;
    return command;
}

} // namespace cli
