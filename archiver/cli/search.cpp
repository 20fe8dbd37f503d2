#include "archiver/cli/cli.h"

#include "common/text/texts.h"
#include "archiver/operations/global_search.h"
#include "archiver/store/utilities.h"
#include "common/text/cp1252.h"

#include <array>

namespace cli {

int runSearch(Context &ctx, const QStringList &args)
{
    QString problem;
    const auto o = parseOptions(args, {QStringLiteral("field")}, {QStringLiteral("count")}, &problem);
    if (!o) return usage(problem);
    if (o->positional.size() != 1) return usage(texts::get(texts::kTakesArguments).arg(QStringLiteral("search"), texts::get(texts::kSyntaxSearch)));

    record::Field field = record::Field::All;
    if (o->values.contains(QStringLiteral("field"))) {
        const auto named = fieldNamed(o->values.value(QStringLiteral("field")));
        if (!named) return usage(texts::get(texts::kUnknownField).arg(o->values.value(QStringLiteral("field"))));
        field = *named;
    }
    const bool countOnly = o->flags.contains(QStringLiteral("count"));
    const QString text = cp1252::toUpper(o->positional.front());

    // Each byte of a line as it is printed, worked out once: UTF-8, and a control character
    // shown as \xNN; lines go out without a detour through QString.
    std::array<QByteArray, 256> shown;
    for (int b = 0; b < 256; ++b) {
        const QChar c = cp1252::decodeByte(static_cast<unsigned char>(b));
        shown[b] = cp1252::isControl(c.unicode()) ? QByteArray("\\x") + QByteArray::number(b, 16).rightJustified(2, '0')
                                                  : QString(c).toUtf8();
    }
    QByteArray out;
    auto flush = [&] {
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        out.clear();
    };
    const SearchCounts counts =
        RechercheGlobale(ctx.catalogue, text, field, [&](QByteArrayView line) {
            if (countOnly) return;
            for (const char c : line) {
                const auto b = static_cast<unsigned char>(c);
                if (b >= 0x20 && b < 0x7F) out.append(c);
                else out.append(shown[b]);
            }
            out.append('\n');
            if (out.size() > (1 << 16)) flush();
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

} // namespace cli
