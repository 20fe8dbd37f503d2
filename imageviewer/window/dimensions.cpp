#include "imageviewer/window/dimensions.h"

#include "imageviewer/picture/geometry.h"
#include "imageviewer/picture/pictel_session.h"
#include "ui_dimensions.h"

#include <QRegularExpressionValidator>

namespace pictel {

dimensions::dimensions(PictelSession &session, Desktop &desktop, QWidget *parent)
    : QDialog(parent), session_(session), desktop_(desktop), ui(std::make_unique<Ui::dimensions>())
{
    ui->setupUi(this);
    // Whole numbers of pixels only; anything larger than a picture may be is refused by the viewer.
    for (QLineEdit *box : {ui->largeur, ui->hauteur})
        box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), box));
    connect(ui->largeur, &QLineEdit::returnPressed, this, &dimensions::largeur_KeyPress);
    connect(ui->hauteur, &QLineEdit::returnPressed, this, &dimensions::hauteur_KeyPress);
    connect(ui->recadrer, &QPushButton::clicked, this, &dimensions::recadrer_Click);
    connect(ui->reset, &QPushButton::clicked, this, &dimensions::reset_Click);
    Form_Load();
}

dimensions::~dimensions() = default;

void dimensions::Form_Load()
{
    largeur0_ = qint64(session_.imageWidth);
    hauteur0_ = qint64(session_.imageHeight);
    reset_Click();
    ui->largeur->selectAll();
}

void dimensions::largeur_KeyPress()
{
    const qint64 width = ui->largeur->text().toLongLong();
    if (width >= 1) ui->hauteur->setText(QString::number(proportionalHeight(largeur0_, hauteur0_, width)));
}

void dimensions::hauteur_KeyPress()
{
    const qint64 height = ui->hauteur->text().toLongLong();
    if (height >= 1) ui->largeur->setText(QString::number(proportionalWidth(largeur0_, hauteur0_, height)));
}

void dimensions::recadrer_Click()
{
    session_.imageWidth = double(ui->largeur->text().toLongLong());
    session_.imageHeight = double(ui->hauteur->text().toLongLong());
    accept();
}

void dimensions::reset_Click()
{
    ui->largeur->setText(QString::number(largeur0_));
    ui->hauteur->setText(QString::number(hauteur0_));
}

} // namespace pictel
