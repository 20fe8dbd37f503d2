#include "archiver/store/record.h"

#include "common/text/cp1252.h"

namespace record {

std::optional<Record> parse(QStringView line)
{
    qsizetype pos[5];
    for (int i = 0; i < 5; ++i) {
        pos[i] = line.indexOf(kSeparators[i]);
        if (pos[i] < 0) return std::nullopt;
    }
    // A separator found before the one that precedes it in the grammar leaves the field between
    // them empty rather than negative.
    auto between = [&](qsizetype from, qsizetype to) {
        return to > from ? line.sliced(from, to - from).toString() : QString();
    };
    Record r;
    r.key = line.left(pos[0]).toString();
    r.date = between(pos[0] + 1, pos[1]);
    r.support = between(pos[1] + 1, pos[2]);
    r.category = between(pos[2] + 1, pos[3]);
    r.note = between(pos[3] + 1, pos[4]);
    r.target = line.sliced(pos[4] + 1).toString();
    return r;
}

QString compose(const Record &r)
{
    return r.key + u'@' + r.date + u'[' + r.support + u']' + r.category + u'#' + r.note +
           u'\u00A7' + r.target;
}

QByteArrayView fieldOf(QByteArrayView line, Field field)
{
    if (field == Field::All) return line;
    const int i = static_cast<int>(field) - 1; // index of the separator that ends the field
    auto find = [&](int s) { return line.indexOf(kSeparatorBytes[s]); };
    if (i == 0) {
        const qsizetype end = find(0);
        return end < 0 ? QByteArrayView() : line.first(end);
    }
    const qsizetype start = find(i - 1);
    if (start < 0) return {};
    if (i == 5) return line.sliced(start + 1);
    const qsizetype end = find(i);
    if (end < 0 || end <= start) return {};
    return line.sliced(start + 1, end - start - 1);
}

bool isLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z');
}

QString letterFileName(QChar first)
{
    return QString(cp1252::toUpper(first)) + QStringLiteral(".MFI");
}

} // namespace record

namespace record {

int keyRefusal(const QString &text)
{
    for (int i = 0; i < 5; ++i)
        if (text.contains(kSeparators[i])) return i + 1;
    if (text.isEmpty() || !isLetter(cp1252::toUpper(text.front()))) return 7;
    return 0;
}

} // namespace record
