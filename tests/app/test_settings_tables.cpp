// The settings tables as the file sees them: every key of every group's table, applied to each
// of its sections, survives a trip through the application object, takes the same value when
// it is out of range as when it is missing, and every key the application writes is declared
// in exactly one table.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/DataAcqApp.h"

namespace orvex {
namespace {

using Key = CDataAcqApp::SettingKey;
using Kind = CDataAcqApp::SettingKind;

// One key of one section.
struct Place {
    std::string group, section;
    Key key;
};

std::vector<Place> EveryPlace() {
    std::vector<Place> places;
    for (const CDataAcqApp::SettingGroup& g : CDataAcqApp::SettingGroups()) {
        for (const Key& k : g.keys) {
            if (!k.section.empty()) {
                places.push_back({g.name, k.section, k});
                continue;
            }
            for (const std::string& section : g.sections) places.push_back({g.name, section, k});
        }
    }
    return places;
}

std::string Fixed(double v, Kind kind) {
    char text[64];
    std::snprintf(text, sizeof text, kind == Kind::Ratio ? "%7.4f" : "%0.3f", v);
    std::string s = text;
    return s.substr(s.find_first_not_of(' '));
}

bool IsNumber(Kind kind) {
    return kind == Kind::Int || kind == Kind::Long || kind == Kind::Float || kind == Kind::Ratio;
}

// Two files of in-range values away from the defaults where the key allows it. In the first the
// flags are set (tire by diameter, rear end by ratio) and the analog type is a pressure
// transducer (invert keys hold a sender mode); in the second the flags keep their defaults and
// the analog type is a plain one (invert keys are flags).
std::string Probe(const Key& k, int run) {
    static const std::map<std::string, std::string> kWords[2] = {
        {{"Version", "V3.03E"}, {"Units", "Metric"}, {"Theme", "Dark"}, {"Analog Type", "133"}},
        {{"Version", "V3.03E"},
         {"Units", "Metric"},
         {"Theme", "Light"},
         {"Analog Type", "3"},
         {"Invert Channel", "TRUE"},
         {"Alt Invert Channel", "TRUE"}},
    };
    if (auto it = kWords[run].find(k.key); it != kWords[run].end()) return it->second;
    auto differs = [&](double v) { return k.recordDefault || v != k.defaultValue; };
    switch (k.kind) {
        case Kind::Bool:
            if (run == 1) return k.defaultValue != 0 ? "TRUE" : "FALSE";
            return k.recordDefault || k.defaultValue == 0 ? "TRUE" : "FALSE";
        case Kind::Int:
        case Kind::Long:
            return std::to_string(static_cast<int64_t>(differs(k.maximum) ? k.maximum : k.minimum));
        case Kind::Float:
        case Kind::Ratio:
            for (double v : {0.5, 2.0, k.maximum})
                if (v >= k.minimum && v <= k.maximum && differs(v)) return Fixed(v, k.kind);
            return Fixed(k.minimum, k.kind);
        case Kind::Smoothing:
            return "Heavy";
        case Kind::Color:
            return "1, 2, 3";
        case Kind::String:
            return "probe " + k.key;
        case Kind::List: {
            std::string text;
            for (int i = 1; i <= k.count; ++i) text += (i > 1 ? ", " : "") + std::to_string(i);
            return text;
        }
    }
    return {};
}

CProfileFile ProbeFile(const std::vector<Place>& places, int run) {
    CProfileFile file;
    for (const Place& p : places) file.Write(p.section, p.key.key, Probe(p.key, run));
    return file;
}

CProfileFile Resaved(const CProfileFile& file) {
    CDataAcqApp app("unused.ini");
    app.ReadSettings(file);
    CProfileFile out;
    app.WriteSettings(out);
    return out;
}

TEST(SettingsTables, EveryKeyRoundTripsAndTakesItsDefaultOutOfRange) {
    const std::vector<Place> places = EveryPlace();
    ASSERT_GT(places.size(), 400u);
    std::set<std::string> checked;  // group and key
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        const CProfileFile probe = ProbeFile(places, run);
        const CProfileFile out = Resaved(probe);
        for (const Place& p : places) {
            SCOPED_TRACE(p.section + "/" + p.key.key);
            const auto written = out.Get(p.section, p.key.key);
            if (!written) {
                // Only keys that some records leave out may be missing.
                EXPECT_TRUE(p.key.conditional);
                continue;
            }
            EXPECT_EQ(*written, *probe.Get(p.section, p.key.key));
            checked.insert(p.group + "/" + p.key.key);
        }
    }
    // Read from files that have them, never written.
    CDataAcqApp app("unused.ini");
    app.ReadSettings(ProbeFile(places, 0));
    EXPECT_FLOAT_EQ(app.GetLoggerConfig(3).m_fPcaClock, 500000.0f);
    for (const Place& p : places) {
        if (p.key.neverWritten) continue;
        EXPECT_TRUE(checked.count(p.group + "/" + p.key.key)) << p.group << ": " << p.key.key;
    }

