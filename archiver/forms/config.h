#pragma once

#include <QDialog>

#include <memory>

class Desktop;
struct ArchiverSession;
namespace Ui {
class config;
}

// Edits four settings of the run: the zip tool, the favourite folders of sounds and of images,
// and whether the record card shows a record's associated file at once. There is no OK button:
// whatever closes the dialog tidies the boxes and takes them over into the session's settings,
// which reach the settings file when the main window closes.
class config : public QDialog
{
    Q_OBJECT
public:
    config(ArchiverSession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~config() override;

    // Takes the boxes over, whatever closes the dialog. A box holding a character that cannot be
    // stored is refused, naming it, and the dialog stays open with everything typed.
    void done(int r) override;

    // Whether the closing accepted a zip tool (an existing executable file), so the zip command
    // can be enabled. False leaves the command as it was.
    bool zipEnabled() const { return zipEnabled_; }

public slots:
    void parcourir_Click();

private:
    // False when the closing is refused.
    bool Form_Unload();

    ArchiverSession &session_;
    Desktop &desktop_;
    std::unique_ptr<Ui::config> ui;
    bool zipEnabled_ = false;
};
