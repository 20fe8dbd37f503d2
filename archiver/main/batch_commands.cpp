#include "archiver/main/batch_commands.h"

#include "archiver/forms/categorie.h"
#include "archiver/forms/remplace.h"
#include "archiver/main/grid_model.h"
#include "archiver/main/operation_commands.h"
#include "archiver/operations/analysis.h"
#include "archiver/main/talvo.h"
#include "archiver/operations/batch.h"
#include "archiver/operations/transfer.h"
#include "archiver/store/undo.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "common/desktop/repeated_messages.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"
#include "common/widgets/cinput.h"

#include <QAction>
#include <QLocale>

namespace commands {
namespace {

// The menu caption of a command, without its mnemonic: the name its undoing shows.
QString titleOf(Talvo &window, TalvoCommand command) { return window.action(command)->text().remove(u'&'); }

void tell(Talvo &window, const QString &text, Desktop::Icon icon = Desktop::Icon::Information)
{
    window.desktop().message(&window, text, QString(), Desktop::Buttons::Ok, icon);
}

struct Ran
{
    qint64 records = 0;
    std::optional<AnalysisResult> analysis; // of the catalogue as the operation left it
};

// Runs plan after the user agreed to what it will change (question: "%1 records in %2 files"),
// then the analysis, within the same operation so that undoing it puts the lists back too; the
// number of records changed, or nothing when nothing was (said, refused or cancelled).
std::optional<Ran> run(Talvo &window, const batch::Plan &plan, const texts::Text &question, bool analyse = true)
{
    ArchiverSession &session = window.session();
    Desktop &desktop = window.desktop();
    const batch::Counts counts = batch::preview(session.catalogue, plan);
    if (!counts.unreadable.isEmpty())
        tell(window, texts::get(texts::kUnreadableFiles) + u'\n' + counts.unreadable.join(u'\n'), Desktop::Icon::Warning);
    if (counts.records == 0) return Ran{};
    if (const auto refused = batch::refusal(counts)) {
        tell(window, *refused, Desktop::Icon::Warning);
        return std::nullopt;
    }
    if (desktop.message(&window, texts::get(question).arg(counts.records).arg(counts.files.size()), plan.title,
                        Desktop::Buttons::YesNo, Desktop::Icon::Question)
        != Desktop::Answer::Yes)
        return std::nullopt;

    QString error;
    const auto lock = session.catalogue.lock(&error);
    if (!lock) {
        tell(window, error, Desktop::Icon::Warning);
        return std::nullopt;
    }
    Ran ran;
    {
        const Desktop::Progress progress = desktop.progress(&window, plan.title);
        RepeatedMessages boxes(desktop, &window, texts::get(texts::kStopShowingAnalysis));
        const AnalysisOptions options = analysisOptions(window, boxes);
        // A failed analysis leaves the records changed: it is said after them.
        const batch::Outcome done =
            batch::apply(session.catalogue, *lock, plan, progress, [&](undo::Operation &operation, QString *) {
                if (analyse) ran.analysis = analyseCatalogue(session, *lock, operation, options);
                return true;
            });
        if (done.cancelled) {
            tell(window, window.message(73));
            return std::nullopt;
        }
        if (!done.ok) {
            tell(window, done.error, Desktop::Icon::Warning);
            return std::nullopt;
        }
        if (!done.warning.isEmpty())
            tell(window, texts::get(texts::kNotUndoable).arg(done.warning), Desktop::Icon::Warning);
        ran.records = done.counts.records;
    }
    return ran;
}

// After records changed: the grid shows them as they are now, then the analysis its summary.
void changed(Talvo &window, const Ran &ran)
{
    window.refreshGrid();
    if (ran.analysis) showAnalysis(window, *ran.analysis);
}

// Each rejected line of an import on a line of its own, after a blank line; nothing without any.
QString rejectedLines(Talvo &window, const transfer::Reading &read)
{
    if (read.rejectedLines.isEmpty()) return QString();
    return QStringLiteral("\r\n\r\n")
           + transfer::describe(read.rejectedLines, [&window](int n) { return window.message(n); })
                 .join(QStringLiteral("\r\n"));
}

// The record lines of the result list, as stored.
QSet<QByteArray> listedLines(Talvo &window)
{
    QSet<QByteArray> lines;
    const GridModel &grid = window.gridModel();
    for (int row = 0; row < grid.rowCount(); ++row) lines.insert(grid.lineBytes(row).toByteArray());
    return lines;
}

// prefix ("OK !"), the count with its leading blank and its message; the grid and the analysis
// follow.
void report(Talvo &window, const QString &prefix, const Ran &ran, int message)
{
    tell(window, prefix + u' ' + QString::number(ran.records) + window.message(message));
    changed(window, ran);
}

} // namespace

void m_remplacer(Talvo &window)
{
    ArchiverSession &session = window.session();
    session.searchText.clear();
    session.replacementText.clear();
    {
        Remplace form(session, window.desktop(), &window);
        window.desktop().exec(&form);
    }
    const QByteArray search = cp1252::encode(session.searchText).value_or(QByteArray());
    const QByteArray by = cp1252::encode(session.replacementText).value_or(QByteArray());
    session.searchText.clear();
    session.replacementText.clear();
    if (search.isEmpty() || by.isEmpty()) return;
    const auto ran =
        run(window, batch::Plan::changing(titleOf(window, TalvoCommand::Remplacer), batch::replaceFirst(search, by)), texts::kBatchQuestion);
    if (ran) report(window, QStringLiteral("OK !"), *ran, 80);
}

void m_supp(Talvo &window)
{
    Desktop &desktop = window.desktop();
    const QString text = SaisieTexte(desktop, &window, window.message(90), window.message(91), QString(), false);
    const QString support =
        text.isEmpty() ? QString() : SaisieTexte(desktop, &window, window.message(92), window.message(91), QString(), true);
    const auto textBytes = cp1252::encode(text);
    const auto supportBytes = cp1252::encode(support);
    if (text.isEmpty() || support.isEmpty() || !textBytes || !supportBytes) {
        tell(window, window.message(73));
        return;
    }
    if (const auto refused = batch::supportRefusal(support)) {
        tell(window, *refused, Desktop::Icon::Warning);
        return;
    }
    window.session().searchText = text;
    window.session().replacementText = support;
    const auto ran =
        run(window, batch::Plan::changing(titleOf(window, TalvoCommand::Supp), batch::giveSupport(*textBytes, *supportBytes)), texts::kBatchQuestion);
    if (ran) report(window, QStringLiteral("OK ! "), *ran, 93);
}

void m_kill_support(Talvo &window)
{
    const QString support =
        SaisieTexte(window.desktop(), &window, window.message(77), window.message(78), QString(), true);
    const auto bytes = cp1252::encode(support);
    if (support.isEmpty() || !bytes) {
        tell(window, window.message(73));
        return;
    }
    if (const auto refused = batch::supportRefusal(support)) {
        tell(window, *refused, Desktop::Icon::Warning);
        return;
    }
    window.session().replacementText = support;
    const auto ran =
        run(window, batch::Plan::changing(titleOf(window, TalvoCommand::KillSupport), batch::removeSupport(*bytes)), texts::kBatchQuestion);
    if (ran) report(window, QStringLiteral("OK ! "), *ran, 79);
}

void m_suppr(Talvo &window)
{
    if (window.desktop().message(&window, window.message(94), window.message(95), Desktop::Buttons::YesNo,
                                 Desktop::Icon::Critical)
        != Desktop::Answer::Yes)
        return;
    const auto ran =
        run(window, batch::Plan::changing(titleOf(window, TalvoCommand::Suppr), batch::removeLines(listedLines(window))), texts::kBatchQuestion);
    if (!ran) return;
    window.ViderGrille();
    if (ran->analysis) showAnalysis(window, *ran->analysis);
}

void m_import(Talvo &window)
{
    Desktop &desktop = window.desktop();
    const QString path =
        desktop.openFileName(&window, window.message(66), QString(), QStringLiteral("Talvo (*.MFI *.mfi)"));
    if (path.isEmpty()) return;
    const transfer::Reading read = transfer::readRecords(path);
    if (!read.error.isEmpty()) {
        tell(window, read.error, Desktop::Icon::Warning);
        return;
    }
    if (read.abandoned) tell(window, QStringLiteral("ABANDON ! Trop d'erreurs dans ce Fichier..."), Desktop::Icon::Warning);
    std::optional<Ran> ran = Ran{};
    if (read.accepted > 0) ran = run(window, {titleOf(window, TalvoCommand::Import), {}, read.lines, read.runs, read.runLines}, texts::kImportQuestion);
    // The caption tells what was done, a cancel included.
    window.setWindowTitle(ran ? u' ' + QString::number(ran->records) + window.message(67) : window.message(73));
    tell(window, QStringList{window.message(68), u' ' + QString::number(read.rejected) + window.message(69)}
                         .join(QStringLiteral("\r\n"))
                     + rejectedLines(window, read));
    if (ran && ran->records > 0) changed(window, *ran);
}

void m_importer(Talvo &window)
{
    ArchiverSession &session = window.session();
    Desktop &desktop = window.desktop();
    const QString path = desktop.openFileName(&window, window.message(70), QString(), QStringLiteral("Txt (*.TXT *.txt)"));
    if (path.isEmpty()) {
        tell(window, window.message(71));
        return;
    }
    {
        categorie choice(session, desktop, &window);
        desktop.exec(&choice);
    }
    const QString category = session.current.record.category;
    if (category.isEmpty()) {
        tell(window, window.message(72));
        return;
    }
    window.setWindowTitle(path);
    const transfer::Reading read = transfer::readList(path, session.date, category);
    if (!read.error.isEmpty()) {
        tell(window, read.error, Desktop::Icon::Warning);
        return;
    }
    // The lines read before the third rejected one are imported all the same, as the message of
    // the abandon says.
    const auto ran = read.accepted > 0
                         ? run(window, {titleOf(window, TalvoCommand::Importer), {}, read.lines, read.runs, read.runLines}, texts::kImportQuestion, false)
                         : std::optional<Ran>(Ran{});
    const QString added = ran ? u' ' + QString::number(ran->records) + window.message(75) : window.message(73);
    window.setWindowTitle(read.abandoned ? window.message(74) : added);
    if (read.abandoned) tell(window, window.message(74) + u'\n' + added + rejectedLines(window, read), Desktop::Icon::Warning);
    else if (ran) tell(window, QStringLiteral("OK !") + added + rejectedLines(window, read));
    if (ran && ran->records > 0) window.refreshGrid();
}

void m_sauver(Talvo &window)
{
    const QString path = window.desktop().saveFileName(&window, window.message(88), QStringLiteral("SANSNOM.MFI"),
                                                       QStringLiteral("Talvo (*.MFI *.mfi)"));
    if (path.isEmpty()) return;
    QStringList lines;
    const GridModel &grid = window.gridModel();
    for (int row = 0; row < grid.rowCount(); ++row) lines.append(grid.line(row));
    QString error;
    if (!transfer::exportLines(path, lines, &error)) {
        tell(window, error, Desktop::Icon::Warning);
        return;
    }
    tell(window, window.message(89) + QStringLiteral("\r\n") + path);
}

void m_annuler(Talvo &window)
{
    ArchiverSession &session = window.session();
    Desktop &desktop = window.desktop();
    const auto last = undo::last(session.folder);
    if (!last) {
        tell(window, texts::get(texts::kNothingToUndo));
        return;
    }
    const QString when = QLocale(session.language.locale()).toString(last->when, QLocale::ShortFormat);
    if (desktop.message(&window, texts::get(texts::kUndoQuestion).arg(last->title, when, last->files.join(QStringLiteral(", "))),
                        QString(), Desktop::Buttons::YesNo, Desktop::Icon::Question)
        != Desktop::Answer::Yes)
        return;
    QString error, title;
    {
        bool rolledBack = false;
        const auto lock = session.catalogue.lock(&error, -1, &rolledBack);
        if (lock && rolledBack) { // an interrupted operation was just put back, and said
            window.refreshGrid();
            return;
        }
        if (!lock || !undo::undoLast(*lock, session.folder, &title, &error)) {
            tell(window, error, Desktop::Icon::Warning);
            return;
        }
    }
    tell(window, texts::get(texts::kUndone).arg(title));
    // The lists of categories and supports came back with the records.
    window.refreshGrid();
}

} // namespace commands
