// The menus of the editor's window, one setup function per menu, in menu order.
#include "editor/window/edit_commands.h"
#include "editor/window/editor_texts.h"
#include "editor/window/file_commands.h"
#include "editor/window/form1.h"

#include "common/desktop/desktop.h"
#include "common/widgets/companion.h"

#include <QMenu>
#include <QMenuBar>

QMenu *Form1::addMenu(QMenu *parent, const char *name, const QString &title)
{
    QMenu *menu = parent ? parent->addMenu(title) : menuBar()->addMenu(title);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction *Form1::addAction(QMenu *menu, const char *name, const QString &text, void (*command)(Form1 &))
{
    auto *action = new QAction(text, menu);
    action->setObjectName(QString::fromLatin1(name));
    menu->addAction(action);
    connect(action, &QAction::triggered, this, [this, action, command] {
        if (!reachable(action)) return;
        if (command) command(*this);
        else desktop_.message(this, editortexts::notYetAvailable());
    });
    return action;
}

namespace {
void disable(std::initializer_list<QAction *> actions)
{
    for (QAction *action : actions) action->setEnabled(false);
}
} // namespace

void Form1::setupBureauMenu()
{
    QMenu *bureau = addMenu(nullptr, "m_bureau", QStringLiteral("&BUREAU"));
    addAction(bureau, "m_editer_ortho", QStringLiteral("Chemin du Vérificateur d' Orthographe"));
    addAction(bureau, "m_editer_politesse", QStringLiteral("Editer votre Formule de Politesse"), editcmd::m_editer_politesse);
    addAction(bureau, "m_editer_signature", QStringLiteral("Editer votre Signature"), editcmd::m_editer_signature);
}

void Form1::setupFichierMenu()
{
    fichier_ = addMenu(nullptr, "m0", QStringLiteral("&FICHIER"));
    addAction(fichier_, "m_nouveau", QStringLiteral("NOUVEAU"), filecmd::m_nouveau);
    addAction(fichier_, "m_charger", QStringLiteral("OUVRIR"), filecmd::m_charger)->setShortcut(QKeySequence(QStringLiteral("Ctrl+L")));
    QAction *merger = addAction(fichier_, "m_merger", QStringLiteral("MERGER"));
    fichier_->addSeparator();
    QAction *sauver = addAction(fichier_, "m_sauver", QStringLiteral("ENREGISTRER"), filecmd::m_sauver);
    sauver->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    QAction *sauverSous = addAction(fichier_, "m_sauver_sous", QStringLiteral("ENREGISTRER SOUS..."), filecmd::m_sauver_sous);
    fichier_->addSeparator();
    QAction *assistant = addAction(fichier_, "m_assistant", QStringLiteral("Assistant d' Impression"));
    QAction *imprimer = addAction(fichier_, "m_imprimer", QStringLiteral("IMPRIMER"));
    imprimer->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
    QMenu *convertir = addMenu(fichier_, "m12", QStringLiteral("CONVERTIR"));
    QAction *htm = addAction(convertir, "m_htm", QStringLiteral("en TXT"));
    QAction *toHtm = addAction(convertir, "m_txt_to_htm", QStringLiteral("en HTM"));
    addAction(convertir, "m_type", QStringLiteral("en RTF"), filecmd::m_type);
    addAction(convertir, "m_encodage", editortexts::toWindows1252(), filecmd::m_encodage);
    recentSeparator_ = fichier_->addSeparator();
    recentSeparator_->setObjectName(QStringLiteral("nom_fichier(0)"));
    disable({merger, sauver, sauverSous, assistant, imprimer, htm, toHtm});
}

void Form1::setupEditionMenu()
{
    QMenu *edition = addMenu(nullptr, "m1", QStringLiteral("&EDITION"));
    QAction *annuler = addAction(edition, "m_annuler", QStringLiteral("Undo (Annuler la dernière action)"), editcmd::m_annuler);
    addAction(edition, "m_chercher", QStringLiteral("RECHERCHER"), editcmd::m_chercher)->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    addAction(edition, "m_suivant", QStringLiteral("Suivant"), editcmd::m_suivant)->setShortcut(QKeySequence(Qt::Key_F3));
    addAction(edition, "m_remplacer", QStringLiteral("REMPLACER"), editcmd::m_remplacer)->setShortcut(QKeySequence(QStringLiteral("Ctrl+H")));
    addAction(edition, "m_suppr", QStringLiteral("SUPPRIMER"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+K")));
    edition->addSeparator();
    addAction(edition, "tout", QStringLiteral("Sélectionner tout"), editcmd::tout)->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    QAction *copier = addAction(edition, "copier", QStringLiteral("Copier"), editcmd::copier);
    copier->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    QAction *couper = addAction(edition, "couper", QStringLiteral("Couper"), editcmd::couper);
    couper->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));
    QAction *coller = addAction(edition, "coller", QStringLiteral("Coller"), editcmd::coller);
    coller->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    edition->addSeparator();
    addAction(edition, "m_tot_lignes", QStringLiteral("Infos Texte"));
    addAction(edition, "m_HowMany", QStringLiteral("Combien de Fois ce Mot ?"));
    edition->menuAction()->setEnabled(false);
    disable({annuler, copier, couper, coller});
}

void Form1::setupPoliceMenu()
{
    QMenu *police = addMenu(nullptr, "m7", QStringLiteral("&POLICE"));
    addAction(police, "m_police", QStringLiteral("Choisir"));
    addAction(police, "m_lister", QStringLiteral("Lister"));
    QMenu *fonts = addMenu(police, "mnufonts", QStringLiteral("Sélection rapide"));
    // The quick list has no action of its own.
    auto *fontName = new QAction(QStringLiteral("fontname"), fonts);
    fontName->setObjectName(QStringLiteral("mnufontname(0)"));
    fonts->addAction(fontName);
    fonts->menuAction()->setEnabled(false);
}

void Form1::setupDiversTxtMenu()
{
    QMenu *divers = addMenu(nullptr, "m4", QStringLiteral("&DIVERS pour Txt"));
    addAction(divers, "m_Kill_Doublons", QStringLiteral("Supprimer les Doublons d'une Liste"));
    QMenu *lines = addMenu(divers, "m11", QStringLiteral("Formater chaque Ligne..."));
    addAction(lines, "m_tete", QStringLiteral("Supprimer tout Espace en Tête"));
    addAction(lines, "m_queue", QStringLiteral("Supprimer tout Espace en Queue"));
    addAction(lines, "m_suppr_tete", QStringLiteral("Supprimer x caractère(s) en Tête"));
    lines->addSeparator();
    addAction(lines, "m_ajout_tete", QStringLiteral("Ajouter des Caractères en Tête"));
    addAction(lines, "m_ajout_queue", QStringLiteral("Ajouter des Caractères en Queue"));
    addAction(lines, "m_No_RTF", QStringLiteral("Numéroter"));
    addAction(divers, "m_tri", QStringLiteral("Trier une Liste"));
    QMenu *insert = addMenu(divers, "m10", QStringLiteral("Insérer..."));
    addAction(insert, "m_ecrire_politesse", QStringLiteral("la Formule de Politesse"), editcmd::m_ecrire_politesse);
    addAction(insert, "m_date", QStringLiteral("la Date"), editcmd::m_date);
    addAction(insert, "m_ecrire_signature", QStringLiteral("la Signature"), editcmd::m_ecrire_signature);
    addAction(divers, "m_crypter", QStringLiteral("Crypter"));
    addAction(divers, "m_decrypter", QStringLiteral("Décrypter"));
    divers->menuAction()->setEnabled(false);
}

void Form1::setupDiversRtfMenu()
{
    QMenu *divers = addMenu(nullptr, "m55", QStringLiteral("Divers pour &RTF"));
    addAction(divers, "m_img", QStringLiteral("Insérer une image"));
    addAction(divers, "m_no", QStringLiteral("Numéroter"));
    divers->menuAction()->setEnabled(false);
}

void Form1::setupSelectionMenu()
{
    QMenu *selection = addMenu(nullptr, "m5", QStringLiteral("&SELECTION"));
    addAction(selection, "m_sel_tri", QStringLiteral("Trier"));
    QAction *ortho = addAction(selection, "m_ortho", QStringLiteral("Vérifier l' ORTHOGRAPHE de ce Mot"));
    QAction *traduire = addAction(selection, "m_traduire", QStringLiteral("Rechercher une traduction en Français"));
    QAction *trad2 = addAction(selection, "m_trad2", QStringLiteral("Rechercher une traduction en Anglais"));
    addAction(selection, "m_sel_maj", QStringLiteral("Mettre en MAJUSCULES"), editcmd::m_sel_maj);
    addAction(selection, "m_sel_min", QStringLiteral("Mettre en minuscules"), editcmd::m_sel_min);
    addAction(selection, "m_fonte_sel", QStringLiteral("Choisir une Police"));
    addAction(selection, "m_titre", QStringLiteral("TITRER"), editcmd::m_titre)->setShortcut(QKeySequence(QStringLiteral("Ctrl+T")));
    addAction(selection, "m_souligner", QStringLiteral("Souligner"), editcmd::m_souligner);
    addAction(selection, "m_gras", QStringLiteral("Mettre en Gras"), editcmd::m_gras);
    addAction(selection, "m_italique", QStringLiteral("Mettre en Italique"), editcmd::m_italique);
    addAction(selection, "m_color", QStringLiteral("Choisir une Couleur"));
    addAction(selection, "m_gauche", QStringLiteral("Aligner à gauche"), editcmd::m_gauche);
    addAction(selection, "m_centrer", QStringLiteral("Centrer"), editcmd::m_centrer);
    addAction(selection, "m_droite", QStringLiteral("Aligner à droite"), editcmd::m_droite);
    selection->addSeparator();
    // Shown in the menu, with nothing behind it.
    auto *saveSelection = new QAction(QStringLiteral("Enregistrer sous..."), selection);
    saveSelection->setObjectName(QStringLiteral("m_save_sel"));
    selection->addAction(saveSelection);
    selection->menuAction()->setEnabled(false);
    disable({ortho, traduire, trad2});
}

void Form1::setupAideMenu()
{
    QMenu *aide = addMenu(nullptr, "m9", QStringLiteral("&AIDE"));
    addAction(aide, "m_info", QStringLiteral("A propos"), filecmd::m_info);
    QAction *doc = addAction(aide, "m_doc", QStringLiteral("Aide de l' éditeur"), filecmd::m_doc);
    QAction *aideHtm = addAction(aide, "m_aide_HTM", QStringLiteral("Aide au langage HTML"), filecmd::m_aide_HTM);
    disable({doc, aideHtm});
}
