#include "archiver/cli/cli.h"

#include "common/text/texts.h"
#include "archiver/operations/global_search.h"
#include "archiver/store/utilities.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include <memory>

namespace cli {
namespace {

class Search final : public Command
{
public:
    Search()
        : Command("search", &texts::kSyntaxSearch, texts::kUsageSearch, {QStringLiteral("field")},
                  {QStringLiteral("count")})
    {
    }
    int run(Context &ctx, const Options &o) const override;
};

int Search::run(Context &ctx, const Options &o) const
{
    if (o.positional.size() != 1) return wrongArguments();

    record::Field field = record::Field::All;
    if (o.values.contains(QStringLiteral("field"))) {
        const auto named = fieldNamed(o.values.value(QStringLiteral("field")));
        if (!named) return usage(texts::get(texts::kUnknownField).arg(o.values.value(QStringLiteral("field"))));
        field = *named;
    }
    const bool countOnly = o.flags.contains(QStringLiteral("count"));
    const QString text = cp1252::toUpper(o.positional.front());

    // Lines go out in UTF-8 in large blocks, straight from the bytes read.
    constexpr qsizetype kBlock = 1 << 20;
    constexpr qsizetype kLineRoom = linefile::kMaxLineLength * cp1252::kMaxShownPerByte + 1;
    const std::unique_ptr<char[]> out(countOnly ? nullptr : new char[size_t(kBlock + kLineRoom)]);
    char *const begin = out.get();
    char *end = begin;
    auto flush = [&] {
        std::fwrite(begin, 1, size_t(end - begin), stdout);
        end = begin;
    };
    const SearchCounts counts =
        RechercheGlobale(ctx.catalogue, text, field, [&](QByteArrayView line) {
            if (countOnly) return;
            end = cp1252::writeShownUtf8(line, end);
            *end++ = '\n';
            if (end - begin >= kBlock) flush();
        });
    if (countOnly) {
        std::printf("%lld\n", static_cast<long long>(counts.found));
    } else {
        flush();
        std::fflush(stdout);
        writeOut(stderr, formatCount(counts.found) + ctx.message(96) + formatCount(counts.total) +
                             ctx.message(97) + u'\n');
    }
    // The counts leave out what could not be read: say so, and fail.
    if (!counts.unreadable.isEmpty()) {
        std::fflush(stdout);
        return refuse(counts.unreadable.join(u'\n'));
    }
    return Done;
}

} // namespace

const Command &searchCommand()
{
    static const Search command;
    return command;
}

} // namespace cli
