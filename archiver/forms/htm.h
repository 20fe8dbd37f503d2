#pragma once

#include "archiver/operations/html_page.h"
#include "archiver/store/record.h"

#include <QDialog>
#include <QList>

#include <memory>

class Desktop;
struct ArchiverSession;
namespace Ui {
class htm;
}

// Makes the HTML page of the JPEG and GIF pictures of the result list: its name and title, the
// fields under each picture, the pictures per row, the background and how the pictures are
// copied. The page goes to a working folder of its own under the session's home folder and
// opens in the browser. A folder or a page of that name that the program did not write is used
// only when the user says so (No is the default); else the page takes a free name.
class htm : public QDialog
{
    Q_OBJECT
public:
    htm(ArchiverSession &session, Desktop &desktop, const QList<Record> &rows, QWidget *parent = nullptr);
    ~htm() override;

    int copyMode() const { return copyMode_; }

public slots:
    void Commande1_Click();
    void Option1_Click(int index);

private:
  // Asks about what of the user's stands where the page goes, and sets what the user allowed
  // or takes a free name.
  void choosePlace(htmlpage::Options &o);

  ArchiverSession &session_;
  Desktop &desktop_;
  QList<Record> rows_;
  std::unique_ptr<Ui::htm> ui;
  int copyMode_ = 2;
};
