// The menus of the viewer's window: one row per menu and per command, in menu order.
#include "viewer/text/viewer_session.h"
#include "viewer/window/lisor_window.h"
#include "viewer/window/viewer_commands.h"
#include "viewer/window/viewer_texts.h"

#include <QMenuBar>

namespace lisor {
namespace {

bool isSelected(const Form1 &w) { return w.hasSelection(); }
// Only a plain text has an encoding to change.
bool isPlainText(const Form1 &w) { return w.session().plainText; }

} // namespace

void Form1::setupMenus()
{
    using T = CommandTable<Form1, Command>;
    using C = Command;
    using namespace viewertexts;
    using namespace viewercmd;
    commands_ = std::make_unique<T>(
        *this, menuBar(),
        QList<T::Row>{
            T::menu("m_fichier", nullptr, menuFichier()),
            T::command(C::Charger, "m_fichier", "m_charger", entryCharger(), QKeySequence::Open, m_charger),
            T::command(C::Sauver, "m_fichier", "m_sauver", entrySauver(), QKeySequence::Save, m_sauver),
            T::command(C::Encodage, "m_fichier", "m_encodage", saveAsWindows1252(), {}, m_encodage, isPlainText),
            T::menu("m_text", nullptr, menuTexte()),
            T::command(C::Chercher, "m_text", "m_chercher", entryChercher(), QKeySequence::Find, m_chercher),
            T::command(C::Suivant, "m_text", "m_suivant", entrySuivant(), QKeySequence(Qt::Key_F3), m_suivant),
            T::command(C::Remplacer, "m_text", "m_remplacer", entryRemplacer(), QKeySequence(QStringLiteral("Ctrl+H")),
                       m_remplacer),
            T::command(C::Rubriques, nullptr, "m_rubr", entryRubriques(), {}, m_rubr),
            T::command(C::Imprimer, nullptr, "m_imprimer", entryImprimer(), {}, m_imprimer),
            T::command(C::Copier, nullptr, "m_copier", entryCopier(), {}, m_copier, isSelected),
            // Every change of the selection acts on the selected lines.
            T::menu("m_selection", nullptr, menuSelection(), isSelected),
            T::command(C::Vert, "m_selection", "m_greenl", entryVert(), {}, m_greenl, isSelected),
            T::command(C::Rouge, "m_selection", "m_red", entryRouge(), {}, m_red, isSelected),
            T::command(C::Bleu, "m_selection", "m_blue", entryBleu(), {}, m_blue, isSelected),
            T::command(C::Noir, "m_selection", "m_black", entryNoir(), {}, m_black, isSelected),
            T::command(C::Blanc, "m_selection", "m_white", entryBlanc(), {}, m_white, isSelected),
            T::command(C::Souligne, "m_selection", "m_soul", entrySouligne(), {}, m_soul, isSelected),
            T::command(C::Minuscules, "m_selection", "m_min", entryMinuscules(), {}, m_min, isSelected),
            T::command(C::Majuscules, "m_selection", "m_maj", entryMajuscules(), {}, m_maj, isSelected),
            T::command(C::Gras, "m_selection", "m_gras", entryGras(), {}, m_gras, isSelected),
            T::command(C::Italique, "m_selection", "m_italique", entryItalique(), {}, m_italique, isSelected),
            T::command(C::Normal, "m_selection", "m_normal", entryNormal(), {}, m_normal, isSelected),
            T::command(C::Trier, "m_selection", "m_tri_sel", entryTrier(), {}, m_tri_sel, isSelected),
            T::command(C::Info, nullptr, "m_info", entryInfo(), {}, m_info),
        });
    commands_->refresh();
}

} // namespace lisor
