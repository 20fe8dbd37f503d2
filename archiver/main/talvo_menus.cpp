// The menus of the main window: one row per menu and per command, in menu order. They show the
// captions of talvo_captions.h until the language file (section Talvo, key "<name>.Caption")
// gives its own.
#include "archiver/main/talvo.h"
#include "archiver/main/talvo_captions.h"

#include "archiver/forms/form.h"
#include "archiver/main/batch_commands.h"
#include "archiver/main/list_commands.h"
#include "archiver/main/operation_commands.h"
#include "archiver/main/outside_tools.h"
#include "archiver/main/record_commands.h"
#include "archiver/main/tool_commands.h"
#include "archiver/store/autorun.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "common/files/program_folder.h"

#include <QFileInfo>
#include <QUrl>

namespace {

using Table = CommandTable<Talvo, TalvoCommand>;


// A file of the program folder is there.
Table::Rule present(const char *name)
{
    return [name](const Talvo &w) {
        return QFileInfo::exists(files::findExisting(w.session().folder, QLatin1String(name)));
    };
}
bool listed(const Talvo &w) { return w.gridModel().rowCount() > 1; }
bool autorunSet(const Talvo &) { return autorun::LireAutorun() != QLatin1String(autorun::kNone); }
bool heading(const Talvo &) { return false; } // the labels of the Tools menu

Table::Row menuRow(const char *name, const char *parent, Table::Rule enabled = {})
{
    return Table::menu(name, parent, talvotexts::caption(name), std::move(enabled));
}
Table::Row row(TalvoCommand id, const char *parent, const char *name, Table::Run run, Table::Rule enabled = {})
{
    return Table::command(id, parent, name, talvotexts::caption(name), {}, std::move(run), std::move(enabled));
}
Table::Run companion(const char *program, const char *document = nullptr)
{
    return [program, document](Talvo &w) {
        QStringList arguments;
        if (document) arguments.append(files::findExisting(w.session().folder, QLatin1String(document)));
        forms::startCompanion(&w, w.desktop(), QLatin1String(program), arguments);
    };
}
// An outside tool of the program folder, started with what it works on.
Table::Row tool(TalvoCommand id, const char *name)
{
    const auto *t = std::find_if(kOutsideTools.begin(), kOutsideTools.end(),
                                 [name](const OutsideTool &o) { return QLatin1String(o.action) == QLatin1String(name); });
    const char *program = t->program;
    return row(
        id, "m_divers", name,
        [name, program](Talvo &w) {
            const ArchiverSession &s = w.session();
            QStringList args;
            if (QLatin1String(name) == QLatin1String("m_viewer") && !s.settings.imageFolder.isEmpty())
                args.append(s.settings.imageFolder);
            if (QLatin1String(name) == QLatin1String("m_sons") && !s.settings.soundFolder.isEmpty())
                args.append(s.settings.soundFolder);
            if (QLatin1String(name) == QLatin1String("m_seek")) args.append(s.folder);
            forms::startOutsideTool(&w, w.desktop(), s, QLatin1String(program), args);
        },
        present(program));
}

} // namespace

