#pragma once

#include "common/profile/profile.h"

#include <QDateTime>
#include <QString>

#include <memory>

class QTranslator;

// The current language file and the lookups in it: numbered messages of section "MSG", the texts
// of each form's section, and the programs' own texts of section [Textes]. A text the file lacks
// (or leaves empty) comes from the shipped file of the same name, then from the French file built
// into the program, so no message is ever empty. The current file is read again when it changed
// on disk, so a translation being edited shows at once.
class Language
{
public:
    // shippedFolder: where the shipped language files are (files::shippedDataFolder()); empty for
    // none.
    explicit Language(const QString &file = QString(), const QString &shippedFolder = QString());
    ~Language();
    Language(const Language &) = delete;
    Language &operator=(const Language &) = delete;

    const QString &file() const { return file_; }
    void setFile(const QString &file);
    void setShippedFolder(const QString &folder);
    const QString &shippedFolder() const { return shippedFolder_; }

    QString LireMessage(int number) const;
    QString text(const QString &section, const QString &key, const QString &defaultValue) const;
    // The text of key in section [Textes] of the file or the shipped one; null when neither has it.
    QString ownText(const QString &key) const;
    // The locale the file names (section [Langue], key "Locale"), "fr" when it names none.
    QString locale() const;

    // Makes this language the one the programs' own texts and Qt's standard buttons speak:
    // installs into the application a translator of section [Textes] and Qt's own translations
    // for the locale, replacing those installed before. Called again after setFile.
    void install();
    // The programs' own texts alone, read from the file when first asked for: what a program
    // that shows none of Qt's own texts needs.
    void installTexts();

private:
    const Profile &current() const;
    const Profile &shipped() const;
    // The first layer that holds a non-empty value.
    QString lookup(const QString &section, const QString &key, bool withBuiltIn) const;

    QString file_;
    QString shippedFolder_;
    mutable Profile profile_;
    mutable QDateTime loadedModified_;
    mutable qint64 loadedSize_ = -1;
    mutable std::unique_ptr<Profile> shipped_;
    std::unique_ptr<QTranslator> textsTranslator_;
    std::unique_ptr<QTranslator> qtTranslator_;
    QString installedLocale_; // of qtTranslator_
};
