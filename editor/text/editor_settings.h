#pragma once

#include <QString>
#include <QStringList>

namespace editor {

// The editor's settings, kept in redig.ini of the program folder. The file has no sections: each
// line's place gives its meaning (placeholders, font, texts to insert, folders, recent files).
struct EditorSettings
{
    QString placeholder = QStringLiteral("Libre");
    QString fontName = QStringLiteral("Courier New");
    double fontSize = 10; // 0 leaves the text area's size as it is
    bool bold = false;
    QString signature;
    QString closing;
    QString lastFolder; // ends with "/" when set
    QString spellChecker;
    QStringList recent; // oldest first
};

inline constexpr int kMaxRecentFiles = 14;

// The settings that lines give; missing lines keep the defaults, garbage numbers read as 0 and a
// recent-file count beyond the lines present reads the lines there are (the newest 14 at most).
EditorSettings parseSettings(const QStringList &lines);
QStringList settingsLines(const EditorSettings &settings);

// Reads the file; a missing or unreadable file gives the defaults.
EditorSettings readSettings(const QString &path);
// Rewrites the file atomically: Windows-1252 when every character fits, else UTF-8 (a recent path
// of another script must not be lost). False with the reason in errorText.
bool saveSettings(const QString &path, const EditorSettings &settings, QString *errorText);

// Adds path to the recent files unless it is there already, letter case aside; the oldest entry
// goes when the list would hold more than 14. Also remembers path's folder as the last folder.
// Returns whether the list changed.
bool addRecent(EditorSettings *settings, const QString &path);

// A number as the settings file prints it: a positive number after one blank.
QString printedNumber(double value);
// The leading number of a line, 0 when there is none.
double leadingNumber(const QString &line);

} // namespace editor
