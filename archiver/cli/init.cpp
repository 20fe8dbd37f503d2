#include "archiver/cli/cli.h"

#include "archiver/store/first_run.h"
#include "archiver/store/utilities.h"

#include <QDate>
#include <QDir>

namespace cli {

int runInit(Context &ctx, const QStringList &args)
{
    if (!args.isEmpty()) return usage(QStringLiteral("init takes no argument"));
    QDir().mkpath(ctx.folder);
    QString error;
    const auto lock = ctx.catalogue.lock(&error);
    if (!lock) return refuse(error);
    // Checked under the lock: another first run may have finished while this one waited.
    if (firstrun::workFilesExist(ctx.folder))
        return refuse(QStringLiteral("Les fichiers de travail existent déjà dans %1").arg(ctx.folder));
    if (!firstrun::InitialiserFichiers(*lock, formatDayDate(QDate::currentDate()), &error)) return refuse(error);
    const QStringList failures =
        firstrun::ensureSubFolders(ctx.folder, [](const QString &m) { writeOut(stderr, m + u'\n'); });
    if (!failures.isEmpty()) return refuse(failures.join(u'\n'));
    return Done;
}

} // namespace cli
