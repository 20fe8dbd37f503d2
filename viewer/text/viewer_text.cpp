#include "viewer/text/viewer_text.h"

#include "archiver/store/line_order.h"
#include "common/text/cp1252.h"

#include <algorithm>

namespace viewer {

QList<Section> sectionMarks(QStringView text)
{
    QList<Section> sections;
    qsizetype lineStart = 0;
    for (QStringView line : text.split(u'\n')) {
        const qsizetype start = lineStart;
        lineStart += line.size() + 1;
        if (line.endsWith(u'\r')) line.chop(1);
        const qsizetype open = line.indexOf(u'[');
        if (open < 0) continue;
        const qsizetype close = line.indexOf(u']', open + 1);
        const qsizetype end = close >= 0 ? close : line.size() - 1;
        sections.append({line.mid(open + 1, std::max<qsizetype>(0, end - open - 1)).toString(), start + open});
    }
    std::stable_sort(sections.begin(), sections.end(), [](const Section &a, const Section &b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    return sections;
}

QStringList sectionsOf(QStringView text)
{
    QStringList names;
    for (const Section &section : sectionMarks(text)) names.append(section.name);
    return names;
}

QString sortedLines(QStringView text)
{
    QList<QStringView> lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    // The order works on the code page's bytes; a character outside it sorts as "?" and the
    // text itself is kept as it was.
    struct Keyed { QByteArray key; QStringView line; };
    QList<Keyed> keyed;
    keyed.reserve(lines.size());
    for (QStringView line : lines) {
        QByteArray key;
        key.reserve(line.size());
        for (QChar c : line) {
            const auto byte = cp1252::encode(QStringView(&c, 1));
            key.append(byte ? byte->at(0) : '?');
        }
        keyed.append({key, line});
    }
    const LineOrder order;
    std::stable_sort(keyed.begin(), keyed.end(), [&](const Keyed &a, const Keyed &b) { return order(a.key, b.key); });
    QString sorted;
    sorted.reserve(text.size() + 1);
    for (const Keyed &k : keyed) {
        sorted += k.line;
        sorted += u'\n';
    }
    return sorted;
}

} // namespace viewer
