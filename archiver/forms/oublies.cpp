#include "archiver/forms/oublies.h"

#include "archiver/forms/categorie.h"
#include "archiver/forms/form.h"
#include "archiver/operations/finder.h"
#include "archiver/operations/record_change.h"
#include "archiver/store/record_entry.h"
#include "archiver/store/removable_media.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "common/files/path_parts.h"
#include "common/files/trash.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"
#include "common/widgets/cinput.h"
#include "ui_oublies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kBytesRole = Qt::UserRole + 1; // the path of a file whose name is not text

// What a listed file opens with, by its extension.
enum class Opener { Viewer, Album, Editor, Zip, Associated };

Opener openerOf(const QString &path)
{
    static const QStringList pictures{QStringLiteral(".BMP"), QStringLiteral(".EMF"), QStringLiteral(".WMF"),
                                      QStringLiteral(".ICO"), QStringLiteral(".JPG"), QStringLiteral(".JPE"),
                                      QStringLiteral(".JPEG"), QStringLiteral(".GIF")};
    static const QStringList texts{QStringLiteral(".TXT"), QStringLiteral(".RTF"), QStringLiteral(".LOG"),
                                   QStringLiteral(".MAK"), QStringLiteral(".FRM")};
    const QString extension = cp1252::toUpper(PartieChemin(path, QStringLiteral("extension")));
    if (pictures.contains(extension)) return Opener::Viewer;
    if (extension == QLatin1String(".ALB")) return Opener::Album;
    if (texts.contains(extension)) return Opener::Editor;
    if (extension == QLatin1String(".ZIP")) return Opener::Zip;
    return Opener::Associated;
}

// A path as the list shows it: a line feed or another control character in a name shows as
// \xNN, so that every entry stays on one line.
QString shown(const QString &path) { return cp1252::withControlsShown(path, false); }

} // namespace

oublies::oublies(ArchiverSession &session, Desktop &desktop, QWidget *parent)
    : QDialog(parent), session_(session), desktop_(desktop), ui(std::make_unique<Ui::oublies>())
{
    ui->setupUi(this);
    forms::translate(this, session_);
    connect(ui->Repertoire1, &QPushButton::clicked, this, &oublies::Repertoire1_Click);
    connect(ui->ok, &QPushButton::clicked, this, &oublies::ok_Click);
    connect(ui->Liste1, &QListWidget::itemClicked, this, &oublies::Liste1_Click);
    connect(ui->Liste1, &QListWidget::itemActivated, this, &oublies::Liste1_Click);
    connect(ui->mfi, &QPushButton::clicked, this, &oublies::mfi_Click);
    connect(ui->renommer, &QPushButton::clicked, this, &oublies::renommer_Click);
    connect(ui->supprimer, &QPushButton::clicked, this, &oublies::supprimer_Click);
    setFolder(QDir::homePath());
}

oublies::~oublies() = default;

void oublies::setFolder(const QString &folder)
{
    folder_ = QDir::cleanPath(folder);
    if (!folder_.endsWith(u'/')) folder_ += u'/';
    ui->Etiquette5->setText(shown(folder_));
    ui->Etiquette5->setToolTip(shown(folder_));
    remise_a_zero();
}

void oublies::remise_a_zero()
{
    ui->Liste1->clear();
    analysed_ = catalogued_ = uncatalogued_ = 0;
    setWindowTitle(forms::message(session_, 135));
    showCounts();
    enableFileButtons(false);
}

void oublies::showCounts()
{
    ui->analyse->setText(QString::number(analysed_));
    ui->repertorie->setText(QString::number(catalogued_));
    ui->oublie->setText(QString::number(uncatalogued_));
}

void oublies::enableFileButtons(bool on)
{
    for (QPushButton *b : {ui->mfi, ui->renommer, ui->supprimer}) b->setEnabled(on);
}

QString oublies::selectedPath() const
{
    const QListWidgetItem *item = ui->Liste1->currentItem();
    return item ? item->data(kPathRole).toString() : QString();
}

void oublies::takeSelected() { delete ui->Liste1->takeItem(ui->Liste1->currentRow()); }

void oublies::addPath(const QString &path)
{
    auto *item = new QListWidgetItem(shown(path), ui->Liste1);
    item->setData(kPathRole, path);
}

