#pragma once

#include <QString>
#include <QStringList>

// Starting the archiver with the session: an autostart entry talvo5.desktop in the user's
// autostart folder ($XDG_CONFIG_HOME/autostart). Reading it back gives the command it starts, or
// the default when there is none.
namespace autorun {

inline constexpr char kNone[] = "Pas d'Autorun";

QString entryFile();
// Writes the entry that starts commandLine (the program, then its arguments).
bool EcrireAutorun(const QStringList &commandLine, QString *errorText = nullptr);
// The command the entry starts, as written in it; the default when there is no entry or the
// desktop has switched it off.
QString LireAutorun(const QString &defaultValue = QLatin1String(kNone));
bool EffacerAutorun();

} // namespace autorun
