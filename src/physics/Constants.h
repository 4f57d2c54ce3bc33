#pragma once
// Every fixed number of the jump models and of the slider conversions, in one place.
//
// The step rules evaluate each right-hand side in long double (the x86-64 64-bit
// significand) and round once when they store a double. The constants that take part in
// those evaluations are therefore long double; the three constant accelerations are the
// doubles the models store into JumperState::Acceleration.

namespace velquor::physics {

inline constexpr double EarthAcceleration = -9.81;
inline constexpr double MoonAcceleration = -1.635;
// The same double that -9.81 / 11 gives in double arithmetic: 5/6 of the astronaut's
// weight balanced by the counterweight, 1/6 accelerating 11/6 of his mass.
inline constexpr double CounterweightAcceleration = -9.81 / 11;

inline constexpr long double Gravity = 9.81L;
inline constexpr long double AstronautMass = 120.0L;
// 5/6 x 120 kg x 9.81 m/s^2: the force with which the pre-stretched spring carries
// five sixths of the standing astronaut.
inline constexpr long double SpringCarriedForce = 981.0L;
// sin of the rope's resting angle: there the component of gravity along the swing is g/6.
inline constexpr long double RopeRestSine = 1.0L / 6.0L;

inline constexpr long double LandingMarginFree = 0.000001L; // Earth, Moon, Counterweight
inline constexpr long double LandingMarginSpring = 0.00001L;
inline constexpr long double LandingMarginRope = 0.0001L;

// Slider positions to parameters.
inline constexpr double LaunchSpeedPerPosition = 10.0;   // tenths of m/s
inline constexpr double TimeStepPerPosition = 100000.0;  // units of 10 microseconds
inline constexpr int RopeLengthBase = 68;                // length = 68 - position

} // namespace velquor::physics
