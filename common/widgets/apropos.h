#pragma once

#include <QDialog>

class Desktop;
class QIcon;
namespace Ui {
class apropos;
}

// The about box: the program's name, size and date, a description, and two links, the author's
// mail address and web site, opened through the desktop.
class apropos : public QDialog
{
    Q_OBJECT
public:
    apropos(Desktop &desktop, QWidget *parent = nullptr);
    ~apropos() override;

    // Fills the labels from the program file and the description.
    void fill(const QString &programFile, const QString &description);
    QString labelText(const char *name) const;

public slots:
    void Etiquette2_Click();
    void Etiquette3_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Desktop &desktop_;
    Ui::apropos *ui;
};

void AfficherApropos(Desktop &desktop, QWidget *parent, const QString &description);

// The suite's icon, in every size drawn; the programs give it to their windows at start-up.
QIcon suiteIcon();
