#include "archiver/main/operation_commands.h"

#include "archiver/forms/form.h"
#include "archiver/forms/recherch.h"
#include "archiver/main/grid_model.h"
#include "archiver/main/record_commands.h"
#include "archiver/main/talvo.h"
#include "archiver/operations/analysis.h"
#include "archiver/operations/refine.h"
#include "archiver/store/session.h"
#include "archiver/store/utilities.h"
#include "common/desktop/desktop.h"
#include "common/desktop/repeated_messages.h"
#include "common/text/texts.h"

#include <QAction>
#include <QTableView>

namespace commands {
namespace {

// Seconds with one decimal and no zero before the point: 0.25 is ".3", 12.04 is "12.0".
QString tenths(double seconds)
{
    QString text = QString::number(seconds, 'f', 1);
    if (text.startsWith(QLatin1String("0."))) text.remove(0, 1);
    return text;
}

} // namespace

AnalysisOptions analysisOptions(Talvo &window, RepeatedMessages &boxes)
{
    window.setWindowTitle(window.message(33));
    AnalysisOptions options;
    options.onLetter = [&window](QChar letter) {
        window.setWindowTitle(window.message(34) + letter + QStringLiteral(".MFI"));
    };
    options.onAnomaly = [&window, &boxes](const AnalysisAnomaly &anomaly) {
        // A target holding "[" is listed in the report without a box of its own.
        if (anomaly.malformed) boxes.show(anomaly.line, window.message(36) + anomaly.file, Desktop::Icon::Warning);
    };
    return options;
}

bool showAnalysis(Talvo &window, const AnalysisResult &result)
{
    Desktop &desktop = window.desktop();
    if (!result.ok()) {
        desktop.message(&window, texts::get(texts::kAnalysisFailed).arg(result.error), QString(), Desktop::Buttons::Ok,
                        Desktop::Icon::Warning);
        return false;
    }
    if (!result.warning.isEmpty())
        desktop.message(&window, texts::get(texts::kNotUndoable).arg(result.warning), QString(), Desktop::Buttons::Ok,
                        Desktop::Icon::Warning);
    window.setWindowTitle(window.message(64) + tenths(result.seconds) + QStringLiteral(" sec"));
    if (desktop.message(&window, result.summary, window.message(65), Desktop::Buttons::YesNo, Desktop::Icon::Question)
        == Desktop::Answer::Yes)
        forms::startCompanion(&window, desktop, QStringLiteral("redig5"), {result.reportPath});
    return true;
}

void m_bilan(Talvo &window)
{
    ArchiverSession &session = window.session();
    Desktop &desktop = window.desktop();
    RepeatedMessages boxes(desktop, &window, texts::get(texts::kStopShowingAnalysis));
    AnalysisOptions options = analysisOptions(window, boxes);
    const AnalysisResult result = analyseCatalogue(session, options);
    if (!showAnalysis(window, result)) return;
    // The names no record uses stay in the lists unless the user removes them, as an operation
    // of its own that can be undone.
    const qsizetype unused = result.unusedCategories.size() + result.unusedSupports.size();
    if (unused == 0
        || desktop.message(&window,
                           texts::get(texts::kPruneQuestion)
                               .arg(result.unusedCategories.size())
                               .arg(result.unusedSupports.size()),
                           QString(), Desktop::Buttons::YesNo, Desktop::Icon::Question, Desktop::Answer::No)
               != Desktop::Answer::Yes)
        return;
    options.prune = true;
    options.onAnomaly = {}; // shown once already
    const AnalysisResult pruned = analyseCatalogue(session, options);
    if (!pruned.ok())
        desktop.message(&window, texts::get(texts::kAnalysisFailed).arg(pruned.error), QString(), Desktop::Buttons::Ok,
                        Desktop::Icon::Warning);
    else
        window.setWindowTitle(window.message(64) + tenths(pruned.seconds) + QStringLiteral(" sec"));
}

void m_affiner(Talvo &window)
{
    ArchiverSession &session = window.session();
    Desktop &desktop = window.desktop();
    const GridModel &grid = window.gridModel();
    QList<QByteArrayView> lines; // read before the grid changes
    lines.reserve(grid.rowCount());
    for (int row = 0; row < grid.rowCount(); ++row) lines.append(grid.lineBytes(row));
    {
        recherch form(session, desktop, &window);
        desktop.exec(&form);
    }
    if (session.searchField == record::Field::All) {
        desktop.message(&window, window.message(22));
        return;
    }
    const refine::Result result = refine::run(session.folder, lines, session.searchField, session.searchText);
    if (!result.ok()) {
        desktop.message(&window, result.error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return;
    }
    window.refined(result.kept, session.searchField, session.searchText);
    window.setWindowTitle(formatCount(result.kept.size()) + window.message(23) + formatCount(result.read) +
                          window.message(24));
    if (result.kept.isEmpty()) {
        desktop.message(&window, session.searchText + window.message(25));
    } else if (result.kept.size() == 1) { // more than one: showLines enabled "La Liste"
        window.setHeightTwips(Talvo::kOneResultHeightTwips);
        window.grid()->selectRow(0);
        window.grille1_click(0);
    }
}

} // namespace commands
