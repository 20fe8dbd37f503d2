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

// An operation on many records: it takes --dry-run, and count arguments that the files can hold.
class Batch : public Command
{
public:
    Batch(const char *name, const texts::Text &syntax, const texts::Text &help, int count, QStringList withValue = {})
        : Command(name, &syntax, help, std::move(withValue), {QStringLiteral("dry-run")}), count_(count)
    {
    }

    int run(Context &ctx, const Options &o) const final
    {
        if (o.positional.size() != count_) return wrongArguments();
        record::Field field = record::Field::All;
        if (o.values.contains(QStringLiteral("field"))) {
            const auto named = fieldNamed(o.values.value(QStringLiteral("field")));
            if (!named || *named == record::Field::Date)
                return usage(texts::get(texts::kUnknownField).arg(o.values.value(QStringLiteral("field"))));
            field = *named;
        }
        for (const QString &a : o.positional) {
            // Within a field, the separators around an empty text still name something.
            if (a.isEmpty() && field == record::Field::All)
                return usage(texts::get(texts::kNoEmptyArgument).arg(name()));
            if (const char32_t bad = cp1252::firstUnencodable(a)) return refuse(cp1252::unencodableMessage(bad));
        }
        return runChecked(ctx, o, field, o.flags.contains(QStringLiteral("dry-run")));
    }

protected:
    // What it does once its arguments passed the checks; field is that of --field.
    virtual int runChecked(Context &ctx, const Options &o, record::Field field, bool dryRun) const = 0;

private:
    qsizetype count_;
};

QByteArray bytes(const QString &text) { return cp1252::encode(text).value_or(QByteArray()); }

int report(const batch::Counts &counts)
{
    for (const QString &why : counts.unreadable) writeOut(stderr, why + u'\n');
    writeOut(stdout, texts::get(texts::kCliChanged).arg(counts.records).arg(counts.files.size()) + u'\n');
    return Done;
}

// Previews or applies plan; before (when given) runs under the same lock first.
int perform(Context &ctx, const batch::Plan &plan, bool dryRun,
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
    const int done = perform(ctx, {title, {}, read.lines, read.runs, read.runLines}, dryRun, before);
    // The lines before the third rejected one are imported, but the import did not go through.
    return done == Done && read.abandoned ? Refused : done;
}

class ReplaceAll final : public Batch
{
public:
    ReplaceAll()
        : Batch("replace-all", texts::kSyntaxReplaceAll, texts::kUsageReplaceAll, 2, {QStringLiteral("field")})
    {
    }

protected:
    int runChecked(Context &ctx, const Options &o, record::Field field, bool dryRun) const override
    {
        const QStringList &args = o.positional;
        if (const auto refused = batch::replacementRefusal(args[0], args[1])) return refuse(*refused);
        const batch::FieldReplacement r = batch::confined(field, args[0], args[1]);
        return perform(ctx, batch::Plan::changing(name(), batch::replaceFirst(bytes(r.search), bytes(r.replacement))), dryRun);
    }
};

class GiveSupport final : public Batch
{
public:
    GiveSupport() : Batch("support-add", texts::kSyntaxGiveSupport, texts::kUsageGiveSupport, 2) {}

protected:
    int runChecked(Context &ctx, const Options &o, record::Field, bool dryRun) const override
    {
        const QString support = cp1252::toUpper(o.positional[1]);
        if (const auto refused = batch::supportRefusal(support)) return refuse(*refused);
        return perform(ctx, batch::Plan::changing(name(), batch::giveSupport(bytes(o.positional[0]), bytes(support))), dryRun);
    }
};

class RemoveSupport final : public Batch
{
public:
    RemoveSupport() : Batch("support-remove", texts::kSyntaxRemoveSupport, texts::kUsageRemoveSupport, 1) {}

protected:
    int runChecked(Context &ctx, const Options &o, record::Field, bool dryRun) const override
    {
        const QString &support = o.positional[0];
        if (const auto refused = batch::supportRefusal(support)) return refuse(*refused);
        return perform(ctx, batch::Plan::changing(name(), batch::removeSupport(bytes(cp1252::toUpper(support)))), dryRun);
    }
};

class DeleteFound final : public Batch
{
public:
    DeleteFound()
        : Batch("delete-found", texts::kSyntaxDeleteFound, texts::kUsageDeleteFound, 1, {QStringLiteral("field")})
    {
    }

protected:
    int runChecked(Context &ctx, const Options &o, record::Field, bool dryRun) const override
    {
        Options search;
        search.values = o.values;
        search.values.insert(QStringLiteral("search"), o.positional[0]);
        int exit = Done;
        const auto f = found(ctx, search, &exit);
        if (!f) return exit;
        const QSet<QByteArray> lines(f->lines.cbegin(), f->lines.cend());
        return perform(ctx, batch::Plan::changing(name(), batch::removeLines(lines)), dryRun);
    }
};

class Import final : public Batch
{
public:
    Import() : Batch("import", texts::kSyntaxImport, texts::kUsageImport, 1) {}

protected:
    int runChecked(Context &ctx, const Options &o, record::Field, bool dryRun) const override
    {
        return runImported(ctx, transfer::readRecords(o.positional[0]), name(), dryRun);
    }
};

class ImportList final : public Batch
{
public:
    ImportList()
        : Batch("import-text", texts::kSyntaxImportList, texts::kUsageImportList, 1, {QStringLiteral("category")})
    {
    }

protected:
    int runChecked(Context &ctx, const Options &o, record::Field, bool dryRun) const override
    {
        if (!o.values.contains(QStringLiteral("category"))) return wrongArguments();
        const QString category = cp1252::toUpper(o.values.value(QStringLiteral("category")));
        if (const auto refused = entry::checkField(record::Field::Category, category)) return ctx.refuse(*refused);
        const QString today = formatDayDate(QDate::currentDate());
        // The category joins the category list, as the categories dialog of the window does.
        return runImported(ctx, transfer::readList(o.positional[0], today, category), name(), dryRun,
                           [&](const FolderLock &lock, QString *error) {
                               return lists::addCategory(lock, category, error) != lists::AddOutcome::Failed;
                           });
    }
};

class Undo final : public Command
{
public:
    Undo() : Command("undo", nullptr, texts::kUsageUndo) {}
    int run(Context &ctx, const Options &o) const override;
};

int Undo::run(Context &ctx, const Options &o) const
{
    if (!o.positional.isEmpty()) return wrongArguments();
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

} // namespace

const Command &replaceAllCommand()
{
    static const ReplaceAll command;
    return command;
}

const Command &giveSupportCommand()
{
    static const GiveSupport command;
    return command;
}

const Command &removeSupportCommand()
{
    static const RemoveSupport command;
    return command;
}

const Command &deleteFoundCommand()
{
    static const DeleteFound command;
    return command;
}

const Command &importCommand()
{
    static const Import command;
    return command;
}

const Command &importListCommand()
{
    static const ImportList command;
    return command;
}

const Command &undoCommand()
{
    static const Undo command;
    return command;
}

} // namespace cli
