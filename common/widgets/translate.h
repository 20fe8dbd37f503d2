#pragma once

#include <QString>

#include <functional>

class QWidget;
class Profile;

// Gives a form the texts of a language file: its title from key "Form.Caption" of the section
// named after the form ("Pas de Titre" when missing), then, for every control and menu entry in
// the form's order, its caption from key name + ".Caption" and its tooltip from name +
// ".ToolTipText", each keeping its current text when the key is missing. An element of a control
// array is named "name(index)", so its keys are "name(index).Caption" and so on.
// lookup(section, key, default) gives a text of the language, or default when it has none.
using TextLookup = std::function<QString(const QString &section, const QString &key, const QString &defaultValue)>;
void TraduireFeuille(QWidget *form, const TextLookup &lookup);
void TraduireFeuille(QWidget *form, const Profile &language);
void TraduireFeuille(QWidget *form, const QString &languageFile);
