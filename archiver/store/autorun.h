#pragma once

#include <QString>

// Starting the archiver with the session: an autostart entry talvo5.desktop in the user's
// autostart folder ($XDG_CONFIG_HOME/autostart). Reading it back gives the command it starts, or
// the default when there is none.
namespace autorun {

inline constexpr char kNone[] = "Pas d'Autorun";

QString entryFile();
bool EcrireAutorun(const QString &command, QString *errorText = nullptr);
QString LireAutorun(const QString &defaultValue = QLatin1String(kNone));
bool EffacerAutorun();

} // namespace autorun
