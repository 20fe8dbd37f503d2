#include "archiver/forms/fiche.h"

#include "archiver/forms/form.h"
#include "archiver/forms/impr2.h"
#include "archiver/forms/thumbnail.h"
#include "archiver/operations/print_list.h"
#include "archiver/operations/record_change.h"
#include "archiver/store/lists.h"
#include "archiver/store/record_entry.h"
#include "archiver/store/removable_media.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "common/files/atomic_file.h"
#include "common/files/path_parts.h"
#include "common/files/program_folder.h"
#include "common/files/trash.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"
#include "ui_fiche.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPixmap>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

bool oneOf(const QString &extension, std::initializer_list<const char *> list)
{
    for (const char *e : list)
        if (extension == QLatin1String(e)) return true;
    return false;
}

} // namespace

namespace card {

QUrl nonFileUrl(const QString &target)
{
    if (media::isMailAddress(target)) return QUrl(QStringLiteral("mailto:") + target, QUrl::TolerantMode);
    if (media::isWebAddress(target)) return QUrl::fromUserInput(target);
    return QUrl();
}

QString fileInformation(const ArchiverSession &session, const QFileInfo &file)
{
    const QDateTime changed = file.lastModified();
    const QLocale locale(session.language.locale());
    int attributes = 0;
    if (!file.isWritable()) attributes |= 1;
    if (file.fileName().startsWith(u'.')) attributes |= 2;
    return forms::message(session, 113) + locale.toString(changed.date(), QLocale::LongFormat) + QStringLiteral(" - ")
           + changed.toString(QStringLiteral("h:mm")) + u'\n' + forms::message(session, 114)
           + texts::get(texts::kKilobytes).arg(file.size() / 1024) + u'\n' + forms::message(session, 115 + attributes);
}

QString qtFilter(const QString &pairs)
{
    const QStringList parts = pairs.split(u'|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        // A name that already shows its pattern keeps it once.
        const QString shown = u'(' + pattern + u')';
        if (name.endsWith(shown)) name = name.left(name.size() - shown.size()).trimmed();
        QStringList patterns = pattern.split(u';', Qt::SkipEmptyParts);
        for (QString &p : patterns)
            if (p.trimmed() == QLatin1String("*.*")) p = QStringLiteral("*");
            else p = p.trimmed();
        filters.append(name + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString printedCard(const Record &r, const QList<int> &selection, const QStringList &labels)
{
    // A card of the printed lists, without the empty line that parts one card from the next.
    printlist::Cards layout;
    layout.selection = selection;
    layout.labels = labels;
    return printlist::cards({r}, layout, QString()).chopped(kLineEnd.size());
}

} // namespace card

Fiche::Fiche(ArchiverSession &session, Desktop &desktop, QWidget *parent)
    : QDialog(parent), session_(session), desktop_(desktop), ui(std::make_unique<Ui::Fiche>())
{
    ui->setupUi(this);
    forms::translate(this, session_);
    const Record &r = session_.current.record;
    // The line as it stands in its letter file is what the card replaces or deletes.
    oldLine_ = session_.current.workLine.isEmpty() ? record::compose(r) : session_.current.workLine;
    forms::fillSorted(ui->liste1, lists::load(lists::categoryFile(session_.folder)), session_.catalogue.order());
    ui->liste1->setEditText(r.category);
    ui->Texte3->setText(r.note);
    ui->Texte1->setText(r.date);
    ui->Texte2->setText(r.key);
    ui->Texte4->setText(r.support);
    ui->Texte5->setText(r.target);
    ui->executer->setEnabled(!r.target.isEmpty());

    connect(ui->executer, &QPushButton::clicked, this, &Fiche::executer_Click);
    connect(ui->imprimer, &QPushButton::clicked, this, &Fiche::imprimer_Click);
    connect(ui->parcourir, &QPushButton::clicked, this, &Fiche::parcourir_Click);
    connect(ui->supprimer, &QPushButton::clicked, this, &Fiche::supprimer_Click);
    // Typing in the category box counts; picking from its list does not.
    connect(ui->liste1->lineEdit(), &QLineEdit::textEdited, this, &Fiche::liste1_Change);
    connect(ui->Texte1, &QLineEdit::textChanged, this, &Fiche::Texte1_Change);
    connect(ui->Texte2, &QLineEdit::textChanged, this, &Fiche::Texte2_Change);
    connect(ui->Texte3, &QLineEdit::textChanged, this, &Fiche::Texte3_Change);
    connect(ui->Texte4, &QLineEdit::textChanged, this, &Fiche::Texte4_Change);
    connect(ui->Texte5, &QLineEdit::textChanged, this, &Fiche::Texte5_Change);
    ui->Texte3->installEventFilter(this);
    ui->Texte5->installEventFilter(this);
    ui->Picture2->installEventFilter(this);

    compteur();
    if (r.target.size() >= 4 && session_.settings.showAssociatedFile) voir_fichier();
}

Fiche::~Fiche() = default;

bool Fiche::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->Texte3 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            desktop_.beep();
            return true;
        }
    } else if (watched == ui->Texte5 && event->type() == QEvent::MouseButtonPress) {
        Texte5_MouseDown(static_cast<QMouseEvent *>(event)->button());
    } else if (watched == ui->Picture2 && event->type() == QEvent::MouseButtonPress) {
        Picture2_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Fiche::compteur()
{
    const qsizetype n = ui->Texte2->text().size() + ui->Texte1->text().size() + ui->Texte4->text().size()
                        + ui->liste1->currentText().size() + ui->Texte3->text().size() + ui->Texte5->text().size()
                        + 5;
    ui->Etiquette7->setText(QString::number(n));
    QPalette palette = ui->Etiquette7->palette();
    if (n > record::kMaxLineLength) {
        desktop_.beep();
        palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    } else {
        palette.setColor(QPalette::WindowText, QColor(0, 255, 0));
    }
    ui->Etiquette7->setPalette(palette);
}

void Fiche::liste1_Change() { compteur(); }
void Fiche::Texte1_Change() { compteur(); }
void Fiche::Texte2_Change() { compteur(); }
void Fiche::Texte3_Change() { compteur(); }
void Fiche::Texte4_Change() { compteur(); }

void Fiche::Texte5_Change()
{
    compteur();
    ui->executer->setEnabled(!ui->Texte5->text().isEmpty());
    session_.current.record.target = ui->Texte5->text();
}

QString Fiche::locatedTarget()
{
    const media::Location where = media::locate(ui->Texte5->text(), cp1252::toUpper(ui->Texte4->text()),
                                                session_.removableRoots, session_.mountedVolumes());
    if (!where.missingSupport.isEmpty()) {
        desktop_.message(this, texts::get(texts::kSupportNotMounted).arg(where.missingSupport), QString(),
                         Desktop::Buttons::Ok, Desktop::Icon::Information);
        return QString();
    }
    return where.path;
}

void Fiche::executer_Click()
{
    const QString target = ui->Texte5->text();
    if (target.isEmpty()) return;
    QUrl url = card::nonFileUrl(target);
    if (url.isEmpty()) {
        const QString path = locatedTarget();
        if (path.isEmpty()) return;
        url = QUrl::fromLocalFile(path);
    }
    if (!desktop_.openUrl(url))
        desktop_.message(this, texts::get(texts::kCannotStart).arg(target), QString(), Desktop::Buttons::Ok,
                         Desktop::Icon::Warning);
}

void Fiche::Texte5_MouseDown(Qt::MouseButton button)
{
    const QString target = ui->Texte5->text();
    if (target.contains(QLatin1String("http:")) || target.contains(QLatin1String("https:")) || target.contains(u'@')) {
        desktop_.message(this, target);
        return;
    }
    if (button != Qt::RightButton || target.isEmpty()) return;
    const QString path = locatedTarget();
    if (path.isEmpty()) return;
    const QFileInfo file(path);
    if (!file.exists()) {
        desktop_.message(this, texts::get(texts::kFileNotFound).arg(path), path);
        return;
    }
    desktop_.message(this, card::fileInformation(session_, file), path);
}

void Fiche::voir_fichier()
{
    const QString target = ui->Texte5->text();
    if (target.contains(QLatin1String("HTTP:"), Qt::CaseInsensitive) || target.contains(u'@')) return;
    const QString extension = PartieChemin(target, QStringLiteral("extension")).toUpper();
    // Programs are never started by opening a card.
    if (oneOf(extension, {".EXE", ".BAT", ".COM"})) return;
    const QString path = locatedTarget();
    if (path.isEmpty()) return;
    if (oneOf(extension, {".HTM", ".HTML", ".SHTML"})) {
        desktop_.openUrl(QUrl::fromLocalFile(path));
    } else if (oneOf(extension, {".TXT", ".RTF", ".FRM", ".MAK"})) {
        forms::startCompanion(this, desktop_, QStringLiteral("redig5"), {path});
    } else if (oneOf(extension, {".DIB", ".BMP", ".WMF", ".EMF", ".CUR", ".ICO", ".GIF", ".JPG", ".JPE", ".JPEG", ".PNG"})) {
        const thumbnail::Result shown = thumbnail::make(path, QSize(137, 137));
        if (shown.image.isNull()) {
            desktop_.message(this, shown.error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
            return;
        }
        ui->Picture2->setPixmap(QPixmap::fromImage(shown.image));
    } else {
        const QFileInfo file(path);
        // Nor is a program of this system, whatever its name.
        if (file.isFile() && file.isExecutable()) return;
        desktop_.openUrl(QUrl::fromLocalFile(path));
    }
}

void Fiche::Picture2_Click()
{
    if (ui->Texte5->text().isEmpty()) return;
    const QString path = locatedTarget();
    if (path.isEmpty()) return;
    forms::startCompanion(this, desktop_, QStringLiteral("pictel5"), {path});
}

void Fiche::parcourir_Click()
{
    const QString current = ui->Texte5->text();
    const QString folder = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
    const QString name = desktop_.openFileName(this, forms::message(session_, 109), folder,
                                               card::qtFilter(forms::message(session_, 152)));
    if (name.isEmpty()) return;
    ui->Texte5->setText(name);
}

void Fiche::imprimer_Click()
{
    session_.listing.clear();
    impr2 fields(session_, desktop_, this);
    if (desktop_.exec(&fields) != QDialog::Accepted) return;
    const bool labels = desktop_.message(this, forms::message(session_, 150), QString(), Desktop::Buttons::YesNo,
                                         Desktop::Icon::Question)
                        == Desktop::Answer::Yes;
    QStringList labelTexts;
    if (labels)
        for (const int n : impr2::kFieldMessages)
            labelTexts.append(forms::message(session_, n));
    const Record shown{ui->Texte2->text(), ui->Texte1->text(), ui->Texte4->text(),
                       ui->liste1->currentText(), ui->Texte3->text(), ui->Texte5->text()};
    QString text = card::printedCard(shown, session_.print.selection, labelTexts);
    if (!text.endsWith(kLineEnd)) text += kLineEnd;

    // The run's own scratch folder: nothing of the user's is ever replaced by a printed card.
    const QString path = session_.scratchFile(card::safeFileName(ui->Texte2->text()) + QStringLiteral(".TXT"));
    QByteArray bytes;
    QString error;
    if (!cp1252::encodeTo(text, &bytes, &error) || !files::saveAtomically(path, bytes, &error)) {
        desktop_.message(this, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return;
    }
    forms::startCompanion(this, desktop_, QStringLiteral("redig5"), {path});
}

void Fiche::supprimer_Click()
{
    if (desktop_.message(this, forms::message(session_, 110), forms::message(session_, 111), Desktop::Buttons::YesNo,
                         Desktop::Icon::Question)
        != Desktop::Answer::Yes)
        return;
    QString error, warning;
    qsizetype removed = 0;
    {
        auto lock = session_.catalogue.lock(&error);
        if (!lock
            || !recordchange::remove(*lock, session_.catalogue, session_.current.letterFile, oldLine_, &removed,
                                     &error, &warning)) {
            desktop_.message(this, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
            return;
        }
    }
    if (removed == 0) {
        desktop_.message(this, texts::get(texts::kNoSuchRecord).arg(oldLine_, session_.current.letterFile), QString(),
                         Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return;
    }
    session_.current.deleted = true;
    recordDeleted_ = true;
    if (!warning.isEmpty())
        desktop_.message(this, texts::get(texts::kNotUndoable).arg(warning), QString(), Desktop::Buttons::Ok,
                         Desktop::Icon::Warning);
    offerToDeleteTarget();
    done(QDialog::Accepted);
}

void Fiche::offerToDeleteTarget()
{
    const QString target = ui->Texte5->text();
    if (target.isEmpty() || !card::nonFileUrl(target).isEmpty()) return;
    const media::Location where = media::locate(target, cp1252::toUpper(ui->Texte4->text()), session_.removableRoots,
                                                session_.mountedVolumes());
    // Only a file that is there: never a folder, nor what a link to a folder names; and only when
    // the user says so, No being the answer of Enter.
    const QFileInfo file(where.path);
    if (where.path.isEmpty() || !file.isFile()) return;
    const bool trash = files::trashAvailable(where.path);
    const QString question = texts::get(trash ? texts::kTrashTargetQuestion : texts::kDeleteForGoodQuestion).arg(where.path);
    if (desktop_.message(this, question, forms::message(session_, 112), Desktop::Buttons::YesNo,
                         Desktop::Icon::Question, Desktop::Answer::No)
        != Desktop::Answer::Yes)
        return;
    QString error;
    if (!(trash ? files::moveToTrash(where.path, &error) : files::removeForGood(where.path, &error))) {
        desktop_.message(this, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return;
    }
    if (trash)
        desktop_.message(this, texts::get(texts::kTrashed).arg(where.path), QString(), Desktop::Buttons::Ok,
                         Desktop::Icon::Information);
}

void Fiche::done(int result)
{
    // A deleted record has nothing left to write back.
    if (recordDeleted_) {
        QDialog::done(result);
        return;
    }
    Record &r = session_.current.record;
    r.key = cp1252::toUpper(ui->Texte2->text());
    r.date = ui->Texte1->text();
    r.category = ui->liste1->currentText();
    r.support = cp1252::toUpper(ui->Texte4->text());
    r.target = ui->Texte5->text();
    r.note = ui->Texte3->text();
    const QString newLine = record::compose(r);
    if (newLine == oldLine_) {
        QDialog::done(result);
        return;
    }
    // Asked first, so that an edit the catalogue would refuse can still be dropped.
    switch (desktop_.message(this, forms::message(session_, 99), forms::message(session_, 100),
                             Desktop::Buttons::YesNoCancel, Desktop::Icon::Question)) {
    case Desktop::Answer::Yes: break;
    case Desktop::Answer::No: QDialog::done(result); return;
    default: return; // the card stays, with the edits
    }
    if (const auto refused = entry::check(r)) {
        desktop_.message(this, forms::refusalText(session_, *refused), QString(), Desktop::Buttons::Ok,
                         Desktop::Icon::Warning);
        return;
    }
    if (writeBack(newLine)) QDialog::done(result);
}

bool Fiche::writeBack(const QString &newLine)
{
    auto warn = [this](const QString &text) {
        desktop_.message(this, text, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return false;
    };
    QString error, warning;
    auto lock = session_.catalogue.lock(&error);
    if (!lock) return warn(error);
    QString file = session_.current.letterFile;
    const auto count = session_.catalogue.countLine(file, oldLine_, &error);
    if (!count) return warn(error);
    if (*count == 0) {
        // Another program changed or removed the record since the card showed it: nothing is
        // written over it, and what was typed stays in the card unless it becomes a record.
        if (desktop_.message(this, texts::get(texts::kRecordChangedOnDisk), QString(), Desktop::Buttons::YesNo,
                             Desktop::Icon::Warning, Desktop::Answer::No)
            != Desktop::Answer::Yes)
            return false;
        if (!recordchange::add(*lock, session_.catalogue, session_.current.record, false, &file, &error, &warning))
            return warn(error);
    } else if (!recordchange::replace(*lock, session_.catalogue, &file, oldLine_, newLine, &error, &warning)) {
        return warn(error);
    }
    session_.current.letterFile = file;
    session_.current.workLine = newLine;
    session_.current.modified = true;
    if (!warning.isEmpty()) warn(texts::get(texts::kNotUndoable).arg(warning));
    return true;
}
