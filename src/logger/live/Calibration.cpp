// Calibration from live readings: two readings at known values give the straight line of the
// sensor, written as the values at the converter's two ends (minimum and maximum).
#include "logger/live/Calibration.h"

#include <cmath>
#include <cstdio>

namespace orvex {

namespace {

std::string Format(const char* format, double a, double b = 0.0) {
    char text[256];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::vector<CalibrationStep> StepsOf(CalibrationKind kind, const CAnalogSetup& s, Units units) {
    const bool upDown = s.m_strDescription.find("UP-DOWN") != std::string::npos;
    const bool metric = units == Units::Metric;
    switch (kind) {
        case CalibrationKind::Accel:
            return {{"Level", "Set the sensor level and keep it still.", "", upDown ? 1.0 : 0.0},
                    {"On Its Side",
                     upDown ? "Turn the sensor on its side so that its axis lies level."
                            : "Turn the sensor so that its axis points straight down.",
                     "", upDown ? 0.0 : 1.0}};
        case CalibrationKind::Shock:
            return {
                {"Full Extension", "Let the shock extend fully (no load on the wheel).", "", 0.0},
                {"Compressed", "Compress the shock by a measured travel and hold it there.",
                 metric ? "Travel (cm)" : "Travel (in)", metric ? 5.0 : 2.0}};
        case CalibrationKind::Throttle:
            return {{"Closed Throttle", "Release the throttle pedal completely.", "", 0.0},
                    {"Wide Open Throttle", "Press the throttle pedal to the floor and hold it.", "",
                     100.0}};
        case CalibrationKind::Steering:
            return {{"Straight Ahead", "Set the front wheels straight ahead.", "", 0.0},
                    {"Full Lock Right", "Turn the steering wheel to full lock to the right.",
                     "Angle of the steering wheel (degrees)", 180.0}};
        case CalibrationKind::Voltage:
            return {{"Engine Off", "Switch the engine off and measure the battery with a meter.",
                     "Battery voltage (V)", 12.6},
                    {"Engine Running",
                     "Start the engine, raise it to a fast idle and measure the battery again.",
                     "Battery voltage (V)", 14.2}};
        case CalibrationKind::Linear:
            break;
    }
    return {{"First Point", "Set the sensor to a known position or value.", "Value",
             s.GetMinimum(units)},
            {"Second Point",
             "Set the sensor to a second known position or value, far from the "
             "first.",
             "Value", s.GetMaximum(units)}};
}

}  // namespace

CCalibration::CCalibration(CalibrationKind kind, const CAnalogSetup& setup, Units units,
                           float voltageCorrection)
    : m_kind(kind),
      m_original(setup),
      m_result(setup),
      m_units(units),
      m_fVoltageCorrection(voltageCorrection),
      m_steps(StepsOf(kind, setup, units)),
      m_raw(m_steps.size()),
      m_known(m_steps.size()) {}

CalibrationKind CCalibration::KindFor(const CAnalogSetup& setup) {
    switch (setup.m_nType) {
        case kAnalog2Throttle:
            return CalibrationKind::Throttle;
        case kAnalog2Steering:
            return CalibrationKind::Steering;
        case kAnalog2Voltage:
            return CalibrationKind::Voltage;
        case kAnalog2Accel:
            return CalibrationKind::Accel;
        case kAnalog2Shock:
            return CalibrationKind::Shock;
        default:
            return CalibrationKind::Linear;
    }
}

std::string CCalibration::Title(CalibrationKind kind) {
    switch (kind) {
        case CalibrationKind::Accel:
            return "Calibrate Accelerometer";
        case CalibrationKind::Shock:
            return "Calibrate Shock";
        case CalibrationKind::Throttle:
            return "Calibrate Throttle";
        case CalibrationKind::Steering:
            return "Calibrate Steering Wheel";
        case CalibrationKind::Voltage:
            return "Calibrate Battery Voltage";
        case CalibrationKind::Linear:
            break;
    }
    return "Calibrate Linear Sensor";
}

bool CCalibration::OffsetIgnored() const {
    return m_original.m_nType == kAnalog2Voltage && m_original.m_nChannel == kVoltageChannel;
}

bool CCalibration::UsableReading(const CAnalogSetup& setup, double raw, std::string& error) {
    const double full = setup.FullScale();
    if (std::isfinite(raw) && raw >= 1.0 && raw <= full - 1.0) return true;
    error = Format(
        "The sensor reads %.0f, at or beyond the end of its range (0 to %.0f).\n"
        "Check the sensor and its wiring, then take the reading again.",
        std::isfinite(raw) ? raw : -1.0, full);
    return false;
}

bool CCalibration::Take(std::size_t step, double raw, double known, std::string& error) {
    if (step >= m_steps.size()) return false;
    if (!UsableReading(m_original, raw, error)) return false;
    if (!std::isfinite(known) || std::fabs(known) > 1e6) {
        error = "Enter the known value as a number.";
        return false;
    }
    m_raw[step] = raw;
    m_known[step] = known;
    return true;
}

bool CCalibration::Taken(std::size_t step) const {
    return step < m_raw.size() && m_raw[step].has_value();
}

bool CCalibration::Compute(std::string& error) {
    for (std::size_t i = 0; i < m_steps.size(); ++i)
        if (!Taken(i)) {
            error = "Take the reading of \"" + m_steps[i].title + "\" first.";
            return false;
        }
    const double x1 = *m_raw[0], x2 = *m_raw[1], v1 = *m_known[0], v2 = *m_known[1];
    if (std::fabs(x2 - x1) < kMinimumSpan) {
        error = Format(
            "The two readings (%.0f and %.0f) are too close together.\n"
            "Move the sensor further and take the second reading again.",
            x1, x2);
        return false;
    }
    if (v1 == v2) {
        error = "The two known values must differ.";
        return false;
    }
    const double full = m_original.FullScale();
    m_result = m_original;
    // The voltage type has no invert; the other types turn the sensor round so that the line
    // rises from minimum to maximum.
    const bool canInvert = m_original.m_nType != kAnalog2Voltage;
    const bool invert = canInvert && (x2 - x1) * (v2 - v1) < 0;
    if (canInvert) m_result.m_nInvert = invert ? 1 : 0;
    const double p1 = invert ? full - x1 : x1, p2 = invert ? full - x2 : x2;
    const double span = (v2 - v1) * full / (p2 - p1);
    const double correction = OffsetIgnored() ? m_fVoltageCorrection : 0.0;
    const double minimum = v1 + correction - span * p1 / full;
    m_result.SetMinimum(static_cast<float>(minimum), m_units);
    m_result.SetMaximum(static_cast<float>(minimum + span), m_units);
    if (!OffsetIgnored()) m_result.SetOffset(0.0f, m_units);
    m_result.ApplyTypeResolution();
    return true;
}

std::vector<std::string> CCalibration::ResultLines() const {
    const std::string units = m_original.UnitsLabel(m_units);
    const auto line = [&](const char* name, double before, double after) {
        char text[160];
        std::snprintf(text, sizeof text, "%s: %.2f -> %.2f %s", name, before, after, units.c_str());
        return std::string(text);
    };
    std::vector<std::string> lines{
        line("Minimum", m_original.GetMinimum(m_units), m_result.GetMinimum(m_units)),
        line("Maximum", m_original.GetMaximum(m_units), m_result.GetMaximum(m_units))};
    if (!OffsetIgnored())
        lines.push_back(line("Offset", m_original.GetOffset(m_units), m_result.GetOffset(m_units)));
    if (m_original.m_nInvert != m_result.m_nInvert)
        lines.push_back(std::string("Invert: ") + (m_original.m_nInvert ? "Yes" : "No") + " -> " +
                        (m_result.m_nInvert ? "Yes" : "No"));
    return lines;
}

double CCalibration::ValueOf(const CAnalogSetup& setup, double raw) const {
    const int32_t x = static_cast<int32_t>(std::lround(raw));
    return setup.Convert(x, m_units, m_fVoltageCorrection) /
           static_cast<double>(std::max(setup.m_nResolution, 1));
}

void CCalibration::ApplyTo(CAnalogSetup& target) const {
    target.m_nInvert = m_result.m_nInvert;
    target.m_fMin = m_result.m_fMin;
    target.m_fMax = m_result.m_fMax;
    target.m_fOffset = m_result.m_fOffset;
    target.m_nResolution = m_result.m_nResolution;
}

}  // namespace orvex
