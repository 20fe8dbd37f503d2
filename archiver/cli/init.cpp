#include "archiver/cli/cli.h"

#include "common/text/texts.h"
#include "archiver/store/first_run.h"
#include "archiver/store/utilities.h"
#include "common/files/program_folder.h"

#include <QDate>
#include <QDir>

namespace cli {
namespace {

class Init final : public Command
{
public:
    Init() : Command("init", nullptr, texts::kUsageInit) {}
    int run(Context &ctx, const Options &o) const override;
};

int Init::run(Context &ctx, const Options &o) const
{
    if (!o.positional.isEmpty()) return usage(texts::get(texts::kNoArgument).arg(name()));
    QDir().mkpath(ctx.folder);
    QString error;
    const auto lock = ctx.catalogue.lock(&error);
    if (!lock) return refuse(error);
    // Checked under the lock: another first run may have finished while this one waited.
    if (firstrun::workFilesExist(ctx.folder))
        return refuse(texts::get(texts::kAlreadyThere).arg(ctx.folder));
    // The shipped files first: the example records point at them, and "A.MFI", made last, says
    // that everything is there.
    for (const QString &failure : firstrun::copyShippedFiles(*lock, files::shippedDataFolder()))
        writeOut(stderr, failure + u'\n');
    if (!firstrun::InitialiserFichiers(*lock, formatDayDate(QDate::currentDate()), &error)) return refuse(error);
    const QStringList failures =
        firstrun::ensureSubFolders(ctx.folder, [](const QString &m) { writeOut(stderr, m + u'\n'); });
    if (!failures.isEmpty()) return refuse(failures.join(u'\n'));
    return Done;
}

} // namespace

const Command &initCommand()
{
    static const Init command;
    return command;
}

} // namespace cli
