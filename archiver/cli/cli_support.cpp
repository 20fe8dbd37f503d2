#include "archiver/cli/cli.h"

#include "archiver/store/first_run.h"
#include "common/text/cp1252.h"

namespace cli {
namespace {

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
    "  backup                        copy the catalogue into the BACKUP sub-folder\n"
    "  restore                       copy the last backup back over the catalogue\n"
    "\n"
    "The program folder is DIR, else $TALVO5_HOME, else the folder of the program. Commands\n"
    "that change the catalogue wait a few seconds ($TALVO_LOCK_WAIT_MS) for another program\n"
    "changing it to finish. Control characters are printed as \\xNN.\n";

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
    std::fputs(kUsage, stderr);
    return Usage;
}

int help()
{
    std::fputs(kUsage, stdout);
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
        *errorText = QStringLiteral("« %1 » ne contient pas de catalogue (pas de A.MFI) : créez-le d'abord "
                                    "avec « talvo5-cli init ».")
                         .arg(folder);
        return std::nullopt;
    }
    return catalogue.lock(errorText);
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

} // namespace cli
