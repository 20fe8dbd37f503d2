#include "archiver/store/line_order.h"

#include "common/text/cp1252.h"

#include <QCollator>
#include <QList>
#include <QLocale>
#include <QString>

#include <algorithm>

namespace {

// Ranks texts by the collator: equal texts share a rank, ranks start at 1.
QList<int> rankTexts(const QList<QString> &texts, const QCollator &collator)
{
    QList<int> order(texts.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return collator.compare(texts[a], texts[b]) < 0; });
    QList<int> rank(texts.size());
    int r = 0;
    for (int i = 0; i < order.size(); ++i) {
        if (i == 0 || collator.compare(texts[order[i - 1]], texts[order[i]]) != 0) ++r;
        rank[order[i]] = r;
    }
    return rank;
}

// The letters a character sorts as when accents are set aside.
QString baseLetters(QChar c)
{
    switch (c.unicode()) {
    case u'\u0152': return QStringLiteral("OE");
    case u'\u0153': return QStringLiteral("oe");
    case u'\u00C6': return QStringLiteral("AE");
    case u'\u00E6': return QStringLiteral("ae");
    case u'\u00DF': return QStringLiteral("ss");
    default: break;
    }
    if (c.decompositionTag() == QChar::Canonical) {
        const QString d = c.decomposition();
        if (!d.isEmpty()) return baseLetters(d.front());
    }
    return QString(c);
}

bool ignoredUntilTies(QChar c) { return c == u'-' || c == u'\''; }

} // namespace

LineOrder::LineOrder()
{
    QCollator collator{QLocale(QLocale::French, QLocale::France)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);

    QList<QString> chars;
    for (int b = 0; b < 256; ++b)
        chars.append(QString(cp1252::decodeByte(static_cast<unsigned char>(b))));
    // Characters the collator ignores altogether (controls) weigh nothing at any level.
    std::array<bool, 256> ignorable{};
    for (int b = 0; b < 256; ++b)
        ignorable[b] = collator.compare(chars[b], QString()) == 0;

    const QList<int> own = rankTexts(chars, collator);

    QList<QString> bases;
    QList<QString> baseOfByte(256);
    for (int b = 0; b < 256; ++b) {
        baseOfByte[b] = baseLetters(chars[b].front());
        for (QChar c : baseOfByte[b])
            if (!bases.contains(QString(c))) bases.append(QString(c));
    }
    const QList<int> baseRank = rankTexts(bases, collator);

    for (int b = 0; b < 256; ++b) {
        if (ignorable[b]) continue;
        tertiary_[b] = static_cast<uint16_t>(own[b]);
        if (ignoredUntilTies(chars[b].front())) continue;
        secondary_[b] = static_cast<uint16_t>(own[b]);
        const QString &base = baseOfByte[b];
        for (int k = 0; k < base.size() && k < 2; ++k)
            primary_[b][k] = static_cast<uint16_t>(baseRank[bases.indexOf(QString(base[k]))]);
    }
}

namespace {

// Walks a line's weights of one level, skipping zero weights.
struct Cursor
{
    const unsigned char *p;
    const unsigned char *end;
    uint16_t pending = 0;

    template <typename Table> uint16_t nextPrimary(const Table &t)
    {
        if (pending) {
            const uint16_t w = pending;
            pending = 0;
            return w;
        }
        while (p < end) {
            const auto &w = t[*p++];
            if (w[0]) {
                pending = w[1];
                return w[0];
            }
        }
        return 0;
    }

    template <typename Table> uint16_t next(const Table &t)
    {
        while (p < end) {
            const uint16_t w = t[*p++];
            if (w) return w;
        }
        return 0;
    }
};

Cursor cursorOf(QByteArrayView v)
{
    const auto *p = reinterpret_cast<const unsigned char *>(v.data());
    return Cursor{p, p + v.size()};
}

} // namespace

int LineOrder::compare(QByteArrayView a, QByteArrayView b) const
{
    // Most lines differ early at the first level; skip their common prefix of identical bytes.
    const qsizetype common = std::min(a.size(), b.size());
    qsizetype same = 0;
    while (same < common && a[same] == b[same])
        ++same;
    if (same == a.size() && same == b.size()) return 0;
    // Identical bytes weigh the same at every level, and one byte is one character, so the
    // comparison of the rest decides.
    const QByteArrayView ta = a.sliced(same), tb = b.sliced(same);

    {
        Cursor x = cursorOf(ta), y = cursorOf(tb);
        for (;;) {
            const uint16_t wx = x.nextPrimary(primary_), wy = y.nextPrimary(primary_);
            if (wx != wy) return wx < wy ? -1 : 1;
            if (!wx) break;
        }
    }
    {
        Cursor x = cursorOf(ta), y = cursorOf(tb);
        for (;;) {
            const uint16_t wx = x.next(secondary_), wy = y.next(secondary_);
            if (wx != wy) return wx < wy ? -1 : 1;
            if (!wx) break;
        }
    }
    {
        Cursor x = cursorOf(ta), y = cursorOf(tb);
        for (;;) {
            const uint16_t wx = x.next(tertiary_), wy = y.next(tertiary_);
            if (wx != wy) return wx < wy ? -1 : 1;
            if (!wx) break;
        }
    }
    return 0;
}
