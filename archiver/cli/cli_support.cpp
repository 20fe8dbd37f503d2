#include "archiver/cli/cli.h"

#include "archiver/store/first_run.h"
#include "archiver/store/settings.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"

#include <QFileInfo>

namespace cli {
namespace {

constexpr int kIndent = 32, kWidth = 96;

// text's words in lines of at most kWidth characters, each indented.
QString wrapped(const QString &text, int indent)
{
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
}

// Every command's syntax and description, then how the tool finds its folder, waits, previews
// and speaks.
QString usageText()
{
    QString text = texts::get(texts::kUsage) + QStringLiteral("\n\n");
    for (const Command *c : commands()) text += commandHelp(*c);
    text += u'\n';
    for (const texts::Text *t : {&texts::kUsageFolder, &texts::kUsageLock, &texts::kUsageDryRun,
                                 &texts::kUsageLanguage, &texts::kUsageHelp})
        text += wrapped(texts::get(*t), 0);
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

QString commandHelp(const Command &command)
{
    const QString syntax = QStringLiteral("  ") + command.syntax();
    QString text = wrapped(command.help(), kIndent);
    if (syntax.size() < kIndent) text.replace(0, syntax.size(), syntax);
    else text.prepend(syntax + u'\n');
    return text;
}

Command::Command(const char *name, const texts::Text *syntax, const texts::Text &help, QStringList withValue,
                 QStringList flags)
    : name_(name), syntax_(syntax), help_(help), withValue_(std::move(withValue)), flags_(std::move(flags))
{
}

QString Command::syntax() const { return syntax_ ? texts::get(*syntax_) : name(); }

std::optional<Options> Command::parse(const QStringList &args, QString *problem) const
{
    return parseOptions(args, withValue_, flags_, problem);
}

int Command::wrongArguments() const { return usage(texts::get(texts::kTakesArguments).arg(name(), syntax())); }

const QList<const Command *> &commands()
{
#define TALVO_CLI_ROW(name) &name##Command(),
    static const QList<const Command *> all{TALVO_CLI_COMMANDS(TALVO_CLI_ROW)};
#undef TALVO_CLI_ROW
    return all;
}

const Command *commandNamed(const QString &name)
{
    for (const Command *c : commands())
        if (c->name() == name) return c;
    return nullptr;
}

QString languageFile(const QString &folder)
{
    // As the C library reads the locale of messages: the first variable set wins, even when it
    // says another language than the next.
    QString locale;
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = qEnvironmentVariable(variable);
        if (!locale.isEmpty()) break;
    }
    if (!locale.startsWith(QLatin1String("en"))) return settings::currentLanguageFile(folder);
    const QString english = QStringLiteral("english.lng");
    const QString own = files::findExisting(folder, english);
    return QFileInfo(own).isFile() ? own : files::findExisting(files::shippedDataFolder(), english);
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
