#include "editor/window/form1.h"

#include "common/desktop/desktop.h"
#include "common/widgets/companion.h"
#include "common/widgets/text_area.h"
#include "common/files/atomic_file.h"
#include "common/files/path_parts.h"
#include "common/files/program_folder.h"
#include "common/richtext/rtf.h"
#include "common/text/line_file.h"
#include "editor/text/editor_session.h"
#include "editor/window/editor_captions.h"
#include "editor/window/editor_texts.h"
#include "editor/window/file_commands.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextEdit>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <thread>

namespace {
// The narrowest the window may be, 5900 twips at 15 twips to a pixel.
constexpr int kMinimumWidth = 5900 / 15;
} // namespace

Form1::Form1(EditorSession &session, Desktop &desktop, QWidget *parent)
    : QMainWindow(parent), session_(session), desktop_(desktop)
{
    setObjectName(QStringLiteral("Form1"));
    text1_ = new QTextEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setAcceptRichText(false); // what is pasted comes through the clipboard as text
    text1_->setContextMenuPolicy(Qt::CustomContextMenu);
    text1_->setLineWrapMode(QTextEdit::WidgetWidth);
    // An RTF save remakes only the paragraphs changed since the last one.
    richtext::keep(text1_->document());
    setCentralWidget(text1_);
    text1_->installEventFilter(this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("encoding"));
    statusBar()->addPermanentWidget(status_);

    setupMenus();

    connect(text1_, &QTextEdit::textChanged, this, &Form1::Text1_Change);
    connect(text1_, &QTextEdit::selectionChanged, this, &Form1::stateChanged);
    connect(text1_, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        if (text1_->textCursor().hasSelection()) menu("m5")->popup(text1_->viewport()->mapToGlobal(at));
    });
    setMinimumWidth(kMinimumWidth);
    resize(640, 480);
}

Form1::~Form1() = default;

bool Form1::hasSelection() const { return text1_->textCursor().hasSelection(); }

bool Form1::holdsHtml() const
{
    if (!html_) html_ = !isEmpty() && doctext::holdsHtml(plainText());
    return *html_;
}

