#include "common/desktop/qt_desktop.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

namespace placement {
namespace {

constexpr int kGripPixels = 48;    // of a title bar, enough to take it with the mouse
constexpr int kPollMs = 20;        // how often a shown window is looked at until it is framed
constexpr int kPollTimes = 100;    // and for how long, at most
const char kPlacerName[] = "qt_frame_placer";

bool framed(const QWidget *window)
{
    return window->isVisible() && window->frameGeometry().size() != window->size();
}

// The size of the window with its frame; before it is framed, with the frame that the window
// manager gave another window of the program, if one is shown.
QSize frameSize(const QWidget *window)
{
    if (framed(window)) return window->frameGeometry().size();
    for (const QWidget *other : QApplication::topLevelWidgets())
        if (other != window && framed(other)) return window->size() + other->frameGeometry().size() - other->size();
    return window->size();
}

// Moves a window to where(frame size) at once and, while it is not framed yet, once more when
// the window manager has framed it: the frame's size was only guessed, and a window that was
// already made (not shown) when it was moved is placed by the corner of its inside, not of its
// frame.
class FramePlacer : public QObject
{
public:
    FramePlacer(QWidget *window, std::function<QPoint(QSize)> where)
        : QObject(window), window_(window), where_(std::move(where))
    {
        setObjectName(QLatin1String(kPlacerName));
        timer_.setInterval(kPollMs);
        connect(&timer_, &QTimer::timeout, this, &FramePlacer::check);
        window->installEventFilter(this);
        if (window->isVisible()) timer_.start();
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && event->type() == QEvent::Show) {
            polls_ = 0;
            timer_.start();
        }
        return false;
    }

private:
    void check()
    {
        if (framed(window_)) {
            const QPoint wanted = where_(window_->frameGeometry().size());
            if (window_->pos() != wanted) window_->move(wanted);
        } else if (++polls_ < kPollTimes) {
            return;
        }
        timer_.stop();
        deleteLater();
    }

    QWidget *window_;
    std::function<QPoint(QSize)> where_;
    QTimer timer_;
    int polls_ = 0;
};

void place(QWidget *window, const std::function<QPoint(QSize)> &where)
{
    for (QObject *old : window->findChildren<QObject *>(QLatin1String(kPlacerName), Qt::FindDirectChildrenOnly))
        delete old;
    window->move(where(frameSize(window)));
    if (!framed(window)) new FramePlacer(window, where);
}

} // namespace

bool titleBarOnScreen(QPoint framePos, int width)
{
    const QRect bar(framePos, QSize(std::max(1, width), kTitleBarPixels));
    const int grip = std::min(bar.width(), kGripPixels);
    const QList<QScreen *> screens = QGuiApplication::screens();
    return std::any_of(screens.cbegin(), screens.cend(), [&](const QScreen *screen) {
        const QRect shown = bar & screen->availableGeometry();
        return shown.height() == bar.height() && shown.width() >= grip;
    });
}

void placeFrame(QWidget *window, QPoint framePos)
{
    place(window, [framePos](QSize) { return framePos; });
}

void centreOnScreen(QWidget *window, QScreen *screen)
{
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    place(window, [area](QSize frame) {
        return area.topLeft() + QPoint(std::max(0, (area.width() - frame.width()) / 2),
                                       std::max(0, (area.height() - frame.height()) / 2));
    });
}

} // namespace placement

namespace {

// The parent a box or dialog is shown over: none when that window is not on the screen, so
// that showing the box does not make the hidden window before its own placement.
QWidget *shownParent(QWidget *parent)
{
    return parent && parent->window()->isVisible() ? parent : nullptr;
}

void placeDialog(QDialog &dialog, QWidget *parent)
{
    if (shownParent(parent)) return; // Qt centres it on that window
    if (!dialog.testAttribute(Qt::WA_Resized)) dialog.adjustSize();
    placement::centreOnScreen(&dialog, parent ? parent->screen() : nullptr);
}

} // namespace

