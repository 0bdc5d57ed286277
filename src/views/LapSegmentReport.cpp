#include "views/LapSegmentReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "processing/SpeedDistance.h"
#include "views/ViewData.h"

namespace orvex {

namespace {

// One segment of one lap: its time and speeds (MPH or KPH × 100).
struct SegmentValues {
    int32_t time = kNotSet;
    int32_t entry = 0, minimum = 0, maximum = 0;
};

struct LapValues {
    int lap = 0;
    int32_t lapTime = kNotSet;
    std::vector<SegmentValues> segments;
};

// The fastest value of a column group and the lap holding it.
struct BestRecord {
    int lap = -1;
    int32_t value = 0;
    SegmentValues speeds;
};

// Dark: white text stands out better on it than black (by relative luminance), so that
// text on a pure blue straight turns white while it stays black on magenta or cyan.
bool IsDark(ColorRef c) {
    auto linear = [](int v) {
        const double x = v / 255.0;
        return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    const double y = 0.2126 * linear(GetRValue(c)) + 0.7152 * linear(GetGValue(c)) +
                     0.0722 * linear(GetBValue(c));
    return 1.05 / (y + 0.05) > (y + 0.05) / 0.05;
}

std::string SpeedText(int32_t speed) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%3.2f", speed / 100.0);
    return buf;
}

// Reads the distance source's samples of one session in time order.
class SourceWalk {
  public:
    SourceWalk(CBriodashDataset& ds, int source, Units units) : m_ds(ds), m_units(units) {
        m_pSeries = DistanceSourceSeries(ds, source);
        for (int i = 0; i < kRpmChannels; ++i)
            if (m_pSeries == &ds.m_rpm[static_cast<std::size_t>(i)]) {
                m_pShaft = &ds.m_rpm[static_cast<std::size_t>(i)];
                m_pSetup = ds.m_carSetup.FindRpmSetup(i + 1);
            }
    }
    bool Usable() const { return m_pSeries && !m_pSeries->IsEmpty(); }

    // First sample at or after chart time t (the last sample when none is).
    Pos AtTime(int32_t t) const {
        // Times ascend: a binary search over the positions.
        Pos lo = m_pSeries->First(), hi = m_pSeries->Last();
        if (m_pSeries->GetSampleTime(hi, true) < t) return hi;
        while (lo < hi) {
            const Pos mid = lo + (hi - lo) / 2;
            if (m_pSeries->GetSampleTime(mid, true) >= t)
                hi = mid;
            else
                lo = mid + 1;
        }
        return lo;
    }
    // First sample from `from` on whose distance reaches d (the last sample when none does).
    Pos AtDistance(Pos from, int32_t d) const {
        Pos last = from;
        for (Pos p = from; p != kNoPos; p = m_pSeries->Next(p)) {
            if (m_pSeries->DistanceAt(p) >= d) return p;
            last = p;
        }
        return last;
    }
    Pos Next(Pos p) const { return m_pSeries->Next(p); }
    int32_t Time(Pos p) const { return m_pSeries->GetSampleTime(p, true); }
    int32_t Distance(Pos p) const { return m_pSeries->DistanceAt(p); }
    int32_t Speed(Pos p) const {
        if (!m_pSetup) return 0;
        const auto period = static_cast<uint32_t>(m_pShaft->GetSampleValue(p));
        return ShaftSpeed(m_ds.m_carSetup, *m_pSetup, m_pShaft->GetRPM(period, false),
                          (*m_pShaft)[p].m_nGear, m_units);
    }

