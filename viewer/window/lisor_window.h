#pragma once

#include <QMainWindow>

#include "common/text/document_text.h"
#include "common/widgets/command_table.h"

#include <memory>

class Desktop;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QTextEdit;
struct ViewerSession;

namespace lisor {

// The window's commands, one per menu entry.
enum class Command {
    Charger, Sauver, Encodage, Chercher, Suivant, Remplacer, Rubriques, Imprimer, Copier,
    Vert, Rouge, Bleu, Noir, Blanc, Souligne, Minuscules, Majuscules, Gras, Italique, Normal, Trier, Info
};

// The viewer's window: the document in texte2, the section panel Picture1 with its list Liste1
// over it, and the menus. The commands live in viewer_commands.
class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    Form1(ViewerSession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~Form1() override;

    // The start-up: the command line's document, or the open dialog when there is none.
    void Form_Load(const QStringList &arguments);

    ViewerSession &session() { return session_; }
    const ViewerSession &session() const { return session_; }
    Desktop &desktop() { return desktop_; }
    QTextEdit *texte2() const { return texte2_; }
    QListWidget *Liste1() const { return liste1_; }
    QFrame *Picture1() const { return picture1_; }
    QAction *action(Command id) const { return commands_->action(id); }
    QMenu *menu(const char *name) const { return commands_->menu(name); }
    // The menus' enabled rules evaluated again, after anything they look at changed.
    void stateChanged() { commands_->refresh(); }
    bool hasSelection() const;

    // The box's text with "\n" line ends; positions are the box's.
    QString plainText() const;
    // The plain text as a save writes it (pictures have no place there).
    QString textToSave() const;
    // Shows a document read from path, unchanged, and lists its sections.
    void showDocument(const QString &path, const doctext::Document &document);
    // Records the document as unchanged under path.
    void setSaved(const QString &path);
    // Whether the document changed since it was read or written: its own state, set by every
    // edit, format change, sort and replacement.
    bool isModified() const;
    // Shows the character set and line ends the document is saved with.
    void updateStatus();

    // The session is ending: the same question as closing, when the user may be asked. False
    // when the session must not end.
    bool endSession(bool mayAsk);

    void showSections();
    void Liste1_Click(int row);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The table of the menus and their commands (viewer_menus.cpp).
    void setupMenus();
    void texte2_Change();
    void fitSections();

    ViewerSession &session_;
    Desktop &desktop_;
    QTextEdit *texte2_ = nullptr;
    QFrame *picture1_ = nullptr;
    QListWidget *liste1_ = nullptr;
    QLabel *status_ = nullptr;
    bool centred_ = false;
    // The user answered for the document as the session ended; the close that follows asks
    // again only after a new change.
    bool leaveDecided_ = false;
    std::unique_ptr<CommandTable<Form1, Command>> commands_;
};

} // namespace lisor
