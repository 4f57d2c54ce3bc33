// "gemeinsamer Start" pressed again while the joint run is in progress: the press arrives
// from the run's own event processing, nested in the running loop.

#include "FakeHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace velquor::testing;
using velquor::physics::AllKinds;
using velquor::physics::SimulatorCount;
using velquor::run::BlankResult;

namespace {

using Kinds = std::vector<SimulatorKind>;
const Kinds earthAndMoon{SimulatorKind::Earth, SimulatorKind::Moon};
const Kinds everyKind(AllKinds.begin(), AllKinds.end());

// Stand-ins for event processings whose number depends on the run.
constexpr int LastPass = -1;            // the pass in which the last jumper lands
constexpr int LastEventProcessing = -2; // the run's last event processing of all

struct Reference {
    std::vector<ResultWrite> writes;
    int eventProcessings = 0;
    int lastPass = 0;
    std::array<double, SimulatorCount> peaks{};
};

Reference uninterrupted(const Kinds& selected) {
    RunBench bench;
    bench.host.SelectOnly(selected);
    bench.runs.StartJointRun();
    Reference r;
    r.writes = bench.host.Writes();
    r.eventProcessings = bench.host.ProcessEventsCalls();
    r.lastPass = bench.watch.SteppedAfter().back();
    for (SimulatorKind kind : AllKinds)
        r.peaks[velquor::physics::indexOf(kind)] = bench.sim.jumper(kind).Peak;
    return r;
}

struct RestartCase {
    const char* name;
    Kinds selected;
    std::vector<int> pressAt; // event processings (counted from the first start) with presses
    int pressesEach;
};

void PrintTo(const RestartCase& c, std::ostream* os) {
    *os << c.name;
}

std::string restartName(const ::testing::TestParamInfo<RestartCase>& info) {
    return info.param.name;
}

class JointRestart : public ::testing::TestWithParam<RestartCase> {};

TEST_P(JointRestart, LeavesOneFreshRunWithoutNesting) {
    const RestartCase& c = GetParam();
    const Reference ref = uninterrupted(c.selected);
    std::vector<int> pressAt;
    for (int at : c.pressAt)
        pressAt.push_back(at == LastPass              ? ref.lastPass
                          : at == LastEventProcessing ? ref.eventProcessings
                                                      : at);

    RunBench bench;
    bench.host.SelectOnly(c.selected);
    int pressCalls = 0;
    int lastPressCall = 0;
    std::size_t writesBeforeLastPress = 0;
    bench.onPass = [&](int call) {
        EXPECT_EQ(bench.runs.Depth(), 1);
        EXPECT_FALSE(bench.host.ControlsEnabled());
        EXPECT_TRUE(bench.host.JointStartEnabled()) << "the joint start must stay pressable";
        if (std::find(pressAt.begin(), pressAt.end(), call) == pressAt.end())
            return;
        ++pressCalls;
        lastPressCall = call;
        writesBeforeLastPress = bench.host.Writes().size();
        for (int i = 0; i < c.pressesEach; ++i) {
            bench.runs.StartJointRun();
            EXPECT_LE(bench.runs.Depth(), 1);
        }
        EXPECT_EQ(bench.host.Writes().size(), writesBeforeLastPress)
            << "a press inside the run only asks for the restart";
    };
    bench.runs.StartJointRun();

    ASSERT_EQ(pressCalls, static_cast<int>(pressAt.size())) << "not every press was made";
    EXPECT_EQ(bench.runs.MaxDepth(), 1);
    EXPECT_FALSE(bench.runs.IsRunning());
    EXPECT_EQ(bench.runs.Restarts(), pressCalls);
    EXPECT_TRUE(bench.host.ControlsEnabled());

    // From the last press on, the texts and their passes are exactly those of an
    // uninterrupted run: the interrupted run writes nothing of its own after the press.
    std::vector<ResultWrite> afterPress(bench.host.Writes().begin() + writesBeforeLastPress,
                                        bench.host.Writes().end());
    for (ResultWrite& w : afterPress)
        w.call -= lastPressCall;
    const std::size_t common = std::min(afterPress.size(), ref.writes.size());
    for (std::size_t i = 0; i < common; ++i)
        ASSERT_EQ(afterPress[i], ref.writes[i]) << "write " << i << " after the last press";
    EXPECT_EQ(afterPress.size(), ref.writes.size());
    EXPECT_EQ(bench.host.ProcessEventsCalls() - lastPressCall, ref.eventProcessings);
    for (SimulatorKind kind : AllKinds)
        EXPECT_EQ(bench.sim.jumper(kind).Peak, ref.peaks[velquor::physics::indexOf(kind)])
            << NameOf(kind);
}

INSTANTIATE_TEST_SUITE_P(
    Presses, JointRestart,
    ::testing::Values(
        RestartCase{"InTheFirstPass", earthAndMoon, {1}, 1},
        RestartCase{"ManyTimesInTheFirstPass", earthAndMoon, {1}, 7},
        RestartCase{"BeforeAnyLanding", earthAndMoon, {100}, 1},
        RestartCase{"AfterTheEarthLanded", earthAndMoon, {300}, 3},
        RestartCase{"InTheLastPass", earthAndMoon, {LastPass}, 1},
        RestartCase{"WhileTheLastResultsAreShown", earthAndMoon, {LastEventProcessing}, 1},
        RestartCase{"InEveryOneOfManyPasses", earthAndMoon, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 1},
        RestartCase{"AtVariousPasses", earthAndMoon, {10, 250, 251, 900, 2000}, 2},
        RestartCase{"AllFiveAtVariousPasses", everyKind, {1, 78, 500, 1300}, 4}),
    restartName);

TEST(JointRestartSettings, NewRunTakesTheSlidersAsTheyAreAtThePress) {
    RunBench bench;
    bench.host.SelectOnly(earthAndMoon);
    int pressCall = 0;
    bench.onPass = [&](int call) {
        if (call != 50)
            return;
        pressCall = call;
        bench.host.SetSlider(Slider::TakeOffSpeed, 0);
        bench.host.SetSlider(Slider::SimulationSpeed, 250);
        bench.runs.StartJointRun();
    };
    bench.runs.StartJointRun();

    ASSERT_EQ(pressCall, 50);
    EXPECT_EQ(bench.runs.JointTimeStep, 0.005) << "two boxes times 0.0025 s";
    const Landings landings = LandingsIn(bench.host.Writes(), 0, pressCall);
    for (SimulatorKind kind : earthAndMoon) {
        SCOPED_TRACE(NameOf(kind));
        EXPECT_EQ(landings.pass[velquor::physics::indexOf(kind)], 1) << "at take-off speed 0";
        EXPECT_EQ(bench.host.Text(kind, ResultField::Time), QStringLiteral("0,00"));
        EXPECT_EQ(bench.host.Text(kind, ResultField::Height), QStringLiteral("0,00"));
    }
    EXPECT_EQ(bench.watch.SteppedAfter().back(), pressCall + 1) << "one pass after the restart";
}

} // namespace
