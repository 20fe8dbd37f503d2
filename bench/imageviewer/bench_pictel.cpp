// The image viewer's window on a large picture, offscreen, for bench_pictel.sh:
//
//   bench_pictel open FILE                    opens FILE as the command line would, until shown
//   bench_pictel crop FILE OUT X Y W H        opens FILE, selects the rectangle X,Y W×H of the full
//                                             picture with the mouse, crops, saves as OUT
//
// Prints the size of the picture shown and of the picture worked on.
#include "common/desktop/scripted_desktop.h"
#include "imageviewer/picture/pictel_session.h"
#include "imageviewer/window/form1.h"
#include "imageviewer/window/picture_box.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void mouse(QWidget *box, QEvent::Type type, QPoint at)
{
    const Qt::MouseButton button = Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), box->mapToGlobal(QPointF(at)), type == QEvent::MouseMove ? Qt::NoButton : button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button), Qt::NoModifier);
    QApplication::sendEvent(box, &event);
}

// A point of the full picture where it stands in the picture as shown.
QPoint shownPoint(int x, int y, QSize shown, QSize full)
{
    return {int(qint64(x) * shown.width() / full.width()), int(qint64(y) * shown.height() / full.height())};
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    const bool crop = args.size() == 7 && args[0] == u"crop";
    if (!crop && !(args.size() == 2 && args[0] == u"open")) {
        std::fprintf(stderr, "usage: bench_pictel open FILE | crop FILE OUT X Y W H\n");
        return 2;
    }
    QTemporaryDir folder;
    PictelSession session(folder.path());
    ScriptedDesktop desktop;
    pictel::Form1 window(session, desktop);
    window.Form_Load({args[1]});
    window.show();
    QCoreApplication::processEvents();
    window.Image1()->repaint();
    if (crop) {
        const QSize full = window.picture().size();
        const QSize shown = window.Image1()->size();
        const int x = args[3].toInt(), y = args[4].toInt(), w = args[5].toInt(), h = args[6].toInt();
        window.action(pictel::Command::Mode)->trigger();
        mouse(window.Image1(), QEvent::MouseButtonPress, shownPoint(x, y, shown, full));
        mouse(window.Image1(), QEvent::MouseMove, shownPoint(x + w / 2, y + h / 2, shown, full));
        mouse(window.Image1(), QEvent::MouseButtonRelease, shownPoint(x + w, y + h, shown, full));
        // What an earlier run saved there is replaced without the question a user would get.
        QFile::remove(args[2]);
        desktop.fileNames << args[2];
        window.action(pictel::Command::SaveAs)->trigger();
        QCoreApplication::processEvents();
        window.Image1()->repaint();
    }
    if (!desktop.messages.isEmpty() || !window.loaded()) {
        std::fprintf(stderr, "bench_pictel: %s\n", qPrintable(desktop.messageTexts().join(u'\n')));
        return 1;
    }
    std::printf("shown %dx%d, picture %dx%d\n", window.Image1()->width(), window.Image1()->height(),
                window.picture().size().width(), window.picture().size().height());
    return 0;
}
