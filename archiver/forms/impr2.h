#pragma once

#include <QDialog>
#include <QList>

#include <memory>

class Desktop;
struct ArchiverSession;
namespace Ui {
class impr2;
}

// The fields of a printed list or card, in the order the user clicks them (a field may be
// chosen twice), and the character that fills the columns of a list. OK makes them the session's
// print choice and accepts the dialog; closing it otherwise rejects it, keeping the previous
// choice, and the print is given up.
class impr2 : public QDialog
{
    Q_OBJECT
public:
    impr2(ArchiverSession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~impr2() override;

    // The messages naming the fields, in grid column order (key, note, date, support, category,
    // target).
    static constexpr int kFieldMessages[6] = {103, 106, 104, 108, 105, 107};

public slots:
    void List1_Click();
    void reset_Click();
    void ok_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ArchiverSession &session_;
    Desktop &desktop_;
    std::unique_ptr<Ui::impr2> ui;
    QList<int> selection_;
};
