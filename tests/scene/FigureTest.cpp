#include "ImageChecks.h"
#include "scene/Scene.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

using namespace velquor::scene;
using namespace velquor::scene::testing;

namespace {

// A point of a figure as the figure tables give it: x relative to the column centre,
// y before the height b is subtracted.
struct Mark {
    int dx;
    int y;
};

// Joints, line ends, the eye and the head's outermost points: with a 3-px pen each of
// them must come out black, so a misplaced joint shows even when the bounding box does not.
constexpr Mark CrouchInk[] = {
    {0, 371},   {0, 437},   {-30, 464}, {0, 494}, {-17, 494}, // body and legs
    {0, 384},   {27, 404},  {-15, 417},                       // arm
    {-7, 358},  {-15, 361},                                   // mouth
    {-7, 346},                                                // eye
    {-17, 352}, {1, 334},   {20, 352},                        // head outline
};
constexpr Mark StretchInk[] = {
    {0, 354},   {7, 421},   {-7, 494},  {-20, 504}, // body and leg
    {0, 374},   {-30, 364}, {-40, 321},             // arm
    {-7, 341},  {-15, 344},                         // mouth
    {-7, 329},                                      // eye
    {-17, 335}, {1, 317},   {20, 335},              // head outline
};
// Inside the head, clear of eye and mouth: the white brush must leave it white even
// though the outline is black.
constexpr Mark CrouchHeadInside{1, 352};
constexpr Mark StretchHeadInside{1, 335};

std::span<const Mark> InkMarks(Pose pose) {
    return pose == Pose::Crouch ? std::span<const Mark>(CrouchInk)
                                : std::span<const Mark>(StretchInk);
}

QRgb PixelAt(const Scene& scene, Mark mark, int x, int b) {
    const qreal ratio = scene.bitmap().devicePixelRatio();
    return scene.bitmap().pixel(qRound((x + mark.dx) * ratio), qRound((mark.y - b) * ratio));
}

// ---------------------------------------------------------------------------------------

class SceneBitmapTest : public ::testing::TestWithParam<qreal> {};

TEST_P(SceneBitmapTest, StartsWhiteAtTheSceneSizeTimesTheRatio) {
    const qreal ratio = GetParam();
    const Scene scene(ratio);
    const QSize deviceSize(qRound(SceneWidth * ratio), qRound(SceneHeight * ratio));
    for (const QImage& image : {scene.bitmap(), scene.presented()}) {
        EXPECT_EQ(image.size(), deviceSize);
        EXPECT_EQ(image.deviceIndependentSize(), QSizeF(SceneWidth, SceneHeight));
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        EXPECT_TRUE(AllWhite(image));
    }
}

INSTANTIATE_TEST_SUITE_P(Ratios, SceneBitmapTest, ::testing::Values(1.0, 2.0));

// ---------------------------------------------------------------------------------------

struct FigureCase {
    Pose pose;
    int x;
    int b;
    qreal ratio;
};

std::string FigureCaseName(const ::testing::TestParamInfo<FigureCase>& info) {
    const FigureCase& c = info.param;
    const std::string b = c.b < 0 ? "minus" + std::to_string(-c.b) : std::to_string(c.b);
    return std::string(NameOf(c.pose)) + "_x" + std::to_string(c.x) + "_b" + b + "_ratio" +
           std::to_string(qRound(c.ratio));
}

// Figures whose path lies wholly inside the bitmap.
class FigureShapeTest : public ::testing::TestWithParam<FigureCase> {};

TEST_P(FigureShapeTest, InkCoversThePathAndReachesOnlyThePenBeyondIt) {
    const FigureCase c = GetParam();
    Scene scene(c.ratio);
    Draw(scene, c.pose, c.x, c.b, Black);

    const QRect path = PathExtents(c.pose, c.x, c.b);
    const QRect ink = InkBounds(scene.bitmap());
    const QRect allowed = PenReachInDevice(path, c.ratio);
    const QRect covered = PathInDevice(path, c.ratio);
    EXPECT_TRUE(allowed.contains(ink))
        << "ink " << Describe(ink) << " beyond the pen's reach " << Describe(allowed);
    EXPECT_TRUE(ink.contains(covered))
        << "ink " << Describe(ink) << " short of the path " << Describe(covered);
    EXPECT_TRUE(OnlyBlackAndWhite(scene.bitmap()));
}

TEST_P(FigureShapeTest, JointsAreInkedAndTheHeadIsFilledWhite) {
    const FigureCase c = GetParam();
    Scene scene(c.ratio);
    Draw(scene, c.pose, c.x, c.b, Black);

    for (const Mark mark : InkMarks(c.pose)) {
        EXPECT_EQ(PixelAt(scene, mark, c.x, c.b), Black)
            << "at x" << (mark.dx < 0 ? "" : "+") << mark.dx << ", y " << mark.y << "-b";
    }
    const Mark inside = c.pose == Pose::Crouch ? CrouchHeadInside : StretchHeadInside;
    EXPECT_EQ(PixelAt(scene, inside, c.x, c.b), White);
}

INSTANTIATE_TEST_SUITE_P(
    WhollyInside, FigureShapeTest,
    ::testing::Values(FigureCase{Pose::Crouch, 100, 0, 1}, FigureCase{Pose::Crouch, 500, 123, 1},
                      FigureCase{Pose::Crouch, 900, 317, 1}, FigureCase{Pose::Stretch, 100, 5, 1},
                      FigureCase{Pose::Stretch, 500, 123, 1},
                      FigureCase{Pose::Stretch, 900, 300, 1}, FigureCase{Pose::Crouch, 300, 0, 2},
                      FigureCase{Pose::Crouch, 700, 250, 2}, FigureCase{Pose::Stretch, 300, 5, 2},
                      FigureCase{Pose::Stretch, 700, 250, 2}),
    FigureCaseName);

// A figure's head covers what was drawn before it, even when its outline is black: this
// is how a figure moved over an earlier one hides it.
TEST(FigureOverlapTest, HeadInteriorCoversEarlierLinesWhateverThePenColour) {
    Scene scene;
    const int x = 500;
    scene.DrawCrouchFigure(x, 0, Black);
    ASSERT_EQ(scene.bitmap().pixel(x, 380), Black); // the crouching body line
    // Lowered by 40, the stretched head spans y 357..394 with its centre near (x+1, 375).
    scene.DrawStretchFigure(x, -40, Black);
    EXPECT_EQ(scene.bitmap().pixel(x, 380), White);
    EXPECT_EQ(scene.bitmap().pixel(x + 1, 375), White);
}

// ---------------------------------------------------------------------------------------

// Erasing is drawing again in white; aliased drawing makes that exact, also where the
// figure is cut off at the top or bottom edge or lies wholly outside.
class EraseTest : public ::testing::TestWithParam<FigureCase> {};

TEST_P(EraseTest, DrawingInWhiteRestoresPureWhite) {
    const FigureCase c = GetParam();
    Scene scene(c.ratio);
    Draw(scene, c.pose, c.x, c.b, Black);
    const QRect sceneRect(0, 0, SceneWidth, SceneHeight);
    if (PathExtents(c.pose, c.x, c.b).intersects(sceneRect)) {
        ASSERT_FALSE(InkBounds(scene.bitmap()).isNull()) << "nothing was drawn to erase";
    }
    Draw(scene, c.pose, c.x, c.b, White);
    EXPECT_TRUE(AllWhite(scene.bitmap()));
}

INSTANTIATE_TEST_SUITE_P(
    Heights, EraseTest,
    ::testing::Values(
        // wholly inside
        FigureCase{Pose::Crouch, 100, 0, 1}, FigureCase{Pose::Stretch, 300, 150, 1},
        // the foot below row 499: the stretched foot reaches y 504 at rest
        FigureCase{Pose::Stretch, 500, 0, 1}, FigureCase{Pose::Stretch, 500, 3, 1},
        FigureCase{Pose::Crouch, 700, -5, 1}, FigureCase{Pose::Crouch, 700, -10, 1},
        FigureCase{Pose::Stretch, 900, -10, 1}, FigureCase{Pose::Crouch, 100, -150, 1},
        // the head out at the top
        FigureCase{Pose::Stretch, 100, 318, 1}, FigureCase{Pose::Stretch, 300, 330, 1},
        FigureCase{Pose::Crouch, 500, 334, 1}, FigureCase{Pose::Crouch, 700, 400, 1},
        FigureCase{Pose::Stretch, 900, 490, 1}, FigureCase{Pose::Crouch, 100, 494, 1},
        FigureCase{Pose::Stretch, 300, 504, 1},
        // the whole path outside
        FigureCase{Pose::Crouch, 500, 505, 1}, FigureCase{Pose::Stretch, 700, 505, 1},
        FigureCase{Pose::Stretch, 900, 506, 1}, FigureCase{Pose::Crouch, 100, 800, 1},
        FigureCase{Pose::Crouch, 300, -200, 1}, FigureCase{Pose::Stretch, 500, -200, 1},
        // at twice the resolution
        FigureCase{Pose::Crouch, 500, 0, 2}, FigureCase{Pose::Stretch, 500, 0, 2},
        FigureCase{Pose::Stretch, 700, 330, 2}, FigureCase{Pose::Crouch, 900, -10, 2},
        FigureCase{Pose::Stretch, 100, 505, 2}),
    FigureCaseName);

// ---------------------------------------------------------------------------------------

// The largest extents of any figure with the pen, 1 px beyond the path on both sides.
constexpr int FigureLeftReach = 41;
constexpr int FigureRightReach = 28;

class RestSceneTest : public ::testing::Test {
  protected:
    Scene scene;
};

TEST_F(RestSceneTest, ShowsFiveBlackCrouchingFiguresAndNothingElse) {
    scene.DrawRestScene();
    const QImage& image = scene.bitmap();
    ASSERT_TRUE(OnlyBlackAndWhite(image));

    std::vector<QRect> figures;
    for (int x : ColumnCentres) {
        figures.push_back(PathExtents(Pose::Crouch, x, 0).adjusted(-1, -1, 1, 1));
    }
    std::vector<int> inkPerFigure(figures.size(), 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != Black) {
                continue;
            }
            bool inside = false;
            for (std::size_t i = 0; i < figures.size() && !inside; ++i) {
                if (figures[i].contains(x, y)) {
                    inside = true;
                    ++inkPerFigure[i];
                }
            }
            ASSERT_TRUE(inside) << "stray black pixel at (" << x << ", " << y << ")";
        }
    }
    for (std::size_t i = 0; i < figures.size(); ++i) {
        EXPECT_GT(inkPerFigure[i], 0) << "no figure in column " << ColumnCentres[i];
    }
}

