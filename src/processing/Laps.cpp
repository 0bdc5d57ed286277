#include "processing/Laps.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "host/HostServices.h"
#include "model/TimeFormat.h"
#include "processing/SpeedDistance.h"

namespace orvex {

int32_t NextCode(int32_t code, int32_t beaconsPerLap) {
    const int32_t perLap = std::clamp(beaconsPerLap, 1, 100);
    if (BeaconOfCode(code) + 1 < perLap) return code + 1;
    return (LapOfCode(code) + 1) * 100;
}

bool IsEtConfigured(const CSampleList& markers) {
    const std::size_t n = markers.Size();
    if (n < 2 || n > 6) return false;
    for (std::size_t p = 0; p < n; ++p) {
        const int32_t code = markers.m_samples[p].m_lRaw;
        if (code < static_cast<int32_t>(p) || code > 5) return false;
    }
    return true;
}

bool HasLapMarks(const CBriodashDataset& ds) {
    return ds.m_markers.Size() > 0 && !IsEtConfigured(ds.m_markers);
}

void RenumberBeacons(CBriodashDataset& ds, int32_t beaconsPerLap) {
    beaconsPerLap = std::clamp(beaconsPerLap, 1, 100);
    ds.m_nBeaconsPerLap = beaconsPerLap;
    ds.m_markers.m_nPerLap = beaconsPerLap;
    auto& marks = ds.m_markers.m_samples;
    if (marks.empty()) return;
    int32_t code = marks.front().m_lRaw;
    for (std::size_t i = 1; i < marks.size(); ++i) {
        code = NextCode(code, beaconsPerLap);
        marks[i].m_lRaw = marks[i].m_lFiltered = code;
    }
    marks.front().m_lFiltered = marks.front().m_lRaw;
    ds.m_markers.ClearMinMax();
}

std::string FormatLapTime(int32_t t) {
    const int64_t v = std::llabs(static_cast<int64_t>(t));
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%d:%02d.%02d", t < 0 ? "-" : "", static_cast<int>(v / 600000),
                  static_cast<int>((v / 10000) % 60), static_cast<int>((v / 100) % 100));
    return buf;
}

std::string FormatEtTime(int32_t t) {
    const int64_t v = std::llabs(static_cast<int64_t>(t));
    const int seconds = static_cast<int>((v / 10000) % 60);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%d:%d%d.%03ld", t < 0 ? "-" : "",
                  static_cast<int>(v / 600000), seconds / 10, seconds % 10,
                  static_cast<long>((v % 10000) / 10));
    return buf;
}

std::string FormatZeroTime(int32_t t) {
    return FormatTime(t, 4);
}

std::optional<int32_t> ParseTimeEntry(const std::string& text, int maxFields) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::vector<int64_t> fields;
    int64_t fraction = 0;  // ten-thousandths
    bool anyDigit = false;
    while (true) {
        int64_t value = 0;
        std::size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            value = value * 10 + (text[i] - '0');
            if (value > 1000000000) return std::nullopt;
            ++i;
        }
        const bool digits = i > start;
        anyDigit = anyDigit || digits;
        fields.push_back(value);
        if (i < text.size() && text[i] == ':') {
            if (!digits) return std::nullopt;
            ++i;
            continue;
        }
        if (i < text.size() && text[i] == '.') {
            ++i;
            int64_t scale = 1000;
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
                fraction += (text[i] - '0') * scale;  // digits past the fourth are dropped
                scale /= 10;
                anyDigit = true;
                ++i;
            }
        }
        break;
    }
    skipBlanks();
    if (i != text.size() || !anyDigit || static_cast<int>(fields.size()) > maxFields)
        return std::nullopt;
    // Every field after the first is limited to 0..59 (minutes or seconds).
    for (std::size_t f = 1; f < fields.size(); ++f)
        if (fields[f] > 59) return std::nullopt;
    int64_t seconds = 0;
    for (int64_t f : fields) seconds = seconds * 60 + f;
    const int64_t ticks = seconds * 10000 + fraction;
    if (ticks > 2147483647LL) return std::nullopt;
    return static_cast<int32_t>(negative ? -ticks : ticks);
}

