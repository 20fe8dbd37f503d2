#pragma once

#include "common/files/folder_lock.h"

#include <QByteArray>
#include <QString>

#include <optional>

// TALVO.INI: despite its name a file of 21 fixed lines read and written in order, numbers written
// with a leading blank when not negative and a trailing blank, true as -1, and "Libre" on every
// unused line.
struct TalvoSettings
{
    static constexpr double kDesignedWindowWidth = 10500; // twips
    static constexpr int kDefaultKeyColumnWidth = 4500;  // twips

    QString zipProgram;                        // line 1
    QString soundFolder;                       // line 2
    QString imageFolder;                       // line 3
    double windowWidth = kDesignedWindowWidth; // line 4, twips
    bool showAssociatedFile = true;            // line 5
    qint32 keyColumnWidth = kDefaultKeyColumnWidth; // line 6
    std::optional<qint32> noteColumnWidth;     // line 7; none: the grid's width − 4500
    qint32 noteCounter = 0;                    // line 8
    qint16 left = 0;                           // line 9, twips
    qint16 top = 0;                            // line 10, twips
    QString lastNote;                          // line 11
};

namespace settings {

inline constexpr char kFree[] = "Libre";

QString settingsFile(const QString &folder);

// Applies a stored file over the values in s. Reading stops quietly where the file ends; number
// lines that read "Libre" keep their value, except line 5 which always applies ("Libre" and any
// non-number read as 0, false). Returns false when the file is absent, or cannot be read (then
// errorText says why).
bool read(const QString &path, TalvoSettings &s, QString *errorText = nullptr);
void apply(QByteArrayView content, TalvoSettings &s);

// The 21 lines as written on close.
std::optional<QByteArray> compose(const TalvoSettings &s, char32_t *badChar = nullptr);
bool write(const files::FolderLock &lock, const QString &path, const TalvoSettings &s, QString *errorText);
// Writes into the file as it is now only the lines where mine differs from base (the settings as
// this program read them), so that lines another program changed meanwhile stay its; the note
// counter never goes back. The file is read again under the lock; a missing or unreadable one is
// written whole. base then holds what the file holds.
bool writeChanges(const files::FolderLock &lock, const QString &path, TalvoSettings &base, TalvoSettings mine,
                  QString *errorText);

// A number as the settings file writes it: " 9015 ", "-1 ".
QString formatNumber(double value);
// The leading numeric value of a line, blanks ignored; 0 when there is none.
double numericValue(const QString &line);

// The folder of the per-user settings file (made when missing); empty when it cannot be made.
QString userSettingsFolder();
// The language file chosen by this user (per-user setting FILES/LNG); empty when none.
QString languageFileSetting();
// The language file to use in folder: the user's choice while it is a regular file, else the
// folder's "francais.lng", so that a catalogue copied from elsewhere still speaks.
QString currentLanguageFile(const QString &folder);
void setLanguageFileSetting(const QString &path);

} // namespace settings
