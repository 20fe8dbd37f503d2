#include "archiver/cli/cli.h"

#include "common/text/texts.h"
#include "archiver/store/backup.h"

namespace cli {
namespace {

int copy(Context &ctx, const QStringList &args, bool toBackup)
{
    if (!args.isEmpty()) return usage(texts::get(texts::kNoArgument).arg(QLatin1String(toBackup ? "backup" : "restore")));
    QString error;
    const auto lock = ctx.lockForWriting(&error);
    if (!lock) return refuse(error);
    if (!toBackup && !backup::exists(ctx.folder))
        return refuse(texts::get(texts::kNoBackup).arg(backup::backupFolder(ctx.folder)));
    const QStringList errors = toBackup ? backup::makeBackup(*lock) : backup::restore(*lock);
    if (!errors.isEmpty()) return refuse(errors.join(u'\n'));
    writeOut(stderr, ctx.message(toBackup ? 32 : 86) + u'\n');
    return Done;
}

} // namespace

int runBackup(Context &ctx, const QStringList &args) { return copy(ctx, args, true); }
int runRestore(Context &ctx, const QStringList &args) { return copy(ctx, args, false); }

} // namespace cli
