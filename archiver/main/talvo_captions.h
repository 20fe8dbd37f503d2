#pragma once

#include <QString>

// The captions of the main window's menus and their entries, by the name of their row: what the
// window shows until a language file gives its own.
namespace talvotexts {

struct Caption
{
    const char *name; // UTF-8
    const char *text; // UTF-8
};

inline constexpr Caption kCaptions[] = {
    {"m_Bureau", "&Bureau"},
    {"m18", "&Langage"},
    {"m_fichiers", "&Données"},
    {"m10", "&Importer des Données"},
    {"m3", "La &Liste"},
    {"m_divers", "&Outils"},
    {"m_infos", "&A propos"},
    {"m_config", "&Configurer"},
    {"m_systray", "&Placer Talvo près de l' Horloge"},
    {"m_autorun", "&Mettre Talvo en AutoRun"},
    {"m_kill_Autorun", "&Enlever Talvo de l'AutoRun"},
    {"m_dessus", "&Fenètre Talvo toujours au-dessus"},
    {"m_traduc", "Edi&ter"},
    {"m_bilan", "&Analyser"},
    {"m_lister_clés", "&Lister les Mots-Clés"},
    {"m_backup", "&Backup"},
    {"m_restaure", "&Restauration"},
    {"m_remplacer", "Re&mplacements multiples"},
    {"m_supp", "A&jouter un Support"},
    {"m_kill_support", "&Supprimer un Support"},
    {"m_annuler", "A&nnuler la dernière opération"},
    {"m_import", "au format &Talvo"},
    {"m_importer", "au format T&XT"},
    {"m_editer_liste", "&Editer la dernière Liste d' Impression"},
    {"m_imprimer", "&Imprimer"},
    {"m_affiner", "&Affiner"},
    {"m_suppr", "&Supprimer de la Base de Données"},
    {"m_sauver", "Sauvegarder pour une e&xportation (MFI)"},
    {"m_sauver_alb", "&Zipper les Fichiers associés"},
    {"m_album", "Créer une page de &Vignettes des Images"},
    {"m_html", "Créer une page &Web des Images au rapport 1:1"},
    {"m12", "FICHIER..."},
    {"m_zip", "&Zipper/Dézipper"},
    {"m_seek", "&Prospecter, Liste détaillée, Attribut Archive"},
    {"m_oublies", "&Rechercher des Fichiers oubliés"},
    {"m_inventaire", "C&ataloguer des Supports"},
    {"m_octets", "Edi&ter en Hexa"},
    {"m_fractionner", "Découper un &Fichier"},
    {"m_synchro", "S&ynchroniser"},
    {"m_crypt", "&Crypter/décrypter"},
    {"m_viewer", "&IMAGES"},
    {"m11", "TEXTE..."},
    {"m_texte", "Edite&ur TXT/RTF"},
    {"m_doublons", "Recherche de &Doublons dans un fichier ASCII"},
    {"m_compare", "Comparer &2 Fichiers ASCII"},
    {"m_find", "Rechercher un &Mot-Clé dans tout Fichier ASCII"},
    {"m_web", "Editeur &Web"},
    {"m_allegerpage", "Simplificateur de Code &HTML"},
    {"m_sons", "&SON"},
    {"m15", "SYSTEME..."},
    {"m_sys", "I&nfos"},
    {"m_moniteur", "Contrô&leur d' Applications"},
    {"m_xy", "Loupe, Coord. &XY et Couleur Pointeur"},
    {"m_conv", "Con&versions (Déc-Bin-Hexa-RVB)"},
    {"m_memento", "M&emento"},
    {"m_regedit", "Editeur de Re&gistre"},
    {"m_dos", "C&ommandes DOS"},
    {"m_notes", "&Bloc-notes"},
    {"m_recherche", "&RECHERCHE"},
    {"m_editer_aide", "&Aide"},
};

inline QString caption(const char *name)
{
    for (const Caption &c : kCaptions)
        if (qstrcmp(c.name, name) == 0) return QString::fromUtf8(c.text);
    return QString();
}

} // namespace talvotexts
