#include "archiver/cli/cli.h"

#include "archiver/operations/global_search.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"

namespace cli {

std::optional<Found> found(Context &ctx, const Options &o, int *exit)
{
    Found f;
    if (o.values.contains(QStringLiteral("field")) && !o.values.contains(QStringLiteral("search"))) {
        *exit = usage(texts::get(texts::kFieldWithoutSearch));
        return std::nullopt;
    }
    if (o.values.contains(QStringLiteral("field"))) {
        const auto named = fieldNamed(o.values.value(QStringLiteral("field")));
        if (!named) {
            *exit = usage(texts::get(texts::kUnknownField).arg(o.values.value(QStringLiteral("field"))));
            return std::nullopt;
        }
        f.field = *named;
    }
    f.text = cp1252::toUpper(o.values.value(QStringLiteral("search")));
    if (const char32_t bad = cp1252::firstUnencodable(f.text)) {
        *exit = refuse(cp1252::unencodableMessage(bad));
        return std::nullopt;
    }
    const SearchCounts counts =
        RechercheGlobale(ctx.catalogue, f.text, f.field, [&](QByteArrayView line) { f.lines.append(line.toByteArray()); });
    // A list that silently lacked a letter file would look complete.
    if (!counts.unreadable.isEmpty()) {
        *exit = refuse(counts.unreadable.join(u'\n'));
        return std::nullopt;
    }
    return f;
}

QList<Record> rowsOf(const Found &f)
{
    QList<Record> rows;
    rows.reserve(f.lines.size());
    for (const QByteArray &bytes : f.lines) {
        const QString line = cp1252::decode(bytes);
        rows.append(record::parse(line).value_or(Record{line, {}, {}, {}, {}, {}}));
    }
    return rows;
}

} // namespace cli
