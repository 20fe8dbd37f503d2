#include "archiver/operations/transfer.h"

#include "archiver/store/line_order.h"
#include "archiver/store/record.h"
#include "archiver/store/record_entry.h"
#include "common/files/atomic_file.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"
#include "common/text/texts.h"

#include <QFile>

#include <algorithm>

namespace transfer {
namespace {


bool digitOrCapital(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z'); }

// Why a file cannot be read as lines at all: UTF-16 (by its byte order mark, or by the NUL of
// every other byte), or line ends of a lone CR, which would make one line of the whole file.
QString refusedShape(const QString &path)
{
    QByteArray head;
    linefile::forEachChunk(path, [&](QByteArrayView chunk) {
        head = chunk.first(std::min<qsizetype>(chunk.size(), 64 * 1024)).toByteArray();
        return false;
    });
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return texts::get(texts::kImportUtf16).arg(path);
    qsizetype nulEven = 0, nulOdd = 0;
    const qsizetype sample = std::min<qsizetype>(head.size(), 4096);
    for (qsizetype i = 0; i < sample; ++i)
        if (head[i] == '\0') ++(i % 2 ? nulOdd : nulEven);
    if (sample >= 8 && std::max(nulEven, nulOdd) * 4 > sample) return texts::get(texts::kImportUtf16).arg(path);
    if (!head.contains('\n') && head.contains('\r')) return texts::get(texts::kImportCrOnly).arg(path);
    return QString();
}

// Reads path line by line, empty lines included, until fn returns false (the reading was
// abandoned); fn gets each line with its number.
template <typename Fn>
void readLines(const QString &path, Reading *r, Fn &&fn)
{
    if (const QString why = refusedShape(path); !why.isEmpty()) {
        r->error = why;
        return;
    }
    qint64 number = 0;
    const linefile::ReadStatus status = linefile::forEachLineWithEmpty(path, [&](QByteArrayView line) {
        ++number;
        if (!r->abandoned && !fn(line, number)) r->abandoned = true;
    });
    if (status.missing) r->error = texts::get(texts::kFileNotFound).arg(path);
    else if (!status.ok()) r->error = status.error;
    if (!r->error.isEmpty()) {
        r->lines.clear();
        r->runs.clear();
        r->runLines.clear();
        r->accepted = 0;
    }
}

// Counts a rejected line and why; false when it is the one that stops the reading.
bool reject(Reading *r, qint64 number, const QString &text, const QString &why, int message = 0)
{
    constexpr qsizetype kShown = 80; // of a rejected line, enough to find it
    r->rejectedLines.append({number, text.size() > kShown ? text.left(kShown) + QStringLiteral("…") : text, why, message});
    return ++r->rejected < kRejectedLimit;
}

QString rejectedFirst(QChar c) { return texts::get(texts::kRejectFirst).arg(c); }

// What a reading keeps of its accepted lines: in memory up to the budget, then, each letter's
// lines sorted, in a run file of the spool. False, with the reading's error, when a run cannot be
// written.
class Keeper
{
public:
    Keeper(Reading *r, qsizetype budget) : r_(r), budget_(budget) {}

    bool keep(QChar letter, QByteArray line)
    {
        held_ += line.size() + 32; // and what a list entry costs
        r_->lines[letter].append(std::move(line));
        ++r_->accepted;
        return held_ <= budget_ || spill();
    }

private:
    bool spill()
    {
        if (!r_->spool) {
            r_->spool = std::make_shared<QTemporaryDir>();
            if (!r_->spool->isValid()) return fail(r_->spool->path());
        }
        for (auto it = r_->lines.begin(); it != r_->lines.end(); ++it) {
            if (it->isEmpty()) continue;
            std::stable_sort(it->begin(), it->end(), order_);
            const QString run = r_->spool->filePath(QStringLiteral("%1-%2.run").arg(it.key()).arg(r_->runs[it.key()].size()));
            QFile out(run);
            if (!out.open(QIODevice::WriteOnly)) return fail(run);
            for (const QByteArray &line : std::as_const(*it))
                if (out.write(line) != line.size() || !out.putChar('\n')) return fail(run);
            if (!out.flush()) return fail(run);
            r_->runs[it.key()].append(run);
            r_->runLines[it.key()] += it->size();
            it->clear();
            it->squeeze();
        }
        held_ = 0;
        return true;
    }
    bool fail(const QString &path)
    {
        r_->error = texts::get(texts::kCannotCreate).arg(path);
        return false;
    }

    Reading *r_;
    qsizetype budget_;
    qsizetype held_ = 0;
    LineOrder order_;
};

} // namespace

Reading readRecords(const QString &path, qsizetype memoryBudget)
{
    Reading r;
    Keeper keeper(&r, memoryBudget);
    readLines(path, &r, [&](QByteArrayView line, qint64 number) {
        // Decoded only to be named: the accepted lines stay bytes.
        const auto text = [&] { return cp1252::decode(line.first(std::min<qsizetype>(line.size(), 100))); };
        if (line.isEmpty()) return reject(&r, number, text(), texts::get(texts::kRejectEmpty));
        if (!digitOrCapital(static_cast<unsigned char>(line[0])))
            return reject(&r, number, text(), rejectedFirst(cp1252::decodeByte(static_cast<unsigned char>(line[0]))));
        if (!line.contains('#') || !line.contains('\xA7'))
            return reject(&r, number, text(), texts::get(texts::kRejectSeparators));
        // A line no record can be: too long (a cut one included), or with a control character
        // that the letter files must never hold.
        if (line.size() > record::kMaxLineLength)
            return reject(&r, number, text(), texts::get(texts::kRejectTooLong).arg(record::kMaxLineLength));
        if (const auto bad = cp1252::firstControl(line))
            return reject(&r, number, text(), cp1252::unstorableMessage(*bad));
        // A run that cannot be written stops the reading, its error said.
        return keeper.keep(QLatin1Char(line[0]), line.toByteArray());
    });
    return r;
}

Reading readList(const QString &path, const QString &today, const QString &category, qsizetype memoryBudget)
{
    Reading r;
    Keeper keeper(&r, memoryBudget);
    // Pieces hold whole lines, so the file is valid UTF-8 when each of them is.
    bool utf8 = true;
    const linefile::ReadStatus status = linefile::forEachPiece(path, [&](QByteArrayView piece) {
        if (utf8 && !linefile::isUtf8(piece)) utf8 = false;
    });
    if (!status.ok() || status.missing) {
        r.error = status.missing ? texts::get(texts::kFileNotFound).arg(path) : status.error;
        return r;
    }
    bool first = true;
    readLines(path, &r, [&](QByteArrayView bytes, qint64 number) {
        if (first && utf8 && bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
        first = false;
        if (bytes.isEmpty()) return true;
        const QString typed = utf8 ? QString::fromUtf8(bytes) : cp1252::decode(bytes);
        const QString line = cp1252::toUpper(typed);
        const qsizetype hash = line.indexOf(u'#');
        if (!digitOrCapital(line.front().unicode())) return reject(&r, number, typed, rejectedFirst(line.front()));
        if (hash < 0) return reject(&r, number, typed, texts::get(texts::kRejectNoHash));
        if (line.contains(u'\u00A7')) return reject(&r, number, typed, texts::get(texts::kRejectSection));
        Record record;
        record.key = line.left(hash);
        record.date = today;
        record.category = category;
        record.note = line.mid(hash + 1);
        // A key or a note that would shift the fields, a character the letter files cannot
        // hold, a line over the length limit: not a record this catalogue can keep.
        if (const auto refused = entry::check(record)) return reject(&r, number, typed, refused->text, refused->message);
        QByteArray encoded;
        QString why;
        if (!cp1252::encodeTo(record::compose(record), &encoded, &why)) return reject(&r, number, typed, why);
        return keeper.keep(line.front(), encoded);
    });
    return r;
}

QStringList describe(const QList<Rejected> &rejected, const std::function<QString(int)> &message)
{
    QStringList out;
    for (const Rejected &r : rejected)
        out.append(texts::get(texts::kRejectedLine)
                       .arg(r.number)
                       .arg(cp1252::withControlsShown(r.text, false), r.why.isEmpty() ? message(r.message) : r.why));
    return out;
}

bool exportLines(const QString &path, const QStringList &lines, QString *errorText)
{
    char32_t bad = 0;
    const auto body = linefile::encodeLines(lines, &bad);
    if (!body) {
        if (errorText) *errorText = cp1252::unencodableMessage(bad);
        return false;
    }
    return files::saveAtomically(path, *body, errorText);
}

} // namespace transfer
