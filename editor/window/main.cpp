#include "common/desktop/qt_desktop.h"
#include "common/files/program_folder.h"
#include "common/widgets/companion.h"
#include "editor/text/editor_session.h"
#include "editor/window/form1.h"

#include <QApplication>
#include <QSessionManager>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const CompanionStart start(QStringLiteral("Redig5"), QStringLiteral("org.talvo5.Redig5"), QStringLiteral("redig5"));
    EditorSession session(files::programFolder());
    QtDesktop desktop;
    Form1 window(session, desktop);
#ifndef QT_NO_SESSIONMANAGER
    // The desktop session ending asks what closing the window asks, when the user may be asked.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, [&window](QSessionManager &manager) {
        if (!window.endSession(manager.allowsInteraction())) manager.cancel();
    });
#endif
    window.Form_Load(QApplication::arguments().mid(1));
    window.show();
    return app.exec();
}
