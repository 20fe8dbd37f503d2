#pragma once

#include <QString>

// The words the editor and the viewer share, about saving their documents. Neither has a
// language file: they are French.
namespace companiontexts {

inline QString rewrite() { return QStringLiteral("Ré-écrire ?"); }
inline QString fileExists() { return QStringLiteral("Ce fichier existe déjà..."); }
inline QString keepAsUtf8(const QString &refusal)
{
    return refusal + QStringLiteral("\n\nEnregistrer le document en UTF-8, qui garde tous les caractères ?");
}
inline QString staysUtf8(const QString &refusal) { return refusal + QStringLiteral("\n\nLe document reste en UTF-8."); }
inline QString replacing() { return QStringLiteral("Remplacement en cours..."); }

} // namespace companiontexts
