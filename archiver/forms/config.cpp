#include "archiver/forms/config.h"

#include "archiver/forms/form.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "ui_config.h"

#include <QFileInfo>

namespace {

// A folder box as it is kept: with its final separator. An empty box stays empty: "/" alone
// would name the root of the file system.
QString asFolder(const QString &text)
{
    if (text.isEmpty() || text.endsWith(u'/')) return text;
    return text + u'/';
}

// Shorter than 3 characters with its separator, a folder box names no favourite folder.
QString favourite(const QString &folder) { return folder.size() >= 3 ? folder : QString(); }

} // namespace

config::config(ArchiverSession &session, Desktop &desktop, QWidget *parent)
    : QDialog(parent), session_(session), desktop_(desktop), ui(std::make_unique<Ui::config>())
{
    ui->setupUi(this);
    forms::translate(this, session_);
    const TalvoSettings &s = session_.settings;
    ui->Texte1->setText(s.zipProgram);
    ui->Texte2->setText(s.soundFolder);
    ui->Texte3->setText(s.imageFolder);
    ui->Coche1->setChecked(s.showAssociatedFile);
    connect(ui->parcourir, &QPushButton::clicked, this, &config::parcourir_Click);
}

config::~config() = default;

void config::parcourir_Click()
{
    const QString current = ui->Texte1->text();
    const QString folder = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
    const QString chosen = desktop_.openFileName(this, forms::message(session_, 151), folder, QString());
    if (!chosen.isEmpty()) ui->Texte1->setText(chosen);
}

bool config::Form_Unload()
{
    // Paths keep their case: on this file system a path in capitals names another file.
    for (QLineEdit *box : {ui->Texte1, ui->Texte2, ui->Texte3}) {
        const QString refused = forms::refusal(box->text());
        if (refused.isEmpty()) continue;
        desktop_.message(this, refused, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        box->setFocus();
        return false;
    }
    ui->Texte2->setText(asFolder(ui->Texte2->text()));
    ui->Texte3->setText(asFolder(ui->Texte3->text()));

    TalvoSettings &s = session_.settings;
    const QString zip = ui->Texte1->text();
    const QFileInfo tool(zip);
    zipEnabled_ = !zip.isEmpty() && tool.isFile() && tool.isExecutable();
    s.zipProgram = zipEnabled_ ? zip : QString();
    s.soundFolder = favourite(ui->Texte2->text());
    s.imageFolder = favourite(ui->Texte3->text());
    s.showAssociatedFile = ui->Coche1->isChecked();
    return true;
}

void config::done(int r)
{
    if (!Form_Unload()) return;
    QDialog::done(r);
}
