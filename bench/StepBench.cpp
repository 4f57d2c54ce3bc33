// Cost of the jump models: one step per kind, and the longest jump the sliders allow.
#include "physics/Simulation.h"

#include <benchmark/benchmark.h>

using namespace velquor::physics;

namespace {

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
    static const char* names[] = {"Earth", "Moon", "Spring", "Counterweight", "Rope"};
    state.SetLabel(names[state.range(0)]);
}
BENCHMARK(BM_StepJumper)->DenseRange(0, SimulatorCount - 1);

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
BENCHMARK(BM_WorstCaseJump)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
