#pragma once

#include "common/profile/profile.h"

#include <QDateTime>
#include <QString>

// The current language file and the lookups in it: numbered messages of section "MSG" and the
// texts of each form's section. A missing file or key gives the default (empty for messages).
// The file is read again when it changed on disk, so a translation being edited shows at once.
class Language
{
public:
    explicit Language(const QString &file = QString());

    const QString &file() const { return file_; }
    void setFile(const QString &file);

    QString LireMessage(int number) const;
    QString text(const QString &section, const QString &key, const QString &defaultValue) const;

private:
    const Profile &profile() const;

    QString file_;
    mutable Profile profile_;
    mutable QDateTime loadedModified_;
    mutable qint64 loadedSize_ = -1;
};
