// talvo5-cli: the archiver's catalogue from the command line, for scripts and tests.

#include "archiver/cli/cli.h"

#include "archiver/store/settings.h"
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
    // Usage and refusals speak the language the window was last set to.
    cli::Context ctx{folder, Language(settings::currentLanguageFile(folder), files::shippedDataFolder()),
                     Catalogue(folder)};
    // Nothing here shows Qt's own texts: its translations are not loaded, and the language file
    // is read only when a text is needed.
    ctx.language.installTexts();
    ctx.catalogue.setNotice([](const QString &text) { cli::writeOut(stderr, text + u'\n'); });
    if (args.isEmpty()) return cli::usage();
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("help")) return cli::help();

    using Run = int (*)(cli::Context &, const QStringList &);
    static const QHash<QString, Run> commands{
        {QStringLiteral("init"), cli::runInit},       {QStringLiteral("search"), cli::runSearch},
        {QStringLiteral("add"), cli::runAdd},         {QStringLiteral("delete"), cli::runDelete},
        {QStringLiteral("replace"), cli::runReplace}, {QStringLiteral("backup"), cli::runBackup},
        {QStringLiteral("restore"), cli::runRestore}, {QStringLiteral("resolve"), cli::runResolve},
        {QStringLiteral("replace-all"), cli::runReplaceAll}, {QStringLiteral("support-add"), cli::runGiveSupport},
        {QStringLiteral("support-remove"), cli::runRemoveSupport}, {QStringLiteral("import"), cli::runImport},
        {QStringLiteral("import-text"), cli::runImportList}, {QStringLiteral("undo"), cli::runUndo},
        {QStringLiteral("analyse"), cli::runAnalyse}, {QStringLiteral("export"), cli::runExport},
        {QStringLiteral("delete-found"), cli::runDeleteFound}, {QStringLiteral("keywords"), cli::runKeywords},
        {QStringLiteral("print-list"), cli::runPrintList},
        {QStringLiteral("uncatalogued"), cli::runUncatalogued},
        {QStringLiteral("html-page"), cli::runHtmlPage}};
    const Run run = commands.value(command);
    if (!run) return cli::usage(texts::get(texts::kUnknownCommand).arg(command));
    if (args.contains(QLatin1String("--help")) && cli::commandHelp(command)) return cli::Done;
    const int status = run(ctx, args);
    // Output that did not reach its file (a full disk) is a failure, never a success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno;
        return cli::refuse(texts::get(texts::kSystemError)
                               .arg(texts::get(texts::kCannotWrite), QStringLiteral("stdout"),
                                    error ? qt_error_string(error) : QString()));
    }
    return status;
}
