// Channel values at a marker instant and the texts the marker list writes for them: times,
// distances, RPM, speed, slip, analog and digital values and the green-to-red difference.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "model/Dataset.h"
#include "model/Units.h"

namespace orvex {

class IHostServices;

// Conversions from stored samples to the values shown. The defaults go through the smoothing,
// speed and slip code as the chart does: the moving average over the setup's smoothing word,
// RPM in the channel's display mode, speed for mode 0, analog values with the application's
// channel-20 voltage correction, and the slip of a channel against its partner.
struct MarkerConverters {
    // Value shown at sample p of RPM channel `channel` (1..5) in the channel's display mode:
    // RPM × 1000, or MPH/KPH × 100 when the channel is shown as speed.
    std::function<int32_t(const CBriodashDataset&, int channel, Pos p, Units)> rpmDisplay;
    // Value shown at sample p of analog channel `channel` (1..20) in units of 1/resolution.
    std::function<int32_t(const CBriodashDataset&, int channel, Pos p, Units)> analog;
    // Computes the slip of RPM channel `channel` against its partner (clears the dirty flag).
    std::function<void(CBriodashDataset&, int channel, Units, IHostServices&)> computeSlip;

    static MarkerConverters Defaults(float voltageCorrection = 0.0f);
};

// The two samples around a key (time relative to the zero, or distance). Both equal the
// sample lying exactly on the key; both kNoPos when the key lies outside the data.
struct SampleBracket {
    Pos before = kNoPos;
    Pos after = kNoPos;
    bool Inside() const { return before != kNoPos && after != kNoPos; }
    bool Exact() const { return Inside() && before == after; }
};
SampleBracket FindBracket(const CSeriesBase& s, int32_t key, bool byDistance);

// The series a dataset's distances are read from: its first non-empty RPM, analog or digital
// series (every series carries the distances once they are computed); nullptr without data.
const CSeriesBase* DistanceReference(const CBriodashDataset& ds);
bool HasDistance(const CBriodashDataset& ds);
// Distance (0.1 ft) at a time relative to the zero, interpolated; kNotSet without distances.
int32_t MarkerDistanceAt(const CBriodashDataset& ds, int32_t time);
// Time relative to the zero at which the dataset reaches a distance; kNotSet without distances.
// Distances beyond the data give the end of the data.
int32_t MarkerTimeAtDistance(const CBriodashDataset& ds, int32_t distance);

// Values at a time relative to the dataset's zero: nothing outside the data.
std::optional<int32_t> RpmValueAt(const CBriodashDataset& ds, int channel, int32_t time,
                                  Units units, const MarkerConverters& conv);
std::optional<int32_t> SlipValueAt(const CBriodashDataset& ds, int channel, int32_t time);
std::optional<int32_t> AnalogValueAt(const CBriodashDataset& ds, int channel, int32_t time,
                                     Units units, const MarkerConverters& conv);
// "On", "Off", "UNK" between two samples of different state, "N/A" outside the data.
std::string DigitalTextAt(const CBriodashDataset& ds, int channel, int32_t time);

// Texts of the marker list.
inline constexpr const char* kNotAvailable = "N/A";
std::string FormatMarkerTime(int32_t t);  // "1:15.400"; "N/A" when unset
// 0.1 ft, in metres when Metric ("12.3", "-0.4"); "N/A" when unset.
std::string FormatMarkerDistance(int32_t d, Units units);
std::string FormatMarkerRpm(int32_t milliRpm);  // "6500"
std::string FormatMarkerSpeed(int32_t speed);   // "75.70"
std::string FormatMarkerSlip(int32_t slip);     // "10.00%"
// Analog value (units of 1/resolution factor) by the setup's type code.
std::string FormatMarkerAnalog(const CAnalogSetup& setup, int32_t value, Units units);

// Difference column: red − green of two texts of the same row ("N/A" when either is not
// available); time rows use the times themselves.
enum class DifferenceKind { Digital, Number };
std::string FormatMarkerDifference(DifferenceKind kind, const std::string& green,
                                   const std::string& red);
std::string FormatMarkerTimeDifference(int32_t green, int32_t red);

// Suffix of an RPM channel's label by its display mode and RPM type ("-MPH", "->E-RPM", ...).
std::string RpmLabelSuffix(const CFreqSetup& setup, Units units);

}  // namespace orvex
