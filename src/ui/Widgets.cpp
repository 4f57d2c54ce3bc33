#include "Widgets.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QPainter>
#include <QWindow>

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

FlatLineEdit::FlatLineEdit(QWidget* parent) : QLineEdit(parent) {
    // Drawn by hand rather than with a style sheet: a style sheet gives every field a
    // style object of its own and costs start-up time and memory for a one-pixel border.
    setFrame(false);
    setTextMargins(2, 1, 2, 1); // the border, and the pixel of room left and right
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, Qt::white);
    setPalette(palette);
}

void FlatLineEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
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

// A repaint would copy the whole picture into the window's backing store and then send
// it to the window system, which under X costs two full-frame copies that cannot overlap.
// The backing store still holds the picture shown before, so only the changed part is
// painted into it; the whole uncovered box is then flushed, and the window system still
// receives the whole picture.
void ScenePaintBox::showPresented(const QRect& changed) {
    QWidget* top = window();
    QWindow* surface = top->windowHandle();
    QBackingStore* store = top->backingStore();
    if (!isVisible() || !updatesEnabled() || !store || !surface || !surface->isExposed() ||
        store->size() != top->size()) {
        repaint(); // the backing store cannot be trusted to hold the earlier picture
        return;
    }
    // Updates the window has queued (a panel hidden over the scene, say) are painted
    // first, so that the flush below never shows stale pixels.
    QCoreApplication::sendPostedEvents(top, QEvent::UpdateRequest);

    const QRegion uncovered = uncoveredInWindow();
    if (uncovered.isEmpty())
        return;
    const qreal ratio = presented_.devicePixelRatio();
    const QRect changedHere =
        QRectF(QPointF(changed.topLeft()) / ratio, QSizeF(changed.size()) / ratio)
            .toAlignedRect();
    const QPoint origin = mapTo(top, QPoint(0, 0));
    const QRegion toPaint = uncovered & changedHere.translated(origin);
    if (!toPaint.isEmpty()) {
        store->beginPaint(toPaint);
        {
            QPainter painter(store->paintDevice());
            painter.setClipRegion(toPaint);
            painter.drawImage(origin, presented_);
        }
        store->endPaint();
    }
    store->flush(uncovered, surface);
}

QRegion ScenePaintBox::uncoveredInWindow() const {
    const QWidget* top = window();
    QRegion region(QRect(mapTo(top, QPoint(0, 0)), size()));
    // Every visible widget stacked above the box or above one of its ancestors covers it,
    // opaque or not; the ancestors themselves clip it.
    for (const QWidget* w = this; w != top; w = w->parentWidget()) {
        const QWidget* parent = w->parentWidget();
        const QPoint parentOrigin = parent->mapTo(top, QPoint(0, 0));
        region &= QRect(parentOrigin, parent->size());
        const QObjectList& siblings = parent->children();
        for (qsizetype i = siblings.indexOf(const_cast<QWidget*>(w)) + 1; i < siblings.size();
             ++i) {
            const auto* sibling = qobject_cast<const QWidget*>(siblings.at(i));
            if (sibling && !sibling->isWindow() && sibling->isVisible())
                region -= sibling->geometry().translated(parentOrigin);
        }
    }
    return region;
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
