#include "archiver/cli/cli.h"

#include "archiver/operations/analysis.h"
#include "archiver/store/first_run.h"
#include "archiver/store/utilities.h"
#include "common/text/texts.h"

#include <QDate>

namespace cli {
namespace {

// The catalogue analysis: the broken lines on stderr as they are met, the summary on stdout.
class Analyse final : public Command
{
public:
    Analyse() : Command("analyse", &texts::kSyntaxAnalyse, texts::kUsageAnalyse, {}, {QStringLiteral("prune")}) {}
    int run(Context &ctx, const Options &o) const override;
};

int Analyse::run(Context &ctx, const Options &o) const
{
    if (!o.positional.isEmpty()) return usage(texts::get(texts::kOptionsOnly).arg(name()));
    if (!firstrun::workFilesExist(ctx.folder)) return refuse(texts::get(texts::kNoCatalogue).arg(ctx.folder));
    QString folder = ctx.folder;
    if (!folder.endsWith(u'/')) folder += u'/';
    ArchiverSession session(folder, formatDayDate(QDate::currentDate()));
    session.language.setShippedFolder(ctx.language.shippedFolder());
    session.language.setFile(ctx.language.file());
    session.catalogue.setNotice([](const QString &text) { writeOut(stderr, text + u'\n'); });
    AnalysisOptions options;
    options.onAnomaly = [&](const AnalysisAnomaly &a) {
        writeOut(stderr, ctx.message(36) + a.file + QStringLiteral(": ") + a.line + u'\n');
    };
    options.prune = o.flags.contains(QStringLiteral("prune"));
    const AnalysisResult r = analyseCatalogue(session, options);
    if (!r.ok()) return refuse(texts::get(texts::kAnalysisFailed).arg(r.error));
    warnIfNotUndoable(r.warning);
    writeOut(stdout, r.summary + u'\n');
    return Done;
}

} // namespace

const Command &analyseCommand()
{
    static const Analyse command;
    return command;
}

} // namespace cli
