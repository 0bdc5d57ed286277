#include "files/AsciiFile.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "files/DataFile.h"
#include "files/DataFileText.h"
#include "host/FileBytes.h"
#include "host/HostServices.h"
#include "host/Progress.h"
#include "model/Document.h"

namespace orvex {

namespace {

constexpr const char* kBrand = "Vexa-Log";
constexpr double kPi = 3.1415926535;
constexpr int kMaxColumns = 15;

// Columns of a data line after the time and engine columns.
enum class ColumnKind { None, Axle, Wheel, Lap, Analog };

struct ColumnDef {
    ColumnKind kind = ColumnKind::None;
    int analog = 0;
};

// What the header says; kept from one session to the next.
struct HeaderState {
    double versionMajor = 1, versionMinor = 0;
    char versionLetter = 0;
    int cylinders = 0, strokes = 0;
    double sampleRate = 0;
    int axlePPR = 1, wheelPPR = 2;
    double tireCirc = 0, tireDia = 0, wheelCirc = 0, wheelDia = 0;
    int tireMode = 0, wheelMode = 0;  // 1 given by diameter, 2 by circumference
    bool columnsSeen = false;
    bool sampleNumbers = false;
    bool axle = false, axleSpeed = false, wheel = false, wheelSpeed = false, lap = false;
    int axleType = 10;
    std::vector<ColumnDef> columns;  // from the third column on
    int analogCount = 0;
    int gears = 0;
    float gearRatio[6] = {1, 1, 1, 1, 1, 1};
    bool rearEndGiven = false;
    float rearEnd = 0;
    int rearMode = 1, driveTeeth = 0, axleTeeth = 0;
    int lapTimers = 1;
    std::vector<CAnalogSetup> analog;
};

bool Contains(std::string_view s, std::string_view what) {
    return s.find(what) != std::string_view::npos;
}

// Text after the first ':' (empty when there is none).
std::string_view AfterColon(std::string_view line) {
    std::size_t c = line.find(':');
    return c == std::string_view::npos ? std::string_view() : line.substr(c + 1);
}

// Leading number of a text like strtol/strtod, limited to sane ranges; `ok` tells whether
// a number was found. `rest` receives the text after it.
long ReadLong(std::string_view s, bool& ok, std::string_view* rest = nullptr) {
    std::string buf(s.substr(0, 64));
    const char* begin = buf.c_str();
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(begin, &end, 10);
    ok = end != begin;
    if (errno == ERANGE) v = v < 0 ? -1000000000L : 1000000000L;
    v = std::clamp(v, -1000000000L, 1000000000L);
    if (rest)
        *rest = s.substr(std::min<std::size_t>(static_cast<std::size_t>(end - begin), s.size()));
    return v;
}

double ReadDouble(std::string_view s, bool& ok) {
    std::string buf(s.substr(0, 64));
    const char* begin = buf.c_str();
    char* end = nullptr;
    double v = std::strtod(begin, &end);
    ok = end != begin && std::isfinite(v);
    return ok ? std::clamp(v, -1e9, 1e9) : 0.0;
}

std::vector<long> ReadLongs(std::string_view s, std::size_t max) {
    std::vector<long> out;
    while (out.size() < max) {
        bool ok = false;
        std::string_view rest;
        long v = ReadLong(s, ok, &rest);
        if (!ok) break;
        out.push_back(v);
        s = rest;
    }
    return out;
}

void ParseVersion(std::string_view line, HeaderState& h) {
    std::size_t at = line.find("Version");
    if (at == std::string_view::npos) return;
    std::string_view rest = line.substr(at + 7);
    bool ok = false;
    std::string_view after;
    long major = ReadLong(rest, ok, &after);
    if (!ok) return;
    h.versionMajor = static_cast<double>(major);
    h.versionMinor = 0;
    if (!after.empty() && after[0] == '.') {
        std::string_view afterMinor;
        long minor = ReadLong(after.substr(1), ok, &afterMinor);
        if (ok && minor >= 0) {
            h.versionMinor = static_cast<double>(minor);
            if (!afterMinor.empty()) h.versionLetter = afterMinor[0];
        }
    }
}

// Version as a comparable number: 2.4 → 2.4, 2.10 → 2.10 (minor taken as hundredths below 10).
double VersionValue(const HeaderState& h) {
    return h.versionMajor + h.versionMinor / (h.versionMinor < 10 ? 10.0 : 100.0);
}

// Engine type and PPR from cylinders and strokes.
void EngineFromCylinders(const HeaderState& h, int32_t& type, int32_t& ppr) {
    type = 1;
    ppr = 4;
    if (h.cylinders <= 0) return;
    const bool twoStroke = h.strokes == 2;
    if (h.cylinders == 1) {
        type = twoStroke ? 9 : 7;
        ppr = twoStroke ? 1 : 0;
        return;
    }
    ppr = twoStroke ? h.cylinders : h.cylinders / 2;
    switch (ppr) {
        case 4:
            type = 1;
            break;
        case 3:
            type = 2;
            break;
        case 2:
            type = 3;
            break;
        case 1:
            type = 8;
            break;
        default:
            type = 1;
            break;
    }
}

void ParseColumnHeader(std::string_view line, HeaderState& h, Units units, bool& mismatch,
                       Units& fileUnits) {
    h.columnsSeen = true;
    h.columns.clear();
    h.axle = h.wheel = h.lap = h.axleSpeed = h.wheelSpeed = false;
    h.analogCount = 0;
    std::istringstream words{std::string(line)};
    std::string word;
    int index = 0;
    const double version = VersionValue(h);
    while (words >> word && index < 64) {
        if (index == 0) h.sampleNumbers = Contains(word, "SAMPLE");
        if (index >= 2) {
            ColumnDef def;
            if (Contains(word, "Axle") || Contains(word, "Drive")) {
                def.kind = ColumnKind::Axle;
                h.axle = true;
                h.axleType = Contains(word, "Axle") && version > 1.0 ? 12 : 10;
                if (version < 2.4) {
                    h.axleSpeed = !Contains(word, "RPM");
                } else if (Contains(word, "Clutch-RPM")) {
                    h.axleType = 13;
                    h.axleSpeed = false;
                } else {
                    h.axleSpeed = !Contains(word, "Wheel-RPM");
                    if (!h.axleSpeed) h.axleType = 12;
                }
                if (Contains(word, "MPH") && units != Units::Imperial) {
                    mismatch = true;
                    fileUnits = Units::Imperial;
                } else if (Contains(word, "KPH") && units != Units::Metric) {
                    mismatch = true;
                    fileUnits = Units::Metric;
                }
            } else if (Contains(word, "Wheel")) {
                def.kind = ColumnKind::Wheel;
                h.wheel = true;
                h.wheelSpeed = !Contains(word, "RPM");
            } else if (Contains(word, "Lap")) {
                def.kind = ColumnKind::Lap;
                h.lap = true;
            } else if (Contains(word, "Data")) {
                std::size_t at = word.find("Analog");
                bool ok = false;
                long n = at == 0 ? ReadLong(std::string_view(word).substr(6), ok) : 0;
                if (ok && n > 0 && n < 20) {
                    def.kind = ColumnKind::Analog;
                    def.analog = static_cast<int>(n);
                    ++h.analogCount;
                }
            }
            h.columns.push_back(def);
        }
        ++index;
    }
}

void ParseHeaderLine(std::string_view line, HeaderState& h) {
    const std::string_view value = AfterColon(line);
    bool ok = false;
    if (Contains(line, "Cylinders:")) {
        h.cylinders = static_cast<int>(ReadLong(value, ok));
    } else if (Contains(line, "Stroke:")) {
        h.strokes = static_cast<int>(ReadLong(value, ok));
    } else if (Contains(line, "Sample Frequency:")) {
        double f = ReadDouble(value, ok);
        if (ok && f > 0) h.sampleRate = f;
    } else if (Contains(line, "Spike Filter:")) {
        // Filtering is chosen per channel in the program.
    } else if (Contains(line, "Axle RPM:")) {
        long v = ReadLong(value, ok);
        if (ok) h.axlePPR = static_cast<int>(std::clamp(v, 0L, 1000L));
    } else if (Contains(line, "Wheel RPM:")) {
        long v = ReadLong(value, ok);
        if (ok) h.wheelPPR = static_cast<int>(std::clamp(v, 0L, 1000L));
    } else if (Contains(line, "Tire Dia:")) {
        h.tireDia = ReadDouble(value, ok);
        h.tireCirc = h.tireDia * kPi;
        h.tireMode = 1;
    } else if (Contains(line, "Wheel Dia:")) {
        h.wheelDia = ReadDouble(value, ok);
        h.wheelCirc = h.wheelDia * kPi;
        h.wheelMode = 1;
    } else if (Contains(line, "Tire Circ:")) {
        h.tireCirc = ReadDouble(value, ok);
        h.tireDia = h.tireCirc / kPi;
        h.tireMode = 2;
    } else if (Contains(line, "Wheel Circ:")) {
        h.wheelCirc = ReadDouble(value, ok);
        h.wheelDia = h.wheelCirc / kPi;
        h.wheelMode = 2;
    } else if (Contains(line, "Gears:")) {
        long n = ReadLong(value, ok);
        if (!ok) return;
        h.gears = static_cast<int>(std::clamp(n, 0L, 6L));
        std::string_view rest = value;
        for (int i = 0; i < h.gears; ++i) {
            std::size_t comma = rest.find(',');
            if (comma == std::string_view::npos) break;
            rest = rest.substr(comma + 1);
            double r = ReadDouble(rest, ok);
            if (ok) h.gearRatio[i] = static_cast<float>(r);
        }
    } else if (Contains(line, "Lap Timers:")) {
        long v = ReadLong(value, ok);
        if (ok) h.lapTimers = static_cast<int>(std::clamp(v, 1L, 100L));
    } else if (Contains(line, "Rearend Ratio:")) {
        double r = ReadDouble(value, ok);
        if (ok) {
            h.rearEnd = static_cast<float>(r);
            h.rearMode = 1;
            h.rearEndGiven = true;
        }
    } else if (Contains(line, "Drive Teeth:") || Contains(line, "Axle Teeth:")) {
        long v = ReadLong(value, ok);
        if (!ok) return;
        if (Contains(line, "Drive Teeth:"))
            h.driveTeeth = static_cast<int>(std::clamp(v, -100000L, 100000L));
        else
            h.axleTeeth = static_cast<int>(std::clamp(v, -100000L, 100000L));
        if (h.driveTeeth > 0) {
            h.rearEnd = static_cast<float>(h.axleTeeth) / static_cast<float>(h.driveTeeth);
            h.rearMode = 0;
            h.rearEndGiven = true;
        }
    } else if (Contains(line, "Channel")) {
        std::size_t at = line.find("Channel");
        std::vector<long> numbers;
        std::string_view rest = line.substr(at + 7);
        bool okN = false;
        std::string_view afterN;
        long n = ReadLong(rest, okN, &afterN);
        if (!okN || n < 1 || n > kAnalogChannels) return;
        if (afterN.empty() || afterN[0] != ':') return;
        numbers = ReadLongs(afterN.substr(1), 6);
        if (numbers.empty()) return;
        auto it = std::find_if(h.analog.begin(), h.analog.end(),
                               [n](const CAnalogSetup& a) { return a.m_nChannel == n; });
        if (it == h.analog.end()) {
            CAnalogSetup a;
            a.m_nChannel = static_cast<int32_t>(n);
            h.analog.push_back(a);
            it = h.analog.end() - 1;
        }
        CAnalogSetup& a = *it;
        char name[32];
        std::snprintf(name, sizeof name, "Analog-%1d", static_cast<int>(n));
        a.m_strDescription = name;
        // Counted with the channel number: types 5 and 6 need four numbers (minimum and
        // maximum third and fourth, a fifth is the invert flag); other types take the third
        // number as the invert flag.
        const long type = numbers[0];
        if ((type == 5 || type == 6) && numbers.size() < 3) return;
        a.m_nFamily = 1;
        a.m_nType = static_cast<int32_t>(std::clamp(type, 0L, 8L));
        if (type == 5 || type == 6) {
            a.m_fMin = static_cast<float>(numbers[1]);
            a.m_fMax = static_cast<float>(numbers[2]);
            if (numbers.size() >= 4) a.m_nInvert = numbers[3] != 0;
        } else if (numbers.size() >= 2) {
            a.m_nInvert = numbers[1] != 0;
        }
        a.ApplyTypeDefaults();
    }
}

}  // namespace

int32_t RpmToPeriod(double rpm, int32_t ppr, double clock) {
    if (!(rpm > 0.0)) return 0;
    const double ticks = std::trunc(clock * 60.0);
    const double period = ppr <= 0 ? 2.0 * ticks / rpm : ticks / (rpm * ppr);
    return static_cast<int32_t>(std::clamp(std::round(period), 1.0, 2147483647.0));
}

int32_t AsciiSpeedToPeriod(uint32_t speed, int32_t type, double circumference, double rearEndRatio,
                           int32_t ppr, Units units, double clock) {
    if (speed == 0 || !(circumference > 0.0)) return 0;
    // Wheel revolutions per hour from the speed in hundredths: 634 per mile (inches) or 1000
    // per kilometre (centimetres).
    const double perUnit = units == Units::Metric ? 1000.0 : 634.0;
    double rpm = static_cast<double>(speed) * perUnit / circumference / 60.0;
    if (type == 10 || type == 13) rpm *= rearEndRatio > 0.0 ? rearEndRatio : 1.0;
    return RpmToPeriod(rpm, ppr, clock);
}

namespace {

// One session while it is read.
class SessionReader {
  public:
    SessionReader(const std::string& name, Units units, IHostServices& host, IProgress& progress)
        : m_units(units), m_host(host), m_progress(progress), m_name(name) {
        Start();
    }

