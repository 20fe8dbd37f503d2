#include "archiver/store/record_entry.h"

#include "archiver/store/lists.h"
#include "common/files/atomic_file.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"

namespace entry {

Record normalised(Record r)
{
    r.key = cp1252::toUpper(r.key);
    r.note = cp1252::toUpper(r.note);
    return r;
}

std::optional<Refusal> check(const Record &r)
{
    if (const int m = record::keyRefusal(r.key)) return Refusal{m, {}};

    const struct
    {
        const QString &text;
        const texts::Text &name;
        int firstForbidden; // index of the first separator the field may not hold
    } fields[] = {{r.key, texts::kFieldKey, 5},           {r.date, texts::kFieldDate, 1},
                  {r.support, texts::kFieldSupport, 2},   {r.category, texts::kFieldCategory, 3},
                  {r.note, texts::kFieldNote, 4},         {r.target, texts::kFieldTarget, 5}};
    for (const auto &f : fields) {
        const QString name = texts::get(f.name);
        for (const QChar c : f.text)
            if (c == u'\r' || c == u'\n')
                return Refusal{0, texts::get(texts::kFieldOneLine).arg(name)};
        if (const auto bad = cp1252::firstUnstorable(f.text))
            return Refusal{0, texts::get(texts::kFieldProblem).arg(name, cp1252::unstorableMessage(*bad))};
        for (int s = f.firstForbidden; s < 5; ++s)
            if (f.text.contains(record::kSeparators[s]))
                return Refusal{0, texts::get(texts::kFieldSeparator).arg(name, QString(record::kSeparators[s]))};
    }
    if (record::compose(r).size() > record::kMaxLineLength) return Refusal{29, {}};
    return std::nullopt;
}

bool store(const FolderLock &lock, const Catalogue &catalogue, const Record &r, bool addCategory,
           QString *currentFile, QString *errorText)
{
    const QString &folder = catalogue.folder();
    files::FileSnapshot supports, categories;
    if (!supports.take(lists::supportFile(folder), errorText) ||
        !categories.take(lists::categoryFile(folder), errorText))
        return false;
    if (!lists::registerSupport(lock, r.support, errorText)) return false;
    if (addCategory && lists::addCategory(lock, r.category, errorText) == lists::AddOutcome::Failed) {
        supports.restore();
        return false;
    }
    if (!catalogue.append(lock, record::compose(r), currentFile, errorText)) {
        supports.restore();
        categories.restore();
        return false;
    }
    return true;
}

} // namespace entry
