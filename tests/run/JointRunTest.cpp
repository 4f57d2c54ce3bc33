// The joint run driven headless through a fake window.

#include "FakeHost.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

using namespace velquor::testing;
using velquor::physics::AllKinds;
using velquor::physics::ColumnX;
using velquor::physics::indexOf;
using velquor::physics::launchSpeedFor;
using velquor::physics::SimulatorCount;
using velquor::run::BlankResult;
using velquor::run::FormatResult;
namespace scene = velquor::scene;

namespace {

using Kinds = std::vector<SimulatorKind>;
const Kinds everyKind(AllKinds.begin(), AllKinds.end());

QImage column(const QImage& image, SimulatorKind kind) {
    return image.copy(ColumnX(kind) - 50, 0, 100, scene::SceneHeight);
}

QImage restScene() {
    scene::Scene reference;
    reference.DrawRestScene();
    reference.Present();
    return reference.presented().copy();
}

// ---- Landing passes and results --------------------------------------------------------

struct LandingCase {
    const char* name;
    Kinds selected;
    int takeOffSpeed; // slider position, tenths of m/s
    double jointTimeStep;
    // Pass in which each kind lands, in the order Earth, Moon, Spring, Counterweight,
    // Rope; 0 for a kind that is not ticked.
    std::array<int, SimulatorCount> landingPass;
    int passes;
};

void PrintTo(const LandingCase& c, std::ostream* os) {
    *os << c.name;
}

std::string landingName(const ::testing::TestParamInfo<LandingCase>& info) {
    return info.param.name;
}

class JointRunLandings : public ::testing::TestWithParam<LandingCase> {
protected:
    void Run() {
        const LandingCase& c = GetParam();
        bench.host.SelectOnly(c.selected);
        bench.host.SetSlider(Slider::TakeOffSpeed, c.takeOffSpeed);
        bench.onPass = [this](int) {
            controlsEnabledAtPass.push_back(bench.host.ControlsEnabled());
            jointStartEnabledAtPass.push_back(bench.host.JointStartEnabled());
        };
        bench.runs.StartJointRun();
    }

