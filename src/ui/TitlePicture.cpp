#include "ui/TitlePicture.h"

#include <QColor>
#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <cmath>
#include <numbers>

namespace velquor::ui {

namespace {

// A restrained palette: near-black text, one blue accent and its soft tints.
const QColor TextColour(0x1f, 0x2a, 0x36);
const QColor AccentColour(0x28, 0x59, 0x8a);
const QColor FrameColour = QColor::fromRgb(TitleFrameColour);
const QColor FigureColour(0x22, 0x2b, 0x36);
const QColor StructureColour(0x5f, 0x6b, 0x78);
const QColor HatchColour(0xa3, 0xad, 0xb8);
const QColor RopeColour(0x6b, 0x4f, 0x3a);
const QColor TintColour(0xe6, 0xee, 0xf6);

constexpr qreal Width = TitlePictureWidth;
constexpr qreal Margin = TitlePictureMargin;
constexpr qreal ContentWidth = Width - 2 * Margin;

constexpr qreal HeadingTop = Margin;
constexpr qreal HeadingHeight = 36;
constexpr qreal RuleY = 77; // under the heading
constexpr qreal FirstParagraphTop = 90;
constexpr qreal FirstParagraphHeight = 62;
constexpr qreal SecondParagraphTop = 158;
constexpr qreal SecondParagraphHeight = 42;

constexpr qreal BoxTop = 214;
constexpr qreal BoxBottom = TitlePictureHeight - Margin;
constexpr qreal BoxGap = 22;
constexpr qreal BoxWidth = (ContentWidth - 2 * BoxGap) / 3;
constexpr qreal BoxPadding = 14;
constexpr qreal BoxCornerRadius = 6;

constexpr qreal DrawingWidth = BoxWidth - 2 * BoxPadding;
constexpr qreal DrawingHeight = 220;
constexpr qreal BoxTitleTop = BoxPadding + DrawingHeight + 12; // relative to the box
constexpr qreal BoxTitleHeight = 26;
constexpr qreal ExplanationTop = BoxTitleTop + BoxTitleHeight + 4;

static_assert(BoxWidth == 286, "boxes should land on whole pixels so their frames stay sharp");

// Rope angle of the pendulum simulator: the wall then takes one sixth of the weight.
const qreal PendulumAngle = std::asin(1.0 / 6.0);

QFont pageFont(int pixelSize, bool bold = false) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    // Unhinted outlines scale linearly, so the line breaks measured here are the ones
    // drawn at any device pixel ratio.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QRectF measure(const TitleText& t) {
    return QFontMetricsF(t.font).boundingRect(t.place, t.flags, t.text);
}

// --- Drawing geometry, in each drawing's own coordinates (0,0 at its top left). ---

constexpr qreal CeilingY = 16;
constexpr qreal FloorY = 206;
constexpr qreal Centre = DrawingWidth / 2;

// Coil spring drawing.
constexpr qreal SpringFigureHeight = 96;

// Counterweight drawing.
constexpr qreal PulleyRadius = 32;
constexpr qreal AxleY = 62;
constexpr qreal PulleyLeftX = Centre - PulleyRadius;
constexpr qreal PulleyRightX = Centre + PulleyRadius;
constexpr qreal PulleyFigureHeight = 96;
constexpr QRectF CounterweightRect(PulleyRightX - 20, 118, 40, 52);

// Pendulum drawing.
constexpr qreal WallX = 188;
constexpr qreal LyingFigureY = 178;
constexpr qreal LyingFigureHeight = 96;
constexpr QPointF SlingRing(WallX - 0.56 * LyingFigureHeight, LyingFigureY - 38);
constexpr qreal AngleArcRadius = 72;

// Label rooms, in drawing coordinates.
constexpr QRectF AstronautMassLabel(0, 136, PulleyLeftX - 26, 18);
constexpr QRectF CounterweightMassLabel(CounterweightRect.right() + 6, 136,
                                        DrawingWidth - CounterweightRect.right() - 6, 18);
constexpr QRectF AngleLabel(WallX - 140, CeilingY + AngleArcRadius - 7, 88, 18);

// The rope's top leans towards the wall: hanging freely he would swing into it, so the
// wall has to push him back, and that push is his weight on the Moon.
QPointF pendulumPivot() {
    return {SlingRing.x() + (SlingRing.y() - CeilingY) * std::tan(PendulumAngle), CeilingY};
}

QRectF frameRect(int box) {
    return {Margin + box * (BoxWidth + BoxGap), BoxTop, BoxWidth, BoxBottom - BoxTop};
}

QRectF drawingRect(int box) {
    const QRectF f = frameRect(box);
    return {f.left() + BoxPadding, f.top() + BoxPadding, DrawingWidth, DrawingHeight};
}

// --- Line drawing helpers. ---

QPen linePen(const QColor& colour, qreal width) {
    QPen pen(colour, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// A surface that something is fixed to: a firm line with short hatching behind it.
// `behind` points away from the free side; spacing and length are in pixels.
void drawSurface(QPainter& p, QPointF from, QPointF to, QPointF behind) {
    const QLineF surface(from, to);
    const qreal length = surface.length();
    const QPointF along = (to - from) / length;
    p.setPen(linePen(HatchColour, 1));
    constexpr qreal Step = 7;
    constexpr qreal Depth = 7;
    for (qreal s = 3; s + Depth <= length; s += Step) {
        const QPointF base = from + along * s;
        p.drawLine(base, base + behind * Depth + along * Depth);
    }
    QPen edge(StructureColour, 2);
    edge.setCapStyle(Qt::FlatCap);
    p.setPen(edge);
    p.drawLine(surface);
}

// A stick figure standing on its feet at `feet`, its head towards `up` (a unit vector).
struct Figure {
    QPointF feet;
    QPointF up;
    qreal height;

    // A point of the body: `across` to its side, `along` from the feet towards the head,
    // both in fractions of the body's height.
    QPointF at(qreal across, qreal along) const {
        const QPointF side(-up.y(), up.x());
        return feet + (side * across + up * along) * height;
    }
};

void drawFigure(QPainter& p, const Figure& f) {
    p.setPen(linePen(FigureColour, 2));
    const QPointF hip = f.at(0, 0.48);
    const QPointF shoulder = f.at(0, 0.76);
    p.drawLine(hip, f.at(-0.12, 0));
    p.drawLine(hip, f.at(0.12, 0));
    p.drawLine(hip, f.at(0, 0.82));
    p.drawLine(shoulder, f.at(-0.2, 0.5));
    p.drawLine(shoulder, f.at(0.2, 0.5));
    p.setBrush(Qt::white);
    const qreal headRadius = 0.09 * f.height;
    p.drawEllipse(f.at(0, 0.91), headRadius, headRadius);
    p.setBrush(Qt::NoBrush);
}

// The bar above an upright astronaut's head with straps to his harness; returns where
// the spring or rope takes hold of it.
QPointF drawSpreader(QPainter& p, const Figure& f) {
    const QPointF left = f.at(-0.15, 1.12);
    const QPointF right = f.at(0.15, 1.12);
    p.setPen(linePen(StructureColour, 1.5));
    p.drawLine(left, f.at(-0.07, 0.5));
    p.drawLine(right, f.at(0.07, 0.5));
    p.setPen(linePen(StructureColour, 2));
    p.drawLine(left, right);
    return f.at(0, 1.12);
}

// A coil spring seen from the side between two points on one vertical line.
void drawSpring(QPainter& p, QPointF top, QPointF bottom, int turns) {
    constexpr qreal Lead = 8;
    constexpr qreal HalfWidth = 8;
    constexpr qreal Loop = 1.8; // how far each turn curls back, makes it read as a coil
    const qreal coilLength = bottom.y() - top.y() - 2 * Lead;
    const qreal pitch = coilLength / turns;
    QPainterPath path(top);
    path.lineTo(top.x(), top.y() + Lead);
    constexpr int StepsPerTurn = 32;
    const int steps = turns * StepsPerTurn;
    for (int i = 1; i <= steps; ++i) {
        const qreal t = 2 * std::numbers::pi * i / StepsPerTurn;
        const qreal x = top.x() + HalfWidth * std::sin(t);
        const qreal y = top.y() + Lead + pitch * i / StepsPerTurn + Loop * (1 - std::cos(t));
        path.lineTo(x, y);
    }
    path.lineTo(bottom);
    p.setPen(linePen(AccentColour, 1.6));
    p.drawPath(path);
}

void drawCoilSpringSimulator(QPainter& p) {
    drawSurface(p, {Centre - 50, CeilingY}, {Centre + 50, CeilingY}, {0, -1});
    drawSurface(p, {24, FloorY}, {DrawingWidth - 24, FloorY}, {0, 1});
    const Figure astronaut{{Centre, FloorY - 1}, {0, -1}, SpringFigureHeight};
    drawFigure(p, astronaut);
    const QPointF hold = drawSpreader(p, astronaut);
    drawSpring(p, {Centre, CeilingY + 1}, hold, 10);
}

void drawCounterweightSimulator(QPainter& p) {
    drawSurface(p, {Centre - 40, CeilingY}, {Centre + 40, CeilingY}, {0, -1});
    drawSurface(p, {24, FloorY}, {DrawingWidth - 24, FloorY}, {0, 1});

    // The hanger carrying the pulley's axle.
    p.setPen(linePen(StructureColour, 2));
    p.drawLine(QPointF(Centre, CeilingY + 1), QPointF(Centre, AxleY));

    const Figure astronaut{{PulleyLeftX, FloorY - 1}, {0, -1}, PulleyFigureHeight};
    drawFigure(p, astronaut);
    const QPointF hold = drawSpreader(p, astronaut);

    // The wheel, then the rope lying in its groove over the top and down both sides.
    p.setPen(linePen(StructureColour, 1.5));
    p.setBrush(TintColour);
    p.drawEllipse(QPointF(Centre, AxleY), PulleyRadius + 3, PulleyRadius + 3);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(Centre, AxleY), 7.0, 7.0);
    p.setBrush(StructureColour);
    p.drawEllipse(QPointF(Centre, AxleY), 2.5, 2.5);
    p.setBrush(Qt::NoBrush);

    QPainterPath rope(hold);
    rope.lineTo(PulleyLeftX, AxleY);
    rope.arcTo(QRectF(PulleyLeftX, AxleY - PulleyRadius, 2 * PulleyRadius, 2 * PulleyRadius), 180,
               -180);
    rope.lineTo(PulleyRightX, CounterweightRect.top());
    p.setPen(linePen(RopeColour, 2));
    p.drawPath(rope);

    p.setPen(linePen(AccentColour, 1.5));
    p.setBrush(TintColour);
    p.drawRoundedRect(CounterweightRect, 3, 3);
    p.setBrush(Qt::NoBrush);
}

void drawPendulumSimulator(QPainter& p) {
    const QPointF pivot = pendulumPivot();
    drawSurface(p, {pivot.x() - 90, CeilingY}, {WallX + 1, CeilingY}, {0, -1});
    drawSurface(p, {WallX, CeilingY}, {WallX, FloorY + 6}, {1, 0});
    // The room's real floor, far below him, only hinted.
    p.setPen(linePen(HatchColour, 1));
    p.drawLine(QPointF(WallX - 150, FloorY + 6.5), QPointF(WallX, FloorY + 6.5));

    // How far the rope leans from the vertical.
    QPen dashed(HatchColour, 1, Qt::DashLine);
    p.setPen(dashed);
    p.drawLine(pivot, pivot + QPointF(0, 100));
    p.setPen(linePen(AccentColour, 1.2));
    const qreal degrees = PendulumAngle * 180 / std::numbers::pi;
    p.drawArc(QRectF(pivot.x() - AngleArcRadius, pivot.y() - AngleArcRadius, 2 * AngleArcRadius,
                     2 * AngleArcRadius),
              -90 * 16, -qRound(degrees * 16));

    // He lies level, feet on the wall, held by a sling from shoulders to thighs.
    const Figure astronaut{{WallX - 1, LyingFigureY}, {-1, 0}, LyingFigureHeight};
    drawFigure(p, astronaut);
    p.setPen(linePen(StructureColour, 1.5));
    p.drawLine(SlingRing, astronaut.at(0, 0.74));
    p.drawLine(SlingRing, astronaut.at(0, 0.36));
    p.setPen(linePen(RopeColour, 2));
    p.drawLine(pivot, SlingRing);
    p.setPen(linePen(StructureColour, 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(SlingRing, 3.0, 3.0);
    p.setBrush(StructureColour);
    p.drawEllipse(pivot, 2.5, 2.5);
    p.setBrush(Qt::NoBrush);
}

TitleText pageText(TitleTextKind kind, int box, const QString& text, const QFont& font,
                   int flags, const QRectF& place) {
    TitleText t;
    t.kind = kind;
    t.box = box;
    t.text = text;
    t.font = font;
    t.flags = flags;
    t.place = place;
    FitTitleText(t);
    return t;
}

struct BoxContent {
    QString title;
    QString explanation;
};

const std::array<BoxContent, 3>& boxContents() {
    static const std::array<BoxContent, 3> contents{{
        {QStringLiteral("Schraubenfeder"),
         QStringLiteral("Eine lange Schraubenfeder hängt an einem Träger und hält den "
                        "Astronauten. Sie ist so weit vorgespannt, dass sie 5/6 seines "
                        "Gewichts trägt. Weil sie so lang ist, ändert sich ihre Kraft beim "
                        "Sprung nur wenig.")},
        {QStringLiteral("Gegengewicht"),
         QStringLiteral("Ein Seil läuft über eine Rolle: an einem Ende hängt der Astronaut, am "
                        "anderen ein Gegengewicht mit 5/6 seiner Masse. Beim Sprung muss er das "
                        "Gegengewicht mitbewegen, deshalb ist er träger als auf dem Mond.")},
        {QStringLiteral("Seil (Pendel)"),
         QStringLiteral("Der Astronaut hängt seitlich an einem langen Seil, eine Wand ist sein "
                        "Boden. Das Seil ist um etwa 9,6° gegen die Senkrechte geneigt "
                        "(sin = 1/6), so drückt er mit rund 1/6 seines Gewichts gegen die Wand.")},
    }};
    return contents;
}

} // namespace

// Sizes below these would no longer read comfortably on the page.
int SmallestTitlePixelSize(TitleTextKind kind) {
    switch (kind) {
    case TitleTextKind::Heading: return 22;
    case TitleTextKind::Paragraph: return 14;
    case TitleTextKind::BoxTitle: return 15;
    case TitleTextKind::Explanation: return 12;
    case TitleTextKind::Label: return 11;
    }
    return 12;
}

void FitTitleText(TitleText& t) {
    t.needed = measure(t);
    const int floor = SmallestTitlePixelSize(t.kind);
    while (!t.place.contains(t.needed) && t.font.pixelSize() > floor) {
        t.font.setPixelSize(t.font.pixelSize() - 1);
        t.needed = measure(t);
    }
}

TitleLayout LayoutTitlePicture() {
    TitleLayout layout;
    constexpr int Wrap = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

    layout.texts.push_back(pageText(
        TitleTextKind::Heading, -1,
        QStringLiteral("Mechanische Simulatoren für das Astronautentraining"), pageFont(30, true),
        Wrap, {Margin, HeadingTop, ContentWidth, HeadingHeight}));
    layout.texts.push_back(pageText(
        TitleTextKind::Paragraph, -1,
        QStringLiteral("Auf dem Mond ist die Schwerkraft nur ein Sechstel so groß wie auf der "
                       "Erde. Damit Astronauten schon auf der Erde ein Gefühl dafür bekommen, "
                       "wie man sich auf dem Mond bewegt und vor allem, wie man dort springt, "
                       "wurden mechanische Konstruktionen erdacht, die ihnen fünf Sechstel "
                       "ihres Gewichts abnehmen."),
        pageFont(16), Wrap, {Margin, FirstParagraphTop, ContentWidth, FirstParagraphHeight}));
    layout.texts.push_back(pageText(
        TitleTextKind::Paragraph, -1,
        QStringLiteral("Dieses Programm simuliert die Bewegung bei drei solchen Vorschlägen und "
                       "stellt einen senkrechten Sprung darin demselben Sprung auf der Erde und "
                       "auf dem Mond gegenüber."),
        pageFont(16), Wrap, {Margin, SecondParagraphTop, ContentWidth, SecondParagraphHeight}));

    for (int box = 0; box < 3; ++box) {
        const QRectF frame = frameRect(box);
        layout.frames[box] = frame;
        layout.drawings[box] = drawingRect(box);
        const qreal left = frame.left() + BoxPadding;
        const qreal textWidth = frame.width() - 2 * BoxPadding;
        const BoxContent& content = boxContents()[box];
        layout.texts.push_back(pageText(TitleTextKind::BoxTitle, box, content.title,
                                        pageFont(18, true), Wrap,
                                        {left, frame.top() + BoxTitleTop, textWidth, BoxTitleHeight}));
        const qreal explanationTop = frame.top() + ExplanationTop;
        layout.texts.push_back(pageText(
            TitleTextKind::Explanation, box, content.explanation, pageFont(14), Wrap,
            {left, explanationTop, textWidth, frame.bottom() - BoxPadding - explanationTop}));
    }

    const auto label = [&](int box, const QString& text, const QRectF& inDrawing, int align) {
        layout.texts.push_back(pageText(TitleTextKind::Label, box, text, pageFont(12), align,
                                        inDrawing.translated(layout.drawings[box].topLeft())));
    };
    label(1, QStringLiteral("120 kg"), AstronautMassLabel, Qt::AlignRight | Qt::AlignVCenter);
    label(1, QStringLiteral("100 kg"), CounterweightMassLabel, Qt::AlignLeft | Qt::AlignVCenter);
    label(2, QStringLiteral("φ ≈ 9,6°"), AngleLabel, Qt::AlignRight | Qt::AlignVCenter);
    return layout;
}

QImage DrawTitlePicture(qreal devicePixelRatio, std::vector<QRectF>* drawnTextBounds) {
    const QSize deviceSize(qRound(TitlePictureWidth * devicePixelRatio),
                           qRound(TitlePictureHeight * devicePixelRatio));
    QImage image(deviceSize, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&image);
    PaintTitlePicture(painter, drawnTextBounds);
    return image;
}

void PaintTitlePicture(QPainter& p, std::vector<QRectF>* drawnTextBounds) {
    p.fillRect(QRectF(0, 0, TitlePictureWidth, TitlePictureHeight), Qt::white);
    const TitleLayout layout = LayoutTitlePicture();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Rule under the heading, spanning the page's text width.
    QPen rule(FrameColour, 2);
    rule.setCapStyle(Qt::FlatCap);
    p.setPen(rule);
    p.drawLine(QPointF(Margin, RuleY), QPointF(Width - Margin, RuleY));

    for (int box = 0; box < 3; ++box) {
        // Half-pixel inset puts the 1 px frame exactly on a pixel row and column.
        p.setPen(QPen(FrameColour, 1));
        p.drawRoundedRect(layout.frames[box].adjusted(0.5, 0.5, -0.5, -0.5), BoxCornerRadius,
                          BoxCornerRadius);
        p.save();
        p.translate(layout.drawings[box].topLeft());
        switch (box) {
        case 0: drawCoilSpringSimulator(p); break;
        case 1: drawCounterweightSimulator(p); break;
        default: drawPendulumSimulator(p); break;
        }
        p.restore();
    }

    if (drawnTextBounds) {
        drawnTextBounds->clear();
    }
    for (const TitleText& t : layout.texts) {
        const bool accent =
            t.kind == TitleTextKind::Heading || t.kind == TitleTextKind::BoxTitle;
        p.setPen(accent ? AccentColour : TextColour);
        p.setFont(t.font);
        QRectF drawn;
        p.drawText(t.place, t.flags, t.text, &drawn);
        if (drawnTextBounds) {
            drawnTextBounds->push_back(drawn);
        }
    }
}

QImage DrawTitlePicture(qreal devicePixelRatio) {
    return DrawTitlePicture(devicePixelRatio, nullptr);
}

} // namespace velquor::ui
