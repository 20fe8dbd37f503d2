#include "archiver/cli/cli.h"

#include "archiver/operations/transfer.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"

namespace cli {

int runExport(Context &ctx, const QStringList &args)
{
    QString problem;
    const auto o = parseOptions(args, {QStringLiteral("search"), QStringLiteral("field")}, {}, &problem);
    if (!o) return usage(problem);
    if (o->positional.size() != 1 || o->positional.front().isEmpty())
        return usage(texts::get(texts::kTakesArguments).arg(QStringLiteral("export"), texts::get(texts::kSyntaxExport)));
    int exit = Done;
    const auto f = found(ctx, *o, &exit);
    if (!f) return exit;
    QStringList lines;
    lines.reserve(f->lines.size());
    for (const QByteArray &line : f->lines) lines.append(cp1252::decode(line));
    QString error;
    if (!transfer::exportLines(o->positional.front(), lines, &error)) return refuse(error);
    writeOut(stdout, texts::get(texts::kCliWritten).arg(lines.size()).arg(o->positional.front()) + u'\n');
    return Done;
}

} // namespace cli
