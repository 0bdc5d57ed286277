// Channel setups: how the raw numbers of one analog, digital or RPM channel become
// engineering values, what the channel is called and how it is drawn.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Units.h"

namespace orvex {

// Analog type codes: first family 1..8, second ("Kavrane Data") family 129..137.
enum AnalogCode : int32_t {
    kAnalogNone = 0,
    kAnalogEgt = 1,
    kAnalogCht = 2,
    kAnalogVolts5 = 3,
    kAnalogVolts16 = 4,
    kAnalogCustom = 5,
    kAnalogVdo = 6,
    kAnalogAccel = 7,
    kAnalogPressure = 8,
    kAnalog2Custom = 129,
    kAnalog2Shock = 130,
    kAnalog2Steering = 131,
    kAnalog2Throttle = 132,
    kAnalog2Pressure = 133,
    kAnalog2Voltage = 134,
    kAnalog2Accel = 135,
    kAnalog2Egt = 136,
    kAnalog2Cht = 137,
};

// The battery-voltage channel of the second family.
inline constexpr int kVoltageChannel = 20;

// Smallest and largest converted value (in units of 1/resolution) of a channel's data.
struct DataExtremes {
    int32_t lo = 0;
    int32_t hi = 0;
};

class CAnalogSetup;

// The conversion of raw samples to engineering values for one setup, units and channel-20
// correction, with the setup's constants worked out once for a whole series.
class CAnalogConversion {
  public:
    CAnalogConversion(const CAnalogSetup& setup, Units units, float voltageCorrection);
    int32_t operator()(int32_t raw) const;

  private:
    int32_t m_nFamily, m_nType, m_nInvert;
    bool m_bVoltageChannel;
    double m_r, m_mn, m_mx, m_off, m_F, m_correction;
};

class CAnalogSetup {
  public:
    int32_t m_nFamily = 1;  // 1 = first type family (codes 1..8), 0 = second (129..137)
    int32_t m_nInvert = 0;  // invert, or the sender's output range for pressure transducers
    std::string m_strDescription;
    int16_t m_nSmoothing = 4;
    int16_t m_nScaleMode = 1;  // 1 fixed, 2 automatic, 3 extended upward, 4 extended downward
    int32_t m_nChannel = 1;    // 1..20
    int32_t m_nType = 0;
    int32_t m_nBits = 12;
    int32_t m_nResolution = 1;  // 1, 10, 100 or 1000
    int32_t m_nWord = 0;
    float m_fMin = 0, m_fMax = 0, m_fOffset = 0;  // held in °F / inches for those types
    float m_fScale[3] = {1.0f, 1.0f, 1.0f};
    float m_fGraphBottom = 0.0f, m_fGraphTop = 1.0f;
    int32_t m_nAltInvert = 0;
    float m_fAltMin = 0, m_fAltMax = 0, m_fAltOffset = 0;

    // Calibration values in display units (°C and cm when Metric for the types held in °F and
    // inches).
    void SetMaximum(float value, Units units);
    void SetMinimum(float value, Units units);
    void SetOffset(float value, Units units);
    float GetMaximum(Units units) const;
    float GetMinimum(Units units) const;
    float GetOffset(Units units) const;

    // Sets the type code; the family flag follows the code.
    void SetType(int32_t code);
    // A type chosen by the user: the range is reset to unset and the type's defaults applied.
    void ChooseType(int32_t code);
    // Resolution factor (always), default range (while unset) and default invert.
    void ApplyTypeDefaults();
    // Only the resolution factor of the type: fixed, by span of the range, or 10 for channel
    // 20's voltage. Codes outside the type table keep theirs.
    void ApplyTypeResolution();
    bool RangeUnset() const { return m_fMin == 0.0f && (m_fMax == 0.0f || m_fMax == 1.0f); }
    void CopyFrom(const CAnalogSetup& other) { *this = other; }

    // Full scale of the converter, 2^bits - 1 (4095 when the bit count is unusable).
    double FullScale() const;
    // Raw sample to engineering value in units of 1/resolution factor. `voltageCorrection` is
    // the application's channel-20 correction.
    int32_t Convert(int32_t raw, Units units, float voltageCorrection) const;
    // Bottom and top of the plot band; without data the automatic modes use the fixed range.
    // An inverted channel (not a pressure transducer) is drawn upside down; both ends are
    // rounded outward to the resolution.
    void ComputeGraphRange(Units units, std::optional<DataExtremes> data);

    std::string ShortLabel() const;
    std::string TypeName() const;
    std::string UnitsLabel(Units units) const;
};

// Digital type codes.
enum DigitalCode : int32_t {
    kDigitalNone = 0,
    kDigitalGeneric = 1,
    kDigitalLapTimer = 2,
    kDigitalEventTimer = 3,
    kDigitalSwitch = 4,
    kDigitalGps = 5,
};

class CDigitalSetup {
  public:
    int32_t m_nInvert = 0;
    std::string m_strDescription;
    int16_t m_nBand = 2;     // 1 full, 2 0.1..0.9, 3 lower half, 4 upper half
    int32_t m_nChannel = 1;  // 1..6
    int32_t m_nType = 0;     // 0 none, 1 generic, 2 lap timer, 3 event timer, 4 switch, 5 GPS
    int32_t m_nUnitOffset = 0;
    float m_fBandLow = 0.0f, m_fBandHigh = 1.0f;
    float m_fHeightFactor = 1.0f;

