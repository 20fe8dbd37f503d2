// Times the archiver's main window offscreen on a catalogue:
//   bench_window --home DIR --startup           start-up to the first shown window, then exit
//   bench_window --home DIR --search TEXT [--runs N]
//                                               Enter in the key box to the grid holding every
//                                               row, N times; prints the median in ms
// Message boxes are answered by the scripted desktop, so nothing waits on a user.

#include "archiver/main/talvo.h"
#include "archiver/store/session.h"
#include "archiver/store/utilities.h"
#include "common/desktop/scripted_desktop.h"
#include "common/files/program_folder.h"

#include <QApplication>
#include <QDate>
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
    std::printf("rows %lld\nsearch_median_ms %.2f\n", static_cast<long long>(window.gridModel().rowCount()),
                times[times.size() / 2]);
    return 0;
}
