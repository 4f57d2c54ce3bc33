#include "physics/Simulation.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace velquor::physics;

namespace {

struct FixedSliders : SliderReader {
    int spring = 327;
    int rope = 8;
    int springConstantPosition() const override { return spring; }
    int ropeLengthPosition() const override { return rope; }
};

struct Settings {
    int speed = 24;  // ScrollBar3
    int step = 125;  // ScrollBar4
    int spring = 327; // ScrollBar1
    int rope = 8;    // ScrollBar2
};

struct Landing {
    int steps = 0;
    double flightTime = 0; // accumulated step by step, as a single run does
    double height = 0;
    JumperState state;
};

// Sets the values as a single run does at its start, then steps to the landing.
Landing jump(SimulatorKind kind, Settings settings) {
    FixedSliders sliders;
    sliders.spring = settings.spring;
    sliders.rope = settings.rope;
    Simulation sim;
    sim.LaunchSpeed = launchSpeedFor(settings.speed);
    sim.TimeStep = timeStepFor(settings.step);
    sim.PreStretch = preStretchFor(settings.spring);
    sim.RopeLength = ropeLengthFor(settings.rope);
    sim.SetStartState(kind);
    Landing result;
    do {
        sim.StepJumper(kind, sim.TimeStep, sliders);
        sim.TotalTime += sim.TimeStep;
        ++result.steps;
    } while (!sim.HasLanded(kind));
    result.flightTime = sim.TotalTime;
    result.height = sim.HeightAboveFloor(kind, sim.jumper(kind).Peak);
    result.state = sim.jumper(kind);
    return result;
}

const char* nameOf(SimulatorKind kind) {
    static const char* names[] = {"Earth", "Moon", "Spring", "Counterweight", "Rope"};
    return names[indexOf(kind)];
}

} // namespace

TEST(SliderConversion, DefaultsGiveTheDocumentedParameters) {
    EXPECT_EQ(launchSpeedFor(24), 2.4);
    EXPECT_EQ(timeStepFor(125), 0.00125);
    EXPECT_EQ(preStretchFor(327), 3.0);
    EXPECT_EQ(ropeLengthFor(8), 60.0);
    EXPECT_EQ(launchSpeedFor(0), 0.0);
    EXPECT_EQ(timeStepFor(10), 0.0001);
    EXPECT_EQ(timeStepFor(250), 0.0025);
    EXPECT_EQ(preStretchFor(30), 32.7);
    EXPECT_EQ(preStretchFor(500), 1.962);
    EXPECT_EQ(ropeLengthFor(60), 8.0);
}

TEST(SliderConversion, PreStretchIsTheDoubleNearestTheExactQuotientAtEveryPosition) {
    for (int position = 30; position <= 500; ++position)
        EXPECT_EQ(preStretchFor(position), 981.0 / position) << "position " << position;
}

TEST(RopeFloor, FollowsTheRopeLength) {
    Simulation sim;
    sim.RopeLength = 60;
    EXPECT_NEAR(static_cast<double>(sim.RopeFloor()), 10.046884753, 5e-10);
    sim.RopeLength = 8;
    EXPECT_NEAR(static_cast<double>(sim.RopeFloor()), 1.339584634, 5e-10);
}

struct JumpCase {
    const char* name;
    SimulatorKind kind;
    Settings settings;
    int steps;
    double flightTime;
    double height; // to the seven decimals given
};

class JumpFigures : public testing::TestWithParam<JumpCase> {};

TEST_P(JumpFigures, StepsFlightTimeAndHeight) {
    const JumpCase& c = GetParam();
    const Landing landing = jump(c.kind, c.settings);
    EXPECT_EQ(landing.steps, c.steps);
    EXPECT_NEAR(landing.flightTime, c.flightTime, 1e-9);
    EXPECT_NEAR(landing.height, c.height, 5.01e-8);
}

const Settings Defaults{};
constexpr Settings SoftestSpring{24, 125, 30, 8};
constexpr Settings ShortRopeStiffSpring{24, 125, 500, 60};
constexpr Settings AtRest{0, 125, 327, 8};
constexpr Settings FastestFinest{30, 10, 327, 8};

