#include "archiver/main/list_commands.h"

#include "archiver/forms/form.h"
#include "archiver/forms/impr1.h"
#include "archiver/forms/htm.h"
#include "archiver/forms/impr2.h"
#include "archiver/main/grid_model.h"
#include "archiver/main/talvo.h"
#include "archiver/operations/html_page.h"
#include "archiver/operations/print_list.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "common/widgets/cinput.h"

#include <QAction>

namespace commands {
namespace {

QList<Record> listedRecords(Talvo &window)
{
    QList<Record> rows;
    const GridModel &grid = window.gridModel();
    for (int row = 0; row < grid.rowCount(); ++row) rows.append(grid.record(row));
    return rows;
}

// The number at the start of an answer, as a typed width is read ("12 car" is 12; none is 0).
int leadingNumber(const QString &text)
{
    int n = 0;
    for (const QChar c : text.trimmed()) {
        if (!c.isDigit() || n > 100000) break;
        n = n * 10 + c.digitValue();
    }
    return n;
}

bool ask(Talvo &window, int message)
{
    return window.desktop().message(&window, window.message(message), QString(), Desktop::Buttons::YesNo,
                                    Desktop::Icon::Question)
           == Desktop::Answer::Yes;
}

} // namespace

void m_imprimer(Talvo &window)
{
    ArchiverSession &session = window.session();
    Desktop &desktop = window.desktop();
    // Escape or closing either dialog gives up the print.
    {
        impr1 layout(session, desktop, &window);
        if (desktop.exec(&layout) != QDialog::Accepted) return;
    }
    {
        impr2 fields(session, desktop, &window);
        if (desktop.exec(&fields) != QDialog::Accepted) return;
    }
    const QList<Record> rows = listedRecords(window);
    const QString header = printlist::headerLine(window.gridSearchText(), session.date, rows.size(),
                                                 window.message(17));
    QString text, notice;
    if (session.print.layout == 0) {
        printlist::Columns layout;
        layout.selection = session.print.selection;
        layout.fill = session.print.fill;
        for (const int column : layout.selection) {
            const QString title = window.gridModel().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
            const int widest = printlist::widest(rows, column);
            const QString typed = SaisieTexte(desktop, &window, title + u'\n' + window.message(14), window.message(15),
                                              QString::number(widest), false);
            layout.widths.append(typed.isEmpty() ? widest : leadingNumber(typed));
        }
        layout.dashes = ask(window, 16);
        text = printlist::columns(rows, layout, header);
        notice = printlist::widthNotice(printlist::totalWidth(layout), window.message(18), window.message(19),
                                        window.message(20));
    } else {
        printlist::Cards layout;
        layout.selection = session.print.selection;
        if (!ask(window, 154)) {
            layout.header = ask(window, 155);
            layout.separators = ask(window, 156);
            layout.numbers = ask(window, 157);
            if (ask(window, 150))
                for (const int n : impr2::kFieldMessages) layout.labels.append(window.message(n));
        }
        text = printlist::cards(rows, layout, header);
    }
    QString error;
    const auto path = printlist::save(session.folder, text, &error);
    if (!path) {
        desktop.message(&window, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return;
    }
    window.stateChanged();
    if (!notice.isEmpty()) desktop.message(&window, notice, QString(), Desktop::Buttons::Ok, Desktop::Icon::Information);
    forms::startCompanion(&window, desktop, QStringLiteral("redig5"), {*path});
}

void m_album(Talvo &window)
{
    ArchiverSession &session = window.session();
    Desktop &desktop = window.desktop();
    const QStringList pictures = htmlpage::albumPictures(listedRecords(window));
    if (pictures.isEmpty()) {
        desktop.message(&window, window.message(26));
        return;
    }
    forms::handListToTool(&window, desktop, session, QLatin1String(forms::kThumbnailTool),
                          pictures.join(u'\n').toUtf8());
}

void m_html(Talvo &window)
{
    htm page(window.session(), window.desktop(), listedRecords(window), &window);
    window.desktop().exec(&page);
}

} // namespace commands
