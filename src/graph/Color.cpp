// Colour sets and the colour-setup file.
#include "graph/Color.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "host/AtomicWrite.h"
#include "host/FormatText.h"
#include "host/HostServices.h"
#include "model/Dataset.h"

namespace orvex {

void ApplyColourSet(const CColor& set, CBriodashDataset& ds) {
    auto colour = [](ColorRef c) { return static_cast<int32_t>(c & 0x00FFFFFFu); };
    ds.m_markers.m_crTrace = colour(set.m_crMarker);
    for (int i = 0; i < CColor::kRpm; ++i) {
        ds.m_rpm[static_cast<std::size_t>(i)].m_crTrace = colour(set.m_crRpm[i]);
        ds.m_rpm[static_cast<std::size_t>(i)].m_crSlip = colour(set.m_crSlip[i]);
    }
    for (int i = 0; i < CColor::kAnalog; ++i)
        ds.m_analog[static_cast<std::size_t>(i)].m_crTrace = colour(set.m_crAnalog[i]);
    for (int i = 0; i < CColor::kDigital; ++i)
        ds.m_digital[static_cast<std::size_t>(i)].m_crTrace = colour(set.m_crDigital[i]);
}

namespace {

constexpr std::size_t kMaxLine = 80;    // longer lines are cut
constexpr std::size_t kMaxSets = 1024;  // more sets than any dialog lists; the rest is ignored

std::string OpenError(int err) {
    return FormatText("File could not be opened error # %d", err);
}

// A decimal number as the C library reads "%d": optional blanks, a sign, digits.
bool ReadInt(const char*& p, long& value) {
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '\v' || *p == '\f') ++p;
    const char* start = p;
    if (*p == '+' || *p == '-') ++p;
    if (!std::isdigit(static_cast<unsigned char>(*p))) {
        p = start;
        return false;
    }
    long v = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p)
        v = std::min(v * 10 + (*p - '0'), 1000000000L);
    value = *start == '-' ? -v : v;
    return true;
}

// "%d %d %d": red, green and blue; each component is the low byte of its number.
bool ReadRgb(const char* p, ColorRef& color) {
    long r = 0, g = 0, b = 0;
    if (!ReadInt(p, r) || !ReadInt(p, g) || !ReadInt(p, b)) return false;
    color = MakeRGB(static_cast<int>(r), static_cast<int>(g), static_cast<int>(b));
    return true;
}

// "%d: %d %d %d": an entry number and its colour.
bool ReadNumberedRgb(const char* p, long& number, ColorRef& color) {
    if (!ReadInt(p, number) || *p != ':') return false;
    return ReadRgb(p + 1, color);
}

// Collects colour sets from the lines of a colour-setup file.
class ColorFileParser {
  public:
    void Line(std::string line) {
        if (line.size() > kMaxLine) line.resize(kMaxLine);
        if (!line.empty() && line[0] == '(') {
            m_current = CColor{};
        } else if (!line.empty() && line[0] == ')') {
            if (m_sets.size() < kMaxSets) m_sets.push_back(m_current);
        } else {
            Entry(line);
        }
    }
    std::vector<CColor> Take() { return std::move(m_sets); }

