#include "archiver/store/language.h"

#include <QFileInfo>

Language::Language(const QString &file) { setFile(file); }

void Language::setFile(const QString &file)
{
    file_ = file;
    profile_ = Profile();
    loadedSize_ = -1;
    loadedModified_ = QDateTime();
}

const Profile &Language::profile() const
{
    if (file_.isEmpty()) return profile_;
    const QFileInfo info(file_);
    const qint64 size = info.exists() ? info.size() : -2;
    const QDateTime modified = info.lastModified();
    if (size != loadedSize_ || modified != loadedModified_) {
        profile_ = Profile::fromFile(file_);
        loadedSize_ = size;
        loadedModified_ = modified;
    }
    return profile_;
}

QString Language::LireMessage(int number) const
{
    return profile().value(QStringLiteral("MSG"), QString::number(number), QString());
}

QString Language::text(const QString &section, const QString &key, const QString &defaultValue) const
{
    return profile().value(section, key, defaultValue);
}
