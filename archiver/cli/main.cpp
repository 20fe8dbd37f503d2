// talvo5-cli: the archiver's catalogue from the command line, for scripts and tests.

#include "archiver/operations/global_search.h"
#include "archiver/store/catalogue.h"
#include "archiver/store/first_run.h"
#include "archiver/store/language.h"
#include "archiver/store/lists.h"
#include "archiver/store/record_entry.h"
#include "archiver/store/settings.h"
#include "archiver/store/utilities.h"
#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace {

enum Exit { Done = 0, Refused = 1, Usage = 2 };

const char kUsage[] =
    "usage: talvo5-cli [--home DIR] COMMAND [ARGUMENTS]\n"
    "\n"
    "  init                          create the work files of a new catalogue\n"
    "  search TEXT [--field F] [--count]\n"
    "                                print the records holding TEXT (F: key, date, support,\n"
    "                                category, note or target; the whole line by default)\n"
    "  add --key K --category C [--date D] [--support S] [--note N] [--target T]\n"
    "                                add a record\n"
    "  delete LINE                   delete every record identical to LINE\n"
    "  replace OLDLINE NEWLINE       rewrite a record\n"
    "\n"
    "The program folder is DIR, else $TALVO5_HOME, else the folder of the program.\n";

void writeOut(FILE *f, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), f);
}

int usage(const QString &problem = QString())
{
    if (!problem.isEmpty()) writeOut(stderr, QStringLiteral("talvo5-cli: ") + problem + u'\n');
    std::fputs(kUsage, stderr);
    return Usage;
}

int refuse(const QString &message)
{
    writeOut(stderr, message + u'\n');
    return Refused;
}

struct Context
{
    QString folder;
    Language language;
    Catalogue catalogue;

    QString message(int n) const { return language.LireMessage(n); }
    int refuse(const entry::Refusal &r) const
    {
        return ::refuse(r.message ? message(r.message) : r.text);
    }
};

// Options of the form --name VALUE, in any order after the positional arguments.
struct Options
{
    QStringList positional;
    QHash<QString, QString> values;
    QStringList flags;
};

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
                    *problem = QStringLiteral("option %1 needs a value").arg(a);
                    return std::nullopt;
                }
                o.values.insert(name, args[++i]);
            } else if (flags.contains(name)) {
                o.flags.append(name);
            } else {
                *problem = QStringLiteral("unknown option %1").arg(a);
                return std::nullopt;
            }
        } else {
            o.positional.append(a);
        }
    }
    return o;
}

int runInit(Context &ctx, const QStringList &args)
{
    if (!args.isEmpty()) return usage(QStringLiteral("init takes no argument"));
    if (firstrun::workFilesExist(ctx.folder))
        return refuse(QStringLiteral("Les fichiers de travail existent déjà dans %1").arg(ctx.folder));
    QDir().mkpath(ctx.folder);
    QString error;
    if (!firstrun::InitialiserFichiers(ctx.folder, formatDayDate(QDate::currentDate()), &error))
        return refuse(error);
    firstrun::ensureSubFolders(ctx.folder, [](const QString &m) { writeOut(stderr, m + u'\n'); });
    return Done;
}

int runSearch(Context &ctx, const QStringList &args)
{
    QString problem;
    const auto o = parseOptions(args, {QStringLiteral("field")}, {QStringLiteral("count")}, &problem);
    if (!o) return usage(problem);
    if (o->positional.size() != 1) return usage(QStringLiteral("search takes one TEXT"));

    static const QHash<QString, record::Field> fields{
        {QStringLiteral("key"), record::Field::Key},         {QStringLiteral("date"), record::Field::Date},
        {QStringLiteral("support"), record::Field::Support}, {QStringLiteral("category"), record::Field::Category},
        {QStringLiteral("note"), record::Field::Note},       {QStringLiteral("target"), record::Field::Target}};
    record::Field field = record::Field::All;
    if (o->values.contains(QStringLiteral("field"))) {
        const auto it = fields.constFind(o->values.value(QStringLiteral("field")));
        if (it == fields.constEnd()) return usage(QStringLiteral("unknown field"));
        field = *it;
    }
    const bool countOnly = o->flags.contains(QStringLiteral("count"));
    const QString text = cp1252::toUpper(o->positional.front());

    // Each byte of a line in UTF-8, worked out once: lines go out without a detour through
    // QString.
    std::array<QByteArray, 256> utf8;
    for (int b = 0; b < 256; ++b)
        utf8[b] = QString(cp1252::decodeByte(static_cast<unsigned char>(b))).toUtf8();
    QByteArray out;
    auto flush = [&] {
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        out.clear();
    };
    const SearchCounts counts =
        RechercheGlobale(ctx.catalogue, text, field, [&](QByteArrayView line) {
            if (countOnly) return;
            for (const char c : line) {
                const auto b = static_cast<unsigned char>(c);
                if (b < 0x80) out.append(c);
                else out.append(utf8[b]);
            }
            out.append('\n');
            if (out.size() > (1 << 16)) flush();
        });
    if (countOnly) {
        std::printf("%lld\n", static_cast<long long>(counts.found));
        return Done;
    }
    flush();
    std::fflush(stdout);
    writeOut(stderr, formatCount(counts.found) + ctx.message(96) + formatCount(counts.total) +
                         ctx.message(97) + u'\n');
    return Done;
}