    // The type's band, when the type is 0 or the height factor is still 1.0.
    void ApplyTypeDefaults();
    void CopyFrom(const CDigitalSetup& other) { *this = other; }
    // Band low and high from the band number; a switch is drawn upside down.
    void ApplyBand();
    std::string ShortLabel() const;
};

// RPM types.
enum RpmType : int32_t {
    kRpmNone = 0,
    kRpmEightCylinder = 1,
    kRpmLastEngine = 9,
    kRpmDriveShaft = 10,
    kRpmFrontWheel = 11,
    kRpmRearWheel = 12,
    kRpmClutch = 13,
    kRpmUserDefined = 14,
};

// Display modes of an RPM setup.
enum RpmDisplay : int32_t {
    kDisplaySpeed = 0,
    kDisplayEngine = 1,
    kDisplayWheel = 2,
    kDisplayDriveShaft = 3,
    kDisplayClutch = 4,
};

class CFreqSetup {
  public:
    std::string m_strDescription;
    int32_t m_nTireSizeMode = 0;
    int16_t m_nSmoothing = 4;
    int32_t m_nChannel = 1;  // 1..5
    int32_t m_nRpmType = 0;
    int32_t m_nSlipPartner = 0;
    int32_t m_nDisplayMode = 1;  // 0 speed, 1 engine, 2 wheel, 3 drive shaft, 4 clutch RPM
    int32_t m_nPPR = 1;
    float m_fDiameter = 1.0f;        // current units (in or cm)
    float m_fCircumference = 3.14f;  // current units

    // A fresh setup of `type` (0 = untyped): description, PPR, display mode and tire size
    // defaults for the units.
    static CFreqSetup Make(int32_t channel, int32_t type, Units units);
    // Sets the type with its description, PPR and display mode.
    void SetType(int32_t type);
    void SetDefaultPPR();
    // Copies everything; the tire sizes only when `other` has them.
    void CopyFrom(const CFreqSetup& other);
    // Front or rear wheel with a circumference above 0.
    bool HasTireSize() const;
    bool IsEngine() const { return m_nRpmType <= kRpmLastEngine; }
    std::string ShortLabel() const;
};

// Description, expression and three words of a math channel.
class CMathSetup {
  public:
    std::string m_strName;
    std::string m_strExpression;
    int16_t m_nSmoothing = 4;
    int32_t m_nWord1 = 0;
    int32_t m_nWord2 = 0;
};

// --- Analog type table ---------------------------------------------------------------------

struct AnalogTypeInfo {
    int32_t code;
    const char* name;
    const char* unitsLabel;  // nullptr: a temperature, labelled by the units
    float min, max;          // default range as held (°F, inches)
    int32_t resolution;      // 0 = by span
    int32_t invert;          // -1 unchanged, 0 set to 0, 1 set to 1 with the default range
};

// The table row of a code, or nullptr.
const AnalogTypeInfo* FindAnalogType(int32_t code);
std::string AnalogTypeName(int32_t code);
// Resolution factor from the span of the range, for the types that take it by span.
int32_t ResolutionBySpan(int32_t code, float min, float max);
// Codes offered for a new type of `channel`: family 1 codes 1..8, family 0 by channel.
std::vector<int32_t> AnalogTypeChoices(int32_t family, int32_t channel);
// Logger configuration type to analog code of a family (0 when unknown).
int32_t AnalogCodeForLoggerType(int32_t loggerType, int32_t family);

// --- Digital kinds ---------------------------------------------------------------------------

struct DigitalKind {
    const char* name;
    int32_t code;
};
// Name of a digital code in the configuration list.
std::string DigitalTypeName(int32_t code);
// Kinds offered for an input: switch kinds for inputs 1..4, timer kinds for 5 and 6.
const std::vector<DigitalKind>& DigitalKinds(int32_t channel);

// --- RPM type table --------------------------------------------------------------------------

std::string RpmTypeName(int32_t type);
int32_t RpmDefaultPPR(int32_t type);
int32_t RpmDefaultDisplayMode(int32_t type);
std::string RpmDefaultDescription(int32_t type);
// Engine RPM type for a cylinder count and strokes per cycle; cycle 8 is a single cylinder
// read at half rate (one pulse every second revolution).
int32_t EngineRpmType(int32_t cylinders, int32_t cycle);

struct RpmDisplayChoice {
    int32_t mode;
    std::string label;
};
// Display choices a type can offer, in the order of the radio buttons; which of them a car
// setup supports is decided elsewhere.
std::vector<RpmDisplayChoice> RpmDisplayChoices(int32_t type, Units units);
// Tire-size field caption with " (in)" or " (cm)".
std::string TireSizeCaption(const std::string& caption, Units units);

// --- Labels and names from text --------------------------------------------------------------

std::string ShortLabel(std::string_view description);
// Type of a setup read from text (the description after "#", leading blanks removed).
int32_t RpmTypeFromDescription(std::string_view description);  // 1 when no name matches
int32_t AnalogTypeFromDescription(std::string_view description, int32_t family);
int32_t DigitalTypeFromDescription(std::string_view description, int32_t channel);

// --- Validation texts of the setup dialogs (empty when the setup is fine) -------------------

std::string ValidateAnalogSetup(const CAnalogSetup& setup);
std::string ValidateDigitalSetup(const CDigitalSetup& setup);
std::string ValidateRpmSetup(const CFreqSetup& setup);

// Formats a message with one integer or one string argument.
std::string FormatMessage(const char* format, int value);
std::string FormatMessage(const char* format, const std::string& value);

}  // namespace orvex