    HeaderState h;
    int phase = 1;
    bool failed = false;

    void Start() {
        m_ds = std::make_unique<CBriodashDataset>();
        m_ds->m_strName = m_name;
        m_ds->m_nFramed = 0;
        m_lastTime = -1;
        m_firstTimes.clear();
        m_lapCount = 0;
        m_commentOpen = false;
        phase = 1;
    }

    void Comment(std::string_view line) {
        std::string text(line);
        if (m_commentOpen && !m_ds->m_lstComments.empty()) {
            m_ds->m_lstComments.back() += text.substr(1);
        } else {
            m_ds->m_lstComments.push_back(text);
            if (m_ds->m_lstComments.size() == 1) m_progress.SetStatus(2, text);
        }
        m_commentOpen = true;
    }
    void EndComment() { m_commentOpen = false; }

    // Setups from the header and the checks; false (with the message) when the session
    // cannot be read.
    bool EndHeader() {
        CCarSetup& car = m_ds->m_carSetup;
        car.ClearSetups();
        car.m_nGears = h.gears;
        std::copy(std::begin(h.gearRatio), std::end(h.gearRatio), car.m_fGearRatio);
        car.m_nRearEndMode = h.rearMode;
        car.m_nDriveTeeth = h.driveTeeth;
        car.m_nAxleTeeth = h.axleTeeth;
        car.m_fRearEndRatio = h.rearEndGiven ? h.rearEnd : 0.0f;
        m_ds->m_nBeaconsPerLap = h.lapTimers;
        int32_t engineType = 1, enginePPR = 4;
        EngineFromCylinders(h, engineType, enginePPR);
        CFreqSetup engine = CFreqSetup::Make(1, engineType, m_units);
        engine.m_nPPR = enginePPR;
        car.m_rpm.push_back(engine);
        if (h.axle) {
            if (h.axleType == 12 && !(car.m_fRearEndRatio > 0.0f)) {
                m_host.Message("WARNING: The rear end gear ratio is being defaulted to 1.0",
                               Icon::Warning);
                car.m_fRearEndRatio = 1.0f;
            }
            if (h.axleType != 12 && !(car.m_fRearEndRatio > 0.0f))
                return Fail(h.tireCirc > 0 ? "Error: The rear end gear ratio must be defined"
                                           : "Error: The rear end gear ratio and the\ntire size "
                                             "must be defined");
            if (!(h.tireCirc > 0)) return Fail("Error: The tire size must be defined");
            CFreqSetup axle = CFreqSetup::Make(2, h.axleType, m_units);
            axle.m_nPPR = h.axlePPR;
            if (h.axleSpeed) axle.m_nDisplayMode = 0;
            car.m_rpm.push_back(axle);
            // The tire belongs to the rear wheel; a drive shaft or clutch gets a rear-wheel
            // definition without a channel.
            CFreqSetup rear = h.axleType == 12 ? axle : CFreqSetup::Make(0, 12, m_units);
            rear.m_fCircumference = static_cast<float>(h.tireCirc);
            rear.m_fDiameter = static_cast<float>(h.tireDia);
            rear.m_nTireSizeMode = h.tireMode;
            if (h.axleType == 12)
                car.m_rpm.back() = rear;
            else
                car.m_rpm.insert(car.m_rpm.begin(), rear);
        }
        if (h.wheel) {
            if (!(h.wheelCirc > 0)) return Fail("Error: The front wheel size must be defined");
            CFreqSetup wheel = CFreqSetup::Make(3, 11, m_units);
            wheel.m_nPPR = h.wheelPPR;
            wheel.m_fCircumference = static_cast<float>(h.wheelCirc);
            wheel.m_fDiameter = static_cast<float>(h.wheelDia);
            wheel.m_nTireSizeMode = h.wheelMode;
            if (h.wheelSpeed) wheel.m_nDisplayMode = 0;
            car.m_rpm.push_back(wheel);
        }
        for (const ColumnDef& c : h.columns) {
            if (c.kind != ColumnKind::Analog) continue;
            auto it = std::find_if(h.analog.begin(), h.analog.end(),
                                   [&](const CAnalogSetup& a) { return a.m_nChannel == c.analog; });
            if (it == h.analog.end() || it->m_nType == 0) {
                char buf[64];
                std::snprintf(buf, sizeof buf, "Error: Analog Channel #%d must be defined",
                              c.analog);
                return Fail(buf);
            }
            if (!car.FindAnalogSetup(c.analog)) car.m_analog.push_back(*it);
        }
        std::sort(car.m_rpm.begin(), car.m_rpm.end(), [](const CFreqSetup& a, const CFreqSetup& b) {
            return a.m_nChannel < b.m_nChannel;
        });
        std::sort(car.m_analog.begin(), car.m_analog.end(),
                  [](const CAnalogSetup& a, const CAnalogSetup& b) {
                      return a.m_nChannel < b.m_nChannel;
                  });
        m_ds->ApplySettingsToSeries();
        for (auto& s : m_ds->m_rpm) s.m_bFramed = 0;
        std::string summary = "Contains : Tach";
        if (h.axle) summary += h.axleType == 10 ? ", Drive Shaft" : ", Axle";
        if (h.wheel) summary += ", Wheel";
        if (h.analogCount > 0) summary += ", " + std::to_string(h.analogCount) + " Analog";
        if (h.lap) summary += " and Lap";
        summary += " Data";
        m_progress.SetStatus(3, summary);
        phase = 3;
        return true;
    }

