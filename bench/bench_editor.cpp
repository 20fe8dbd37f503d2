// The editor's window on large documents, offscreen, for bench_editor.sh:
//
//   bench_editor open FILE                  opens FILE as the command line would, until shown
//   bench_editor replace FILE WORD OTHER    opens FILE, replaces every WORD by OTHER, saves; also
//                                           prints how many were replaced and whether the progress
//                                           was shown
//   bench_editor save FILE                  opens FILE, changes it, then times the save alone
//
// Prints the length of the text shown; "save" also prints the save's own time in ms on stderr.
#include "common/desktop/scripted_desktop.h"
#include "common/text/document_text.h"
#include "editor/text/editor_session.h"
#include "editor/window/form1.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextEdit>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: bench_editor open|replace|save FILE [WORD OTHER]\n");
        return 2;
    }
    QTemporaryDir folder;
    EditorSession session(folder.path());
    ScriptedDesktop desktop;
    Form1 window(session, desktop);
    window.Form_Load({args[1]});
    window.show();
    QCoreApplication::processEvents();
    if (args[0] == u"replace" && args.size() == 4) {
        desktop.dialogHandlers.append([&](QDialog *d) {
            d->findChild<QLineEdit *>(QStringLiteral("cible"))->setText(args[2]);
            d->findChild<QLineEdit *>(QStringLiteral("Texte1"))->setText(args[3]);
            QMetaObject::invokeMethod(d, "ok_auto_Click");
            return d->result();
        });
        const qsizetype occurrences = doctext::findAllIgnoringCase(window.plainText(), args[2]).size();
        QElapsedTimer timer;
        timer.start();
        window.action(EditorCommand::Remplacer)->trigger();
        const qint64 replaced = timer.elapsed();
        window.action(EditorCommand::Sauver)->trigger();
        QCoreApplication::processEvents();
        std::fprintf(stderr, "replace %lld ms, save %lld ms, %lld replaced, progress %s\n",
                     static_cast<long long>(replaced), static_cast<long long>(timer.elapsed() - replaced),
                     static_cast<long long>(occurrences),
                     desktop.log.filter(QStringLiteral("progress: ")).isEmpty() ? "not shown" : "shown");
    } else if (args[0] == u"save") {
        window.Text1()->textCursor().insertText(QStringLiteral("x"));
        QElapsedTimer timer;
        timer.start();
        window.action(EditorCommand::Sauver)->trigger();
        std::fprintf(stderr, "%lld\n", static_cast<long long>(timer.elapsed()));
    } else if (args[0] != u"open") {
        std::fprintf(stderr, "bench_editor: unknown mode\n");
        return 2;
    }
    if (!desktop.messages.isEmpty()) {
        std::fprintf(stderr, "bench_editor: %s\n", qPrintable(desktop.messages.last().text));
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(window.Text1()->document()->characterCount()));
    return 0;
}
