#include "processing/SpikeFilter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "host/HostServices.h"

namespace orvex {

namespace {

// Samples between two pumps of the host inside a pass.
constexpr int kPumpEvery = 4096;
// Larger windows than this cannot have a centre in any series we hold.
constexpr double kMaxWindowBase = 1 << 30;

int WindowFromBase(double base) {
    double b = std::ceil(base);
    if (!(b >= 4.0)) b = 4.0;  // also catches a rate that is not a number
    if (b > kMaxWindowBase) b = kMaxWindowBase;
    int w = static_cast<int>(b);
    if (w % 2 == 0) ++w;
    return w;
}

int64_t TruncToInt64(double x) {
    constexpr double kLimit = 9.0e18;
    if (x > -kLimit && x < kLimit) return static_cast<int64_t>(x);  // also false for NaN
    if (std::isnan(x)) return 0;
    return static_cast<int64_t>(std::clamp(x, -kLimit, kLimit));
}

// The closed band [trunc((1 - tol) × centre), trunc((1 + tol) × centre)]. Negative centres
// (analog channels may hold negative values) would turn the band inside out, so its ends are
// put in order.
struct Band {
    int64_t lo, hi;
    Band(double centre, double tol)
        : lo(TruncToInt64((1.0 - tol) * centre)), hi(TruncToInt64((1.0 + tol) * centre)) {
        if (lo > hi) std::swap(lo, hi);
    }
    bool Contains(int64_t v) const { return v >= lo && v <= hi; }
};

// A quick integer test that a value lies well inside the band around an integer centre, for
// the common sample that is no spike: true only where Band(centre, tol) holds it too (the
// fraction is rounded down and two units of margin cover the band's truncation and rounding).
class InsideBand {
  public:
    explicit InsideBand(double tol)
        : m_scaled(tol > 0 && tol < 1e6 ? static_cast<int64_t>(std::floor(tol * kOne)) : 0) {}
    bool Surely(int64_t centre, int64_t v) const {
        const int64_t mag = centre < 0 ? -centre : centre;
        const int64_t off = v > centre ? v - centre : centre - v;
        if (mag >= kRange || off >= kRange) return false;
        return (off + 2) * kOne <= m_scaled * mag;
    }

  private:
    static constexpr int64_t kOne = int64_t{1} << 20;
    static constexpr int64_t kRange = int64_t{1} << 36;
    int64_t m_scaled;
};

class Pumper {
  public:
    explicit Pumper(IHostServices& host) : m_host(host) {}
    // Counts one sample; pumps every few thousand. Returns true on abort.
    bool Tick() {
        if (--m_left > 0) return false;
        return Now();
    }
    bool Now() {
        m_left = kPumpEvery;
        m_aborted = m_aborted || m_host.Pump();
        return m_aborted;
    }
    bool Aborted() const { return m_aborted; }

  private:
    IHostServices& m_host;
    int m_left = kPumpEvery;
    bool m_aborted = false;
};

// The values the spike test of an analog series looks at: the filtered values themselves.
struct AnalogValues {
    CSampleList& series;
    int64_t operator()(Pos p) const { return series[p].m_lFiltered; }
    void Enter(Pos) {}
};

// The values the spike test of a shaft series looks at: RPM computed from the stored periods,
// held for the samples inside the window in a ring indexed by position.
class RpmValues {
  public:
    RpmValues(CShaftList& series, int window) : m_series(series) {
        std::size_t size = 1;
        while (size < static_cast<std::size_t>(window)) size <<= 1;
        m_ring.assign(size, 0);
        m_mask = size - 1;
    }
    int64_t operator()(Pos p) const { return m_ring[static_cast<std::size_t>(p) & m_mask]; }
    void Enter(Pos p) {
        const double rpm = m_series.GetRPM(static_cast<uint32_t>(m_series[p].m_lFiltered), false);
        m_ring[static_cast<std::size_t>(p) & m_mask] = TruncToInt64(rpm);
    }

