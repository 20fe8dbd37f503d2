#include "common/widgets/cinput.h"

#include "common/desktop/desktop.h"
#include "common/text/cp1252.h"
#include "ui_cinput.h"

Cinput::Cinput(QWidget *parent) : QDialog(parent), ui(new Ui::Cinput)
{
    ui->setupUi(this);
    connect(ui->saisie, &QLineEdit::returnPressed, this, &Cinput::saisie_KeyPress);
}

Cinput::~Cinput() { delete ui; }

void Cinput::setPrompt(const QString &prompt) { ui->mess->setText(prompt); }
void Cinput::setText(const QString &text) { ui->saisie->setText(text); }
QString Cinput::text() const { return ui->saisie->text(); }

void Cinput::saisie_KeyPress() { accept(); }

QString SaisieTexte(Desktop &desktop, QWidget *parent, const QString &prompt, const QString &title,
                    const QString &initial, bool upperCase)
{
    Cinput box(parent);
    box.setWindowTitle(title);
    box.setPrompt(prompt);
    box.setText(initial);
    if (desktop.exec(&box) != QDialog::Accepted) return {};
    return upperCase ? cp1252::toUpper(box.text()) : box.text();
}
