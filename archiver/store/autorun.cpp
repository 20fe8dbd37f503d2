#include "archiver/store/autorun.h"

#include "common/files/atomic_file.h"
#include "common/text/line_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace autorun {
namespace {

// Exec= quoting of desktop entries: a path with blanks or special characters is quoted, with
// backslash before ", `, $ and \.
QString quoted(const QString &path)
{
    static const QString special = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needs = false;
    for (QChar c : path)
        needs = needs || special.contains(c);
    if (!needs) return path;
    QString out = QStringLiteral("\"");
    for (QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') out += u'\\';
        out += c;
    }
    return out + u'"';
}

QString unquoted(const QString &value)
{
    if (!value.startsWith(u'"') || !value.endsWith(u'"') || value.size() < 2) return value;
    QString out;
    const QString inner = value.mid(1, value.size() - 2);
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner[i] == u'\\' && i + 1 < inner.size()) ++i;
        out += inner[i];
    }
    return out;
}

} // namespace

QString entryFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/talvo5.desktop");
}

bool EcrireAutorun(const QString &command, QString *errorText)
{
    const QString file = entryFile();
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        if (errorText) *errorText = QStringLiteral("Impossible de créer « %1 »").arg(QFileInfo(file).absolutePath());
        return false;
    }
    const QString body = QStringLiteral("[Desktop Entry]\nType=Application\nName=Talvo5\n"
                                        "Comment=Archiveur de documents\nExec=%1\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(quoted(command));
    return files::saveAtomically(file, body.toUtf8(), errorText);
}

QString LireAutorun(const QString &defaultValue)
{
    const auto data = linefile::readFile(entryFile());
    if (!data) return defaultValue;
    for (const QByteArray &line : linefile::splitLines(*data))
        if (line.startsWith("Exec=")) {
            const QString value = unquoted(QString::fromUtf8(line.mid(5)).trimmed());
            return value.isEmpty() ? defaultValue : value;
        }
    return defaultValue;
}

bool EffacerAutorun() { return !QFileInfo::exists(entryFile()) || QFile::remove(entryFile()); }

} // namespace autorun
