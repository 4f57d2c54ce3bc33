#include "ImageChecks.h"
#include "scene/Scene.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

using namespace velquor::scene;
using namespace velquor::scene::testing;

namespace {

// presented() is what the window paints: it must change only at Present(), and then
// show exactly the bitmap. Run at two ratios, since the changed region is tracked in
// device pixels.
class PresentTest : public ::testing::TestWithParam<qreal> {
  protected:
    Scene scene{GetParam()};
};

TEST_P(PresentTest, DrawingShowsOnlyAfterPresent) {
    scene.DrawRestScene();
    scene.Present();
    ASSERT_TRUE(SamePixels(scene.presented(), scene.bitmap()));
    const QImage shown = scene.presented().copy();

    scene.DrawCrouchFigure(300, 0, White);
    scene.DrawStretchFigure(300, 120, Black);
    EXPECT_TRUE(SamePixels(scene.presented(), shown)) << "a step showed before Present";

    scene.Present();
    EXPECT_TRUE(SamePixels(scene.presented(), scene.bitmap()));
    EXPECT_FALSE(SamePixels(scene.presented(), shown));
}

TEST_P(PresentTest, ResetAndRestSceneShowInFullAfterPresent) {
    Scene reference(GetParam());
    reference.DrawRestScene();

    scene.DrawStretchFigure(500, 200, Black);
    scene.Present();
    scene.ResetToBackground();
    EXPECT_FALSE(AllWhite(scene.presented())) << "the reset showed before Present";
    scene.Present();
    EXPECT_TRUE(AllWhite(scene.presented()));

    scene.DrawRestScene();
    scene.Present();
    EXPECT_TRUE(SamePixels(scene.presented(), reference.bitmap()));
}

// An animation as the window runs it: in each step every column erases its previous
// figure and draws the next one, sometimes cut off at an edge, then the step is
// presented. Any region missed by Present (the erased figure, the pen's margin, a
// coordinate not scaled to device pixels) leaves presented() different from bitmap().
TEST_P(PresentTest, EveryPresentedStepMatchesTheBitmap) {
    struct Figure {
        Pose pose = Pose::Crouch;
        int b = 0;
    };
    std::array<Figure, 5> current{};
    scene.DrawRestScene();
    scene.Present();

    std::minstd_rand random(20240611);
    std::uniform_int_distribution<int> height(-30, 520);
    for (int step = 0; step < 60; ++step) {
        for (std::size_t column = 0; column < current.size(); ++column) {
            // Some columns stand still in a step, so not every region changes each time.
            if ((step + static_cast<int>(column)) % 3 == 0) {
                continue;
            }
            const int x = ColumnCentres[column];
            Draw(scene, current[column].pose, x, current[column].b, White);
            current[column] = {random() % 2 == 0 ? Pose::Crouch : Pose::Stretch, height(random)};
            Draw(scene, current[column].pose, x, current[column].b, Black);
        }
        scene.Present();
        ASSERT_TRUE(SamePixels(scene.presented(), scene.bitmap())) << "step " << step;
    }
}

// One figure moving a single pixel a step: each step's erased and drawn regions almost
// coincide, so only the pen's margin tells them apart.
TEST_P(PresentTest, OnePixelMovesArePresentedExactly) {
    for (const Pose pose : {Pose::Crouch, Pose::Stretch}) {
        scene.ResetToBackground();
        scene.Present();
        int previous = 10;
        Draw(scene, pose, 500, previous, Black);
        for (int b : {11, 12, 11, 10, 9}) {
            Draw(scene, pose, 500, previous, White);
            Draw(scene, pose, 500, b, Black);
            previous = b;
            scene.Present();
            ASSERT_TRUE(SamePixels(scene.presented(), scene.bitmap()))
                << NameOf(pose) << " at b " << b;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Ratios, PresentTest, ::testing::Values(1.0, 2.0));

} // namespace
