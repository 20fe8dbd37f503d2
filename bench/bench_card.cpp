// Opens the record card of one record whose target is a picture, offscreen, and exits once the
// card's thumbnail is drawn: timed as a whole process by bench_thumbnail.sh.
//
//   bench_card PICTURE        exit 0 when the thumbnail is drawn, 1 otherwise
//   bench_card --make PICTURE only the thumbnail, without the card
//
// Prints "thumbnail WxH" and "inside_ms N" (from the start of main to the drawn thumbnail).

#include "archiver/forms/fiche.h"
#include "archiver/forms/thumbnail.h"
#include "archiver/store/lists.h"
#include "archiver/store/session.h"
#include "common/desktop/scripted_desktop.h"
#include "common/files/program_folder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool makeOnly = !args.isEmpty() && args.front() == QLatin1String("--make");
    if (makeOnly) args.removeFirst();
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: bench_card [--make] PICTURE\n");
        return 2;
    }
    const QString picture = QFileInfo(args.front()).absoluteFilePath();

    if (makeOnly) {
        const thumbnail::Result r = thumbnail::make(picture, QSize(137, 137));
        if (r.image.isNull()) {
            std::fprintf(stderr, "%s\n", qPrintable(r.error));
            return 1;
        }
        std::printf("thumbnail %dx%d\ninside_ms %lld\n", r.image.width(), r.image.height(),
                    static_cast<long long>(clock.elapsed()));
        return 0;
    }

    // A fresh catalogue in a temporary program folder, so no real one is read or changed.
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    const QString folder = dir.path() + u'/';
    const QString today = QStringLiteral("07-12-2026");
    ArchiverSession session(folder, today);
    // The category list is the only work file the card reads; the others are not needed, and
    // writing them (each saved and synced) would be timed with the card.
    {
        QFile categories(lists::categoryFile(folder));
        if (!categories.open(QIODevice::WriteOnly) || categories.write("DIVERS\r\nIMAGES\r\n") < 0) {
            std::fprintf(stderr, "cannot write the category list in %s\n", qPrintable(folder));
            return 1;
        }
    }
    session.language.setFile(files::shippedDataFolder() + QStringLiteral("francais.lng"));
    session.settings.showAssociatedFile = true;
    session.current.record.key = QStringLiteral("PHOTO");
    session.current.record.date = today;
    session.current.record.category = QStringLiteral("IMAGES");
    session.current.record.target = picture;

    ScriptedDesktop desktop;
    Fiche card(session, desktop);
    card.show();
    QCoreApplication::processEvents();
    const QLabel *box = card.findChild<QLabel *>(QStringLiteral("Picture2"));
    if (!box || box->pixmap().isNull()) {
        std::fprintf(stderr, "no thumbnail drawn\n");
        for (const ScriptedDesktop::Shown &m : desktop.messages) std::fprintf(stderr, "%s\n", qPrintable(m.text));
        return 1;
    }
    std::printf("thumbnail %dx%d\ninside_ms %lld\n", box->pixmap().width(), box->pixmap().height(),
                static_cast<long long>(clock.elapsed()));
    return 0;
}