    // One data line; false when the user aborted.
    bool Data(std::string_view line) {
        std::vector<long> v = ReadLongs(line, kMaxColumns);
        if (v.empty()) return true;
        auto value = [&](std::size_t i) -> uint32_t {
            return static_cast<uint32_t>(std::clamp(v[i], 0L, 0x7FFFFFFFL));
        };
        const double rate = h.sampleRate > 0 ? h.sampleRate : 1.0;
        int64_t t = value(0);
        if (h.sampleNumbers)
            t = static_cast<int64_t>(std::llround(static_cast<double>(t) * 10000.0 / rate));
        t = std::min<int64_t>(t, 2147483646);
        const int32_t time = static_cast<int32_t>(t);
        // Series are kept in time order: a line stamped before the line above it is skipped.
        if (time < m_lastTime) return true;
        if (m_firstTimes.size() < 2) m_firstTimes.push_back(time);
        const CCarSetup& car = m_ds->m_carSetup;
        const double clock = m_ds->m_fClock;
        if (v.size() >= 2) {
            uint32_t period = value(1);
            if (period == 0 && time != 0) period = 1;
            if (period != 0) {
                const CFreqSetup* engine = car.FindRpmSetup(1);
                const int32_t ppr = engine ? engine->m_nPPR : 4;
                double count = rate / (std::max(ppr, 1) * static_cast<double>(period) / 60.0);
                if (h.cylinders == 1 && h.strokes != 2) count /= 2.0;
                count = std::min(std::trunc(count), 65535.0);
                AddShaft(0, time, RpmToPeriod(count, ppr, clock));
            }
        }
        for (std::size_t i = 2; i < v.size() && i - 2 < h.columns.size(); ++i) {
            const ColumnDef& c = h.columns[i - 2];
            const uint32_t raw = value(i);
            switch (c.kind) {
                case ColumnKind::Axle:
                    AddSpeed(1, 2, time, raw, h.axleSpeed);
                    break;
                case ColumnKind::Wheel:
                    AddSpeed(2, 3, time, raw, h.wheelSpeed);
                    break;
                case ColumnKind::Lap:
                    if (raw != 0) {
                        CSample m;
                        m.m_lTime = time;
                        const int perLap = std::max(h.lapTimers, 1);
                        m.m_lRaw = m.m_lFiltered =
                            100 * (m_lapCount / perLap) + m_lapCount % perLap;
                        ++m_lapCount;
                        m_ds->m_markers.AddTail(m);
                    }
                    break;
                case ColumnKind::Analog:
                    AddAnalog(c.analog, time, raw);
                    break;
                case ColumnKind::None:
                    break;
            }
        }
        if (time / 10000 != m_lastTime / 10000 || m_lastTime < 0) {
            const long secs = time / 10000;
            char buf[96];
            std::snprintf(buf, sizeof buf, "Loaded: %02ld:%02ld of %s data", secs / 60, secs % 60,
                          kBrand);
            m_progress.SetStatus(4, buf);
            if (m_progress.Pump()) return false;
        }
        m_lastTime = time;
        return true;
    }

