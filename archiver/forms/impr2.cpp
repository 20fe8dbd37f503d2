#include "archiver/forms/impr2.h"

#include "archiver/forms/form.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "ui_impr2.h"

#include <QKeyEvent>
#include <QListWidget>

impr2::impr2(ArchiverSession &session, Desktop &desktop, QWidget *parent)
    : QDialog(parent), session_(session), desktop_(desktop), ui(std::make_unique<Ui::impr2>())
{
    ui->setupUi(this);
    forms::translate(this, session_);
    for (const int n : kFieldMessages)
        ui->List1->addItem(forms::message(session_, n));
    ui->ok->setEnabled(false);
    connect(ui->List1, &QListWidget::itemClicked, this, &impr2::List1_Click);
    ui->List1->installEventFilter(this);
    connect(ui->reset, &QPushButton::clicked, this, &impr2::reset_Click);
    connect(ui->ok, &QPushButton::clicked, this, &impr2::ok_Click);
}

impr2::~impr2() = default;

bool impr2::eventFilter(QObject *watched, QEvent *event)
{
    // From the keyboard, Enter or Space chooses the current field as a click does.
    if (watched == ui->List1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            List1_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void impr2::List1_Click()
{
    const int column = ui->List1->currentRow();
    if (column < 0) return;
    ui->List2->addItem(ui->List1->item(column)->text());
    selection_.append(column);
    ui->ok->setEnabled(true);
}

void impr2::reset_Click()
{
    ui->List2->clear();
    selection_.clear();
    ui->car->clear();
    ui->ok->setEnabled(false);
}

void impr2::ok_Click()
{
    const QString fill = ui->car->text();
    // The fill character goes into a list file of the catalogue's code page.
    if (const QString why = forms::refusal(fill); !why.isEmpty()) {
        desktop_.message(this, why, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return;
    }
    session_.print.selection = selection_;
    session_.print.fill = fill.isEmpty() ? QStringLiteral(" ") : fill;
    accept();
}
