#pragma once

#include "editor/text/editor_settings.h"

#include <QString>
#include <QTemporaryDir>

// What one run of the editor keeps: its program folder, its settings, the search and replacement
// words shared by find, replace and word deletion, and a private scratch folder (the undo
// snapshot) that goes when the run ends.
struct EditorSession
{
    explicit EditorSession(QString programFolder);

    QString folder; // ends with "/"
    editor::EditorSettings settings;
    QString motCherche;
    qint32 positionRecherche = 1; // 1-based
    QString texteRemplacement;

    QString settingsPath() const;
    // The undo snapshot, in the run's scratch folder.
    QString snapshotPath(bool plainText) const;
    QString untitled(bool plainText) const;
    // A help document: the program folder's copy, else the one shipped with the programs (a
    // program folder made before the document was shipped has none).
    QString helpDocument(const QString &name) const;

private:
    QTemporaryDir scratch_;
};
