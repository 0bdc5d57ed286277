#include "model/CarFile.h"

#include <locale.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdarg>
#include <cstdio>

#include "host/AtomicWrite.h"
#include "host/FileBytes.h"
#include "host/FormatText.h"
#include "host/HostServices.h"

namespace orvex {

namespace {

constexpr double kPi = 3.1415926535;
constexpr const char* kHeader = "!Brio-Dash Car Setup File Version 3.0\n";
constexpr const char* kHeaderMark = "!Brio-Dash Car";

// printf with the "C" numeric conventions, whatever locale the host program has set.
[[gnu::format(printf, 2, 3)]] void AppendF(std::string& out, const char* format, ...) {
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    const locale_t previous = cLocale ? ::uselocale(cLocale) : static_cast<locale_t>(0);
    va_list args;
    va_start(args, format);
    out += FormatTextV(format, args);
    va_end(args);
    if (cLocale) ::uselocale(previous);
}

// A description on one line: line breaks would start lines of their own in the file.
std::string OneLine(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\n' || c == '\r') c = ' ';
    return out;
}

// Reads the fields of one line the way the file's scanf formats do: blanks before a field
// are skipped, literals must match, and reading stops at the first field that fails.
class FieldReader {
  public:
    explicit FieldReader(std::string_view text)
        : m_p(text.data()), m_end(text.data() + text.size()) {}

    void SkipBlanks() {
        while (m_p < m_end && std::isspace(static_cast<unsigned char>(*m_p))) ++m_p;
    }
    bool Literal(char c) {
        SkipBlanks();
        if (m_p == m_end || *m_p != c) return false;
        ++m_p;
        return true;
    }
    template <class Int>
    bool Integer(Int& value) {
        SkipBlanks();
        const char* p = m_p;
        if (p < m_end && *p == '+') ++p;
        Int v{};
        auto [next, ec] = std::from_chars(p, m_end, v);
        if (ec != std::errc()) return false;
        value = v;
        m_p = next;
        return true;
    }
    bool Float(float& value) {
        SkipBlanks();
        const char* p = m_p;
        if (p < m_end && *p == '+') ++p;
        double v = 0;
        auto [next, ec] = std::from_chars(p, m_end, v);
        if (ec != std::errc()) return false;
        value = static_cast<float>(v);
        m_p = next;
        return true;
    }
    bool Word(std::string& word) {
        SkipBlanks();
        const char* start = m_p;
        while (m_p < m_end && !std::isspace(static_cast<unsigned char>(*m_p))) ++m_p;
        word.assign(start, m_p);
        return !word.empty();
    }
    std::string_view Rest() {
        SkipBlanks();
        return {m_p, static_cast<size_t>(m_end - m_p)};
    }

  private:
    const char* m_p;
    const char* m_end;
};

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

enum class Key {
    Sensor,
    Gears,
    ShaftPpr,
    TireDia,
    TireCirc,
    WheelPpr,
    WheelDia,
    WheelCirc,
    RearendRatio,
    DriveTeeth,
    AxleTeeth,
    AnalogSettings,
    AnalogDescription,
    DigitalSettings,
    DigitalDescription,
    RpmSettings,
    RpmDescription,
    Unknown,
};

struct KeyText {
    const char* text;
    Key key;
};

// In the order they are tried.
constexpr KeyText kKeys[] = {
    {"Sensor:", Key::Sensor},
    {"Gears:", Key::Gears},
    {"Shaft PPR:", Key::ShaftPpr},
    {"Tire Dia:", Key::TireDia},
    {"Tire Circ:", Key::TireCirc},
    {"Wheel PPR:", Key::WheelPpr},
    {"Wheel Dia:", Key::WheelDia},
    {"Wheel Circ:", Key::WheelCirc},
    {"Rearend Ratio:", Key::RearendRatio},
    {"Drive Teeth:", Key::DriveTeeth},
    {"Axle Teeth:", Key::AxleTeeth},
    {"Analog Settings", Key::AnalogSettings},
    {"Analog Description", Key::AnalogDescription},
    {"Digital Settings", Key::DigitalSettings},
    {"Digital Description", Key::DigitalDescription},
    {"RPM Settings", Key::RpmSettings},
    {"RPM Description", Key::RpmDescription},
};

class CarFileReader {
  public:
    CarFileReader(CCarSetup& car, Units units, IHostServices& host)
        : m_car(car), m_units(units), m_host(host) {}

    int Read(std::string_view text);

  private:
    void ReadLine(std::string_view line);
    void Unknown(std::string_view line);
    bool SizeInCurrentUnits(FieldReader& in, const char* what, float& size);
    CFreqSetup* WheelSetup(int type, int preferredChannel);
    void ReadWheelSize(FieldReader& in, int type, int channel, bool diameter, const char* what);
    bool ReadChannel(FieldReader& in, int lowest, int highest, int& channel);

