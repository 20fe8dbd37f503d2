#include "archiver/cli/cli.h"

#include "archiver/store/backup.h"
#include "common/text/texts.h"

#include <QLocale>

namespace cli {
namespace {

QString dated(const QDateTime &when) { return QLocale().toString(when, QLocale::ShortFormat); }

// The number of --keep, when given: backups kept, at least one.
std::optional<int> keptOf(const Options &o, int *exit)
{
    if (!o.values.contains(QStringLiteral("keep"))) return backup::kKeptByDefault;
    bool ok = false;
    const int n = o.values.value(QStringLiteral("keep")).toInt(&ok);
    if (ok && n >= 1) return n;
    *exit = usage(texts::get(texts::kTakesArguments).arg(QStringLiteral("backup"), texts::get(texts::kSyntaxBackup)));
    return std::nullopt;
}

} // namespace

int runBackup(Context &ctx, const QStringList &args)
{
    QString problem;
    const auto o = parseOptions(args, {QStringLiteral("keep")}, {}, &problem);
    if (!o) return usage(problem);
    if (!o->positional.isEmpty()) return usage(texts::get(texts::kOptionsOnly).arg(QStringLiteral("backup")));
    int exit = Done;
    const auto kept = keptOf(*o, &exit);
    if (!kept) return exit;
    QString error;
    const auto lock = ctx.lockForWriting(&error);
    if (!lock) return refuse(error);
    const auto made = backup::makeBackup(*lock, &error, *kept);
    if (!made) return refuse(error);
    writeOut(stderr, texts::get(texts::kBackupMade).arg(dated(made->when)).arg(made->records).arg(made->folder) + u'\n');
    return Done;
}

int runRestore(Context &ctx, const QStringList &args)
{
    QString problem;
    const auto o = parseOptions(args, {QStringLiteral("keep")}, {QStringLiteral("list")}, &problem);
    if (!o) return usage(problem);
    if (o->positional.size() > 1)
        return usage(texts::get(texts::kTakesArguments).arg(QStringLiteral("restore"), texts::get(texts::kSyntaxRestore)));
    int exit = Done;
    const auto kept = keptOf(*o, &exit);
    if (!kept) return exit;
    const QList<backup::Backup> all = backup::list(ctx.folder);
    if (o->flags.contains(QStringLiteral("list"))) {
        for (const backup::Backup &b : all)
            writeOut(stdout, (b.legacy ? texts::get(texts::kLegacyBackup).arg(dated(b.when))
                                       : texts::get(texts::kBackupLine).arg(b.id, dated(b.when)).arg(b.records))
                                 + u'\n');
        return Done;
    }
    QString error;
    const auto lock = ctx.lockForWriting(&error);
    if (!lock) return refuse(error);
    if (all.isEmpty()) return refuse(texts::get(texts::kNoBackup).arg(backup::backupFolder(ctx.folder)));
    // DATE names a backup by the start of its name ("20261210" is that day's last one).
    const QString wanted = o->positional.value(0);
    const auto chosen = std::find_if(all.cbegin(), all.cend(), [&](const backup::Backup &b) {
        return wanted.isEmpty() ? !b.legacy : b.id.startsWith(wanted);
    });
    if (chosen == all.cend()) return refuse(texts::get(texts::kNoSuchBackup).arg(wanted));
    if (!backup::restore(*lock, *chosen, &error, *kept)) return refuse(error);
    writeOut(stderr, texts::get(texts::kRestored).arg(dated(chosen->when)).arg(chosen->records) + u'\n');
    return Done;
}

} // namespace cli
