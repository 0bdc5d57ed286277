#include "demo/SessionGenerator.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "demo/CircuitData.h"
#include "demo/GeneratorCar.h"

namespace orvex {

using namespace generator;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kInch = 0.0254;  // m

// The logger: framed timing with a 307200 Hz timer, 12-bit converters.
constexpr double kClock = 307200.0;
constexpr double kFullScale = 4095.0;
constexpr uint32_t kNoReading = 0xFFFE;
constexpr int kSwitchDivider = 5;           // switches are sampled at a fifth of the analog rate
constexpr double kStartBeforeLine = 300.0;  // m: the session starts on the run to the line
constexpr int32_t kMaxTicks = 2147483647;
constexpr double kMaxSamples = 20e6;

// RPM channels
constexpr int kEngineCh = 1, kDriveShaftCh = 2, kRearWheelCh = 3, kFrontWheelCh = 4;
constexpr int kEnginePpr = 4, kDriveShaftPpr = 1, kRearWheelPpr = 1, kFrontWheelPpr = 2;
// Analog channels
constexpr int kThrottleCh = 1, kBrakeCh = 2, kShockCh = 3, kEgtCh = 7;
constexpr int kLateralCh = 17, kLongitudinalCh = 18, kVerticalCh = 19, kBatteryCh = 20;
// Digital channels
constexpr int kBrakeSwitchCh = 1, kThrottleSwitchCh = 2;

// Calibrated ranges of the analog channels, shared by the setups and the sample conversion.
struct AnalogRange {
    float min, max;
};
// Like real sensors, the throttle and the brake sender read about a tenth of full scale at rest,
// so the recorded counts never sit at zero: the throttle is calibrated -12.5 % .. 112.5 %, and
// the brake sender (0.5 V at no pressure, sender mode 1) reads F/10 + 0.8 F × pressure / max.
constexpr AnalogRange kThrottleRange{-12.5f, 112.5f};
constexpr AnalogRange kBrakeRange{0.0f, 2000.0f};
constexpr AnalogRange kBrakeCounts{-250.0f, 2250.0f};
constexpr AnalogRange kShockRange{-4.0f, 4.0f};
constexpr AnalogRange kEgtRange{32.0f, 2085.0f};
constexpr AnalogRange kAccelRange{-5.0f, 5.0f};
constexpr AnalogRange kBatteryRange{0.0f, 20.0f};

int32_t Rgb(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

// Noise from the seed. The library's distributions differ between implementations, so the
// shapes are made here from the raw 32-bit draws of the Mersenne twister, whose output is fixed.
class CNoise {
  public:
    explicit CNoise(uint32_t seed) : m_gen(seed) {}
    double Uniform() {  // (0, 1)
        return (static_cast<double>(m_gen() & 0xFFFFFFFFu) + 0.5) / 4294967296.0;
    }
    // Mean 0, standard deviation 1, bounded by ±2√3: the sum of four uniforms, here the four
    // bytes of one draw, which is fine enough for noise that ends up in converter counts.
    double Normal() {
        const uint32_t r = static_cast<uint32_t>(m_gen());
        const uint32_t sum = (r & 0xFFu) + ((r >> 8) & 0xFFu) + ((r >> 16) & 0xFFu) + (r >> 24);
        return ((static_cast<double>(sum) + 2.0) / 256.0 - 2.0) * std::numbers::sqrt3;
    }

  private:
    std::mt19937 m_gen;
};

float Circumference(float diameter) {
    return diameter * static_cast<float>(kPi);
}

// Raw converter counts of an engineering value on a min..max channel.
int32_t Counts(double value, double min, double max) {
    const double x = std::round((value - min) / (max - min) * kFullScale);
    return static_cast<int32_t>(std::clamp(x, 0.0, kFullScale));
}

// Logger period (timer counts between pulses) that reads back as `rpm`.
int32_t Period(double rpm, int ppr) {
    const double counts = std::trunc(kClock * 60.0);
    const double pulsesPerMinute = rpm * (ppr == 0 ? 0.5 : ppr);
    if (pulsesPerMinute <= 0.0) return static_cast<int32_t>(kNoReading);
    const double p = std::round(counts / pulsesPerMinute);
    if (p >= static_cast<double>(kNoReading)) return static_cast<int32_t>(kNoReading);
    return static_cast<int32_t>(std::max(p, 1.0));
}

CFreqSetup MakeRpmSetup(int channel, int type, const char* description, int ppr, int display,
                        float diameter = 1.0f) {
    CFreqSetup s;
    s.m_strDescription = description;
    s.m_nChannel = channel;
    s.m_nRpmType = type;
    s.m_nPPR = ppr;
    s.m_nDisplayMode = display;
    s.m_fDiameter = diameter;
    s.m_fCircumference = Circumference(diameter);
    return s;
}

CAnalogSetup MakeAnalogSetup(int channel, int type, const char* description, AnalogRange range,
                             int resolution, int invert = 0) {
    const float min = range.min, max = range.max;
    CAnalogSetup s;
    s.m_nFamily = 0;
    s.m_nInvert = s.m_nAltInvert = invert;
    s.m_strDescription = description;
    s.m_nChannel = channel;
    s.m_nType = type;
    s.m_nBits = 12;
    s.m_nResolution = resolution;
    s.m_fMin = s.m_fAltMin = s.m_fGraphBottom = min;
    s.m_fMax = s.m_fAltMax = s.m_fGraphTop = max;
    return s;
}

CDigitalSetup MakeSwitchSetup(int channel, const char* description) {
    CDigitalSetup s;
    s.m_strDescription = description;
    s.m_nChannel = channel;
    s.m_nType = 4;
    s.m_nBand = 2;
    s.m_fBandLow = 0.9f;  // switches are drawn upside down in the middle band
    s.m_fBandHigh = 0.1f;
    return s;
}

void FillSetup(CBriodashDataset& ds, const GeneratorPath& path) {
    CCarSetup& car = ds.m_carSetup;
    car.m_nRearEndMode = 1;
    car.m_nGears = kGears;
    std::copy(std::begin(kGearRatio), std::end(kGearRatio), car.m_fGearRatio);
    car.m_fRearEndRatio = kRearEnd;

    car.m_rpm.push_back(MakeRpmSetup(kEngineCh, 1, "Engine", kEnginePpr, 1));
    car.m_rpm.push_back(MakeRpmSetup(kDriveShaftCh, 10, "Drive Shaft", kDriveShaftPpr, 3));
    CFreqSetup rear =
        MakeRpmSetup(kRearWheelCh, 12, "Rear Wheel", kRearWheelPpr, 0, kRearTireDiameter);
    rear.m_nSlipPartner = kFrontWheelCh;
    car.m_rpm.push_back(rear);
    car.m_rpm.push_back(
        MakeRpmSetup(kFrontWheelCh, 11, "Front Wheel", kFrontWheelPpr, 2, kFrontTireDiameter));

    car.m_analog.push_back(MakeAnalogSetup(kThrottleCh, 132, "Throttle", kThrottleRange, 10));
    car.m_analog.push_back(MakeAnalogSetup(kBrakeCh, 133, "Brake Pressure", kBrakeRange, 1, 1));
    const char* shocks[4] = {"Shock-LF", "Shock-RF", "Shock-LR", "Shock-RR"};
    for (int k = 0; k < 4; ++k)
        car.m_analog.push_back(MakeAnalogSetup(kShockCh + k, 130, shocks[k], kShockRange, 1000));
    car.m_analog.push_back(MakeAnalogSetup(kEgtCh, 136, "EGT Cyl #1", kEgtRange, 1));
    car.m_analog.push_back(MakeAnalogSetup(kLateralCh, 135, "Left-Right Accel", kAccelRange, 100));
    car.m_analog.push_back(
        MakeAnalogSetup(kLongitudinalCh, 135, "Front-Rear Accel", kAccelRange, 100));
    car.m_analog.push_back(MakeAnalogSetup(kVerticalCh, 135, "Up-Down Accel", kAccelRange, 100));
    car.m_analog.push_back(MakeAnalogSetup(kBatteryCh, 134, "Battery Voltage", kBatteryRange, 10));

    car.m_digital.push_back(MakeSwitchSetup(kBrakeSwitchCh, "Brake Switch"));
    car.m_digital.push_back(MakeSwitchSetup(kThrottleSwitchCh, "Throttle Switch"));

    ds.m_strName = path.circuitName;
    ds.m_lstComments.push_back("Uploaded Jun 14, 2024 @ 02:30:00 PM");
    ds.m_fClock = static_cast<float>(kClock);
    ds.m_nFramed = 1;
    ds.m_nLoggerFamily = 0;
    ds.m_nBeaconsPerLap = 1;

    // Distinct trace colours (red in the low byte).
    ds.m_markers.m_crTrace = Rgb(0, 0, 0);
    const int32_t rpmColours[4] = {Rgb(193, 0, 32), Rgb(0, 83, 138), Rgb(0, 125, 52),
                                   Rgb(0, 160, 160)};
    const int32_t slipColours[4] = {Rgb(128, 128, 128), Rgb(192, 0, 192), Rgb(192, 192, 0),
                                    Rgb(192, 255, 128)};
    for (int k = 0; k < 4; ++k) {
        ds.m_rpm[k].m_crTrace = rpmColours[k];
        ds.m_rpm[k].m_crSlip = slipColours[k];
    }
    const std::pair<int, int32_t> analogColours[] = {{kThrottleCh, Rgb(147, 170, 0)},
                                                     {kBrakeCh, Rgb(241, 58, 19)},
                                                     {kShockCh, Rgb(128, 62, 117)},
                                                     {kShockCh + 1, Rgb(255, 104, 0)},
                                                     {kShockCh + 2, Rgb(83, 55, 122)},
                                                     {kShockCh + 3, Rgb(206, 162, 98)},
                                                     {kEgtCh, Rgb(127, 24, 13)},
                                                     {kLateralCh, Rgb(255, 179, 0)},
                                                     {kLongitudinalCh, Rgb(246, 118, 142)},
                                                     {kVerticalCh, Rgb(129, 112, 102)},
                                                     {kBatteryCh, Rgb(89, 51, 21)}};
    for (auto [ch, colour] : analogColours) ds.m_analog[ch - 1].m_crTrace = colour;
    ds.m_digital[kBrakeSwitchCh - 1].m_crTrace = Rgb(179, 40, 81);
    ds.m_digital[kThrottleSwitchCh - 1].m_crTrace = Rgb(35, 120, 22);
}

}  // namespace

std::vector<std::string> GeneratorCircuitIds() {
    std::vector<std::string> ids;
    for (const CircuitOutline& c : Circuits()) ids.emplace_back(c.id);
    return ids;
}

namespace {

// The car going round the path lap after lap. Each lap runs at its own pace (a speed factor
// drawn from the seed), blended across the lap so that speed stays continuous at the line.
class CLapper {
  public:
    struct State {
        double pathPosition, speed, curvature, accel, heading, distance;
    };

