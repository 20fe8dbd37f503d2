#include "archiver/cli/cli.h"

#include "archiver/operations/html_page.h"
#include "common/images/image_size.h"
#include "common/text/texts.h"

#include <QDir>

namespace cli {
namespace {

// The page of the pictures of the records a search lists, as the window's dialog makes it, in
// the same working folder under the home folder; nothing is opened. A folder or a page of that
// name that the program did not write is refused and left as it was, where the window asks.
class HtmlPage final : public Command
{
public:
    HtmlPage()
        : Command("html-page", &texts::kSyntaxHtmlPage, texts::kUsageHtmlPage,
                  {QStringLiteral("search"), QStringLiteral("field"), QStringLiteral("title"), QStringLiteral("fields"),
                   QStringLiteral("columns"), QStringLiteral("copy-mode")},
                  {QStringLiteral("parchment")})
    {
    }
    int run(Context &ctx, const Options &o) const override;
};

int HtmlPage::run(Context &ctx, const Options &o) const
{
    if (o.positional.size() != 1 || o.positional.front().isEmpty() || !o.values.contains(QStringLiteral("search")))
        return wrongArguments();
    htmlpage::Options options;
    options.name = o.positional.front();
    options.title = o.values.value(QStringLiteral("title"), options.title);
    options.fields = o.values.value(QStringLiteral("fields"), options.fields);
    options.parchment = o.flags.contains(QLatin1String("parchment"));
    bool ok = true;
    options.columns = o.values.value(QStringLiteral("columns"), QStringLiteral("1")).toInt(&ok);
    if (!ok || options.columns < 1) return wrongArguments();
    options.copyMode = o.values.value(QStringLiteral("copy-mode"), QStringLiteral("2")).toInt(&ok);
    if (!ok || options.copyMode < 0 || options.copyMode > 2) return wrongArguments();

    int exit = Done;
    const auto f = found(ctx, o, &exit);
    if (!f) return exit;
    QString folder = ctx.folder;
    if (!folder.endsWith(u'/')) folder += u'/';
    const htmlpage::Outcome out = htmlpage::build(
        rowsOf(*f), options, folder, QDir::homePath(),
        [](const QString &path, QString *why) { return images::headerSize(path, why); },
        [](const Record &r) { writeOut(stderr, texts::get(texts::kCliMediumNeeded).arg(r.target, r.support) + u'\n'); });
    for (const QString &p : out.problems) writeOut(stderr, p + u'\n');
    if (!out.error.isEmpty()) return refuse(out.error);
    if (out.pictures == 0) return refuse(ctx.message(128));
    writeOut(stdout, texts::get(texts::kCliPageWritten).arg(out.pictures).arg(out.page) + u'\n');
    return Done;
}

} // namespace

const Command &htmlPageCommand()
{
    static const HtmlPage command;
    return command;
}

} // namespace cli
