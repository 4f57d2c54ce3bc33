#include "Runs.h"

#include "ResultText.h"
#include "scene/Scene.h"

namespace velquor::run {

using physics::ColumnX;
using physics::indexOf;

namespace {

// Sums are evaluated at extended precision and stored once, like every simulation value.
inline double accumulate(double total, double step) {
    return static_cast<double>(static_cast<long double>(total) + step);
}

} // namespace

int Runs::SliderAdapter::springConstantPosition() const {
    return host_.SliderPosition(Slider::SpringConstant);
}
int Runs::SliderAdapter::ropeLengthPosition() const {
    return host_.SliderPosition(Slider::RopeLength);
}

Runs::Runs(physics::Simulation& simulation, scene::Scene& scene, RunHost& host)
    : sim_(simulation), scene_(scene), host_(host), sliders_(host) {}

void Runs::Enter() {
    ++depth_;
    if (depth_ > maxDepth_)
        maxDepth_ = depth_;
}

void Runs::Leave() { --depth_; }

int Runs::FigureHeightAt(SimulatorKind kind, double position) const {
    return physics::FigureHeight(sim_.HeightAboveFloor(kind, position));
}

QString Runs::Format(double value) const { return FormatResult(value, host_.DecimalSeparator()); }

void Runs::TakeOff(SimulatorKind kind) {
    scene_.DrawCrouchFigure(ColumnX(kind), 0, scene::White);
    drawnHeight_[indexOf(kind)] = 0;
}

// The figure is erased where it was drawn. That is where the position before the step
// puts it, unless a handler moved the jumper between two steps (closing the spring's
// panel puts the spring back on its floor): then the figure drawn at the old height must
// still go, or it would stay behind in the scene.
void Runs::MoveFigure(SimulatorKind kind) {
    const int x = ColumnX(kind);
    int& drawn = drawnHeight_[indexOf(kind)];
    scene_.DrawStretchFigure(x, drawn, scene::White);
    drawn = FigureHeightAt(kind, sim_.jumper(kind).Position);
    scene_.DrawStretchFigure(x, drawn, scene::Black);
    host_.PresentScene();
}

void Runs::DrawLanding(SimulatorKind kind) {
    const int x = ColumnX(kind);
    int& drawn = drawnHeight_[indexOf(kind)];
    const int landed = FigureHeightAt(kind, sim_.jumper(kind).Position);
    scene_.DrawStretchFigure(x, drawn, scene::White);
    drawn = landed;
    scene_.DrawStretchFigure(x, landed, scene::White);
    scene_.DrawCrouchFigure(x, landed, scene::Black);
    host_.PresentScene();
}

void Runs::FinishRun() {
    host_.ProcessEvents();
    host_.SetControlsEnabled(true);
}

void Runs::RunSingleJump(SimulatorKind kind) {
    Enter();
    const bool moon = kind == SimulatorKind::Moon;
    host_.SetControlsEnabled(false);
    host_.SetResultText(kind, ResultField::Time, BlankResult);
    host_.SetResultText(kind, ResultField::Height, BlankResult);
    if (moon)
        host_.SetTimingText(BlankResult);
    host_.SetTimingVisible(moon);
    host_.ProcessEvents(); // paints the disabled controls and blank fields before the loop

    const std::uint32_t startTick = moon ? host_.TickCount() : 0;
    host_.HideInfoPanel(kind);
    if (kind == SimulatorKind::Spring)
        sim_.PreStretch = physics::preStretchFor(host_.SliderPosition(Slider::SpringConstant));
    if (kind == SimulatorKind::Rope)
        sim_.RopeLength = physics::ropeLengthFor(host_.SliderPosition(Slider::RopeLength));
    sim_.LaunchSpeed = physics::launchSpeedFor(host_.SliderPosition(Slider::TakeOffSpeed));
    sim_.TimeStep = physics::timeStepFor(host_.SliderPosition(Slider::SimulationSpeed));
    sim_.TotalTime = 0;
    sim_.SetStartState(kind);
    TakeOff(kind);

    do {
        // Only the Moon run stays responsive; the simulation-speed slider may change
        // TimeStep here, and the next step uses it.
        if (moon)
            host_.ProcessEvents();
        const double previous = sim_.StepJumper(kind, sim_.TimeStep, sliders_);
        if (sim_.jumper(kind).Position != previous)
            MoveFigure(kind);
        sim_.TotalTime = accumulate(sim_.TotalTime, sim_.TimeStep);
    } while (!sim_.HasLanded(kind));

    host_.SetResultText(kind, ResultField::Time, Format(sim_.TotalTime));
    host_.SetResultText(kind, ResultField::Height,
                        Format(sim_.HeightAboveFloor(kind, sim_.jumper(kind).Peak)));
    DrawLanding(kind);
    if (moon) {
        const std::uint32_t elapsed = host_.TickCount() - startTick; // modulo 2^32
        host_.SetTimingText(QStringLiteral("Computerzeit für Mondsprung: ") +
                            Format(elapsed / 1000.0) + QStringLiteral(" s"));
    }
    FinishRun();
    Leave();
}

void Runs::ClearResults() {
    for (SimulatorKind kind : physics::AllKinds) {
        host_.SetResultText(kind, ResultField::Time, BlankResult);
        host_.SetResultText(kind, ResultField::Height, BlankResult);
    }
    host_.SetTimingVisible(false);
}

void Runs::PrepareJointRun() {
    sim_.TimeStep = physics::timeStepFor(host_.SliderPosition(Slider::SimulationSpeed));
    ClearResults();
    host_.SetControlsEnabled(false);
    host_.SetJointStartEnabled(true);
    for (SimulatorKind kind : physics::AllKinds)
        host_.HideInfoPanel(kind);
    host_.RedrawScene();

    int selected = 0;
    for (SimulatorKind kind : physics::AllKinds) {
        if (host_.IsSelected(kind)) {
            TakeOff(kind);
            ++selected;
        }
    }
    JointTimeStep = static_cast<double>(static_cast<long double>(selected) * sim_.TimeStep);
    sim_.PreStretch = physics::preStretchFor(host_.SliderPosition(Slider::SpringConstant));
    sim_.LaunchSpeed = physics::launchSpeedFor(host_.SliderPosition(Slider::TakeOffSpeed));
    sim_.RopeLength = physics::ropeLengthFor(host_.SliderPosition(Slider::RopeLength));
    for (SimulatorKind kind : physics::AllKinds)
        sim_.SetStartState(kind); // every jumper, ticked or not, back on its floor
}

Runs::Outcome Runs::RunJointJumps() {
    std::array<double, physics::SimulatorCount> elapsed{};
    Running.fill(0);

    int running = 0;
    do {
        host_.ProcessEvents();
        if (restartRequested_)
            return Outcome::RestartRequested;
        for (SimulatorKind kind : JointPassOrder) {
            if (!host_.IsSelected(kind))
                continue;
            const int i = indexOf(kind);
            Running[i] = 1;
            const double previous = sim_.StepJumper(kind, JointTimeStep, sliders_);
            if (sim_.jumper(kind).Position != previous)
                MoveFigure(kind);
            if (sim_.HasLanded(kind)) {
                Running[i] = 0;
                host_.SetResultText(kind, ResultField::Time, Format(elapsed[i]));
                host_.SetResultText(kind, ResultField::Height,
                                    Format(sim_.HeightAboveFloor(kind, sim_.jumper(kind).Peak)));
                DrawLanding(kind);
            } else {
                elapsed[i] = accumulate(elapsed[i], JointTimeStep);
            }
        }
        running = 0;
        for (int value : Running)
            running += value;
    } while (running > 0);
    return Outcome::Finished;
}

void Runs::StartJointRun() {
    if (jointRunning_) {
        restartRequested_ = true;
        return;
    }
    jointRunning_ = true;
    Enter();
    for (;;) {
        restartRequested_ = false;
        PrepareJointRun();
        if (RunJointJumps() == Outcome::RestartRequested) {
            ++restarts_;
            continue;
        }
        // A press that arrives while the last results are written still restarts.
        host_.ProcessEvents();
        if (!restartRequested_)
            break;
        ++restarts_;
    }
    host_.SetControlsEnabled(true);
    Leave();
    jointRunning_ = false;
}

} // namespace velquor::run
