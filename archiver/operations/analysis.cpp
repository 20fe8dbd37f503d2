#include "archiver/operations/analysis.h"

#include "archiver/store/undo.h"
#include "archiver/store/lists.h"
#include "archiver/store/record.h"
#include "archiver/store/utilities.h"
#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"
#include "common/text/texts.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <cstdio>

namespace {

constexpr qsizetype kMaxRecordLength = 256;
constexpr int kReportGenerations = 5; // bilan.txt and the four before it
// Dates up to this length have all their substrings indexed; a longer date is rare enough to be
// compared whole.
constexpr qsizetype kIndexedDate = 32;

// Names with their record counts, in first-seen order, looked up through a hash.
struct CountedNames
{
    QList<QByteArray> names;
    QList<qint64> counts;
    QHash<QByteArray, qsizetype> index;

    void add(QByteArrayView name)
    {
        const QByteArray key = name.toByteArray();
        const auto it = index.constFind(key);
        if (it != index.constEnd()) {
            ++counts[*it];
            return;
        }
        index.insert(key, names.size());
        names.append(key);
        counts.append(1);
    }
};

// The distinct dates: a date is new unless it is part of one already stored.
struct DistinctDates
{
    qint64 count = 0;
    QSet<QByteArray> pieces;     // every substring (up to kIndexedDate long) of the stored dates
    QList<QByteArray> longDates; // stored dates longer than kIndexedDate

    void add(QByteArrayView date)
    {
        if (date.size() <= kIndexedDate) {
            if (pieces.contains(date.toByteArray())) return;
        } else {
            for (const QByteArray &d : longDates)
                if (QByteArrayView(d).contains(date)) return;
        }
        ++count;
        for (qsizetype i = 0; i < date.size(); ++i)
            for (qsizetype n = 1; n <= kIndexedDate && i + n <= date.size(); ++n)
                pieces.insert(date.sliced(i, n).toByteArray());
        if (date.size() > kIndexedDate) longDates.append(date.toByteArray());
    }
};

// n blanks followed by text, of which the last n characters are kept.
QString rightAligned(const QString &text, int n) { return (QString(n, u' ') + text).right(n); }

QByteArrayView between(QByteArrayView line, qsizetype from, qsizetype to) { return line.sliced(from, to - from); }


// A list as it stays: its old names (without empty lines or repeats) in their order, then the
// names the records use that it lacked, in the order they were met; unused receives the old names
// no record uses, which pruning leaves out.
QStringList completedList(const QString &path, const QList<QByteArray> &used, bool prune, QStringList *unused)
{
    QStringList names;
    QSet<QString> seen;
    QSet<QByteArray> usedSet(used.cbegin(), used.cend());
    for (const QString &old : lists::load(path)) {
        if (seen.contains(old)) continue;
        seen.insert(old);
        const auto bytes = cp1252::encode(old);
        const bool isUsed = bytes && usedSet.contains(*bytes);
        if (!isUsed) unused->append(old);
        if (isUsed || !prune) names.append(old);
    }
    for (const QByteArray &name : used) {
        const QString decoded = cp1252::decode(name);
        if (name.isEmpty() || seen.contains(decoded)) continue;
        seen.insert(decoded);
        names.append(decoded);
    }
    return names;
}

// Rewrites a list when its names change, after keeping it in the operation and copying it to
// its ".bak" file.
bool updateList(const FolderLock &lock, undo::Operation &operation, const QString &path, const QString &backup,
                const QStringList &names, QString *errorText)
{
    if (QFileInfo::exists(path) && linefile::readTextLines(path) == names) return true;
    if (!QFileInfo::exists(path) && names.isEmpty()) return true;
    if (!operation.keep(path, errorText) || !operation.keep(backup, errorText)) return false;
    return lists::rebuild(lock, path, backup, names, errorText);
}

// The report before this one, kept as bilan.1.txt once the new one is written: bilan.1.txt
// becomes bilan.2.txt and so on, the oldest going. Only regular files are moved; a name that
// holds something else stops the chain there.
void keepEarlierReport(const QString &folder, const files::FileSnapshot &previous)
{
    if (!previous.existed()) return;
    auto generation = [&](int n) { return files::findExisting(folder, QStringLiteral("bilan.%1.txt").arg(n)); };
    for (int n = kReportGenerations - 1; n > 1; --n) {
        const QString from = generation(n - 1), to = generation(n);
        if (!QFileInfo(from).isFile() || QFileInfo(from).isSymLink()) continue;
        if (QFileInfo::exists(to) && (!QFileInfo(to).isFile() || QFileInfo(to).isSymLink())) continue;
        ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData());
    }
    files::saveAtomically(generation(1), previous.content(), nullptr);
}

} // namespace

