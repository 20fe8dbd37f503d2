#include "archiver/cli/cli.h"

#include "archiver/operations/batch.h"
#include "archiver/operations/transfer.h"
#include "archiver/store/undo.h"
#include "archiver/store/lists.h"
#include "archiver/store/utilities.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"

#include <QDate>

// The operations on many records and their undoing. Each prints how many records it changed in
// how many letter files; with --dry-run it only says what it would change.
namespace cli {
namespace {

struct Parsed
{
    QStringList args;
    bool dryRun = false;
    record::Field field = record::Field::All;
    QHash<QString, QString> values;
};

std::optional<Parsed> parse(const QString &command, const QStringList &args, int count, const texts::Text &syntax,
                            int *exit, const QStringList &valueOptions = {})
{
    QString problem;
    const auto o = parseOptions(args, valueOptions, {QStringLiteral("dry-run")}, &problem);
    if (!o) {
        *exit = usage(problem);
        return std::nullopt;
    }
    if (o->positional.size() != count) {
        *exit = usage(texts::get(texts::kTakesArguments).arg(command, texts::get(syntax)));
        return std::nullopt;
    }
    record::Field field = record::Field::All;
    if (o->values.contains(QStringLiteral("field"))) {
        const auto named = fieldNamed(o->values.value(QStringLiteral("field")));
        if (!named || *named == record::Field::Date) {
            *exit = usage(texts::get(texts::kUnknownField).arg(o->values.value(QStringLiteral("field"))));
            return std::nullopt;
        }
        field = *named;
    }
    for (const QString &a : o->positional) {
        // Within a field, the separators around an empty text still name something.
        if (a.isEmpty() && field == record::Field::All) {
            *exit = usage(texts::get(texts::kNoEmptyArgument).arg(command));
            return std::nullopt;
        }
        if (const char32_t bad = cp1252::firstUnencodable(a)) {
            *exit = refuse(cp1252::unencodableMessage(bad));
            return std::nullopt;
        }
    }
    return Parsed{o->positional, o->flags.contains(QStringLiteral("dry-run")), field, o->values};
}

QByteArray bytes(const QString &text) { return cp1252::encode(text).value_or(QByteArray()); }

int report(const batch::Counts &counts)
{
    for (const QString &why : counts.unreadable) writeOut(stderr, why + u'\n');
    writeOut(stdout, texts::get(texts::kCliChanged).arg(counts.records).arg(counts.files.size()) + u'\n');
    return Done;
}

// Previews or applies plan; before (when given) runs under the same lock first.
int run(Context &ctx, const batch::Plan &plan, bool dryRun,
        const std::function<bool(const FolderLock &, QString *)> &before = {})
{
    if (dryRun) return report(batch::preview(ctx.catalogue, plan));
    QString error;
    const auto lock = ctx.lockForWriting(&error);
    if (!lock) return refuse(error);
    if (before && !before(*lock, &error)) return refuse(error);
    const batch::Outcome done = batch::apply(ctx.catalogue, *lock, plan);
    // A refusal for lines grown too long counts them all, which the operation stopped short of.
    if (!done.ok && done.tooLong) return refuse(batch::refusal(batch::preview(ctx.catalogue, plan)).value_or(done.error));
    if (!done.ok) return refuse(done.error);
    warnIfNotUndoable(done.warning);
    return report(done.counts);
}

int runImported(Context &ctx, const transfer::Reading &read, const QString &title, bool dryRun,
                const std::function<bool(const FolderLock &, QString *)> &before = {})
{
    if (!read.error.isEmpty()) return refuse(read.error);
    writeOut(stderr, texts::get(texts::kCliRejected).arg(read.rejected) + u'\n');
    for (const QString &line : transfer::describe(read.rejectedLines, [&ctx](int n) { return ctx.message(n); }))
        writeOut(stderr, line + u'\n');
    if (read.abandoned) writeOut(stderr, ctx.message(74) + u'\n');
    const int done = run(ctx, {title, {}, read.lines, read.runs, read.runLines}, dryRun, before);
    // The lines before the third rejected one are imported, but the import did not go through.
    return done == Done && read.abandoned ? Refused : done;
}

} // namespace

int runReplaceAll(Context &ctx, const QStringList &args)
{
    int exit = Done;
    const auto p = parse(QStringLiteral("replace-all"), args, 2, texts::kSyntaxReplaceAll, &exit, {QStringLiteral("field")});
    if (!p) return exit;
    if (const auto refused = batch::replacementRefusal(p->args[0], p->args[1])) return refuse(*refused);
    const batch::FieldReplacement r = batch::confined(p->field, p->args[0], p->args[1]);
    return run(ctx, {QStringLiteral("replace-all"), batch::replaceFirst(bytes(r.search), bytes(r.replacement)), {}},
               p->dryRun);
}

int runGiveSupport(Context &ctx, const QStringList &args)
{
    int exit = Done;
    const auto p = parse(QStringLiteral("support-add"), args, 2, texts::kSyntaxGiveSupport, &exit);
    if (!p) return exit;
    const QString support = cp1252::toUpper(p->args[1]);
    if (const auto refused = batch::supportRefusal(support)) return refuse(*refused);
    return run(ctx, {QStringLiteral("support-add"), batch::giveSupport(bytes(p->args[0]), bytes(support)), {}},
               p->dryRun);
}

int runRemoveSupport(Context &ctx, const QStringList &args)
{
    int exit = Done;
    const auto p = parse(QStringLiteral("support-remove"), args, 1, texts::kSyntaxRemoveSupport, &exit);
    if (!p) return exit;
    if (const auto refused = batch::supportRefusal(p->args[0])) return refuse(*refused);
    return run(ctx, {QStringLiteral("support-remove"), batch::removeSupport(bytes(cp1252::toUpper(p->args[0]))), {}},
               p->dryRun);
}

int runDeleteFound(Context &ctx, const QStringList &args)
{
    int exit = Done;
    const auto p = parse(QStringLiteral("delete-found"), args, 1, texts::kSyntaxDeleteFound, &exit, {QStringLiteral("field")});
    if (!p) return exit;
    Options search;
    search.values = p->values;
    search.values.insert(QStringLiteral("search"), p->args[0]);
    const auto f = found(ctx, search, &exit);
    if (!f) return exit;
    const QSet<QByteArray> lines(f->lines.cbegin(), f->lines.cend());
    return run(ctx, {QStringLiteral("delete-found"), batch::removeLines(lines), {}}, p->dryRun);
}

int runImport(Context &ctx, const QStringList &args)
{
    int exit = Done;
    const auto p = parse(QStringLiteral("import"), args, 1, texts::kSyntaxImport, &exit);
    if (!p) return exit;
    return runImported(ctx, transfer::readRecords(p->args[0]), QStringLiteral("import"), p->dryRun);
}

int runImportList(Context &ctx, const QStringList &args)
{
    int exit = Done;
    const auto p = parse(QStringLiteral("import-text"), args, 1, texts::kSyntaxImportList, &exit, {QStringLiteral("category")});
    if (!p) return exit;
    if (!p->values.contains(QStringLiteral("category")))
        return usage(texts::get(texts::kTakesArguments).arg(QStringLiteral("import-text"), texts::get(texts::kSyntaxImportList)));
    const QString category = cp1252::toUpper(p->values.value(QStringLiteral("category")));
    if (const auto refused = entry::checkField(record::Field::Category, category)) return ctx.refuse(*refused);
    const QString today = formatDayDate(QDate::currentDate());
    // The category joins the category list, as the categories dialog of the window does.
    return runImported(ctx, transfer::readList(p->args[0], today, category), QStringLiteral("import-text"), p->dryRun,
                       [&](const FolderLock &lock, QString *error) {
                           return lists::addCategory(lock, category, error) != lists::AddOutcome::Failed;
                       });
}

int runUndo(Context &ctx, const QStringList &args)
{
    if (!args.isEmpty()) return usage(texts::get(texts::kTakesArguments).arg(QStringLiteral("undo"), QStringLiteral("undo")));
    QString error, title;
    bool rolledBack = false;
    const auto lock = ctx.lockForWriting(&error, &rolledBack);
    if (!lock) return refuse(error);
    // An interrupted operation was just put back, and said: that was the undo asked for.
    if (rolledBack) return Done;
    if (!undo::undoLast(*lock, ctx.folder, &title, &error)) return refuse(error);
    writeOut(stdout, texts::get(texts::kUndone).arg(title) + u'\n');
    return Done;
}

} // namespace cli
