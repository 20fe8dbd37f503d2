#pragma once

#include "common/files/path_parts.h"
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "archiver/store/record.h"

#include <memory>

class Desktop;
class QFileInfo;
struct ArchiverSession;
namespace Ui {
class Fiche;
}

// The record card: every field of the session's current record in a box of its own, the length
// of its line counted as it is typed, and four actions on it: open its target, print it, choose
// another target file, delete it. Its target may be shown at once when the card opens. Closing
// the card writes an edited record back to its letter file after asking (Yes, No or Cancel, which
// keeps the card open); the grid then reads the deleted and modified flags of the current record.
// Writing and deleting are undoable operations.
class Fiche : public QDialog
{
    Q_OBJECT
public:
    Fiche(ArchiverSession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~Fiche() override;

    // The closing step: the user says whether an edited record is written (Yes), dropped (No) or
    // kept in the card (Cancel); a record the catalogue refuses, a failed write or a record
    // changed on disk meanwhile keeps the card open with the edits.
    void done(int r) override;

public slots:
    void executer_Click();
    void imprimer_Click();
    void parcourir_Click();
    void supprimer_Click();
    void Picture2_Click();
    void liste1_Change();
    void Texte1_Change();
    void Texte2_Change();
    void Texte3_Change();
    void Texte4_Change();
    void Texte5_Change();
    void Texte5_MouseDown(Qt::MouseButton button);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void compteur();
    void voir_fichier();
    // After the record went: its target file to the trash, when the user says so.
    void offerToDeleteTarget();
    // Writes the edited record in place of the old line; false (said) when it was not written.
    bool writeBack(const QString &newLine);
    // Where the file target is now: the located path, or empty after saying which support to
    // insert.
    QString locatedTarget();

    ArchiverSession &session_;
    Desktop &desktop_;
    std::unique_ptr<Ui::Fiche> ui;
    QString oldLine_;
    bool recordDeleted_ = false;
};

namespace card {

// What "Exécuter" hands to the desktop for a target that is not a file: "mailto:" before a mail
// address ("@" after the first character), a web address as a URL; invalid for a file.
QUrl nonFileUrl(const QString &target);

// The information shown about a target file: date and time of its last change, its size in Ko,
// its attributes (read-only when it cannot be written, hidden when its name begins with ".").
QString fileInformation(const ArchiverSession &session, const QFileInfo &file);

// A file dialog filter written as "name|pattern|name|pattern" in Qt's "name (pattern);;..." form;
// "*.*" matches every file, with or without an extension.
QString qtFilter(const QString &pairs);

// The name of the file a printed card goes to, made from its key.
using files::safeFileName;

// The text of a printed card: the fields of selection (grid columns: 0 key, 1 note, 2 date,
// 3 support, 4 category, 5 target), each with its label and ": " when labels are given, a note
// with "_" a part per line followed by an empty line.
QString printedCard(const Record &r, const QList<int> &selection, const QStringList &labels);

} // namespace card