    CCarSetup& m_car;
    Units m_units;
    IHostServices& m_host;
    bool m_twelveBits = false;  // version 2.0 files: every analog channel has 12 bits
    int m_flags = kCarFileRead;
};

int CarFileReader::Read(std::string_view text) {
    if (text.empty()) {
        m_host.Message("This Car Setup file is empty", Icon::Warning);
        return 0;
    }
    bool first = true;
    while (!text.empty()) {
        const size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            first = false;
            if (line.find(kHeaderMark) == std::string_view::npos) {
                m_host.Message(
                    FormatMessage("This file is not a %s Car Setup file", std::string("Vexa-Log")),
                    Icon::Warning);
                return 0;
            }
            const size_t at = line.find("Version");
            if (at != std::string_view::npos) {
                FieldReader in(line.substr(at + 7));
                int major = 0, minor = 0;
                m_twelveBits = in.Integer(major) && in.Literal('.') && in.Integer(minor) &&
                               major == 2 && minor == 0;
            }
            continue;
        }
        if (!line.empty() && line.front() == '#') ReadLine(line);
    }
    return m_flags;
}

void CarFileReader::Unknown(std::string_view line) {
    m_host.Message(FormatMessage("WARNING: Unknown setup option '%s' found in file.\nSetup is "
                                 "being ignored!",
                                 std::string(line)),
                   Icon::Warning);
}

bool CarFileReader::ReadChannel(FieldReader& in, int lowest, int highest, int& channel) {
    return in.Literal('#') && in.Integer(channel) && channel >= lowest && channel <= highest &&
           in.Literal(':');
}

void CarFileReader::ReadLine(std::string_view line) {
    // Keys are looked for in the text before the first colon, so that a description cannot
    // be taken for a key.
    const size_t colon = line.find(':');
    const std::string_view head =
        line.substr(0, colon == std::string_view::npos ? line.size() : colon + 1);
    Key key = Key::Unknown;
    size_t keyEnd = 0;
    for (const KeyText& k : kKeys) {
        const size_t at = head.find(k.text);
        if (at != std::string_view::npos) {
            key = k.key;
            keyEnd = at + std::char_traits<char>::length(k.text);
            break;
        }
    }
    FieldReader in(line.substr(keyEnd));
    switch (key) {
        case Key::Sensor: {
            const int type =
                line.find("Axle") != std::string_view::npos ? kRpmRearWheel : kRpmDriveShaft;
            m_car.GetOrCreateRpmSetup(2, type, m_units).SetType(type);
            m_flags |= kCarFileRpm;
            break;
        }
        case Key::Gears: {
            int32_t gears = 0;
            if (!in.Integer(gears)) break;
            m_car.m_nGears = std::clamp(gears, 0, 6);
            for (float& ratio : m_car.m_fGearRatio)
                if (!in.Literal(',') || !in.Float(ratio)) break;
            m_flags |= kCarFileGears;
            break;
        }
        case Key::ShaftPpr:
        case Key::WheelPpr: {
            int32_t ppr = 0;
            if (!in.Integer(ppr)) break;
            CFreqSetup* s = key == Key::WheelPpr ? WheelSetup(kRpmFrontWheel, 3)
                            : m_car.FindRpmSetupByType(kRpmDriveShaft)
                                ? m_car.FindRpmSetupByType(kRpmDriveShaft)
                                : m_car.FindRpmSetupByType(kRpmRearWheel);
            if (s) s->m_nPPR = ppr;
            m_flags |= kCarFileRpm;
            break;
        }
        case Key::TireDia:
            ReadWheelSize(in, kRpmRearWheel, 2, true, "tire diameter");
            break;
        case Key::TireCirc:
            ReadWheelSize(in, kRpmRearWheel, 2, false, "tire circumference");
            break;
        case Key::WheelDia:
            ReadWheelSize(in, kRpmFrontWheel, 3, true, "wheel diameter");
            break;
        case Key::WheelCirc:
            ReadWheelSize(in, kRpmFrontWheel, 3, false, "wheel circumference");
            break;
        case Key::RearendRatio:
            if (in.Float(m_car.m_fRearEndRatio)) m_car.m_nRearEndMode = 1;
            break;
        case Key::DriveTeeth:
        case Key::AxleTeeth: {
            int32_t teeth = 0;
            if (!in.Integer(teeth)) break;
            (key == Key::DriveTeeth ? m_car.m_nDriveTeeth : m_car.m_nAxleTeeth) = teeth;
            m_car.m_nRearEndMode = 0;
            if (m_car.m_nDriveTeeth > 0)
                m_car.m_fRearEndRatio = static_cast<float>(m_car.m_nAxleTeeth) /
                                        static_cast<float>(m_car.m_nDriveTeeth);
            break;
        }
        case Key::AnalogSettings: {
            int channel = 0;
            if (!ReadChannel(in, 1, 20, channel)) return Unknown(line);
            CAnalogSetup& s = m_car.GetOrCreateAnalogSetup(channel);
            int32_t type = s.m_nType;
            if (in.Integer(type) && in.Literal(',') && in.Integer(s.m_nSmoothing) &&
                in.Literal(',') && in.Integer(s.m_nScaleMode) && in.Literal(',') &&
                in.Integer(s.m_nInvert) && in.Literal(',') && in.Float(s.m_fMin) &&
                in.Literal(',') && in.Float(s.m_fMax) && in.Literal(',') && in.Float(s.m_fOffset) &&
                in.Literal(',')) {
                in.Integer(s.m_nBits);
            }
            s.SetType(type);
            if (s.m_nSmoothing == 0) s.m_nSmoothing = 4;
            if ((s.m_nFamily == 0 && s.m_nBits == 0) || m_twelveBits) s.m_nBits = 12;
            s.ApplyTypeDefaults();
            m_flags |= kCarFileAnalog;
            break;
        }
        case Key::AnalogDescription: {
            int channel = 0;
            if (!ReadChannel(in, 1, 20, channel)) return Unknown(line);
            m_car.GetOrCreateAnalogSetup(channel).m_strDescription = in.Rest();
            m_flags |= kCarFileAnalog;
            break;
        }
        case Key::DigitalSettings: {
            int channel = 0;
            if (!ReadChannel(in, 1, 6, channel)) return Unknown(line);
            CDigitalSetup& s = m_car.GetOrCreateDigitalSetup(channel);
            if (in.Integer(s.m_nType) && in.Literal(',') && in.Integer(s.m_nBand) &&
                in.Literal(',')) {
                in.Integer(s.m_nInvert);
            }
            s.ApplyBand();
            m_flags |= kCarFileDigital;
            break;
        }
        case Key::DigitalDescription: {
            int channel = 0;
            if (!ReadChannel(in, 1, 6, channel)) return Unknown(line);
            m_car.GetOrCreateDigitalSetup(channel).m_strDescription = in.Rest();
            m_flags |= kCarFileDigital;
            break;
        }
        case Key::RpmSettings: {
            // Channel 0 holds a rear wheel derived from other channels.
            int channel = 0;
            if (!ReadChannel(in, 0, 5, channel)) return Unknown(line);
            CFreqSetup& s = m_car.GetOrCreateRpmSetup(channel, 0, m_units);
            float circumference = 0;
            if (in.Integer(s.m_nRpmType) && in.Literal(',') && in.Integer(s.m_nSlipPartner) &&
                in.Literal(',') && in.Integer(s.m_nDisplayMode) && in.Literal(',') &&
                in.Integer(s.m_nPPR) && in.Literal(',') && in.Float(circumference)) {
                const double factor = m_units == Units::Metric ? 2.54 : 1.0;
                s.m_fCircumference = static_cast<float>(circumference * factor);
                s.m_fDiameter = static_cast<float>(circumference / kPi * factor);
                if (in.Literal(',')) in.Integer(s.m_nSmoothing);
            }
            m_flags |= kCarFileRpm;
            break;
        }
        case Key::RpmDescription: {
            int channel = 0;
            if (!ReadChannel(in, 0, 5, channel)) return Unknown(line);
            m_car.GetOrCreateRpmSetup(channel, 0, m_units).m_strDescription = in.Rest();
            m_flags |= kCarFileRpm;
            break;
        }
        case Key::Unknown:
            Unknown(line);
            break;
    }
}

bool CarFileReader::SizeInCurrentUnits(FieldReader& in, const char* what, float& size) {
    float value = 0;
    if (!in.Float(value)) return false;
    double v = value;
    std::string unit;
    if (in.Word(unit)) {
        if (EqualNoCase(unit, "cm")) {
            if (m_units == Units::Imperial) v /= 2.54;
        } else if (EqualNoCase(unit, "in")) {
            if (m_units == Units::Metric) v *= 2.54;
        } else {
            m_host.Message(std::string("WARNING: Attempted to read a ") + what + " in " + unit +
                               " which is not supported\nThe current unit of measure is assumed",
                           Icon::Warning);
        }
    }
    size = static_cast<float>(v);
    return true;
}

// The wheel setup of `type`; a missing one is created on the preferred channel when that is
// free, else a rear wheel becomes a definition (channel 0) and a front wheel takes the first
// free channel.
CFreqSetup* CarFileReader::WheelSetup(int type, int preferredChannel) {
    if (CFreqSetup* s = m_car.FindRpmSetupByType(type)) return s;
    int channel = preferredChannel;
    if (m_car.FindRpmSetup(channel)) {
        channel = type == kRpmRearWheel ? 0 : -1;
        for (int c = 1; channel < 0 && c <= 5; ++c)
            if (!m_car.FindRpmSetup(c)) channel = c;
        if (channel < 0 || m_car.FindRpmSetup(channel)) return nullptr;
    }
    return &m_car.GetOrCreateRpmSetup(channel, type, m_units);
}

void CarFileReader::ReadWheelSize(FieldReader& in, int type, int channel, bool diameter,
                                  const char* what) {
    float size = 0;
    if (!SizeInCurrentUnits(in, what, size)) return;
    m_flags |= kCarFileRpm;
    CFreqSetup* s = WheelSetup(type, channel);
    if (!s) return;
    if (diameter) {
        s->m_fDiameter = size;
        s->m_fCircumference = static_cast<float>(size * kPi);
    } else {
        s->m_fCircumference = size;
        s->m_fDiameter = static_cast<float>(size / kPi);
    }
}

}  // namespace

