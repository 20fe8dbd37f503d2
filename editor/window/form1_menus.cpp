// The menus of the editor's window: one row per menu and per command, in menu order.
#include "editor/window/edit_commands.h"
#include "editor/window/editor_captions.h"
#include "editor/window/editor_texts.h"
#include "editor/window/file_commands.h"
#include "editor/window/form1.h"

#include "common/desktop/desktop.h"
#include "editor/text/editor_session.h"

#include <QMenu>
#include <QMenuBar>

namespace {

using T = CommandTable<Form1, EditorCommand>;
using C = EditorCommand;

// A command still to come says so.
void notYet(Form1 &w) { w.desktop().message(&w, editortexts::notYetAvailable()); }

bool filled(const Form1 &w) { return !w.isEmpty(); }
bool plain(const Form1 &w) { return w.modeTxt(); }
bool plainOpen(const Form1 &w) { return w.modeTxt() && w.kindMenusOpen(); }
bool rich(const Form1 &w) { return !w.modeTxt(); }
bool selected(const Form1 &w) { return w.hasSelection(); }
bool changed(const Form1 &w) { return w.modifie() && !w.saveHeld(); }
bool html(const Form1 &w) { return w.holdsHtml(); }
bool notHtml(const Form1 &w) { return w.kindMenusOpen() && !w.holdsHtml(); }
// A page, or a text holding HTML, may not be turned into RTF; any other document may again.
bool mayBecomeRtf(const Form1 &w) { return !w.openedAsPage() && !w.holdsHtml(); }
bool never(const Form1 &) { return false; }

T::Row menuRow(const char *name, const char *parent, T::Rule enabled = {})
{
    return T::menu(name, parent, editortexts::caption(name), std::move(enabled));
}
T::Row entry(C id, const char *parent, const char *name, T::Run run, T::Rule enabled = {}, const char *keys = nullptr)
{
    return T::command(id, parent, name, editortexts::caption(name),
                      keys ? QKeySequence(QString::fromLatin1(keys)) : QKeySequence(), run, std::move(enabled));
}

} // namespace

