#include "archiver/forms/impr1.h"

#include "archiver/forms/form.h"
#include "archiver/store/session.h"
#include "ui_impr1.h"

#include <QPainter>
#include <QPixmap>

namespace {

// A sample page of a layout: grey bars for the texts of three records.
QPixmap sample(bool cards)
{
    QPixmap page(160, 120);
    page.fill(Qt::white);
    QPainter p(&page);
    p.setPen(QColor(170, 170, 170));
    p.drawRect(0, 0, 159, 119);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(10, 8, 90, 5); // the header line
    p.setBrush(QColor(150, 150, 150));
    int y = 22;
    for (int record = 0; record < (cards ? 3 : 9); ++record) {
        if (cards) {
            for (const int width : {60, 110, 80}) {
                p.drawRect(10, y, width, 4);
                y += 8;
            }
            p.setPen(QPen(QColor(150, 150, 150), 1, Qt::DashLine));
            p.drawLine(10, y, 150, y);
            p.setPen(Qt::NoPen);
            y += 6;
        } else {
            p.drawRect(10, y, 40, 4);
            p.drawRect(56, y, 60, 4);
            p.drawRect(122, y, 28, 4);
            y += 10;
        }
    }
    return page;
}

} // namespace

impr1::impr1(ArchiverSession &session, Desktop &, QWidget *parent)
    : QDialog(parent), session_(session), ui(std::make_unique<Ui::impr1>())
{
    ui->setupUi(this);
    forms::translate(this, session_);
    ui->Picture1->setIcon(sample(false));
    ui->Picture2->setIcon(sample(true));
    connect(ui->Picture1, &QToolButton::clicked, this, &impr1::Picture1_Click);
    connect(ui->Picture2, &QToolButton::clicked, this, &impr1::Picture2_Click);
}

impr1::~impr1() = default;

void impr1::Picture1_Click()
{
    session_.print.layout = 0;
    accept();
}

void impr1::Picture2_Click()
{
    session_.print.layout = 1;
    accept();
}
