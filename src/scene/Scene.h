#pragma once
// The off-screen picture of the five jumpers and the copy of it that the window shows.
//
// Figures are drawn and erased (drawn again in white) in the bitmap while a step is
// computed; Present() then publishes the changed part to presented(), which is the only
// image a widget should paint. Drawing is aliased so that erasing restores pure white.
//
// A figure only ever changes place, so each pose is stroked once per animation colour
// into a sprite when the scene is made, and drawing it is one blit of that sprite.

#include "physics/Simulation.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRect>

#include <array>

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

// How figures reach the bitmap. Both give the same pixels; Strokes draws every line each
// time, and exists so that tests can hold the sprites to it.
enum class FigureDrawing { Sprites, Strokes };

class Scene {
  public:
    explicit Scene(qreal devicePixelRatio = 1.0, FigureDrawing drawing = FigureDrawing::Sprites);
    ~Scene();
    // The painter is bound to the bitmap's address, so the scene stays where it was made.
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    void DrawCrouchFigure(int x, int b, QRgb colour);
    void DrawStretchFigure(int x, int b, QRgb colour);
    void ResetToBackground();
    void DrawRestScene();
    // Returns the rectangle, in device pixels, in which presented() changed.
    QRect Present();

    // Strokes when asked for, and also at a fractional ratio, where sprites cannot match.
    FigureDrawing figureDrawing() const {
        return m_sprites[CrouchPose][BlackSprite].isNull() ? FigureDrawing::Strokes
                                                           : FigureDrawing::Sprites;
    }
    const QImage& bitmap() const { return m_bitmap; }
    const QImage& presented() const { return m_presented; }

  private:
    enum PoseIndex { CrouchPose, StretchPose, PoseCount };
    // Sprites exist for these colours only; any other is stroked.
    enum ColourIndex { BlackSprite, WhiteSprite, SpriteColourCount };

    void UsePen(QRgb colour);
    void MarkDirty(const QRect& logicalPathBounds);
    // Blits the pose's sprite for the colour; false, drawing nothing, if there is none.
    bool DrawSprite(PoseIndex pose, int x, int b, QRgb colour);

    QImage m_bitmap;
    QImage m_presented;
    // Pens for the two colours the animation uses, kept so that switching between
    // drawing and erasing never allocates; any other colour reuses m_otherPen.
    QPen m_blackPen;
    QPen m_whitePen;
    QPen m_otherPen;
    // Per pose and colour: the figure at x = 0, b = 0 as it would be stroked into the
    // bitmap, transparent where the strokes leave the bitmap alone. Null when the scene
    // strokes its figures.
    std::array<std::array<QImage, SpriteColourCount>, PoseCount> m_sprites;
    // Declared after the images: it must end before the bitmap goes away.
    QPainter m_painter;
    QRect m_dirty; // device pixels changed since the last Present
};

} // namespace velquor::scene
