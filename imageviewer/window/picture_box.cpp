#include "imageviewer/window/picture_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image1"));
    setFocusPolicy(Qt::StrongFocus);
    // Everything it covers is painted from the picture.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setImage(const QImage &image)
{
    image_ = image;
    setFixedSize(image.size());
    update();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), image_, event->rect());
}

void PictureBox::mousePressEvent(QMouseEvent *event) { emit mouseDown(event->button(), event->position().toPoint()); }
void PictureBox::mouseMoveEvent(QMouseEvent *event) { emit mouseMoved(event->position().toPoint()); }
void PictureBox::mouseReleaseEvent(QMouseEvent *event) { emit mouseUp(event->button(), event->position().toPoint()); }

void PictureBox::keyPressEvent(QKeyEvent *event)
{
    emit keyPressed(event->key());
    QWidget::keyPressEvent(event);
}

void PictureBox::focusOutEvent(QFocusEvent *event)
{
    // A menu opened over the window takes the keyboard for a moment only.
    if (event->reason() != Qt::PopupFocusReason) emit focusLost();
    QWidget::focusOutEvent(event);
}
