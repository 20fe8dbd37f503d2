#include "editor/text/editor_session.h"

#include "common/files/program_folder.h"

#include <QDir>
#include <QFileInfo>

EditorSession::EditorSession(QString programFolder)
    : folder(files::withTrailingSlash(programFolder)),
      scratch_(QDir::tempPath() + QStringLiteral("/redig5-XXXXXX"))
{
}

QString EditorSession::settingsPath() const { return files::findExisting(folder, QStringLiteral("redig.ini")); }

QString EditorSession::snapshotPath(bool plainText) const
{
    return scratch_.filePath(plainText ? QStringLiteral("temp.txt") : QStringLiteral("temp.rtf"));
}

QString EditorSession::untitled(bool plainText) const
{
    return folder + (plainText ? QStringLiteral("SansTitre.txt") : QStringLiteral("SansTitre.rtf"));
}

QString EditorSession::helpDocument(const QString &name) const
{
    const QString own = files::findExisting(folder, name);
    return QFileInfo::exists(own) ? own : files::findExisting(files::shippedDataFolder(), name);
}
