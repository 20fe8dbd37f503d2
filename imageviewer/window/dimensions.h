#pragma once

#include <QDialog>

#include <memory>

class Desktop;
struct PictelSession;
namespace Ui {
class dimensions;
}

namespace pictel {

// The size dialog: the picture's width and height in two boxes; Enter in one computes the other
// with the picture's proportions, "Réset" puts the picture's own size back, "Recadrer" hands
// both values to the session and closes. Closed any other way, it changes nothing.
class dimensions : public QDialog
{
    Q_OBJECT
public:
    dimensions(PictelSession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~dimensions() override;

public slots:
    void largeur_KeyPress();
    void hauteur_KeyPress();
    void recadrer_Click();
    void reset_Click();

private:
    void Form_Load();

    PictelSession &session_;
    Desktop &desktop_;
    std::unique_ptr<Ui::dimensions> ui;
    qint64 largeur0_ = 0;
    qint64 hauteur0_ = 0;
};

} // namespace pictel
