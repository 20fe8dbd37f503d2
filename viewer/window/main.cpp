#include "common/desktop/qt_desktop.h"
#include "common/files/program_folder.h"
#include "common/widgets/apropos.h"
#include "viewer/text/viewer_session.h"
#include "viewer/window/lisor_window.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lisor5"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.talvo5.Lisor5"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("lisor5"), suiteIcon()));
    // The viewer speaks French; so do the buttons and dialogs that Qt draws for it.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    ViewerSession session(files::programFolder());
    QtDesktop desktop;
    lisor::Form1 window(session, desktop);
    window.show();
    window.Form_Load(QApplication::arguments().mid(1));
    return app.exec();
}
