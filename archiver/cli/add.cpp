#include "archiver/cli/cli.h"

#include "common/text/texts.h"
#include "archiver/store/utilities.h"
#include "common/text/cp1252.h"

#include <QDate>

namespace cli {
namespace {

class Add final : public Command
{
public:
    Add()
        : Command("add", &texts::kSyntaxAdd, texts::kUsageAdd,
                  {QStringLiteral("key"), QStringLiteral("category"), QStringLiteral("date"), QStringLiteral("support"),
                   QStringLiteral("note"), QStringLiteral("target")})
    {
    }
    int run(Context &ctx, const Options &o) const override;
};

int Add::run(Context &ctx, const Options &o) const
{
    if (!o.positional.isEmpty()) return usage(texts::get(texts::kOptionsOnly).arg(name()));
    if (!o.values.contains(QStringLiteral("key")) || !o.values.contains(QStringLiteral("category")))
        return usage(texts::get(texts::kNeedsKeyAndCategory));

    Record r;
    r.key = o.values.value(QStringLiteral("key"));
    r.category = cp1252::toUpper(o.values.value(QStringLiteral("category")));
    r.date = o.values.value(QStringLiteral("date"), formatDayDate(QDate::currentDate()));
    r.support = cp1252::toUpper(o.values.value(QStringLiteral("support")));
    r.note = o.values.value(QStringLiteral("note"));
    r.target = o.values.value(QStringLiteral("target"));
    if (r.category.isEmpty()) return usage(texts::get(texts::kNotEmpty).arg(QStringLiteral("--category")));
    r = entry::normalised(r);
    if (const auto refusal = entry::check(r)) return ctx.refuse(*refusal);

    QString error;
    const auto lock = ctx.lockForWriting(&error);
    if (!lock) return refuse(error);
    if (!entry::store(*lock, ctx.catalogue, r, true, nullptr, &error)) return refuse(error);
    writeOut(stderr, r.key + ctx.message(145) + u'\n');
    return Done;
}

} // namespace

const Command &addCommand()
{
    static const Add command;
    return command;
}

} // namespace cli