std::string CarFileText(const CCarSetup& car, Units units) {
    std::string out = kHeader;
    const int gears = std::clamp(car.m_nGears, 0, 6);
    if (gears > 0) {
        AppendF(out, "#Gears: %d", gears);
        for (int i = 0; i < gears; ++i) AppendF(out, ", %7.4f", car.m_fGearRatio[i]);
        out += "\n";
    }
    if (car.m_nRearEndMode == 1) {
        if (car.m_fRearEndRatio > 0.0f)
            AppendF(out, "#Rearend Ratio: %7.4f\n", car.m_fRearEndRatio);
    } else if (car.m_nRearEndMode == 0) {
        if (car.m_nDriveTeeth > 0 && car.m_nAxleTeeth > 0) {
            AppendF(out, "#Drive Teeth: %d\n", car.m_nDriveTeeth);
            AppendF(out, "#Axle Teeth: %d\n", car.m_nAxleTeeth);
        }
    }
    for (const CAnalogSetup& s : car.m_analog) {
        AppendF(out, "#Analog Settings #%1d: %d, %hd, %hd, %d, %0.3f, %0.3f, %0.3f, %d\n",
                s.m_nChannel, s.m_nType, s.m_nSmoothing, s.m_nScaleMode, s.m_nInvert, s.m_fMin,
                s.m_fMax, s.m_fOffset, s.m_nBits);
        AppendF(out, "#Analog Description #%1d: %s\n", s.m_nChannel,
                OneLine(s.m_strDescription).c_str());
    }
    for (const CDigitalSetup& s : car.m_digital) {
        AppendF(out, "#Digital Settings #%1d: %d, %hd, %d\n", s.m_nChannel, s.m_nType, s.m_nBand,
                s.m_nInvert);
        AppendF(out, "#Digital Description #%1d: %s\n", s.m_nChannel,
                OneLine(s.m_strDescription).c_str());
    }
    for (const CFreqSetup& s : car.m_rpm) {
        const double inches =
            units == Units::Metric ? s.m_fCircumference / 2.54 : s.m_fCircumference;
        AppendF(out, "#RPM Settings #%1d: %d, %d, %d, %d, %0.3f, %hd\n", s.m_nChannel, s.m_nRpmType,
                s.m_nSlipPartner, s.m_nDisplayMode, s.m_nPPR, inches, s.m_nSmoothing);
        AppendF(out, "#RPM Description #%1d: %s\n", s.m_nChannel,
                OneLine(s.m_strDescription).c_str());
    }
    return out;
}

bool ExportCarFile(const CCarSetup& car, const std::string& path, Units units,
                   IHostServices& host) {
    const AtomicWriteResult result = WriteFileAtomically(path, CarFileText(car, units));
    if (result) return true;
    host.Message(FormatMessage(result.stage == AtomicWriteResult::Open
                                   ? "File could not be opened error # %d"
                                   : "File could not be written error # %d",
                               result.error),
                 Icon::Error);
    return false;
}

int ParseCarFile(CCarSetup& car, std::string_view text, Units units, IHostServices& host) {
    // Read into a copy so that a file refused on its first line changes nothing.
    CCarSetup copy = car;
    CarFileReader reader(copy, units, host);
    const int flags = reader.Read(text);
    if (flags != 0) car = std::move(copy);
    return flags;
}

int ImportCarFile(CCarSetup& car, const std::string& path, Units units, IHostServices& host) {
    std::string text;
    int error = 0;
    // A car file is a few hundred bytes; a far larger one is refused before it is read.
    if (!ReadWholeFile(path, text, &error, kSmallFileLimit)) {
        host.Message(FormatMessage("File could not be opened error # %d", error), Icon::Error);
        return 0;
    }
    return ParseCarFile(car, text, units, host);
}

}  // namespace orvex
