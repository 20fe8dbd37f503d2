#include "imageviewer/window/form1.h"

#include "common/desktop/desktop.h"
#include "common/desktop/qt_desktop.h"
#include "common/widgets/companion.h"
#include "imageviewer/picture/geometry.h"
#include "imageviewer/picture/pictel_session.h"
#include "imageviewer/picture/pictel_texts.h"
#include "imageviewer/window/file_commands.h"
#include "imageviewer/window/image_commands.h"
#include "imageviewer/window/picture_box.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QRubberBand>
#include <QScreen>
#include <QSessionManager>

namespace pictel {

Form1::Form1(PictelSession &session, Desktop &desktop, QWidget *parent)
    : QMainWindow(parent), session_(session), desktop_(desktop)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(pictexts::appName());
    // No layout: the picture box keeps its picture's size and moves freely in move mode.
    zone_ = new QWidget(this);
    zone_->setObjectName(QStringLiteral("zone"));
    setCentralWidget(zone_);
    image1_ = new PictureBox(zone_);
    band_ = new QRubberBand(QRubberBand::Rectangle, image1_);
    connect(image1_, &PictureBox::mouseDown, this, &Form1::Image1_MouseDown);
    connect(image1_, &PictureBox::mouseMoved, this, &Form1::Image1_MouseMove);
    connect(image1_, &PictureBox::mouseUp, this, &Form1::Image1_MouseUp);
    connect(image1_, &PictureBox::keyPressed, this, &Form1::Image1_KeyPress);
    connect(image1_, &PictureBox::focusLost, this, &Form1::Image1_LostFocus);

    setupMenus();

    setMode(false);
    // The smallest window also shows the whole menu bar, which here does not wrap to a second
    // line: a narrower one would hide the mode entry behind the menu bar's overflow arrow.
    setMinimumSize(windowSize(kMinimumTwips).expandedTo(QSize(menuBar()->sizeHint().width(), 0)));
    resize(minimumSize());
    AjusterFenetre();

    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this, &Form1::commitData);
}

// The picture box outlives this part of the window: the focus it loses while the window is taken
// down must not reach a window that is no longer one.
Form1::~Form1() { image1_->disconnect(this); }


void Form1::Form_Load(const QStringList &arguments)
{
    if (QScreen *screen = this->screen()) placement::placeFrame(this, screen->availableGeometry().topLeft());
    const QString path = commandLinePath(arguments);
    if (path.isEmpty()) filecmd::m_charger(*this);
    else openPicture(path);
}

void Form1::setMode(bool selection)
{
    mode_ = selection;
    dragging_ = selecting_ = false;
    band_->hide();
    action(Command::Mode)->setText(u'&' + (selection ? pictexts::selectionMode() : pictexts::moveMode()));
    image1_->setCursor(selection ? Qt::ArrowCursor : Qt::SizeAllCursor);
    if (selection) image1_->move(0, 0);
}

bool Form1::openPicture(const QString &path)
{
    // Asked before the file is read: a Save may write the very file asked for.
    if (!maySetAside()) return false;
    QString error;
    const std::optional<Picture> opened = Picture::load(path, &error);
    if (!opened || !showPicture(*opened, &error)) {
        warn(error);
        return false;
    }
    originale_ = filed_ = *opened;
    session_.currentFile = path;
    // "[*]" in a title is Qt's mark of a changed document; doubled, it is shown as it is.
    setWindowTitle(QString(path).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
    stateChanged();
    return true;
}

bool Form1::modified() const { return loaded_ && !picture_.sameAs(filed_); }

bool Form1::maySetAside()
{
    if (!modified() || picture_.sameAs(dropped_)) return true;
    switch (desktop_.message(this, pictexts::unsavedChanges(session_.currentFile), QString(),
                             Desktop::Buttons::YesNoCancel, Desktop::Icon::Question, Desktop::Answer::Yes)) {
    case Desktop::Answer::Yes:
        return filecmd::saveUnder(*this, session_.currentFile);
    case Desktop::Answer::No:
        return true;
    default:
        return false;
    }
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (maySetAside()) event->accept();
    else event->ignore();
}

bool Form1::sessionEnding()
{
    if (!maySetAside()) return false;
    dropped_ = picture_;
    return true;
}

void Form1::commitData(QSessionManager &manager)
{
    // Without the session's leave nothing may be asked: the desktop ends it as it wants.
    if (!manager.allowsInteraction()) return;
    const bool agreed = sessionEnding();
    manager.release();
    if (!agreed) manager.cancel();
}

bool Form1::showPicture(const Picture &picture, QString *errorText)
{
    const QImage shown = picture.fitted(shownBound(), errorText);
    if (shown.isNull()) return false;
    picture_ = picture;
    loaded_ = true;
    image1_->setImage(shown);
    image1_->move(0, 0);
    AjusterFenetre();
    image1_->setFocus();
    return true;
}

void Form1::AjusterFenetre()
{
    stateChanged();
    if (!loaded_) return;
    resize(windowSize(windowTwips(image1_->size())).expandedTo(minimumSize()));
    setMode(false);
    session_.imageWidth = picture_.size().width();
    session_.imageHeight = picture_.size().height();
}

QSize Form1::windowSize(QSize twips) const
{
    // The frame that the outer size made room for is the window manager's here; the menu bar is
    // inside the window.
    return twips / kTwipsPerPixel - kFrameTwips / kTwipsPerPixel + QSize(0, menuBar()->sizeHint().height());
}

QSize Form1::shownBound() const
{
    const QScreen *screen = this->screen();
    if (!screen) return {};
    return screen->availableGeometry().size() - kFrameTwips / kTwipsPerPixel
           - QSize(0, menuBar()->sizeHint().height());
}

bool Form1::reachable(QAction *action) const { return ::reachable(action); }

void Form1::warn(const QString &text)
{
    desktop_.message(this, text, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
}

void Form1::Image1_MouseDown(Qt::MouseButton button, QPoint at)
{
    if (!loaded_) return;
    press_ = at;
    if (mode_ && button == Qt::LeftButton) {
        selecting_ = true;
        band_->setGeometry(QRect(at, QSize()));
        band_->show();
    } else {
        dragging_ = true;
    }
}

void Form1::Image1_MouseMove(QPoint at)
{
    if (dragging_) image1_->move(image1_->pos() - (press_ - at));
    else if (selecting_) band_->setGeometry(selectionRect(press_, at, image1_->size()));
}

void Form1::Image1_MouseUp(Qt::MouseButton button, QPoint at)
{
    if (selecting_ && button == Qt::LeftButton) {
        selecting_ = false;
        band_->hide();
        imagecmd::recadrer(*this, selectionRect(press_, at, image1_->size()));
    } else if (dragging_) {
        dragging_ = false;
        press_ = QPoint();
    }
}

void Form1::Image1_KeyPress(int key)
{
    if (key == Qt::Key_Escape) close();
}

void Form1::Image1_LostFocus()
{
    // The release may never come to the picture (another window took the mouse): the drag ends
    // there, without a crop.
    dragging_ = selecting_ = false;
    band_->hide();
}

} // namespace pictel
