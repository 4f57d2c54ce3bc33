#pragma once
// The process-wide simulation values and the five jump models.
//
// Plain C++: nothing here knows of a window. The Spring and Rope steps read the current
// positions of two sliders at the start of every step; they reach them through
// SliderReader, which the window implements and tests replace.

#include <array>

namespace velquor::physics {

enum class SimulatorKind { Earth, Moon, Spring, Counterweight, Rope };

inline constexpr int SimulatorCount = 5;
inline constexpr std::array<SimulatorKind, SimulatorCount> AllKinds{
    SimulatorKind::Earth, SimulatorKind::Moon, SimulatorKind::Spring,
    SimulatorKind::Counterweight, SimulatorKind::Rope};

constexpr int indexOf(SimulatorKind kind) { return static_cast<int>(kind); }

// Horizontal centre of a simulator's column in the scene, in pixels.
constexpr int ColumnX(SimulatorKind kind) { return 100 + 200 * indexOf(kind); }

// One simulator's state in the kind's own coordinate (see HeightAboveFloor).
struct JumperState {
    double Position = 0;
    double Velocity = 0;
    double Acceleration = 0;
    double Peak = 0;
};

class SliderReader {
public:
    virtual ~SliderReader() = default;
    virtual int springConstantPosition() const = 0; // ScrollBar1, 30..500
    virtual int ropeLengthPosition() const = 0;     // ScrollBar2, 8..60
};

// Where the rope jumper rests against the wall: RopeLength x arcsin(1/6), as an arc
// length, at extended precision.
long double RopeFloorFor(double ropeLength);

// Slider positions to parameters; each is the double nearest to the exact quotient.
double launchSpeedFor(int position);
double timeStepFor(int position);
double preStretchFor(int springConstantPosition);
double ropeLengthFor(int ropePosition);

struct Simulation {
    double LaunchSpeed = 0;      // m/s
    double TimeStep = 0;         // s per step of a single run
    double SpringConstant = 0;   // N/m
    double PreStretch = 0;       // m, follows the spring-constant slider at once
    double ActivePreStretch = 0; // m, the pre-stretch the scene and the spring step use
    double RopeLength = 0;       // m
    double TotalTime = 0;        // s, simulated time of the current single run
    std::array<JumperState, SimulatorCount> Jumpers{};

    JumperState& jumper(SimulatorKind kind) { return Jumpers[indexOf(kind)]; }
    const JumperState& jumper(SimulatorKind kind) const { return Jumpers[indexOf(kind)]; }

    // RopeLength x arcsin(1/6), at extended precision; never stored.
    long double RopeFloor() const;

    // Position, Velocity := LaunchSpeed and Peak of a jump's start; Acceleration is left
    // alone because the first step writes it.
    void SetStartState(SimulatorKind kind);

    // Advances one step of dt seconds and returns the Position before the step.
    double StepJumper(SimulatorKind kind, double dt, const SliderReader& sliders);
    bool HasLanded(SimulatorKind kind) const;
    double HeightAboveFloor(SimulatorKind kind, double position) const;
};

// A figure height in pixels: one pixel per centimetre, ties to even.
int FigureHeight(double heightAboveFloor);

} // namespace velquor::physics
