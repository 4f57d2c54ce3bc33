#include "scene/RopeSetup.h"

#include "physics/Simulation.h"

#include <cmath>

namespace velquor::scene {

namespace {

constexpr double PixelsPerMetre = 6.46;
constexpr int WallX = 65;   // where the rope meets the wall
constexpr int FloorY = 416; // the anchor height is measured up from here
constexpr int HeadTop = 398;
constexpr int HeadRadius = 8;
constexpr int HeadCentreY = HeadTop + HeadRadius; // the rope leaves from the head's middle
constexpr int HeadCentreOffset = 64;              // head centre x when the rope covers no floor

// Nearest integer, ties to even, as the current rounding mode does by default.
int RoundPixel(double value) {
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

RopeSetup ComputeRopeSetup(int sliderPosition) {
    RopeSetup setup{};
    const int length = static_cast<int>(physics::ropeLengthFor(sliderPosition));
    setup.ropeLength = length;
    setup.ropeFloor = static_cast<double>(physics::RopeFloorFor(length));
    setup.anchorHeight =
        std::sqrt(static_cast<double>(length) * length - setup.ropeFloor * setup.ropeFloor);
    const double floorPixels = PixelsPerMetre * setup.ropeFloor;
    setup.bodyWidth = RoundPixel(floorPixels - HeadRadius);
    setup.headLeft = RoundPixel(floorPixels + HeadCentreOffset - HeadRadius);
    setup.headTop = HeadTop;
    setup.ropeFromX = RoundPixel(floorPixels + HeadCentreOffset);
    setup.ropeFromY = HeadCentreY;
    setup.ropeToX = WallX;
    setup.ropeToY = RoundPixel(FloorY - PixelsPerMetre * setup.anchorHeight);
    return setup;
}

} // namespace velquor::scene