// --- Lap view -------------------------------------------------------------------------------

namespace {

// Start and end time of each lap segment and whether it is the end segment.
struct LapSegment {
    int32_t from, to;
    bool beginning, end;
    int32_t lap;  // lap number of the closing lap line
};

std::vector<LapSegment> LapSegments(const CBriodashDataset& session) {
    std::vector<LapSegment> out;
    const auto& marks = session.m_markers.m_samples;
    if (marks.empty()) return out;
    const int32_t start = session.GetStartTime(true);
    int32_t from = start;
    bool beginning = true;
    for (const CSample& m : marks) {
        if (BeaconOfCode(m.m_lRaw) != 0) continue;
        if (LapOfCode(m.m_lRaw) == 0) {
            // The start line: what lies before it belongs to no lap.
            from = m.m_lTime;
            beginning = false;
            continue;
        }
        out.push_back({from, m.m_lTime, beginning, false, LapOfCode(m.m_lRaw)});
        from = m.m_lTime;
        beginning = false;
    }
    int32_t end = kMinInt32;
    session.ForEachChannel([&end](const CSeriesBase& s) {
        if (s.Size()) end = std::max(end, s.TimeAt(s.Tail()));
    });
    if (marks.back().m_lTime < end) out.push_back({from, end, beginning, true, 0});
    return out;
}

template <class List>
void CopyWindow(List& to, const List& from, int32_t t1, int32_t t2) {
    to.m_samples.clear();
    const auto& v = from.m_samples;
    auto lo = std::lower_bound(v.begin(), v.end(), t1,
                               [](const auto& s, int32_t key) { return s.m_lTime < key; });
    for (auto it = lo; it != v.end() && it->m_lTime <= t2; ++it) to.m_samples.push_back(*it);
    to.ClearMinMax();
    to.ClearRange();
    to.SetRangeMode(false);
}

}  // namespace

int LapDatasetCount(const CBriodashDataset& session) {
    return static_cast<int>(LapSegments(session).size());
}

int32_t LapColour(int n) {
    static const int32_t kColours[] = {0x0000FF, 0x00A000, 0xFF0000, 0xC000C0,
                                       0x00A0C0, 0xC08000, 0x808080, 0x000080};
    const int count = static_cast<int>(sizeof kColours / sizeof kColours[0]);
    return kColours[((n - 1) % count + count) % count];
}

std::vector<std::unique_ptr<CBriodashDataset>> CutLaps(const CBriodashDataset& session,
                                                       bool oneColour, IProgress* progress) {
    std::vector<std::unique_ptr<CBriodashDataset>> laps;
    const std::vector<LapSegment> segments = LapSegments(session);
    if (progress) {
        progress->SetStatus(1, "Finding Lap Positions");
        progress->SetStatus(2, "Working on Dataset '" + session.m_strName + "'");
    }
    int n = 0;
    for (const LapSegment& seg : segments) {
        ++n;
        if (progress) {
            char buf[64];
            if (seg.beginning)
                std::snprintf(buf, sizeof buf, "Beginning of Data");
            else if (seg.end)
                std::snprintf(buf, sizeof buf, "End of Data");
            else
                std::snprintf(buf, sizeof buf, "Lap #%d", seg.lap);
            progress->SetStatus(3, buf);
            progress->Pump();
        }
        auto lap = std::make_unique<CBriodashDataset>(session);
        lap->m_nLap = n;
        for (const CSample& m : session.m_markers.m_samples)
            if (m.m_lTime >= seg.from && m.m_lTime <= seg.to) lap->m_markers.AddTail(m);
        for (int i = 0; i < kRpmChannels; ++i)
            CopyWindow(lap->m_rpm[i], session.m_rpm[i], seg.from, seg.to);
        for (int i = 0; i < kAnalogChannels; ++i)
            CopyWindow(lap->m_analog[i], session.m_analog[i], seg.from, seg.to);
        for (int i = 0; i < kDigitalChannels; ++i)
            CopyWindow(lap->m_digital[i], session.m_digital[i], seg.from, seg.to);
        lap->SetZero(seg.from, 7);
        if (oneColour) {
            const int32_t colour = LapColour(n);
            lap->ForEachChannel([colour](CSeriesBase& s) { s.m_crTrace = colour; });
            for (auto& s : lap->m_rpm) s.m_crSlip = colour;
        }
        laps.push_back(std::move(lap));
    }
    return laps;
}

