// Single runs driven headless through a fake window.

#include "FakeHost.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <string>

using namespace velquor::testing;
using velquor::physics::timeStepFor;
using velquor::run::BlankResult;
using velquor::run::FormatResult;
using velquor::run::Runs;

namespace {

struct KindCase {
    SimulatorKind kind;
    void (Runs::*start)();
};

const KindCase allKinds[] = {
    {SimulatorKind::Earth, &Runs::RunEarthJump},
    {SimulatorKind::Moon, &Runs::RunMoonJump},
    {SimulatorKind::Spring, &Runs::RunSpringJump},
    {SimulatorKind::Counterweight, &Runs::RunCounterweightJump},
    {SimulatorKind::Rope, &Runs::RunRopeJump},
};

void PrintTo(const KindCase& c, std::ostream* os) {
    *os << NameOf(c.kind);
}

std::string kindName(const ::testing::TestParamInfo<KindCase>& info) {
    return NameOf(info.param.kind);
}

// Position of the last `call` in the host's log, or -1.
long lastIndexOf(const std::vector<HostCall>& calls, HostCall call) {
    const auto it = std::find(calls.rbegin(), calls.rend(), call);
    return it == calls.rend() ? -1 : static_cast<long>(calls.rend() - it) - 1;
}

long firstIndexOf(const std::vector<HostCall>& calls, HostCall call) {
    const auto it = std::find(calls.begin(), calls.end(), call);
    return it == calls.end() ? -1 : static_cast<long>(it - calls.begin());
}

// ---- The frame of every single run ------------------------------------------------------

class SingleRunFrame : public ::testing::TestWithParam<KindCase> {
protected:
    RunBench bench;
};

TEST_P(SingleRunFrame, KeepsControlsDisabledWheneverEventsAreProcessed) {
    const KindCase& c = GetParam();
    std::vector<bool> enabledAtCall;
    bench.onPass = [&](int) {
        enabledAtCall.push_back(bench.host.ControlsEnabled());
        EXPECT_TRUE(bench.runs.IsRunning());
    };
    (bench.runs.*c.start)();

    const auto& calls = bench.host.Calls();
    ASSERT_FALSE(enabledAtCall.empty());
    // A click that waited in the queue must meet its button still disabled: no event is
    // handled with the controls enabled, also not after the landing.
    EXPECT_EQ(std::count(enabledAtCall.begin(), enabledAtCall.end(), true), 0);
    EXPECT_EQ(firstIndexOf(calls, HostCall::ControlsDisabled), 0) << "disabling comes first";
    EXPECT_EQ(std::count(calls.begin(), calls.end(), HostCall::ControlsEnabled), 1);
    EXPECT_EQ(lastIndexOf(calls, HostCall::ControlsEnabled), static_cast<long>(calls.size()) - 1)
        << "enabling comes last";
    EXPECT_EQ(firstIndexOf(calls, HostCall::JointStartEnabled), -1);
    EXPECT_TRUE(bench.host.ControlsEnabled());
    EXPECT_FALSE(bench.runs.IsRunning());
}

TEST_P(SingleRunFrame, BlanksThenFillsOnlyItsOwnColumn) {
    const KindCase& c = GetParam();
    (bench.runs.*c.start)();

    const auto& writes = bench.host.Writes();
    ASSERT_EQ(writes.size(), 4u);
    for (const ResultWrite& w : writes)
        EXPECT_EQ(w.kind, c.kind);
    EXPECT_EQ(writes[0].text, BlankResult);
    EXPECT_EQ(writes[1].text, BlankResult);
    EXPECT_NE(writes[0].field, writes[1].field);
    EXPECT_NE(writes[2].field, writes[3].field);
    for (SimulatorKind kind : velquor::physics::AllKinds)
        EXPECT_EQ(bench.host.InfoPanelHidden(kind), kind == c.kind) << NameOf(kind);
}

TEST_P(SingleRunFrame, OnlyTheMoonRunProcessesEventsInsideItsLoop) {
    const KindCase& c = GetParam();
    const bool moon = c.kind == SimulatorKind::Moon;
    (bench.runs.*c.start)();

    const double steps = bench.sim.TotalTime / bench.sim.TimeStep;
    ASSERT_NEAR(steps, std::round(steps), 1e-6);
    // Once before the loop; the Moon run once more before every step.
    const int expectedBeforeResults = moon ? 1 + static_cast<int>(std::lround(steps)) : 1;
    const auto& writes = bench.host.Writes();
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(writes[0].call, 0) << "the fields are blanked before events are processed";
    EXPECT_EQ(writes[2].call, expectedBeforeResults);
    EXPECT_EQ(bench.host.TimingVisible(), moon);
    EXPECT_EQ(bench.host.TimingText().isNull(), !moon) << "only the Moon run writes the timing";
}

INSTANTIATE_TEST_SUITE_P(Kinds, SingleRunFrame, ::testing::ValuesIn(allKinds), kindName);

// ---- Take-off speed 0 -------------------------------------------------------------------

class SingleRunAtSpeedZero : public ::testing::TestWithParam<KindCase> {};

TEST_P(SingleRunAtSpeedZero, TakesOneStepAndPresentsOnlyTheLandingPicture) {
    const KindCase& c = GetParam();
    RunBench bench;
    bench.host.SetSlider(Slider::TakeOffSpeed, 0);
    bench.scene.DrawRestScene();
    bench.scene.Present();
    const QImage rest = bench.scene.presented().copy();

    (bench.runs.*c.start)();

    EXPECT_EQ(bench.sim.TotalTime, bench.sim.TimeStep) << "exactly one step";
    EXPECT_EQ(bench.host.PresentCalls(), 1) << "the jumper never moved; only the landing shows";
    EXPECT_EQ(bench.host.Text(c.kind, ResultField::Time), QStringLiteral("0,00"));
    EXPECT_EQ(bench.host.Text(c.kind, ResultField::Height), QStringLiteral("0,00"));
    const auto& calls = bench.host.Calls();
    EXPECT_GT(lastIndexOf(calls, HostCall::PresentScene),
              lastIndexOf(calls, HostCall::ResultWritten));
    // The crouching figure is back at the foot of its column, drawn over its own erasure.
    EXPECT_TRUE(bench.scene.presented() == rest);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SingleRunAtSpeedZero, ::testing::ValuesIn(allKinds), kindName);

// ---- The Moon run's computer time -------------------------------------------------------

struct TimingCase {
    const char* name;
    std::uint32_t start;     // the counter at the first reading
    std::uint32_t elapsed;   // milliseconds between the first and every later reading
    std::uint32_t perEvents; // or: how far the counter moves per event processing
    const char* separator;
    const char* shown;
};

void PrintTo(const TimingCase& c, std::ostream* os) {
    *os << c.name;
}

std::string timingName(const ::testing::TestParamInfo<TimingCase>& info) {
    return info.param.name;
}

class MoonComputerTime : public ::testing::TestWithParam<TimingCase> {};

TEST_P(MoonComputerTime, ShowsTheTicksBetweenStartAndLandingModulo2To32) {
    const TimingCase& c = GetParam();
    RunBench bench;
    bench.host.SetSeparator(QString::fromLatin1(c.separator));
    std::uint32_t counter = c.start;
    int reads = 0;
    if (c.perEvents != 0) {
        bench.onPass = [&](int) { counter += c.perEvents; };
        bench.host.tickSource = [&] { return counter; };
    } else {
        bench.host.tickSource = [&] { return reads++ == 0 ? c.start : c.start + c.elapsed; };
    }
    bench.runs.RunMoonJump();

    EXPECT_EQ(
        bench.host.TimingText(),
        QStringLiteral("Computerzeit für Mondsprung: %1 s").arg(QString::fromLatin1(c.shown)));
    EXPECT_TRUE(bench.host.TimingVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Counters, MoonComputerTime,
    ::testing::Values(TimingCase{"Plain", 1000, 2940, 0, ",", "2,94"},
                      TimingCase{"WrapsBetweenReadings", 0xFFFFFA00u, 2940, 0, ",", "2,94"},
                      TimingCase{"StartsAtMaximum", 0xFFFFFFFFu, 2940, 0, ",", "2,94"},
                      TimingCase{"EndsAtZero", 0xFFFFFFFFu - 2939, 2940, 0, ",", "2,94"},
                      TimingCase{"HalfMillisecondRoundsUp", 5, 1005, 0, ",", "1,01"},
                      TimingCase{"NoTimePassed", 0x80000000u, 0, 0, ",", "0,00"},
                      TimingCase{"LongRun", 0xF0000000u, 123456, 0, ",", "123,46"},
                      TimingCase{"PointSeparator", 0xFFFFFA00u, 2940, 0, ".", "2.94"},
                      // 2348 steps at the start settings, each after one event processing, 2 ms
                      // apiece: 4696 ms, and the counter passes 2^32 on the way.
                      TimingCase{"WrapsDuringTheRun", 0xFFFFF000u, 0, 2, ",", "4,70"}),
    timingName);

// ---- The simulation-speed slider during a Moon run -------------------------------------

struct SpeedChange {
    int beforeStep; // the event processing in front of this step moves the slider
    int position;
};

struct SpeedCase {
    const char* name;
    std::vector<SpeedChange> changes;
};

void PrintTo(const SpeedCase& c, std::ostream* os) {
    *os << c.name;
}

std::string speedName(const ::testing::TestParamInfo<SpeedCase>& info) {
    return info.param.name;
}

class MoonSpeedChange : public ::testing::TestWithParam<SpeedCase> {};

TEST_P(MoonSpeedChange, StepsWithTheNewStepAndShowsTheSumOfStepsTaken) {
    const SpeedCase& c = GetParam();
    RunBench bench;
    struct Seen {
        double velocity;
        double timeStep;
    };
    std::vector<Seen> seen; // at each event processing inside the loop
    bench.onPass = [&](int call) {
        if (call == 1)
            return; // the one before the loop
        const int step = call - 1;
        for (const SpeedChange& change : c.changes) {
            if (change.beforeStep == step) {
                // What the window's slider handler does.
                bench.host.SetSlider(Slider::SimulationSpeed, change.position);
                bench.sim.TimeStep = timeStepFor(change.position);
            }
        }
        seen.push_back({bench.sim.jumper(SimulatorKind::Moon).Velocity, bench.sim.TimeStep});
    };
    bench.runs.RunMoonJump();
    seen.push_back({bench.sim.jumper(SimulatorKind::Moon).Velocity, bench.sim.TimeStep});

    // Every step took the step size current at its start; the shown time adds them up.
    double sum = 0;
    int steps = 0;
    bool sawChangedStep = false;
    for (std::size_t i = 0; i + 1 < seen.size(); ++i) {
        const double dv = seen[i + 1].velocity - seen[i].velocity;
        if (dv == 0)
            continue; // no step followed (the event processing after the landing)
        SCOPED_TRACE(::testing::Message() << "step " << i + 1);
        EXPECT_NEAR(dv, -1.635 * seen[i].timeStep, 1e-12);
        sum += seen[i].timeStep;
        sawChangedStep = sawChangedStep || seen[i].timeStep != 0.00125;
        ++steps;
    }
    ASSERT_TRUE(sawChangedStep) << "the run ended before the slider moved";
    EXPECT_NEAR(bench.sim.TotalTime, sum, 1e-9);
    EXPECT_EQ(bench.host.Text(SimulatorKind::Moon, ResultField::Time), FormatResult(sum, ","));
    EXPECT_NE(sum, steps * 0.00125);
}

INSTANTIATE_TEST_SUITE_P(Schedules, MoonSpeedChange,
                         ::testing::Values(SpeedCase{"FasterMidFlight", {{1000, 250}}},
                                           SpeedCase{"SlowerFromTheSecondStep", {{2, 10}}},
                                           SpeedCase{"FasterThenSlower", {{300, 250}, {700, 40}}},
                                           SpeedCase{"SeveralSmallChanges",
                                                     {{100, 126}, {101, 127}, {102, 128}}}),
                         speedName);

} // namespace
