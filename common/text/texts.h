#pragma once

// The programs' own texts: every word the programs show that is not a numbered message of the
// language files (errors of the files and the lock, refusals, launch failures, the command-line
// tool's usage...). Each has a key of section [Textes] of the language files and its French text
// here, used when the current language file and the shipped one lack the key. "%1", "%2" are
// filled with QString::arg.

#include <QString>

namespace texts {

struct Text
{
    const char *key;    // in section [Textes]
    const char *french; // UTF-8
};

// The text in the current language: the language installed by the program (Language::install),
// else the French text.
QString get(const Text &text);

// The section of the language files that holds these texts, and the context under which the
// installed language answers for them.
inline constexpr char kSection[] = "Textes";

// ---- reading and saving files ----
inline constexpr Text kSystemError{"erreur_systeme", "%1 « %2 » : %3"};
inline constexpr Text kCannotRead{"lecture_impossible", "Lecture impossible de « %1 » : %2"};
inline constexpr Text kNotRegular{"pas_ordinaire", "%1 n'est pas un fichier ordinaire : il n'est ni lu ni remplacé."};
inline constexpr Text kIsFolder{"est_dossier", "%1 est un dossier, pas un fichier ordinaire : il n'est ni lu ni remplacé."};
inline constexpr Text kIsFifo{"est_tube", "%1 est un tube nommé, pas un fichier ordinaire : il n'est ni lu ni remplacé."};
inline constexpr Text kIsDevice{"est_peripherique", "%1 est un périphérique, pas un fichier ordinaire : il n'est ni lu ni remplacé."};
inline constexpr Text kQuoted{"cite", "« %1 »"};
inline constexpr Text kLinkTo{"lien_vers", "« %1 » (lien vers « %2 »)"};
inline constexpr Text kTooBig{"trop_grand", "« %1 » est trop grand (plus de %2 Mio) : il n'a pas été lu."};
inline constexpr Text kReadOnlyFile{"lecture_seule", "Le fichier « %1 » est en lecture seule : il n'a pas été modifié."};
inline constexpr Text kCannotWriteFolder{"dossier_non_inscriptible", "Impossible d'écrire dans le dossier"};
inline constexpr Text kCannotSetMode{"droits_impossibles", "Impossible de régler les droits de"};
inline constexpr Text kCannotWrite{"ecriture_impossible", "Écriture impossible de"};
inline constexpr Text kCannotSync{"ecriture_disque_impossible", "Écriture sur le disque impossible de"};
inline constexpr Text kCannotReplace{"remplacement_impossible", "Remplacement impossible de"};
inline constexpr Text kNothingToSave{"rien_a_enregistrer", "Aucun fichier à enregistrer."};
inline constexpr Text kFileNotFound{"fichier_introuvable", "Fichier introuvable « %1 »"};
inline constexpr Text kCannotRemove{"suppression_impossible", "Impossible de supprimer « %1 »"};
inline constexpr Text kCannotCreate{"creation_impossible", "Impossible de créer « %1 »"};
inline constexpr Text kCannotCreateFolder{"dossier_impossible", "Impossible de créer le dossier « %1 »"};
inline constexpr Text kCannotCopyShipped{"copie_impossible", "Le fichier livré « %1 » n'a pas pu être copié dans « %2 » : %3"};

// ---- the folder's lock ----
inline constexpr Text kCannotLock{"verrou_impossible", "Impossible de verrouiller le catalogue « %1 » : %2"};
inline constexpr Text kBusy{"catalogue_occupe", "Le catalogue « %1 » est occupé par un autre programme%2 : rien n'a été modifié. Réessayez dans un instant."};
inline constexpr Text kNotLocked{"hors_verrou", "« %1 » n'est pas dans le catalogue verrouillé « %2 » : rien n'a été modifié."};

// ---- characters and fields ----
inline constexpr Text kUnencodable{"caractere_inconnu", "Le caractère « %1 » (U+%2) ne peut pas être enregistré : il n'existe pas dans le jeu de caractères des fichiers du catalogue (Windows-1252)."};
inline constexpr Text kControlCharacter{"caractere_controle", "Le caractère de contrôle U+%1 ne peut pas être enregistré : il agirait sur l'écran ou l'imprimante au lieu de s'afficher."};
inline constexpr Text kFieldOneLine{"champ_une_ligne", "Le champ %1 ne peut pas tenir sur plusieurs lignes."};
inline constexpr Text kFieldProblem{"champ_probleme", "Champ %1 : %2"};
inline constexpr Text kFieldSeparator{"champ_separateur", "Le champ %1 ne peut pas contenir le caractère « %2 »."};
inline constexpr Text kFieldKey{"rubrique_cle", "TEXTE-CLE"};
inline constexpr Text kFieldDate{"rubrique_date", "Date"};
inline constexpr Text kFieldSupport{"rubrique_support", "SUPPORT"};
inline constexpr Text kFieldCategory{"rubrique_categorie", "CATEGORIE"};
inline constexpr Text kFieldNote{"rubrique_note", "NOTE"};
inline constexpr Text kFieldTarget{"rubrique_cible", "FICHIER / URL / BAL"};

// ---- the catalogue ----
inline constexpr Text kNoSuchRecord{"fiche_absente", "Aucune fiche identique à « %1 » dans « %2 » : elle a peut-être été modifiée ou supprimée entre-temps."};
inline constexpr Text kTooLongLines{"lignes_trop_longues", "« %1 » contient %2 ligne(s) de plus de %3 Kio, qui ne sont pas des fiches : il n'a pas été modifié, pour ne rien en perdre. Déplacez-le ou corrigez-le dans un éditeur de texte."};
inline constexpr Text kRecordTwice{"fiche_en_double", "La fiche se trouve maintenant deux fois : dans « %1 » (l'ancienne) et dans « %2 » (la nouvelle). Supprimez celle qui est de trop."};
inline constexpr Text kUnreadableFiles{"fichiers_illisibles", "Ces fichiers du catalogue n'ont pas pu être lus ; les fiches qu'ils contiennent manquent à la recherche :"};

// ---- first run ----
inline constexpr Text kFirstRunTitle{"initialisation_titre", "Initialisation d' TALVO"};
inline constexpr Text kFirstRunQuestion{"initialisation_question", "Créer les Fichiers de Travail ?"};
inline constexpr Text kFirstRunRefusal{"initialisation_abandon", "ABANDON : Talvo ne peut fonctionner sans Fichiers de Travail !"};
inline constexpr Text kCreatingNotes{"creation_notes", "Création d'un Sous-Répertoire NOTES, indispensable à la nouvelle Version d'TALVO"};
inline constexpr Text kCreatingBackup{"creation_backup", "Création d'un Sous-Répertoire BACKUP, indispensable à la nouvelle Version d'TALVO"};
inline constexpr Text kSubFolderNotFolder{"sous_dossier_occupe", "Le sous-répertoire %1 n'a pas pu être créé : « %2 » existe déjà et n'est pas un dossier."};
inline constexpr Text kSubFolderFailed{"sous_dossier_impossible", "Le sous-répertoire %1 n'a pas pu être créé dans « %2 »."};

// ---- windows ----
inline constexpr Text kNoTitle{"sans_titre", "Pas de Titre"};
inline constexpr Text kNotYetAvailable{"pas_disponible", "Cette commande n'est pas encore disponible."};
inline constexpr Text kCannotStart{"lancement_impossible", "Impossible de lancer « %1 »."};
inline constexpr Text kCloseWithoutSettings{"fermer_sans_reglages", "Fermer Talvo sans enregistrer ses réglages ?"};
inline constexpr Text kStopShowing{"ne_plus_afficher", "Ne plus afficher ce message pendant cette recherche ?"};
inline constexpr Text kKilobytes{"kilo_octets", "%1 Ko"};
inline constexpr Text kUnreadableSettings{"reglages_illisibles", "Les réglages de « %1 » n'ont pas pu être lus ; Talvo démarre avec ses réglages par défaut."};

// ---- the command-line tool ----
inline constexpr Text kNoCatalogue{"pas_de_catalogue", "« %1 » ne contient pas de catalogue (pas de A.MFI) : créez-le d'abord avec « talvo5-cli init »."};
inline constexpr Text kAlreadyThere{"catalogue_existant", "Les fichiers de travail existent déjà dans %1"};
inline constexpr Text kNoBackup{"pas_de_backup", "Aucun backup dans « %1 »."};
inline constexpr Text kNoIdenticalRecord{"aucune_fiche_identique", "Aucune fiche identique à « %1 » dans le catalogue."};
inline constexpr Text kNeedsValue{"option_sans_valeur", "l'option %1 demande une valeur"};
inline constexpr Text kUnknownOption{"option_inconnue", "option inconnue %1"};
inline constexpr Text kUnknownCommand{"commande_inconnue", "commande inconnue %1"};
inline constexpr Text kUnknownField{"rubrique_inconnue", "rubrique inconnue %1"};
inline constexpr Text kNoArgument{"sans_argument", "%1 ne prend pas d'argument"};
inline constexpr Text kOptionsOnly{"options_seules", "%1 ne prend que des options"};
inline constexpr Text kTakesArguments{"arguments_attendus", "%1 attend %2"};
inline constexpr Text kNeedsKeyAndCategory{"cle_et_categorie", "add demande --key et --category"};
inline constexpr Text kNotEmpty{"pas_vide", "%1 ne peut pas être vide"};
inline constexpr Text kNoEmptyArgument{"argument_vide", "%1 ne prend pas d'argument vide"};
inline constexpr Text kUsage{"usage", "usage : talvo5-cli [--home DOSSIER] COMMANDE [ARGUMENTS]"};
inline constexpr Text kSyntaxSearch{"syntaxe_search", "search TEXTE [--field F] [--count]"};
inline constexpr Text kSyntaxAdd{"syntaxe_add", "add --key CLE --category CAT [--date D] [--support S] [--note N] [--target CIBLE]"};
inline constexpr Text kSyntaxDelete{"syntaxe_delete", "delete LIGNE"};
inline constexpr Text kSyntaxReplace{"syntaxe_replace", "replace ANCIENNE NOUVELLE"};
inline constexpr Text kUsageInit{"usage_init", "créer les fichiers de travail d'un nouveau catalogue"};
inline constexpr Text kUsageSearch{"usage_search", "afficher les fiches qui contiennent TEXTE (F : key, date, support, category, note ou target ; toute la ligne par défaut)"};
inline constexpr Text kUsageAdd{"usage_add", "ajouter une fiche"};
inline constexpr Text kUsageDelete{"usage_delete", "supprimer toute fiche identique à LIGNE"};
inline constexpr Text kUsageReplace{"usage_replace", "réécrire une fiche"};
inline constexpr Text kUsageBackup{"usage_backup", "copier le catalogue dans le sous-répertoire BACKUP"};
inline constexpr Text kUsageRestore{"usage_restore", "recopier le dernier backup sur le catalogue"};
inline constexpr Text kUsageFolder{"usage_dossier", "Le dossier du programme est DOSSIER, sinon $TALVO5_HOME, sinon le dossier de l'exécutable s'il contient les fichiers de langue, sinon $XDG_DATA_HOME/talvo5."};
inline constexpr Text kUsageLock{"usage_verrou", "Les commandes qui modifient le catalogue attendent quelques secondes ($TALVO_LOCK_WAIT_MS) qu'un autre programme ait fini de le modifier. Les caractères de contrôle sont affichés en \\xNN."};

} // namespace texts
