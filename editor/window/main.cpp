#include "common/desktop/qt_desktop.h"
#include "common/files/program_folder.h"
#include "common/widgets/apropos.h"
#include "editor/text/editor_session.h"
#include "editor/window/form1.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Redig5"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.talvo5.Redig5"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("redig5"), suiteIcon()));
    // The editor speaks French only; so do the buttons and dialogs that Qt draws for it.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    EditorSession session(files::programFolder());
    QtDesktop desktop;
    Form1 window(session, desktop);
    window.Form_Load(QApplication::arguments().mid(1));
    window.show();
    return app.exec();
}
