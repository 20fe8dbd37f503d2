#include "imageviewer/window/file_commands.h"

#include "common/desktop/desktop.h"
#include "common/widgets/apropos.h"
#include "imageviewer/picture/pictel_session.h"
#include "imageviewer/picture/pictel_texts.h"
#include "imageviewer/picture/picture.h"
#include "imageviewer/window/form1.h"

#include <QDir>
#include <QFileInfo>

namespace pictel::filecmd {

namespace {

// Where the file dialogs start: beside the picture shown, else in the home folder.
QString startFolder(Form1 &window)
{
    const QString &current = window.session().currentFile;
    return current.isEmpty() ? QDir::homePath() : QFileInfo(current).absolutePath();
}

bool sameFile(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

} // namespace

void m_charger(Form1 &window)
{
    const QString path = window.desktop().openFileName(&window, pictexts::openTitle(), startFolder(window), openFilter());
    if (!path.isEmpty()) window.openPicture(path);
}

bool saveUnder(Form1 &window, const QString &chosen)
{
    QString error;
    const std::optional<SaveTarget> target = saveTarget(chosen, &error);
    if (!target) {
        window.warn(error);
        return false;
    }
    // Another file than the picture's own is replaced only on the user's word, No the default.
    if (QFileInfo::exists(target->path) && !sameFile(target->path, window.session().currentFile)
        && window.desktop().message(&window, pictexts::rewrite() + u'\n' + target->path, pictexts::fileExists(),
                                    Desktop::Buttons::YesNo, Desktop::Icon::Warning, Desktop::Answer::No)
               != Desktop::Answer::Yes)
        return false;
    if (!save(window.picture(), *target, &error)) {
        window.warn(pictexts::notSaved(error));
        return false;
    }
    window.markSaved();
    window.session().currentFile = target->path;
    window.setWindowTitle(QString(target->path).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
    return true;
}

void m_save(Form1 &window) { saveUnder(window, window.session().currentFile); }

void m_sauver(Form1 &window)
{
    const QString &current = window.session().currentFile;
    // The dialog asks nothing about an existing file: saveUnder does, for the name completed too.
    const QString path = window.desktop().saveFileName(&window, pictexts::saveAsTitle(),
                                                       current.isEmpty() ? QDir::homePath() : current,
                                                       saveFilter(current), false);
    if (!path.isEmpty()) saveUnder(window, path);
}

void m_print(Form1 &window)
{
    QString error;
    const QImage image = window.picture().image(&error);
    if (image.isNull()) {
        window.warn(pictexts::notPrinted(error));
        return;
    }
    // The file's name alone: the print dialog makes the PDF's name from it.
    window.desktop().printImage(&window, image, QFileInfo(window.session().currentFile).fileName());
}

void m_infos(Form1 &window) { AfficherApropos(window.desktop(), &window, pictexts::aboutDescription()); }

} // namespace pictel::filecmd
