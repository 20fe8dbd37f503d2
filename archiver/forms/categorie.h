#pragma once

#include <QDialog>

#include <memory>

class Desktop;
struct ArchiverSession;
namespace Ui {
class categorie;
}

// Picks one category of the category list for records a caller makes itself: a click on a name
// makes it the category of the session's current record and closes the dialog; closing it
// otherwise leaves that category as it was (a caller that must know empties it first). A new
// category can be added to the list first. Its texts are fixed French ones, never translated.
class categorie : public QDialog
{
    Q_OBJECT
public:
    categorie(ArchiverSession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~categorie() override;

public slots:
    void Liste1_Click();
    void Command1_Click();

private:
    void tell(const QString &text);

    ArchiverSession &session_;
    Desktop &desktop_;
    std::unique_ptr<Ui::categorie> ui;
};