void oublies::tell(int message) { desktop_.message(this, forms::message(session_, message)); }

void oublies::Repertoire1_Click()
{
    const QString chosen = desktop_.folderName(this, ui->ok->text(), folder_);
    if (!chosen.isEmpty()) setFolder(chosen);
}

void oublies::ok_Click()
{
    const QFileInfo place(folder_);
    if (!place.isDir() || !place.isReadable()) {
        desktop_.message(this, texts::get(texts::kNotAFolderToSearch).arg(shown(folder_)), QString(),
                         Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return;
    }
    // Each start lists the folder as it is now, never the same file twice.
    ui->Liste1->clear();
    enableFileButtons(false);
    analysed_ = catalogued_ = uncatalogued_ = 0;
    showCounts();
    setWindowTitle(shown(folder_ + ui->Texte1->text()));
    finder::Analysis found;
    {
        const Desktop::Progress progress = desktop_.progress(this, windowTitle());
        found = finder::find(session_.catalogue, folder_, ui->Texte1->text(),
                             [&](int done) { return progress(done, 36); });
    }
    if (found.cancelled) {
        remise_a_zero();
        return;
    }
    analysed_ = found.analysed;
    catalogued_ = found.catalogued;
    uncatalogued_ = found.uncatalogued.size() + found.undecodable.size();
    for (const QString &path : found.uncatalogued) addPath(path);
    // A name that is not text is listed as its bytes: it can be renamed, not catalogued.
    for (const QByteArray &path : found.undecodable) {
        auto *item = new QListWidgetItem(shown(finder::shownBytes(path)), ui->Liste1);
        item->setData(kBytesRole, path);
    }
    showCounts();
    desktop_.beep();
    if (!found.unreadable.isEmpty())
        desktop_.message(this, found.unreadable.join(u'\n'), QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
    tell(134);
}

QByteArray oublies::selectedBytes() const
{
    const QListWidgetItem *item = ui->Liste1->currentItem();
    return item ? item->data(kBytesRole).toByteArray() : QByteArray();
}

bool oublies::refuseUndecodable()
{
    const QByteArray bytes = selectedBytes();
    if (bytes.isEmpty()) return false;
    desktop_.message(this, texts::get(texts::kFinderNameNotText).arg(shown(finder::shownBytes(bytes))), QString(),
                     Desktop::Buttons::Ok, Desktop::Icon::Warning);
    return true;
}

void oublies::Liste1_Click()
{
    if (!selectedBytes().isEmpty()) {
        enableFileButtons(true);
        // The desktop opens it by its bytes, which a file address can carry.
        desktop_.openUrl(QUrl::fromEncoded("file://" + selectedBytes().toPercentEncoding("/")));
        return;
    }
    const QString path = selectedPath();
    if (path.isEmpty()) return;
    session_.current.record.target = path;
    enableFileButtons(true);
    if (!QFileInfo::exists(path)) {
        desktop_.message(this, texts::get(texts::kFinderVanished).arg(shown(path)), QString(), Desktop::Buttons::Ok,
                         Desktop::Icon::Warning);
        return;
    }
    switch (openerOf(path)) {
    case Opener::Viewer: forms::startCompanion(this, desktop_, QStringLiteral("pictel5"), {path}); break;
    case Opener::Editor: forms::startCompanion(this, desktop_, QStringLiteral("redig5"), {path}); break;
    case Opener::Album:
        forms::startOutsideTool(this, desktop_, session_, QLatin1String(forms::kAlbumViewer), {path});
        break;
    case Opener::Zip: forms::startOutsideTool(this, desktop_, session_, QLatin1String(forms::kZipTool), {path}); break;
    case Opener::Associated: desktop_.openUrl(QUrl::fromLocalFile(path)); break;
    }
}

void oublies::mfi_Click()
{
    if (refuseUndecodable()) return;
    const QString path = selectedPath();
    if (path.isEmpty()) return;
    Record r;
    r.key = SaisieTexte(desktop_, this, forms::message(session_, 129), forms::message(session_, 130), QString(), true);
    if (r.key.isEmpty()) return tell(73);
    {
        // Closed without a click, the dialog leaves the category of some earlier record: no choice.
        categorie choice(session_, desktop_, this);
        if (desktop_.exec(&choice) != QDialog::Accepted) return tell(73);
    }
    r.category = session_.current.record.category;
    if (r.category.isEmpty()) return tell(73);
    r.note = SaisieTexte(desktop_, this, forms::message(session_, 131), forms::message(session_, 106), QString(), true);
    if (media::onRemovableSupport(path, session_.removableRoots)) {
        session_.currentSupport = SaisieTexte(desktop_, this, forms::message(session_, 92),
                                              forms::message(session_, 132), session_.currentSupport, true);
        r.support = session_.currentSupport;
    }
    r.date = session_.date;
    r.target = path;
    // The checks of the key box: a key the letter files cannot hold, or a field that would shift
    // the others, is refused before anything is written.
    if (const auto refused = entry::check(r)) {
        desktop_.message(this, forms::refusalText(session_, *refused), QString(), Desktop::Buttons::Ok,
                         Desktop::Icon::Warning);
        return;
    }
    if (!store(r)) return;
    desktop_.message(this, shown(record::compose(r)), forms::message(session_, 133));
    takeSelected();
    if (uncatalogued_ > 0) --uncatalogued_;
    ++catalogued_;
    showCounts();
    enableFileButtons(false);
}

void oublies::renommer_Click()
{
    // A name that is not text is renamed by its bytes: the way to give it one the records can hold.
    const QByteArray bytes = selectedBytes();
    const QString path = bytes.isEmpty() ? selectedPath() : finder::shownBytes(bytes);
    if (path.isEmpty()) return;
    const QString renamed =
        SaisieTexte(desktop_, this, forms::message(session_, 136), forms::message(session_, 137), path, false);
    const QFileInfo target(renamed);
    if (renamed.isEmpty() || renamed == path || target.exists() || target.isSymLink()) return tell(73);
    const QByteArray from = bytes.isEmpty() ? QFile::encodeName(path) : bytes;
    if (::rename(from.constData(), QFile::encodeName(renamed).constData()) != 0) {
        desktop_.message(this,
                         texts::get(texts::kFinderActionFailed).arg(shown(path), QString::fromLocal8Bit(std::strerror(errno))),
                         QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return;
    }
    takeSelected();
    addPath(renamed);
    enableFileButtons(false);
}

bool oublies::store(const Record &r)
{
    QString error, warning;
    const auto lock = session_.catalogue.lock(&error);
    if (!lock
        || !recordchange::add(*lock, session_.catalogue, r, false, &session_.current.letterFile, &error, &warning)) {
        desktop_.message(this, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Critical);
        return false;
    }
    if (!warning.isEmpty())
        desktop_.message(this, texts::get(texts::kNotUndoable).arg(warning), QString(), Desktop::Buttons::Ok,
                         Desktop::Icon::Warning);
    return true;
}

void oublies::supprimer_Click()
{
    if (refuseUndecodable()) return;
    const QString path = selectedPath();
    if (path.isEmpty()) return;
    const bool vanished = !QFileInfo::exists(path) && !QFileInfo(path).isSymLink();
    if (vanished) {
        desktop_.message(this, texts::get(texts::kFinderVanished).arg(shown(path)), QString(), Desktop::Buttons::Ok,
                         Desktop::Icon::Warning);
    } else {
        // To the trash where the disk has one; else the question says the file goes for good.
        const bool toTrash = files::trashAvailable(path);
        const QString question =
            texts::get(toTrash ? texts::kFinderTrashQuestion : texts::kFinderDeleteForGoodQuestion)
                .arg(shown(path));
        if (desktop_.message(this, question, ui->supprimer->text(), Desktop::Buttons::YesNo,
                             toTrash ? Desktop::Icon::Question : Desktop::Icon::Warning,
                             Desktop::Answer::No) != Desktop::Answer::Yes)
            return;
        QString error;
        if (!(toTrash ? files::moveToTrash(path, &error) : files::removeForGood(path, &error))) {
            desktop_.message(this, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
            return;
        }
        if (toTrash)
            desktop_.message(this, texts::get(texts::kTrashed).arg(shown(path)), QString(),
                             Desktop::Buttons::Ok, Desktop::Icon::Information);
    }
    // Deleted now or gone already: either way it is no longer a file to deal with.
    takeSelected();
    if (uncatalogued_ > 0) --uncatalogued_;
    showCounts();
    enableFileButtons(false);
}
