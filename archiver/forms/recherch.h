#pragma once

#include "archiver/store/record.h"

#include <QDialog>

#include <memory>

class Desktop;
struct ArchiverSession;
namespace Ui {
class recherch;
}

// Chooses the one field of the records a search compares, and the text it looks for: the first
// box validated (Enter in a text box, a click in a list) sets the session's search field and text
// and closes the dialog; closing it otherwise leaves the search field at 0, nothing to search.
// The key texts typed are kept in the search history, which the key box offers again.
class recherch : public QDialog
{
    Q_OBJECT
public:
    recherch(ArchiverSession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~recherch() override;

    // Whatever closes the dialog: the key typed goes into the history, which never stops the
    // closing (a failure to keep it is said).
    void done(int r) override;

public slots:
    void Cle_Click();
    void cle_KeyPress();
    void quand_KeyPress();
    void quand_DblClick();
    void liste_support_Click();
    void liste_cat_Click();
    void thema_KeyPress();
    void comm_KeyPress();
    void asso_KeyPress();
    void suppr_Click();
    void vider_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Unload();
    // The search of field for text, and the dialog closes.
    void choose(record::Field field, const QString &text);
    // A text box validated with Enter: its text, unless empty or unstorable, is the search.
    void validate(record::Field field, const QString &text);
    // False, after saying why, when typed text holds a character that cannot be stored.
    bool storable(const QString &text);
    void warn(const QString &text);

    ArchiverSession &session_;
    Desktop &desktop_;
    std::unique_ptr<Ui::recherch> ui;
    bool unloaded_ = false;
};
