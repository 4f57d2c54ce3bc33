#include "Simulation.h"

#include "Constants.h"

#include <cmath>

namespace velquor::physics {

namespace {

using Extended = long double;

// Rounds an extended-precision right-hand side once, as the step rules store it.
inline double store(Extended value) { return static_cast<double>(value); }

Extended landingMargin(SimulatorKind kind) {
    switch (kind) {
    case SimulatorKind::Spring:
        return LandingMarginSpring;
    case SimulatorKind::Rope:
        return LandingMarginRope;
    default:
        return LandingMarginFree;
    }
}

double constantAcceleration(SimulatorKind kind) {
    switch (kind) {
    case SimulatorKind::Moon:
        return MoonAcceleration;
    case SimulatorKind::Counterweight:
        return CounterweightAcceleration;
    default:
        return EarthAcceleration;
    }
}

// Velocity from the new acceleration, then Position from the new velocity.
inline double advance(JumperState& s, double dt) {
    s.Velocity = store(Extended{s.Acceleration} * dt + s.Velocity);
    const double previous = s.Position;
    s.Position = store(Extended{s.Velocity} * dt + s.Position);
    return previous;
}

inline void followPeak(JumperState& s) {
    if (s.Position > s.Peak)
        s.Peak = s.Position;
}

} // namespace

double launchSpeedFor(int position) { return position / LaunchSpeedPerPosition; }
double timeStepFor(int position) { return position / TimeStepPerPosition; }
double preStretchFor(int springConstantPosition) {
    return store(SpringCarriedForce / springConstantPosition);
}
double ropeLengthFor(int ropePosition) { return RopeLengthBase - ropePosition; }

long double RopeFloorFor(double ropeLength) { return Extended{ropeLength} * std::asin(RopeRestSine); }

long double Simulation::RopeFloor() const { return RopeFloorFor(RopeLength); }

void Simulation::SetStartState(SimulatorKind kind) {
    JumperState& s = jumper(kind);
    s.Velocity = LaunchSpeed;
    switch (kind) {
    case SimulatorKind::Spring:
        s.Position = -PreStretch;
        s.Peak = -PreStretch;
        break;
    case SimulatorKind::Rope:
        s.Position = store(RopeFloor());
        s.Peak = 0;
        break;
    default:
        s.Position = 0;
        s.Peak = 0;
        break;
    }
}

double Simulation::StepJumper(SimulatorKind kind, double dt, const SliderReader& sliders) {
    JumperState& s = jumper(kind);
    switch (kind) {
    case SimulatorKind::Spring: {
        ActivePreStretch = PreStretch;
        SpringConstant = sliders.springConstantPosition();
        s.Acceleration = store(-(Extended{SpringConstant} / AstronautMass) * s.Position - Gravity);
        const double previous = advance(s, dt);
        // The spring clamps to its floor before it follows the peak.
        const Extended floor = -Extended{ActivePreStretch};
        if (s.Position < floor)
            s.Position = store(floor);
        followPeak(s);
        return previous;
    }
    case SimulatorKind::Rope: {
        RopeLength = ropeLengthFor(sliders.ropeLengthPosition());
        s.Acceleration = store(std::sin(Extended{s.Position} / RopeLength) * -Gravity);
        const double previous = advance(s, dt);
        followPeak(s);
        const Extended floor = RopeFloor();
        if (floor > s.Position)
            s.Position = store(floor);
        return previous;
    }
    default: {
        s.Acceleration = constantAcceleration(kind);
        const double previous = advance(s, dt);
        followPeak(s);
        if (s.Position < 0)
            s.Position = 0;
        return previous;
    }
    }
}

bool Simulation::HasLanded(SimulatorKind kind) const {
    const double position = jumper(kind).Position;
    switch (kind) {
    case SimulatorKind::Spring:
        return position < -Extended{PreStretch} + landingMargin(kind);
    case SimulatorKind::Rope:
        return position < RopeFloor() + landingMargin(kind);
    default:
        return position < landingMargin(kind);
    }
}

double Simulation::HeightAboveFloor(SimulatorKind kind, double position) const {
    switch (kind) {
    case SimulatorKind::Spring:
        return store(Extended{position} + ActivePreStretch);
    case SimulatorKind::Rope:
        return store(position - RopeFloor());
    default:
        return position;
    }
}

int FigureHeight(double heightAboveFloor) {
    // nearbyint rounds ties to even in the default rounding mode.
    return static_cast<int>(std::nearbyint(100.0L * heightAboveFloor));
}

} // namespace velquor::physics
