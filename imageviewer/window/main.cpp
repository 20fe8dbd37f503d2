#include "common/desktop/qt_desktop.h"
#include "common/files/program_folder.h"
#include "common/widgets/apropos.h"
#include "imageviewer/picture/pictel_session.h"
#include "imageviewer/picture/pictel_texts.h"
#include "imageviewer/window/form1.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(pictexts::appName());
    QGuiApplication::setDesktopFileName(QStringLiteral("org.talvo5.Pictel5"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("pictel5"), suiteIcon()));
    // The viewer speaks French only; so do the buttons and dialogs that Qt draws for it.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    PictelSession session(files::programFolder());
    QtDesktop desktop;
    pictel::Form1 window(session, desktop);
    window.Form_Load(QApplication::arguments().mid(1));
    window.show();
    return app.exec();
}
