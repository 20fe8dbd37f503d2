#include "viewer/window/lisor_window.h"

#include "common/desktop/desktop.h"
#include "common/widgets/companion.h"
#include "common/widgets/text_area.h"
#include "common/richtext/rtf.h"
#include "viewer/text/viewer_session.h"
#include "viewer/text/viewer_text.h"
#include "viewer/window/viewer_commands.h"

#include <QCloseEvent>
#include <QFrame>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QVBoxLayout>

namespace lisor {

namespace {
// 9390 by 5745 twips, at 15 twips to a pixel.
constexpr int kMinimumWidth = 9390 / 15;
constexpr int kMinimumHeight = 5745 / 15;
// The list sits 120 twips inside its panel on every side.
constexpr int kPanelMargin = 120 / 15;
} // namespace

Form1::Form1(ViewerSession &session, Desktop &desktop, QWidget *parent)
    : QMainWindow(parent), session_(session), desktop_(desktop)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Lisor5"));
    texte2_ = new QTextEdit(this);
    texte2_->setObjectName(QStringLiteral("texte2"));
    texte2_->setAcceptRichText(false);
    setCentralWidget(texte2_);

    // A child of the window, not of the text: the list passes on the Enter that chose a section,
    // and the text must not take it as typing over the selected marker.
    picture1_ = new QFrame(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setFrameShape(QFrame::StyledPanel);
    picture1_->setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(picture1_);
    layout->setContentsMargins(kPanelMargin, kPanelMargin, kPanelMargin, kPanelMargin);
    liste1_ = new QListWidget(picture1_);
    liste1_->setObjectName(QStringLiteral("Liste1"));
    layout->addWidget(liste1_);
    picture1_->hide();
    connect(liste1_, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) { Liste1_Click(liste1_->row(item)); });
    connect(liste1_, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { Liste1_Click(liste1_->row(item)); });

    setupFichierMenu();
    setupTexteMenu();
    setupTopActions();
    setupSelectionMenu();
    connect(texte2_, &QTextEdit::textChanged, this, &Form1::texte2_Change);
    connect(texte2_, &QTextEdit::selectionChanged, this, &Form1::selectionChanged);
    selectionChanged();
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(760, 520);
}

Form1::~Form1() = default;

QAction *Form1::action(const char *name) const { return findChild<QAction *>(QString::fromLatin1(name)); }
QMenu *Form1::menu(const char *name) const { return findChild<QMenu *>(QString::fromLatin1(name)); }

QAction *Form1::addAction(QWidget *menu, const char *name, const QString &text, void (*command)(Form1 &))
{
    auto *action = new QAction(text, menu);
    action->setObjectName(QString::fromLatin1(name));
    menu->addAction(action);
    connect(action, &QAction::triggered, this, [this, action, command] {
        if (action->isEnabled()) command(*this);
    });
    return action;
}

void Form1::setupFichierMenu()
{
    QMenu *fichier = menuBar()->addMenu(QStringLiteral("&FICHIER"));
    fichier->setObjectName(QStringLiteral("m_fichier"));
    addAction(fichier, "m_charger", QStringLiteral("Charger"), viewercmd::m_charger)->setShortcut(QKeySequence::Open);
    addAction(fichier, "m_sauver", QStringLiteral("Sauver"), viewercmd::m_sauver)->setShortcut(QKeySequence::Save);
}

void Form1::setupTexteMenu()
{
    QMenu *texte = menuBar()->addMenu(QStringLiteral("&TEXTE"));
    texte->setObjectName(QStringLiteral("m_text"));
    addAction(texte, "m_chercher", QStringLiteral("Rechercher un mot"), viewercmd::m_chercher)->setShortcut(QKeySequence::Find);
    addAction(texte, "m_suivant", QStringLiteral("Suivant"), viewercmd::m_suivant)->setShortcut(QKeySequence(Qt::Key_F3));
    addAction(texte, "m_remplacer", QStringLiteral("Remplacer"), viewercmd::m_remplacer)->setShortcut(QKeySequence(QStringLiteral("Ctrl+H")));
}

void Form1::setupTopActions()
{
    addAction(menuBar(), "m_rubr", QStringLiteral("ALLER A UNE &RUBRIQUE"), viewercmd::m_rubr);
    addAction(menuBar(), "m_imprimer", QStringLiteral("&IMPRIMER"), viewercmd::m_imprimer);
    addAction(menuBar(), "m_copier", QStringLiteral("&Copier"), viewercmd::m_copier);
}

