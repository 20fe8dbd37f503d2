#include "archiver/forms/categorie.h"

#include "archiver/forms/form.h"
#include "archiver/store/lists.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"
#include "ui_categorie.h"

namespace {

const QString kAddTitle = QStringLiteral("AJOUTER UNE CATEGORIE");

} // namespace

categorie::categorie(ArchiverSession &session, Desktop &desktop, QWidget *parent)
    : QDialog(parent), session_(session), desktop_(desktop), ui(std::make_unique<Ui::categorie>())
{
    ui->setupUi(this);
    // Every line of the list, an empty one too (it is a choice like the others).
    forms::fillSorted(ui->Liste1, linefile::readTextLines(lists::categoryFile(session_.folder)),
                      session_.catalogue.order());
    connect(ui->Liste1, &QListWidget::itemClicked, this, &categorie::Liste1_Click);
    connect(ui->Liste1, &QListWidget::itemActivated, this, &categorie::Liste1_Click);
    connect(ui->Command1, &QPushButton::clicked, this, &categorie::Command1_Click);
}

categorie::~categorie() = default;

void categorie::tell(const QString &text) { desktop_.message(this, text, kAddTitle); }

void categorie::Liste1_Click()
{
    const QListWidgetItem *item = ui->Liste1->currentItem();
    if (!item) return;
    session_.current.record.category = item->text();
    accept();
}

void categorie::Command1_Click()
{
    const auto answer = desktop_.inputText(this, QStringLiteral("Laquelle ?"), kAddTitle, QString());
    if (!answer || answer->isEmpty()) return tell(QStringLiteral("Abandon..."));
    const QString name = cp1252::toUpper(*answer);
    if (!forms::acceptField(this, session_, desktop_, record::Field::Category, name)) return;
    QString error;
    const auto lock = session_.catalogue.lock(&error);
    if (!lock) {
        desktop_.message(this, error, kAddTitle, Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return;
    }
    switch (lists::addCategory(*lock, name, &error)) {
    case lists::AddOutcome::Added: forms::insertSorted(ui->Liste1, name, session_.catalogue.order()); break;
    case lists::AddOutcome::AlreadyPresent: tell(QStringLiteral("Cette Catégorie existe déjà...")); break;
    case lists::AddOutcome::Empty: break;
    case lists::AddOutcome::Failed:
        desktop_.message(this, error, kAddTitle, Desktop::Buttons::Ok, Desktop::Icon::Warning);
        break;
    }
}
