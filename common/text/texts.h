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

// Every text: its name here, its key, its French text.
#define TALVO_OWN_TEXTS(X) \
    /* reading and saving files */ \
    X(kSystemError, "erreur_systeme", "%1 « %2 » : %3") \
    X(kCannotRead, "lecture_impossible", "Lecture impossible de « %1 » : %2") \
    X(kNotRegular, "pas_ordinaire", "%1 n'est pas un fichier ordinaire : il n'est ni lu ni remplacé.") \
    X(kIsFolder, "est_dossier", "%1 est un dossier, pas un fichier ordinaire : il n'est ni lu ni remplacé.") \
    X(kIsFifo, "est_tube", "%1 est un tube nommé, pas un fichier ordinaire : il n'est ni lu ni remplacé.") \
    X(kIsDevice, "est_peripherique", "%1 est un périphérique, pas un fichier ordinaire : il n'est ni lu ni remplacé.") \
    X(kQuoted, "cite", "« %1 »") \
    X(kLinkTo, "lien_vers", "« %1 » (lien vers « %2 »)") \
    X(kNotAPicture, "pas_une_image", "« %1 » n'est pas une image JPEG, GIF, PNG ou BMP lisible.") \
    X(kTooBig, "trop_grand", "« %1 » est trop grand (plus de %2 Mio) : il n'a pas été lu.") \
    X(kReadOnlyFile, "lecture_seule", "Le fichier « %1 » est en lecture seule : il n'a pas été modifié.") \
    X(kCannotWriteFolder, "dossier_non_inscriptible", "Impossible d'écrire dans le dossier") \
    X(kCannotSetMode, "droits_impossibles", "Impossible de régler les droits de") \
    X(kCannotWrite, "ecriture_impossible", "Écriture impossible de") \
    X(kCannotSync, "ecriture_disque_impossible", "Écriture sur le disque impossible de") \
    X(kCannotReplace, "remplacement_impossible", "Remplacement impossible de") \
    X(kNothingToSave, "rien_a_enregistrer", "Aucun fichier à enregistrer.") \
    X(kFileNotFound, "fichier_introuvable", "Fichier introuvable « %1 »") \
    X(kCannotRemove, "suppression_impossible", "Impossible de supprimer « %1 »") \
    X(kCannotTrash, "corbeille_impossible", "« %1 » n'a pas pu être mis à la corbeille : il est resté à sa place.") \
    X(kCannotCreate, "creation_impossible", "Impossible de créer « %1 »") \
    X(kCannotCreateFolder, "dossier_impossible", "Impossible de créer le dossier « %1 »") \
    X(kCannotCopyShipped, "copie_impossible", "Le fichier livré « %1 » n'a pas pu être copié dans « %2 » : %3") \
    /* the folder's lock */ \
    X(kCannotLock, "verrou_impossible", "Impossible de verrouiller le catalogue « %1 » : %2") \
    X(kBusy, "catalogue_occupe", "Le catalogue « %1 » est occupé par un autre programme%2 : rien n'a été modifié. Réessayez dans un instant.") \
    X(kNotLocked, "hors_verrou", "« %1 » n'est pas dans le catalogue verrouillé « %2 » : rien n'a été modifié.") \
    /* characters and fields */ \
    X(kUnencodable, "caractere_inconnu", "Le caractère « %1 » (U+%2) ne peut pas être enregistré : il n'existe pas dans le jeu de caractères des fichiers du catalogue (Windows-1252).") \
    X(kControlCharacter, "caractere_controle", "Le caractère de contrôle U+%1 ne peut pas être enregistré : il agirait sur l'écran ou l'imprimante au lieu de s'afficher.") \
    X(kFieldOneLine, "champ_une_ligne", "Le champ %1 ne peut pas tenir sur plusieurs lignes.") \
    X(kFieldProblem, "champ_probleme", "Champ %1 : %2") \
    X(kFieldSeparator, "champ_separateur", "Le champ %1 ne peut pas contenir le caractère « %2 ».") \
    X(kFieldKey, "rubrique_cle", "TEXTE-CLE") \
    X(kFieldDate, "rubrique_date", "Date") \
    X(kFieldSupport, "rubrique_support", "SUPPORT") \
    X(kFieldCategory, "rubrique_categorie", "CATEGORIE") \
    X(kFieldNote, "rubrique_note", "NOTE") \
    X(kFieldTarget, "rubrique_cible", "FICHIER / URL / BAL") \
    /* the catalogue */ \
    X(kNoSuchRecord, "fiche_absente", "Aucune fiche identique à « %1 » dans « %2 » : elle a peut-être été modifiée ou supprimée entre-temps.") \
    X(kTooLongLines, "lignes_trop_longues", "« %1 » contient %2 ligne(s) de plus de %3 Kio, qui ne sont pas des fiches : il n'a pas été modifié, pour ne rien en perdre. Déplacez-le ou corrigez-le dans un éditeur de texte.") \
    X(kRecordTwice, "fiche_en_double", "La fiche se trouve maintenant deux fois : dans « %1 » (l'ancienne) et dans « %2 » (la nouvelle). Supprimez celle qui est de trop.") \
    X(kUnreadableFiles, "fichiers_illisibles", "Ces fichiers du catalogue n'ont pas pu être lus ; les fiches qu'ils contiennent ne sont ni trouvées ni comptées :") \
    /* first run */ \
    X(kFirstRunTitle, "initialisation_titre", "Initialisation d' TALVO") \
    X(kFirstRunQuestion, "initialisation_question", "Créer les Fichiers de Travail ?") \
    X(kFirstRunRefusal, "initialisation_abandon", "ABANDON : Talvo ne peut fonctionner sans Fichiers de Travail !") \
    X(kCreatingNotes, "creation_notes", "Création d'un Sous-Répertoire NOTES, indispensable à la nouvelle Version d'TALVO") \
    X(kCreatingBackup, "creation_backup", "Création d'un Sous-Répertoire BACKUP, indispensable à la nouvelle Version d'TALVO") \
    X(kSubFolderNotFolder, "sous_dossier_occupe", "Le sous-répertoire %1 n'a pas pu être créé : « %2 » existe déjà et n'est pas un dossier.") \
    X(kSubFolderFailed, "sous_dossier_impossible", "Le sous-répertoire %1 n'a pas pu être créé dans « %2 ».") \
    /* windows */ \
    X(kNoTitle, "sans_titre", "Pas de Titre") \
    X(kNotYetAvailable, "pas_disponible", "Cette commande n'est pas encore disponible.") \
    X(kCannotStart, "lancement_impossible", "Impossible de lancer « %1 ».") \
    X(kCloseWithoutSettings, "fermer_sans_reglages", "Fermer Talvo sans enregistrer ses réglages ?") \
    X(kStopShowing, "ne_plus_afficher", "Ne plus afficher ce message pendant cette recherche ?") \
    X(kKilobytes, "kilo_octets", "%1 Ko") \
    X(kUnreadableSettings, "reglages_illisibles", "Les réglages de « %1 » n'ont pas pu être lus ; Talvo démarre avec ses réglages par défaut.") \
    /* the command-line tool */ \
    X(kNoCatalogue, "pas_de_catalogue", "« %1 » ne contient pas de catalogue (pas de A.MFI) : créez-le d'abord avec « talvo5-cli init ».") \
    X(kAlreadyThere, "catalogue_existant", "Les fichiers de travail existent déjà dans %1") \
    X(kNoBackup, "pas_de_backup", "Aucune sauvegarde complète dans « %1 ».") \
    X(kNoSuchBackup, "backup_inconnu", "Aucune sauvegarde « %1 » : « talvo5-cli restore --list » les nomme.") \
    X(kBackupIncomplete, "backup_incomplet", "La sauvegarde « %1 » n'est plus complète : rien n'a été restauré.") \
    X(kBackupMade, "backup_fait", "Sauvegarde du %1 faite : %2 fiche(s), dans « %3 ».") \
    X(kRestored, "restauration_faite", "Le catalogue est revenu à la sauvegarde du %1 (%2 fiche(s)) ; celui d'avant est gardé comme une sauvegarde, et « Annuler la dernière opération » le remet.") \
    X(kRestoreTitle, "titre_restauration", "Restauration de la sauvegarde du %1") \
    X(kBackupLine, "ligne_backup", "%1   %2   %3 fiche(s)") \
    X(kLegacyBackup, "backup_ancien", "%1   ancien   sauvegarde de l'ancienne forme, non vérifiée") \
    X(kChooseBackup, "choisir_backup", "La sauvegarde à restaurer (le catalogue d'avant sera gardé comme une sauvegarde) :") \
    X(kNoIdenticalRecord, "aucune_fiche_identique", "Aucune fiche identique à « %1 » dans le catalogue.") \
    X(kNeedsValue, "option_sans_valeur", "l'option %1 demande une valeur") \
    X(kUnknownOption, "option_inconnue", "option inconnue %1") \
    X(kUnknownCommand, "commande_inconnue", "commande inconnue %1") \
    X(kUnknownField, "rubrique_inconnue", "rubrique inconnue %1") \
    X(kNoArgument, "sans_argument", "%1 ne prend pas d'argument") \
    X(kOptionsOnly, "options_seules", "%1 ne prend que des options") \
    X(kTakesArguments, "arguments_attendus", "%1 attend %2") \
    X(kNeedsKeyAndCategory, "cle_et_categorie", "add demande --key et --category") \
    X(kNotEmpty, "pas_vide", "%1 ne peut pas être vide") \
    X(kNoEmptyArgument, "argument_vide", "%1 ne prend pas d'argument vide") \
    X(kUsage, "usage", "usage : talvo5-cli [--home DOSSIER] COMMANDE [ARGUMENTS]") \
    X(kSyntaxSearch, "syntaxe_search", "search TEXTE [--field F] [--count]") \
    X(kSyntaxAdd, "syntaxe_add", "add --key CLE --category CAT [--date D] [--support S] [--note N] [--target CIBLE]") \
    X(kSyntaxDelete, "syntaxe_delete", "delete LIGNE") \
    X(kSyntaxReplace, "syntaxe_replace", "replace ANCIENNE NOUVELLE") \
    X(kUsageInit, "usage_init", "créer les fichiers de travail d'un nouveau catalogue") \
    X(kUsageSearch, "usage_search", "afficher les fiches qui contiennent TEXTE (F : key, date, support, category, note ou target ; toute la ligne par défaut)") \
    X(kUsageAdd, "usage_add", "ajouter une fiche") \
    X(kUsageDelete, "usage_delete", "supprimer toute fiche identique à LIGNE") \
    X(kUsageReplace, "usage_replace", "réécrire une fiche") \
    X(kUsageBackup, "usage_backup", "faire une sauvegarde datée du catalogue dans le sous-répertoire BACKUP (les N dernières sont gardées, 10 par défaut)") \
    X(kSyntaxBackup, "syntaxe_backup", "backup [--keep N]") \
    X(kSyntaxRestore, "syntaxe_restore", "restore [--list] [--keep N] [DATE]") \
    X(kUsageRestore, "usage_restore", "remettre le catalogue comme le tenait la dernière sauvegarde complète, ou celle de DATE ; avec --list, nommer les sauvegardes") \
    X(kUsageFolder, "usage_dossier", "Le dossier du programme est DOSSIER, sinon $TALVO5_HOME, sinon le dossier de l'exécutable s'il contient les fichiers de langue, sinon $XDG_DATA_HOME/talvo5.") \
    /* the record forms: shared */ \
    X(kSupportNotMounted, "support_absent", "Insérez le support «%1»") \
    X(kSyntaxResolve, "syntaxe_resolve", "resolve LIGNE") \
    X(kUsageResolve, "usage_resolve", "afficher le chemin qu'ouvrirait la fiche LIGNE, sur le volume qui porte son support") \
    X(kPictureUnreadable, "image_illisible", "L'image « %1 » n'a pas pu être lue : %2") \
    X(kPictureTooLarge, "image_trop_grande", "L'image « %1 » est trop grande (%2 × %3 pixels) : elle n'est pas affichée.") \
    /* the entry form, the support and category dialogs */ \
    X(kStoreBeforeClosing, "enregistrer_avant_fermer", "Enregistrer la fiche « %1 » avant de fermer ? Non abandonne ce qui a été tapé.") \
    X(kChooseCategoryFirst, "choisir_categorie", "Choisissez d'abord la catégorie de la fiche.") \
    /* the record card and the print-field dialog */ \
    X(kTrashTargetQuestion, "question_corbeille_cible", "Mettre aussi le fichier de la fiche, « %1 », à la corbeille ?") \
    X(kDeleteForGoodQuestion, "question_suppression_definitive", "Le disque du fichier de la fiche, « %1 », n'a pas de corbeille : supprimer ce fichier définitivement ?") \
    X(kTrashed, "mis_a_la_corbeille", "« %1 » est dans la corbeille.") \
    X(kRecordChangedOnDisk, "fiche_changee_sur_disque", "Un autre programme a modifié ou supprimé cette fiche depuis son ouverture : vos changements ne sont pas enregistrés, ils restent dans la fiche. Les enregistrer comme une nouvelle fiche ?") \
    /* the search form and the configuration dialog */ \
    X(kHistoryNotKept, "historique_non_garde", "Le mot-clé « %1 » n'a pas été gardé dans l'historique des recherches : %2") \
    X(kHistoryUnchanged, "historique_inchange", "L'historique des recherches n'a pas été modifié : %1") \
    /* undoing an operation of many records */ \
    X(kBatchQuestion, "question_operation", "%1 fiche(s) vont être modifiées dans %2 fichier(s) du catalogue. Continuer ?") \
    X(kBatchTooLong, "operation_trop_longue", "%1 fiche(s) dépasseraient %2 caractères : rien n'a été modifié.") \
    X(kReplacementSeparator, "remplacement_separateur", "Le remplacement ne peut pas faire apparaître ou disparaître le séparateur « %1 » : les rubriques des fiches seraient décalées. Rien n'a été modifié.") \
    X(kImportQuestion, "question_importation", "%1 fiche(s) vont être ajoutées dans %2 fichier(s) du catalogue. Continuer ?") \
    X(kNotUndoable, "operation_sans_annulation", "L'opération est faite, mais elle ne pourra pas être annulée : %1") \
    X(kUndoQuestion, "question_annulation", "Annuler l'opération « %1 » du %2 ? Ces fichiers reprendront leur contenu d'avant : %3") \
    X(kNothingToUndo, "rien_a_annuler", "Aucune opération à annuler.") \
    X(kUndoChangedSince, "annulation_refusee", "L'opération « %1 » ne peut plus être annulée : ces fichiers ont changé depuis : %2") \
    X(kUndoDamaged, "copies_abimees", "les copies gardées pour annuler l'opération sont abîmées") \
    X(kUndone, "operation_annulee", "L'opération « %1 » est annulée.") \
    X(kAddRecordTitle, "titre_ajout_fiche", "Ajout de la fiche %1") \
    X(kEditRecordTitle, "titre_modification_fiche", "Modification de la fiche %1") \
    X(kDeleteRecordTitle, "titre_suppression_fiche", "Suppression de la fiche %1") \
    X(kInterruptedOperation, "operation_interrompue", "L'opération « %1 » du %2 a été interrompue avant sa fin : ses fichiers ont été remis comme avant elle, avant toute autre modification : %3") \
    X(kNothingChanged, "rien_de_change", "aucun n'avait encore changé") \
    /* operations on many records from the command line */ \
    X(kSyntaxReplaceAll, "syntaxe_replace_all", "replace-all TEXTE REMPLACEMENT [--field F] [--dry-run]") \
    X(kUsageReplaceAll, "usage_replace_all", "remplacer dans chaque fiche la première occurrence de TEXTE (MAJUSCULE <> minuscule) ; avec F, dans cette rubrique seulement : la clé qui finit par TEXTE (key), la rubrique égale à TEXTE (support, category, note), la cible qui commence par TEXTE (target)") \
    X(kSyntaxGiveSupport, "syntaxe_give_support", "support-add TEXTE SUPPORT [--dry-run]") \
    X(kUsageGiveSupport, "usage_give_support", "donner SUPPORT aux fiches sans support qui contiennent TEXTE") \
    X(kSyntaxRemoveSupport, "syntaxe_remove_support", "support-remove SUPPORT [--dry-run]") \
    X(kUsageRemoveSupport, "usage_remove_support", "retirer SUPPORT de toutes les fiches qui le portent") \
    X(kSyntaxImport, "syntaxe_import", "import FICHIER [--dry-run]") \
    X(kUsageImport, "usage_import", "ajouter les fiches d'un fichier de fiches (MFI)") \
    X(kSyntaxImportList, "syntaxe_import_list", "import-text FICHIER --category CATEGORIE [--dry-run]") \
    X(kUsageImportList, "usage_import_list", "ajouter une fiche de CATEGORIE par ligne TEXTE-CLE#NOTE du fichier") \
    X(kUsageUndo, "usage_undo", "annuler la dernière opération sur plusieurs fiches, si ses fichiers n'ont pas changé depuis") \
    X(kUsageDryRun, "usage_dry_run", "Avec --dry-run, une opération dit seulement ce qu'elle changerait.") \
    X(kCliChanged, "fiches_changees", "%1 fiche(s) dans %2 fichier(s)") \
    X(kCliRejected, "lignes_rejetees", "%1 ligne(s) rejetée(s)") \
    X(kRejectedLine, "ligne_rejetee", "ligne %1 : « %2 » : %3") \
    X(kRejectEmpty, "rejet_vide", "ligne vide") \
    X(kRejectFirst, "rejet_premier", "commence par « %1 », pas par un chiffre ou une capitale de A à Z") \
    X(kRejectSeparators, "rejet_separateurs", "il y manque « # » ou « § »") \
    X(kRejectNoHash, "rejet_diese", "il y manque le « # » entre le texte-clé et la note") \
    X(kRejectSection, "rejet_paragraphe", "contient « § », le séparateur de la cible") \
    X(kRejectTooLong, "rejet_trop_longue", "plus de %1 caractères") \
    X(kImportUtf16, "import_utf16", "« %1 » est un texte UTF-16 : enregistrez-le en UTF-8 ou en Windows-1252 pour l'importer. Rien n'a été importé.") \
    X(kImportCrOnly, "import_cr_seul", "Les lignes de « %1 » finissent par un CR seul (ancien Macintosh) : convertissez-les en CR LF ou en LF pour l'importer. Rien n'a été importé.") \
    /* pictures and the volumes of supports */ \
    X(kPictureTooSmall, "image_trop_petite", "L'image « %1 » est trop petite (%2 × %3 pixels) pour la vignette.") \
    X(kUsageLock, "usage_verrou", "Les commandes qui modifient le catalogue attendent quelques secondes ($TALVO_LOCK_WAIT_MS) qu'un autre programme ait fini de le modifier. Les caractères de contrôle sont affichés en \\xNN.") \
    /* the analysis */ \
    X(kUsageAnalyse, "usage_analyse", "vérifier chaque fiche, compléter les listes des catégories et des supports avec ce que les fiches utilisent et écrire le bilan bilan.txt ; avec --prune, retirer des listes ce qu'aucune fiche n'utilise") \
    X(kSyntaxAnalyse, "syntaxe_analyse", "analyse [--prune]") \
    X(kAnalysisFailed, "analyse_impossible", "L'analyse du catalogue n'a pas pu se faire : %1") \
    X(kAnalysisTitle, "titre_analyse", "Analyse du catalogue") \
    X(kPruneTitle, "titre_elagage", "Retrait des catégories et supports inutilisés") \
    X(kUnusedCategories, "categories_inutilisees", "%1 catégorie(s) de la liste ne servent à aucune fiche ; elles restent dans la liste :") \
    X(kUnusedSupports, "supports_inutilises", "%1 support(s) de la liste ne servent à aucune fiche ; ils restent dans la liste :") \
    X(kRemovedFromList, "retires_de_la_liste", "%1 nom(s) qui ne servaient à aucune fiche ont été retirés de la liste :") \
    X(kPruneQuestion, "question_elagage", "%1 catégorie(s) et %2 support(s) des listes ne servent à aucune fiche (le bilan les nomme). Les retirer des listes ? Cela pourra être annulé.") \
    X(kStopShowingAnalysis, "ne_plus_afficher_analyse", "Ne plus afficher ces fiches pendant cette analyse ? Elles restent dans le bilan.") \
    /* lists written from the found records */ \
    X(kSyntaxExport, "syntaxe_export", "export FICHIER [--search TEXTE [--field F]]") \
    X(kUsageExport, "usage_export", "écrire dans FICHIER, au format de l'importation, les fiches que search TEXTE afficherait (toutes sans --search)") \
    X(kSyntaxDeleteFound, "syntaxe_delete_found", "delete-found TEXTE [--field F] [--dry-run]") \
    X(kUsageDeleteFound, "usage_delete_found", "supprimer du catalogue chaque fiche que search TEXTE afficherait") \
    X(kUsageKeywords, "usage_keywords", "écrire la liste Mots_Cles.txt des textes-clés de toutes les fiches") \
    X(kSyntaxPrintList, "syntaxe_print_list", "print-list --columns|--cards [--search TEXTE [--field F]]") \
    X(kUsagePrintList, "usage_print_list", "écrire la liste d'impression liste.txt des fiches trouvées : en colonnes, chacune à la largeur de son plus long texte, ou en fiches") \
    X(kCliWritten, "liste_ecrite", "%1 fiche(s) dans %2") \
    X(kUsageHelp, "usage_help", "Chaque commande suivie de --help dit ce qu'elle fait.") \
    X(kUsageLanguage, "usage_langue", "L'outil parle anglais quand la première des variables $LC_ALL, $LC_MESSAGES et $LANG qui est définie commence par « en », sinon la langue choisie en dernier dans la fenêtre.") \
    X(kFieldWithoutSearch, "rubrique_sans_recherche", "--field ne vaut qu'avec --search") \
    /* the finder of files no record mentions */ \
    X(kSyntaxUncatalogued, "syntaxe_uncatalogued", "uncatalogued DOSSIER [--pattern MODELE]") \
    X(kUsageUncatalogued, "usage_uncatalogued", "afficher chaque fichier de DOSSIER dont aucune fiche n'a le chemin exact pour fichier (MODELE : *.JPG, *.* par défaut), puis les trois compteurs") \
    X(kFinderCounts, "compteurs_oublies", "%1 fichier(s) analysé(s), %2 fiche(s) associée(s), %3 fichier(s) non répertorié(s)") \
    X(kNotAFolderToSearch, "pas_un_dossier", "« %1 » n'est pas un dossier qui se lit.") \
    X(kFinderVanished, "fichier_disparu", "Le fichier « %1 » n'existe plus.") \
    X(kFinderActionFailed, "fichier_non_modifie", "Le fichier « %1 » n'a pas pu être modifié : %2") \
    X(kFinderNameNotText, "nom_pas_texte", "Le nom de « %1 » n'est pas un texte (il vient d'un autre système) : une fiche ne peut pas le nommer, ni la corbeille le prendre. Renommez-le d'abord.") \
    X(kFinderTrashQuestion, "question_corbeille_oublie", "Mettre le fichier « %1 » à la corbeille ?") \
    X(kFinderDeleteForGoodQuestion, "question_suppression_oublie", "Le disque du fichier « %1 » n'a pas de corbeille : supprimer ce fichier définitivement ?") \
    /* the window kept in the notification area */ \
    X(kNoTrayArea, "pas_de_zone_notification", "Le bureau n'a pas de zone de notification : la fenêtre de Talvo reste ouverte.") \
    X(kTrayTip, "bulle_notification", "Talvo : cliquez pour rouvrir la fenêtre") \
    /* the page of the pictures */ \
    X(kSyntaxHtmlPage, "syntaxe_html_page", "html-page NOM --search TEXTE [--field F] [--title TITRE] [--fields CHIFFRES] [--columns N] [--copy-mode 0|1|2] [--parchment]") \
    X(kUsageHtmlPage, "usage_html_page", "écrire dans ~/NOM la page Web des images JPG et GIF des fiches trouvées : CHIFFRES les rubriques sous chaque image (0 clé, 1 note, 2 date, 3 support, 4 catégorie, 5 fichier), N images par ligne ; images en place (0), copiées (1) ou numérotées (2)") \
    X(kCliPageWritten, "page_ecrite", "%1 image(s) dans %2") \
    X(kCliMediumNeeded, "support_a_inserer", "« %1 » est sur le support %2") \
    X(kPageInTheWay, "page_en_travers", "« %1 » n'a pas été écrit par Talvo : la page n'est pas faite, rien n'a changé. Donnez-lui un autre nom.") \
    X(kPageFolderQuestion, "question_dossier_page", "Le dossier « %1 » n'a pas été créé par Talvo. Y écrire la page ? Aucun de ses fichiers ne sera remplacé. Non : la page sera faite dans « %2 ».") \
    X(kPageQuestion, "question_page", "Le fichier « %1 » n'a pas été écrit par Talvo. Le remplacer par la page ? Non : la page sera faite dans « %2 ».")

#define TALVO_DECLARE_TEXT(name, key, french) inline constexpr Text name{key, french};
TALVO_OWN_TEXTS(TALVO_DECLARE_TEXT)
#undef TALVO_DECLARE_TEXT

#define TALVO_LIST_TEXT(name, key, french) &name,
// All of them, for the checks of the language files.
inline constexpr const Text *kAll[] = {TALVO_OWN_TEXTS(TALVO_LIST_TEXT)};
#undef TALVO_LIST_TEXT

} // namespace texts