    CLapper(const GeneratorPath& path, uint32_t seed)
        : m_path(path), m_noise(seed ^ 0x5EED1A95u), m_n(path.x.size()) {
        m_pace.push_back(NextPace());
        m_pace.push_back(NextPace());
        BuildLap();
        m_start = m_path.length > 2.0 * kStartBeforeLine ? m_path.length - kStartBeforeLine
                                                         : m_path.length / 2.0;
        const double at = m_start / m_path.step;
        const auto i = static_cast<std::size_t>(at);
        m_lapStart = -(m_time[i] + (at - static_cast<double>(i)) * (m_time[i + 1] - m_time[i]));
    }

    // Position at session time t (seconds, never decreasing); lap line crossings passed on
    // the way are appended to `crossings` (seconds).
    State At(double t, std::vector<double>& crossings) {
        double tau = t - m_lapStart;
        while (tau >= m_time[m_n]) {
            m_lapStart += m_time[m_n];
            crossings.push_back(m_lapStart);
            ++m_lap;
            m_pace.push_back(NextPace());
            BuildLap();
            m_index = 0;
            tau = t - m_lapStart;
        }
        while (m_time[m_index + 1] <= tau) ++m_index;
        const std::size_t i = m_index, next = (i + 1) % m_n;
        const double f = (tau - m_time[i]) / (m_time[i + 1] - m_time[i]);
        const double position = (static_cast<double>(i) + f) * m_path.step;
        const double pace = PaceAt(position);
        const double headingNext =
            i + 1 < m_n ? m_path.heading[i + 1] : m_path.heading[0] + m_path.totalTurn;
        State s;
        s.pathPosition = position;
        s.speed = m_speed[i] + f * (m_speed[i + 1] - m_speed[i]);
        s.curvature = m_path.curvature[i] + f * (m_path.curvature[next] - m_path.curvature[i]);
        s.accel = pace * pace * (m_path.accel[i] + f * (m_path.accel[next] - m_path.accel[i]));
        s.heading = m_path.heading[i] + f * (headingNext - m_path.heading[i]) +
                    m_path.totalTurn * static_cast<double>(m_lap);
        s.distance = static_cast<double>(m_lap) * m_path.length + position - m_start;
        return s;
    }