  private:
    // Single-colour keys of older files and the numbered keys of version 2.0, in the order
    // they are tried. "TransSlip:" goes before "Slip:", which it contains.
    void Entry(const std::string& line) {
        struct Single {
            const char* key;
            ColorRef CColor::*member;
            ColorRef (CColor::*array)[5];
            int index;
        };
        static const Single kSingles[] = {
            {"Tach:", nullptr, &CColor::m_crRpm, 0},
            {"Axle:", nullptr, &CColor::m_crRpm, 1},
            {"Lap:", &CColor::m_crMarker, nullptr, 0},
            {"TransSlip:", nullptr, &CColor::m_crSlip, 3},
            {"Slip:", nullptr, &CColor::m_crSlip, 0},
        };
        for (const Single& s : kSingles)
            if (Contains(line, s.key)) return SetSingle(line, s.key, s.member, s.array, s.index);
        if (Numbered(line, "Analog", m_current.m_crAnalog, CColor::kAnalog)) return;
        if (Contains(line, "Wheel:"))
            return SetSingle(line, "Wheel:", nullptr, &CColor::m_crRpm, 2);
        if (Contains(line, "FrtvsRear:"))
            return SetSingle(line, "FrtvsRear:", nullptr, &CColor::m_crSlip, 2);
        if (Contains(line, "Clutch:"))
            return SetSingle(line, "Clutch:", nullptr, &CColor::m_crRpm, 3);
        if (Numbered(line, "Digital", m_current.m_crDigital, CColor::kDigital)) return;
        if (Numbered(line, "RPM", m_current.m_crRpm, CColor::kRpm)) return;
        Numbered(line, "Slip#", m_current.m_crSlip, CColor::kSlip);
    }

    static bool Contains(const std::string& line, const char* key) {
        return line.find(key) != std::string::npos;
    }

    void SetSingle(const std::string& line, const char* key, ColorRef CColor::*member,
                   ColorRef (CColor::*array)[5], int index) {
        ColorRef c = 0;
        if (!ReadRgb(line.c_str() + line.find(key) + std::strlen(key), c)) return;
        if (member) m_current.*member = c;
        if (array) (m_current.*array)[index] = c;
    }

    // A numbered key: the entry number follows the key; numbers outside 1..count are ignored.
    static bool Numbered(const std::string& line, const char* key, ColorRef* colors, int count) {
        const auto at = line.find(key);
        if (at == std::string::npos) return false;
        long n = 0;
        ColorRef c = 0;
        if (ReadNumberedRgb(line.c_str() + at + std::strlen(key), n, c) && n >= 1 && n <= count)
            colors[n - 1] = c;
        return true;
    }

    CColor m_current;
    std::vector<CColor> m_sets;
};

// Checks the first line; returns false after the message when the file is not a colour file.
bool CheckHeader(bool haveLine, const std::string& first, IHostServices& host) {
    if (!haveLine) {
        host.Message("This Color Setup file is empty", Icon::Warning);
        return false;
    }
    if (first.substr(0, kMaxLine).find("!Brio-Dash Color") == std::string::npos) {
        host.Message(FormatText("This file is not a %s Color Setup file", "Vexa-Log"),
                     Icon::Warning);
        return false;
    }
    return true;
}

