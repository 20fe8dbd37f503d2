#include "archiver/forms/saisir.h"

#include "archiver/forms/form.h"
#include "archiver/forms/support_ext.h"
#include "archiver/operations/record_change.h"
#include "archiver/store/lists.h"
#include "archiver/store/record_entry.h"
#include "archiver/store/removable_media.h"
#include "archiver/store/session.h"
#include "archiver/store/settings.h"
#include "common/desktop/desktop.h"
#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"
#include "common/text/texts.h"
#include "common/widgets/cinput.h"
#include "ui_saisir.h"

#include <QDate>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>

#include <algorithm>

namespace {

const QString kMemoFile = QStringLiteral("memo_notes.txt");
const QString kNotesFolder = QStringLiteral("NOTES");

bool isEnter(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Every kind of line break as one blank, so that the text stays one line and keeps its length
// up to the break (the cursor stays where it was).
QString withoutLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (const QChar br : {QChar(u'\r'), QChar(u'\n'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator)})
        text.replace(br, u' ');
    return text;
}

} // namespace

void NoteEdit::keyPressEvent(QKeyEvent *event)
{
    if (isEnter(event)) {
        event->accept();
        emit lineBreakRefused();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void NoteEdit::insertFromMimeData(const QMimeData *source)
{
    if (source->hasText()) insertPlainText(withoutLineBreaks(source->text()));
}

Saisir::Saisir(ArchiverSession &session, Desktop &desktop, QWidget *parent)
    : QDialog(parent), session_(session), desktop_(desktop), ui(std::make_unique<Ui::Saisir>())
{
    ui->setupUi(this);
    forms::translate(this, session_);
    setWindowTitle(session_.searchText);
    forms::fillSorted(ui->Liste2, lists::load(lists::categoryFile(session_.folder)), session_.catalogue.order());
    ui->extension->setText(session_.lastExtension);

    QDate today = QDate::fromString(session_.date, QStringLiteral("dd-MM-yyyy"));
    if (!today.isValid()) today = QDate::currentDate();
    ui->jour->setText(QStringLiteral("%1").arg(today.day(), 2, 10, QLatin1Char('0')));
    ui->mois->setText(QStringLiteral("%1").arg(today.month(), 2, 10, QLatin1Char('0')));
    ui->annee->setText(QString::number(today.year()));

    // The memo notes of earlier entries; a file that exists but cannot be read is never replaced
    // by the notes of this dialog alone.
    const QString memo = files::findExisting(session_.folder, kMemoFile);
    QList<QByteArray> lines;
    if (QFileInfo::exists(memo)) {
        if (linefile::readLines(memo, &lines, &memoError_)) {
            QStringList notes;
            for (const QByteArray &line : lines)
                if (!line.isEmpty()) notes.append(cp1252::decode(line));
            forms::fillSorted(ui->Liste1, notes, session_.catalogue.order());
            memoFlag_ = true;
        }
    }

    connect(ui->Liste2, &QListWidget::itemClicked, this, &Saisir::Liste2_Click);
    connect(ui->Liste2, &QListWidget::itemActivated, this, &Saisir::Liste2_Click);
    connect(ui->ajout_cat, &QPushButton::clicked, this, &Saisir::ajout_cat_Click);
    connect(ui->reinitialiser, &QPushButton::clicked, this, &Saisir::reinitialiser_Click);
    connect(ui->last_comment, &QPushButton::clicked, this, &Saisir::last_comment_Click);
    connect(ui->memoriser, &QPushButton::clicked, this, &Saisir::memoriser_Click);
    connect(ui->Liste1, &QListWidget::itemClicked, this, &Saisir::Liste1_Click);
    connect(ui->Liste1, &QListWidget::itemActivated, this, &Saisir::Liste1_Click);
    connect(ui->Texte2, &QPlainTextEdit::textChanged, this, &Saisir::Texte2_Change);
    connect(ui->Texte2, &NoteEdit::lineBreakRefused, this, [this] { desktop_.beep(); });
    connect(ui->txt, &QPushButton::clicked, this, &Saisir::txt_Click);
    // The counter is the whole record's, and follows every box of it.
    for (QLineEdit *box : {ui->jour, ui->mois, ui->annee, ui->file})
        connect(box, &QLineEdit::textChanged, this, &Saisir::compteur);
    connect(ui->ok, &QPushButton::clicked, this, &Saisir::ok_Click);
    ui->extension->installEventFilter(this);

    // The category phase; at the first opening the note and its note file can be made already.
    setEntryPhase(false);
    ui->Texte2->setEnabled(true);
    ui->txt->setEnabled(true);
    ui->memoriser->setEnabled(false);
}

Saisir::~Saisir() = default;

void Saisir::setEntryPhase(bool entry)
{
    for (QWidget *w : {static_cast<QWidget *>(ui->Liste2), static_cast<QWidget *>(ui->ajout_cat)})
        w->setEnabled(!entry);
    for (QWidget *w : std::initializer_list<QWidget *>{ui->reinitialiser, ui->jour, ui->mois, ui->annee, ui->extension,
                                                       ui->file, ui->last_comment, ui->Texte2, ui->txt, ui->ok})
        w->setEnabled(entry);
    ui->Liste1->setVisible(entry && memoFlag_);
    ui->Etiquette6->setVisible(entry && memoFlag_);
}

void Saisir::showError(const QString &text)
{
    desktop_.message(this, text, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
}

Record Saisir::composed() const
{
    Record r;
    r.key = session_.searchText;
    r.date = ui->jour->text() + u'-' + ui->mois->text() + u'-' + ui->annee->text();
    r.support = session_.currentSupport;
    r.category = category_;
    r.note = ui->Texte2->toPlainText();
    r.target = ui->file->text();
    return entry::normalised(r);
}

void Saisir::Liste2_Click()
{
    const QListWidgetItem *item = ui->Liste2->currentItem();
    if (!item || !ui->Liste2->isEnabled()) return;
    category_ = item->text();
    setEntryPhase(true);
    compteur();
    ui->Texte2->setFocus();
}

void Saisir::reinitialiser_Click()
{
    setEntryPhase(false);
    ui->Texte2->clear();
}

void Saisir::ajout_cat_Click()
{
    const QString name =
        SaisieTexte(desktop_, this, forms::message(session_, 139), forms::message(session_, 140), QString(), true);
    if (name.isEmpty()) {
        desktop_.message(this, forms::message(session_, 73));
        return;
    }
    if (!forms::acceptField(this, session_, desktop_, record::Field::Category, name)) return;
    QString error;
    const auto lock = session_.catalogue.lock(&error);
    if (!lock) return showError(error);
    switch (lists::addCategory(*lock, name, &error)) {
    case lists::AddOutcome::Added: forms::insertSorted(ui->Liste2, name, session_.catalogue.order()); break;
    case lists::AddOutcome::AlreadyPresent: desktop_.message(this, forms::message(session_, 141)); break;
    case lists::AddOutcome::Empty: break;
    case lists::AddOutcome::Failed: showError(error); break;
    }
}

bool Saisir::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->extension) {
        if (isEnter(event)) {
            // Enter browses; it never reaches the dialog, which would take it for a button.
            if (!ui->extension->text().isEmpty()) choix_fichier();
            return true;
        }
        if (event->type() == QEvent::MouseButtonDblClick) extension_DblClick();
    }
    return QDialog::eventFilter(watched, event);
}

void Saisir::extension_DblClick()
{
    if (!ui->extension->text().isEmpty()) choix_fichier();
}

void Saisir::choix_fichier()
{
    const QString extension = ui->extension->text();
    session_.lastExtension = extension;
    const QString name = desktop_.openFileName(this, forms::message(session_, 142) + session_.searchText, QString(),
                                               QStringLiteral("Type (*.") + extension + u')');
    if (name.isEmpty()) return;
    if (media::onRemovableSupport(name, session_.removableRoots)) {
        Support_ext support(session_, desktop_, this);
        desktop_.exec(&support);
        ajout_support();
    }
    ui->file->setText(name);
}

bool Saisir::ajout_support()
{
    QString error;
    const auto lock = session_.catalogue.lock(&error);
    if (lock && lists::registerSupport(*lock, session_.currentSupport, &error)) return true;
    showError(error);
    return false;
}

void Saisir::memoriser_Click()
{
    const QString note = ui->Texte2->toPlainText();
    if (note.isEmpty()) return;
    if (!memoError_.isEmpty()) return showError(memoError_);
    if (!forms::acceptField(this, session_, desktop_, record::Field::Note, note)) return;
    forms::insertSorted(ui->Liste1, note, session_.catalogue.order());
    memoFlag_ = true;
}

void Saisir::Liste1_Click()
{
    const QListWidgetItem *item = ui->Liste1->currentItem();
    if (!item) return;
    ui->Texte2->setPlainText(ui->Texte2->toPlainText() + item->text());
    ui->Texte2->moveCursor(QTextCursor::End);
    ui->Texte2->setFocus();
}

void Saisir::last_comment_Click()
{
    ui->Texte2->setPlainText(session_.settings.lastNote);
    ui->Texte2->moveCursor(QTextCursor::End);
    ui->Texte2->setFocus();
}

void Saisir::Texte2_Change()
{
    ui->memoriser->setEnabled(!ui->Texte2->toPlainText().isEmpty());
    compteur();
}

void Saisir::compteur()
{
    const qsizetype length = record::compose(composed()).size();
    ui->lg->setText(QString::number(length));
    QPalette palette = ui->lg->palette();
    palette.setColor(QPalette::Window, length <= record::kMaxLineLength ? QColor(0, 255, 0) : QColor(255, 0, 0));
    ui->lg->setPalette(palette);
}

void Saisir::txt_Click()
{
    // The counter is taken from the settings file under the lock, so that two programs on the
    // folder never hand out the same note file.
    qint32 counter = 0;
    {
        QString error;
        const auto lock = session_.catalogue.lock(&error);
        if (!lock) return showError(error);
        const QString path = settings::settingsFile(session_.folder);
        TalvoSettings onDisk = session_.storedSettings;
        if (!settings::read(path, onDisk, &error) && !error.isEmpty()) return showError(error);
        counter = std::max(onDisk.noteCounter, session_.settings.noteCounter) + 1;
        // Only the counter's line changes; the others stay as whoever wrote them last.
        TalvoSettings mine = session_.storedSettings;
        mine.noteCounter = counter;
        if (!settings::writeChanges(*lock, path, session_.storedSettings, mine, &error)) return showError(error);
        session_.settings.noteCounter = counter;
    }
    const QString note = files::findExisting(session_.folder, kNotesFolder) + u'/' +
                         QStringLiteral("%1").arg(counter, 6, 10, QLatin1Char('0')) + QStringLiteral(".txt");
    ui->file->setText(note);
    forms::startCompanion(this, desktop_, QStringLiteral("redig5"), {note});
}

void Saisir::ok_Click()
{
    if (!ui->ok->isEnabled()) return showError(texts::get(texts::kChooseCategoryFirst));
    const Record r = composed();
    if (const auto refused = entry::check(r)) return showError(forms::refusalText(session_, *refused));

    QString error, warning;
    const auto lock = session_.catalogue.lock(&error);
    if (!lock) return showError(error);

    // The memo notes and the record are one operation: undone together, and put back together
    // when a write fails.
    const QString memoPath = files::findExisting(session_.folder, kMemoFile);
    QStringList kept = recordchange::filesOfAdd(session_.catalogue, r);
    if (memoFlag_) kept.append(memoPath);
    QString letterFile;
    const bool stored = recordchange::run(
        *lock, session_.folder, recordchange::addTitle(r.key), kept,
        [&](QString *e) {
            if (memoFlag_) {
                QStringList notes;
                for (int i = 0; i < ui->Liste1->count(); ++i)
                    notes.append(ui->Liste1->item(i)->text());
                if (!lists::write(*lock, memoPath, notes, e)) return false;
            }
            return entry::store(*lock, session_.catalogue, r, false, &letterFile, e);
        },
        &error, &warning);
    if (!stored) return showError(error);
    if (!warning.isEmpty()) showError(texts::get(texts::kNotUndoable).arg(warning));
    session_.current.letterFile = letterFile;
    session_.settings.lastNote = r.note;
    storedCaption_ = session_.searchText + forms::message(session_, 145);
    accept();
}

bool Saisir::typedSomething() const
{
    return ui->ok->isEnabled() || !ui->Texte2->toPlainText().isEmpty() || !ui->file->text().isEmpty();
}

void Saisir::reject()
{
    if (typedSomething()) {
        const QString question = texts::get(texts::kStoreBeforeClosing).arg(session_.searchText);
        switch (desktop_.message(this, question, QString(), Desktop::Buttons::YesNoCancel, Desktop::Icon::Question)) {
        case Desktop::Answer::Yes: ok_Click(); return; // stays open when the record is refused
        case Desktop::Answer::No: break;
        default: return;
        }
    }
    QDialog::reject();
}
