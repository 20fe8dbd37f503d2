#pragma once

#include <QString>

// The editor's own words. It has no language file: every message and title is French. What it
// says as the viewer does is in common/widgets/companion_texts.h.
namespace editortexts {

inline QString aboutDescription() { return QStringLiteral("L' éditeur de texte d' Talvo"); }
inline QString kindPrompt() { return QStringLiteral("0 = Rich Text\n1 = TXT simple"); }
inline QString kindTitle() { return QStringLiteral("TYPE de Texte"); }
inline QString saveQuestion(const QString &caption) { return QStringLiteral("Sauvegarder ") + caption + QStringLiteral(" ?"); }
inline QString notSaved() { return QStringLiteral("Texte non sauvegardé !"); }
inline QString openFilter() { return QStringLiteral("RTF (*.RTF *.rtf);;TXT (*.TXT *.txt);;Tout (*)"); }
inline QString absent(const QString &word) { return word + QStringLiteral(" absent..."); }
inline QString whichWord() { return QStringLiteral("Quel Mot ?"); }
inline QString searchTitle() { return QStringLiteral("RECHERCHER"); }
inline QString endOfText() { return QStringLiteral("Fin de Texte atteinte"); }
inline QString notYetAvailable() { return QStringLiteral("Cette commande n'est pas encore disponible."); }
inline QString settingsNotSaved(const QString &error)
{
    return QStringLiteral("Les réglages de l'éditeur n'ont pas été enregistrés :\n") + error;
}
inline QString notSavedBecause(const QString &error)
{
    return QStringLiteral("Le document n'a pas été enregistré :\n") + error;
}
inline QString snapshotFailed(const QString &error)
{
    return QStringLiteral("L'état du texte n'a pas pu être gardé pour l'annulation :\n") + error;
}
inline QString toUtf8() { return QStringLiteral("en UTF-8"); }
inline QString toWindows1252() { return QStringLiteral("en Windows-1252"); }
inline QString openCancelled() { return QStringLiteral("Ouverture annulée."); }
inline QString openTitle() { return QStringLiteral("OUVRIR"); }
inline QString saveAsTitle() { return QStringLiteral("ENREGISTRER SOUS..."); }
inline QString rtfKind() { return QStringLiteral("RTF"); }
inline QString textKind() { return QStringLiteral("TXT"); }

} // namespace editortexts