void Talvo::setupMenus()
{
    using namespace commands;
    commands_ = std::make_unique<Table>(
        *this, menuBar(),
        QList<Table::Row>{
            menuRow("m_Bureau", nullptr),
            row(TalvoCommand::Infos, "m_Bureau", "m_infos", [](Talvo &w) { w.m_infos_Click(); }),
            row(TalvoCommand::Config, "m_Bureau", "m_config", m_config),
            row(TalvoCommand::Systray, "m_Bureau", "m_systray", [](Talvo &w) { w.m_systray_Click(); }),
            row(TalvoCommand::Autorun, "m_Bureau", "m_autorun", [](Talvo &w) { w.m_autorun_Click(); },
                  [](const Talvo &w) { return !autorunSet(w); }),
            row(TalvoCommand::KillAutorun, "m_Bureau", "m_kill_Autorun", [](Talvo &w) { w.m_kill_Autorun_Click(); }, autorunSet),
            row(TalvoCommand::Dessus, "m_Bureau", "m_dessus", [](Talvo &w) { w.m_dessus_Click(); }),
            // The language files of the folder come first in it, as the window finds them.
            menuRow("m18", "m_Bureau"),
            Table::afterSeparator(row(TalvoCommand::Traduc, "m18", "m_traduc", [](Talvo &w) { w.m_traduc_Click(); })),

            menuRow("m_fichiers", nullptr),
            row(TalvoCommand::Bilan, "m_fichiers", "m_bilan", m_bilan),
            row(TalvoCommand::ListerCles, "m_fichiers", "m_lister_clés", m_lister_cles),
            row(TalvoCommand::Backup, "m_fichiers", "m_backup", [](Talvo &w) { w.m_backup_Click(); }),
            row(TalvoCommand::Restaure, "m_fichiers", "m_restaure", [](Talvo &w) { w.m_restaure_Click(); }),
            row(TalvoCommand::Remplacer, "m_fichiers", "m_remplacer", m_remplacer),
            row(TalvoCommand::Supp, "m_fichiers", "m_supp", m_supp),
            row(TalvoCommand::KillSupport, "m_fichiers", "m_kill_support", m_kill_support),
            Table::command(TalvoCommand::Annuler, "m_fichiers", "m_annuler", talvotexts::caption("m_annuler"), QKeySequence(QStringLiteral("Ctrl+Z")), m_annuler),
            menuRow("m10", "m_fichiers"),
            row(TalvoCommand::Import, "m10", "m_import", m_import),
            row(TalvoCommand::Importer, "m10", "m_importer", m_importer, [](const Talvo &w) { return w.textImportOffered(); }),
            row(TalvoCommand::EditerListe, "m_fichiers", "m_editer_liste", companion("redig5", "liste.txt"), present("liste.txt")),

            menuRow("m3", nullptr, listed),
            row(TalvoCommand::Imprimer, "m3", "m_imprimer", m_imprimer),
            row(TalvoCommand::Affiner, "m3", "m_affiner", m_affiner),
            row(TalvoCommand::Suppr, "m3", "m_suppr", m_suppr),
            row(TalvoCommand::Sauver, "m3", "m_sauver", m_sauver),
            row(TalvoCommand::SauverAlb, "m3", "m_sauver_alb", m_sauver_alb, present(forms::kZipTool)),
            row(TalvoCommand::Album, "m3", "m_album", m_album, present(forms::kThumbnailTool)),
            row(TalvoCommand::Html, "m3", "m_html", m_html),

            menuRow("m_divers", nullptr),
            row(TalvoCommand::Heading12, "m_divers", "m12", [](Talvo &) {}, heading),
            row(TalvoCommand::Zip, "m_divers", "m_zip",
                  [](Talvo &w) { w.desktop().openUrl(QUrl::fromLocalFile(w.session().settings.zipProgram)); },
                  [](const Talvo &w) {
                      const QString &zip = w.session().settings.zipProgram;
                      return !zip.isEmpty() && QFileInfo::exists(zip);
                  }),
            tool(TalvoCommand::Seek, "m_seek"),
            row(TalvoCommand::Oublies, "m_divers", "m_oublies", m_oublies),
            tool(TalvoCommand::Inventaire, "m_inventaire"),
            tool(TalvoCommand::Octets, "m_octets"),
            tool(TalvoCommand::Fractionner, "m_fractionner"),
            tool(TalvoCommand::Synchro, "m_synchro"),
            tool(TalvoCommand::Crypt, "m_crypt"),
            tool(TalvoCommand::Viewer, "m_viewer"),
            Table::afterSeparator(row(TalvoCommand::Heading11, "m_divers", "m11", [](Talvo &) {}, heading)),
            row(TalvoCommand::Texte, "m_divers", "m_texte", companion("redig5")),
            tool(TalvoCommand::Doublons, "m_doublons"),
            tool(TalvoCommand::Compare, "m_compare"),
            tool(TalvoCommand::Find, "m_find"),
            tool(TalvoCommand::Web, "m_web"),
            tool(TalvoCommand::AllegerPage, "m_allegerpage"),
            tool(TalvoCommand::Sons, "m_sons"),
            Table::afterSeparator(row(TalvoCommand::Heading15, "m_divers", "m15", [](Talvo &) {}, heading)),
            tool(TalvoCommand::Sys, "m_sys"),
            tool(TalvoCommand::Moniteur, "m_moniteur"),
            tool(TalvoCommand::Xy, "m_xy"),
            tool(TalvoCommand::Conv, "m_conv"),
            tool(TalvoCommand::Memento, "m_memento"),
            row(TalvoCommand::Regedit, "m_divers", "m_regedit", m_regedit),
            row(TalvoCommand::Dos, "m_divers", "m_dos", m_dos, [](const Talvo &) { return !terminalProgram().isEmpty(); }),
            row(TalvoCommand::Notes, "m_divers", "m_notes", companion("lisor5", "bloc_not.rtf"),
                  [](const Talvo &) { return QFileInfo::exists(files::executableFolder() + QStringLiteral("lisor5")); }),

            row(TalvoCommand::Recherche, nullptr, "m_recherche", m_recherche),
            row(TalvoCommand::EditerAide, nullptr, "m_editer_aide", m_editer_aide),
        });
    action(TalvoCommand::Dessus)->setCheckable(true);
}