void Form1::setupMenus()
{
    using namespace editcmd;
    using namespace filecmd;
    commands_ = std::make_unique<T>(
        *this, menuBar(),
        QList<T::Row>{
            menuRow("m_bureau", nullptr),
            entry(C::EditerOrtho, "m_bureau", "m_editer_ortho", notYet),
            entry(C::EditerPolitesse, "m_bureau", "m_editer_politesse", m_editer_politesse),
            entry(C::EditerSignature, "m_bureau", "m_editer_signature", m_editer_signature),

            menuRow("m0", nullptr),
            entry(C::Nouveau, "m0", "m_nouveau", m_nouveau),
            entry(C::Charger, "m0", "m_charger", m_charger, {}, "Ctrl+L"),
            entry(C::Merger, "m0", "m_merger", notYet, plainOpen),
            T::afterSeparator(entry(C::Sauver, "m0", "m_sauver", m_sauver, changed, "Ctrl+S")),
            entry(C::SauverSous, "m0", "m_sauver_sous", m_sauver_sous, filled),
            T::afterSeparator(entry(C::Assistant, "m0", "m_assistant", notYet, filled)),
            entry(C::Imprimer, "m0", "m_imprimer", notYet, filled, "Ctrl+P"),
            menuRow("m12", "m0"),
            entry(C::Htm, "m12", "m_htm", notYet, html),
            entry(C::TxtToHtm, "m12", "m_txt_to_htm", notYet, notHtml),
            entry(C::Type, "m12", "m_type", m_type, mayBecomeRtf),
            T::command(C::Encodage, "m12", "m_encodage", editortexts::toWindows1252(), {}, m_encodage, plain),

            menuRow("m1", nullptr, [](const Form1 &w) { return filled(w) || w.startedOnFile(); }),
            entry(C::Annuler, "m1", "m_annuler", m_annuler, [](const Form1 &w) { return w.undoable(); }),
            entry(C::Chercher, "m1", "m_chercher", m_chercher, {}, "Ctrl+F"),
            T::command(C::Suivant, "m1", "m_suivant", editortexts::caption("m_suivant"), QKeySequence(Qt::Key_F3),
                       m_suivant),
            entry(C::Remplacer, "m1", "m_remplacer", m_remplacer, {}, "Ctrl+H"),
            entry(C::Suppr, "m1", "m_suppr", notYet, {}, "Ctrl+K"),
            T::afterSeparator(entry(C::Tout, "m1", "tout", tout, {}, "Ctrl+A")),
            entry(C::Copier, "m1", "copier", copier, selected, "Ctrl+C"),
            entry(C::Couper, "m1", "couper", couper, selected, "Ctrl+X"),
            entry(C::Coller, "m1", "coller", coller, selected, "Ctrl+V"),
            T::afterSeparator(entry(C::TotLignes, "m1", "m_tot_lignes", notYet)),
            entry(C::HowMany, "m1", "m_HowMany", notYet),

            menuRow("m7", nullptr),
            entry(C::Police, "m7", "m_police", notYet),
            entry(C::Lister, "m7", "m_lister", notYet),
            // The quick list of fonts has no entries of its own yet.
            menuRow("mnufonts", "m7", never),
            entry(C::FontName, "mnufonts", "mnufontname(0)", notYet),

            menuRow("m4", nullptr, plainOpen),
            entry(C::KillDoublons, "m4", "m_Kill_Doublons", notYet),
            menuRow("m11", "m4"),
            entry(C::Tete, "m11", "m_tete", notYet),
            entry(C::Queue, "m11", "m_queue", notYet),
            entry(C::SupprTete, "m11", "m_suppr_tete", notYet),
            T::afterSeparator(entry(C::AjoutTete, "m11", "m_ajout_tete", notYet)),
            entry(C::AjoutQueue, "m11", "m_ajout_queue", notYet),
            entry(C::NoTxt, "m11", "m_No_RTF", notYet),
            entry(C::Tri, "m4", "m_tri", notYet),
            menuRow("m10", "m4"),
            entry(C::EcrirePolitesse, "m10", "m_ecrire_politesse", m_ecrire_politesse),
            entry(C::Date, "m10", "m_date", m_date),
            entry(C::EcrireSignature, "m10", "m_ecrire_signature", m_ecrire_signature),
            entry(C::Crypter, "m4", "m_crypter", notYet),
            entry(C::Decrypter, "m4", "m_decrypter", notYet),

            menuRow("m55", nullptr, rich),
            entry(C::Img, "m55", "m_img", notYet),
            entry(C::NoRtf, "m55", "m_no", notYet),

            menuRow("m5", nullptr, selected),
            entry(C::SelTri, "m5", "m_sel_tri", notYet),
            entry(C::Ortho, "m5", "m_ortho", notYet,
                  [](const Form1 &w) { return !w.session().settings.spellChecker.isEmpty(); }),
            entry(C::Traduire, "m5", "m_traduire", notYet, [](const Form1 &w) { return w.englishRecords(); }),
            entry(C::Trad2, "m5", "m_trad2", notYet, [](const Form1 &w) { return w.englishRecords(); }),
            entry(C::SelMaj, "m5", "m_sel_maj", m_sel_maj),
            entry(C::SelMin, "m5", "m_sel_min", m_sel_min),
            entry(C::FonteSel, "m5", "m_fonte_sel", notYet, rich),
            entry(C::Titre, "m5", "m_titre", m_titre, rich, "Ctrl+T"),
            entry(C::Souligner, "m5", "m_souligner", m_souligner, rich),
            entry(C::Gras, "m5", "m_gras", m_gras, rich),
            entry(C::Italique, "m5", "m_italique", m_italique, rich),
            entry(C::Color, "m5", "m_color", notYet, rich),
            entry(C::Gauche, "m5", "m_gauche", m_gauche, rich),
            entry(C::Centrer, "m5", "m_centrer", m_centrer, rich),
            entry(C::Droite, "m5", "m_droite", m_droite, rich),
            T::afterSeparator(entry(C::SaveSel, "m5", "m_save_sel", notYet)),

            menuRow("m9", nullptr),
            entry(C::Info, "m9", "m_info", m_info),
            entry(C::Doc, "m9", "m_doc", m_doc, [](const Form1 &w) { return w.editorHelp(); }),
            entry(C::AideHtm, "m9", "m_aide_HTM", m_aide_HTM, [](const Form1 &w) { return w.htmlHelp(); }),
        });
    // The recent documents follow the menu's own entries, after a line.
    recentSeparator_ = menu("m0")->addSeparator();
    recentSeparator_->setObjectName(QStringLiteral("nom_fichier(0)"));
    commands_->refresh();
}
