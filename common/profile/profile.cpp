#include "common/profile/profile.h"

#include "common/text/cp1252.h"
#include "common/text/line_file.h"

namespace {

QString lookupKey(const QString &section, const QString &key)
{
    return section.trimmed().toLower() + u'\n' + key.trimmed().toLower();
}

QString cut(const QString &s) { return s.left(Profile::kMaxValueLength); }

} // namespace

Profile Profile::fromFile(const QString &path)
{
    if (path.isEmpty()) return {};
    const auto data = linefile::readFile(path);
    return data ? fromBytes(*data) : Profile{};
}

Profile Profile::fromBytes(QByteArrayView data)
{
    Profile p;
    QString section;
    bool inSection = false;
    for (const QByteArray &raw : linefile::splitLines(data)) {
        const QString line = cp1252::decode(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u';')) continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            section = (close > 0 ? line.mid(1, close - 1) : line.mid(1));
            inSection = true;
            continue;
        }
        if (!inSection) continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 &&
            ((value.front() == u'"' && value.back() == u'"') ||
             (value.front() == u'\'' && value.back() == u'\'')))
            value = value.mid(1, value.size() - 2);
        const QString k = lookupKey(section, line.left(eq));
        if (!p.values_.contains(k)) p.values_.insert(k, value);
    }
    return p;
}

QString Profile::value(const QString &section, const QString &key,
                       const QString &defaultValue) const
{
    const auto it = values_.constFind(lookupKey(section, key));
    return cut(it != values_.constEnd() ? *it : defaultValue);
}

bool Profile::contains(const QString &section, const QString &key) const
{
    return values_.contains(lookupKey(section, key));
}

QString LireIni(const QString &file, const QString &section, const QString &key,
                const QString &defaultValue)
{
    return Profile::fromFile(file).value(section, key, defaultValue);
}
