#pragma once

#include "imageviewer/picture/picture.h"

#include "common/widgets/command_table.h"

#include <QMainWindow>

#include <memory>

class Desktop;
class PictureBox;
class QRubberBand;
class QSessionManager;
struct PictelSession;

namespace pictel {

// The window's commands, one per menu entry.
enum class Command { Charger, Save, SaveAs, Taille, Print, Restaurer, Mode, Infos };

// The viewer's window: the picture box Image1 on a plain area, the menus, and the pictures: the
// one shown and worked on, and originale, the one before the last crop (or as loaded), which
// "Restaurer" brings back. A picture larger than the screen is shown scaled to fit; every change
// is made on the picture at full size. The commands live in file_commands and image_commands.
class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    Form1(PictelSession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~Form1() override;

    // The start: the window at the top left of the screen, then the picture the command line
    // names, or the Open dialog when it names none.
    void Form_Load(const QStringList &arguments);

    PictelSession &session() { return session_; }
    Desktop &desktop() { return desktop_; }
    QAction *action(Command id) const { return commands_->action(id); }
    QMenu *menu(const char *name) const { return commands_->menu(name); }
    // The menus' enabled rules evaluated again, after anything they look at changed.
    void stateChanged() { commands_->refresh(); }
    PictureBox *Image1() const { return image1_; }
    QRubberBand *rubberBand() const { return band_; }

    const Picture &picture() const { return picture_; }
    const Picture &originale() const { return originale_; }
    void setOriginale(const Picture &picture) { originale_ = picture; }
    bool loaded() const { return loaded_; }
    // true: selection mode, false: move mode.
    bool mode() const { return mode_; }
    void setMode(bool selection);

    // Opens a picture file: on success it is shown, kept as originale, named in the caption and
    // becomes the file "Sauver" writes. On failure the user is told why and nothing changes;
    // nothing changes either when the user keeps the picture shown (maySetAside).
    bool openPicture(const QString &path);
    // Whether the picture shown is not what its file holds: a crop or a resize not saved since
    // the file was opened or saved. A restore back to that picture is no change.
    bool modified() const;
    // The one rule before the picture shown is replaced or closed, whatever does it (another
    // file opened, Esc, the close box, the program quitting, the desktop session ending): with
    // changes not saved the user chooses Save (through "Sauver"; false when that fails), Don't
    // save, or Cancel (false: the picture and its file stay as they were). Without changes
    // nothing is asked.
    bool maySetAside();
    // The desktop session ends (its request to save what is open): the same rule, whose Don't
    // save then holds for this very picture, so that the close of the window that follows the
    // session's end does not ask again. False when the user keeps the picture.
    bool sessionEnding();
    // After the picture shown was saved: the file it went to, which becomes the current one,
    // holds it.
    void markSaved() { filed_ = picture_; }
    // Shows picture in place of the one shown (a crop, a resize, a restore) and fits the window.
    // False, with the reason, when it cannot be shown; the window then stays as it was.
    bool showPicture(const Picture &picture, QString *errorText);
    // Sizes the window to the picture and sets the menus and the mode that follow every change.
    void AjusterFenetre();
    // The largest picture shown unscaled: the screen's free area less the window's frame and menu.
    QSize shownBound() const;
    // The window's size, menu bar included, for an outer size in twips.
    QSize windowSize(QSize twips) const;
    // Whether an action can be used now: it and the menu above it are enabled.
    bool reachable(QAction *action) const;
    void warn(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

public slots:
    void Image1_MouseDown(Qt::MouseButton button, QPoint at);
    void Image1_MouseMove(QPoint at);
    void Image1_MouseUp(Qt::MouseButton button, QPoint at);
    void Image1_KeyPress(int key);
    void Image1_LostFocus();

private:
    void commitData(QSessionManager &manager);
    // The table of the menus and their commands (form1_menus.cpp).
    void setupMenus();

    PictelSession &session_;
    Desktop &desktop_;
    QWidget *zone_ = nullptr;
    PictureBox *image1_ = nullptr;
    QRubberBand *band_ = nullptr;
    Picture picture_;
    Picture originale_;
    Picture filed_;    // what the current file holds
    Picture dropped_;  // the changed picture the user chose not to save as the session ended
    bool loaded_ = false;
    bool mode_ = false;
    bool dragging_ = false;
    bool selecting_ = false;
    QPoint press_;
    std::unique_ptr<CommandTable<Form1, Command>> commands_;
};

} // namespace pictel