INSTANTIATE_TEST_SUITE_P(
    Models, JumpFigures,
    testing::Values(
        JumpCase{"DefaultEarth", SimulatorKind::Earth, Defaults, 391, 0.48875, 0.2920795},
        JumpCase{"DefaultMoon", SimulatorKind::Moon, Defaults, 2348, 2.935, 1.7599682},
        JumpCase{"DefaultSpring", SimulatorKind::Spring, Defaults, 1143, 1.42875, 0.9722473},
        JumpCase{"DefaultCounterweight", SimulatorKind::Counterweight, Defaults, 4305, 5.38125,
                 3.2278579},
        JumpCase{"DefaultRope", SimulatorKind::Rope, Defaults, 2122, 2.6525, 1.6293018},
        JumpCase{"SoftestSpring", SimulatorKind::Spring, SoftestSpring, 2026, 2.5325, 1.5712258},
        JumpCase{"ShortestRope", SimulatorKind::Rope, ShortRopeStiffSpring, 1484, 1.855,
                 1.2175691},
        JumpCase{"StiffestSpring", SimulatorKind::Spring, ShortRopeStiffSpring, 979, 1.22375,
                 0.8466327},
        JumpCase{"AtRestEarth", SimulatorKind::Earth, AtRest, 1, 0.00125, 0.0},
        JumpCase{"AtRestMoon", SimulatorKind::Moon, AtRest, 1, 0.00125, 0.0},
        JumpCase{"AtRestSpring", SimulatorKind::Spring, AtRest, 1, 0.00125, 0.0},
        JumpCase{"AtRestCounterweight", SimulatorKind::Counterweight, AtRest, 1, 0.00125, 0.0},
        // The rope takes its peak from the unclamped position, just below the wall.
        JumpCase{"AtRestRope", SimulatorKind::Rope, AtRest, 1, 0.00125, -0.0000026},
        JumpCase{"FastestCounterweight", SimulatorKind::Counterweight, FastestFinest, 67278,
                 6.7278, 5.0457216},
        JumpCase{"FastestMoon", SimulatorKind::Moon, FastestFinest, 36697, 3.6697, 2.7521436}),
    [](const testing::TestParamInfo<JumpCase>& info) { return std::string(info.param.name); });

TEST(JumpFigures, RopeAtRestSinksByTheMoonAccelerationTimesTheStepSquared) {
    const Landing landing = jump(SimulatorKind::Rope, AtRest);
    EXPECT_LT(landing.height, 0.0);
    EXPECT_NEAR(landing.height, -1.635 * 0.00125 * 0.00125, 1e-10);
}

// The figures of a default jump, to the last bit. Plain double arithmetic gets some of
// them wrong: this fails if the extended precision of the step rules is lost.
struct ExactCase {
    SimulatorKind kind;
    int steps;
    double peak;
    double velocity;
};

class ExactJump : public testing::TestWithParam<ExactCase> {};

TEST_P(ExactJump, PeakAndLandingVelocityAreBitExact) {
    const ExactCase& c = GetParam();
    const Landing landing = jump(c.kind, Defaults);
    EXPECT_EQ(landing.steps, c.steps);
    EXPECT_EQ(landing.state.Peak, c.peak) << std::hexfloat << landing.state.Peak;
    EXPECT_EQ(landing.state.Velocity, c.velocity) << std::hexfloat << landing.state.Velocity;
}

INSTANTIATE_TEST_SUITE_P(
    Defaults, ExactJump,
    testing::Values(
        ExactCase{SimulatorKind::Earth, 391, 0x1.2b16e58a32f4ap-2, -0x1.32837b4a23396p+1},
        ExactCase{SimulatorKind::Moon, 2348, 0x1.c28d460aa65ffp+0, -0x1.33096bb98c6c2p+1},
        ExactCase{SimulatorKind::Spring, 1143, -0x1.038d66a6556dfp+1, -0x1.32f0f3d6a6b54p+1},
        ExactCase{SimulatorKind::Counterweight, 4305, 0x1.9d2a724006a91p+1,
                  -0x1.331598daf30d3p+1},
        ExactCase{SimulatorKind::Rope, 2122, 0x1.75a3520f67f97p+3, -0x1.32f813a42a94dp+1}),
    [](const testing::TestParamInfo<ExactCase>& info) { return std::string(nameOf(info.param.kind)); });

