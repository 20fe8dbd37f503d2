#include "archiver/operations/finder.h"

#include "archiver/operations/global_search.h"
#include "archiver/store/record.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>
#include <QHash>

namespace finder {

QStringList listFiles(const QString &folder, const QString &pattern)
{
    QString filter = pattern.trimmed();
    if (filter.isEmpty() || filter == QLatin1String("*.*")) filter = QStringLiteral("*");
    // QDir matches its name filters without case unless told otherwise.
    return QDir(folder).entryList({filter}, QDir::Files, QDir::Name);
}

QList<QByteArray> undecodableFiles(const QString &folder, const QString &pattern)
{
    QString filter = pattern.trimmed();
    if (filter.isEmpty() || filter == QLatin1String("*.*")) filter = QStringLiteral("*");
    const QRegularExpression matches(QRegularExpression::wildcardToRegularExpression(filter),
                                     QRegularExpression::CaseInsensitiveOption);
    QList<QByteArray> found;
    const QByteArray dir = QFile::encodeName(folder);
    DIR *d = ::opendir(dir.constData());
    if (!d) return found;
    while (const dirent *e = ::readdir(d)) {
        const QByteArrayView name(e->d_name);
        if (name.startsWith('.') || linefile::isUtf8(name)) continue;
        const QByteArray path = dir + name.toByteArray();
        struct stat st;
        if (::stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (matches.match(QString::fromLatin1(name)).hasMatch()) found.append(path);
    }
    ::closedir(d);
    std::sort(found.begin(), found.end());
    return found;
}

QString shownBytes(QByteArrayView bytes)
{
    QString out;
    qsizetype i = 0;
    while (i < bytes.size()) {
        // The longest valid piece from i on, decoded; a byte no valid piece starts with, escaped.
        qsizetype n = std::min<qsizetype>(4, bytes.size() - i);
        while (n > 0 && !linefile::isUtf8(bytes.sliced(i, n))) --n;
        if (n == 0) {
            out += QStringLiteral("\\x") + QString::number(uchar(bytes[i]), 16).rightJustified(2, u'0').toUpper();
            ++i;
        } else {
            out += QString::fromUtf8(bytes.sliced(i, n));
            i += n;
        }
    }
    return out;
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

Analysis find(const Catalogue &catalogue, const QString &folder, const QString &pattern,
              const std::function<bool(int lettersDone)> &onLetter)
{
    Analysis a = analyse(catalogue, folder, listFiles(folder, pattern), onLetter);
    if (a.cancelled) return a;
    a.undecodable = undecodableFiles(folder, pattern);
    a.analysed += a.undecodable.size();
    return a;
}

} // namespace finder
