// The command table, the option parser every command shares, and the language the tool speaks.

#include "archiver/cli/cli.h"
#include "archiver/store/language.h"
#include "archiver/store/settings.h"
#include "common/text/texts.h"

#include "tests/support/test_folder.h"

#include <QDirIterator>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

// The tool speaks English in an English locale: every test of this binary expects the language
// of the folder's files, whatever the locale of the machine running it.
[[maybe_unused]] const bool kLocalePinned = qputenv("LC_ALL", "C.UTF-8");

std::string firstLine(const CliRun &r) { return r.errText().section(u'\n', 0, 0).toStdString(); }

// Every file under the folder with its bytes.
QMap<QString, QByteArray> snapshot(const TestFolder &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder.path(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, folder.read(path.mid(folder.path().size())));
    }
    return files;
}

} // namespace

TEST(CliOptions, OneParserReadsEveryCommandLine)
{
    const auto words = [](const char *text) { return QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts); };
    const struct {
        const char *args, *positional, *note, *flags;
        QString problem;
    } cases[] = {
        // The word after an option that takes a value is that value, whatever it looks like.
        {"X --note -A", "X", "-A", "", {}},
        {"--note --count Y", "Y", "--count", "", {}},
        // A lone "--" or a single dash is an argument; flags go anywhere.
        {"--count -- -x", "-- -x", nullptr, "count", {}},
        {"X --note", "", nullptr, "", texts::get(texts::kNeedsValue).arg(QStringLiteral("--note"))},
        {"--notes X", "", nullptr, "", texts::get(texts::kUnknownOption).arg(QStringLiteral("--notes"))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args);
        QString problem;
        const auto o = cli::parseOptions(words(c.args), {QStringLiteral("note")}, {QStringLiteral("count")}, &problem);
        EXPECT_EQ(problem, c.problem);
        ASSERT_EQ(o.has_value(), c.problem.isEmpty());
        if (!o) continue;
        EXPECT_EQ(o->positional, words(c.positional));
        QHash<QString, QString> values;
        if (c.note) values.insert(QStringLiteral("note"), QLatin1String(c.note));
        EXPECT_EQ(o->values, values);
        EXPECT_EQ(o->flags, words(c.flags));
    }
}

// The dispatcher, the usage and --help read one table: a command missing from one of them, a
// help that prints another's, or an option that slips past the parser is caught here.
TEST(CliCommands, EveryCommandHasItsHelpAndRefusesAnUnknownOption)
{
    TestFolder folder;
    folder.copyShipped(QStringLiteral("francais.lng"));
    ASSERT_EQ(runCli(folder, {QStringLiteral("init")}).exitCode, 0);
    const CliRun usage = runCli(folder, {QStringLiteral("--help")});
    ASSERT_EQ(usage.exitCode, 0);
    const QString shown = usage.outText().simplified();
    EXPECT_TRUE(shown.contains(texts::get(texts::kUsageLanguage).simplified()))
        << usage.out.toStdString();

    QSet<QString> names;
    ASSERT_GE(cli::commands().size(), 21);
    for (const cli::Command *c : cli::commands()) {
        const QString name = c->name(), syntax = c->syntax(), help = c->help();
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(names.contains(name));
        names.insert(name);
        EXPECT_EQ(cli::commandNamed(name), c);
        EXPECT_TRUE(syntax == name || syntax.startsWith(name + u' ')) << syntax.toStdString();
        // The options the syntax shows are those the parser takes: no more, no fewer.
        QStringList shownOptions;
        for (const QRegularExpressionMatch &m : QRegularExpression(QStringLiteral("--([a-z-]+)")).globalMatch(syntax))
            shownOptions.append(m.captured(1));
        QStringList taken = c->withValue() + c->flags();
        shownOptions.sort();
        taken.sort();
        EXPECT_EQ(shownOptions, taken) << syntax.toStdString();
        EXPECT_FALSE(help.isEmpty());
        const QString own = (syntax + u' ' + help).simplified();
        EXPECT_TRUE(shown.contains(own)) << own.toStdString();

        const CliRun asked = runCli(folder, {name, QStringLiteral("--help")});
        EXPECT_EQ(asked.exitCode, 0);
        EXPECT_EQ(asked.outText().simplified().toStdString(), own.toStdString());

        const QMap<QString, QByteArray> before = snapshot(folder);
        const CliRun wrong = runCli(folder, {name, QStringLiteral("--no-such-option")});
        EXPECT_EQ(wrong.exitCode, 2);
        EXPECT_EQ(firstLine(wrong), "talvo5-cli: " + texts::get(texts::kUnknownOption)
                                                         .arg(QStringLiteral("--no-such-option"))
                                                         .toStdString());
        EXPECT_TRUE(wrong.out.isEmpty());
        EXPECT_EQ(snapshot(folder), before);
    }
}