void Form1::Form_Load(const QStringList &arguments)
{
    setModeTxt(true);
    setUntitled(true);
    setFileFormat(doctext::Encoding::Utf8, false);
    session_.settings = editor::readSettings(session_.settingsPath());
    applySettings();
    setModifie(false);

    const QString path = doctext::commandLinePath(arguments);
    if (!path.isEmpty()) {
        QString error;
        if (!QFileInfo::exists(path)) {
            // A file still to be written (a new note) opens empty under its own name.
            setModeTxt(!doctext::hasRtfExtension(path));
            setCaption(path);
            setOwnFile(path);
            setModifie(false);
        } else if (const auto document = doctext::readDocument(path, &error)) {
            showDocument(path, *document);
        } else {
            // Under the file's name, a save would replace what could not be read.
            desktop_.message(this, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        }
        if (error.isEmpty()) {
            startedOnFile_ = true;
            MajMenus();
            AjouterFichierRecent();
        }
    }

    englishRecords_ = false;
    for (const QString &line : linefile::readTextLines(files::findExisting(session_.folder, QStringLiteral("TALVO.CAT"))))
        if (line == u"ANGLAIS") englishRecords_ = true;
    const bool viewer = QFileInfo::exists(files::executableFolder() + QStringLiteral("lisor5"));
    htmlHelp_ = viewer && QFileInfo::exists(session_.helpDocument(QStringLiteral("aide_htm.rtf")));
    editorHelp_ = viewer && QFileInfo::exists(session_.helpDocument(QStringLiteral("redig.rtf")));
    stateChanged();
}

void Form1::applySettings()
{
    const editor::EditorSettings &settings = session_.settings;
    QFont font = text1_->currentFont();
    font.setFamily(settings.fontName);
    if (settings.fontSize > 0) font.setPointSizeF(settings.fontSize);
    font.setBold(settings.bold);
    text1_->document()->setDefaultFont(font);
    text1_->setCurrentFont(font);
    stateChanged();
    updateRecentMenu();
}

void Form1::setCaption(const QString &path)
{
    caption_ = path;
    untitled_ = false;
    setWindowTitle(path);
}

void Form1::setUntitled(bool plainText)
{
    setCaption(session_.untitled(plainText));
    untitled_ = true;
    ownFile_.clear();
}

bool Form1::modifie() const { return text1_->document()->isModified(); }

void Form1::setModifie(bool changed) { text1_->document()->setModified(changed); }

void Form1::setModeTxt(bool plainText)
{
    modeTxt_ = plainText;
    action(EditorCommand::Type)->setText(plainText ? editortexts::caption("m_type") : editortexts::caption("m_htm"));
    updateStatus();
}

void Form1::setFileFormat(doctext::Encoding encoding, bool crlf)
{
    encoding_ = encoding;
    crlf_ = crlf;
    action(EditorCommand::Encodage)
        ->setText(encoding == doctext::Encoding::Utf8 ? editortexts::toWindows1252() : editortexts::toUtf8());
    updateStatus();
}

void Form1::updateStatus()
{
    if (!status_) return;
    status_->setText(modeTxt_ ? editortexts::textKind() + QStringLiteral(" – ") + doctext::encodingName(encoding_)
                                    + (crlf_ ? QStringLiteral(" – CR LF") : QString())
                              : editortexts::rtfKind());
}

QString Form1::plainText() const { return shownText_ ? *shownText_ : textarea::plainText(*text1_->document()); }

QString Form1::textToSave() const
{
    QString text = plainText();
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

bool Form1::isEmpty() const { return text1_->document()->isEmpty(); }

namespace {

// What a document has of its own beyond its content, from the window and its settings.
struct DocumentSettings
{
    explicit DocumentSettings(const QTextDocument &d)
        : font(d.defaultFont()), option(d.defaultTextOption()), styleSheet(d.defaultStyleSheet()),
          margin(d.documentMargin()), indent(d.indentWidth()), designMetrics(d.useDesignMetrics()),
          maximumBlocks(d.maximumBlockCount()), moves(d.defaultCursorMoveStyle()), baseUrl(d.baseUrl())
    {
    }
    void applyTo(QTextDocument *d) const
    {
        d->setDefaultFont(font);
        d->setDefaultTextOption(option);
        d->setDefaultStyleSheet(styleSheet);
        d->setDocumentMargin(margin);
        d->setIndentWidth(indent);
        d->setUseDesignMetrics(designMetrics);
        // Setting it, even to what it is, turns the document's undo off.
        if (d->maximumBlockCount() != maximumBlocks) d->setMaximumBlockCount(maximumBlocks);
        d->setDefaultCursorMoveStyle(moves);
        d->setBaseUrl(baseUrl);
    }

    QFont font;
    QTextOption option;
    QString styleSheet;
    qreal margin;
    qreal indent;
    bool designMetrics;
    int maximumBlocks;
    Qt::CursorMoveStyle moves;
    QUrl baseUrl;
};

} // namespace

void Form1::showPlainText(const QString &text, const std::function<void()> &meanwhile)
{
    // The callers set the document's state themselves; a change signal per piece read would
    // recompute the menus over the whole text each time.
    const QSignalBlocker quiet(text1_);
    html_.reset();
    QTextDocument *shown = text1_->document();
    // The text goes into a new document on another thread, as setPlainText would put it in the
    // shown one (every character in the caret's format), while this thread does what the caller
    // has to do meanwhile; the new document then takes the old one's place. Most of the time
    // goes into making a block per line, which no cheaper call avoids.
    const QTextCharFormat format = text1_->textCursor().charFormat();
    QThread *const here = QThread::currentThread();
    QTextDocument *built = nullptr;
    std::thread builder([&text, &format, here, &built] {
        auto *document = new QTextDocument;
        document->setUndoRedoEnabled(false);
        if (!text.isEmpty()) QTextCursor(document).insertText(text, format);
        document->setUndoRedoEnabled(true);
        document->moveToThread(here);
        built = document;
    });
    if (meanwhile) meanwhile();
    const DocumentSettings settings(*shown);
    // The text read back is the text given unless the document turns some of its characters
    // into line ends: CR, the paragraph and line separators, the frame marks.
    const bool readsBackAsGiven = std::none_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QChar(0xFDD0)
            || c == QChar(0xFDD1);
    });
    // The old text is let go of while the new one is still being made.
    shownText_.reset();
    shown->clear();
    builder.join();

    // What the window and its settings gave the shown document stays; the control that owns it
    // deletes it when the new one is set.
    built->setParent(shown->parent());
    settings.applyTo(built);
    built->documentLayout()->setPaintDevice(text1_->viewport());
    text1_->setDocument(built);
    richtext::keep(built);
    // What is typed next takes the caret's format, as after setPlainText (the control reads it
    // from the caret only once the old document is gone).
    text1_->setCurrentCharFormat(format);
    if (readsBackAsGiven) {
        shownText_ = text;
        connect(built, &QTextDocument::contentsChanged, this, [this] { shownText_.reset(); });
    }
}

void Form1::showRtf(const QByteArray &rtf)
{
    const QSignalBlocker quiet(text1_);
    html_.reset();
    shownText_.reset();
    QTextDocument *document = text1_->document();
    document->setUndoRedoEnabled(false);
    richtext::read(rtf, document);
    document->setUndoRedoEnabled(true);
    // The RTF of every paragraph is made now, so that even the first save writes what is kept.
    richtext::keep(document, true);
    text1_->moveCursor(QTextCursor::Start);
}

