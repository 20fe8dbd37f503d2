#include "archiver/cli/cli.h"

#include "archiver/store/first_run.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"

namespace cli {
namespace {

struct Line
{
    QString command;
    QString syntax;
    const texts::Text *description;
};

QList<Line> commandLines()
{
    auto syntax = [](const texts::Text &t) { return texts::get(t); };
    auto named = [](const char *name, const texts::Text &t, const QString &shown = QString()) {
        return Line{QLatin1String(name), shown.isEmpty() ? QString(QLatin1String(name)) : shown, &t};
    };
    return {
        named("init", texts::kUsageInit),
        named("search", texts::kUsageSearch, syntax(texts::kSyntaxSearch)),
        named("add", texts::kUsageAdd, syntax(texts::kSyntaxAdd)),
        named("delete", texts::kUsageDelete, syntax(texts::kSyntaxDelete)),
        named("replace", texts::kUsageReplace, syntax(texts::kSyntaxReplace)),
        named("backup", texts::kUsageBackup, syntax(texts::kSyntaxBackup)),
        named("restore", texts::kUsageRestore, syntax(texts::kSyntaxRestore)),
        named("resolve", texts::kUsageResolve, syntax(texts::kSyntaxResolve)),
        named("replace-all", texts::kUsageReplaceAll, syntax(texts::kSyntaxReplaceAll)),
        named("support-add", texts::kUsageGiveSupport, syntax(texts::kSyntaxGiveSupport)),
        named("support-remove", texts::kUsageRemoveSupport, syntax(texts::kSyntaxRemoveSupport)),
        named("delete-found", texts::kUsageDeleteFound, syntax(texts::kSyntaxDeleteFound)),
        named("import", texts::kUsageImport, syntax(texts::kSyntaxImport)),
        named("import-text", texts::kUsageImportList, syntax(texts::kSyntaxImportList)),
        named("export", texts::kUsageExport, syntax(texts::kSyntaxExport)),
        named("undo", texts::kUsageUndo),
        named("analyse", texts::kUsageAnalyse, syntax(texts::kSyntaxAnalyse)),
        named("keywords", texts::kUsageKeywords),
        named("print-list", texts::kUsagePrintList, syntax(texts::kSyntaxPrintList)),
        named("uncatalogued", texts::kUsageUncatalogued, syntax(texts::kSyntaxUncatalogued)),
        named("html-page", texts::kUsageHtmlPage, syntax(texts::kSyntaxHtmlPage)),
    };
}

// Each command's syntax, then its description, wrapped; the whole usage in the current
// language when only is empty.
QString usageText(const QString &only = QString())
{
    constexpr int kIndent = 32, kWidth = 96;
    auto wrap = [](const QString &text, int indent) {
        QString out, line;
        for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
            if (!line.isEmpty() && indent + line.size() + 1 + word.size() > kWidth) {
                out += QString(indent, u' ') + line + u'\n';
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
        if (!line.isEmpty()) out += QString(indent, u' ') + line + u'\n';
        return out;
    };
    QString text = only.isEmpty() ? texts::get(texts::kUsage) + QStringLiteral("\n\n") : QString();
    for (const Line &l : commandLines()) {
        if (!only.isEmpty() && l.command != only) continue;
        const QString syntax = QStringLiteral("  ") + l.syntax;
        QString description = wrap(texts::get(*l.description), kIndent);
        if (syntax.size() < kIndent) description.replace(0, syntax.size(), syntax);
        else description.prepend(syntax + u'\n');
        text += description;
    }
    if (!only.isEmpty()) return text;
    text += u'\n' + wrap(texts::get(texts::kUsageFolder), 0) + wrap(texts::get(texts::kUsageLock), 0)
            + wrap(texts::get(texts::kUsageDryRun), 0) + wrap(texts::get(texts::kUsageHelp), 0);
    return text;
}

} // namespace

void writeOut(FILE *f, const QString &text)
{
    const QByteArray utf8 = cp1252::withControlsShown(text, true).toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), f);
}

int usage(const QString &problem)
{
    if (!problem.isEmpty()) writeOut(stderr, QStringLiteral("talvo5-cli: ") + problem + u'\n');
    writeOut(stderr, usageText());
    return Usage;
}

int help()
{
    writeOut(stdout, usageText());
    return Done;
}

bool commandHelp(const QString &command)
{
    const QString text = usageText(command);
    if (text.isEmpty()) return false;
    writeOut(stdout, text);
    return true;
}

int refuse(const QString &message)
{
    writeOut(stderr, message + u'\n');
    return Refused;
}

void warnIfNotUndoable(const QString &why)
{
    if (!why.isEmpty()) writeOut(stderr, texts::get(texts::kNotUndoable).arg(why) + u'\n');
}

int Context::refuse(const entry::Refusal &r) const { return cli::refuse(r.message ? message(r.message) : r.text); }

std::optional<FolderLock> Context::lockForWriting(QString *errorText, bool *rolledBack) const
{
    // A command run on the wrong folder must not leave a lone letter file there, after which
    // the first run would never happen.
    if (!firstrun::workFilesExist(folder)) {
        *errorText = texts::get(texts::kNoCatalogue).arg(folder);
        return std::nullopt;
    }
    return catalogue.lock(errorText, -1, rolledBack);
}

std::optional<record::Field> fieldNamed(const QString &name)
{
    static const QHash<QString, record::Field> fields{
        {QStringLiteral("key"), record::Field::Key},         {QStringLiteral("date"), record::Field::Date},
        {QStringLiteral("support"), record::Field::Support}, {QStringLiteral("category"), record::Field::Category},
        {QStringLiteral("note"), record::Field::Note},       {QStringLiteral("target"), record::Field::Target},
        {QStringLiteral("all"), record::Field::All}};
    const auto it = fields.constFind(name);
    if (it == fields.constEnd()) return std::nullopt;
    return *it;
}

std::optional<Options> parseOptions(const QStringList &args, const QStringList &withValue,
                                    const QStringList &flags, QString *problem)
{
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a.startsWith(QStringLiteral("--")) && a.size() > 2) {
            const QString name = a.mid(2);
            if (withValue.contains(name)) {
                if (i + 1 >= args.size()) {
                    *problem = texts::get(texts::kNeedsValue).arg(a);
                    return std::nullopt;
                }
                o.values.insert(name, args[++i]);
            } else if (flags.contains(name)) {
                o.flags.append(name);
            } else {
                *problem = texts::get(texts::kUnknownOption).arg(a);
                return std::nullopt;
            }
        } else {
            o.positional.append(a);
        }
    }
    return o;
}

} // namespace cli
