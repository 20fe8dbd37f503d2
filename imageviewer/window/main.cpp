#include "common/desktop/qt_desktop.h"
#include "common/files/program_folder.h"
#include "common/widgets/companion.h"
#include "imageviewer/picture/pictel_session.h"
#include "imageviewer/picture/pictel_texts.h"
#include "imageviewer/window/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const CompanionStart start(pictexts::appName(), QStringLiteral("org.talvo5.Pictel5"), QStringLiteral("pictel5"));
    PictelSession session(files::programFolder());
    QtDesktop desktop;
    pictel::Form1 window(session, desktop);
    window.Form_Load(QApplication::arguments().mid(1));
    window.show();
    return app.exec();
}