// --- Move lap marks, data alignment ---------------------------------------------------------

namespace {

// The time at which the distance trace reaches `distance` (the RPM series with most samples).
int32_t TimeAtDistance(const CBriodashDataset& ds, int32_t distance) {
    const CShaftList* best = nullptr;
    for (const CShaftList& s : ds.m_rpm)
        if (!s.m_samples.empty() && (!best || s.Size() > best->Size())) best = &s;
    if (!best) return 0;
    const auto& v = best->m_samples;
    auto it = std::find_if(v.begin(), v.end(),
                           [distance](const CShaft& s) { return s.m_lDistance >= distance; });
    if (it == v.end()) return v.back().m_lTime;
    if (it == v.begin() || it->m_lDistance == distance) return it->m_lTime;
    const CShaft& a = *(it - 1);
    const CShaft& b = *it;
    return a.m_lTime +
           static_cast<int32_t>(static_cast<double>(b.m_lTime - a.m_lTime) *
                                (distance - a.m_lDistance) / (b.m_lDistance - a.m_lDistance));
}

}  // namespace

bool MoveLapMarks(CBriodashDataset& ds, int32_t tenthsOfFeet) {
    if (tenthsOfFeet == 0 || ds.m_markers.Size() == 0 || ds.m_nDistanceSource == 0 ||
        IsEtConfigured(ds.m_markers))
        return false;
    bool moved = false;
    for (CSample& m : ds.m_markers.m_samples) {
        if (m.m_lRaw == 0 && m.m_lDistance == 0) continue;
        const int64_t target = static_cast<int64_t>(m.m_lDistance) + tenthsOfFeet;
        if (target <= 0 || target > 2147483647LL) continue;
        m.m_lDistance = static_cast<int32_t>(target);
        m.m_lTime = TimeAtDistance(ds, m.m_lDistance);
        moved = true;
    }
    // Moving by a distance keeps the order of the marks.
    std::stable_sort(ds.m_markers.m_samples.begin(), ds.m_markers.m_samples.end(),
                     [](const CSample& a, const CSample& b) { return a.m_lTime < b.m_lTime; });
    ds.m_markers.ClearMinMax();
    return moved;
}