  private:
    CBriodashDataset& m_ds;
    Units m_units;
    const CSeriesBase* m_pSeries = nullptr;
    const CShaftList* m_pShaft = nullptr;
    const CFreqSetup* m_pSetup = nullptr;
};

LapValues MeasureLap(const SourceWalk& walk, int lap, int32_t start, int32_t end,
                     const MapSegments& map, bool lapView, bool speeds) {
    LapValues v;
    v.lap = lap;
    v.lapTime = end - start;
    const std::size_t n = map.ends.size();
    v.segments.resize(n);
    if (!walk.Usable() || n == 0) return v;
    const Pos first = walk.AtTime(start), closing = walk.AtTime(end);
    const int32_t d0 = walk.Distance(first), d1 = walk.Distance(closing);
    // The lap distance is held in tenths of a foot, the map's length in feet.
    const double q = map.lapLength > 0 ? (d1 - d0) / 10.0 / map.lapLength : 0.0;
    const int32_t base = lapView ? 0 : d0;
    Pos from = first;
    int32_t previousEnd = start;
    for (std::size_t k = 0; k < n; ++k) {
        const int32_t endDistance =
            k + 1 < n ? static_cast<int32_t>(std::trunc(map.ends[k] * 10.0 * q)) + base : d1;
        const Pos to = walk.AtDistance(from, endDistance);
        SegmentValues& s = v.segments[k];
        s.time = walk.Time(to) - previousEnd;
        s.entry = s.minimum = s.maximum = speeds ? walk.Speed(from) : 0;
        bool inside = false;
        for (Pos p = to == from || !speeds ? kNoPos : walk.Next(from); p != kNoPos;
             p = walk.Next(p)) {
            const int32_t speed = walk.Speed(p);
            s.minimum = inside ? std::min(s.minimum, speed) : speed;
            s.maximum = inside ? std::max(s.maximum, speed) : speed;
            inside = true;
            if (p == to) break;
        }
        previousEnd = walk.Time(to);
        from = to;
    }
    return v;
}

void Offer(BestRecord& best, int lap, int32_t value, const SegmentValues& speeds) {
    if (value == kNotSet) return;
    // Strictly smaller only, so a tie keeps the earlier lap.
    if (best.lap < 0 || value < best.value) {
        best.lap = lap;
        best.value = value;
        best.speeds = speeds;
    }
}

}  // namespace

MapSegments SegmentsOfMap(const CTrackMap& map, int markedSegment) {
    MapSegments out;
    out.markedSegment = markedSegment;
    if (map.IsEmpty()) return out;
    out.lapLength = map.m_samples.back().m_dS;
    const CTrackSegments& corners = map.m_corners;
    for (std::size_t j = 0; j < corners.Count(); ++j) {
        const auto at = static_cast<std::size_t>(corners.m_bounds[j]);
        out.ends.push_back(at < map.m_samples.size() ? map.m_samples[at].m_dS : out.lapLength);
        out.kinds.push_back(corners.m_kinds[j]);
    }
    return out;
}

std::string FormatSegmentTime(int32_t t) {
    if (t == kNotSet) return "";
    const int64_t v = std::llabs(static_cast<int64_t>(t));
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%d:%02d.%03d", t < 0 ? "-" : "", static_cast<int>(v / 600000),
                  static_cast<int>((v / 10000) % 60), static_cast<int>((v / 10) % 1000));
    return buf;
}

std::vector<LapReportColumn> LapReportColumns(const MapSegments& map, bool displaySpeeds) {
    std::vector<LapReportColumn> columns = {{"Lap\nNumber", "Number"}, {"Lap\nTime", "##:##.###"}};
    char buf[64];
    for (std::size_t k = 0; k < map.ends.size(); ++k) {
        const int number = static_cast<int>(k) + 1;
        if (!displaySpeeds) {
            std::snprintf(buf, sizeof buf, "Segment #%1d\nTime", number);
            columns.push_back({buf, "Segment ###"});
        } else if (map.kinds[k] == kStraight) {
            columns.push_back({"\nTime", "##:##.###"});
            std::snprintf(buf, sizeof buf, "Segment #%1d\nEntry Speed", number);
            columns.push_back({buf, "Segment ###"});
            columns.push_back({"\nMax Speed", "Max Speed"});
        } else {
            columns.push_back({"\nTime", "##:##.###"});
            std::snprintf(buf, sizeof buf, "Segment #%1d\nMin Speed", number);
            columns.push_back({buf, "Segment ###"});
        }
    }
    return columns;
}

