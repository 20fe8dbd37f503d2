#include "archiver/operations/finder.h"

#include "archiver/operations/global_search.h"
#include "archiver/store/record.h"
#include "common/text/cp1252.h"

#include <QDir>
#include <QHash>

#include <map>

namespace finder {

QStringList listFiles(const QString &folder, const QString &pattern)
{
    QString filter = pattern.trimmed();
    if (filter.isEmpty() || filter == QLatin1String("*.*")) filter = QStringLiteral("*");
    // QDir matches its name filters without case unless told otherwise.
    return QDir(folder).entryList({filter}, QDir::Files, QDir::Name);
}

namespace {

// The upper-cased bytes of the names that can be in a line, grouped by length so that the text
// after the folder in a line is looked up once per length.
struct Names
{
    std::map<qsizetype, QHash<QByteArray, QList<qsizetype>>> byLength;

    void add(const QByteArray &upper, qsizetype index) { byLength[upper.size()][upper].append(index); }
};

void upperBytes(QByteArrayView bytes, QByteArray *out)
{
    const auto &table = cp1252::upperTable();
    out->resize(bytes.size());
    char *to = out->data();
    for (qsizetype i = 0; i < bytes.size(); ++i) to[i] = char(table[uchar(bytes[i])]);
}

} // namespace

Analysis analyse(const Catalogue &catalogue, const QString &folder, const QStringList &names,
                 const std::function<bool(int)> &onLetter)
{
    Analysis result;
    result.analysed = names.size();
    std::vector<int> seenIn(size_t(names.size()), -1); // the last letter file that mentioned it, -1: none

    const auto encodedFolder = cp1252::encode(folder);
    Names lookup;
    qsizetype longest = 0;
    if (encodedFolder && !encodedFolder->contains('\n') && !encodedFolder->contains('\r')) {
        for (qsizetype i = 0; i < names.size(); ++i) {
            const auto name = cp1252::encode(names[i]);
            if (!name || name->contains('\n') || name->contains('\r')) continue;
            QByteArray upper;
            upperBytes(*name, &upper);
            lookup.add(upper, i);
            longest = std::max(longest, name->size());
        }
    }

    const auto stopped = [] {
        Analysis none;
        none.cancelled = true;
        return none;
    };
    if (onLetter && !onLetter(0)) return stopped();
    // The lines that hold the folder come from the search's scan; each occurrence of the folder
    // in them is then followed by a look-up of the name after it, once per name length.
    const FoldedFinder prefix(encodedFolder.value_or(QByteArray()));
    const LetterSearch search(folder, record::Field::All);
    const bool searchable = !lookup.byLength.empty();
    QByteArray tail;
    SearchCounts counts;
    for (int letter = 0; letter < record::kLetterCount; ++letter) {
        const QString path = catalogue.letterFile(QLatin1Char(record::kLetterList[letter]));
        const auto onLine = [&](QByteArrayView line) {
            for (qsizetype at = prefix.find(line); at >= 0; at = prefix.find(line, at + 1)) {
                const qsizetype start = at + prefix.size();
                const qsizetype end = std::min(line.size(), start + longest);
                upperBytes(line.sliced(start, end - start), &tail);
                for (const auto &[length, byName] : lookup.byLength) {
                    if (length > tail.size()) break;
                    // A view of the tail's first bytes, copied by no one.
                    const auto hit = byName.constFind(QByteArray::fromRawData(tail.constData(), length));
                    if (hit == byName.cend()) continue;
                    for (const qsizetype i : *hit) {
                        if (seenIn[size_t(i)] == letter) continue;
                        seenIn[size_t(i)] = letter;
                        ++result.catalogued;
                    }
                }
            }
        };
        if (searchable) search.run(path, counts, onLine);
        if (onLetter && !onLetter(letter + 1)) return stopped();
    }
    result.unreadable = counts.unreadable;
    for (qsizetype i = 0; i < names.size(); ++i)
        if (seenIn[size_t(i)] < 0) result.uncatalogued.append(folder + names[i]);
    return result;
}

} // namespace finder