    // Closes the session: the dataset when it holds engine or axle samples, else nothing.
    std::unique_ptr<CBriodashDataset> Close() {
        std::unique_ptr<CBriodashDataset> ds = std::move(m_ds);
        Start();
        if (!ds || (ds->m_rpm[0].Size() == 0 && ds->m_rpm[1].Size() == 0)) return nullptr;
        Finish(*ds);
        return ds;
    }

    std::unique_ptr<CBriodashDataset> Discard() {
        m_ds.reset();
        Start();
        return nullptr;
    }

  private:
    Units m_units;
    IHostServices& m_host;
    IProgress& m_progress;
    std::string m_name;
    std::unique_ptr<CBriodashDataset> m_ds;
    int32_t m_lastTime = -1;
    std::vector<int32_t> m_firstTimes;
    int m_lapCount = 0;
    bool m_commentOpen = false;

    bool Fail(const char* text) {
        m_host.Message(text, Icon::Error);
        failed = true;
        return false;
    }

    void AddShaft(int index, int32_t time, int32_t period) {
        CShaft s;
        s.m_lTime = time;
        s.m_lRaw = s.m_lFiltered = period;
        m_ds->m_rpm[static_cast<std::size_t>(index)].AddTail(s);
    }

    void AddSpeed(int index, int channel, int32_t time, uint32_t raw, bool speed) {
        const CCarSetup& car = m_ds->m_carSetup;
        const CFreqSetup* setup = car.FindRpmSetup(channel);
        if (!setup) return;
        const double rate = h.sampleRate > 0 ? h.sampleRate : 1.0;
        int32_t period;
        if (speed) {
            const double circ = channel == 3 ? h.wheelCirc : h.tireCirc;
            period = AsciiSpeedToPeriod(raw, setup->m_nRpmType, circ, car.m_fRearEndRatio,
                                        setup->m_nPPR, m_units, m_ds->m_fClock);
        } else {
            // Like the engine column: a period in samples per pulse.
            const double rpm =
                raw == 0 ? 0.0
                         : rate / (std::max(setup->m_nPPR, 1) * static_cast<double>(raw) / 60.0);
            period = RpmToPeriod(rpm, setup->m_nPPR, m_ds->m_fClock);
        }
        AddShaft(index, time, period);
    }

