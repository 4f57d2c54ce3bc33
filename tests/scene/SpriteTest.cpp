#include "ImageChecks.h"
#include "scene/Scene.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace velquor::scene;
using namespace velquor::scene::testing;

namespace {

// A colour with no sprite, which must still be stroked.
constexpr QRgb Red = 0xFFC81E1E;

std::string ColourName(QRgb colour) {
    return colour == Black ? "Black" : colour == White ? "White" : "Red";
}

// Where a figure goes: inside, cut off at the top (b >= 318) or bottom (the stretched foot
// at b = 0, negative b), wholly outside (b >= 505), and at or across the left and right
// edges. At the doubled ratio the same logical places hit other device pixels.
struct Place {
    int x;
    int b;
};
constexpr Place Places[] = {
    {500, 120}, {100, 0},   {300, 0},   {700, -1},   {700, -10},  {900, -150}, {500, 318},
    {300, 330}, {500, 400}, {700, 494}, {100, 504},  {300, 505},  {500, 506},  {700, 800},
    {0, 100},   {15, 50},   {40, 200},  {-10, 100},  {-25, 330},  {992, 100},  {980, 0},
    {965, 318}, {1005, 50}, {1030, -5}, {-300, 100}, {1500, 100},
};

using SpriteCase = std::tuple<Pose, QRgb, qreal>;

std::string SpriteCaseName(const ::testing::TestParamInfo<SpriteCase>& info) {
    const auto [pose, colour, ratio] = info.param;
    return std::string(NameOf(pose)) + "_" + ColourName(colour) + "_ratio" +
           std::to_string(qRound(ratio * 10));
}

// The same calls made on a scene that blits sprites and on one that strokes every figure
// must leave the same pixels, in the bitmap and, after Present, in presented().
class SpriteMatchesStrokesTest : public ::testing::TestWithParam<SpriteCase> {
  protected:
    // The rest scene and, overlapping the figure under test, another figure a little
    // higher: transparent sprite pixels must keep its black lines, and the white head
    // must cover them, as the strokes would.
    static void DrawBackground(Scene& scene, Place place) {
        scene.DrawRestScene();
        scene.DrawStretchFigure(place.x + 4, place.b + 9, Black);
        scene.Present();
    }
};

TEST_P(SpriteMatchesStrokesTest, EveryPlaceGivesTheStrokedPixels) {
    const auto [pose, colour, ratio] = GetParam();
    Scene sprites(ratio, FigureDrawing::Sprites);
    Scene strokes(ratio, FigureDrawing::Strokes);
    ASSERT_EQ(strokes.figureDrawing(), FigureDrawing::Strokes);
    // Otherwise this would compare strokes with strokes.
    if (ratio == qRound(ratio)) {
        ASSERT_EQ(sprites.figureDrawing(), FigureDrawing::Sprites);
    }

    for (const Place place : Places) {
        SCOPED_TRACE("x " + std::to_string(place.x) + ", b " + std::to_string(place.b));
        DrawBackground(sprites, place);
        DrawBackground(strokes, place);
        ASSERT_TRUE(SamePixels(sprites.bitmap(), strokes.bitmap())) << "background";

        Draw(sprites, pose, place.x, place.b, colour);
        Draw(strokes, pose, place.x, place.b, colour);
        EXPECT_TRUE(SamePixels(sprites.bitmap(), strokes.bitmap()));
        sprites.Present();
        EXPECT_TRUE(SamePixels(sprites.presented(), sprites.bitmap())) << "missed by Present";
    }
}

INSTANTIATE_TEST_SUITE_P(PosesColoursRatios, SpriteMatchesStrokesTest,
                         ::testing::Combine(::testing::Values(Pose::Crouch, Pose::Stretch),
                                            ::testing::Values(Black, White, Red),
                                            ::testing::Values(1.0, 2.0, 1.5)),
                         SpriteCaseName);

// A whole jump drawn as the window draws it (erase the old figure, draw the new one, one
// pixel or many apart) must build up the same picture both ways, step after step.
class SpriteSequenceTest : public ::testing::TestWithParam<qreal> {};

TEST_P(SpriteSequenceTest, AJumpLeavesTheStrokedPictureAfterEveryStep) {
    Scene sprites(GetParam(), FigureDrawing::Sprites);
    Scene strokes(GetParam(), FigureDrawing::Strokes);
    for (Scene* scene : {&sprites, &strokes}) {
        scene->DrawRestScene();
    }
    const int x = ColumnCentres[2];
    int previous = 0;
    Pose previousPose = Pose::Crouch;
    for (int b : {0, 1, 5, 30, 90, 200, 320, 420, 510, 330, 100, 2, 0, -8, 0}) {
        const Pose pose = b == 0 ? Pose::Crouch : Pose::Stretch;
        for (Scene* scene : {&sprites, &strokes}) {
            Draw(*scene, previousPose, x, previous, White);
            Draw(*scene, pose, x, b, Black);
        }
        ASSERT_TRUE(SamePixels(sprites.bitmap(), strokes.bitmap())) << "at b " << b;
        previous = b;
        previousPose = pose;
    }
}

INSTANTIATE_TEST_SUITE_P(Ratios, SpriteSequenceTest, ::testing::Values(1.0, 2.0));

TEST(FigureDrawingTest, SpritesOnlyWhereWholeDevicePixelsAllowThem) {
    EXPECT_EQ(Scene(1.0).figureDrawing(), FigureDrawing::Sprites);
    EXPECT_EQ(Scene(2.0).figureDrawing(), FigureDrawing::Sprites);
    EXPECT_EQ(Scene(1.5).figureDrawing(), FigureDrawing::Strokes);
    EXPECT_EQ(Scene(1.0, FigureDrawing::Strokes).figureDrawing(), FigureDrawing::Strokes);
}

} // namespace
