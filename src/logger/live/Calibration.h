// The calibration wizards of the live-data sheet: for an accelerometer, shock, throttle,
// steering, battery voltage or linear sensor, the steps that take live readings at known
// values and the new range and offset those readings give the channel's setup.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/ChannelSetups.h"
#include "model/Units.h"

namespace orvex {

enum class CalibrationKind { Accel, Shock, Throttle, Steering, Voltage, Linear };

// One reading step of a wizard.
struct CalibrationStep {
    std::string title;        // the step page's title
    std::string instruction;  // what the user does before the reading is taken
    std::string valueLabel;   // the known value the user enters; empty: `known` is fixed
    double known = 0.0;       // the value the reading stands for (display units)
};

class CCalibration {
  public:
    // Readings this many counts apart at least (of a 12-bit converter) make a usable scale.
    static constexpr double kMinimumSpan = 40.0;

    CCalibration(CalibrationKind kind, const CAnalogSetup& setup, Units units,
                 float voltageCorrection);

    // Whether a raw mean reading of `setup`'s converter can calibrate it: not at or beyond
    // either end of the range, where an unplugged or shorted sensor sits. The reason in
    // `error` when not.
    static bool UsableReading(const CAnalogSetup& setup, double raw, std::string& error);

    // The wizard a misc analog channel is calibrated with.
    static CalibrationKind KindFor(const CAnalogSetup& setup);
    // "Calibrate Throttle", "Calibrate Steering Wheel", ...
    static std::string Title(CalibrationKind kind);

    CalibrationKind Kind() const { return m_kind; }
    std::string Title() const { return Title(m_kind); }
    const std::vector<CalibrationStep>& Steps() const { return m_steps; }
    const CAnalogSetup& Original() const { return m_original; }
    Units GetUnits() const { return m_units; }

    // Takes the raw mean reading of step `step` standing for `known`. False with the reason in
    // `error` when the reading or the value cannot be used; nothing is kept then.
    bool Take(std::size_t step, double raw, double known, std::string& error);
    bool Taken(std::size_t step) const;
    // The new setup from all readings; false with the reason when they give no calibration.
    bool Compute(std::string& error);
    // The computed setup (valid after a successful Compute).
    const CAnalogSetup& Result() const { return m_result; }
    // "Minimum: 0.00 -> 0.00" lines for the confirm page, with the units label.
    std::vector<std::string> ResultLines() const;
    // The value (display units) a raw reading shows with `setup`.
    double ValueOf(const CAnalogSetup& setup, double raw) const;
    // Writes invert, minimum, maximum and offset of the result into `target`.
    void ApplyTo(CAnalogSetup& target) const;

  private:
    bool OffsetIgnored() const;

    CalibrationKind m_kind;
    CAnalogSetup m_original, m_result;
    Units m_units;
    float m_fVoltageCorrection;
    std::vector<CalibrationStep> m_steps;
    std::vector<std::optional<double>> m_raw, m_known;
};

}  // namespace orvex
