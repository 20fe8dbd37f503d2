#pragma once

#include <QString>

// The image viewer's own words. It has no language file: every message and title is French.
namespace pictexts {

inline QString appName() { return QStringLiteral("Pictel5"); }
// The menus and their entries.
inline QString menuFichier() { return QStringLiteral("&Fichier"); }
inline QString menuImage() { return QStringLiteral("&Image"); }
inline QString entryCharger() { return QStringLiteral("&Charger"); }
inline QString entrySave() { return QStringLiteral("&Sauver"); }
inline QString entrySaveAs() { return QStringLiteral("Sauver s&ous..."); }
inline QString entryTaille() { return QStringLiteral("&Taille"); }
inline QString entryPrint() { return QStringLiteral("&Imprimer"); }
inline QString entryRestaurer() { return QStringLiteral("&Restaurer"); }
inline QString entryInfos() { return QStringLiteral("I&nfos"); }
inline QString aboutDescription() { return QStringLiteral("L'Outil Viewer d'Images d'Talvo"); }
inline QString moveMode() { return QStringLiteral("MODE:Déplacement"); }
inline QString selectionMode() { return QStringLiteral("MODE:Sélection"); }
inline QString openTitle() { return QStringLiteral("Charger"); }
inline QString saveAsTitle() { return QStringLiteral("Sauver sous..."); }
inline QString allPictures() { return QStringLiteral("Images"); }
inline QString allFiles() { return QStringLiteral("Tout"); }
inline QString rewrite() { return QStringLiteral("Ré-écrire ?"); }
inline QString fileExists() { return QStringLiteral("Ce fichier existe déjà..."); }
inline QString unsavedChanges(const QString &path)
{
    return QStringLiteral("L'image « %1 » a été recadrée ou redimensionnée depuis son dernier enregistrement.\n"
                          "Enregistrer les modifications ?")
        .arg(path);
}

inline QString fileNotFound(const QString &path) { return QStringLiteral("Fichier introuvable « %1 ».").arg(path); }
inline QString fileTooBig(const QString &path, qint64 mebibytes)
{
    return QStringLiteral("« %1 » est trop grand (plus de %2 Mio) : il n'a pas été lu.").arg(path).arg(mebibytes);
}
inline QString notAPicture(const QString &path)
{
    return QStringLiteral("« %1 » n'est pas une image d'un format que ce programme sait lire.").arg(path);
}
inline QString pictureTooLarge(int width, int height, qint64 megapixels)
{
    return QStringLiteral("L'image mesure %1 × %2 pixels : ce programme n'en accepte pas de plus de %3 mégapixels, "
                          "ni de plus de 65535 pixels de côté.")
        .arg(width)
        .arg(height)
        .arg(megapixels);
}
inline QString cannotDecode(const QString &path, const QString &reason)
{
    return QStringLiteral("L'image « %1 » n'a pas pu être décodée : %2").arg(path, reason);
}
inline QString cannotDecodeEdited(const QString &reason)
{
    return QStringLiteral("L'image n'a pas pu être préparée : %1").arg(reason);
}
inline QString notEnoughMemory() { return QStringLiteral("mémoire insuffisante."); }
inline QString unknownExtension(const QString &suffix, const QString &writable)
{
    return QStringLiteral("L'extension « .%1 » ne désigne aucun format d'image que ce programme sait écrire.\n"
                          "Choisissez par « Sauver sous... » un nom finissant par l'une de celles-ci : %2")
        .arg(suffix, writable);
}
inline QString cannotEncode(const QString &format, const QString &reason)
{
    return QStringLiteral("L'image n'a pas pu être écrite au format %1 : %2").arg(format.toUpper(), reason);
}
inline QString notSaved(const QString &error) { return QStringLiteral("L'image n'a pas été enregistrée :\n") + error; }
inline QString sizeTooSmall() { return QStringLiteral("La largeur et la hauteur doivent valoir au moins 1 pixel."); }
inline QString notPrinted(const QString &error) { return QStringLiteral("L'image n'a pas été imprimée :\n") + error; }

} // namespace pictexts
