#pragma once

#include "common/text/document_text.h"
#include "common/widgets/command_table.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class Desktop;
class EditorSession;
class QLabel;
class QMenu;
class QTextEdit;

// The editor's commands, one per menu entry.
enum class EditorCommand {
    EditerOrtho, EditerPolitesse, EditerSignature,
    Nouveau, Charger, Merger, Sauver, SauverSous, Assistant, Imprimer, Htm, TxtToHtm, Type, Encodage,
    Annuler, Chercher, Suivant, Remplacer, Suppr, Tout, Copier, Couper, Coller, TotLignes, HowMany,
    Police, Lister, FontName,
    KillDoublons, Tete, Queue, SupprTete, AjoutTete, AjoutQueue, NoTxt, Tri, EcrirePolitesse, Date, EcrireSignature,
    Crypter, Decrypter,
    Img, NoRtf,
    SelTri, Ortho, Traduire, Trad2, SelMaj, SelMin, FonteSel, Titre, Souligner, Gras, Italique, Color, Gauche,
    Centrer, Droite, SaveSel,
    Info, Doc, AideHtm
};

// The editor's window: one text area, the menus, and the state of the document shown. The
// commands live in file_commands and edit_commands; the window's table of menus (form1_menus)
// wires its entries to them.
class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    Form1(EditorSession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~Form1() override;

    // The start-up: settings, then the document the command line names, then what the program
    // folder enables.
    void Form_Load(const QStringList &arguments);

    EditorSession &session() { return session_; }
    const EditorSession &session() const { return session_; }
    Desktop &desktop() { return desktop_; }
    QTextEdit *Text1() const { return text1_; }
    QAction *action(EditorCommand id) const { return commands_->action(id); }
    QMenu *menu(const char *name) const { return commands_->menu(name); }
    // The menus' enabled rules evaluated again, after anything they look at changed.
    void stateChanged() { commands_->refresh(); }

    // What the enabled rules look at.
    bool hasSelection() const;
    // Whether the text holds "<html>", known until the text changes.
    bool holdsHtml() const;
    // Opened as a web page: it may not become RTF.
    bool openedAsPage() const { return openedAsPage_; }
    void setOpenedAsPage(bool page) { openedAsPage_ = page; }
    // An undo snapshot is there to go back to.
    bool undoable() const { return undoable_; }
    // "ENREGISTRER" waits for the next change (a converted document goes through Save As).
    void holdSave() { saveHeld_ = true; }
    bool saveHeld() const { return saveHeld_; }
    void setUndoable(bool can) { undoable_ = can; }
    // A document came from the command line at start: its menus are open even when it is empty.
    bool startedOnFile() const { return startedOnFile_; }
    // The menus that follow the document's kind wait for its first change or opening.
    bool kindMenusOpen() const { return kindMenusOpen_; }
    bool englishRecords() const { return englishRecords_; }
    bool editorHelp() const { return editorHelp_; }
    bool htmlHelp() const { return htmlHelp_; }

    // The document's identity is its path, shown as the caption.
    const QString &caption() const { return caption_; }
    void setCaption(const QString &path);
    // An untitled document has the program folder's "SansTitre" name as its caption, and is
    // saved only through Save As.
    bool untitled() const { return untitled_; }
    void setUntitled(bool plainText);
    // The file the document was read from or last written to; empty for a new document. Any
    // other existing file is replaced only after a question.
    const QString &ownFile() const { return ownFile_; }
    void setOwnFile(const QString &path) { ownFile_ = path; }
    bool modeTxt() const { return modeTxt_; }
    void setModeTxt(bool plainText);
    // Whether the document changed since it was read, written or made: its own state, set by
    // every edit, format change and replacement.
    bool modifie() const;
    void setModifie(bool changed);
    doctext::Encoding encoding() const { return encoding_; }
    bool crlf() const { return crlf_; }
    void setFileFormat(doctext::Encoding encoding, bool crlf);

    // The whole text, line ends as "\n".
    QString plainText() const;
    // The plain text as a save writes it (pictures have no place there).
    QString textToSave() const;
    bool isEmpty() const;
    // Replaces the text, as plain text or as RTF, without marking the document changed. The
    // caret goes to the top. meanwhile, when given, runs while the new text is being put in.
    void showPlainText(const QString &text, const std::function<void()> &meanwhile = {});
    void showRtf(const QByteArray &rtf);
    // Shows a document read from path, unchanged, under path: its kind, encoding and line ends.
    void showDocument(const QString &path, const doctext::Document &document);
    // The document as its file holds it: RTF, or the plain text as it was read.
    std::optional<QByteArray> fileContent(QString *errorText) const;
    // Saves that content to path atomically. False with the reason when it could not; the file
    // is then as it was.
    bool saveFile(const QString &path, QString *errorText) const;

    // The session is ending: the same question as closing, when the user may be asked. False
    // when the session must not end (the user cancelled, or a save failed).
    bool endSession(bool mayAsk);

    // The menus after the text changed; text, when given, is the plain text already taken from
    // the window.
    void MajMenus(const QString *text = nullptr);
    void AjouterFichierRecent();
    // The undo snapshot of the text as it is now; text, when given, is the plain text already
    // taken from the window.
    void SauverPourAnnuler(const QString *text = nullptr);
    void updateRecentMenu();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The table of the menus and their commands (form1_menus.cpp).
    void setupMenus();
    void Text1_Change();
    void applySettings();
    void updateStatus();

    EditorSession &session_;
    Desktop &desktop_;
    QTextEdit *text1_ = nullptr;
    QAction *recentSeparator_ = nullptr;
    std::unique_ptr<CommandTable<Form1, EditorCommand>> commands_;
    bool openedAsPage_ = false;
    bool undoable_ = false;
    bool saveHeld_ = false;
    bool startedOnFile_ = false;
    bool kindMenusOpen_ = false;
    bool englishRecords_ = false;
    bool editorHelp_ = false;
    bool htmlHelp_ = false;
    QLabel *status_ = nullptr;
    QString caption_;
    QString ownFile_;
    bool untitled_ = true;
    bool modeTxt_ = true;
    // The user answered for the document as the session ended; the close that follows asks
    // again only after a new change.
    bool leaveDecided_ = false;
    bool centred_ = false;
    doctext::Encoding encoding_ = doctext::Encoding::Utf8;
    bool crlf_ = false;
    mutable std::optional<bool> html_;
    // The text shown, as plainText() gives it, when it was put in whole and has not changed since.
    std::optional<QString> shownText_;
};
