#include "archiver/operations/batch.h"

#include "archiver/store/undo.h"
#include "archiver/store/record.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"
#include "common/text/texts.h"

#include <QFileInfo>

#include <algorithm>

namespace batch {
namespace {

// The letter file a line belongs to: its first character in capitals, when that is one of the
// letter list; else none.
QChar letterOf(QByteArrayView line)
{
    if (line.isEmpty()) return QChar();
    const QChar c = QChar(cp1252::upperTable()[static_cast<unsigned char>(line[0])]);
    return record::isLetter(c) ? c : QChar();
}

struct Pass
{
    Counts counts;
    QStringList blocked; // files the change cannot rewrite, and why
    QHash<QChar, qint64> changed;
    QHash<QChar, QList<QByteArray>> added;
};

// One read pass: what changes in which letter file, and the lines each receives.
Pass measure(const Catalogue &catalogue, const Plan &plan)
{
    Pass pass;
    pass.added = plan.added;
    for (auto it = plan.added.begin(); it != plan.added.end(); ++it)
        pass.counts.records += it->size();
    for (auto it = plan.addedRunLines.begin(); it != plan.addedRunLines.end(); ++it)
        pass.counts.records += *it;
    if (plan.change) {
        QByteArray out;
        for (int i = 0; i < record::kLetterCount; ++i) {
            const QChar letter = QLatin1Char(record::kLetterList[i]);
            const QString path = catalogue.letterFile(letter);
            qint64 count = 0;
            const linefile::ReadStatus status = linefile::forEachLine(path, [&](QByteArrayView line) {
                out.clear();
                if (!plan.change(line, &out)) return;
                ++count;
                if (out.size() > record::kMaxLineLength) ++pass.counts.overLong;
                const QChar moved = letterOf(out);
                if (!out.isEmpty() && !moved.isNull() && moved != letter) pass.added[moved].append(out);
            });
            if (!status.ok()) {
                pass.counts.unreadable.append(status.error);
                continue;
            }
            if (status.cutLines > 0 && count > 0) {
                // Its lines cut short would be written cut: the file cannot take part.
                pass.blocked.append(texts::get(texts::kTooLongLines)
                                        .arg(path)
                                        .arg(status.cutLines)
                                        .arg(linefile::kMaxLineLength / 1024));
                continue;
            }
            if (count > 0) pass.changed.insert(letter, count);
            pass.counts.records += count;
        }
    }
    for (int i = 0; i < record::kLetterCount; ++i) {
        const QChar letter = QLatin1Char(record::kLetterList[i]);
        if (pass.changed.contains(letter) || !pass.added.value(letter).isEmpty() || plan.addedRunLines.value(letter) > 0)
            pass.counts.files.append(catalogue.letterFile(letter));
    }
    return pass;
}

} // namespace

Counts preview(const Catalogue &catalogue, const Plan &plan)
{
    Pass pass = measure(catalogue, plan);
    pass.counts.unreadable += pass.blocked;
    return pass.counts;
}

std::optional<QString> refusal(const Counts &counts)
{
    if (counts.overLong == 0) return std::nullopt;
    return texts::get(texts::kBatchTooLong).arg(counts.overLong).arg(record::kMaxLineLength);
}

namespace {

QString separatorsOf(const QString &text)
{
    QString found;
    for (const QChar c : text)
        if (std::find(std::begin(record::kSeparators), std::end(record::kSeparators), c) != std::end(record::kSeparators))
            found += c;
    return found;
}

} // namespace

std::optional<QString> replacementRefusal(const QString &search, const QString &replacement)
{
    for (const QString *text : {&search, &replacement})
        if (const auto bad = cp1252::firstUnstorable(*text)) return cp1252::unstorableMessage(*bad);
    const QString kept = separatorsOf(search), put = separatorsOf(replacement);
    if (kept == put) return std::nullopt;
    // The first separator where the two differ is the one named.
    qsizetype i = 0;
    while (i < kept.size() && i < put.size() && kept[i] == put[i]) ++i;
    const QChar named = i < put.size() ? put[i] : kept[i];
    return texts::get(texts::kReplacementSeparator).arg(named);
}

std::optional<QString> supportRefusal(const QString &support)
{
    if (const auto bad = cp1252::firstUnstorable(support)) return cp1252::unstorableMessage(*bad);
    if (const QString found = separatorsOf(support); !found.isEmpty())
        return texts::get(texts::kReplacementSeparator).arg(found[0]);
    return std::nullopt;
}

Outcome apply(const Catalogue &catalogue, const FolderLock &lock, const Plan &plan,
              const std::function<bool(qsizetype done, qsizetype total)> &progress, const Finish &finish)
{
    Outcome outcome;
    auto op = undo::Operation::begin(lock, catalogue.folder(), plan.title, &outcome.error);
    if (!op) return outcome;
    auto giveUp = [&](const QString &why) {
        outcome.error = why;
        QString error;
        if (!op->rollBack(&error)) outcome.error += u'\n' + error;
        outcome.counts = Counts{};
        return outcome;
    };

    // Each letter file in one pass; the lines whose key now names another letter file join it
    // in a second pass over the files that receive them.
    QHash<QChar, QList<QByteArray>> moved;
    QSet<QString> changedFiles;
    // A change that would make a line longer than a record may be stops everything.
    qint64 overLong = 0;
    const LineChange checked = !plan.change ? LineChange() : [&](QByteArrayView line, QByteArray *out) {
        if (!plan.change(line, out)) return false;
        if (out->size() > record::kMaxLineLength) ++overLong;
        return true;
    };
    auto pass = [&](QChar letter, const LineChange &change, const QList<QByteArray> &added, const QStringList &runs,
                    QString *error) {
        const QString path = catalogue.letterFile(letter);
        Catalogue::LinesEdit edit;
        edit.change = change;
        edit.added = added;
        edit.addedRuns = runs;
        edit.staysHere = [letter](QByteArrayView line) {
            const QChar l = letterOf(line);
            return l.isNull() || l == letter;
        };
        // A line grown too long stops the operation before its file is replaced.
        edit.beforeReplacing = [&](QString *e) {
            if (overLong > 0) {
                Counts counts;
                counts.overLong = overLong;
                *e = *refusal(counts);
                outcome.tooLong = true;
                return false;
            }
            return op->keep(path, e);
        };
        Catalogue::LinesResult result;
        if (!catalogue.rewriteLines(lock, path, edit, &result, error)) return false;
        outcome.counts.records += result.changed;
        for (const QByteArray &line : std::as_const(result.leaving)) moved[letterOf(line)].append(line);
        if (result.replaced) changedFiles.insert(path);
        return true;
    };
    const qsizetype total = record::kLetterCount;
    for (int i = 0; i < record::kLetterCount; ++i) {
        const QChar letter = QLatin1Char(record::kLetterList[i]);
        const QList<QByteArray> added = plan.added.value(letter);
        const QStringList runs = plan.addedRuns.value(letter);
        outcome.counts.records += added.size() + plan.addedRunLines.value(letter);
        QString error;
        if (!plan.change && added.isEmpty() && runs.isEmpty()) continue;
        if (!pass(letter, checked, added, runs, &error)) return giveUp(error);
        if (progress && !progress(i + 1, total)) {
            outcome.cancelled = true;
            return giveUp(QString());
        }
    }
    for (auto it = moved.cbegin(); it != moved.cend(); ++it) {
        QString error;
        if (!pass(it.key(), {}, it.value(), {}, &error)) return giveUp(error);
    }
    for (int i = 0; i < record::kLetterCount; ++i) {
        const QString path = catalogue.letterFile(QLatin1Char(record::kLetterList[i]));
        if (changedFiles.contains(path)) outcome.counts.files.append(path);
    }
    if (QString error; finish && !finish(*op, &error)) return giveUp(error);
    QString error;
    if (!op->seal(&error)) outcome.warning = error;
    outcome.ok = true;
    return outcome;
}

FieldReplacement confined(record::Field field, const QString &find, const QString &by)
{
    const QString f = cp1252::toUpper(find), b = cp1252::toUpper(by);
    switch (field) {
    case record::Field::Key: return {f + u'@', b + u'@'};
    case record::Field::Support: return {u'[' + f + u']', u'[' + b + u']'};
    case record::Field::Category: return {u']' + f + u'#', u']' + b + u'#'};
    case record::Field::Note: return {u'#' + f + u'\u00A7', u'#' + b + u'\u00A7'};
    case record::Field::Target: return {u'\u00A7' + find, u'\u00A7' + by};
    default: return {find, by};
    }
}

LineChange replaceFirst(const QByteArray &search, const QByteArray &replacement)
{
    return [search, replacement](QByteArrayView line, QByteArray *out) {
        const qsizetype at = search.isEmpty() ? -1 : line.indexOf(search);
        if (at < 0) return false;
        *out = line.first(at).toByteArray() + replacement + line.sliced(at + search.size()).toByteArray();
        return *out != line;
    };
}

LineChange giveSupport(const QByteArray &text, const QByteArray &support)
{
    return [text, support](QByteArrayView line, QByteArray *out) {
        const qsizetype empty = line.indexOf("[]");
        if (empty < 0 || support.isEmpty() || !line.contains(text)) return false;
        *out = line.first(empty + 1).toByteArray() + support + line.sliced(empty + 1).toByteArray();
        return true;
    };
}

LineChange removeSupport(const QByteArray &support)
{
    const QByteArray field = '[' + support + ']';
    return [field](QByteArrayView line, QByteArray *out) {
        const qsizetype at = line.indexOf(field);
        if (at < 0 || field.size() == 2) return false;
        *out = line.first(at + 1).toByteArray() + line.sliced(at + field.size() - 1).toByteArray();
        return true;
    };
}

LineChange removeLines(const QSet<QByteArray> &lines)
{
    return [lines](QByteArrayView line, QByteArray *out) {
        if (!lines.contains(line.toByteArray())) return false;
        out->clear();
        return true;
    };
}

} // namespace batch
