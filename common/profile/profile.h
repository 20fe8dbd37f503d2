#pragma once

#include <QHash>
#include <QString>

// Reader of private-profile files (sections in square brackets, "key=value" lines), with the
// lookup rules users of such files expect: section and key names compared without case, the first
// occurrence wins, blanks around names and values ignored, a value in a matching pair of quotes
// unquoted, the default returned for a missing key, and every result cut to 254 characters. The
// file is read as Windows-1252.
class Profile
{
public:
    static constexpr int kMaxValueLength = 254;

    Profile() = default;
    static Profile fromFile(const QString &path);
    static Profile fromBytes(QByteArrayView data);

    QString value(const QString &section, const QString &key, const QString &defaultValue) const;
    bool contains(const QString &section, const QString &key) const;
    // Every key as "section\nkey" in lower case, with its whole value (not cut).
    const QHash<QString, QString> &entries() const { return values_; }

private:
    QHash<QString, QString> values_; // "section\nkey" in lower case → value
};

// One lookup in one file, reading the file each time.
QString LireIni(const QString &file, const QString &section, const QString &key,
                const QString &defaultValue);