  private:
    CShaftList& m_series;
    std::vector<int64_t> m_ring;
    std::size_t m_mask = 0;
};

int32_t InterpolateStored(int32_t v0, int32_t t0, int32_t v1, int32_t t1, int32_t t) {
    if (t1 == t0) return v0;
    const double c = static_cast<double>(static_cast<int64_t>(t) - t0) /
                     static_cast<double>(static_cast<int64_t>(t1) - t0);
    const double v = static_cast<double>(v0) + c * (static_cast<double>(v1) - v0);
    return static_cast<int32_t>(std::clamp(TruncToInt64(v),
                                           int64_t{std::numeric_limits<int32_t>::min()},
                                           int64_t{std::numeric_limits<int32_t>::max()}));
}

// One pass of the window over positions first..last. The window at centre c spans c - H to
// c + H (its right end is cut off at `last`); the left half is c - H .. c - 1.
//
// The first pass looks at every centre. A centre whose whole window was left unchanged by the
// pass before, and by this pass so far, sees exactly what it saw then, when it changed nothing:
// so later passes look only within H of the positions the pass before changed (`previous`,
// ascending) and within H after the changes of their own. `changed` receives this pass's
// changed positions.
template <class Series, class Values>
long RunPass(Series& s, Pos first, Pos last, const SpikeRule& rule, Values& val, Pumper& pump,
             const std::vector<Pos>* previous, std::vector<Pos>& changed) {
    changed.clear();
    const Pos h = rule.window / 2;
    if (last - first < h) return 0;  // no sample is ever a centre

    Pos until = previous ? first + h - 1 : last;  // centres up to here are looked at
    std::size_t next = 0;                         // the next of `previous` not yet reached
    bool windowReady = false;
    const InsideBand inside(rule.tolerance);
    int64_t sum = 0;
    long changes = 0;
    for (Pos c = first + h; c <= last;) {
        if (previous) {
            while (next < previous->size() && (*previous)[next] - h <= c)
                until = std::max(until, (*previous)[next++] + h);
            if (c > until) {
                if (next >= previous->size()) break;
                c = (*previous)[next] - h;  // beyond c: the next window that changed
                windowReady = false;
                continue;
            }
        }
        if (!windowReady) {
            for (Pos p = c - h; p <= std::min(last, c + h); ++p) val.Enter(p);
            sum = 0;
            for (Pos p = c - h; p < c; ++p) sum += val(p);
            windowReady = true;
        }
        const int64_t mean = sum / h;
        const int64_t v = val(c);
        if (!inside.Surely(mean, v) &&
            !Band(static_cast<double>(mean), rule.tolerance).Contains(v)) {
            // Trend through the first and last sample of the left half; the match is the
            // farthest sample on the right that lies near the trend.
            const Pos e0 = c - h;
            const Pos e1 = c - 1;
            const int32_t t0 = s[e0].m_lTime;
            const int64_t v0 = val(e0);
            const int64_t dt = static_cast<int64_t>(s[e1].m_lTime) - t0;
            const double slope =
                dt == 0 ? 0.0 : static_cast<double>(val(e1) - v0) / static_cast<double>(dt);
            Pos match = kNoPos;
            for (Pos e = std::min(c + h, last); e > c; --e) {
                const double trend =
                    static_cast<double>(v0) +
                    slope * static_cast<double>(static_cast<int64_t>(s[e].m_lTime) - t0);
                if (Band(trend, rule.tolerance).Contains(val(e))) {
                    match = e;
                    break;
                }
            }
            if (match != kNoPos) {
                const int32_t replaced = InterpolateStored(
                    s[e0].m_lFiltered, t0, s[match].m_lFiltered, s[match].m_lTime, s[c].m_lTime);
                if (replaced != s[c].m_lFiltered) {
                    s[c].m_lFiltered = replaced;
                    val.Enter(c);
                    ++changes;
                    changed.push_back(c);
                    until = std::max(until, c + h);
                }
            }
        }
        sum += val(c) - val(c - h);
        if (c + h + 1 <= last) val.Enter(c + h + 1);
        if (pump.Tick()) break;
        ++c;
    }
    return changes;
}

template <class Series, class MakeValues>
SpikeResult Filter(Series& s, int requestedMode, const SpikeRule& rule, IHostServices& host,
                   MakeValues makeValues) {
    SpikeResult result;
    if (requestedMode == 2 && s.m_nDataMode != 0) {
        s.m_nDataMode = 2;  // filtered values exist: only switch to them
    } else if (requestedMode != 2) {
        if (s.m_nDataMode != 0) s.m_nDataMode = requestedMode;
    } else {
        Pos first = s.First();
        Pos last = s.Last();
        if (first != kNoPos) {
            last = std::max(last, first);
            // A series never filtered starts from its recorded values.
            for (Pos p = first; p <= last; ++p) s[p].m_lFiltered = s[p].m_lRaw;
            auto values = makeValues();
            Pumper pump(host);
            std::vector<Pos> before, now;
            for (;;) {
                ++result.passes;
                const long changes = RunPass(s, first, last, rule, values, pump,
                                             result.passes == 1 ? nullptr : &before, now);
                std::swap(before, now);
                result.changes += changes;
                if (pump.Aborted()) break;
                if (changes == 0) break;
                if (result.passes >= kMaxSpikePasses) {
                    host.Message("Data is VERY Noisy. Spike Filter terminating!", Icon::Warning);
                    break;
                }
                if (pump.Now()) break;
            }
            result.aborted = pump.Aborted();
        }
        s.m_nDataMode = 2;
    }
    s.ClearMinMax();
    s.FindMinMax(true);
    return result;
}

const char* const kRpmInputLabels[kRpmChannels] = {"Tach Input", "Drive Shaft Input", "Wheel Input",
                                                   "Clutch Input", "RPM 5 Input"};

std::string RpmDescription(const CBriodashDataset& ds, int i) {
    if (const CFreqSetup* f = ds.m_carSetup.FindRpmSetup(i + 1)) return f->m_strDescription;
    return kRpmInputLabels[i];
}

std::string AnalogDescription(const CBriodashDataset& ds, int i) {
    if (const CAnalogSetup* a = ds.m_carSetup.FindAnalogSetup(i + 1)) return a->m_strDescription;
    return "Analog" + std::to_string(i + 1) + " Channel";
}

}  // namespace

SpikeRule AnalogSpikeRule(int32_t analogType, double rate) {
    double factor;
    double tolerance;
    switch (analogType) {
        case 0:
        case 3:
        case 4:
        case 5:
        case 129:
        case 132:
        case 134:
            factor = 2.0, tolerance = 0.25;
            break;
        case 1:
        case 2:
        case 136:
        case 137:
            factor = 1.0, tolerance = 0.05;
            break;
        case 6:
        case 8:
        case 133:
            factor = 1.0, tolerance = 0.2;
            break;
        case 7:
        case 135:
            factor = 4.0, tolerance = 0.2;
            break;
        case 130:
            factor = 10.0, tolerance = 0.5;
            break;
        case 131:
            factor = 2.0, tolerance = 0.2;
            break;
        default:
            return SpikeRule{5, 0.25};
    }
    return SpikeRule{WindowFromBase(rate * factor), tolerance};
}

SpikeRule RpmSpikeRule(double rate) {
    return SpikeRule{WindowFromBase(rate * 2.0), 0.25};
}

SpikeResult RunSpikeFilter(CSampleList& series, int requestedMode, int32_t analogType,
                           IHostServices& host) {
    const SpikeRule rule = AnalogSpikeRule(analogType, series.m_fRate);
    return Filter(series, requestedMode, rule, host, [&] { return AnalogValues{series}; });
}

SpikeResult RunSpikeFilter(CShaftList& series, int requestedMode, IHostServices& host) {
    const SpikeRule rule = RpmSpikeRule(series.m_fRate);
    return Filter(series, requestedMode, rule, host,
                  [&] { return RpmValues(series, rule.window); });
}

long SpikeFilter(CSampleList& series, int requestedMode, int32_t analogType, IHostServices& host) {
    return RunSpikeFilter(series, requestedMode, analogType, host).changes;
}

long SpikeFilter(CShaftList& series, int requestedMode, IHostServices& host) {
    return RunSpikeFilter(series, requestedMode, host).changes;
}

std::string FilterAndReport(CBriodashDataset& dataset,
                            const std::array<int, kRpmChannels>& rpmModes,
                            const std::array<int, kAnalogChannels>& analogModes, bool afterLoad,
                            IHostServices& host) {
    std::string report = "Results for " + dataset.m_strName + " DataSet.";
    bool added = false;
    bool aborted = false;

    // Decides what happens to one series; returns false when it is left alone.
    auto plan = [&](CSeriesBase& s, int requested, int& mode, bool& filter) {
        if (afterLoad) {
            if (s.m_nDataMode == 0) return false;
            s.m_nDataMode = 0;
            mode = 2;
            filter = true;
            return true;
        }
        if (requested == s.m_nDataMode) return false;
        mode = requested;
        filter = s.m_nDataMode == 0 && requested == 2;
        return true;
    };

    for (int i = 0; i < kRpmChannels && !aborted; ++i) {
        CShaftList& s = dataset.m_rpm[static_cast<std::size_t>(i)];
        if (s.IsEmpty()) continue;
        int mode = 0;
        bool filter = false;
        if (!plan(s, rpmModes[static_cast<std::size_t>(i)], mode, filter)) continue;
        const SpikeResult r = RunSpikeFilter(s, mode, host);
        aborted = r.aborted;
        const std::string desc = RpmDescription(dataset, i);
        report += "\n";
        if (filter && r.changes > 0)
            report +=
                std::to_string(r.changes) + " points have been removed from " + desc + " data.";
        else if (filter)
            report += "No data points have been removed from " + desc + " data.";
        else if (mode == 2)
            report += "Filtered data is being used for " + desc + " data.";
        else
            report += "Raw data is being used for " + desc + " data.";
        added = true;
        s.m_bSlipDirty = 1;
    }

    for (int i = 0; i < kAnalogChannels && !aborted; ++i) {
        CSampleList& s = dataset.m_analog[static_cast<std::size_t>(i)];
        if (s.IsEmpty()) continue;
        int mode = 0;
        bool filter = false;
        if (!plan(s, analogModes[static_cast<std::size_t>(i)], mode, filter)) continue;
        const CAnalogSetup* setup = dataset.m_carSetup.FindAnalogSetup(i + 1);
        const int32_t type = setup ? setup->m_nType : CAnalogSetup{}.m_nType;
        const SpikeResult r = RunSpikeFilter(s, mode, type, host);
        aborted = r.aborted;
        report += "\n";
        if (filter && r.changes > 0)
            report += std::to_string(r.changes) + " points have been removed from ";
        else if (filter)
            report += "No data points have been removeed from ";
        else if (mode == 2)
            report += "Filtered data is being used for ";
        else
            report += "Raw data is being used for ";
        report += AnalogDescription(dataset, i) + " data.";
        added = true;
    }

    if (!added) return {};
    host.Message(report, Icon::Information);
    return report;
}

void AfterRead(CBriodashDataset& dataset, IHostServices& host) {
    dataset.PrepareAfterRead(host);
    std::array<int, kRpmChannels> rpmModes{};
    std::array<int, kAnalogChannels> analogModes{};
    rpmModes.fill(2);
    analogModes.fill(2);
    FilterAndReport(dataset, rpmModes, analogModes, true, host);
}

int64_t SmoothStart(CSeriesBase& series, Pos p, int n) {
    n = std::clamp(n, 1, static_cast<int>(std::numeric_limits<int16_t>::max()));
    std::vector<int32_t>& window = series.m_smoothWindow;
    window.resize(static_cast<std::size_t>(n));
    // Slot n - 1 takes the value at p, the following samples fill the slots down to 0; past
    // the end of the series the last value read is repeated.
    int32_t value = series.GetSampleValue(p);
    int64_t sum = 0;
    Pos q = p;
    for (int slot = n - 1; slot >= 0; --slot) {
        if (q != kNoPos) {
            value = series.GetSampleValue(q);
            q = series.Next(q);
        }
        window[static_cast<std::size_t>(slot)] = value;
        sum += value;
    }
    series.m_lSmoothSum = static_cast<int32_t>(sum);
    series.m_nSmoothIndex = 0;
    return series.m_lSmoothSum;
}

int64_t SmoothContinue(CSeriesBase& series, Pos p) {
    std::vector<int32_t>& window = series.m_smoothWindow;
    if (window.empty()) return SmoothStart(series, p, 1);
    const int n = static_cast<int>(window.size());
    int index = series.m_nSmoothIndex;
    if (index < 0 || index >= n) index = 0;
    const int32_t value = series.GetSampleValue(p);
    int32_t& slot = window[static_cast<std::size_t>(index)];
    series.m_lSmoothSum = static_cast<int32_t>(int64_t{series.m_lSmoothSum} - slot + value);
    slot = value;
    series.m_nSmoothIndex = static_cast<int16_t>((index + 1) % n);
    return series.m_lSmoothSum;
}

int64_t SmoothedSumAt(const CSeriesBase& series, Pos p, int n) {
    n = std::clamp(n, 1, static_cast<int>(std::numeric_limits<int16_t>::max()));
    const Pos first = series.First(), last = series.Last();
    if (p == kNoPos || first == kNoPos) return 0;
    auto value = [&](int64_t q) {
        return int64_t{series.GetSampleValue(static_cast<Pos>(std::min<int64_t>(q, last)))};
    };
    const int64_t steps = std::max<int64_t>(int64_t{p} - first, 0);  // Continue calls so far
    int64_t sum = 0;
    if (steps >= n) {
        // Every slot has been replaced: the last n samples.
        for (int64_t q = int64_t{p} - n + 1; q <= p; ++q) sum += value(q);
    } else {
        // Slots 0 .. steps-1 hold the samples after the first; the others keep the start's fill.
        for (int64_t i = 1; i <= steps; ++i) sum += value(first + i);
        for (int64_t i = 0; i < n - steps; ++i) sum += value(first + i);
    }
    return static_cast<int32_t>(sum);
}

template <class TSample>
void SmoothedSums(const CSeries<TSample>& series, int n, std::vector<int32_t>& sums) {
    const std::size_t count = series.m_samples.size();
    sums.resize(count);
    n = std::clamp(n, 1, static_cast<int>(std::numeric_limits<int16_t>::max()));
    const Pos first = series.First(), last = series.Last();
    if (first == kNoPos || count == 0) {
        std::fill(sums.begin(), sums.end(), 0);
        return;
    }
    const bool filtered = series.m_nDataMode >= 2;
    const TSample* samples = series.m_samples.data();
    auto value = [&](int64_t q) {
        const TSample& x = samples[std::min<int64_t>(q, last)];
        return int64_t{filtered ? x.m_lFiltered : x.m_lRaw};
    };
    // The window at the first sample: n slots filled from there on.
    int64_t sum = 0;
    for (int64_t i = 0; i < n; ++i) sum += value(first + i);
    for (std::size_t p = 0; p < count; ++p) {
        const int64_t steps = static_cast<int64_t>(p) - first;
        if (steps >= 1) {
            // One step on: the newest sample comes in; before the window has been replaced
            // once, the start's fill leaves from its end, after that the oldest sample.
            sum += value(first + steps) - value(steps <= n ? first + n - steps : first + steps - n);
        }
        sums[p] = static_cast<int32_t>(sum);
    }
}

template void SmoothedSums(const CSeries<CSample>&, int, std::vector<int32_t>&);
template void SmoothedSums(const CSeries<CShaft>&, int, std::vector<int32_t>&);

}  // namespace orvex
