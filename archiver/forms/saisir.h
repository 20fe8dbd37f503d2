#pragma once

#include <QDialog>
#include <QPlainTextEdit>

#include <memory>

class Desktop;
class QMimeData;
struct ArchiverSession;
struct Record;
namespace Ui {
class Saisir;
}

// The note box of the entry form: wrapped over several visual lines, but one logical line. Enter
// is refused (lineBreakRefused tells it, for the beep) and line breaks of pasted or dropped text
// become blanks.
class NoteEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

signals:
    void lineBreakRefused();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
};

// Creates one record for the key of the run's search text, which is also its caption. The user
// picks a category first (the category phase: the category list, its button, the note and its
// note file); the click opens the entry phase (date, target, note, memo notes, VALIDER) until
// "start over" goes back. VALIDER checks the record, then under the folder's lock rewrites the
// memo notes (when there are any) and appends the line to its letter file, kept sorted; when a
// write fails the dialog stays open with everything typed and the files as they were. Storing is
// an undoable operation. Closing it any other way asks first when something was typed: Yes
// stores, No drops it, Cancel keeps the dialog.
//
// The main window's caption after a record was stored is storedCaption(): the caller sets it on
// its window when exec returns Accepted (the dialog does not reach for its parent's window).
class Saisir : public QDialog
{
    Q_OBJECT
public:
    Saisir(ArchiverSession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~Saisir() override;

    // Search text followed by the "record stored" status; empty until a record was stored.
    QString storedCaption() const { return storedCaption_; }

public slots:
    void Liste2_Click();
    void reinitialiser_Click();
    void ajout_cat_Click();
    void extension_DblClick();
    void last_comment_Click();
    void memoriser_Click();
    void Liste1_Click();
    void Texte2_Change();
    void txt_Click();
    void ok_Click();
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void choix_fichier();
    bool ajout_support();
    void compteur();
    // Whether closing would drop something the user chose or typed.
    bool typedSomething() const;
    // The record the boxes make now, as VALIDER stores it (key and note in capitals).
    Record composed() const;
    void setEntryPhase(bool entry);
    void showError(const QString &text);

    ArchiverSession &session_;
    Desktop &desktop_;
    std::unique_ptr<Ui::Saisir> ui;
    QString category_;     // the chosen category
    bool memoFlag_ = false; // the memo file is rewritten by VALIDER
    QString memoError_;     // why the memo file could not be read
    QString storedCaption_;
};
