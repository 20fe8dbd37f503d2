#include "archiver/cli/cli.h"

#include "archiver/operations/print_list.h"
#include "archiver/store/utilities.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"

#include <QDate>

namespace cli {
namespace {

// The window asks for the columns, their widths and the card options; here every column is
// printed, each as wide as its longest text, and the cards are plain.
class PrintList final : public Command
{
public:
    PrintList()
        : Command("print-list", &texts::kSyntaxPrintList, texts::kUsagePrintList,
                  {QStringLiteral("search"), QStringLiteral("field")}, {QStringLiteral("columns"), QStringLiteral("cards")})
    {
    }
    int run(Context &ctx, const Options &o) const override;
};

int PrintList::run(Context &ctx, const Options &o) const
{
    if (!o.positional.isEmpty() || o.flags.size() != 1) return wrongArguments();
    int exit = Done;
    const auto f = found(ctx, o, &exit);
    if (!f) return exit;
    const QList<Record> rows = rowsOf(*f);
    const QString header = printlist::headerLine(f->text, formatDayDate(QDate::currentDate()), rows.size(), ctx.message(17));
    const QList<int> all{0, 1, 2, 3, 4, 5};
    QString text, notice;
    if (o.flags.front() == QLatin1String("columns")) {
        printlist::Columns layout;
        layout.selection = all;
        for (const int column : all) layout.widths.append(printlist::widest(rows, column));
        text = printlist::columns(rows, layout, header);
        notice = printlist::widthNotice(printlist::totalWidth(layout), ctx.message(18), ctx.message(19), ctx.message(20));
    } else {
        printlist::Cards layout;
        layout.selection = all;
        text = printlist::cards(rows, layout, header);
    }
    QString error;
    const auto path = printlist::save(ctx.folder, text, &error);
    if (!path) return refuse(error);
    writeOut(stdout, texts::get(texts::kCliWritten).arg(rows.size()).arg(*path) + u'\n');
    if (!notice.isEmpty()) writeOut(stderr, notice + u'\n');
    return Done;
}

} // namespace

const Command &printListCommand()
{
    static const PrintList command;
    return command;
}

} // namespace cli
