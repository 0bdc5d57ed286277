#include "processing/ZeroTime.h"

#include <algorithm>
#include <cstdio>

#include "host/HostServices.h"
#include "processing/Laps.h"

namespace orvex {

namespace {

int32_t EffectiveZero(const CBriodashDataset& ds) {
    return ds.m_nTimeRef != 0 ? ds.m_lZeroTime : 0;
}

std::string MarkChoiceText(int32_t code, bool et) {
    if (et) {
        static const char* const kEt[] = {"Launch @ ",   "60 Foot @ ",   "330 Foot @ ",
                                          "660 Foot @ ", "1000 Foot @ ", "1/4 Mile @ "};
        return code >= 0 && code <= 5 ? kEt[code] : "";
    }
    char buf[64];
    if (code == 0)
        return "Start Lap @ ";
    else if (BeaconOfCode(code) == 0)
        std::snprintf(buf, sizeof buf, "Lap #%1d @ ", LapOfCode(code));
    else
        std::snprintf(buf, sizeof buf, "Lap #%1d, Beacon #%1d @ ", LapOfCode(code),
                      BeaconOfCode(code) + 1);
    return buf;
}

}  // namespace

std::vector<ZeroChoice> ZeroTimeChoices(CBriodashDataset& ds, int32_t green, int32_t red) {
    std::vector<ZeroChoice> out;
    const int32_t zero = EffectiveZero(ds);
    out.push_back({"User Defined", 0, kZeroUser});
    if (green != kNotSet)
        out.push_back({"Green Marker @ " + FormatZeroTime(green + zero), green + zero, kZeroGreen});
    if (red != kNotSet)
        out.push_back({"Red Marker @ " + FormatZeroTime(red + zero), red + zero, kZeroRed});
    for (int channel : {5, 6}) {
        const CDigitalSetup* setup = ds.m_carSetup.FindDigitalSetup(channel);
        const std::string name = setup ? setup->m_strDescription : std::string();
        for (const DigitalEvent& e : ChannelEvents(ds, channel))
            out.push_back(
                {name + " @ " + FormatZeroTime(e.time + zero), e.time + zero, kZeroDigital});
    }
    const bool et = IsEtConfigured(ds.m_markers);
    for (const CSample& m : ds.m_markers.m_samples) {
        const std::string text = MarkChoiceText(m.m_lRaw, et);
        if (text.empty()) continue;
        out.push_back({text + FormatZeroTime(m.m_lTime), m.m_lTime, kZeroMark});
    }
    return out;
}

bool ApplyZeroTimes(const std::vector<ZeroTimeRequest>& requests, ZeroTimeContext& context,
                    IHostServices& host) {
    std::vector<int32_t> times;
    for (const ZeroTimeRequest& r : requests) {
        int32_t offset = 0;
        if (r.offset.find_first_not_of(" \t") != std::string::npos) {
            std::optional<int32_t> t = ParseTimeEntry(r.offset, 2);
            if (!t) {
                host.Message(kInvalidTimeEntry, Icon::Warning);
                return false;
            }
            offset = *t;
        }
        const int64_t t = static_cast<int64_t>(r.choice.time) + offset;
        if (t <= kMinInt32 || t >= kNotSet) {
            host.Message(kInvalidTimeEntry, Icon::Warning);
            return false;
        }
        times.push_back(static_cast<int32_t>(t));
    }
    int64_t firstChange = 0, currentChange = 0;
    for (std::size_t i = 0; i < requests.size(); ++i) {
        CBriodashDataset* ds = requests[i].dataset;
        if (!ds) continue;
        const int32_t before = EffectiveZero(*ds);
        ds->SetZero(times[i], requests[i].choice.kind);
        const int64_t change = static_cast<int64_t>(EffectiveZero(*ds)) - before;
        if (i == 0) firstChange = change;
        if (ds == context.current) currentChange = change;
    }
    // A later zero makes every chart time earlier by the same amount.
    auto shift = [](int32_t& v, int64_t by) {
        if (v == kNotSet) return;
        const int64_t r = static_cast<int64_t>(v) - by;
        v = static_cast<int32_t>(std::clamp<int64_t>(r, kMinInt32 + 1, kNotSet - 1));
    };
    shift(context.green, firstChange);
    shift(context.red, firstChange);
    if (context.shownSessions == 1) {
        shift(context.graphXStart, currentChange);
        for (ViewState& v : context.viewStates) {
            shift(v.xStart, currentChange);
            shift(v.xMin, currentChange);
            shift(v.xMax, currentChange);
        }
    }
    return true;
}

}  // namespace orvex