    void AddAnalog(int channel, int32_t time, uint32_t raw) {
        const CAnalogSetup* a = m_ds->m_carSetup.FindAnalogSetup(channel);
        if (!a) return;
        const double mn = a->m_fMin, mx = a->m_fMax;
        double v = raw;
        if (a->m_nType == 6) {
            const double x = v / 100.0;
            const double den = mx * 0.000575 + x * 0.000425;
            v = den != 0.0 ? x / den * 100.0 : 0.0;
        } else {
            if (a->m_nType == 3 || a->m_nType == 4 || (a->m_nType == 5 && mx - mn <= 100.0))
                v /= 100.0;
            v = mx != mn ? (v - mn) * 100000.0 / (mx - mn) : 0.0;
        }
        v = std::clamp(v, 0.0, 2147483647.0);
        CSample s;
        s.m_lTime = time;
        s.m_lRaw = s.m_lFiltered = static_cast<int32_t>(v);
        m_ds->m_analog[static_cast<std::size_t>(channel - 1)].AddTail(s);
    }

    // Rates and remembered extremes of the series read.
    void Finish(CBriodashDataset& ds) {
        ds.ApplySettingsToSeries();
        for (auto& s : ds.m_rpm) s.m_bFramed = 0;
        const bool byNumbers =
            h.sampleNumbers && m_firstTimes.size() == 2 && m_firstTimes[1] > m_firstTimes[0];
        const float rate =
            byNumbers ? 10000.0f / static_cast<float>(m_firstTimes[1] - m_firstTimes[0]) : 0.0f;
        auto finish = [&](CSeriesBase& s) {
            if (s.Size() == 0) return;
            s.FinishLoad(false);
            if (byNumbers) s.m_fRate = rate;
        };
        for (auto& s : ds.m_rpm) {
            finish(s);
            if (s.Size() == 0) continue;
            // The smallest period; a value below 80 % of the running estimate is a spike.
            double estimate = s.m_samples.front().m_lRaw;
            s.m_pMin = kNoPos;
            int32_t smallest = 0;
            for (Pos p = 0; p < static_cast<Pos>(s.Size()); ++p) {
                const int32_t v = s[p].m_lRaw;
                if (v > 0 && v >= 0.8 * estimate && (s.m_pMin == kNoPos || v < smallest)) {
                    smallest = v;
                    s.m_pMin = p;
                }
                estimate = (v + 4.0 * estimate) / 5.0;
            }
        }
        for (auto& s : ds.m_analog) {
            finish(s);
            if (s.Size() == 0) continue;
            s.m_pMax = 0;
            for (Pos p = 1; p < static_cast<Pos>(s.Size()); ++p)
                if (s[p].m_lRaw > s[s.m_pMax].m_lRaw) s.m_pMax = p;
        }
        ds.m_markers.m_nPerLap = ds.m_nBeaconsPerLap;
        if (ds.m_markers.Size()) ds.m_markers.m_nOn = 1;
        for (int i = 0; i < kRpmChannels; ++i)
            if (ds.m_rpm[static_cast<std::size_t>(i)].Size())
                ds.m_rpm[static_cast<std::size_t>(i)].m_nOn = 1;
        for (int i = 0; i < kAnalogChannels; ++i)
            if (ds.m_analog[static_cast<std::size_t>(i)].Size())
                ds.m_analog[static_cast<std::size_t>(i)].m_nOn = 1;
    }
};

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\0')) line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool StartsWithDigit(std::string_view line) {
    std::size_t i = line.find_first_not_of(" \t");
    return i != std::string_view::npos && line[i] >= '0' && line[i] <= '9';
}

}  // namespace

