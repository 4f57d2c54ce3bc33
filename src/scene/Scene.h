#pragma once
// The off-screen picture of the five jumpers and the copy of it that the window shows.
//
// Figures are drawn and erased (drawn again in white) in the bitmap while a step is
// computed; Present() then publishes the changed part to presented(), which is the only
// image a widget should paint. Drawing is aliased so that erasing restores pure white.

#include "physics/Simulation.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRect>

namespace velquor::scene {

inline constexpr int SceneWidth = 993;
inline constexpr int SceneHeight = 500;
inline constexpr QRgb Black = 0xFF000000;
inline constexpr QRgb White = 0xFFFFFFFF;

// Horizontal centres of the five columns, left to right.
inline constexpr std::array<int, physics::SimulatorCount> ColumnCentres = [] {
    std::array<int, physics::SimulatorCount> centres{};
    for (physics::SimulatorKind kind : physics::AllKinds)
        centres[physics::indexOf(kind)] = physics::ColumnX(kind);
    return centres;
}();

class Scene {
  public:
    explicit Scene(qreal devicePixelRatio = 1.0);
    ~Scene();
    // The painter is bound to the bitmap's address, so the scene stays where it was made.
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    void DrawCrouchFigure(int x, int b, QRgb colour);
    void DrawStretchFigure(int x, int b, QRgb colour);
    void ResetToBackground();
    void DrawRestScene();
    void Present();

    const QImage& bitmap() const { return m_bitmap; }
    const QImage& presented() const { return m_presented; }

  private:
    void UsePen(QRgb colour);
    void MarkDirty(const QRect& logicalPathBounds);

    QImage m_bitmap;
    QImage m_presented;
    // Pens for the two colours the animation uses, kept so that switching between
    // drawing and erasing never allocates; any other colour reuses m_otherPen.
    QPen m_blackPen;
    QPen m_whitePen;
    QPen m_otherPen;
    // Declared after the images: it must end before the bitmap goes away.
    QPainter m_painter;
    QRect m_dirty; // device pixels changed since the last Present
};

} // namespace velquor::scene
