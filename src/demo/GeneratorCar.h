// The simulated car of the session generator: grip, power, brakes and gearing, shared by the
// path's speed profile and the session recording.
#pragma once

namespace orvex::generator {

inline constexpr double kGravity = 9.80665;  // m/s²

// Grip and power of a club racer, six gears, a 3.7 rear end, 26 in rear tyres.
inline constexpr double kLateralGrip = 1.3 * kGravity;
inline constexpr double kDriveAccel = 0.85 * kGravity;  // at standstill, falling to 0 at top speed
inline constexpr double kBrakeDecel = 1.4 * kGravity;
inline constexpr double kTopSpeed = 72.0;  // m/s
inline constexpr int kGears = 6;
inline constexpr float kGearRatio[kGears] = {2.9f, 2.1f, 1.6f, 1.3f, 1.1f, 0.95f};
inline constexpr float kRearEnd = 3.7f;
inline constexpr float kRearTireDiameter = 26.0f;   // in
inline constexpr float kFrontTireDiameter = 25.0f;  // in
inline constexpr double kUpshiftRpm = 7600.0;
inline constexpr double kDownshiftRpm = 6400.0;      // change down when the lower gear stays below
inline constexpr double kMaxBrakePressure = 1400.0;  // psi at full braking

// Acceleration the engine can give at speed v (m/s²).
inline double DriveAccel(double v) {
    return kDriveAccel * (1.0 - (v / kTopSpeed) * (v / kTopSpeed));
}
// Part of the drive force spent against the air: what holds the speed without accelerating.
inline double DragDecel(double v) {
    return kDriveAccel * (v / kTopSpeed) * (v / kTopSpeed);
}

}  // namespace orvex::generator
