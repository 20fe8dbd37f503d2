#include "archiver/operations/finder.h"

#include "archiver/operations/global_search.h"
#include "archiver/store/record.h"
#include "common/text/cp1252.h"

#include <QDir>
#include <QHash>

namespace finder {

QStringList listFiles(const QString &folder, const QString &pattern)
{
    QString filter = pattern.trimmed();
    if (filter.isEmpty() || filter == QLatin1String("*.*")) filter = QStringLiteral("*");
    // QDir matches its name filters without case unless told otherwise.
    return QDir(folder).entryList({filter}, QDir::Files, QDir::Name);
}

Analysis analyse(const Catalogue &catalogue, const QString &folder, const QStringList &names,
                 const std::function<bool(int)> &onLetter)
{
    Analysis result;
    result.analysed = names.size();
    std::vector<int> seenIn(size_t(names.size()),
                            -1); // the last letter file that named it, -1: none

    // Each file by the exact bytes a target naming it holds.
    QHash<QByteArray, qsizetype> byTarget;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const auto path = cp1252::encode(folder + names[i]);
        if (path && !path->contains('\n') && !path->contains('\r')) byTarget.insert(*path, i);
    }

    const auto stopped = [] {
        Analysis none;
        none.cancelled = true;
        return none;
    };
    if (onLetter && !onLetter(0)) return stopped();
    // The search's scan finds the lines whose target holds the folder; each such target is then
    // looked up whole.
    const LetterSearch search(folder, record::Field::Target);
    SearchCounts counts;
    for (int letter = 0; letter < record::kLetterCount; ++letter) {
        const QString path = catalogue.letterFile(QLatin1Char(record::kLetterList[letter]));
        const auto onLine = [&](QByteArrayView line) {
            const QByteArrayView target = record::fieldOf(line, record::Field::Target);
            // A view of the line's bytes, copied by no one.
            const auto hit =
                byTarget.constFind(QByteArray::fromRawData(target.data(), target.size()));
            if (hit == byTarget.cend() || seenIn[size_t(*hit)] == letter) return;
            seenIn[size_t(*hit)] = letter;
            ++result.catalogued;
        };
        if (!byTarget.isEmpty()) search.run(path, counts, onLine);
        if (onLetter && !onLetter(letter + 1)) return stopped();
    }
    result.unreadable = counts.unreadable;
    for (qsizetype i = 0; i < names.size(); ++i)
        if (seenIn[size_t(i)] < 0) result.uncatalogued.append(folder + names[i]);
    return result;
}

} // namespace finder
