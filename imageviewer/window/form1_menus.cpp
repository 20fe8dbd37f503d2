// The menus of the image viewer's window: one row per menu and per command, in menu order.
#include "imageviewer/picture/pictel_texts.h"
#include "imageviewer/window/file_commands.h"
#include "imageviewer/window/form1.h"
#include "imageviewer/window/image_commands.h"

namespace pictel {
namespace {

bool isLoaded(const Form1 &w) { return w.loaded(); }
// What "Restaurer" would bring back is another picture than the one shown.
bool canRestore(const Form1 &w) { return w.loaded() && !w.picture().sameAs(w.originale()); }

} // namespace

void Form1::setupMenus()
{
    using T = CommandTable<Form1, Command>;
    using C = Command;
    using namespace pictexts;
    commands_ = std::make_unique<T>(
        *this, menuBar(),
        QList<T::Row>{
            T::menu("m_fichier", nullptr, menuFichier()),
            T::command(C::Charger, "m_fichier", "m_charger", entryCharger(), {}, filecmd::m_charger),
            T::command(C::Save, "m_fichier", "m_save", entrySave(), {}, filecmd::m_save, isLoaded),
            T::command(C::SaveAs, "m_fichier", "m_sauver", entrySaveAs(), {}, filecmd::m_sauver, isLoaded),
            T::menu("m_image", nullptr, menuImage(), isLoaded),
            T::command(C::Taille, "m_image", "m_taille", entryTaille(), {}, imagecmd::m_taille),
            T::command(C::Print, "m_image", "m_print", entryPrint(), {}, filecmd::m_print),
            T::command(C::Restaurer, "m_image", "m_restaurer", entryRestaurer(), {}, imagecmd::m_restaurer, canRestore),
            // The mode entry and the about entry stand in the menu bar itself.
            T::command(C::Mode, nullptr, "m_sel", QString(), {}, imagecmd::m_sel),
            T::command(C::Infos, nullptr, "m_infos", entryInfos(), {}, filecmd::m_infos),
        });
    commands_->refresh();
}

} // namespace pictel
