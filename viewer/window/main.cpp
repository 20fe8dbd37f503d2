#include "common/desktop/qt_desktop.h"
#include "common/files/program_folder.h"
#include "common/widgets/companion.h"
#include "viewer/text/viewer_session.h"
#include "viewer/window/lisor_window.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const CompanionStart start(QStringLiteral("Lisor5"), QStringLiteral("org.talvo5.Lisor5"), QStringLiteral("lisor5"));
    ViewerSession session(files::programFolder());
    QtDesktop desktop;
    lisor::Form1 window(session, desktop);
    window.show();
    window.Form_Load(QApplication::arguments().mid(1));
    return app.exec();
}
