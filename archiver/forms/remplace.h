#pragma once

#include "archiver/store/record.h"

#include <QDialog>

#include <memory>
#include <optional>

class Desktop;
class QButtonGroup;
struct ArchiverSession;
namespace Ui {
class Remplace;
}

namespace remplace {

// The search and replacement texts of a catalogue-wide replacement confined to one field: the
// separators around the typed texts make a plain replacement in the record line hit only that
// field. field is the search field to set, or nothing when it stays as it was.
struct Texts
{
    QString search;
    QString replacement;
    std::optional<record::Field> field;
};

// option: 0 every field, 1 key, 2 support, 3 category, 4 note, 5 target (any other: every field).
Texts texts(int option, const QString &t1, const QString &t2);

} // namespace remplace

// Collects the two texts of a replacement in every record line and the field it is confined to.
// "Lancer la Procédure" stores them in the session and closes; closing the dialog otherwise
// leaves the session as it was.
class Remplace : public QDialog
{
    Q_OBJECT
public:
    Remplace(ArchiverSession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~Remplace() override;

public slots:
    void ok_Click();

private:
    ArchiverSession &session_;
    Desktop &desktop_;
    std::unique_ptr<Ui::Remplace> ui;
    QButtonGroup *options_ = nullptr;
};