bool AlignDriveShaft(CBriodashDataset& ds, int32_t green, int32_t red, Units units,
                     IHostServices& host) {
    if (green == kNotSet || red == kNotSet) {
        host.Message(
            "Both the Green and Red Markers must be set\n to align tach and drive shaft data",
            Icon::Warning);
        return false;
    }
    const CFreqSetup* shaftSetup = FindRpmType(ds.m_carSetup, 10);
    if (!shaftSetup || !HasOwnChannel(*shaftSetup) ||
        ds.m_rpm[static_cast<std::size_t>(shaftSetup->m_nChannel - 1)].IsEmpty()) {
        host.Message("This function is only designed to work with Engine and Drive Shaft RPM!",
                     Icon::Warning);
        return false;
    }
    const int channel = shaftSetup->m_nChannel;
    CShaftList& shaft = ds.m_rpm[static_cast<std::size_t>(channel - 1)];
    const int32_t zero = ds.m_nTimeRef != 0 ? ds.m_lZeroTime : 0;
    const int64_t dt = static_cast<int64_t>(green) - red;
    const int64_t dd =
        static_cast<int64_t>(DistanceAtTime(ds, green + zero)) - DistanceAtTime(ds, red + zero);
    if (dt != 0 && std::llabs(dt) <= 2147483647LL) {
        const bool add = dt > 0;
        shaft.ShiftTime(add, static_cast<int32_t>(add ? dt : -dt),
                        static_cast<int32_t>(add ? dd : -dd));
    }
    shaft.ClearRange();
    shaft.SetRangeMode(false);
    shaft.m_bSlipDirty = 1;
    for (int c = 1; c <= kRpmChannels; ++c) {
        const CFreqSetup* s = ds.m_carSetup.FindRpmSetup(c);
        if (s && (s->m_nSlipPartner == channel || (c == channel)))
            ds.m_rpm[static_cast<std::size_t>(c - 1)].m_bSlipDirty = 1;
    }
    for (int c = 1; c <= kRpmChannels; ++c) ComputeSlip(ds, c, true, units, host);
    return true;
}

// --- Digital events -------------------------------------------------------------------------

std::vector<DigitalEvent> ChannelEvents(CBriodashDataset& ds, int channel) {
    std::vector<DigitalEvent> out;
    if (channel < 1 || channel > kDigitalChannels) return out;
    const CSampleList& s = ds.m_digital[static_cast<std::size_t>(channel - 1)];
    const CDigitalSetup* setup = ds.m_carSetup.FindDigitalSetup(channel);
    const bool everySample = setup && setup->m_nType == 3;
    const std::string name = setup ? setup->m_strDescription : std::string();
    Pos prev = kNoPos;
    for (Pos p = s.First(); p != kNoPos; prev = p, p = s.Next(p)) {
        const int32_t state = s.GetSampleValue(p);
        if (!everySample && (prev == kNoPos || s.GetSampleValue(prev) == state)) continue;
        DigitalEvent e;
        e.dataset = &ds;
        e.channel = channel;
        e.time = s.GetSampleTime(p, true);
        e.state = state;
        e.text = ds.m_strName + ":" + name + " @ " + FormatZeroTime(e.time);
        out.push_back(std::move(e));
    }
    return out;
}

std::vector<DigitalEvent> SwitchEvents(const std::vector<CBriodashDataset*>& datasets,
                                       const SwitchEventFilter& filter) {
    std::vector<DigitalEvent> out;
    for (CBriodashDataset* ds : datasets) {
        if (!ds || ds->m_bDeleted) continue;
        if (!filter.allDatasets && !ds->IsShown(false)) continue;
        for (int c = 1; c <= kDigitalChannels; ++c) {
            if (filter.channels < 2 && !ds->m_digital[static_cast<std::size_t>(c - 1)].m_nOn)
                continue;
            for (DigitalEvent& e : ChannelEvents(*ds, c)) {
                if (filter.channels == 0 &&
                    (e.time < filter.windowStart || e.time > filter.windowEnd))
                    continue;
                out.push_back(std::move(e));
            }
        }
    }
    return out;
}

std::string SwitchEventDifference(const std::vector<DigitalEvent>& events,
                                  const std::vector<int>& selected) {
    if (selected.size() != 2) return "Can Only calculate difference between 2 selections!";
    for (int i : selected)
        if (i < 0 || i >= static_cast<int>(events.size()))
            return "Can Only calculate difference between 2 selections!";
    const int64_t a = events[static_cast<std::size_t>(selected[0])].time;
    const int64_t b = events[static_cast<std::size_t>(selected[1])].time;
    const int64_t diff = std::llabs(b - a);
    return FormatZeroTime(static_cast<int32_t>(std::min<int64_t>(diff, 2147483647LL)));
}

}  // namespace orvex