AsciiReadResult ReadAsciiText(std::string_view text, const std::string& path, Units units,
                              IHostServices& host) {
    AsciiReadResult result;
    result.fileUnits = units;
    const std::string name = DataFileBaseName(path);
    const std::string file = path.substr(path.find_last_of('/') + 1);
    char buf[512];
    std::snprintf(buf, sizeof buf, "Reading Data From %s", file.c_str());
    auto progress = OpenProgressWindow(host, buf);
    progress->SetStatus(1, "Opening " + file);
    const std::vector<std::string_view> lines = SplitLines(text);
    auto notData = [&] {
        std::snprintf(buf, sizeof buf, "This file is not a %s data file", kBrand);
        host.Message(buf, Icon::Stop);
        return std::move(result);
    };
    if (lines.empty()) return notData();
    const std::string_view magic = lines[0];
    if (magic.substr(0, 10) != "!Brio-Dash" || Contains(magic, "Car") || Contains(magic, "Color") ||
        Contains(magic, "Export"))
        return notData();
    progress->SetStatus(1, "Reading " + file);

    SessionReader reader(name, units, host, *progress);
    ParseVersion(magic, reader.h);
    auto keep = [&](std::unique_ptr<CBriodashDataset> ds) {
        if (ds) result.datasets.push_back(std::move(ds));
    };
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const bool bang = !line.empty() && line[0] == '!';
        if (reader.phase == 3) {
            if (bang) {
                keep(reader.Close());
                reader.Comment(line);
            } else if (StartsWithDigit(line)) {
                if (!reader.Data(line)) return result;
            }
            continue;
        }
        if (bang) {
            reader.Comment(line);
            continue;
        }
        reader.EndComment();
        if (reader.phase == 1) reader.phase = 2;
        if (Contains(line, "SAMPLE") || Contains(line, "REV")) {
            bool mismatch = false;
            ParseColumnHeader(line, reader.h, units, mismatch, result.fileUnits);
            if (mismatch) {
                result.unitsMismatch = true;
                return result;
            }
            continue;
        }
        const bool hash = !line.empty() && line[0] == '#';
        if (reader.h.columnsSeen && !hash && (StartsWithDigit(line) || !line.empty())) {
            if (!reader.EndHeader()) return result;
            if (StartsWithDigit(line) && !reader.Data(line)) return result;
            continue;
        }
        ParseHeaderLine(line, reader.h);
    }
    if (reader.phase == 3)
        keep(reader.Close());
    else
        reader.Discard();
    if (result.datasets.empty()) {
        std::snprintf(buf, sizeof buf, "This file does not contain any %s data", kBrand);
        host.Message(buf, Icon::Stop);
        return result;
    }
    result.ok = true;
    return result;
}

bool ReadAsciiFile(CBriodashDoc& doc, const std::string& path,
                   std::vector<std::unique_ptr<CBriodashDataset>>& out) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        doc.Host().Message(OpenErrorText(path, EISDIR), Icon::Error);
        return false;
    }
    std::string text;
    int error = 0;
    if (!ReadWholeFile(path, text, &error)) {
        // Too large for memory, or unreadable after opening.
        const bool opened = error == EFBIG || error == ENOMEM || error == EIO;
        doc.Host().Message(opened ? FormatText("Could NOT read file '%s'.\nException Error #:%d",
                                               path.c_str(), error)
                                  : OpenErrorText(path, error),
                           Icon::Error);
        return false;
    }
    AsciiReadResult r = ReadAsciiText(text, path, doc.m_options.units, doc.Host());
    for (auto& ds : r.datasets) out.push_back(std::move(ds));
    if (r.unitsMismatch) {
        doc.m_options.units = r.fileUnits;
        doc.ReportUnitsMismatch();
        return false;
    }
    return r.ok;
}

}  // namespace orvex