void Form1::setupSelectionMenu()
{
    QMenu *selection = menuBar()->addMenu(QStringLiteral("&Sélection"));
    selection->setObjectName(QStringLiteral("m_selection"));
    selection->menuAction()->setObjectName(QStringLiteral("m_selection"));
    addAction(selection, "m_greenl", QStringLiteral("en VERT"), viewercmd::m_greenl);
    addAction(selection, "m_red", QStringLiteral("en Rouge"), viewercmd::m_red);
    addAction(selection, "m_blue", QStringLiteral("en Bleu"), viewercmd::m_blue);
    addAction(selection, "m_black", QStringLiteral("en NOIR"), viewercmd::m_black);
    addAction(selection, "m_white", QStringLiteral("en BLANC"), viewercmd::m_white);
    addAction(selection, "m_soul", QStringLiteral("Souligné"), viewercmd::m_soul);
    addAction(selection, "m_min", QStringLiteral("en minuscules"), viewercmd::m_min);
    addAction(selection, "m_maj", QStringLiteral("en MAJUSCULES"), viewercmd::m_maj);
    addAction(selection, "m_gras", QStringLiteral("en Gras"), viewercmd::m_gras);
    addAction(selection, "m_italique", QStringLiteral("en Italique"), viewercmd::m_italique);
    addAction(selection, "m_normal", QStringLiteral("Normal"), viewercmd::m_normal);
    addAction(selection, "m_tri_sel", QStringLiteral("TRIER"), viewercmd::m_tri_sel);
    addAction(menuBar(), "m_info", QStringLiteral("&?"), viewercmd::m_info);
}

void Form1::Form_Load(const QStringList &arguments)
{
    const QString path = doctext::commandLinePath(arguments);
    if (path.isEmpty()) {
        viewercmd::m_charger(*this);
        return;
    }
    QString error;
    if (!loadDocument(path, &error)) {
        desktop_.message(this, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        setSaved(ViewerSession::untitled());
    }
}

QString Form1::plainText() const { return textarea::plainText(*texte2_->document()); }

bool Form1::loadDocument(const QString &path, QString *errorText)
{
    const auto bytes = doctext::readDocumentFile(path, errorText);
    if (!bytes) return false;
    const bool rtf = doctext::namesRtf(path) && richtext::looksLikeRtf(*bytes);
    std::optional<doctext::PlainText> plain;
    if (!rtf) {
        plain = doctext::decodePlainText(*bytes, path, errorText);
        if (!plain) return false;
        // Every line read is followed by its line end.
        if (!plain->text.isEmpty() && !plain->text.endsWith(u'\n')) plain->text += u'\n';
    }
    {
        const QSignalBlocker quiet(texte2_);
        liste1_->clear();
        if (rtf) richtext::read(*bytes, texte2_->document());
        else texte2_->setPlainText(plain->text);
        // From the text shown, not the file's bytes: an RTF section with accents is written with
        // escapes in the file, and its marker is looked for in the text.
        liste1_->addItems(viewer::sectionsOf(plainText()));
    }
    session_.plainText = !rtf;
    session_.encoding = rtf ? doctext::Encoding::Windows1252 : plain->encoding;
    session_.crlf = rtf ? false : plain->crlf;
    texte2_->moveCursor(QTextCursor::Start);
    setSaved(path);
    return true;
}

std::optional<QByteArray> Form1::fileContent(bool asRtf, QString *errorText) const
{
    if (asRtf) return richtext::write(*texte2_->document());
    QString text = plainText();
    text.remove(QChar::ObjectReplacementCharacter);
    return doctext::encodePlainText(text, session_.encoding, session_.crlf, errorText);
}

void Form1::setSaved(const QString &path)
{
    session_.currentFile = path;
    setWindowTitle(path);
    session_.recordedLength = plainText().size();
    session_.modified = false;
}

void Form1::texte2_Change() { session_.modified = plainText().size() != session_.recordedLength; }

void Form1::selectionChanged()
{
    const bool selected = texte2_->textCursor().hasSelection();
    action("m_copier")->setEnabled(selected);
    menu("m_selection")->menuAction()->setEnabled(selected);
    for (QAction *a : menu("m_selection")->actions()) a->setEnabled(selected);
}

void Form1::showSections()
{
    fitSections();
    picture1_->show();
    picture1_->raise();
    liste1_->setFocus();
    if (liste1_->count() > 0 && !liste1_->currentItem()) liste1_->setCurrentRow(0);
}

void Form1::fitSections() { picture1_->setGeometry(texte2_->geometry()); }

void Form1::Liste1_Click(int row)
{
    picture1_->hide();
    if (row < 0 || row >= liste1_->count()) return;
    const QString marker = u'[' + liste1_->item(row)->text() + u']';
    // The caret goes to the end first, so that selecting the marker brings it to the top.
    texte2_->moveCursor(QTextCursor::End);
    texte2_->setFocus();
    const qsizetype at = plainText().indexOf(marker);
    if (at < 0) return;
    textarea::select(texte2_, at, marker.size());
    texte2_->ensureCursorVisible();
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (!viewercmd::mayClose(*this)) event->ignore();
    else event->accept();
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    fitSections();
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (centred_) return;
    centred_ = true;
    centreOnScreen(this);
}

} // namespace lisor
