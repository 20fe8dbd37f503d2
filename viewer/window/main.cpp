#include "common/desktop/qt_desktop.h"
#include "common/files/program_folder.h"
#include "common/widgets/companion.h"
#include "viewer/text/viewer_session.h"
#include "viewer/window/lisor_window.h"

#include <QApplication>
#include <QSessionManager>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const CompanionStart start(QStringLiteral("Lisor5"), QStringLiteral("org.talvo5.Lisor5"), QStringLiteral("lisor5"));
    ViewerSession session(files::programFolder());
    QtDesktop desktop;
    lisor::Form1 window(session, desktop);
#ifndef QT_NO_SESSIONMANAGER
    // The desktop session ending asks what closing the window asks, when the user may be asked.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, [&window](QSessionManager &manager) {
        if (!window.endSession(manager.allowsInteraction())) manager.cancel();
    });
#endif
    window.show();
    window.Form_Load(QApplication::arguments().mid(1));
    return app.exec();
}
