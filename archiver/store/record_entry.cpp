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

namespace {

struct FieldRule
{
    const texts::Text &name;
    int firstForbidden; // index of the first separator the field may not hold
};

FieldRule ruleOf(record::Field field)
{
    switch (field) {
    case record::Field::Key: return {texts::kFieldKey, 5};
    case record::Field::Date: return {texts::kFieldDate, 1};
    case record::Field::Support: return {texts::kFieldSupport, 2};
    case record::Field::Category: return {texts::kFieldCategory, 3};
    case record::Field::Note: return {texts::kFieldNote, 4};
    case record::Field::Target:
    case record::Field::All: break;
    }
    return {texts::kFieldTarget, 5};
}

} // namespace

std::optional<Refusal> checkField(record::Field field, QStringView text)
{
    const FieldRule rule = ruleOf(field);
    const QString name = texts::get(rule.name);
    for (const QChar c : text)
        if (c == u'\r' || c == u'\n') return Refusal{0, texts::get(texts::kFieldOneLine).arg(name)};
    if (const auto bad = cp1252::firstUnstorable(text))
        return Refusal{0, texts::get(texts::kFieldProblem).arg(name, cp1252::unstorableMessage(*bad))};
    for (int s = rule.firstForbidden; s < 5; ++s)
        if (text.contains(record::kSeparators[s]))
            return Refusal{0, texts::get(texts::kFieldSeparator).arg(name, QString(record::kSeparators[s]))};
    return std::nullopt;
}

std::optional<Refusal> check(const Record &r)
{
    if (const int m = record::keyRefusal(r.key)) return Refusal{m, {}};
    using F = record::Field;
    const std::pair<F, const QString &> fields[] = {{F::Key, r.key},           {F::Date, r.date},
                                                    {F::Support, r.support},   {F::Category, r.category},
                                                    {F::Note, r.note},         {F::Target, r.target}};
    for (const auto &[field, text] : fields)
        if (auto refusal = checkField(field, text)) return refusal;
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
