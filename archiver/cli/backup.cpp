#include "archiver/cli/cli.h"

#include "archiver/store/backup.h"
#include "common/text/texts.h"

#include <QLocale>

namespace cli {
namespace {

QString dated(const QDateTime &when) { return QLocale().toString(when, QLocale::ShortFormat); }

// The number of --keep, when given: backups kept, at least one.
std::optional<int> keptOf(const Options &o)
{
    if (!o.values.contains(QStringLiteral("keep"))) return backup::kKeptByDefault;
    bool ok = false;
    const int n = o.values.value(QStringLiteral("keep")).toInt(&ok);
    if (ok && n >= 1) return n;
    return std::nullopt;
}

class Backup final : public Command
{
public:
    Backup() : Command("backup", &texts::kSyntaxBackup, texts::kUsageBackup, {QStringLiteral("keep")}) {}
    int run(Context &ctx, const Options &o) const override;
};

class Restore final : public Command
{
public:
    Restore()
        : Command("restore", &texts::kSyntaxRestore, texts::kUsageRestore, {QStringLiteral("keep")},
                  {QStringLiteral("list")})
    {
    }
    int run(Context &ctx, const Options &o) const override;
};

int Backup::run(Context &ctx, const Options &o) const
{
    if (!o.positional.isEmpty()) return usage(texts::get(texts::kOptionsOnly).arg(name()));
    const auto kept = keptOf(o);
    if (!kept) return wrongArguments();
    QString error;
    const auto lock = ctx.lockForWriting(&error);
    if (!lock) return refuse(error);
    const auto made = backup::makeBackup(*lock, &error, *kept);
    if (!made) return refuse(error);
    writeOut(stderr, texts::get(texts::kBackupMade).arg(dated(made->when)).arg(made->records).arg(made->folder) + u'\n');
    return Done;
}

int Restore::run(Context &ctx, const Options &o) const
{
    if (o.positional.size() > 1) return wrongArguments();
    // --keep is described in the syntax of backup.
    const auto kept = keptOf(o);
    if (!kept) return backupCommand().wrongArguments();
    const QList<backup::Backup> all = backup::list(ctx.folder);
    if (o.flags.contains(QStringLiteral("list"))) {
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
    const QString wanted = o.positional.value(0);
    const auto chosen = std::find_if(all.cbegin(), all.cend(), [&](const backup::Backup &b) {
        return wanted.isEmpty() ? !b.legacy : b.id.startsWith(wanted);
    });
    if (chosen == all.cend()) return refuse(texts::get(texts::kNoSuchBackup).arg(wanted));
    if (!backup::restore(*lock, *chosen, &error, *kept)) return refuse(error);
    writeOut(stderr, texts::get(texts::kRestored).arg(dated(chosen->when)).arg(chosen->records) + u'\n');
    return Done;
}

} // namespace

const Command &backupCommand()
{
    static const Backup command;
    return command;
}

const Command &restoreCommand()
{
    static const Restore command;
    return command;
}

} // namespace cli
