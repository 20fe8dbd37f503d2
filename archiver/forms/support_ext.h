#pragma once

#include <QDialog>

#include <memory>

class Desktop;
struct ArchiverSession;
namespace Ui {
class Support_ext;
}

// Asks for the name of the removable medium that holds a file just chosen: a new name typed, or
// a known one picked from the support list. OK makes it, in capitals, the run's current support;
// closing the dialog otherwise leaves the current support as it was. The support list itself is
// not written here: the caller registers the name with its record.
class Support_ext : public QDialog
{
    Q_OBJECT
public:
    Support_ext(ArchiverSession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~Support_ext() override;

public slots:
    void Command1_Click();

private:
    ArchiverSession &session_;
    Desktop &desktop_;
    std::unique_ptr<Ui::Support_ext> ui;
};
