#include "archiver/forms/remplace.h"

#include "archiver/forms/form.h"
#include "archiver/operations/batch.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "common/text/cp1252.h"
#include "ui_remplace.h"

#include <QButtonGroup>

namespace remplace {

Texts texts(int option, const QString &t1, const QString &t2)
{
    using F = record::Field;
    static constexpr F kFields[6] = {F::All, F::Key, F::Support, F::Category, F::Note, F::Target};
    const F field = option >= 0 && option < 6 ? kFields[option] : F::All;
    const batch::FieldReplacement r = batch::confined(field, t1, t2);
    // The support and category options also make their field the one searched.
    const bool searched = field == F::Support || field == F::Category;
    return {r.search, r.replacement, searched ? std::optional<F>(field) : std::nullopt};
}

} // namespace remplace

Remplace::Remplace(ArchiverSession &session, Desktop &desktop, QWidget *parent)
    : QDialog(parent), session_(session), desktop_(desktop), ui(std::make_unique<Ui::Remplace>())
{
    ui->setupUi(this);
    forms::translate(this, session_);
    options_ = new QButtonGroup(this);
    QRadioButton *const buttons[] = {ui->Option1_0, ui->Option1_1, ui->Option1_2,
                                     ui->Option1_3, ui->Option1_4, ui->Option1_5};
    for (int i = 0; i < 6; ++i) options_->addButton(buttons[i], i);
    ui->Option1_0->setChecked(true);
    connect(ui->ok, &QPushButton::clicked, this, &Remplace::ok_Click);
}

Remplace::~Remplace() = default;

void Remplace::ok_Click()
{
    using F = record::Field;
    static constexpr F fields[] = {F::All, F::Key, F::Support, F::Category, F::Note, F::Target};
    const int option = options_->checkedId();
    const F field = option >= 0 && option < 6 ? fields[option] : F::All;
    // Nothing the catalogue would read back differently is ever written into the records.
    if (const auto refused = batch::replacementRefusal(ui->Texte1->text(), ui->Texte2->text())) {
        desktop_.message(this, *refused, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return;
    }
    if (!forms::acceptField(this, session_, desktop_, field, ui->Texte1->text()) ||
        !forms::acceptField(this, session_, desktop_, field, ui->Texte2->text()))
        return;
    const remplace::Texts built = remplace::texts(option, ui->Texte1->text(), ui->Texte2->text());
    session_.searchText = built.search;
    session_.replacementText = built.replacement;
    if (built.field) session_.searchField = *built.field;
    accept();
}