LapReportTable BuildLapReport(CBriodashDataset& ds, int source, const MapSegments& map,
                              const LapReportOptions& options, const std::set<int>& selected,
                              Units units, const LapReportColours& colours, bool lapView) {
    MapSegments segments = map;
    segments.kinds.resize(segments.ends.size(), kStraight);
    LapReportTable table;
    table.columns = LapReportColumns(segments, options.displaySpeeds);
    const std::size_t n = segments.ends.size();

    const SourceWalk walk(ds, source, units);
    std::vector<LapValues> laps;
    for (int lap : CompleteLaps(ds)) {
        int32_t start = 0, end = 0;
        LapBounds(ds, lap, start, end);
        laps.push_back(MeasureLap(walk, lap, start, end, segments, lapView, options.displaySpeeds));
    }

    std::vector<BestRecord> best(n + 1);
    for (const LapValues& v : laps) {
        if (options.useSelected && !selected.count(v.lap)) continue;
        Offer(best[0], v.lap, v.lapTime, {});
        for (std::size_t k = 0; k < n; ++k)
            Offer(best[k + 1], v.lap, v.segments[k].time, v.segments[k]);
    }

    // Cells of one segment group: time, then the speeds the options show.
    auto segmentCells = [&](std::size_t k, const SegmentValues& s, bool isBest,
                            std::vector<LapReportCell>& cells) {
        std::vector<std::string> texts = {FormatSegmentTime(s.time)};
        if (options.displaySpeeds) {
            if (segments.kinds[k] == kStraight) {
                texts.push_back(SpeedText(s.entry));
                texts.push_back(SpeedText(s.maximum));
            } else {
                texts.push_back(SpeedText(s.minimum));
            }
        }
        LapReportCell cell;
        if (static_cast<int>(k) + 1 == segments.markedSegment) {
            cell.background = kMarkedSegmentGrey;
        } else if (options.colorSegs) {
            cell.background = segments.kinds[k] == kRightTurn  ? colours.rightTurn
                              : segments.kinds[k] == kLeftTurn ? colours.leftTurn
                                                               : colours.track;
            if (IsDark(cell.background)) cell.foreground = MakeRGB(255, 255, 255);
        }
        if (isBest && options.highliteBest) {
            cell.background = kBestGrey;
            cell.foreground = MakeRGB(0, 0, 0);
            cell.best = true;
        }
        for (std::string& t : texts) {
            cell.text = std::move(t);
            cells.push_back(cell);
        }
    };

    for (const LapValues& v : laps) {
        if (!options.viewAll && !selected.count(v.lap)) continue;
        LapReportRow row;
        row.lap = std::to_string(v.lap);
        LapReportCell time;
        time.text = FormatSegmentTime(v.lapTime);
        if (options.highliteBest && best[0].lap == v.lap) {
            time.background = kBestGrey;
            time.best = true;
        }
        row.cells.push_back(time);
        for (std::size_t k = 0; k < n; ++k)
            segmentCells(k, v.segments[k], best[k + 1].lap == v.lap, row.cells);
        table.rows.push_back(std::move(row));
    }

    if (options.calculateBest && !laps.empty()) {
        // The best lap is made of the best segment times: its time is their sum.
        LapReportRow row;
        row.lap = kBestLapRow;
        int64_t sum = 0;
        bool complete = n > 0;
        for (std::size_t k = 0; k < n; ++k) {
            if (best[k + 1].lap < 0) complete = false;
            sum += best[k + 1].value;
        }
        LapReportCell time;
        time.text = complete ? FormatSegmentTime(static_cast<int32_t>(sum)) : "";
        row.cells.push_back(time);
        for (std::size_t k = 0; k < n; ++k) {
            SegmentValues s = best[k + 1].speeds;
            if (best[k + 1].lap < 0) s.time = kNotSet;
            segmentCells(k, s, false, row.cells);
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

}  // namespace orvex
