#pragma once
// A window stand-in for driving the runs headless. It keeps what a run told it (texts per
// field, enabled states, a log of calls in order) and numbers every call of ProcessEvents:
// a joint run processes events once at the top of each pass, so the number of calls made
// so far is the number of the pass that is being computed.

#include "Printers.h"
#include "physics/Simulation.h"
#include "run/ResultText.h"
#include "run/RunHost.h"
#include "run/Runs.h"
#include "scene/Scene.h"

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace velquor::testing {

using physics::SimulatorKind;
using run::ResultField;
using run::Slider;

// One text a run wrote into a result field, with the ProcessEvents call it followed.
struct ResultWrite {
    SimulatorKind kind;
    ResultField field;
    QString text;
    int call; // ProcessEvents calls made before this write

    bool operator==(const ResultWrite&) const = default;
};

// The kinds of host calls whose order the tests look at.
enum class HostCall {
    ControlsDisabled,
    ControlsEnabled,
    JointStartDisabled,
    JointStartEnabled,
    ResultWritten,
    ProcessEvents,
    PresentScene,
    RedrawScene,
};

class FakeHost : public run::RunHost {
public:
    FakeHost() = default;
    // Presenting then publishes the scene's bitmap, as the window does.
    explicit FakeHost(scene::Scene& scene) : scene_(&scene) {}

    // ---- Settings a test makes ----
    void SetSlider(Slider slider, int position) { sliders_[static_cast<int>(slider)] = position; }
    void SelectOnly(const std::vector<SimulatorKind>& kinds) {
        selected_.fill(false);
        for (SimulatorKind kind : kinds)
            selected_[physics::indexOf(kind)] = true;
    }
    void SetSeparator(const QString& separator) { separator_ = separator; }

    // Called inside every ProcessEvents with the number of that call (1 for the first).
    std::function<void(int call)> onProcessEvents;
    std::function<std::uint32_t()> tickSource = [] { return std::uint32_t{0}; };

    // ---- What a run left ----
    QString Text(SimulatorKind kind, ResultField field) const {
        return texts_[physics::indexOf(kind)][field == ResultField::Time ? 0 : 1];
    }
    const std::vector<ResultWrite>& Writes() const { return writes_; }
    const std::vector<HostCall>& Calls() const { return calls_; }
    int ProcessEventsCalls() const { return processEventsCalls_; }
    int PresentCalls() const { return presentCalls_; }
    bool ControlsEnabled() const { return controlsEnabled_; }
    bool JointStartEnabled() const { return jointStartEnabled_; }
    bool TimingVisible() const { return timingVisible_; }
    QString TimingText() const { return timingText_; }
    bool InfoPanelHidden(SimulatorKind kind) const { return panelHidden_[physics::indexOf(kind)]; }

    // ---- RunHost ----
    void SetControlsEnabled(bool enabled) override {
        controlsEnabled_ = enabled;
        jointStartEnabled_ = enabled; // "gemeinsamer Start" is one of the sixteen
        calls_.push_back(enabled ? HostCall::ControlsEnabled : HostCall::ControlsDisabled);
    }
    void SetJointStartEnabled(bool enabled) override {
        jointStartEnabled_ = enabled;
        calls_.push_back(enabled ? HostCall::JointStartEnabled : HostCall::JointStartDisabled);
    }
    void SetResultText(SimulatorKind kind, ResultField field, const QString& text) override {
        texts_[physics::indexOf(kind)][field == ResultField::Time ? 0 : 1] = text;
        writes_.push_back({kind, field, text, processEventsCalls_});
        calls_.push_back(HostCall::ResultWritten);
    }
    void SetTimingText(const QString& text) override { timingText_ = text; }
    void SetTimingVisible(bool visible) override { timingVisible_ = visible; }
    void HideInfoPanel(SimulatorKind kind) override { panelHidden_[physics::indexOf(kind)] = true; }
    bool IsSelected(SimulatorKind kind) const override { return selected_[physics::indexOf(kind)]; }
    int SliderPosition(Slider slider) const override { return sliders_[static_cast<int>(slider)]; }
    QString DecimalSeparator() const override { return separator_; }
    void ProcessEvents() override {
        const int call = ++processEventsCalls_;
        calls_.push_back(HostCall::ProcessEvents);
        if (onProcessEvents)
            onProcessEvents(call);
    }
    void PresentScene() override {
        ++presentCalls_;
        calls_.push_back(HostCall::PresentScene);
        if (scene_ != nullptr)
            scene_->Present();
    }
    void RedrawScene() override {
        calls_.push_back(HostCall::RedrawScene);
        if (scene_ != nullptr) {
            scene_->DrawRestScene();
            scene_->Present();
        }
    }
    std::uint32_t TickCount() override { return tickSource(); }

private:
    scene::Scene* scene_ = nullptr;
    std::array<std::array<QString, 2>, physics::SimulatorCount> texts_; // null: never written
    std::array<bool, physics::SimulatorCount> selected_{true, true, false, false, false};
    std::array<bool, physics::SimulatorCount> panelHidden_{};
    std::array<int, 4> sliders_{327, 8, 24, 125}; // the window's start positions
    QString separator_ = QStringLiteral(",");
    QString timingText_; // null: never written
    bool timingVisible_ = false;
    bool controlsEnabled_ = true;
    bool jointStartEnabled_ = true;
    int processEventsCalls_ = 0;
    int presentCalls_ = 0;
    std::vector<ResultWrite> writes_;
    std::vector<HostCall> calls_;
};

// Tells after which event processings jumpers were stepped. Every step changes its
// jumper's velocity (no model's acceleration is ever zero, on the floor or above it), so a
// pass shows as a change of velocities between one event processing and the next.
class StepWatch {
public:
    explicit StepWatch(const physics::Simulation& sim) : sim_(sim) {}

    void Snapshot() { snapshots_.push_back(Velocities()); }

    // The numbers of the snapshots (1 for the first) that some step followed.
    std::vector<int> SteppedAfter() const {
        std::vector<int> calls;
        for (std::size_t i = 0; i < snapshots_.size(); ++i) {
            const auto& next = i + 1 < snapshots_.size() ? snapshots_[i + 1] : Velocities();
            if (next != snapshots_[i])
                calls.push_back(static_cast<int>(i) + 1);
        }
        return calls;
    }

private:
    std::array<double, physics::SimulatorCount> Velocities() const {
        std::array<double, physics::SimulatorCount> v{};
        for (SimulatorKind kind : physics::AllKinds)
            v[physics::indexOf(kind)] = sim_.jumper(kind).Velocity;
        return v;
    }

    const physics::Simulation& sim_;
    std::vector<std::array<double, physics::SimulatorCount>> snapshots_;
};

// The real simulation and scene, the fake window, and the runs between them. A test's own
// code for the event processing goes into onPass; the bench watches the steps around it.
struct RunBench {
    RunBench() {
        host.onProcessEvents = [this](int call) {
            watch.Snapshot();
            if (onPass)
                onPass(call);
        };
    }
    RunBench(const RunBench&) = delete;
    RunBench& operator=(const RunBench&) = delete;

    physics::Simulation sim;
    scene::Scene scene;
    FakeHost host{scene};
    run::Runs runs{sim, scene, host};
    StepWatch watch{sim};
    std::function<void(int call)> onPass;
};

// Where each kind first got a result other than blanks, counted in event processings
// after `sinceCall`; 0 for a kind that got none.
struct Landings {
    std::array<int, physics::SimulatorCount> pass{};
    std::array<QString, physics::SimulatorCount> time;
    std::array<QString, physics::SimulatorCount> height;
};

inline Landings LandingsIn(const std::vector<ResultWrite>& writes, std::size_t fromWrite = 0,
                           int sinceCall = 0) {
    Landings result;
    for (std::size_t i = fromWrite; i < writes.size(); ++i) {
        const ResultWrite& w = writes[i];
        const int k = physics::indexOf(w.kind);
        if (w.text == run::BlankResult)
            continue;
        if (w.field == ResultField::Time && result.pass[k] == 0) {
            result.pass[k] = w.call - sinceCall;
            result.time[k] = w.text;
        }
        if (w.field == ResultField::Height && result.height[k].isNull())
            result.height[k] = w.text;
    }
    return result;
}

inline const char* NameOf(SimulatorKind kind) {
    static const char* const names[] = {"Earth", "Moon", "Spring", "Counterweight", "Rope"};
    return names[physics::indexOf(kind)];
}

inline void PrintTo(const ResultWrite& w, std::ostream* os) {
    *os << NameOf(w.kind) << (w.field == ResultField::Time ? " time " : " height ") << '"'
        << w.text.toStdString() << "\" after event processing " << w.call;
}

} // namespace velquor::testing
