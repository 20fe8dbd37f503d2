#include "archiver/cli/cli.h"

#include "common/text/cp1252.h"

namespace cli {

int runDelete(Context &ctx, const QStringList &args)
{
    if (args.size() != 1) return usage(QStringLiteral("delete takes one LINE"));
    const QString &line = args.front();
    if (line.isEmpty()) return usage(QStringLiteral("the line may not be empty"));
    // The line names a record as stored, control characters included: they may be deleted.
    if (const char32_t bad = cp1252::firstUnencodable(line)) return refuse(cp1252::unencodableMessage(bad));
    QString error;
    const auto lock = ctx.lockForWriting(&error);
    if (!lock) return refuse(error);
    qsizetype removed = 0;
    if (!ctx.catalogue.deleteLine(*lock, ctx.catalogue.letterFileOfKey(line), line, &error, &removed))
        return refuse(error);
    if (removed == 0)
        return refuse(QStringLiteral("Aucune fiche identique à « %1 » dans le catalogue.").arg(line));
    return Done;
}

} // namespace cli
