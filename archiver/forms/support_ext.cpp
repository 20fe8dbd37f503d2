#include "archiver/forms/support_ext.h"

#include "archiver/forms/form.h"
#include "archiver/store/lists.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "common/text/cp1252.h"
#include "ui_support_ext.h"

#include <QLineEdit>

Support_ext::Support_ext(ArchiverSession &session, Desktop &desktop, QWidget *parent)
    : QDialog(parent), session_(session), desktop_(desktop), ui(std::make_unique<Ui::Support_ext>())
{
    ui->setupUi(this);
    forms::translate(this, session_);
    // The known supports in the order of the list file; the name used last is proposed.
    ui->Combo1->addItems(lists::load(lists::supportFile(session_.folder)));
    ui->Combo1->setEditText(session_.currentSupport);
    ui->Combo1->lineEdit()->selectAll();
    connect(ui->Command1, &QPushButton::clicked, this, &Support_ext::Command1_Click);
}

Support_ext::~Support_ext() = default;

void Support_ext::Command1_Click()
{
    const QString name = ui->Combo1->currentText();
    if (name.isEmpty()) return;
    const QString upper = cp1252::toUpper(name);
    if (!forms::acceptField(this, session_, desktop_, record::Field::Support, upper)) return;
    session_.currentSupport = upper;
    accept();
}