// A step that the clamp puts back where it started reports no movement, so the run
// draws nothing for it.
class ClampedStep : public testing::TestWithParam<SimulatorKind> {};

TEST_P(ClampedStep, ReportsNoMovementAndKeepsThePeak) {
    const SimulatorKind kind = GetParam();
    FixedSliders sliders;
    Simulation sim;
    sim.LaunchSpeed = 0;
    sim.PreStretch = preStretchFor(sliders.spring);
    sim.RopeLength = ropeLengthFor(sliders.rope);
    sim.SetStartState(kind);
    const double startPeak = sim.jumper(kind).Peak;
    const double previous = sim.StepJumper(kind, 0.00125, sliders);
    EXPECT_EQ(sim.jumper(kind).Position, previous);
    EXPECT_TRUE(sim.HasLanded(kind));
    if (kind != SimulatorKind::Rope) {
        EXPECT_EQ(sim.jumper(kind).Peak, startPeak);
    }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, ClampedStep, testing::ValuesIn(AllKinds),
                         [](const testing::TestParamInfo<SimulatorKind>& info) {
                             return std::string(nameOf(info.param));
                         });

TEST(SpringStep, TakesOverPreStretchAndTheSliderAtEveryStep) {
    FixedSliders sliders;
    sliders.spring = 400;
    Simulation sim;
    sim.PreStretch = preStretchFor(400);
    sim.ActivePreStretch = 3.0;
    sim.SpringConstant = 327;
    sim.LaunchSpeed = 1.0;
    sim.SetStartState(SimulatorKind::Spring);
    sim.StepJumper(SimulatorKind::Spring, 0.001, sliders);
    EXPECT_EQ(sim.ActivePreStretch, sim.PreStretch);
    EXPECT_EQ(sim.SpringConstant, 400.0);
}

TEST(RopeStep, ReadsTheRopeSliderAtEveryStep) {
    FixedSliders sliders;
    Simulation sim;
    sim.RopeLength = 60;
    sim.LaunchSpeed = 1.0;
    sim.SetStartState(SimulatorKind::Rope);
    sliders.rope = 28; // the slider moves after the start
    sim.StepJumper(SimulatorKind::Rope, 0.001, sliders);
    EXPECT_EQ(sim.RopeLength, 40.0);
    // The floor of the new length is far below the start position: no clamp.
    EXPECT_GT(sim.jumper(SimulatorKind::Rope).Position, static_cast<double>(sim.RopeFloor()));
}

TEST(HeightAboveFloor, MeasuresFromEachKindsFloor) {
    Simulation sim;
    sim.ActivePreStretch = 3.0;
    sim.RopeLength = 60;
    EXPECT_EQ(sim.HeightAboveFloor(SimulatorKind::Earth, 0.25), 0.25);
    EXPECT_EQ(sim.HeightAboveFloor(SimulatorKind::Counterweight, 1.5), 1.5);
    EXPECT_EQ(sim.HeightAboveFloor(SimulatorKind::Spring, -2.5), 0.5);
    EXPECT_NEAR(sim.HeightAboveFloor(SimulatorKind::Rope, 11.046884753), 1.0, 1e-9);
}

TEST(FigureHeight, RoundsCentimetresTiesToEven) {
    EXPECT_EQ(FigureHeight(0.0), 0);
    EXPECT_EQ(FigureHeight(0.125), 12);
    EXPECT_EQ(FigureHeight(0.375), 38);
    EXPECT_EQ(FigureHeight(-0.0000026), 0);
    EXPECT_EQ(FigureHeight(3.2278579), 323);
}
