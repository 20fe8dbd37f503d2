#include "archiver/store/utilities.h"

QString CompleterTexte(const QString &text, const QString &fill, const QString &side, int width)
{
    if (text.isEmpty() || fill.isEmpty() || side.isEmpty() || width < 0) return {};
    const QString padding(width, fill.front());
    const QString s = side.toUpper();
    if (s == u"D") return (text + padding).left(width);
    if (s == u"G") return (padding + text).right(width);
    return {};
}

void ListingBuffer::AjouterTexteListe(const QString &text)
{
    QString t = text;
    t.replace(u'_', QStringLiteral("\r\n"));
    text_ += t + QStringLiteral("\r\n");
}

QString formatDayDate(const QDate &date) { return date.toString(QStringLiteral("dd-MM-yyyy")); }

QString formatCount(qint64 n) { return n < 0 ? QString::number(n) : u' ' + QString::number(n); }
