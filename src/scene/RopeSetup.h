#pragma once
// Geometry of the small side view of the rope simulator: a wall, the astronaut lying at
// its foot and the rope from his head up to an anchor on the wall. Plain C++ so that the
// numbers can be checked without a window.

namespace velquor::scene {

inline constexpr int RopeSliderMin = 8;
inline constexpr int RopeSliderMax = 60;

struct RopeSetup {
    int ropeLength;      // metres
    double ropeFloor;    // metres of floor the rope's arc covers
    double anchorHeight; // metres from the floor to the anchor
    int bodyWidth;       // pixels
    int headLeft;        // pixels
    int headTop;         // pixels
    int ropeFromX, ropeFromY, ropeToX, ropeToY;
};

// sliderPosition is the rope slider's position, RopeSliderMin..RopeSliderMax.
RopeSetup ComputeRopeSetup(int sliderPosition);

} // namespace velquor::scene
