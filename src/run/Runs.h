#pragma once
// The jumps: one simulator alone (a single run), or all ticked ones together (the joint
// run). A run is a loop inside a click handler; it reaches the window only through
// RunHost and draws into the scene's bitmap.

#include "RunHost.h"
#include "physics/Simulation.h"

#include <array>

namespace velquor::scene {
class Scene;
}

namespace velquor::run {

// The order in which a joint pass handles the simulators: the counterweight before the
// spring, although its column lies to the right of the spring's.
inline constexpr std::array<SimulatorKind, physics::SimulatorCount> JointPassOrder{
    SimulatorKind::Earth, SimulatorKind::Moon, SimulatorKind::Counterweight,
    SimulatorKind::Spring, SimulatorKind::Rope};

class Runs {
public:
    Runs(physics::Simulation& simulation, scene::Scene& scene, RunHost& host);

    void RunEarthJump() { RunSingleJump(SimulatorKind::Earth); }
    void RunMoonJump() { RunSingleJump(SimulatorKind::Moon); }
    void RunSpringJump() { RunSingleJump(SimulatorKind::Spring); }
    void RunCounterweightJump() { RunSingleJump(SimulatorKind::Counterweight); }
    void RunRopeJump() { RunSingleJump(SimulatorKind::Rope); }
    void RunSingleJump(SimulatorKind kind);

    // "gemeinsamer Start". Pressed during a joint run it restarts that run in place: the
    // nested press only asks for the restart, and the running loop carries it out.
    void StartJointRun();

    bool IsRunning() const { return depth_ > 0; }
    int Depth() const { return depth_; }
    int MaxDepth() const { return maxDepth_; }
    int Restarts() const { return restarts_; }

    double JointTimeStep = 0;
    std::array<int, physics::SimulatorCount> Running{};

private:
    enum class Outcome { Finished, RestartRequested };

    void PrepareJointRun();
    void ClearResults();
    Outcome RunJointJumps();

    void TakeOff(SimulatorKind kind);
    void MoveFigure(SimulatorKind kind);
    void DrawLanding(SimulatorKind kind);
    int FigureHeightAt(SimulatorKind kind, double position) const;
    QString Format(double value) const;
    // Input that waited while the controls were disabled meets them still disabled, so a
    // click on a start button made during a run never starts another run after it.
    void FinishRun();

    void Enter();
    void Leave();

    physics::Simulation& sim_;
    scene::Scene& scene_;
    RunHost& host_;

    class SliderAdapter : public physics::SliderReader {
    public:
        explicit SliderAdapter(const RunHost& host) : host_(host) {}
        int springConstantPosition() const override;
        int ropeLengthPosition() const override;

    private:
        const RunHost& host_;
    } sliders_;

    // Height at which each jumper's figure was last drawn, in pixels.
    std::array<int, physics::SimulatorCount> drawnHeight_{};
    bool jointRunning_ = false;
    bool restartRequested_ = false;
    int depth_ = 0;
    int maxDepth_ = 0;
    int restarts_ = 0;
};

} // namespace velquor::run
