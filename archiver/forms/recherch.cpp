#include "archiver/forms/recherch.h"

#include "archiver/forms/form.h"
#include "archiver/store/history.h"
#include "archiver/store/lists.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"
#include "ui_recherch.h"

#include <QEvent>
#include <QLineEdit>

recherch::recherch(ArchiverSession &session, Desktop &desktop, QWidget *parent)
    : QDialog(parent), session_(session), desktop_(desktop), ui(std::make_unique<Ui::recherch>())
{
    ui->setupUi(this);
    forms::translate(this, session_);
    session_.searchField = record::Field::All;
    session_.searchText.clear();
    ui->quand->setText(session_.date);

    const LineOrder &order = session_.catalogue.order();
    forms::fillSorted(ui->liste_cat, lists::load(lists::categoryFile(session_.folder)), order);
    QStringList supports = lists::load(lists::supportFile(session_.folder));
    for (QString &name : supports) name = cp1252::toUpper(name);
    forms::fillSorted(ui->liste_support, supports, order);
    forms::fillSorted(ui->Cle, history::load(history::file(session_.folder)), order);
    ui->Cle->setCurrentIndex(-1);
    ui->suppr->setEnabled(false);

    connect(ui->Cle, &QComboBox::activated, this, &recherch::Cle_Click);
    connect(ui->Cle->lineEdit(), &QLineEdit::returnPressed, this, &recherch::cle_KeyPress);
    connect(ui->quand, &QLineEdit::returnPressed, this, &recherch::quand_KeyPress);
    ui->quand->installEventFilter(this);
    connect(ui->liste_support, &QListWidget::itemClicked, this, &recherch::liste_support_Click);
    connect(ui->liste_support, &QListWidget::itemActivated, this, &recherch::liste_support_Click);
    connect(ui->liste_cat, &QListWidget::itemClicked, this, &recherch::liste_cat_Click);
    connect(ui->liste_cat, &QListWidget::itemActivated, this, &recherch::liste_cat_Click);
    connect(ui->thema, &QLineEdit::returnPressed, this, &recherch::thema_KeyPress);
    connect(ui->comm, &QLineEdit::returnPressed, this, &recherch::comm_KeyPress);
    connect(ui->asso, &QLineEdit::returnPressed, this, &recherch::asso_KeyPress);
    connect(ui->suppr, &QPushButton::clicked, this, &recherch::suppr_Click);
    connect(ui->vider, &QPushButton::clicked, this, &recherch::vider_Click);
}

recherch::~recherch() = default;

bool recherch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->quand && event->type() == QEvent::MouseButtonDblClick) quand_DblClick();
    return QDialog::eventFilter(watched, event);
}

void recherch::warn(const QString &text)
{
    desktop_.message(this, text, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
}

bool recherch::storable(const QString &text)
{
    const QString refused = forms::refusal(text);
    if (refused.isEmpty()) return true;
    warn(refused);
    return false;
}

void recherch::choose(record::Field field, const QString &text)
{
    session_.searchText = text;
    session_.searchField = field;
    accept();
}

void recherch::validate(record::Field field, const QString &text)
{
    if (text.isEmpty() || !storable(text)) return;
    choose(field, text);
}

void recherch::Cle_Click() { ui->suppr->setEnabled(!ui->Cle->currentText().isEmpty()); }

void recherch::cle_KeyPress()
{
    const QString key = cp1252::toUpper(ui->Cle->currentText());
    if (key.isEmpty() || !storable(key)) return;
    if (!record::isLetter(key.front())) {
        return warn(forms::message(session_, 7));
    }
    choose(record::Field::Key, key);
}

void recherch::quand_KeyPress() { validate(record::Field::Date, ui->quand->text()); }

void recherch::quand_DblClick()
{
    const QString date = ui->quand->text();
    if (date.isEmpty() || !storable(date)) return;
    session_.searchText = date;
    if (date.size() < 6 || !date.contains(u'-')) {
        return warn(forms::message(session_, 98));
    }
    choose(record::Field::Date, date);
}

void recherch::liste_support_Click()
{
    if (const QListWidgetItem *item = ui->liste_support->currentItem())
        choose(record::Field::Support, item->text());
}

void recherch::liste_cat_Click()
{
    if (const QListWidgetItem *item = ui->liste_cat->currentItem()) choose(record::Field::Category, item->text());
}

void recherch::thema_KeyPress() { validate(record::Field::Category, cp1252::toUpper(ui->thema->text())); }

void recherch::comm_KeyPress() { validate(record::Field::Note, cp1252::toUpper(ui->comm->text())); }

void recherch::asso_KeyPress() { validate(record::Field::Target, ui->asso->text()); }

void recherch::suppr_Click()
{
    const int row = ui->Cle->findText(ui->Cle->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (row < 0) return;
    const QString removed = ui->Cle->itemText(row);
    QStringList remaining;
    for (int i = 0; i < ui->Cle->count(); ++i)
        if (i != row) remaining.append(ui->Cle->itemText(i));

    QString error;
    const auto lock = session_.catalogue.lock(&error);
    if (!lock) return warn(texts::get(texts::kHistoryUnchanged).arg(error));
    const QString path = history::file(session_.folder);
    // Texts another program added in the meantime stay.
    for (const QString &line : history::load(path))
        if (line != removed && !remaining.contains(line)) remaining.append(line);
    const LineOrder &order = session_.catalogue.order();
    remaining = forms::sorted(remaining, order);
    if (!history::rewrite(*lock, path, remaining, &error))
        return warn(texts::get(texts::kHistoryUnchanged).arg(error));
    forms::fillSorted(ui->Cle, remaining, order);
    ui->Cle->setCurrentIndex(-1);
    ui->suppr->setEnabled(false);
}

void recherch::vider_Click()
{
    QString error;
    const auto lock = session_.catalogue.lock(&error);
    if (!lock) return warn(texts::get(texts::kHistoryUnchanged).arg(error));
    if (!history::clear(*lock, history::file(session_.folder), &error))
        return warn(texts::get(texts::kHistoryUnchanged).arg(error));
    ui->Cle->clear();
    ui->Cle->clearEditText();
    ui->suppr->setEnabled(false);
}

void recherch::Form_Unload()
{
    const QString key = cp1252::toUpper(ui->Cle->currentText());
    if (key.isEmpty()) return;
    ui->Cle->setEditText(key);
    const QString path = history::file(session_.folder);
    if (history::load(path).contains(key)) return;
    QString error;
    if (const auto lock = session_.catalogue.lock(&error))
        if (history::add(*lock, path, key, &error) != lists::AddOutcome::Failed) return;
    warn(texts::get(texts::kHistoryNotKept).arg(key, error));
}

void recherch::done(int r)
{
    if (!unloaded_) {
        unloaded_ = true;
        Form_Unload();
    }
    QDialog::done(r);
}
