// Times the archiver's main window offscreen on a catalogue:
//   bench_window --home DIR --startup           start-up to the first shown window, then exit
//   bench_window --home DIR --search TEXT [--runs N]
//                                               Enter in the key box to the grid holding every
//                                               row, N times; prints the median in ms
//   ... --search TEXT --refine TEXT2 [--field key|note|...]
//                                               then, N times: the search again (not timed) and
//                                               the refine of its grid by TEXT2 in that field
//                                               (the key by default); prints its median
// Message boxes are answered by the scripted desktop, so nothing waits on a user.

#include "archiver/main/operation_commands.h"
#include "archiver/main/talvo.h"
#include "archiver/store/session.h"
#include "archiver/store/utilities.h"
#include "common/desktop/scripted_desktop.h"
#include "common/files/program_folder.h"

#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto option = [&](const QString &name, const QString &fallback = QString()) {
        const qsizetype i = args.indexOf(name);
        return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
    };
    const QString home = option(QStringLiteral("--home"));
    if (home.isEmpty()) {
        std::fputs("usage: bench_window --home DIR (--startup | --search TEXT [--runs N])\n", stderr);
        return 2;
    }
    ArchiverSession session(files::withTrailingSlash(home), formatDayDate(QDate::currentDate()));
    ScriptedDesktop desktop;
    Talvo window(session, desktop);
    if (!window.Form_Load()) return 1;
    window.show();
    QApplication::processEvents();
    if (args.contains(QStringLiteral("--startup"))) {
        std::printf("startup_ms %.2f\n", sinceStart.nsecsElapsed() / 1e6);
        return 0;
    }

    const QString text = option(QStringLiteral("--search"), QStringLiteral("ROSE"));
    const int runs = std::max(1, option(QStringLiteral("--runs"), QStringLiteral("5")).toInt());
    auto *large = window.findChild<QLineEdit *>(QStringLiteral("large"));
    large->setText(text);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        QTest::keyClick(large, Qt::Key_Return);
        QApplication::processEvents(); // the grid paints its first rows
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    const double searchMs = times[times.size() / 2];
    std::printf("rows %lld\nsearch_median_ms %.2f\n", static_cast<long long>(window.gridModel().rowCount()), searchMs);

    const QString refineText = option(QStringLiteral("--refine"));
    if (refineText.isEmpty()) return 0;
    const QString fieldName = option(QStringLiteral("--field"), QStringLiteral("key"));
    const QStringList fieldNames = {QStringLiteral("key"), QStringLiteral("date"), QStringLiteral("support"),
                                    QStringLiteral("category"), QStringLiteral("note"), QStringLiteral("target")};
    const qsizetype f = fieldNames.indexOf(fieldName);
    if (f < 0) {
        std::fputs("bench_window: --field is one of key date support category note target\n", stderr);
        return 2;
    }
    const auto field = record::Field(int(record::Field::Key) + int(f));
    times.clear();
    for (int i = 0; i < runs; ++i) {
        QTest::keyClick(large, Qt::Key_Return);
        QApplication::processEvents();
        desktop.dialogHandlers = {[&](QDialog *) {
            session.searchText = refineText;
            session.searchField = field;
            return int(QDialog::Accepted);
        }};
        QElapsedTimer t;
        t.start();
        commands::m_affiner(window);
        QApplication::processEvents();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    const double refineMs = times[times.size() / 2];
    std::printf("refined_rows %lld\nrefine_median_ms %.2f\nrefine_to_search %.2f\n",
                static_cast<long long>(window.gridModel().rowCount()), refineMs, refineMs / searchMs);
    return 0;
}
