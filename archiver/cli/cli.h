#pragma once

// talvo5-cli: the archiver's catalogue from the command line, for scripts and tests. Each command
// is a class in a source of its own and calls the same store and operations functions as the
// window; one table lists them for the dispatcher, the usage and --help.

#include "archiver/store/catalogue.h"
#include "archiver/store/language.h"
#include "archiver/store/record_entry.h"
#include "common/text/texts.h"

#include <QHash>
#include <QList>
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
// Writes message on stderr; exit code Refused.
int refuse(const QString &message);
// Says on stderr that a change went through but cannot be undone, and why (nothing when why is
// empty).
void warnIfNotUndoable(const QString &why);

// The language file the tool speaks: english.lng (the folder's, else the shipped one) when the
// locale's messages are English, the first of LC_ALL, LC_MESSAGES and LANG that is set saying
// so; otherwise the file the window was last set to.
QString languageFile(const QString &folder);

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

// A command line's options of the form --name VALUE or --flag, in any order among the
// positional arguments. The word after an option that takes a value is its value, whatever it
// looks like ("-A", "--x").
struct Options
{
    QStringList positional;
    QHash<QString, QString> values;
    QStringList flags;
};
std::optional<Options> parseOptions(const QStringList &args, const QStringList &withValue,
                                    const QStringList &flags, QString *problem);

// One command of the tool: the word that names it, its syntax and what it does (the usage and
// --help show both), the options it takes, and what it does with its parsed command line.
class Command
{
public:
    // syntax: nullptr for a command that takes nothing, whose syntax is its name.
    Command(const char *name, const texts::Text *syntax, const texts::Text &help, QStringList withValue = {},
            QStringList flags = {});
    virtual ~Command() = default;
    Command(const Command &) = delete;
    Command &operator=(const Command &) = delete;

    QString name() const { return QLatin1String(name_); }
    QString syntax() const;
    QString help() const { return texts::get(help_); }
    // The options --NAME VALUE it takes, then those --NAME alone.
    const QStringList &withValue() const { return withValue_; }
    const QStringList &flags() const { return flags_; }

    // Its command line as its options say; nothing, with the problem, for an option it does not
    // take or one that lacks its value.
    std::optional<Options> parse(const QStringList &args, QString *problem) const;
    virtual int run(Context &ctx, const Options &o) const = 0;
    // The usage error of arguments that do not fit the syntax.
    int wrongArguments() const;

private:
    const char *name_;
    const texts::Text *syntax_;
    const texts::Text &help_;
    QStringList withValue_;
    QStringList flags_;
};

// Every command, in the order the usage lists them; the source of each defines name##Command().
#define TALVO_CLI_COMMANDS(X)                                                                                      \
    X(init) X(search) X(add) X(delete) X(replace) X(backup) X(restore) X(resolve) X(replaceAll) X(giveSupport)      \
    X(removeSupport) X(deleteFound) X(import) X(importList) X(export) X(undo) X(analyse) X(keywords) X(printList)   \
    X(uncatalogued) X(htmlPage)
#define TALVO_CLI_DECLARE_COMMAND(name) const Command &name##Command();
TALVO_CLI_COMMANDS(TALVO_CLI_DECLARE_COMMAND)
#undef TALVO_CLI_DECLARE_COMMAND

// The table: TALVO_CLI_COMMANDS, in its order.
const QList<const Command *> &commands();
// The command of that name; nullptr for none.
const Command *commandNamed(const QString &name);
// One command's syntax and what it does, as the usage shows them.
QString commandHelp(const Command &command);

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

} // namespace cli
