#pragma once

#include <QMainWindow>

class Desktop;
class QFrame;
class QListWidget;
class QMenu;
class QTextEdit;
struct ViewerSession;

namespace lisor {

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
    Desktop &desktop() { return desktop_; }
    QTextEdit *texte2() const { return texte2_; }
    QListWidget *Liste1() const { return liste1_; }
    QFrame *Picture1() const { return picture1_; }
    QAction *action(const char *name) const;
    QMenu *menu(const char *name) const;

    // The box's text with "\n" line ends; positions are the box's.
    QString plainText() const;
    // Reads path into the box and the section list; false with the reason when it cannot.
    bool loadDocument(const QString &path, QString *errorText);
    // The box as its file holds it: RTF, or the plain text in its own character set.
    std::optional<QByteArray> fileContent(bool asRtf, QString *errorText) const;
    // Records the document as unchanged under path.
    void setSaved(const QString &path);

    void showSections();
    void Liste1_Click(int row);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void setupFichierMenu();
    void setupTexteMenu();
    void setupTopActions();
    void setupSelectionMenu();
    QAction *addAction(QWidget *menu, const char *name, const QString &text, void (*command)(Form1 &));
    void texte2_Change();
    void selectionChanged();
    void fitSections();

    ViewerSession &session_;
    Desktop &desktop_;
    QTextEdit *texte2_ = nullptr;
    QFrame *picture1_ = nullptr;
    QListWidget *liste1_ = nullptr;
    bool centred_ = false;
};

} // namespace lisor
