#include "archiver/main/tool_commands.h"

#include "archiver/forms/form.h"
#include "archiver/forms/oublies.h"
#include "archiver/main/grid_model.h"
#include "archiver/main/talvo.h"
#include "archiver/operations/keywords.h"
#include "archiver/store/session.h"
#include "archiver/store/settings.h"
#include "common/desktop/desktop.h"
#include "common/files/program_folder.h"
#include "common/text/texts.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace commands {
namespace {

void warn(Talvo &window, const QString &text)
{
    window.desktop().message(&window, text, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
}

} // namespace

void m_oublies(Talvo &window)
{
    oublies finder(window.session(), window.desktop(), &window);
    window.desktop().exec(&finder);
}

void m_lister_cles(Talvo &window)
{
    const keywords::Outcome done = keywords::writeList(window.session().catalogue, window.session().folder,
                                                       [&window](QChar letter) {
                                                           window.setWindowTitle(window.message(34) + letter
                                                                                 + QStringLiteral(".MFI"));
                                                       });
    if (!done.error.isEmpty()) return warn(window, done.error);
    window.setWindowTitle(window.message(134));
    forms::startCompanion(&window, window.desktop(), QStringLiteral("redig5"), {done.path});
}

void m_sauver_alb(Talvo &window)
{
    // The targets of the listed records, one per line. Paths keep their case: in capitals they
    // would name other files here.
    QByteArray list;
    const GridModel &grid = window.gridModel();
    for (int row = 0; row < grid.rowCount(); ++row) {
        const QString target = grid.record(row).target;
        if (!target.isEmpty()) list += target.toUtf8() + '\n';
    }
    if (list.isEmpty()) {
        window.desktop().message(&window, window.message(87));
        return;
    }
    forms::handListToTool(&window, window.desktop(), window.session(), QLatin1String(forms::kZipTool), list);
}

void m_editer_aide(Talvo &window)
{
    const QString page = files::findExisting(window.session().folder, QStringLiteral("menu_doc.htm"));
    if (!QFileInfo(page).isFile() || !window.desktop().openUrl(QUrl::fromLocalFile(page)))
        warn(window, texts::get(texts::kCannotStart).arg(page));
}

QString terminalProgram()
{
    for (const char *name : {"x-terminal-emulator", "xterm"}) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(name));
        if (!found.isEmpty()) return found;
    }
    return {};
}

void m_dos(Talvo &window)
{
    const QString terminal = terminalProgram();
    if (terminal.isEmpty() || !window.desktop().startProgram(terminal, {}))
        warn(window, texts::get(texts::kCannotStart).arg(terminal.isEmpty() ? QStringLiteral("x-terminal-emulator")
                                                                              : terminal));
}

void m_regedit(Talvo &window)
{
    const QString folder = settings::userSettingsFolder();
    if (folder.isEmpty() || !window.desktop().openUrl(QUrl::fromLocalFile(folder)))
        warn(window, texts::get(texts::kCannotStart).arg(folder));
}

} // namespace commands
