#pragma once

#include <QDialog>

#include <memory>

class Desktop;
namespace Ui {
class remplace;
}

// Asks for a text to search and its replacement; OK (or Enter) hands both over, closing the
// window any other way changes nothing.
class remplace : public QDialog
{
    Q_OBJECT
public:
    remplace(QString &motCherche, QString &texteRemplacement, QWidget *parent = nullptr);
    ~remplace() override;

public slots:
    void ok_auto_Click();

private:
    QString &motCherche_;
    QString &texteRemplacement_;
    std::unique_ptr<Ui::remplace> ui;
};