// English when the first locale variable set says English, from the folder's english.lng before
// the shipped one; otherwise the language the window was last set to.
TEST(CliLanguage, EnglishLocalesGetEnglishOthersTheWindowsLanguage)
{
    enum class Folder { Bare, WindowInFrench, WindowInEnglish, OwnEnglish };
    enum class Speaks { French, English, OwnEnglish };
    const struct {
        const char *lcAll, *lcMessages, *lang;
        Folder folder;
        Speaks speaks;
    } cases[] = {
        {"", "", "en_US.UTF-8", Folder::Bare, Speaks::English},
        {"", "", "fr_FR.UTF-8", Folder::Bare, Speaks::French},
        {"", "", "", Folder::Bare, Speaks::French},
        {"C.UTF-8", "", "en_GB.UTF-8", Folder::Bare, Speaks::French},
        {"en_IE.UTF-8", "", "fr_FR.UTF-8", Folder::Bare, Speaks::English},
        {"", "en_US.UTF-8", "de_DE.UTF-8", Folder::Bare, Speaks::English},
        {"", "fr_CA.UTF-8", "en_US.UTF-8", Folder::Bare, Speaks::French},
        {"", "", "de_DE.UTF-8", Folder::WindowInEnglish, Speaks::English},
        {"", "", "en_US.UTF-8", Folder::WindowInFrench, Speaks::English},
        {"", "", "en_AU.UTF-8", Folder::OwnEnglish, Speaks::OwnEnglish},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string("LC_ALL=") + c.lcAll + " LC_MESSAGES=" + c.lcMessages +
                     " LANG=" + c.lang + " folder " + std::to_string(int(c.folder)));
        TestFolder folder;
        if (c.folder == Folder::WindowInEnglish || c.folder == Folder::WindowInFrench) {
            const QString file = c.folder == Folder::WindowInEnglish
                                     ? QStringLiteral("english.lng")
                                     : QStringLiteral("francais.lng");
            folder.copyShipped(file);
            settings::setLanguageFileSetting(folder.file(file));
        }
        // A translation of the user's own: what it lacks comes from the shipped one.
        if (c.folder == Folder::OwnEnglish)
            folder.write(QStringLiteral("english.lng"),
                         "[Langue]\r\nLocale=en\r\n[MSG]\r\n1=No @ in a key, please.\r\n"
                         "[Textes]\r\narguments_attendus=%1 wants %2\r\n");
        const QString file =
            c.speaks == Speaks::French    ? shippedFolder() + QStringLiteral("francais.lng")
            : c.speaks == Speaks::English ? shippedFolder() + QStringLiteral("english.lng")
                                          : folder.file(QStringLiteral("english.lng"));
        const Language expected(file, shippedFolder());
        if (c.speaks != Speaks::French) {
            const Language french(shippedFolder() + QStringLiteral("francais.lng"));
            ASSERT_NE(expected.LireMessage(1), french.LireMessage(1));
            ASSERT_NE(expected.ownText(QLatin1String(texts::kTakesArguments.key)),
                      french.ownText(QLatin1String(texts::kTakesArguments.key)));
        }
        const QStringList env{QStringLiteral("LC_ALL=") + QLatin1String(c.lcAll),
                              QStringLiteral("LC_MESSAGES=") + QLatin1String(c.lcMessages),
                              QStringLiteral("LANG=") + QLatin1String(c.lang)};

        const CliRun usage = runCli(folder, {QStringLiteral("search")}, env);
        EXPECT_EQ(usage.exitCode, 2);
        const QString takes = expected.ownText(QLatin1String(texts::kTakesArguments.key));
        const QString syntax = expected.ownText(QLatin1String(texts::kSyntaxSearch.key));
        EXPECT_EQ(firstLine(usage),
                  "talvo5-cli: " + takes.arg(QStringLiteral("search"), syntax).toStdString());
        const CliRun refused =
            runCli(folder,
                   {QStringLiteral("add"), QStringLiteral("--key"), QStringLiteral("A@B"),
                    QStringLiteral("--category"), QStringLiteral("TEXTES")},
                   env);
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_EQ(refused.errText().toStdString(), (expected.LireMessage(1) + u'\n').toStdString());
    }
}
