#pragma once
// The seam between the runs and the window. A run needs only these few things from the
// window, so a whole run can be driven and checked headless with a host of the test's own.

#include "physics/Simulation.h"

#include <QString>

#include <cstdint>

namespace velquor::run {

using physics::SimulatorKind;

enum class Slider { SpringConstant, RopeLength, TakeOffSpeed, SimulationSpeed };
enum class ResultField { Time, Height };

class RunHost {
public:
    virtual ~RunHost() = default;

    // The sixteen controls that start a run or open a panel.
    virtual void SetControlsEnabled(bool enabled) = 0;
    // "gemeinsamer Start" alone: it stays usable during a joint run, to restart it.
    virtual void SetJointStartEnabled(bool enabled) = 0;

    virtual void SetResultText(SimulatorKind kind, ResultField field, const QString& text) = 0;
    virtual void SetTimingText(const QString& text) = 0;
    virtual void SetTimingVisible(bool visible) = 0;
    virtual void HideInfoPanel(SimulatorKind kind) = 0;
    virtual bool IsSelected(SimulatorKind kind) const = 0; // the joint run's tick boxes

    virtual int SliderPosition(Slider slider) const = 0;
    virtual QString DecimalSeparator() const = 0;

    // Handles everything pending in the window's queue, then returns.
    virtual void ProcessEvents() = 0;
    // Puts the scene's bitmap on the screen at once, without returning to the event loop.
    virtual void PresentScene() = 0;
    // The rest scene: five crouching figures on white, presented.
    virtual void RedrawScene() = 0;

    // The system's millisecond tick counter; it wraps around at 2^32.
    virtual std::uint32_t TickCount() = 0;
};

} // namespace velquor::run
