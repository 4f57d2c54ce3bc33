#pragma once
// The title picture shown at start-up: a page that introduces the three mechanical
// simulators, drawn entirely by our own painter code so that it stays sharp on any
// screen and needs no image file.

#include <QFont>
#include <QPainter>
#include <QImage>
#include <QRectF>
#include <QRgb>
#include <QString>

#include <array>
#include <vector>

namespace velquor::ui {

// Logical size of the picture; the window reserves exactly this much room for it.
inline constexpr int TitlePictureWidth = 966;
inline constexpr int TitlePictureHeight = 647;
// Blank border around everything on the page, the same on all four sides.
inline constexpr int TitlePictureMargin = 32;
// The soft accent of the box frames and the rule under the heading; a window framing the
// picture can match it.
inline constexpr QRgb TitleFrameColour = qRgb(0x9b, 0xb4, 0xcf);

enum class TitleTextKind { Heading, Paragraph, BoxTitle, Explanation, Label };

struct TitleText {
    TitleTextKind kind = TitleTextKind::Paragraph;
    int box = -1; // which of the three boxes holds the text, -1 for the page texts
    QString text;
    QFont font;
    int flags = 0;  // Qt alignment and wrapping flags used for measuring and drawing
    QRectF place;   // the room reserved for the text, logical pixels
    QRectF needed;  // what the text takes in that room with this font
};

struct TitleLayout {
    std::vector<TitleText> texts;
    std::array<QRectF, 3> frames;   // the three boxes, left to right
    std::array<QRectF, 3> drawings; // the line drawing inside each box
};

int SmallestTitlePixelSize(TitleTextKind kind);

// Measures the text in its room and, while it does not fit, sets it one pixel smaller,
// down to a floor per kind of text that keeps it legible; below that it is left too big,
// so that `needed` shows the overflow instead of the page hiding it in tiny print.
void FitTitleText(TitleText& text);

// Places every text and box and fits each text to its room.
TitleLayout LayoutTitlePicture();

QImage DrawTitlePicture(qreal devicePixelRatio = 1.0);

// Paints the picture at the painter's origin, in logical pixels, at whatever resolution
// the painter's device has: the window paints it straight onto the screen rather than
// keeping a copy of it for the program's whole life.
void PaintTitlePicture(QPainter& painter, std::vector<QRectF>* drawnTextBounds = nullptr);

// As above, and reports the bounds the painter gave each text of LayoutTitlePicture(),
// in the same order, so the fit can be checked at the resolution actually drawn.
QImage DrawTitlePicture(qreal devicePixelRatio, std::vector<QRectF>* drawnTextBounds);

} // namespace velquor::ui