    RunBench bench;
    std::vector<bool> controlsEnabledAtPass;
    std::vector<bool> jointStartEnabledAtPass;
};

TEST_P(JointRunLandings, LandsEachJumperInItsPassAndStopsAfterTheLast) {
    const LandingCase& c = GetParam();
    Run();

    EXPECT_DOUBLE_EQ(bench.runs.JointTimeStep, c.jointTimeStep);
    const Landings landings = LandingsIn(bench.host.Writes());
    for (SimulatorKind kind : AllKinds) {
        SCOPED_TRACE(NameOf(kind));
        EXPECT_EQ(landings.pass[indexOf(kind)], c.landingPass[indexOf(kind)]);
    }
    const std::vector<int> stepped = bench.watch.SteppedAfter();
    ASSERT_FALSE(stepped.empty());
    EXPECT_EQ(static_cast<int>(stepped.size()), c.passes) << "every pass steps";
    EXPECT_EQ(stepped.back(), c.passes) << "the last pass";
    for (int running : bench.runs.Running)
        EXPECT_EQ(running, 0);
}

TEST_P(JointRunLandings, ShowsTheTimeBeforeTheLandingPassAndKeepsResultsUntilTheEnd) {
    const LandingCase& c = GetParam();
    Run();

    const Landings landings = LandingsIn(bench.host.Writes());
    for (SimulatorKind kind : AllKinds) {
        SCOPED_TRACE(NameOf(kind));
        const int k = indexOf(kind);
        if (c.landingPass[k] == 0) {
            EXPECT_EQ(bench.host.Text(kind, ResultField::Time), BlankResult);
            EXPECT_EQ(bench.host.Text(kind, ResultField::Height), BlankResult);
            continue;
        }
        // The landing pass adds no time: Elapsed covers the passes before it.
        EXPECT_EQ(landings.time[k], FormatResult(c.jointTimeStep * (c.landingPass[k] - 1), ","));
        // Whatever is written after the landing, while others fly, repeats the landing's texts.
        for (const ResultWrite& w : bench.host.Writes()) {
            if (w.kind != kind || w.call < c.landingPass[k])
                continue;
            EXPECT_EQ(w.text, w.field == ResultField::Time ? landings.time[k] : landings.height[k])
                << "written in pass " << w.call;
        }
        EXPECT_EQ(bench.host.Text(kind, ResultField::Time), landings.time[k]);
        EXPECT_EQ(bench.host.Text(kind, ResultField::Height), landings.height[k]);
    }
}

TEST_P(JointRunLandings, LeavesOnlyTheJointStartUsableDuringTheRun) {
    Run();

    ASSERT_FALSE(controlsEnabledAtPass.empty());
    for (std::size_t i = 0; i < controlsEnabledAtPass.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "event processing " << i + 1);
        EXPECT_FALSE(controlsEnabledAtPass[i]);
        EXPECT_TRUE(jointStartEnabledAtPass[i]);
    }
    EXPECT_TRUE(bench.host.ControlsEnabled());
    EXPECT_TRUE(bench.host.JointStartEnabled());
    // Disabled, then the joint start enabled again, both before the first pass.
    const auto& calls = bench.host.Calls();
    const auto disabled = std::find(calls.begin(), calls.end(), HostCall::ControlsDisabled);
    const auto firstPass = std::find(calls.begin(), calls.end(), HostCall::ProcessEvents);
    const auto jointStart = std::find(disabled, calls.end(), HostCall::JointStartEnabled);
    EXPECT_LT(disabled, firstPass);
    EXPECT_LT(jointStart, firstPass);
    EXPECT_EQ(calls.back(), HostCall::ControlsEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    StartSettings, JointRunLandings,
    ::testing::Values(
        LandingCase{"OnlyEarth", {SimulatorKind::Earth}, 24, 0.00125, {391, 0, 0, 0, 0}, 391},
        LandingCase{"EarthAndMoon",
                    {SimulatorKind::Earth, SimulatorKind::Moon},
                    24,
                    0.0025,
                    {195, 1174, 0, 0, 0},
                    1174},
        LandingCase{"AllFive", everyKind, 24, 0.00625, {78, 469, 229, 861, 424}, 861},
        LandingCase{"AllFiveAtSpeedZero", everyKind, 0, 0.00625, {1, 1, 1, 1, 1}, 1},
        LandingCase{"RopeAndSpringAtSpeedZero",
                    {SimulatorKind::Spring, SimulatorKind::Rope},
                    0,
                    0.0025,
                    {0, 0, 1, 0, 1},
                    1}),
    landingName);

TEST(JointRunAtSpeedZero, ShowsZeroWithoutSignInEveryTickedColumn) {
    RunBench bench;
    bench.host.SelectOnly(everyKind);
    bench.host.SetSlider(Slider::TakeOffSpeed, 0);
    bench.runs.StartJointRun();
    for (SimulatorKind kind : AllKinds) {
        SCOPED_TRACE(NameOf(kind));
        EXPECT_EQ(bench.host.Text(kind, ResultField::Time), QStringLiteral("0,00"));
        EXPECT_EQ(bench.host.Text(kind, ResultField::Height), QStringLiteral("0,00"));
    }
    // The rope lands a hair below its floor; the sign must not show.
    EXPECT_LT(
        bench.sim.HeightAboveFloor(SimulatorKind::Rope, bench.sim.jumper(SimulatorKind::Rope).Peak),
        0.0);
}

TEST(JointRunPassOrder, HandlesCounterweightBeforeSpring) {
    // At take-off speed 0 all land in the first pass, so the order of the result texts is
    // the order of the pass.
    RunBench bench;
    bench.host.SelectOnly(everyKind);
    bench.host.SetSlider(Slider::TakeOffSpeed, 0);
    bench.runs.StartJointRun();

    std::vector<SimulatorKind> order;
    for (const ResultWrite& w : bench.host.Writes())
        if (w.text != BlankResult && w.call == 1)
            order.push_back(w.kind);
    const std::vector<SimulatorKind> expected{
        SimulatorKind::Earth,  SimulatorKind::Earth,         SimulatorKind::Moon,
        SimulatorKind::Moon,   SimulatorKind::Counterweight, SimulatorKind::Counterweight,
        SimulatorKind::Spring, SimulatorKind::Spring,        SimulatorKind::Rope,
        SimulatorKind::Rope};
    EXPECT_EQ(order, expected);
}

// ---- One box ticked: the single run, one step shorter ----------------------------------

// Slider positions.
struct Setting {
    int takeOffSpeed;
    int simulationSpeed;
    int springConstant = 327;
    int rope = 8;