  private:
    double NextPace() { return 1.0 + 0.016 * (m_noise.Uniform() - 0.5); }
    double PaceAt(double position) const {
        const double a = m_pace[m_pace.size() - 2], b = m_pace.back();
        return a + (b - a) * position / m_path.length;
    }
    // Speeds and times of the points of the current lap; point n is the next lap line.
    void BuildLap() {
        m_speed.resize(m_n + 1);
        m_time.resize(m_n + 1);
        for (std::size_t i = 0; i <= m_n; ++i)
            m_speed[i] = m_path.speed[i % m_n] * PaceAt(static_cast<double>(i) * m_path.step);
        m_time[0] = 0.0;
        for (std::size_t i = 0; i < m_n; ++i)
            m_time[i + 1] = m_time[i] + 2.0 * m_path.step / (m_speed[i] + m_speed[i + 1]);
    }

    const GeneratorPath& m_path;
    CNoise m_noise;
    std::size_t m_n;
    std::vector<double> m_pace;  // speed factor at each lap line passed or ahead
    std::vector<double> m_speed, m_time;
    std::size_t m_index = 0;
    int m_lap = 0;
    double m_start = 0.0;     // path position where the session starts
    double m_lapStart = 0.0;  // session time at which the current lap began
};

// Gear from the engine speed the current gear would give: up at the shift light, down when the
// lower gear stays comfortably under it.
int16_t NextGear(int16_t gear, double wheelRpm) {
    auto engine = [&](int g) { return wheelRpm * kGearRatio[g - 1] * kRearEnd; };
    while (gear < kGears && engine(gear) >= kUpshiftRpm) ++gear;
    while (gear > 1 && engine(gear - 1) < kDownshiftRpm) --gear;
    return gear;
}

CShaft ShaftSample(int32_t time, double rpm, int ppr, int16_t gear) {
    CShaft s;
    s.m_lTime = time;
    s.m_lRaw = s.m_lFiltered = Period(rpm, ppr);
    s.m_nGear = gear;
    return s;
}

CSample Sample(int32_t time, int32_t value) {
    CSample s;
    s.m_lTime = time;
    s.m_lRaw = s.m_lFiltered = value;
    return s;
}

}  // namespace

std::unique_ptr<CBriodashDataset> GenerateSession(const GeneratorOptions& options,
                                                  GeneratorTruth* truth) {
    const double rate = options.rateHz;
    if (!std::isfinite(options.minutes) || options.minutes < 0.0 || !std::isfinite(rate) ||
        rate <= 0.0 || rate > 10000.0)
        return nullptr;
    const double samplesWanted = std::round(options.minutes * 60.0 * rate);
    if (samplesWanted > kMaxSamples || options.minutes * 60.0 * 10000.0 >= kMaxTicks)
        return nullptr;
    std::optional<GeneratorPath> path = BuildGeneratorPath(options.circuitId);
    if (!path) return nullptr;

    auto ds = std::make_unique<CBriodashDataset>();
    FillSetup(*ds, *path);
    const auto n = static_cast<std::size_t>(samplesWanted);
    for (int k = 0; k < 4; ++k) ds->m_rpm[k].m_samples.reserve(n);
    for (const CAnalogSetup& a : ds->m_carSetup.m_analog)
        ds->m_analog[a.m_nChannel - 1].m_samples.reserve(n);
    if (truth) {
        *truth = GeneratorTruth{};
        truth->time.reserve(n);
        truth->distance.reserve(n);
        truth->pathPosition.reserve(n);
        truth->heading.reserve(n);
        truth->speed.reserve(n);
        truth->lateralG.reserve(n);
        truth->longitudinalG.reserve(n);
        truth->gear.reserve(n);
        truth->engineRpm.reserve(n);
    }

    CNoise noise(options.seed);
    CLapper car(*path, options.seed);
    std::vector<double> crossings;
    const double rearCircumference = Circumference(kRearTireDiameter) * kInch;
    const double frontCircumference = Circumference(kFrontTireDiameter) * kInch;
    const double dt = 1.0 / rate;
    const double egtLag = 1.0 - std::exp(-dt / 2.5);  // exhaust temperature follows in ~2.5 s
    const double roadLag = std::exp(-dt / 0.05);      // road bumps last ~50 ms
    int16_t gear = 1;
    double egt = 1100.0, road = 0.0;
    bool brakeOn = false, throttleOn = false;

    for (std::size_t i = 0; i < n; ++i) {
        const auto time =
            static_cast<int32_t>(std::llround(static_cast<double>(i) * 10000.0 / rate));
        const CLapper::State s = car.At(static_cast<double>(time) / 10000.0, crossings);
        const double wheelRpm = s.speed / rearCircumference * 60.0;
        gear = NextGear(gear, wheelRpm);
        const double engineRpm = wheelRpm * kGearRatio[gear - 1] * kRearEnd;
        const double lateral = s.speed * s.speed * s.curvature;  // m/s², left positive
        const double drag = DragDecel(s.speed);
        const double throttle = std::clamp((s.accel + drag) / kDriveAccel, 0.0, 1.0);
        const double brake = std::clamp((-s.accel - drag) / kBrakeDecel, 0.0, 1.0);

        // RPM channels read the shafts with a little jitter.
        auto jitter = [&] { return 1.0 + 0.001 * noise.Normal(); };
        ds->m_rpm[kEngineCh - 1].AddTail(ShaftSample(time, engineRpm * jitter(), kEnginePpr, gear));
        ds->m_rpm[kDriveShaftCh - 1].AddTail(
            ShaftSample(time, wheelRpm * kRearEnd * jitter(), kDriveShaftPpr, gear));
        ds->m_rpm[kRearWheelCh - 1].AddTail(
            ShaftSample(time, wheelRpm * jitter(), kRearWheelPpr, gear));
        ds->m_rpm[kFrontWheelCh - 1].AddTail(ShaftSample(
            time, s.speed / frontCircumference * 60.0 * jitter(), kFrontWheelPpr, gear));

        auto analog = [&](int channel, double value, AnalogRange range) {
            ds->m_analog[channel - 1].AddTail(Sample(time, Counts(value, range.min, range.max)));
        };
        analog(kThrottleCh, throttle * 100.0 + 0.3 * noise.Normal(), kThrottleRange);
        analog(kBrakeCh, brake * kMaxBrakePressure + 5.0 * noise.Normal(), kBrakeCounts);

        road = road * roadLag + (1.0 - roadLag) * noise.Normal();
        const double pitch = -s.accel / kGravity;  // nose dives under braking
        const double roll = lateral / kGravity;    // a left-hand corner loads the right side
        const double aero = 0.4 * (s.speed / kTopSpeed) * (s.speed / kTopSpeed);
        const double shock[4] = {0.5 * pitch - 0.6 * roll, 0.5 * pitch + 0.6 * roll,
                                 -0.4 * pitch - 0.6 * roll, -0.4 * pitch + 0.6 * roll};
        for (int k = 0; k < 4; ++k)
            analog(kShockCh + k, shock[k] + aero + 0.15 * road + 0.01 * noise.Normal(),
                   kShockRange);

        egt += egtLag * (900.0 + 700.0 * throttle * std::min(engineRpm / 8000.0, 1.0) - egt);
        analog(kEgtCh, egt + 3.0 * noise.Normal(), kEgtRange);

        analog(kLateralCh, lateral / kGravity + 0.02 * noise.Normal(), kAccelRange);
        analog(kLongitudinalCh, s.accel / kGravity + 0.02 * noise.Normal(), kAccelRange);
        analog(kVerticalCh, 1.0 + 0.08 * road + 0.02 * noise.Normal(), kAccelRange);
        analog(kBatteryCh, 13.4 + 0.4 * std::min(engineRpm / 8000.0, 1.0) + 0.03 * noise.Normal(),
               kBatteryRange);

        // Switches, sampled at a fifth of the rate; they switch with a little hysteresis.
        brakeOn = brakeOn ? brake > 0.02 : brake > 0.05;
        throttleOn = throttleOn ? throttle > 0.9 : throttle >= 0.95;
        if (i % kSwitchDivider == 0) {
            ds->m_digital[kBrakeSwitchCh - 1].AddTail(Sample(time, brakeOn ? 1 : 0));
            ds->m_digital[kThrottleSwitchCh - 1].AddTail(Sample(time, throttleOn ? 1 : 0));
        }

        if (truth) {
            truth->time.push_back(time);
            truth->distance.push_back(s.distance);
            truth->pathPosition.push_back(s.pathPosition);
            truth->heading.push_back(s.heading);
            truth->speed.push_back(s.speed);
            truth->lateralG.push_back(lateral / kGravity);
            truth->longitudinalG.push_back(s.accel / kGravity);
            truth->gear.push_back(gear);
            truth->engineRpm.push_back(engineRpm);
        }
    }

    // Lap beacon: one mark at every pass of the start/finish line, coded 100 × lap.
    int32_t code = 0;
    for (double t : crossings) {
        const auto time = static_cast<int32_t>(std::llround(t * 10000.0));
        ds->m_markers.AddTail(Sample(time, code));
        if (truth) truth->lapLineTimes.push_back(time);
        code += 100;
    }

    ds->ApplySettingsToSeries();
    ds->m_markers.m_nOn = 1;
    ds->m_markers.FinishLoad(true);
    for (auto& r : ds->m_rpm) r.m_fRate = static_cast<float>(rate);
    for (auto& a : ds->m_analog) a.m_fRate = static_cast<float>(rate);
    for (auto& d : ds->m_digital) d.m_fRate = static_cast<float>(rate / kSwitchDivider);
    ds->ForEachChannel([](CSeriesBase& series) {
        if (series.Size() == 0) return;
        series.m_nOn = 1;
        series.FinishLoad(false);
    });
    if (truth) truth->path = std::move(*path);
    return ds;
}

}  // namespace orvex
