#pragma once

#include "common/desktop/desktop.h"

#include <QPoint>

class QPrinter;
class QScreen;

// The Desktop of the running program: Qt's dialogs, processes and services. A box or dialog over
// a window on the screen is centred on that window; over a window not shown yet (the questions
// of a first start come before the main window) or over none, it is centred on the screen.
class QtDesktop : public Desktop
{
public:
    Answer message(QWidget *parent, const QString &text, const QString &title, Buttons buttons,
                   Icon icon, std::optional<Answer> defaultButton = std::nullopt) override;
    std::optional<QString> inputText(QWidget *parent, const QString &prompt, const QString &title,
                                     const QString &initial) override;
    std::optional<int> choose(QWidget *parent, const QString &title, const QString &label,
                              const QStringList &items) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter, bool confirmOverwrite = true) override;
    QString folderName(QWidget *parent, const QString &title, const QString &folder) override;
    int exec(QDialog *dialog) override;
    Progress progress(QWidget *parent, const QString &label) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
    bool openUrl(const QUrl &url) override;
    void beep() override;
    void setClipboardText(const QString &text) override;
    QString clipboardText() override;
    bool print(QWidget *parent, const QTextDocument &document, const QString &title) override;
    bool printImage(QWidget *parent, const QImage &image, const QString &title) override;
};

namespace printing {

// Paints the picture on the printer's one page as printImage places it; false when the printer
// could not be started or failed.
bool paintImage(QPrinter &printer, const QImage &image);

} // namespace printing

// Where top-level windows stand. Positions are the frame's: the top-left corner of the window
// with the title bar and borders that the window manager puts around it. The frame's size is
// known only once the window manager has framed the shown window, so a placement made before
// is made again then.
namespace placement {

// The height taken for a title bar whose real height is not known yet.
inline constexpr int kTitleBarPixels = 25;

// Whether a window of that width whose frame stands at framePos shows the whole height of its
// title bar, over enough of its width to be taken with the mouse, on one of the screens.
bool titleBarOnScreen(QPoint framePos, int width);

// Puts the window's frame at framePos.
void placeFrame(QWidget *window, QPoint framePos);

// Centres the window's frame on the available area of a screen (the primary one when null).
void centreOnScreen(QWidget *window, QScreen *screen = nullptr);

} // namespace placement
