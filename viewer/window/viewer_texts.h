#pragma once

#include <QString>

// The viewer's own words. It has no language file: every message and title is French. What it
// says as the editor does is in common/widgets/companion_texts.h.
namespace viewertexts {

inline QString programTitle() { return QStringLiteral("Lisor5"); }

// The menus and their entries, as the window's table lists them.
inline QString menuFichier() { return QStringLiteral("&FICHIER"); }
inline QString menuTexte() { return QStringLiteral("&TEXTE"); }
inline QString menuSelection() { return QStringLiteral("&Sélection"); }
inline QString entryCharger() { return QStringLiteral("Charger"); }
inline QString entrySauver() { return QStringLiteral("Sauver"); }
inline QString entryChercher() { return QStringLiteral("Rechercher un mot"); }
inline QString entrySuivant() { return QStringLiteral("Suivant"); }
inline QString entryRemplacer() { return QStringLiteral("Remplacer"); }
inline QString entryRubriques() { return QStringLiteral("ALLER A UNE &RUBRIQUE"); }
inline QString entryImprimer() { return QStringLiteral("&IMPRIMER"); }
inline QString entryCopier() { return QStringLiteral("&Copier"); }
inline QString entryVert() { return QStringLiteral("en VERT"); }
inline QString entryRouge() { return QStringLiteral("en Rouge"); }
inline QString entryBleu() { return QStringLiteral("en Bleu"); }
inline QString entryNoir() { return QStringLiteral("en NOIR"); }
inline QString entryBlanc() { return QStringLiteral("en BLANC"); }
inline QString entrySouligne() { return QStringLiteral("Souligné"); }
inline QString entryMinuscules() { return QStringLiteral("en minuscules"); }
inline QString entryMajuscules() { return QStringLiteral("en MAJUSCULES"); }
inline QString entryGras() { return QStringLiteral("en Gras"); }
inline QString entryItalique() { return QStringLiteral("en Italique"); }
inline QString entryNormal() { return QStringLiteral("Normal"); }
inline QString entryTrier() { return QStringLiteral("TRIER"); }
inline QString entryInfo() { return QStringLiteral("&?"); }
inline QString aboutDescription() { return QStringLiteral("L' Afficheur de Docs d' TALVO"); }
inline QString openTitle() { return QStringLiteral("Charger"); }
inline QString openFilter() { return QStringLiteral("RTF (*.RTF *.rtf);;TXT (*.TXT *.txt);;INI (*.INI *.ini)"); }
inline QString openCancelled() { return QStringLiteral("Chargement annulé."); }
inline QString saveTitle() { return QStringLiteral("Sauver"); }
inline QString saveCancelled() { return QStringLiteral("Enregistrement annulé."); }
inline QString notSavedBecause(const QString &error)
{
    return QStringLiteral("Le document n'a pas été enregistré :\n") + error;
}
inline QString saveQuestion(const QString &file)
{
    return QStringLiteral("Enregistrer les changements de ") + file + QStringLiteral(" ?");
}
inline QString saveAsUtf8() { return QStringLiteral("Enregistrer en UTF-8"); }
inline QString saveAsWindows1252() { return QStringLiteral("Enregistrer en Windows-1252"); }
inline QString rtfKind() { return QStringLiteral("RTF"); }
inline QString textKind() { return QStringLiteral("TXT"); }
inline QString searchPrompt() { return QStringLiteral("Terme à rechercher :"); }
inline QString endOfText() { return QStringLiteral("Fin de Texte atteinte"); }
inline QString absent(const QString &word) { return word + QStringLiteral(" absent..."); }
inline QString helpLines()
{
    return QStringLiteral("lisor5, l'afficheur de documents de la suite Talvo5\n"
                          "Il peut afficher un fichier TXT ou RTF ou INI\n"
                          "Il crée automatiquement une Liste des Rubriques\n"
                          "chaque rubrique devant être balisée dans le Texte par [ et ] \n"
                          "lisor5 peut s'exécuter avec paramètre :\n"
                          "Exemple : lisor5 vbhelp.txt\n"
                          "NOTE IMPORTANTE : N'utilisez pas de caractères accentués dans les Rubriques...");
}

} // namespace viewertexts