void Form1::showDocument(const QString &path, const doctext::Document &document)
{
    if (document.rtf) {
        showRtf(document.rtfBytes);
        setFileFormat(doctext::Encoding::Windows1252, false);
    } else {
        showPlainText(document.plain.text);
        setFileFormat(document.plain.encoding, document.plain.crlf);
    }
    setModeTxt(!document.rtf);
    setCaption(path);
    setOwnFile(path);
    setModifie(false);
}

std::optional<QByteArray> Form1::fileContent(QString *errorText) const
{
    if (!modeTxt_) return richtext::write(*text1_->document());
    return doctext::encodePlainText(textToSave(), encoding_, crlf_, errorText);
}

bool Form1::saveFile(const QString &path, QString *errorText) const
{
    if (modeTxt_) {
        const auto content = fileContent(errorText);
        return content && files::saveAtomically(path, *content, errorText);
    }
    // The RTF goes to the file a piece at a time as it is made; a piece that cannot be written
    // stops the rest, and the commit says why.
    files::AtomicWriter file;
    if (!file.open(path, errorText)) return false;
    richtext::write(*text1_->document(), [&file](QByteArrayView piece) { return file.write(piece); });
    return file.commit(errorText);
}

void Form1::MajMenus(const QString *text)
{
    // A text already taken from the window spares taking it again.
    if (!html_ && text) html_ = !text->isEmpty() && doctext::holdsHtml(*text);
    kindMenusOpen_ = true;
    stateChanged();
}

void Form1::Text1_Change()
{
    leaveDecided_ = false;
    saveHeld_ = false;
    html_.reset();
    MajMenus();
}


void Form1::AjouterFichierRecent()
{
    if (editor::addRecent(&session_.settings, caption_)) updateRecentMenu();
}

void Form1::updateRecentMenu()
{
    QMenu *fichier = menu("m0");
    for (QAction *old : fichier->actions())
        if (old->objectName().startsWith(QStringLiteral("nom_fichier(")) && old != recentSeparator_) {
            fichier->removeAction(old);
            old->deleteLater();
        }
    const QStringList &recent = session_.settings.recent;
    for (int i = 0; i < recent.size(); ++i) {
        auto *item = new QAction(QString(recent[i]).replace(u'&', QStringLiteral("&&")), fichier);
        item->setObjectName(QStringLiteral("nom_fichier(%1)").arg(i + 1));
        connect(item, &QAction::triggered, this, [this, i] { filecmd::nom_fichier(*this, i + 1); });
        fichier->addAction(item);
    }
}

void Form1::SauverPourAnnuler(const QString *text)
{
    setUndoable(true);
    stateChanged();
    const QByteArray content = modeTxt_ ? (text ? *text : plainText()).toUtf8() + '\n' : richtext::write(*text1_->document());
    // The snapshot lives in the run's private scratch folder and goes with it: it needs no sync,
    // only every byte written.
    QFile snapshot(session_.snapshotPath(modeTxt_));
    QString error;
    if (!snapshot.open(QIODevice::WriteOnly | QIODevice::Truncate) || snapshot.write(content) != content.size()
        || !snapshot.flush()) {
        error = snapshot.fileName() + QStringLiteral(" : ") + snapshot.errorString();
        setUndoable(false);
        stateChanged();
        desktop_.message(this, editortexts::snapshotFailed(error), QString(), Desktop::Buttons::Ok,
                         Desktop::Icon::Warning);
    }
}

bool Form1::endSession(bool mayAsk)
{
    // Without the user's word nothing is saved: the files stay as they are.
    if (!mayAsk) return true;
    if (!filecmd::mayLeave(*this)) return false;
    leaveDecided_ = true;
    return true;
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (!leaveDecided_ && !filecmd::mayLeave(*this)) {
        event->ignore();
        return;
    }
    QString error;
    if (!editor::saveSettings(session_.settingsPath(), session_.settings, &error))
        desktop_.message(this, editortexts::settingsNotSaved(error), QString(), Desktop::Buttons::Ok,
                         Desktop::Icon::Warning);
    event->accept();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // The text area keeps Ctrl+K and the like for itself; the menus' shortcuts come first, except
    // the clipboard keys, which the text area handles as every text field does.
    if (watched == text1_ && event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->keyCombination());
        using C = EditorCommand;
        for (const C id : {C::Chercher, C::Remplacer, C::Suppr, C::Charger, C::Imprimer, C::Sauver, C::Titre, C::Suivant})
            if (action(id)->shortcut() == pressed) {
                event->ignore();
                return true;
            }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (centred_) return;
    centred_ = true;
    centreOnScreen(this);
}
