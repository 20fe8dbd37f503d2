#pragma once

#include "archiver/store/catalogue.h"
#include "archiver/store/record.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace undo {
class Operation;
}

// Operations on many records at once (replacements, supports given or removed, deletions,
// imports): what they would change is counted first, for the user to agree; then, under the
// folder's lock taken once, the letter files they change are kept for undoing, rewritten one by
// one and kept in line order. A file that cannot be rewritten, or a cancel, puts back the files
// already rewritten: an operation changes all its files or none.
namespace batch {

using LineChange = Catalogue::LineChange;

struct Plan
{
    QString title;     // the operation's name, as undoing it names it
    LineChange change; // applied to every line of every letter file; may be empty
    // Lines added, by the letter file of their first character (upper case).
    QHash<QChar, QList<QByteArray>> added;
    // More lines added, in files of lines in line order (Catalogue::LinesEdit::addedRuns), with
    // how many lines each letter's files hold.
    QHash<QChar, QStringList> addedRuns;
    QHash<QChar, qint64> addedRunLines;

    // A plan that changes lines and adds none.
    static Plan changing(QString title, LineChange change)
    {
        Plan plan;
        plan.title = std::move(title);
        plan.change = std::move(change);
        return plan;
    }
};

struct Counts
{
    qint64 records = 0; // lines changed, removed or added
    qint64 overLong = 0; // of them, lines that would be longer than a record may be
    QStringList files;  // the letter files changed, full paths
    QStringList unreadable; // why each letter file that could not be read was passed over
};

// What plan would change now (a read pass).
Counts preview(const Catalogue &catalogue, const Plan &plan);
// Why plan must not run, as counts says: records it would make longer than a record may be.
std::optional<QString> refusal(const Counts &counts);

struct Outcome
{
    bool ok = false;
    bool cancelled = false;
    Counts counts;
    QString error;   // why nothing was changed
    QString warning; // the operation went through, but cannot be undone, and why
    bool tooLong = false; // refused because a line would grow longer than a record may be
};

// What runs at the end of an operation, under its lock, before it is sealed: the files it keeps
// in the operation are undone with it. False (with the error text) puts everything back.
using Finish = std::function<bool(undo::Operation &operation, QString *errorText)>;

// Applies plan; progress (when given) is told after each letter file rewritten and stops the
// operation, putting everything back, when it returns false. A changed line whose first
// character now names another letter file moves to that file. A line the change would make
// longer than a record may be stops the operation, putting everything back.
Outcome apply(const Catalogue &catalogue, const FolderLock &lock, const Plan &plan,
              const std::function<bool(qsizetype done, qsizetype total)> &progress = {}, const Finish &finish = {});

// Why a replacement must not run, naming the character: a replacement text holding a separator
// that its search text does not hold at the same rank (the fields of every record it hits would
// shift), a control character or a character the letter files cannot hold.
std::optional<QString> replacementRefusal(const QString &search, const QString &replacement);
// The same for a support name given to or removed from records: no separator at all.
std::optional<QString> supportRefusal(const QString &support);

// A replacement confined to one field by the separators around its texts: the key must end with
// find, the support, category or note must equal it, the target must begin with it (key,
// support, category and note in capitals; the target as typed); Field::All finds find anywhere.
struct FieldReplacement
{
    QString search;
    QString replacement;
};
FieldReplacement confined(record::Field field, const QString &find, const QString &by);

// The first occurrence of search in each line (case-sensitive) replaced.
LineChange replaceFirst(const QByteArray &search, const QByteArray &replacement);
// Lines holding text (case-sensitive) and an empty support "[]": support put into the first "[]".
LineChange giveSupport(const QByteArray &text, const QByteArray &support);
// Lines holding "[" + support + "]": the support of its first occurrence removed, leaving "[]".
LineChange removeSupport(const QByteArray &support);
// The lines identical to one of lines (whole line, case-sensitive) removed.
LineChange removeLines(const QSet<QByteArray> &lines);

} // namespace batch
