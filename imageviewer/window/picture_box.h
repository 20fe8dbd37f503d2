#pragma once

#include <QImage>
#include <QWidget>

// The picture box Image1: exactly the size of the picture it shows, which it paints as it is.
// It hands its mouse, key and focus events to the window as signals, in its own coordinates.
class PictureBox : public QWidget
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    const QImage &image() const { return image_; }

signals:
    void mouseDown(Qt::MouseButton button, QPoint at);
    void mouseMoved(QPoint at);
    void mouseUp(Qt::MouseButton button, QPoint at);
    void keyPressed(int key);
    void focusLost();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QImage image_;
};
