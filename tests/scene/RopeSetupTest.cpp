#include "scene/RopeSetup.h"

#include <gtest/gtest.h>

using namespace velquor::scene;

namespace {

struct RopeRow {
    int slider;
    int length;
    double floor;
    double anchor;
    int bodyWidth;
    int headLeft;
    int fromX, fromY, toX, toY;
};

// Floor and anchor to three decimals.
constexpr double MetreTolerance = 0.0005;

class RopeSetupTableTest : public ::testing::TestWithParam<RopeRow> {};

TEST_P(RopeSetupTableTest, MatchesTheDiagramTable) {
    const RopeRow row = GetParam();
    const RopeSetup setup = ComputeRopeSetup(row.slider);
    EXPECT_EQ(setup.ropeLength, row.length);
    EXPECT_NEAR(setup.ropeFloor, row.floor, MetreTolerance);
    EXPECT_NEAR(setup.anchorHeight, row.anchor, MetreTolerance);
    EXPECT_EQ(setup.bodyWidth, row.bodyWidth);
    EXPECT_EQ(setup.headLeft, row.headLeft);
    EXPECT_EQ(setup.headTop, 398);
    EXPECT_EQ(setup.ropeFromX, row.fromX);
    EXPECT_EQ(setup.ropeFromY, row.fromY);
    EXPECT_EQ(setup.ropeToX, row.toX);
    EXPECT_EQ(setup.ropeToY, row.toY);
}

// p = 13 puts the head centre at 123.494, the nearest any slider position comes to a
// rounding tie.
INSTANTIATE_TEST_SUITE_P(
    SliderPositions, RopeSetupTableTest,
    ::testing::Values(RopeRow{8, 60, 10.047, 59.153, 57, 121, 129, 406, 65, 34},
                      RopeRow{13, 55, 9.210, 54.223, 51, 115, 123, 406, 65, 66},
                      RopeRow{28, 40, 6.698, 39.435, 35, 99, 107, 406, 65, 161},
                      RopeRow{38, 30, 5.023, 29.576, 24, 88, 96, 406, 65, 225},
                      RopeRow{48, 20, 3.349, 19.718, 14, 78, 86, 406, 65, 289},
                      RopeRow{60, 8, 1.340, 7.887, 1, 65, 73, 406, 65, 365}),
    [](const ::testing::TestParamInfo<RopeRow>& info) {
        return "p" + std::to_string(info.param.slider);
    });

// Over the whole slider range the body keeps a visible width, the anchor stays on the
// wall inside the diagram, and a shorter rope never puts the anchor higher or the head
// further from the wall.
TEST(RopeSetupRangeTest, StaysDrawableAndOrderedOverTheWholeSlider) {
    RopeSetup previous = ComputeRopeSetup(RopeSliderMin);
    for (int p = RopeSliderMin; p <= RopeSliderMax; ++p) {
        const RopeSetup setup = ComputeRopeSetup(p);
        EXPECT_GE(setup.bodyWidth, 1) << "p " << p;
        EXPECT_GE(setup.ropeToY, 16) << "p " << p;
        EXPECT_LE(setup.ropeToY, 416) << "p " << p;
        EXPECT_GE(setup.ropeToY, previous.ropeToY) << "p " << p;
        EXPECT_LE(setup.ropeFromX, previous.ropeFromX) << "p " << p;
        previous = setup;
    }
}

} // namespace
