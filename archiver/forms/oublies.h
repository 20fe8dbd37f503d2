#pragma once

#include <QDialog>

#include <memory>

class Desktop;
struct ArchiverSession;
struct Record;
namespace Ui {
class oublies;
}

// The finder of files no record names: the user picks a folder and a pattern of file names,
// starts the analysis, and deals with each file listed: opens it, catalogues it as a new record,
// renames it, or deletes it (to the trash, after a question whose default is No). The list keeps
// the paths' own case and shows the folder as each start finds it.
class oublies : public QDialog
{
    Q_OBJECT
public:
    oublies(ArchiverSession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~oublies() override;

    // Where the analysis looks; a folder chosen with Repertoire1 comes here too.
    void setFolder(const QString &folder);

public slots:
    void Repertoire1_Click();
    void ok_Click();
    void Liste1_Click();
    void mfi_Click();
    void renommer_Click();
    void supprimer_Click();

private:
    void remise_a_zero();
    void showCounts();
    void enableFileButtons(bool on);
    QString selectedPath() const;
    // The path of the selected file when its name is not text; empty otherwise.
    QByteArray selectedBytes() const;
    // Says why the selected file, whose name is not text, cannot be catalogued or deleted here.
    bool refuseUndecodable();
    void takeSelected(); // removes the selected path from the list
    void addPath(const QString &path);
    void tell(int message);
    // Stores the new record of a listed file; false, said to the user, when it could not be.
    bool store(const Record &r);

    ArchiverSession &session_;
    Desktop &desktop_;
    std::unique_ptr<Ui::oublies> ui;
    QString folder_; // ends with "/"
    qint64 analysed_ = 0;
    qint64 catalogued_ = 0;
    qint64 uncatalogued_ = 0;
};
