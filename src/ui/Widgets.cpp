#include "Widgets.h"

#include <QPainter>

namespace velquor::ui {

Panel::Panel(QWidget* parent, const QColor& colour) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colour);
    setPalette(palette);
    setAutoFillBackground(true);
}

Shape::Shape(QWidget* parent, Form form, const QColor& pen, const QColor& fill)
    : QWidget(parent), form_(form), pen_(pen), fill_(fill) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(pen_);
    painter.setBrush(fill_.isValid() ? QBrush(fill_) : QBrush(Qt::NoBrush));
    const QRect outline = rect().adjusted(0, 0, -1, -1);
    if (form_ == Form::Circle) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawEllipse(QRectF(outline).adjusted(0.5, 0.5, 0.5, 0.5));
    } else {
        painter.drawRect(outline);
    }
}

PictureBox::PictureBox(QWidget* parent, Painting painting)
    : QWidget(parent), painting_(std::move(painting)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painting_(painter);
}

ScenePaintBox::ScenePaintBox(QWidget* parent, const QImage& presented)
    : QWidget(parent), presented_(presented) {
    // The picture covers the whole box: nothing needs to be erased before painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ScenePaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, presented_);
}

RopePaintBox::RopePaintBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void RopePaintBox::setRope(QLine rope) {
    if (rope == rope_)
        return;
    rope_ = rope;
    update();
}

void RopePaintBox::paintEvent(QPaintEvent*) {
    if (rope_.isNull())
        return;
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(rope_);
}

} // namespace velquor::ui
