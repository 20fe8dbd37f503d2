// talvo5-cli: the archiver's catalogue from the command line, for scripts and tests.

#include "archiver/cli/cli.h"

#include "common/files/program_folder.h"
#include "common/text/texts.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

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
    cli::Context ctx{folder, Language(cli::languageFile(folder), files::shippedDataFolder()), Catalogue(folder)};
    // Nothing here shows Qt's own texts: its translations are not loaded, and the language file
    // is read only when a text is needed.
    ctx.language.installTexts();
    ctx.catalogue.setNotice([](const QString &text) { cli::writeOut(stderr, text + u'\n'); });
    if (args.isEmpty()) return cli::usage();
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("help")) return cli::help();

    const cli::Command *command = cli::commandNamed(name);
    if (!command) return cli::usage(texts::get(texts::kUnknownCommand).arg(name));
    if (args.contains(QLatin1String("--help"))) {
        cli::writeOut(stdout, cli::commandHelp(*command));
        return cli::Done;
    }
    QString problem;
    const auto options = command->parse(args, &problem);
    if (!options) return cli::usage(problem);
    const int status = command->run(ctx, *options);
    // Output that did not reach its file (a full disk) is a failure, never a success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno;
        return cli::refuse(texts::get(texts::kSystemError)
                               .arg(texts::get(texts::kCannotWrite), QStringLiteral("stdout"),
                                    error ? qt_error_string(error) : QString()));
    }
    return status;
}
