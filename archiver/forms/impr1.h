#pragma once

#include <QDialog>

#include <memory>

class Desktop;
struct ArchiverSession;
namespace Ui {
class impr1;
}

// The layout of a printed list, chosen by a click on its sample: a list in columns or record
// cards. A choice becomes the session's print layout and accepts the dialog; closing it
// otherwise rejects it, keeping the previous layout, and the print is given up.
class impr1 : public QDialog
{
    Q_OBJECT
public:
    impr1(ArchiverSession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~impr1() override;

public slots:
    void Picture1_Click();
    void Picture2_Click();

private:
    ArchiverSession &session_;
    std::unique_ptr<Ui::impr1> ui;
};