Desktop::Answer QtDesktop::message(QWidget *parent, const QString &text, const QString &title,
                                   Buttons buttons, Icon icon, std::optional<Answer> defaultButton)
{
    QMessageBox box(shownParent(parent));
    box.setText(text);
    box.setWindowTitle(title.isEmpty() ? QApplication::applicationName() : title);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    if (defaultButton) {
        const QMessageBox::StandardButton standard = *defaultButton == Answer::Ok    ? QMessageBox::Ok
                                                     : *defaultButton == Answer::Yes ? QMessageBox::Yes
                                                     : *defaultButton == Answer::No  ? QMessageBox::No
                                                                                     : QMessageBox::Cancel;
        if (QAbstractButton *button = box.button(standard)) box.setDefaultButton(static_cast<QPushButton *>(button));
    }
    placeDialog(box, parent);
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

std::optional<QString> QtDesktop::inputText(QWidget *parent, const QString &prompt,
                                            const QString &title, const QString &initial)
{
    QInputDialog dialog(shownParent(parent));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    placeDialog(dialog, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
}

std::optional<int> QtDesktop::choose(QWidget *parent, const QString &title, const QString &label,
                                     const QStringList &items)
{
    QInputDialog dialog(shownParent(parent));
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(false);
    dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
    placeDialog(dialog, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const int index = int(items.indexOf(dialog.textValue()));
    return index < 0 ? std::nullopt : std::optional<int>(index);
}

QString QtDesktop::openFileName(QWidget *parent, const QString &title, const QString &folder,
                                const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString QtDesktop::saveFileName(QWidget *parent, const QString &title, const QString &folder,
                                const QString &filter, bool confirmOverwrite)
{
    return QFileDialog::getSaveFileName(parent, title, folder, filter, nullptr,
                                        confirmOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite);
}

QString QtDesktop::folderName(QWidget *parent, const QString &title, const QString &folder)
{
    return QFileDialog::getExistingDirectory(parent, title, folder);
}

int QtDesktop::exec(QDialog *dialog)
{
    placeDialog(*dialog, dialog->parentWidget());
    return dialog->exec();
}

Desktop::Progress QtDesktop::progress(QWidget *parent, const QString &label)
{
    // Shown only when the work lasts; the dialog goes with the last copy of the function.
    auto dialog = std::make_shared<QProgressDialog>(label, QString(), 0, 0, parent);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(400);
    dialog->setAutoReset(false);
    dialog->setAutoClose(false);
    return [dialog](qint64 done, qint64 total) {
        // Large counts are shown in thousandths, which an int holds.
        dialog->setMaximum(1000);
        dialog->setValue(total > 0 ? int(std::min<qint64>(1000, done * 1000 / total)) : 0);
        QCoreApplication::processEvents();
        return !dialog->wasCanceled();
    };
}

bool QtDesktop::startProgram(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool QtDesktop::openUrl(const QUrl &url) { return QDesktopServices::openUrl(url); }

void QtDesktop::beep() { QApplication::beep(); }

void QtDesktop::setClipboardText(const QString &text) { QApplication::clipboard()->setText(text); }

QString QtDesktop::clipboardText() { return QApplication::clipboard()->text(); }

bool QtDesktop::print(QWidget *parent, const QTextDocument &document, const QString &title)
{
    QPrinter printer;
    printer.setDocName(title);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted) return false;
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

bool QtDesktop::printImage(QWidget *parent, const QImage &image, const QString &title)
{
    QPrinter printer;
    printer.setDocName(title);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted) return false;
    return printing::paintImage(printer, image);
}

namespace printing {

bool paintImage(QPrinter &printer, const QImage &image)
{
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect page = painter.viewport();
    QSizeF size = QSizeF(image.size()) * printer.resolution() / 96.0;
    if (size.width() > page.width() || size.height() > page.height()) size.scale(QSizeF(page.size()), Qt::KeepAspectRatio);
    painter.drawImage(QRectF(QPointF(0, 0), size), image);
    return painter.end() && printer.printerState() != QPrinter::Error;
}

} // namespace printing
