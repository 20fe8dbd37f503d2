#pragma once

#include <QLatin1StringView>
#include <QString>

#include <iterator>

// The captions of the editor's menus and their entries, by the name of their row.
namespace editortexts {

struct Caption
{
    const char *name;
    const char *text; // UTF-8
};

inline constexpr Caption kCaptions[] = {
    {"m_bureau", "&BUREAU"},
    {"m_editer_ortho", "Chemin du Vérificateur d' Orthographe"},
    {"m_editer_politesse", "Editer votre Formule de Politesse"},
    {"m_editer_signature", "Editer votre Signature"},
    {"m0", "&FICHIER"},
    {"m_nouveau", "NOUVEAU"},
    {"m_charger", "OUVRIR"},
    {"m_merger", "MERGER"},
    {"m_sauver", "ENREGISTRER"},
    {"m_sauver_sous", "ENREGISTRER SOUS..."},
    {"m_assistant", "Assistant d' Impression"},
    {"m_imprimer", "IMPRIMER"},
    {"m12", "CONVERTIR"},
    {"m_htm", "en TXT"},
    {"m_txt_to_htm", "en HTM"},
    {"m_type", "en RTF"},
    {"m1", "&EDITION"},
    {"m_annuler", "Undo (Annuler la dernière action)"},
    {"m_chercher", "RECHERCHER"},
    {"m_suivant", "Suivant"},
    {"m_remplacer", "REMPLACER"},
    {"m_suppr", "SUPPRIMER"},
    {"tout", "Sélectionner tout"},
    {"copier", "Copier"},
    {"couper", "Couper"},
    {"coller", "Coller"},
    {"m_tot_lignes", "Infos Texte"},
    {"m_HowMany", "Combien de Fois ce Mot ?"},
    {"m7", "&POLICE"},
    {"m_police", "Choisir"},
    {"m_lister", "Lister"},
    {"mnufonts", "Sélection rapide"},
    {"mnufontname(0)", "fontname"},
    {"m4", "&DIVERS pour Txt"},
    {"m_Kill_Doublons", "Supprimer les Doublons d'une Liste"},
    {"m11", "Formater chaque Ligne..."},
    {"m_tete", "Supprimer tout Espace en Tête"},
    {"m_queue", "Supprimer tout Espace en Queue"},
    {"m_suppr_tete", "Supprimer x caractère(s) en Tête"},
    {"m_ajout_tete", "Ajouter des Caractères en Tête"},
    {"m_ajout_queue", "Ajouter des Caractères en Queue"},
    {"m_No_RTF", "Numéroter"},
    {"m_tri", "Trier une Liste"},
    {"m10", "Insérer..."},
    {"m_ecrire_politesse", "la Formule de Politesse"},
    {"m_date", "la Date"},
    {"m_ecrire_signature", "la Signature"},
    {"m_crypter", "Crypter"},
    {"m_decrypter", "Décrypter"},
    {"m55", "Divers pour &RTF"},
    {"m_img", "Insérer une image"},
    {"m_no", "Numéroter"},
    {"m5", "&SELECTION"},
    {"m_sel_tri", "Trier"},
    {"m_ortho", "Vérifier l' ORTHOGRAPHE de ce Mot"},
    {"m_traduire", "Rechercher une traduction en Français"},
    {"m_trad2", "Rechercher une traduction en Anglais"},
    {"m_sel_maj", "Mettre en MAJUSCULES"},
    {"m_sel_min", "Mettre en minuscules"},
    {"m_fonte_sel", "Choisir une Police"},
    {"m_titre", "TITRER"},
    {"m_souligner", "Souligner"},
    {"m_gras", "Mettre en Gras"},
    {"m_italique", "Mettre en Italique"},
    {"m_color", "Choisir une Couleur"},
    {"m_gauche", "Aligner à gauche"},
    {"m_centrer", "Centrer"},
    {"m_droite", "Aligner à droite"},
    {"m_save_sel", "Enregistrer sous..."},
    {"m9", "&AIDE"},
    {"m_info", "A propos"},
    {"m_doc", "Aide de l' éditeur"},
    {"m_aide_HTM", "Aide au langage HTML"},
};

// The caption of a row; empty for a name that has none.
inline QString caption(const char *name)
{
    for (const Caption &c : kCaptions)
        if (QLatin1StringView(c.name) == QLatin1StringView(name)) return QString::fromUtf8(c.text);
    return QString();
}

} // namespace editortexts