TEST_F(RestSceneTest, FiguresAreAllTheSameDrawingShiftedByTheColumnDistance) {
    scene.DrawRestScene();
    const QImage& image = scene.bitmap();
    const int first = ColumnCentres[0];
    const QRect band(first - FigureLeftReach, 0, FigureLeftReach + FigureRightReach + 1,
                     SceneHeight);
    const QImage model = image.copy(band);
    for (int x : ColumnCentres) {
        EXPECT_TRUE(SamePixels(image.copy(band.translated(x - first, 0)), model)) << "column " << x;
    }
}

TEST_F(RestSceneTest, ReplacesWhateverWasDrawnBefore) {
    Scene fresh;
    fresh.DrawRestScene();
    scene.DrawStretchFigure(300, 200, Black);
    scene.DrawCrouchFigure(500, 90, Black);
    scene.DrawStretchFigure(700, 330, Black);
    scene.DrawRestScene();
    EXPECT_TRUE(SamePixels(scene.bitmap(), fresh.bitmap()));
}

TEST_F(RestSceneTest, ResetToBackgroundLeavesAllWhite) {
    scene.DrawRestScene();
    scene.DrawStretchFigure(100, 40, Black);
    scene.ResetToBackground();
    EXPECT_TRUE(AllWhite(scene.bitmap()));
}

