#pragma once
// The few small widgets the layout needs beyond Qt's own controls.

#include <QFrame>
#include <QImage>
#include <QLine>
#include <QLineEdit>
#include <QWidget>

#include <functional>

class QPainter;

namespace velquor::ui {

// A panel: a coloured area with a raised one-pixel bevel.
class Panel : public QFrame {
public:
    Panel(QWidget* parent, const QColor& colour);
};

// A rectangle or circle with a one-pixel outline and an optional fill.
class Shape : public QWidget {
public:
    enum class Form { Rectangle, Circle };
    Shape(QWidget* parent, Form form, const QColor& pen, const QColor& fill);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Form form_;
    QColor pen_;
    QColor fill_; // invalid: no fill
};

// A line edit drawn flat: white, with a one-pixel black border and a pixel of room
// between border and text on the left and right.
class FlatLineEdit : public QLineEdit {
public:
    explicit FlatLineEdit(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Shows a picture at its natural size from the top left corner. The picture is painted
// by a function each time it is needed, at the screen's resolution, and never kept.
class PictureBox : public QWidget {
public:
    using Painting = std::function<void(QPainter&)>;
    PictureBox(QWidget* parent, Painting painting);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Painting painting_;
};

// Paints the scene as it was last presented. It holds no picture of its own: the scene
// keeps the presented picture, so a repaint by the window system never loses figures.
class ScenePaintBox : public QWidget {
public:
    ScenePaintBox(QWidget* parent, const QImage& presented);

    // Puts the presented picture on screen now, without the event loop. `changed` is the
    // part (in the picture's device pixels) that differs from the picture shown before.
    void showPresented(const QRect& changed);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The part of the box that no widget lies over, in the window's coordinates.
    QRegion uncoveredInWindow() const;

    const QImage& presented_;
};

// Transparent surface over the rope panel on which the rope is drawn as one line.
class RopePaintBox : public QWidget {
public:
    explicit RopePaintBox(QWidget* parent);
    void setRope(QLine rope);
    QLine rope() const { return rope_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLine rope_;
};

} // namespace velquor::ui
