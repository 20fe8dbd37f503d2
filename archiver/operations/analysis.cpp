#include "archiver/operations/analysis.h"

#include "archiver/store/lists.h"
#include "archiver/store/record.h"
#include "archiver/store/utilities.h"
#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace {

constexpr qsizetype kMaxRecordLength = 256;
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

} // namespace

AnalysisResult analyseCatalogue(ArchiverSession &session, const std::function<void(QChar)> &onLetter,
                                const std::function<void(const AnalysisAnomaly &)> &onAnomaly)
{
    QElapsedTimer timer;
    timer.start();
    AnalysisResult result;
    const Language &lang = session.language;
    auto msg = [&lang](int n) { return lang.LireMessage(n); };

    const auto lock = session.catalogue.lock(&result.error);
    if (!lock) return result;

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
            if (at < 0 || open < 0 || close < 0 || hash < 0 || sect < 0 || open == at + 1 || hash == close + 1) {
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
            // The fields lie between the first occurrences of the separators; a line whose
            // separators come out of order has them read as the positions allow.
            if (open > at) dates.add(between(line, at + 1, open));
            supports.add(close > open ? between(line, open + 1, close) : QByteArrayView());
            categories.add(hash > close ? between(line, close + 1, hash) : QByteArrayView());
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

    auto decodeAll = [](const QList<QByteArray> &names) {
        QStringList out;
        out.reserve(names.size());
        for (const QByteArray &n : names) out.append(cp1252::decode(n));
        return out;
    };
    const QString folder = session.folder;
    const QString categoryFile = lists::categoryFile(folder);
    const QString supportFile = lists::supportFile(folder);
    if (!lists::rebuild(*lock, categoryFile, files::findExisting(folder, QStringLiteral("talvo_cat.bak")),
                        decodeAll(categories.names), &result.error))
        return result;
    if (QFileInfo::exists(supportFile) &&
        !files::copyAtomically(supportFile, files::findExisting(folder, QStringLiteral("talvo_sup.bak")),
                               &result.error))
        return result;
    if (!supports.names.isEmpty() && !lists::write(*lock, supportFile, decodeAll(supports.names), &result.error))
        return result;

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
    r << msg(60);

    result.reportPath = files::findExisting(folder, QStringLiteral("bilan.txt"));
    if (!lock->allows(result.reportPath, &result.error)) return result;
    char32_t bad = 0;
    const auto body = linefile::encodeLines(r, &bad);
    if (!body) {
        result.error = cp1252::unencodableMessage(bad);
        return result;
    }
    if (!files::saveAtomically(result.reportPath, *body, &result.error)) return result;

    result.summary = QStringList{msg(61), plain(result.records) + msg(17), plain(result.categories) + msg(55),
                                 plain(result.supports) + msg(59),
                                 plain(result.anomalies + result.emptyLines + result.misfiled) + msg(62), msg(63)}
                         .join(u'\n');
    result.seconds = timer.elapsed() / 1000.0;
    return result;
}
