#pragma once

#include <QDialog>

class Desktop;
namespace Ui {
class Cinput;
}

// The program's one-line input box: Enter confirms, there are no buttons, and closing the
// window answers with the empty text.
class Cinput : public QDialog
{
    Q_OBJECT
public:
    explicit Cinput(QWidget *parent = nullptr);
    ~Cinput() override;

    void setPrompt(const QString &prompt);
    void setText(const QString &text);
    QString text() const;

private slots:
    void saisie_KeyPress();

private:
    Ui::Cinput *ui;
};

// Asks for one line of text through Cinput; upperCase turns the answer into capitals of the code
// page. The empty text means the user gave up.
QString SaisieTexte(Desktop &desktop, QWidget *parent, const QString &prompt, const QString &title,
                    const QString &initial, bool upperCase);
