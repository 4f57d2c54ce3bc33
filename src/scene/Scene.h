#pragma once
// The off-screen picture of the five jumpers, as the window shows it.
//
// Drawing a figure, or erasing it (drawing it again in white), or resetting the scene is
// queued; Present() carries the queue out on the picture. So the picture is always the
// one last presented, and a repaint by the window system never shows a step that was not
// presented yet, with a single 993 x 500 image. Drawing is aliased so that erasing
// restores pure white.
//
// A figure only ever changes place, so each pose is stroked once per animation colour
// into a sprite when the scene is made, and drawing it is one blit of that sprite.

#include "physics/Simulation.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRect>

#include <array>
#include <vector>

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

// How figures reach the picture. Both give the same pixels; Strokes draws every line each
// time, and exists so that tests can hold the sprites to it.
enum class FigureDrawing { Sprites, Strokes };

class Scene {
  public:
    explicit Scene(qreal devicePixelRatio = 1.0, FigureDrawing drawing = FigureDrawing::Sprites);
    ~Scene();
    // The painter is bound to the picture's address, so the scene stays where it was made.
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Queued until the next Present.
    void DrawCrouchFigure(int x, int b, QRgb colour);
    void DrawStretchFigure(int x, int b, QRgb colour);
    void ResetToBackground();
    void DrawRestScene(); // a reset and the five crouching figures in black at height 0
    // Draws what was queued since the last Present into the picture; returns the
    // rectangle, in device pixels, in which the picture changed.
    QRect Present();

    // Strokes when asked for, and also at a fractional ratio, where sprites cannot match.
    FigureDrawing figureDrawing() const {
        return m_sprites[CrouchPose][BlackSprite].isNull() ? FigureDrawing::Strokes
                                                           : FigureDrawing::Sprites;
    }
    // The picture as last presented: what the window shows.
    const QImage& presented() const { return m_picture; }
    // The scene as drawn so far, the queue included: a new image on every call.
    QImage bitmap() const;

  private:
    enum PoseIndex { CrouchPose, StretchPose, PoseCount };
    // Sprites exist for these colours only; any other is stroked.
    enum ColourIndex { BlackSprite, WhiteSprite, SpriteColourCount };

    struct Drawing {
        enum class Kind { Reset, Crouch, Stretch } kind;
        int x = 0;
        int b = 0;
        QRgb colour = Black;
    };

    // Carries out one drawing through `painter`, which paints on the picture or on a copy
    // of it; returns the device pixels the drawing may have changed.
    QRect Apply(const Drawing& drawing, QPainter& painter) const;
    const QPen& PenFor(QRgb colour) const;
    // Blits the pose's sprite for the colour; false, drawing nothing, if there is none.
    bool DrawSprite(QPainter& painter, PoseIndex pose, int x, int b, QRgb colour) const;
    QRect DeviceReach(const QRect& logicalPathBounds) const;

    QImage m_picture; // the scene bitmap, as last presented
    // Drawings since the last Present, in order; its capacity is kept, so an animation
    // step does not allocate.
    std::vector<Drawing> m_queue;
    // Pens for the two colours the animation uses, kept so that switching between
    // drawing and erasing never allocates; any other colour reuses m_otherPen.
    QPen m_blackPen;
    QPen m_whitePen;
    mutable QPen m_otherPen;
    // Per pose and colour: the figure at x = 0, b = 0 as it would be stroked into the
    // picture, transparent where the strokes leave the picture alone. Null when the scene
    // strokes its figures.
    std::array<std::array<QImage, SpriteColourCount>, PoseCount> m_sprites;
    // Declared after the picture: it must end before the picture goes away.
    QPainter m_painter;
};

} // namespace velquor::scene
