#include "archiver/main/talvo.h"
#include "archiver/store/session.h"
#include "archiver/store/utilities.h"
#include "common/desktop/qt_desktop.h"
#include "common/files/program_folder.h"
#include "common/widgets/apropos.h"

#include <QApplication>
#include <QDate>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Talvo5"));
    // The window manager ties the window to its menu entry and shows the suite's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.talvo5.Talvo5"));
    QApplication::setWindowIcon(suiteIcon());
    ArchiverSession session(files::programFolder(), formatDayDate(QDate::currentDate()));
    session.language.setShippedFolder(files::shippedDataFolder());
    QtDesktop desktop;
    Talvo window(session, desktop);
    if (!window.Form_Load()) return 0;
    window.show();
    return app.exec();
}
