#pragma once

// talvo5-cli: the archiver's catalogue from the command line, for scripts and tests. Each command
// lives in a source of its own and calls the same store and operations functions as the window.

#include "archiver/store/catalogue.h"
#include "archiver/store/language.h"
#include "archiver/store/record_entry.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace cli {

enum Exit { Done = 0, Refused = 1, Usage = 2 };

// Writes text in UTF-8. Whatever the catalogue holds, no control character reaches the terminal:
// each but the line end is shown as \xNN.
void writeOut(FILE *f, const QString &text);
// The usage on stderr, after the problem; exit code Usage.
int usage(const QString &problem = QString());
// The usage on stdout.
int help();
// One command's syntax and what it does, on stdout; false for a command without help.
bool commandHelp(const QString &command);
// Writes message on stderr; exit code Refused.
int refuse(const QString &message);
// Says on stderr that a change went through but cannot be undone, and why (nothing when why is
// empty).
void warnIfNotUndoable(const QString &why);

struct Context
{
    QString folder;
    Language language;
    Catalogue catalogue;

    QString message(int n) const { return language.LireMessage(n); }
    int refuse(const entry::Refusal &r) const;
    // The folder's lock for a command that changes the catalogue; nothing, with errorText, when
    // the folder holds no catalogue yet or another program keeps the lock.
    std::optional<FolderLock> lockForWriting(QString *errorText, bool *rolledBack = nullptr) const;
};

// Options of the form --name VALUE or --flag, in any order among the positional arguments.
struct Options
{
    QStringList positional;
    QHash<QString, QString> values;
    QStringList flags;
};
std::optional<Options> parseOptions(const QStringList &args, const QStringList &withValue,
                                    const QStringList &flags, QString *problem);

// The records a search lists: --search TEXT (every record without it) and --field F. Nothing,
// with the exit code, when an option is wrong or a letter file cannot be read.
struct Found
{
    QString text;
    record::Field field = record::Field::All;
    QList<QByteArray> lines;
};
std::optional<Found> found(Context &ctx, const Options &o, int *exit);
// The found lines as the grid's rows: a broken line shows whole in the key column.
QList<Record> rowsOf(const Found &f);

// The field of a --field option: key, date, support, category, note, target or all.
std::optional<record::Field> fieldNamed(const QString &name);

int runInit(Context &ctx, const QStringList &args);
int runSearch(Context &ctx, const QStringList &args);
int runAdd(Context &ctx, const QStringList &args);
int runDelete(Context &ctx, const QStringList &args);
int runReplace(Context &ctx, const QStringList &args);
int runBackup(Context &ctx, const QStringList &args);
int runRestore(Context &ctx, const QStringList &args);
int runResolve(Context &ctx, const QStringList &args);
int runReplaceAll(Context &ctx, const QStringList &args);
int runGiveSupport(Context &ctx, const QStringList &args);
int runRemoveSupport(Context &ctx, const QStringList &args);
int runImport(Context &ctx, const QStringList &args);
int runImportList(Context &ctx, const QStringList &args);
int runUndo(Context &ctx, const QStringList &args);
int runAnalyse(Context &ctx, const QStringList &args);
int runExport(Context &ctx, const QStringList &args);
int runDeleteFound(Context &ctx, const QStringList &args);
int runKeywords(Context &ctx, const QStringList &args);
int runPrintList(Context &ctx, const QStringList &args);
int runUncatalogued(Context &ctx, const QStringList &args);
int runHtmlPage(Context &ctx, const QStringList &args);

} // namespace cli