// ---------------------------------------------------------------------------------------

// What happens in one column never touches the pixels of another.
class ColumnIsolationTest : public ::testing::TestWithParam<int> {};

TEST_P(ColumnIsolationTest, DrawingAndErasingInOneColumnLeavesTheOthersAlone) {
    const int column = GetParam();
    const int centre = ColumnCentres[column];
    Scene scene;
    scene.DrawRestScene();
    const QImage before = scene.bitmap().copy();

    // A jump: the rest figure is erased, the figure rises stretched (through the top edge),
    // comes down below rest and crouches again, each position erased before the next.
    scene.DrawCrouchFigure(centre, 0, White);
    for (int b : {0, 60, 200, 340, 480, 200, -12, 0}) {
        scene.DrawStretchFigure(centre, b, Black);
        for (int other = 0; other < std::ssize(ColumnCentres); ++other) {
            if (other == column) {
                continue;
            }
            const QRect band(ColumnCentres[other] - 100, 0, 200, SceneHeight);
            const QRect inside = band & scene.bitmap().rect();
            ASSERT_TRUE(SamePixels(scene.bitmap().copy(inside), before.copy(inside)))
                << "column " << ColumnCentres[other] << " after a figure at b " << b;
        }
        scene.DrawStretchFigure(centre, b, White);
    }
    scene.DrawCrouchFigure(centre, 0, Black);
    EXPECT_TRUE(SamePixels(scene.bitmap(), before));
}

INSTANTIATE_TEST_SUITE_P(Columns, ColumnIsolationTest, ::testing::Range(0, 5));

// ---------------------------------------------------------------------------------------

// The picture lives as long as the scene: the window holds on to it, and an animation
// step must not allocate.
TEST(ScenePictureTest, IsNotReallocatedByDrawingResettingOrPresenting) {
    Scene scene;
    const uchar* pictureBits = scene.presented().constBits();

    scene.DrawRestScene();
    scene.Present();
    scene.DrawCrouchFigure(300, 0, White);
    scene.DrawStretchFigure(300, 400, Black);
    scene.Present();
    scene.ResetToBackground();
    scene.Present();

    EXPECT_EQ(scene.presented().constBits(), pictureBits);
}

// A copy of the picture that someone keeps (a test, a screenshot) holds what it showed:
// the scene's long-lived painter must not draw the next steps into it.
TEST(ScenePictureTest, ACopyKeptOfThePictureKeepsWhatItShowed) {
    Scene scene;
    scene.DrawRestScene();
    scene.Present();
    const QImage kept = scene.presented();
    const QImage expected = kept.copy();

    scene.DrawCrouchFigure(300, 0, White);
    scene.DrawStretchFigure(300, 200, Black);
    scene.Present();
    scene.ResetToBackground();
    scene.DrawStretchFigure(500, 100, Black);
    scene.Present();

    EXPECT_TRUE(SamePixels(kept, expected));
    EXPECT_FALSE(SamePixels(scene.presented(), expected));
    EXPECT_TRUE(SamePixels(scene.presented(), scene.bitmap()));
}

} // namespace