    void ApplyTo(FakeHost& host) const {
        host.SetSlider(Slider::TakeOffSpeed, takeOffSpeed);
        host.SetSlider(Slider::SimulationSpeed, simulationSpeed);
        host.SetSlider(Slider::SpringConstant, springConstant);
        host.SetSlider(Slider::RopeLength, rope);
    }
};

void PrintTo(const Setting& s, std::ostream* os) {
    *os << "take-off " << s.takeOffSpeed << ", step " << s.simulationSpeed << ", spring "
        << s.springConstant << ", rope " << s.rope;
}

class JointRunAlone : public ::testing::TestWithParam<std::tuple<SimulatorKind, Setting>> {};

std::string aloneName(const ::testing::TestParamInfo<std::tuple<SimulatorKind, Setting>>& info) {
    const auto& [kind, setting] = info.param;
    return std::string(NameOf(kind)) + "_Speed" + std::to_string(setting.takeOffSpeed) + "_Step" +
           std::to_string(setting.simulationSpeed) + "_Spring" +
           std::to_string(setting.springConstant) + "_Rope" + std::to_string(setting.rope);
}

TEST_P(JointRunAlone, ReportsOneTimeStepLessThanTheSingleRunWithTheSamePeak) {
    const auto& [kind, setting] = GetParam();
    RunBench single;
    setting.ApplyTo(single.host);
    single.runs.RunSingleJump(kind);
    const double steps = single.sim.TotalTime / single.sim.TimeStep;

    RunBench joint;
    joint.host.SelectOnly({kind});
    setting.ApplyTo(joint.host);
    // Left over from the window's start-up: the run must take the sliders' values instead.
    joint.sim.PreStretch = joint.sim.ActivePreStretch = 3;
    joint.sim.RopeLength = 60;
    joint.runs.StartJointRun();

    EXPECT_EQ(joint.runs.JointTimeStep, single.sim.TimeStep);
    const Landings landings = LandingsIn(joint.host.Writes());
    EXPECT_EQ(landings.pass[indexOf(kind)], std::lround(steps)) << "lands in the single run's step";
    EXPECT_EQ(joint.sim.jumper(kind).Peak, single.sim.jumper(kind).Peak);
    EXPECT_EQ(joint.host.Text(kind, ResultField::Height),
              single.host.Text(kind, ResultField::Height));
    EXPECT_EQ(joint.host.Text(kind, ResultField::Time),
              FormatResult(single.sim.TotalTime - single.sim.TimeStep, ","));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, JointRunAlone,
    ::testing::Combine(::testing::ValuesIn(AllKinds),
                       // For every kind one of these makes the one step show in the
                       // text as well (the Moon at the start settings: "2,94" and "2,93").
                       ::testing::Values(Setting{24, 125}, Setting{13, 250}, Setting{8, 250},
                                         Setting{30, 40, 500, 60}, Setting{17, 200, 31, 30})),
    aloneName);

TEST(JointRunSliders, TakeOffAndSimulationSpeedMovedDuringTheRunDoNotChangeIt) {
    RunBench reference;
    reference.runs.StartJointRun();

    RunBench bench;
    bench.onPass = [&](int call) {
        if (call != 20)
            return;
        // What the window's slider handlers do.
        bench.host.SetSlider(Slider::TakeOffSpeed, 30);
        bench.sim.LaunchSpeed = launchSpeedFor(30);
        bench.host.SetSlider(Slider::SimulationSpeed, 250);
        bench.sim.TimeStep = velquor::physics::timeStepFor(250);
    };
    bench.runs.StartJointRun();

    EXPECT_EQ(bench.runs.JointTimeStep, reference.runs.JointTimeStep);
    const Landings moved = LandingsIn(bench.host.Writes());
    const Landings unmoved = LandingsIn(reference.host.Writes());
    EXPECT_EQ(moved.pass, unmoved.pass);
    EXPECT_EQ(moved.time, unmoved.time);
    EXPECT_EQ(moved.height, unmoved.height);
}

// ---- Edge cases ------------------------------------------------------------------------

TEST(JointRunWithoutTicks, MakesOnePassThatStepsNothingAndWritesNoResult) {
    RunBench bench;
    bench.host.SelectOnly({});
    bench.host.SetTimingVisible(true); // left visible by an earlier Moon run
    bench.runs.JointTimeStep = 1;
    bench.runs.StartJointRun();

    EXPECT_EQ(bench.runs.JointTimeStep, 0.0);
    EXPECT_FALSE(bench.host.TimingVisible());
    EXPECT_GE(bench.host.ProcessEventsCalls(), 1) << "the one pass handles pending events";
    EXPECT_TRUE(bench.watch.SteppedAfter().empty());
    // Only ClearResults writes: the ten fields, column by column, time before height.
    const auto& writes = bench.host.Writes();
    ASSERT_EQ(writes.size(), 10u);
    for (std::size_t i = 0; i < writes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(writes[i].kind, AllKinds[i / 2]);
        EXPECT_EQ(writes[i].field, i % 2 == 0 ? ResultField::Time : ResultField::Height);
        EXPECT_EQ(writes[i].text, BlankResult);
    }
    for (SimulatorKind kind : AllKinds) {
        SCOPED_TRACE(NameOf(kind));
        EXPECT_TRUE(bench.host.InfoPanelHidden(kind));
        EXPECT_EQ(bench.sim.jumper(kind).Velocity, launchSpeedFor(24)) << "back at its start";
    }
    EXPECT_TRUE(bench.scene.presented() == restScene()) << "five crouching figures";
    EXPECT_TRUE(bench.host.ControlsEnabled());
    EXPECT_FALSE(bench.runs.IsRunning());
}

TEST(JointRunScene, LandedAndUntickedColumnsShowTheCrouchingFigureWhileOthersFly) {
    RunBench bench;
    bench.host.SelectOnly({SimulatorKind::Earth, SimulatorKind::Moon});
    const QImage rest = restScene();
    bool looked = false;
    bench.onPass = [&](int call) {
        if (call != 600) // Earth landed in pass 195, the Moon lands in pass 1174
            return;
        looked = true;
        const QImage& shown = bench.scene.presented();
        EXPECT_TRUE(column(shown, SimulatorKind::Earth) == column(rest, SimulatorKind::Earth));
        EXPECT_FALSE(column(shown, SimulatorKind::Moon) == column(rest, SimulatorKind::Moon));
        for (SimulatorKind kind :
             {SimulatorKind::Spring, SimulatorKind::Counterweight, SimulatorKind::Rope})
            EXPECT_TRUE(column(shown, kind) == column(rest, kind)) << NameOf(kind);
        EXPECT_EQ(bench.host.Text(SimulatorKind::Earth, ResultField::Time), QStringLiteral("0,49"));
        EXPECT_EQ(bench.host.Text(SimulatorKind::Moon, ResultField::Time), BlankResult);
    };
    bench.runs.StartJointRun();
    EXPECT_TRUE(looked);
    EXPECT_TRUE(bench.scene.presented() == rest) << "all landed: five crouching figures";
}

} // namespace
