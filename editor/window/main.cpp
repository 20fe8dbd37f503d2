#include "common/desktop/qt_desktop.h"
#include "common/files/program_folder.h"
#include "common/widgets/companion.h"
#include "editor/text/editor_session.h"
#include "editor/window/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const CompanionStart start(QStringLiteral("Redig5"), QStringLiteral("org.talvo5.Redig5"), QStringLiteral("redig5"));
    EditorSession session(files::programFolder());
    QtDesktop desktop;
    Form1 window(session, desktop);
    window.Form_Load(QApplication::arguments().mid(1));
    window.show();
    return app.exec();
}
