#include "archiver/main/record_commands.h"

#include "archiver/forms/config.h"
#include "archiver/forms/fiche.h"
#include "archiver/forms/recherch.h"
#include "archiver/forms/saisir.h"
#include "archiver/main/talvo.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"

#include <QAction>

namespace commands {

void openEntryForm(Talvo &window)
{
    Saisir form(window.session(), window.desktop(), &window);
    if (window.desktop().exec(&form) == QDialog::Accepted) window.setWindowTitle(form.storedCaption());
}

void openRecordCard(Talvo &window)
{
    Fiche card(window.session(), window.desktop(), &window);
    window.desktop().exec(&card);
}

void m_recherche(Talvo &window)
{
    ArchiverSession &session = window.session();
    {
        recherch form(session, window.desktop(), &window);
        window.desktop().exec(&form);
    }
    if (session.searchField == record::Field::All) return;
    // A field search that finds nothing says so; it never offers the key box's text as a new key.
    window.clearKeyBox();
    window.RechercheGlobale();
}

void m_config(Talvo &window)
{
    config form(window.session(), window.desktop(), &window);
    window.desktop().exec(&form);
    if (form.zipEnabled()) window.stateChanged();
}

} // namespace commands
