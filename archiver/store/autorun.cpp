#include "archiver/store/autorun.h"

#include "common/files/atomic_file.h"
#include "common/text/line_file.h"
#include "common/text/texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace autorun {
namespace {

// Exec= quoting of desktop entries: an argument with blanks or special characters is quoted, with
// a backslash before ", `, $ and \; a % is doubled.
QString quoted(const QString &argument)
{
    static const QString special = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needs = false;
    for (QChar c : argument)
        needs = needs || special.contains(c);
    QString out;
    for (QChar c : argument) {
        if (needs && (c == u'"' || c == u'`' || c == u'$' || c == u'\\')) out += u'\\';
        out += c;
        if (c == u'%') out += u'%';
    }
    return needs ? u'"' + out + u'"' : out;
}

// The command line of an Exec= value, quoting undone.
QString unquoted(const QString &value)
{
    QString out;
    bool inQuotes = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'"') {
            inQuotes = !inQuotes;
        } else if (c == u'\\' && inQuotes && i + 1 < value.size()) {
            out += value[++i];
        } else if (c == u'%' && i + 1 < value.size() && value[i + 1] == u'%') {
            out += c;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

QString entryFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/talvo5.desktop");
}

bool EcrireAutorun(const QStringList &commandLine, QString *errorText)
{
    const QString file = entryFile();
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        if (errorText) *errorText = texts::get(texts::kCannotCreate).arg(QFileInfo(file).absolutePath());
        return false;
    }
    const QString body = QStringLiteral("[Desktop Entry]\nType=Application\nName=Talvo5\n"
                                        "Comment=Archiveur de documents\nExec=%1\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg([&] {
                                 QStringList parts;
                                 for (const QString &a : commandLine)
                                     parts.append(quoted(a));
                                 return parts.join(u' ');
                             }());
    return files::saveAtomically(file, body.toUtf8(), errorText);
}

QString LireAutorun(const QString &defaultValue)
{
    const auto data = linefile::readFile(entryFile());
    if (!data) return defaultValue;
    QString command;
    for (const QByteArray &raw : linefile::splitLines(*data)) {
        const QByteArray line = raw.trimmed();
        // An entry the desktop has switched off starts nothing.
        if (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false") return defaultValue;
        if (line.startsWith("Exec=") && command.isEmpty())
            command = unquoted(QString::fromUtf8(line.mid(5)).trimmed());
    }
    return command.isEmpty() ? defaultValue : command;
}

bool EffacerAutorun() { return !QFileInfo::exists(entryFile()) || QFile::remove(entryFile()); }

} // namespace autorun
