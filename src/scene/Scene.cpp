#include "scene/Scene.h"

#include <iterator>

namespace velquor::scene {

namespace {

constexpr int PenWidth = 3;

// How far, in logical pixels, a stroke may colour pixels beyond its path: half the pen,
// plus half a pixel because the rasteriser rounds a stroke edge that falls between
// pixels either way.
constexpr qreal PenReach = PenWidth / 2.0 + 0.5;

QPen FigurePen(QRgb colour) {
    // Round caps and joins keep every stroke within half the pen of its path, also at the
    // ends of slanted limbs where square caps reach further. Not cosmetic, so that at a
    // higher device pixel ratio the strokes scale with the figure.
    return QPen(QBrush(QColor::fromRgb(colour)), PenWidth, Qt::SolidLine, Qt::RoundCap,
                Qt::RoundJoin);
}

// Ellipse inscribed in the box whose corners are (left, top) and (right, bottom).
void DrawBoxEllipse(QPainter& painter, int left, int top, int right, int bottom) {
    painter.drawEllipse(QRect(left, top, right - left, bottom - top));
}

// The outline of a figure's path without the pen, in logical pixels, both ends included.
QRect CrouchPathBounds(int x, int b) {
    return QRect(QPoint(x - 30, 334 - b), QPoint(x + 27, 494 - b));
}

QRect StretchPathBounds(int x, int b) {
    return QRect(QPoint(x - 40, 317 - b), QPoint(x + 20, 504 - b));
}

// The figures' strokes with the painter's pen and brush. The scene and its sprites both
// draw through these, so a sprite holds exactly what stroking in the scene would give.
void StrokeCrouchFigure(QPainter& painter, int x, int b) {
    DrawBoxEllipse(painter, x - 17, 334 - b, x + 20, 371 - b); // head
    const QPoint bodyAndLegs[] = {
        {x, 371 - b}, {x, 437 - b}, {x - 30, 464 - b}, {x, 494 - b}, {x - 17, 494 - b}};
    painter.drawPolyline(bodyAndLegs, std::size(bodyAndLegs));
    const QPoint arm[] = {{x, 384 - b}, {x + 27, 404 - b}, {x - 15, 417 - b}};
    painter.drawPolyline(arm, std::size(arm));
    painter.drawLine(QPoint(x - 7, 358 - b), QPoint(x - 15, 361 - b)); // mouth
    DrawBoxEllipse(painter, x - 8, 345 - b, x - 5, 348 - b);           // eye
}

void StrokeStretchFigure(QPainter& painter, int x, int b) {
    const QPoint bodyAndLeg[] = {
        {x, 354 - b}, {x + 7, 421 - b}, {x - 7, 494 - b}, {x - 20, 504 - b}};
    painter.drawPolyline(bodyAndLeg, std::size(bodyAndLeg));
    const QPoint arm[] = {{x, 374 - b}, {x - 30, 364 - b}, {x - 40, 321 - b}};
    painter.drawPolyline(arm, std::size(arm));
    // The head comes after the limbs so that its white interior hides whatever of them
    // reaches inside it.
    DrawBoxEllipse(painter, x - 17, 317 - b, x + 20, 354 - b);
    painter.drawLine(QPoint(x - 7, 341 - b), QPoint(x - 15, 344 - b)); // mouth
    DrawBoxEllipse(painter, x - 8, 328 - b, x - 5, 331 - b);           // eye
}

// Aliased, so that every pixel a stroke touches gets the pen colour outright (erasing is
// exact, and a sprite pixel is either opaque or untouched); ellipses filled white.
void SetUpFigurePainter(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(QBrush(QColor::fromRgb(White), Qt::SolidPattern));
}

// The logical rectangle a sprite covers for the figure at x = 0, b = 0: the path and the
// pen's reach, with a pixel to spare so that no stroke pixel can fall outside it.
QRect SpriteBounds(const QRect& pathBoundsAtOrigin) {
    constexpr int Margin = static_cast<int>(PenReach + 1.0);
    return pathBoundsAtOrigin.adjusted(-Margin, -Margin, Margin, Margin);
}

const QRect CrouchSpriteBounds = SpriteBounds(CrouchPathBounds(0, 0));
const QRect StretchSpriteBounds = SpriteBounds(StretchPathBounds(0, 0));

// Strokes one figure into a transparent image placed at `bounds`. The figure is drawn at
// integer coordinates shifted by whole logical pixels, which at an integer ratio are
// whole device pixels, so the rasteriser produces the scene's pixels translated.
QImage MakeSprite(const QRect& bounds, void (*stroke)(QPainter&, int, int), QRgb colour,
                  int ratio) {
    QImage sprite(bounds.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    sprite.setDevicePixelRatio(ratio);
    sprite.fill(Qt::transparent);
    QPainter painter(&sprite);
    SetUpFigurePainter(painter);
    painter.setPen(FigurePen(colour));
    // Figure coordinates x + 0 and y - b: with x = -left and b = top, the path's
    // corner at x = 0, b = 0 lands where `bounds` puts it inside the sprite.
    stroke(painter, -bounds.left(), bounds.top());
    return sprite;
}

} // namespace

Scene::Scene(qreal devicePixelRatio, FigureDrawing drawing)
    : m_picture(qRound(SceneWidth * devicePixelRatio), qRound(SceneHeight * devicePixelRatio),
                QImage::Format_RGB32),
      m_blackPen(FigurePen(Black)), m_whitePen(FigurePen(White)), m_otherPen(FigurePen(Black)) {
    m_picture.setDevicePixelRatio(devicePixelRatio);
    m_picture.fill(White);
    // Room for what the joint run queues in a pass, with every column erasing one figure
    // and drawing the next, and more.
    m_queue.reserve(64);
    // One painter for the scene's life: opening a painter per present costs allocations
    // in every animation step.
    m_painter.begin(&m_picture);
    SetUpFigurePainter(m_painter);

    // At a fractional ratio a whole logical pixel is not a whole device pixel, so a
    // moved sprite would not match the strokes; such scenes stroke every figure.
    const bool wholeRatio = devicePixelRatio >= 1.0 && devicePixelRatio == qRound(devicePixelRatio);
    if (drawing == FigureDrawing::Sprites && wholeRatio) {
        const int ratio = qRound(devicePixelRatio);
        const QRgb colours[SpriteColourCount] = {Black, White};
        for (int c = 0; c < SpriteColourCount; ++c) {
            m_sprites[CrouchPose][c] =
                MakeSprite(CrouchSpriteBounds, StrokeCrouchFigure, colours[c], ratio);
            m_sprites[StretchPose][c] =
                MakeSprite(StretchSpriteBounds, StrokeStretchFigure, colours[c], ratio);
        }
    }
}

Scene::~Scene() {
    m_painter.end();
}

const QPen& Scene::PenFor(QRgb colour) const {
    if (colour == Black)
        return m_blackPen;
    if (colour == White)
        return m_whitePen;
    if (m_otherPen.color().rgba() != colour)
        m_otherPen.setColor(QColor::fromRgba(colour));
    return m_otherPen;
}

QRect Scene::DeviceReach(const QRect& logicalPathBounds) const {
    const qreal ratio = m_picture.devicePixelRatio();
    const QRectF reached =
        QRectF(logicalPathBounds).adjusted(-PenReach, -PenReach, PenReach, PenReach);
    const QRectF device(reached.topLeft() * ratio, reached.size() * ratio);
    return device.toAlignedRect() & m_picture.rect();
}

bool Scene::DrawSprite(QPainter& painter, PoseIndex pose, int x, int b, QRgb colour) const {
    const int c = colour == Black ? BlackSprite : colour == White ? WhiteSprite : -1;
    if (c < 0 || m_sprites[pose][c].isNull()) {
        return false;
    }
    const QRect& bounds = pose == CrouchPose ? CrouchSpriteBounds : StretchSpriteBounds;
    // Source-over (the painter's mode): opaque sprite pixels replace the picture's, the
    // transparent ones leave it as it was, just as the strokes would.
    painter.drawImage(bounds.topLeft() + QPoint(x, -b), m_sprites[pose][c]);
    return true;
}

QRect Scene::Apply(const Drawing& d, QPainter& painter) const {
    switch (d.kind) {
    case Drawing::Kind::Reset:
        // Through the painter, like the figures, so that one drawing serves the picture
        // and the copy bitmap() draws on.
        painter.fillRect(
            QRectF(QPointF(0, 0), QSizeF(m_picture.size()) / m_picture.devicePixelRatio()),
            QColor::fromRgb(White));
        return m_picture.rect();
    case Drawing::Kind::Crouch:
        if (!DrawSprite(painter, CrouchPose, d.x, d.b, d.colour)) {
            painter.setPen(PenFor(d.colour));
            StrokeCrouchFigure(painter, d.x, d.b);
        }
        return DeviceReach(CrouchPathBounds(d.x, d.b));
    case Drawing::Kind::Stretch:
        if (!DrawSprite(painter, StretchPose, d.x, d.b, d.colour)) {
            painter.setPen(PenFor(d.colour));
            StrokeStretchFigure(painter, d.x, d.b);
        }
        return DeviceReach(StretchPathBounds(d.x, d.b));
    }
    return {};
}

void Scene::DrawCrouchFigure(int x, int b, QRgb colour) {
    m_queue.push_back({Drawing::Kind::Crouch, x, b, colour});
}

void Scene::DrawStretchFigure(int x, int b, QRgb colour) {
    m_queue.push_back({Drawing::Kind::Stretch, x, b, colour});
}

void Scene::ResetToBackground() {
    // Whatever was queued before would be painted over.
    m_queue.clear();
    m_queue.push_back({Drawing::Kind::Reset});
}

void Scene::DrawRestScene() {
    ResetToBackground();
    for (int x : ColumnCentres) {
        DrawCrouchFigure(x, 0, Black);
    }
}

QRect Scene::Present() {
    QRect changed;
    for (const Drawing& drawing : m_queue) {
        changed |= Apply(drawing, m_painter);
    }
    m_queue.clear();
    return changed;
}

QImage Scene::bitmap() const {
    QImage drawn = m_picture.copy();
    QPainter painter(&drawn);
    SetUpFigurePainter(painter);
    for (const Drawing& drawing : m_queue) {
        Apply(drawing, painter);
    }
    return drawn;
}

} // namespace velquor::scene