int runAdd(Context &ctx, const QStringList &args)
{
    QString problem;
    const QStringList names{QStringLiteral("key"),     QStringLiteral("category"),
                            QStringLiteral("date"),    QStringLiteral("support"),
                            QStringLiteral("note"),    QStringLiteral("target")};
    const auto o = parseOptions(args, names, {}, &problem);
    if (!o) return usage(problem);
    if (!o->positional.isEmpty()) return usage(QStringLiteral("add takes options only"));
    if (!o->values.contains(QStringLiteral("key")) || !o->values.contains(QStringLiteral("category")))
        return usage(QStringLiteral("add needs --key and --category"));

    Record r;
    r.key = o->values.value(QStringLiteral("key"));
    r.category = cp1252::toUpper(o->values.value(QStringLiteral("category")));
    r.date = o->values.value(QStringLiteral("date"), formatDayDate(QDate::currentDate()));
    r.support = cp1252::toUpper(o->values.value(QStringLiteral("support")));
    r.note = o->values.value(QStringLiteral("note"));
    r.target = o->values.value(QStringLiteral("target"));
    if (r.category.isEmpty()) return usage(QStringLiteral("the category may not be empty"));
    r = entry::normalised(r);
    if (const auto refusal = entry::check(r)) return ctx.refuse(*refusal);

    QString error;
    if (!entry::store(ctx.catalogue, r, true, nullptr, &error)) return refuse(error);
    writeOut(stderr, r.key + ctx.message(145) + u'\n');
    return Done;
}

// Checks a line given on the command line as a record the catalogue can hold.
std::optional<entry::Refusal> checkLine(const QString &line)
{
    const auto r = record::parse(line);
    if (!r) return entry::Refusal{8, {}};
    if (const auto refusal = entry::check(*r)) return refusal;
    if (record::compose(*r) != line) return entry::Refusal{8, {}};
    return std::nullopt;
}

QString notFound(const QString &line)
{
    return QStringLiteral("Aucune fiche identique à « %1 » dans le catalogue.").arg(line);
}

int runDelete(Context &ctx, const QStringList &args)
{
    if (args.size() != 1) return usage(QStringLiteral("delete takes one LINE"));
    const QString &line = args.front();
    if (line.isEmpty()) return usage(QStringLiteral("the line may not be empty"));
    if (const char32_t bad = cp1252::firstUnencodable(line)) return refuse(cp1252::unencodableMessage(bad));
    QString error;
    qsizetype removed = 0;
    if (!ctx.catalogue.deleteLine(ctx.catalogue.letterFileOfKey(line), line, &error, &removed))
        return refuse(error);
    if (removed == 0) return refuse(notFound(line));
    return Done;
}

int runReplace(Context &ctx, const QStringList &args)
{
    if (args.size() != 2) return usage(QStringLiteral("replace takes OLDLINE and NEWLINE"));
    const QString &oldLine = args[0];
    if (oldLine.isEmpty() || args[1].isEmpty()) return usage(QStringLiteral("the lines may not be empty"));
    if (const char32_t bad = cp1252::firstUnencodable(oldLine)) return refuse(cp1252::unencodableMessage(bad));
    if (const auto refusal = checkLine(args[1])) {
        if (refusal->message == 8) return refuse(args[1] + u'\n' + ctx.message(8));
        return ctx.refuse(*refusal);
    }
    // The key is stored in capitals, as the record card writes it.
    Record rewritten = *record::parse(args[1]);
    rewritten.key = cp1252::toUpper(rewritten.key);
    const QString newLine = record::compose(rewritten);
    QString current = ctx.catalogue.letterFileOfKey(oldLine);
    if (ctx.catalogue.countLine(current, oldLine) == 0) return refuse(notFound(oldLine));
    QString error;
    if (!ctx.catalogue.replaceLine(&current, oldLine, newLine, &error)) return refuse(error);
    return Done;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);

    QString folder;
    if (args.size() >= 2 && args.front() == QLatin1String("--home")) {
        folder = files::withTrailingSlash(QFileInfo(args[1]).absoluteFilePath());
        args = args.mid(2);
    } else {
        folder = files::programFolder();
    }
    if (args.isEmpty()) return usage();
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("help")) {
        std::fputs(kUsage, stdout);
        return Done;
    }

    Context ctx{folder, Language(settings::currentLanguageFile(folder)), Catalogue(folder)};

    if (command == QLatin1String("search")) return runSearch(ctx, args);
    // Commands that write first clear what an interrupted save may have left behind.
    if (QFileInfo(folder).isDir()) files::removeStaleTemporaries(folder);
    if (command == QLatin1String("init")) return runInit(ctx, args);
    if (command == QLatin1String("add")) return runAdd(ctx, args);
    if (command == QLatin1String("delete")) return runDelete(ctx, args);
    if (command == QLatin1String("replace")) return runReplace(ctx, args);
    return usage(QStringLiteral("unknown command %1").arg(command));
}
