#include "viewer/window/lisor_window.h"

#include "common/desktop/desktop.h"
#include "common/widgets/companion.h"
#include "common/widgets/text_area.h"
#include "common/richtext/rtf.h"
#include "viewer/text/viewer_session.h"
#include "viewer/text/viewer_text.h"
#include "viewer/window/viewer_commands.h"
#include "viewer/window/viewer_texts.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QStatusBar>
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
    setWindowTitle(viewertexts::programTitle());
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
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("encoding"));
    statusBar()->addPermanentWidget(status_);
    connect(liste1_, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) { Liste1_Click(liste1_->row(item)); });
    connect(liste1_, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { Liste1_Click(liste1_->row(item)); });

    setupMenus();
    connect(texte2_, &QTextEdit::textChanged, this, &Form1::texte2_Change);
    connect(texte2_, &QTextEdit::selectionChanged, this, &Form1::stateChanged);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(760, 520);
}

Form1::~Form1() = default;

void Form1::Form_Load(const QStringList &arguments)
{
    updateStatus();
    const QString path = doctext::commandLinePath(arguments);
    if (path.isEmpty()) {
        viewercmd::m_charger(*this);
    } else {
        QString error;
        if (const auto document = doctext::readDocument(path, &error)) showDocument(path, *document);
        else desktop_.message(this, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
    }
    if (session_.currentFile == ViewerSession::untitled()) setSaved(ViewerSession::untitled());
}

QString Form1::plainText() const { return textarea::plainText(*texte2_->document()); }

QString Form1::textToSave() const
{
    QString text = plainText();
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

void Form1::showDocument(const QString &path, const doctext::Document &document)
{
    {
        const QSignalBlocker quiet(texte2_);
        liste1_->clear();
        if (document.rtf) richtext::read(document.rtfBytes, texte2_->document());
        else texte2_->setPlainText(document.plain.text);
        // From the text shown, not the file's bytes: an RTF section with accents is written with
        // escapes in the file, and its marker is looked for in the text.
        liste1_->addItems(viewer::sectionsOf(plainText()));
    }
    session_.plainText = !document.rtf;
    session_.encoding = document.rtf ? doctext::Encoding::Windows1252 : document.plain.encoding;
    session_.crlf = !document.rtf && document.plain.crlf;
    texte2_->moveCursor(QTextCursor::Start);
    setSaved(path);
}

void Form1::setSaved(const QString &path)
{
    session_.currentFile = path;
    setWindowTitle(path);
    texte2_->document()->setModified(false);
    updateStatus();
}

bool Form1::isModified() const { return texte2_->document()->isModified(); }

void Form1::updateStatus()
{
    status_->setText(session_.plainText ? viewertexts::textKind() + QStringLiteral(" – ")
                                              + doctext::encodingName(session_.encoding)
                                              + (session_.crlf ? QStringLiteral(" – CR LF") : QString())
                                        : viewertexts::rtfKind());
    action(Command::Encodage)
        ->setText(session_.encoding == doctext::Encoding::Utf8 ? viewertexts::saveAsWindows1252()
                                                               : viewertexts::saveAsUtf8());
    stateChanged();
}

bool Form1::endSession(bool mayAsk)
{
    // Without the user's word nothing is saved: the files stay as they are.
    if (!mayAsk) return true;
    if (!viewercmd::mayLeave(*this)) return false;
    leaveDecided_ = true;
    return true;
}

void Form1::texte2_Change() { leaveDecided_ = false; }

bool Form1::hasSelection() const { return texte2_->textCursor().hasSelection(); }

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
    const QString name = liste1_->item(row)->text();
    // The n-th entry of a name is the n-th section of that name in the text.
    qsizetype rank = 0;
    for (int r = 0; r < row; ++r)
        if (liste1_->item(r)->text() == name) ++rank;
    // The caret goes to the end first, so that selecting the marker brings it to the top.
    texte2_->moveCursor(QTextCursor::End);
    texte2_->setFocus();
    const QString text = plainText();
    const QString marker = u'[' + name + u']';
    for (const viewer::Section &section : viewer::sectionMarks(text)) {
        if (section.name != name || rank-- > 0) continue;
        // A section without its "]" is shown from its "[" to its last character.
        const bool closed = QStringView(text).sliced(section.at).startsWith(marker);
        textarea::select(texte2_, section.at, closed ? marker.size() : marker.size() - 1);
        texte2_->ensureCursorVisible();
        return;
    }
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (!leaveDecided_ && !viewercmd::mayLeave(*this)) event->ignore();
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