// Reads one line without its line end; long lines are read through but kept short.
bool GetLine(std::FILE* in, std::string& line) {
    line.clear();
    int ch;
    bool any = false;
    while ((ch = std::getc(in)) != EOF) {
        any = true;
        if (ch == '\n') break;
        if (line.size() <= kMaxLine) line.push_back(static_cast<char>(ch));
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

void AppendRgb(std::string& out, ColorRef c) {
    out += FormatText("%d %d %d\n", GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace

CColor::CColor(const ColorRef (&rpm)[kRpm], const ColorRef (&slip)[kSlip], ColorRef marker,
               const ColorRef (&analog)[kAnalog], const ColorRef (&digital)[kDigital])
    : m_crMarker(marker) {
    std::copy(std::begin(rpm), std::end(rpm), m_crRpm);
    std::copy(std::begin(slip), std::end(slip), m_crSlip);
    std::copy(std::begin(analog), std::end(analog), m_crAnalog);
    std::copy(std::begin(digital), std::end(digital), m_crDigital);
}

CColor CColor::Default(int n) {
    const int shade = 50 * (((n % 4) + 4) % 4);
    const int c1 = 255 - shade;
    const int c2 = 192 - shade;
    CColor c;
    c.m_crMarker = MakeRGB(0, 0, c1);
    c.m_crRpm[0] = MakeRGB(0, 0, c1);
    c.m_crRpm[1] = MakeRGB(c1, 0, 0);
    c.m_crRpm[2] = MakeRGB(0, c2, 0);
    c.m_crRpm[3] = MakeRGB(0, c2, c2);
    c.m_crRpm[4] = MakeRGB(c2, c2, c2);
    c.m_crSlip[0] = MakeRGB(128, 128, 128);
    c.m_crSlip[1] = MakeRGB(c2, 0, c2);
    c.m_crSlip[2] = MakeRGB(c2, c2, 0);
    c.m_crSlip[3] = MakeRGB(c2, c1, 128);
    c.m_crSlip[4] = MakeRGB(128, c2, c1);
    auto pattern = [](int i) {
        return MakeRGB(i % 2 == 0 ? 128 : 0, i % 3 == 0 ? 128 : 0, i % 4 == 0 ? 128 : 0);
    };
    for (int i = 0; i < kAnalog; ++i) c.m_crAnalog[i] = pattern(i);
    for (int i = 0; i < kDigital; ++i) c.m_crDigital[i] = pattern(i);
    return c;
}

std::string CColor::RpmName(int i) {
    return FormatText("RPM #%1d", i + 1);
}
std::string CColor::SlipName(int i) {
    return FormatText("Slip #%1d", i + 1);
}
std::string CColor::AnalogName(int i) {
    return FormatText("Ana #%1d", i);
}
std::string CColor::DigitalName(int i) {
    return FormatText("Dig #%1d", i);
}

std::optional<std::vector<CColor>> ReadColorFile(const std::string& path, IHostServices& host,
                                                 bool showMessages) {
    std::unique_ptr<std::FILE, FileCloser> in(std::fopen(path.c_str(), "rb"));
    int err = in ? 0 : errno;
    struct stat st {};
    if (in && ::fstat(::fileno(in.get()), &st) == 0 && S_ISDIR(st.st_mode)) err = EISDIR;
    if (err != 0) {
        if (showMessages) host.Message(OpenError(err), Icon::Warning);
        return std::nullopt;
    }
    std::string line;
    const bool haveLine = GetLine(in.get(), line);
    if (!CheckHeader(haveLine, line, host)) return std::nullopt;
    ColorFileParser parser;
    while (GetLine(in.get(), line)) parser.Line(line);
    return parser.Take();
}

std::optional<std::vector<CColor>> ParseColorText(const std::string& text, IHostServices& host) {
    std::size_t pos = 0;
    auto next = [&](std::string& line) {
        if (pos >= text.size()) return false;
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        line = text.substr(pos, std::min(end - pos, kMaxLine + 1));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        pos = end + 1;
        return true;
    };
    std::string line;
    const bool haveLine = next(line);
    if (!CheckHeader(haveLine, line, host)) return std::nullopt;
    ColorFileParser parser;
    while (next(line)) parser.Line(line);
    return parser.Take();
}

std::string FormatColorText(const std::vector<CColor>& sets) {
    std::string out = std::string(kColorFileHeader) + "\n";
    for (const CColor& c : sets) {
        out += "(\n";
        for (int i = 0; i < CColor::kRpm; ++i) {
            out += FormatText(" RPM%d: ", i + 1);
            AppendRgb(out, c.m_crRpm[i]);
        }
        for (int i = 0; i < CColor::kSlip; ++i) {
            out += FormatText(" Slip#%d: ", i + 1);
            AppendRgb(out, c.m_crSlip[i]);
        }
        for (int i = 0; i < CColor::kAnalog; ++i) {
            out += FormatText(" Analog%d: ", i + 1);
            AppendRgb(out, c.m_crAnalog[i]);
        }
        for (int i = 0; i < CColor::kDigital; ++i) {
            out += FormatText(" Digital%d: ", i + 1);
            AppendRgb(out, c.m_crDigital[i]);
        }
        out += ")\n";
    }
    return out;
}

bool WriteColorFile(const std::string& path, const std::vector<CColor>& sets, IHostServices& host) {
    const std::string text = FormatColorText(sets);
    const AtomicWriteResult result = WriteFileAtomically(path, text);
    if (!result) {
        host.Message(OpenError(result.error), Icon::Warning);
        return false;
    }
    return true;
}

}  // namespace orvex
