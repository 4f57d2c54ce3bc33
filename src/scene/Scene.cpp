#include "scene/Scene.h"

#include <cstring>
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

} // namespace

Scene::Scene(qreal devicePixelRatio)
    : m_bitmap(qRound(SceneWidth * devicePixelRatio), qRound(SceneHeight * devicePixelRatio),
               QImage::Format_RGB32),
      m_presented(m_bitmap.size(), QImage::Format_RGB32), m_blackPen(FigurePen(Black)),
      m_whitePen(FigurePen(White)), m_otherPen(FigurePen(Black)) {
    m_bitmap.setDevicePixelRatio(devicePixelRatio);
    m_presented.setDevicePixelRatio(devicePixelRatio);
    m_bitmap.fill(White);
    m_presented.fill(White);
    // One painter for the scene's life: opening a painter per figure costs allocations
    // in every animation step.
    m_painter.begin(&m_bitmap);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setBrush(QBrush(QColor::fromRgb(White), Qt::SolidPattern));
}

Scene::~Scene() {
    m_painter.end();
}

void Scene::UsePen(QRgb colour) {
    if (colour == Black) {
        m_painter.setPen(m_blackPen);
    } else if (colour == White) {
        m_painter.setPen(m_whitePen);
    } else {
        if (m_otherPen.color().rgba() != colour) {
            m_otherPen.setColor(QColor::fromRgba(colour));
        }
        m_painter.setPen(m_otherPen);
    }
}

void Scene::MarkDirty(const QRect& logicalPathBounds) {
    const qreal ratio = m_bitmap.devicePixelRatio();
    const QRectF reached =
        QRectF(logicalPathBounds).adjusted(-PenReach, -PenReach, PenReach, PenReach);
    const QRectF device(reached.topLeft() * ratio, reached.size() * ratio);
    m_dirty |= device.toAlignedRect() & m_bitmap.rect();
}

void Scene::DrawCrouchFigure(int x, int b, QRgb colour) {
    UsePen(colour);
    DrawBoxEllipse(m_painter, x - 17, 334 - b, x + 20, 371 - b); // head
    const QPoint bodyAndLegs[] = {
        {x, 371 - b}, {x, 437 - b}, {x - 30, 464 - b}, {x, 494 - b}, {x - 17, 494 - b}};
    m_painter.drawPolyline(bodyAndLegs, std::size(bodyAndLegs));
    const QPoint arm[] = {{x, 384 - b}, {x + 27, 404 - b}, {x - 15, 417 - b}};
    m_painter.drawPolyline(arm, std::size(arm));
    m_painter.drawLine(QPoint(x - 7, 358 - b), QPoint(x - 15, 361 - b)); // mouth
    DrawBoxEllipse(m_painter, x - 8, 345 - b, x - 5, 348 - b);           // eye
    MarkDirty(CrouchPathBounds(x, b));
}

void Scene::DrawStretchFigure(int x, int b, QRgb colour) {
    UsePen(colour);
    const QPoint bodyAndLeg[] = {
        {x, 354 - b}, {x + 7, 421 - b}, {x - 7, 494 - b}, {x - 20, 504 - b}};
    m_painter.drawPolyline(bodyAndLeg, std::size(bodyAndLeg));
    const QPoint arm[] = {{x, 374 - b}, {x - 30, 364 - b}, {x - 40, 321 - b}};
    m_painter.drawPolyline(arm, std::size(arm));
    // The head comes after the limbs so that its white interior hides whatever of them
    // reaches inside it.
    DrawBoxEllipse(m_painter, x - 17, 317 - b, x + 20, 354 - b);
    m_painter.drawLine(QPoint(x - 7, 341 - b), QPoint(x - 15, 344 - b)); // mouth
    DrawBoxEllipse(m_painter, x - 8, 328 - b, x - 5, 331 - b);           // eye
    MarkDirty(StretchPathBounds(x, b));
}

void Scene::ResetToBackground() {
    m_bitmap.fill(White);
    m_dirty = m_bitmap.rect();
}

void Scene::DrawRestScene() {
    ResetToBackground();
    for (int x : ColumnCentres) {
        DrawCrouchFigure(x, 0, Black);
    }
}

void Scene::Present() {
    if (m_dirty.isEmpty()) {
        return;
    }
    // Only the changed rows and columns are copied, so a step that moves five small
    // figures costs a few kilobytes, and presented() never shows a half-drawn step.
    const qsizetype stride = m_bitmap.bytesPerLine();
    const qsizetype start = m_dirty.top() * stride + m_dirty.left() * qsizetype(sizeof(QRgb));
    const qsizetype length = m_dirty.width() * qsizetype(sizeof(QRgb));
    const uchar* source = m_bitmap.constBits() + start;
    uchar* target = m_presented.bits() + start;
    for (int row = 0; row < m_dirty.height(); ++row) {
        std::memcpy(target + row * stride, source + row * stride, length);
    }
    m_dirty = QRect();
}

} // namespace velquor::scene