    // A value outside the range is read as if the key were missing, which is its default.
    for (int run = 0; run < 2; ++run) {
        const CProfileFile probe = ProbeFile(places, run);
        for (const Place& p : places) {
            const Key& k = p.key;
            if (!IsNumber(k.kind)) continue;
            std::vector<std::string> bad;
            const bool whole = k.kind == Kind::Int || k.kind == Kind::Long;
            if (k.minimum > INT_MIN)
                bad.push_back(whole ? std::to_string(static_cast<int64_t>(k.minimum) - 1)
                                    : Fixed(k.minimum - 1, Kind::Float));
            if (k.maximum < INT_MAX)
                bad.push_back(whole ? std::to_string(static_cast<int64_t>(k.maximum) + 1)
                                    : Fixed(k.maximum + 1, Kind::Float));
            CProfileFile missing = probe;
            missing.DeleteKey(p.section, k.key);
            const auto expected = Resaved(missing).Get(p.section, k.key);
            for (const std::string& value : bad) {
                SCOPED_TRACE(p.section + "/" + k.key + "=" + value);
                CProfileFile file = probe;
                file.Write(p.section, k.key, value);
                EXPECT_EQ(Resaved(file).Get(p.section, k.key), expected);
            }
            // Printing always adds its fixed flags; the switch rate follows the kept divider.
            if (!expected || k.recordDefault || k.key == "Printer-SetupFlags" ||
                k.key == "Switch Rate")
                continue;
            SCOPED_TRACE(p.section + "/" + k.key);
            EXPECT_EQ(*expected, whole ? std::to_string(static_cast<int64_t>(k.defaultValue))
                                       : Fixed(k.defaultValue, k.kind));
        }
    }
}

TEST(SettingsTables, EveryKeyWrittenIsDeclaredInExactlyOneTable) {
    const auto groups = CDataAcqApp::SettingGroups();
    auto declarations = [&](const std::string& section, const std::string& key) {
        int n = 0;
        for (const auto& g : groups) {
            const bool inGroup =
                std::find(g.sections.begin(), g.sections.end(), section) != g.sections.end();
            for (const Key& k : g.keys)
                if (k.key == key && (k.section == section || (k.section.empty() && inGroup))) ++n;
        }
        return n;
    };
    const std::vector<Place> places = EveryPlace();
    std::vector<CProfileFile> written = {Resaved(CProfileFile()), Resaved(ProbeFile(places, 0)),
                                         Resaved(ProbeFile(places, 1))};
    int keys = 0;
    for (const CProfileFile& file : written)
        for (const std::string& section : file.Sections())
            for (const auto& [key, value] : file.Entries(section)) {
                EXPECT_EQ(declarations(section, key), 1) << section << "/" << key;
                ++keys;
            }
    EXPECT_GT(keys, 1000);
}

}  // namespace
}  // namespace orvex
