// Cost of the jump models: one step per kind, and the longest jump the sliders allow.
//
// Each kind's floor is the same step rule evaluated in plain double arithmetic with the
// same slider reads, landing test and restart: what the step would cost without the
// extended-precision evaluation the models use. Both run as repetitions in this process;
// the summary lines (see Report.h) give min / median / max over the repetitions, in
// processor time per step, which other load on the machine disturbs least.
#include "Report.h"

#include "physics/Constants.h"
#include "physics/Simulation.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

using namespace velquor::physics;

namespace {

constexpr int Repetitions = 10;
constexpr double MinTimeSeconds = 0.1;
const char* const KindNames[] = {"Earth", "Moon", "Spring", "Counterweight", "Rope"};

struct FixedSliders : SliderReader {
    int springConstantPosition() const override { return 327; }
    int ropeLengthPosition() const override { return 8; }
};

Simulation defaultSimulation() {
    Simulation sim;
    sim.LaunchSpeed = launchSpeedFor(24);
    sim.TimeStep = timeStepFor(125);
    sim.PreStretch = preStretchFor(327);
    sim.RopeLength = ropeLengthFor(8);
    return sim;
}

// One step with its landing test; a landed jumper starts over so that every
// measured step is a step in flight.
void BM_StepJumper(benchmark::State& state) {
    const auto kind = static_cast<SimulatorKind>(state.range(0));
    const FixedSliders sliders;
    Simulation sim = defaultSimulation();
    sim.SetStartState(kind);
    for (auto _ : state) {
        sim.StepJumper(kind, sim.TimeStep, sliders);
        if (sim.HasLanded(kind))
            sim.SetStartState(kind);
        benchmark::DoNotOptimize(sim.Jumpers);
    }
    state.SetLabel(KindNames[state.range(0)]);
}
BENCHMARK(BM_StepJumper)
    ->DenseRange(0, SimulatorCount - 1)
    ->Repetitions(Repetitions)
    ->MinTime(MinTimeSeconds);

// The floor: the kind's step rule in double only.
struct PlainJumper {
    double position = 0, velocity = 0, acceleration = 0, peak = 0;
};

void BM_PlainDoubleStep(benchmark::State& state) {
    const auto kind = static_cast<SimulatorKind>(state.range(0));
    const FixedSliders sliders;
    const Simulation sim = defaultSimulation();
    const double dt = sim.TimeStep;
    const double g = static_cast<double>(Gravity);
    const double preStretch = sim.PreStretch;
    const double ropeLength = sim.RopeLength;
    const double ropeFloor = static_cast<double>(RopeFloorFor(ropeLength));
    const double margin = kind == SimulatorKind::Spring ? 0.00001
                          : kind == SimulatorKind::Rope ? 0.0001
                                                        : 0.000001;
    const double constant = kind == SimulatorKind::Moon            ? MoonAcceleration
                            : kind == SimulatorKind::Counterweight ? CounterweightAcceleration
                                                                   : EarthAcceleration;
    const double floorPosition = kind == SimulatorKind::Spring ? -preStretch
                                 : kind == SimulatorKind::Rope ? ropeFloor
                                                               : 0.0;
    PlainJumper j;
    auto start = [&] {
        j.position = floorPosition;
        j.velocity = sim.LaunchSpeed;
        j.peak = floorPosition;
    };
    start();
    for (auto _ : state) {
        switch (kind) {
        case SimulatorKind::Spring:
            j.acceleration = -(sliders.springConstantPosition() / 120.0) * j.position - g;
            break;
        case SimulatorKind::Rope:
            j.acceleration =
                std::sin(j.position / (RopeLengthBase - sliders.ropeLengthPosition())) * -g;
            break;
        default:
            j.acceleration = constant;
            break;
        }
        j.velocity += j.acceleration * dt;
        j.position += j.velocity * dt;
        if (j.position > j.peak)
            j.peak = j.position;
        if (j.position < floorPosition)
            j.position = floorPosition;
        if (j.position < floorPosition + margin)
            start();
        benchmark::DoNotOptimize(j);
    }
    state.SetLabel(KindNames[state.range(0)]);
}
BENCHMARK(BM_PlainDoubleStep)
    ->DenseRange(0, SimulatorCount - 1)
    ->Repetitions(Repetitions)
    ->MinTime(MinTimeSeconds);

// Counterweight at 3.0 m/s with 0.0001 s: 67,278 steps, the longest jump there is.
void BM_WorstCaseJump(benchmark::State& state) {
    const FixedSliders sliders;
    for (auto _ : state) {
        Simulation sim = defaultSimulation();
        sim.LaunchSpeed = launchSpeedFor(30);
        sim.TimeStep = timeStepFor(10);
        sim.SetStartState(SimulatorKind::Counterweight);
        int steps = 0;
        do {
            sim.StepJumper(SimulatorKind::Counterweight, sim.TimeStep, sliders);
            ++steps;
        } while (!sim.HasLanded(SimulatorKind::Counterweight));
        benchmark::DoNotOptimize(steps);
    }
    state.SetLabel("Counterweight 3.0 m/s, 0.0001 s");
}
BENCHMARK(BM_WorstCaseJump)->Unit(benchmark::kMicrosecond)->Repetitions(Repetitions);

// Shows the usual console output and keeps each repetition's time per iteration.
class CollectingReporter : public benchmark::ConsoleReporter {
  public:
    // Plain tabular text: the output goes to a log as well as to the terminal.
    CollectingReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            times[run.run_name.function_name + "/" + run.run_name.args].push_back(
                run.GetAdjustedCPUTime());
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, std::vector<double>> times;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    using velquor::bench::PrintRow;
    using velquor::bench::StatsOf;
    for (int kind = 0; kind < SimulatorCount; ++kind) {
        const std::string arg = std::to_string(kind);
        const auto figure = reporter.times.find("BM_StepJumper/" + arg);
        const auto floor = reporter.times.find("BM_PlainDoubleStep/" + arg);
        if (figure == reporter.times.end() || floor == reporter.times.end())
            continue;
        PrintRow(std::string("StepJumper ") + KindNames[kind], "ns cpu", StatsOf(figure->second),
                 "same step in plain double", StatsOf(floor->second));
    }
    return 0;
}