AnalysisResult analyseCatalogue(ArchiverSession &session, const AnalysisOptions &options)
{
    AnalysisResult result;
    const auto lock = session.catalogue.lock(&result.error);
    if (!lock) return result;
    const QString title = texts::get(options.prune ? texts::kPruneTitle : texts::kAnalysisTitle);
    auto operation = undo::Operation::begin(*lock, session.folder, title, &result.error);
    if (!operation) return result;
    result = analyseCatalogue(session, *lock, *operation, options);
    QString error;
    if (!result.ok()) {
        operation->rollBack(&error);
        return result;
    }
    if (!operation->seal(&error)) result.warning = error;
    return result;
}

AnalysisResult analyseCatalogue(ArchiverSession &session, const FolderLock &lock, undo::Operation &operation,
                                const AnalysisOptions &options)
{
    QElapsedTimer timer;
    timer.start();
    AnalysisResult result;
    const Language &lang = session.language;
    auto msg = [&lang](int n) { return lang.LireMessage(n); };
    const auto &onLetter = options.onLetter;
    const auto &onAnomaly = options.onAnomaly;

    QStringList emptyList, overLongList, anomalyList, misfiledList, table;
    QByteArray longestKey, longestLine;
    DistinctDates dates;
    CountedNames supports, categories;
    const QByteArray section = QByteArrayLiteral("\xA7");

    for (int i = 0; i < record::kLetterCount; ++i) {
        const char letter = record::kLetterList[i];
        if (onLetter) onLetter(QChar::fromLatin1(letter));
        const QString fileName = QString(QChar::fromLatin1(letter)) + QStringLiteral(".MFI");
        const QString where = msg(35) + fileName;
        const QString path = session.catalogue.letterFile(QChar::fromLatin1(letter));
        qint64 fileRecords = 0;
        const auto status = linefile::forEachLineWithEmpty(path, [&](QByteArrayView line) {
            if (line.isEmpty()) {
                ++result.emptyLines;
                emptyList.append(where);
                return;
            }
            if (line.size() > kMaxRecordLength) {
                ++result.overLong;
                overLongList.append(cp1252::decode(line));
                return;
            }
            ++result.records;
            ++fileRecords;
            const qsizetype at = line.indexOf('@'), open = line.indexOf('['), close = line.indexOf(']'),
                            hash = line.indexOf('#'), sect = line.indexOf(section);
            auto anomaly = [&](bool malformed) {
                ++result.anomalies;
                const AnalysisAnomaly a{cp1252::decode(line), fileName, malformed};
                anomalyList.append(a.line + where);
                result.anomalyLines.append(a);
                if (onAnomaly) onAnomaly(a);
            };
            // Separators out of order would be read back as other fields than were written.
            if (at < 0 || open < 0 || close < 0 || hash < 0 || sect < 0 || open == at + 1 || hash == close + 1
                || !(at < open && open < close && close < hash && hash < sect)) {
                anomaly(true);
                return;
            }
            const QByteArrayView key = line.first(at);
            if (key.size() > longestKey.size()) longestKey = key.toByteArray();
            if (line.front() != letter) {
                ++result.misfiled;
                misfiledList.append(cp1252::decode(key) + where);
            }
            if (line.size() > longestLine.size()) longestLine = line.toByteArray();
            dates.add(between(line, at + 1, open));
            supports.add(between(line, open + 1, close));
            categories.add(between(line, close + 1, hash));
            const QByteArrayView target = line.sliced(sect + 1);
            if (!target.isEmpty()) {
                if (target.contains('[')) anomaly(false);
                else ++result.withTarget;
            }
        });
        if (!status.ok()) {
            result.error = status.error;
            return result;
        }
        const qint64 size = QFileInfo(path).size();
        if (size == 0) continue;
        table.append(fileName + rightAligned(formatCount(fileRecords), 6) + msg(37) +
                     rightAligned(formatCount(size), 8) + msg(38));
    }
    result.dates = dates.count;
    result.supports = supports.names.size();
    result.categories = categories.names.size();

    const QString folder = session.folder;
    const QString categoryFile = lists::categoryFile(folder);
    const QString supportFile = lists::supportFile(folder);
    const QStringList categoryList = completedList(categoryFile, categories.names, options.prune, &result.unusedCategories);
    const QStringList supportList = completedList(supportFile, supports.names, options.prune, &result.unusedSupports);

    // The report.
    QStringList r;
    auto plain = [](qint64 n) { return QString::number(n); };
    auto section_ = [&](int none, int some, qint64 count, const QStringList &entries) {
        if (count == 0) r << msg(none);
        else r << msg(some) + plain(count) << entries;
        r << QString();
    };
    r << msg(39) + session.date << QString();
    r << msg(40) + formatCount(result.dates) << QString();
    r << msg(41) + plain(result.records) + msg(17) << QString() << table << QString();
    r << msg(42) + plain(result.withTarget) << QString();
    section_(43, 44, result.emptyLines, emptyList);
    section_(45, 46, result.overLong, overLongList);
    const QByteArrayView longestLineKey = QByteArrayView(longestLine).first(qMax<qsizetype>(0, longestLine.indexOf('@')));
    r << msg(47) + cp1252::decode(longestLineKey) + QStringLiteral(" (") + plain(longestLine.size()) + msg(48) +
             QStringLiteral(")")
      << QString();
    r << msg(49) + cp1252::decode(longestKey) + QStringLiteral(" (") + plain(longestKey.size()) + msg(48) +
             QStringLiteral(")")
      << QString();
    section_(50, 51, result.anomalies, anomalyList);
    section_(52, 53, result.misfiled, misfiledList);
    r << msg(54) + formatCount(result.categories) + msg(55) + QStringLiteral(" :") << QString();
    for (qsizetype i = 0; i < categories.names.size(); ++i)
        r << rightAligned(formatCount(categories.counts[i]), 8) + msg(56) + cp1252::decode(categories.names[i]) +
                 (categories.counts[i] == 1 ? msg(57) : QString());
    r << QString();
    if (supports.names.isEmpty()) {
        r << msg(58);
    } else {
        r << msg(54) + formatCount(result.supports) + msg(59) + QStringLiteral(" :") << QString();
        for (qsizetype i = 0; i < supports.names.size(); ++i)
            r << rightAligned(formatCount(supports.counts[i]), 8) + msg(56) + cp1252::decode(supports.names[i]);
        r << QString() << QString();
    }
    // The names of the lists that no record uses: kept unless pruned, so that the user decides.
    for (const auto &[names, text] : {std::pair{&result.unusedCategories, &texts::kUnusedCategories},
                                      std::pair{&result.unusedSupports, &texts::kUnusedSupports}}) {
        if (names->isEmpty()) continue;
        r << texts::get(options.prune ? texts::kRemovedFromList : *text).arg(names->size()) << QString();
        for (const QString &name : *names) r << QStringLiteral("        ") + name;
        r << QString();
    }
    r << msg(60);

    result.reportPath = files::findExisting(folder, QStringLiteral("bilan.txt"));
    if (!lock.allows(result.reportPath, &result.error)) return result;
    char32_t bad = 0;
    const auto body = linefile::encodeLines(r, &bad);
    if (!body) {
        result.error = cp1252::unencodableMessage(bad);
        return result;
    }
    // The report and the lists are written all or none: a failure puts back those written.
    const QString categoryBackup = files::findExisting(folder, QStringLiteral("talvo_cat.bak"));
    const QString supportBackup = files::findExisting(folder, QStringLiteral("talvo_sup.bak"));
    files::FileSnapshot snapshots[5];
    const QString paths[5] = {result.reportPath, categoryFile, supportFile, categoryBackup, supportBackup};
    for (int i = 0; i < 5; ++i)
        if (!snapshots[i].take(paths[i], &result.error)) return result;
    if (!files::saveAtomically(result.reportPath, *body, &result.error)
        || !updateList(lock, operation, categoryFile, categoryBackup, categoryList, &result.error)
        || !updateList(lock, operation, supportFile, supportBackup, supportList, &result.error)) {
        for (const files::FileSnapshot &s : snapshots) s.restore();
        return result;
    }
    keepEarlierReport(folder, snapshots[0]);

    result.summary = QStringList{msg(61), plain(result.records) + msg(17), plain(result.categories) + msg(55),
                                 plain(result.supports) + msg(59),
                                 plain(result.anomalies + result.emptyLines + result.misfiled) + msg(62), msg(63)}
                         .join(u'\n');
    result.seconds = timer.elapsed() / 1000.0;
    return result;
}
