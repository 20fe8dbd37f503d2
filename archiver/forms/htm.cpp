#include "archiver/forms/htm.h"

#include "archiver/forms/form.h"
#include "archiver/operations/html_page.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "common/files/program_folder.h"
#include "common/images/image_size.h"
#include "common/text/texts.h"
#include "ui_htm.h"

#include <QFileInfo>
#include <QRadioButton>

htm::htm(ArchiverSession &session, Desktop &desktop, const QList<Record> &rows, QWidget *parent)
    : QDialog(parent), session_(session), desktop_(desktop), rows_(rows), ui(std::make_unique<Ui::htm>())
{
    ui->setupUi(this);
    const QList<QRadioButton *> options{ui->Option1_0, ui->Option1_1, ui->Option1_2};
    for (int i = 0; i < options.size(); ++i) {
        // The names of the language file, which number the options as one array.
        options[i]->setObjectName(QStringLiteral("Option1(%1)").arg(i));
        connect(options[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    }
    forms::translate(this, session_);
    ui->rep->setText(htmlpage::workingFolder(session_.homeFolder, ui->nom->text()));
    connect(ui->nom, &QLineEdit::textChanged, this,
            [this](const QString &name) { ui->rep->setText(htmlpage::workingFolder(session_.homeFolder, name)); });
    connect(ui->Commande1, &QPushButton::clicked, this, &htm::Commande1_Click);
}

htm::~htm() = default;

void htm::Option1_Click(int index) { copyMode_ = index; }

void htm::choosePlace(htmlpage::Options &o)
{
    const QString &home = session_.homeFolder;
    htmlpage::Place place = htmlpage::placeOf(home, o.name);
    // Whatever the user answers, what stands there stays as it is; No takes a name that is free.
    const auto takeFreeName = [&] {
        o.name = htmlpage::freeName(home, o.name);
        place = htmlpage::placeOf(home, o.name);
        ui->nom->setText(o.name);
    };
    const auto allowed = [&](const texts::Text &question, const QString &standing) {
        const QString free = htmlpage::placeOf(home, htmlpage::freeName(home, o.name)).folder;
        return desktop_.message(this, texts::get(question).arg(standing, free), QString(),
                                Desktop::Buttons::YesNo, Desktop::Icon::Question,
                                Desktop::Answer::No) == Desktop::Answer::Yes;
    };
    if (place.blocked) takeFreeName();
    if (place.othersFolder) {
        if (allowed(texts::kPageFolderQuestion, place.folder))
            o.intoOthersFolder = true;
        else
            takeFreeName();
    }
    if (place.othersPage) {
        if (allowed(texts::kPageQuestion, place.page))
            o.replaceOthersPage = true;
        else
            takeFreeName();
    }
}

void htm::Commande1_Click()
{
    if (ui->nom->text().isEmpty()) {
        desktop_.message(this, forms::message(session_, 125));
        return;
    }
    htmlpage::Options o;
    o.name = ui->nom->text();
    o.title = ui->titre->text();
    o.fields = ui->rubr->text();
    o.columns = std::max(1, ui->colonnes->text().trimmed().toInt());
    o.parchment = ui->Check1->isChecked();
    o.copyMode = copyMode_;
    choosePlace(o);
    ui->rep->setText(htmlpage::workingFolder(session_.homeFolder, o.name));
    const htmlpage::Outcome out = htmlpage::build(
        rows_, o, session_.folder, session_.homeFolder,
        [](const QString &path, QString *why) { return images::headerSize(path, why); },
        [this](const Record &r) {
            // Where the support is expected: the removable drive the target lies on, else its
            // folder.
            QString drive = QFileInfo(r.target).absolutePath();
            for (const QString &root : session_.removableRoots)
                if (r.target.startsWith(files::withTrailingSlash(root))) drive = root;
            desktop_.message(this, forms::message(session_, 126) + r.support +
                                       forms::message(session_, 127) + drive);
        });
    // One box for every picture that went wrong, so that a long list does not flood the screen.
    if (!out.problems.isEmpty())
        desktop_.message(this, out.problems.join(u'\n'), QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
    if (!out.error.isEmpty()) {
        desktop_.message(this, out.error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Critical);
        return;
    }
    if (out.pictures == 0) {
        desktop_.message(this, forms::message(session_, 128));
        return;
    }
    desktop_.openUrl(QUrl::fromLocalFile(out.page));
    accept();
}
