#include "common/widgets/apropos.h"

#include "common/desktop/desktop.h"
#include "common/text/texts.h"
#include "ui_apropos.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMouseEvent>
#include <QStyle>

apropos::apropos(Desktop &desktop, QWidget *parent) : QDialog(parent), desktop_(desktop), ui(new Ui::apropos)
{
    ui->setupUi(this);
    ui->Image1->setPixmap(QApplication::windowIcon().pixmap(64, 64));
    if (ui->Image1->pixmap().isNull())
        ui->Image1->setPixmap(style()->standardIcon(QStyle::SP_DirHomeIcon).pixmap(64, 64));
    for (QLabel *link : {ui->Etiquette2, ui->Etiquette3}) {
        link->installEventFilter(this);
        link->setStyleSheet(QStringLiteral("color: #1a5fb4; text-decoration: underline;"));
    }
}

apropos::~apropos() { delete ui; }

void apropos::fill(const QString &programFile, const QString &description)
{
    const QFileInfo info(programFile);
    ui->nom->setText(info.fileName());
    ui->taille->setText(texts::get(texts::kKilobytes).arg(info.size() / 1024));
    ui->version->setText(QStringLiteral("Version ") + info.lastModified().toString(QStringLiteral("dd/MM/yyyy")));
    ui->description->setText(description);
}

QString apropos::labelText(const char *name) const
{
    const auto *label = findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QString();
}

void apropos::Etiquette2_Click() { desktop_.openUrl(QUrl(QStringLiteral("mailto:") + ui->Etiquette2->text())); }

void apropos::Etiquette3_Click() { desktop_.openUrl(QUrl(ui->Etiquette3->text())); }

bool apropos::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == ui->Etiquette2) Etiquette2_Click();
        if (watched == ui->Etiquette3) Etiquette3_Click();
    }
    return QDialog::eventFilter(watched, event);
}

void AfficherApropos(Desktop &desktop, QWidget *parent, const QString &description)
{
    apropos box(desktop, parent);
    box.fill(QCoreApplication::applicationFilePath(), description);
    desktop.exec(&box);
}

QIcon suiteIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/talvo5-%1.png").arg(size), QSize(size, size));
    return icon;
}
