#include "archiver/cli/cli.h"

#include "archiver/store/first_run.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"

namespace cli {
namespace {

// The usage in the current language: each command's syntax, then its description, wrapped.
QString usageText()
{
    struct Line
    {
        QString syntax;
        const texts::Text &description;
    };
    const Line lines[] = {
        {QStringLiteral("init"), texts::kUsageInit},
        {texts::get(texts::kSyntaxSearch), texts::kUsageSearch},
        {texts::get(texts::kSyntaxAdd), texts::kUsageAdd},
        {texts::get(texts::kSyntaxDelete), texts::kUsageDelete},
        {texts::get(texts::kSyntaxReplace), texts::kUsageReplace},
        {QStringLiteral("backup"), texts::kUsageBackup},
        {QStringLiteral("restore"), texts::kUsageRestore},
        {texts::get(texts::kSyntaxResolve), texts::kUsageResolve},
        {texts::get(texts::kSyntaxReplaceAll), texts::kUsageReplaceAll},
        {texts::get(texts::kSyntaxGiveSupport), texts::kUsageGiveSupport},
        {texts::get(texts::kSyntaxRemoveSupport), texts::kUsageRemoveSupport},
        {texts::get(texts::kSyntaxImport), texts::kUsageImport},
        {texts::get(texts::kSyntaxImportList), texts::kUsageImportList},
        {QStringLiteral("undo"), texts::kUsageUndo},
        {QStringLiteral("analyse"), texts::kUsageAnalyse},
    };
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
    QString text = texts::get(texts::kUsage) + QStringLiteral("\n\n");
    for (const Line &l : lines) {
        const QString syntax = QStringLiteral("  ") + l.syntax;
        QString description = wrap(texts::get(l.description), kIndent);
        if (syntax.size() < kIndent) description.replace(0, syntax.size(), syntax);
        else description.prepend(syntax + u'\n');
        text += description;
    }
    text += u'\n' + wrap(texts::get(texts::kUsageFolder), 0) + wrap(texts::get(texts::kUsageLock), 0)
            + wrap(texts::get(texts::kUsageDryRun), 0);
    return text;
}

} // namespace

void writeOut(FILE *f, const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c != u'\n' && cp1252::isControl(c.unicode()))
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    const QByteArray utf8 = shown.toUtf8();
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

int refuse(const QString &message)
{
    writeOut(stderr, message + u'\n');
    return Refused;
}

int Context::refuse(const entry::Refusal &r) const { return cli::refuse(r.message ? message(r.message) : r.text); }

std::optional<FolderLock> Context::lockForWriting(QString *errorText) const
{
    // A command run on the wrong folder must not leave a lone letter file there, after which
    // the first run would never happen.
    if (!firstrun::workFilesExist(folder)) {
        *errorText = texts::get(texts::kNoCatalogue).arg(folder);
        return std::nullopt;
    }
    return catalogue.lock(errorText);
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
