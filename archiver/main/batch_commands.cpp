#include "archiver/main/batch_commands.h"

#include "archiver/forms/categorie.h"
#include "archiver/forms/remplace.h"
#include "archiver/main/grid_model.h"
#include "archiver/main/operation_commands.h"
#include "archiver/main/talvo.h"
#include "archiver/operations/batch.h"
#include "archiver/operations/transfer.h"
#include "archiver/operations/undo.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"
#include "common/widgets/cinput.h"

#include <QAction>
#include <QLocale>

namespace commands {
namespace {

// The menu caption of a command, without its mnemonic: the name its undoing shows.
QString titleOf(Talvo &window, const char *command)
{
    return window.action(QLatin1String(command))->text().remove(u'&');
}

void tell(Talvo &window, const QString &text, Desktop::Icon icon = Desktop::Icon::Information)
{
    window.desktop().message(&window, text, QString(), Desktop::Buttons::Ok, icon);
}

// Runs plan after the user agreed to what it will change (question: "%1 records in %2 files");
// the number of records changed, or nothing when nothing was (said, refused or cancelled).
std::optional<qint64> run(Talvo &window, const batch::Plan &plan, const texts::Text &question)
{
    ArchiverSession &session = window.session();
    Desktop &desktop = window.desktop();
    const batch::Counts counts = batch::preview(session.catalogue, plan);
    if (!counts.unreadable.isEmpty())
        tell(window, texts::get(texts::kUnreadableFiles) + u'\n' + counts.unreadable.join(u'\n'), Desktop::Icon::Warning);
    if (counts.records == 0) return 0;
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
    const Desktop::Progress progress = desktop.progress(&window, plan.title);
    const batch::Outcome done = batch::apply(session.catalogue, *lock, plan, progress);
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
    return done.counts.records;
}

// The record lines of the result list, as stored.
QSet<QByteArray> listedLines(Talvo &window)
{
    QSet<QByteArray> lines;
    const GridModel &grid = window.gridModel();
    for (int row = 0; row < grid.rowCount(); ++row) lines.insert(grid.lineBytes(row).toByteArray());
    return lines;
}

// prefix ("OK !"), the count with its leading blank and its message; the analysis follows when
// something changed.
void report(Talvo &window, const QString &prefix, qint64 count, int message)
{
    tell(window, prefix + u' ' + QString::number(count) + window.message(message));
    if (count > 0) m_bilan(window);
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
    const auto changed =
        run(window, {titleOf(window, "m_remplacer"), batch::replaceFirst(search, by), {}}, texts::kBatchQuestion);
    if (changed) report(window, QStringLiteral("OK !"), *changed, 80);
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
    window.session().searchText = text;
    window.session().replacementText = support;
    const auto changed =
        run(window, {titleOf(window, "m_supp"), batch::giveSupport(*textBytes, *supportBytes), {}}, texts::kBatchQuestion);
    if (changed) report(window, QStringLiteral("OK ! "), *changed, 93);
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
    window.session().replacementText = support;
    const auto changed =
        run(window, {titleOf(window, "m_kill_support"), batch::removeSupport(*bytes), {}}, texts::kBatchQuestion);
    if (changed) report(window, QStringLiteral("OK ! "), *changed, 79);
}

void m_suppr(Talvo &window)
{
    if (window.desktop().message(&window, window.message(94), window.message(95), Desktop::Buttons::YesNo,
                                 Desktop::Icon::Critical)
        != Desktop::Answer::Yes)
        return;
    const auto changed =
        run(window, {titleOf(window, "m_suppr"), batch::removeLines(listedLines(window)), {}}, texts::kBatchQuestion);
    if (!changed) return;
    window.ViderGrille();
    m_bilan(window);
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
    std::optional<qint64> added = 0;
    if (read.accepted > 0) {
        added = run(window, {titleOf(window, "m_import"), {}, read.lines}, texts::kImportQuestion);
        if (added && *added > 0) window.setWindowTitle(u' ' + QString::number(*added) + window.message(67));
    }
    tell(window, window.message(68) + QStringLiteral("\r\n") + u' ' + QString::number(read.rejected) + window.message(69));
    if (added && *added > 0) m_bilan(window);
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
    window.setWindowTitle(window.message(73) + path);
    const transfer::Reading read = transfer::readList(path, session.date, category);
    if (!read.error.isEmpty()) {
        tell(window, read.error, Desktop::Icon::Warning);
        return;
    }
    // The lines read before the third rejected one are imported all the same, as the message of
    // the abandon says.
    const auto added = read.accepted > 0
                           ? run(window, {titleOf(window, "m_importer"), {}, read.lines}, texts::kImportQuestion)
                           : std::optional<qint64>(0);
    if (read.abandoned) tell(window, window.message(74), Desktop::Icon::Warning);
    else if (added) tell(window, QStringLiteral("OK !") + u' ' + QString::number(*added) + window.message(75));
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
        const auto lock = session.catalogue.lock(&error);
        if (!lock || !undo::undoLast(*lock, session.folder, &title, &error)) {
            tell(window, error, Desktop::Icon::Warning);
            return;
        }
    }
    tell(window, texts::get(texts::kUndone).arg(title));
    // The lists of categories and supports follow the records put back.
    m_bilan(window);
}

} // namespace commands
