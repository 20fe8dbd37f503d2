#include "common/widgets/remplace.h"

#include "ui_remplace.h"

remplace::remplace(QString &motCherche, QString &texteRemplacement, QWidget *parent)
    : QDialog(parent), motCherche_(motCherche), texteRemplacement_(texteRemplacement),
      ui(std::make_unique<Ui::remplace>())
{
    ui->setupUi(this);
    connect(ui->ok_auto, &QPushButton::clicked, this, &remplace::ok_auto_Click);
}

remplace::~remplace() = default;

void remplace::ok_auto_Click()
{
    motCherche_ = ui->cible->text();
    texteRemplacement_ = ui->Texte1->text();
    accept();
}
