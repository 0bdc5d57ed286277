// Drawing steps of the strip-chart layout: axes and scales, then each dataset's traces.
#include <algorithm>
#include <atomic>
#include <cmath>

#include "graph/GraphDerived.h"
#include "graph/GraphLayoutImpl.h"
#include "host/TwoThreads.h"

namespace orvex {

namespace {

// First multiple of `step` at or after `v` (step > 0).
int64_t FirstMultiple(int64_t v, int64_t step) {
    int64_t q = v / step;
    if (q * step < v) ++q;
    return q * step;
}

// First multiple of `step` strictly above `v` (step > 0).
int64_t MultipleAbove(int64_t v, int64_t step) {
    return FirstMultiple(v + 1, step);
}

constexpr float kTick = kTickLength;
constexpr float kLeft = kLeftMargin;
constexpr int kMaxTicks = 4000;

}  // namespace

void CGraphLayout::Impl::DrawXAxis() {
    CGraphScene& sc = *scene;
    const ColorRef c = options->timeLabel;
    sc.AddLine(kLeft, 0, kLeft, bottom, c);
    sc.AddLine(kLeft, bottom, right, bottom, c);
    const int64_t from = state->m_lXStart, to = from + state->m_lXSpan;
    if (f.xMinor <= 0 || f.xMajor <= 0) return;
    int n = 0;
    for (int64_t v = FirstMultiple(from, f.xMinor); v < to && n < kMaxTicks; v += f.xMinor, ++n) {
        const auto x = static_cast<float>(map.XToPixel(static_cast<int32_t>(v)));
        sc.AddLine(x, bottom, x, bottom + kTick, c);
    }
    const bool time = state->IsTimeAxis();
    n = 0;
    for (int64_t v = FirstMultiple(from, f.xMajor); v < to && n < kMaxTicks; v += f.xMajor, ++n) {
        const auto x = static_cast<float>(map.XToPixel(static_cast<int32_t>(v)));
        sc.AddLine(x, bottom + kTick, x, bottom + 2 * kTick, c);
        sc.AddText(x, bottom + 2 * kTick,
                   time ? FormatAxisTime(static_cast<int32_t>(v))
                        : FormatAxisDistance(static_cast<int32_t>(v), options->units),
                   HAlign::Center, VAlign::Top, c);
    }
}

void CGraphLayout::Impl::DrawRpmScale() {
    CGraphScene& sc = *scene;
    const ColorRef c = options->rpmLabel;
    const int64_t base = state->m_lRpmBottom;
    int n = 0;
    for (int64_t v = MultipleAbove(base, f.rpmMajor); n < kMaxTicks; v += f.rpmMajor, ++n) {
        const auto y = static_cast<float>(map.RpmToPixel(static_cast<int32_t>(v)));
        if (y < 0) break;
        sc.AddLine(right, y, kLeft - 2 * kTick, y, c);
        sc.AddText(kLeft - 2 * kTick, y + kTick, FormatAxisRpm(static_cast<int32_t>(v)),
                   HAlign::Right, VAlign::Baseline, c);
    }
    n = 0;
    for (int64_t v = MultipleAbove(base, f.rpmMinor); n < kMaxTicks; v += f.rpmMinor, ++n) {
        const auto y = static_cast<float>(map.RpmToPixel(static_cast<int32_t>(v)));
        if (y < 0) break;
        sc.AddLine(kLeft, y, kLeft - kTick, y, c);
    }
}

void CGraphLayout::Impl::DrawSpeedScale() {
    CGraphScene& sc = *scene;
    const ColorRef c = options->mphLabel;
    const int64_t base = state->m_lRpmBottom;
    if (f.mphMajor <= 0 || f.mphMinor <= 0) return;
    int n = 0;
    for (int64_t v = MultipleAbove(base, f.mphMajor); n < kMaxTicks; v += f.mphMajor, ++n) {
        const auto y = static_cast<float>(map.RpmToPixel(static_cast<int32_t>(v)));
        if (y < 0) break;
        sc.AddLine(right, y, kLeft + 2 * kTick, y, c);
        sc.AddText(kLeft + 2 * kTick, y + kTick,
                   FormatAxisSpeed(static_cast<int32_t>(v / f.mphFactor)), HAlign::Left,
                   VAlign::Baseline, c);
    }
    n = 0;
    for (int64_t v = MultipleAbove(base, f.mphMinor); n < kMaxTicks; v += f.mphMinor, ++n) {
        const auto y = static_cast<float>(map.RpmToPixel(static_cast<int32_t>(v)));
        if (y < 0) break;
        sc.AddLine(kLeft, y, kLeft + kTick, y, c);
    }
}

ColorRef CGraphLayout::Impl::DrawSlipScale() {
    CGraphScene& sc = *scene;
    ColorRef c = 0;
    for (const CBriodashDataset* ds : shown)
        for (const CShaftList& s : ds->m_rpm)
            if (s.m_nSlipOn && !s.IsEmpty()) c = static_cast<ColorRef>(s.m_crSlip);
    const int64_t base = f.slipBottom;
    int n = 0;
    for (int64_t v = MultipleAbove(base, f.slipMinor); n < kMaxTicks; v += f.slipMinor, ++n) {
        const auto y = static_cast<float>(map.SlipToPixel(static_cast<int32_t>(v)));
        if (y < 0) break;
        sc.AddLine(right, y, right - kTick, y, c);
    }
    n = 0;
    for (int64_t v = MultipleAbove(base, f.slipMajor); n < kMaxTicks; v += f.slipMajor, ++n) {
        const auto y = static_cast<float>(map.SlipToPixel(static_cast<int32_t>(v)));
        if (y < 0) break;
        sc.AddLine(right, y, kLeft, y, c);
        sc.AddText(right - 2 * kTick, y + kTick, FormatAxisSlip(static_cast<int32_t>(v)),
                   HAlign::Right, VAlign::Baseline, c);
    }
    sc.scaleColumns.push_back({0, right, 0, bottom, 0});
    return c;
}

void CGraphLayout::Impl::DrawAnalogScales(bool slipDrawn) {
    CGraphScene& sc = *scene;
    const ColorRef pen = options->timeLabel;
    const float mid = bottom / 2;
    int next = slipDrawn ? 1 : 0;
    int lowerColumn = -1;
    bool upperPaired = false;
    const CBriodashDataset* last = doc->m_datasets.empty() ? nullptr : doc->m_datasets.back().get();
    for (int r = 0; r < recordCount; ++r) {
        const ScaleRecord& rec = records[r];
        int column;
        if (rec.position == 4 && lowerColumn >= 0 && !upperPaired) {
            // The first upper-half scale shares the column of the first lower-half scale.
            column = lowerColumn;
            upperPaired = true;
        } else {
            column = next++;
            if (rec.position == 3 && lowerColumn < 0) lowerColumn = column;
        }
        const float axis = right - static_cast<float>(kLeftMargin * column);
        if (axis <= kLeft) continue;
        const float top = rec.position == 4 ? 0 : (rec.position == 3 ? mid : 0);
        const float bot = rec.position == 4 ? mid : bottom;
        sc.AddLine(axis, top, axis, bot, pen);
        sc.scaleColumns.push_back({column, axis, top, bot, rec.channel});
        const ColorRef text =
            last && rec.channel >= 1 && rec.channel <= kAnalogChannels
                ? static_cast<ColorRef>(
                      last->m_analog[static_cast<std::size_t>(rec.channel - 1)].m_crTrace)
                : pen;
        if (!(rec.unitsPerPixel != 0.0) || !std::isfinite(rec.unitsPerPixel)) continue;
        const double base = rec.minimum * rec.multiplier;
        auto yOf = [&](double v) { return bottom - (v - base) / rec.unitsPerPixel; };
        // Ticks from the first multiple above the scale's bottom value, towards the top.
        auto ticks = [&](double step, auto&& draw) {
            if (!(step != 0.0) || !std::isfinite(step)) return;
            double k = std::floor(base / step) + 1;
            for (int n = 0; n < kMaxTicks; ++n, k += 1) {
                const double v = k * step;
                const double y = yOf(v);
                if (y < -0.5 || y > bottom + 0.5) break;
                if (rec.position == 3 && !(y > mid)) continue;
                if (rec.position == 4 && !(y < mid)) break;
                draw(v, static_cast<float>(y));
            }
        };
        ticks(rec.minor, [&](double, float y) { sc.AddLine(axis, y, axis - kTick, y, pen); });
        ticks(rec.major, [&](double v, float y) {
            sc.AddLine(axis, y, kLeft, y, pen);
            sc.AddText(axis - 2 * kTick, y + kTick,
                       FormatAxisAnalog(rec.code, v, rec.multiplier, rec.minimum, rec.maximum),
                       HAlign::Right, VAlign::Baseline, text);
        });
    }
}

graph::TraceXMap CGraphLayout::Impl::XMap(const CBriodashDataset& ds) const {
    graph::TraceXMap xm;
    xm.xStart = state->m_lXStart;
    xm.xSpan = state->m_lXSpan;
    xm.unitsPerPixel = f.xUnitsPerPixel;
    xm.dpr = dpr;
    xm.byDistance = !state->IsTimeAxis();
    xm.zeroTime = ds.m_nTimeRef != 0 ? ds.m_lZeroTime : 0;
    return xm;
}

void CGraphLayout::Impl::EmitJobs(const graph::TraceXMap& xm) {
    CGraphScene& sc = *scene;
    auto emit = [](const TraceJob& job, const graph::TraceXMap& x, CGraphScene& out) {
        if (job.shafts)
            graph::EmitTrace(*job.shafts, job.first, job.last, *job.data, x, job.ym, job.color,
                             false, 0, out);
        else
            graph::EmitTrace(*job.samples, job.first, job.last, *job.data, x, job.ym, job.color,
                             false, 0, out);
        out.EndPolyline();
    };
    std::size_t samples = 0;
    for (const TraceJob& job : jobs)
        if (job.first != kNoPos && job.last >= job.first)
            samples += static_cast<std::size_t>(job.last - job.first + 1);
    // Few traces or few samples are not worth the hand-over.
    constexpr std::size_t kShared = 100000;
    if (jobs.size() < 2 || samples < kShared || !TwoThreadsAvailable()) {
        for (const TraceJob& job : jobs) emit(job, xm, sc);
        jobs.clear();
        return;
    }
    // Each trace is reduced into its own scene by whichever thread takes it next; each
    // thread maps with its own copy of the horizontal mapping, which keeps a memo.
    if (jobScenes.size() < jobs.size()) jobScenes.resize(jobs.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        const graph::TraceXMap x = xm;
        for (std::size_t k = next++; k < jobs.size(); k = next++) {
            jobScenes[k].Clear();
            emit(jobs[k], x, jobScenes[k]);
        }
    };
    RunOnTwoThreads(work, work);
    sc.EndPolyline();
    for (std::size_t k = 0; k < jobs.size(); ++k) sc.AppendPolylines(jobScenes[k]);
    jobs.clear();
}

void CGraphLayout::Impl::DrawDataset(std::size_t d) {
    const CBriodashDataset& ds = *shown[d];
    CGraphScene& sc = *scene;
    const graph::TraceXMap xm = XMap(ds);
    const Units units = options->units;
    const float corr = options->voltageCorrection;

    for (int ch = 1; ch <= kRpmChannels; ++ch) {
        const CShaftList& s = ds.m_rpm[static_cast<std::size_t>(ch - 1)];
        if (!s.m_nOn || s.IsEmpty()) continue;
        const CFreqSetup* setup = ds.m_carSetup.FindRpmSetup(ch);
        const bool speed = setup && setup->m_nDisplayMode == kDisplaySpeed;
        if (speed && !graph::SpeedPrerequisites(ds.m_carSetup, *setup)) continue;
        graph::TraceYMap ym;
        ym.scale = speed ? f.mphFactor : 1;
        ym.bottomValue = state->m_lRpmBottom;
        ym.perPixel = f.rpmPerPixel;
        ym.plotBottom = bottom;
        const graph::CTraceData& data = cache.Get(ds, graph::TraceKind::Rpm, ch, units, corr);
        jobs.push_back({&s.m_samples, nullptr, s.First(), s.Last(), &data, ym,
                        static_cast<ColorRef>(s.m_crTrace)});
    }
    for (int ch = 1; ch <= kRpmChannels; ++ch) {
        const CShaftList& s = ds.m_rpm[static_cast<std::size_t>(ch - 1)];
        if (!s.m_nSlipOn || s.IsEmpty()) continue;
        graph::TraceYMap ym;
        ym.bottomValue = f.slipBottom;
        ym.perPixel = f.slipPerPixel;
        ym.plotBottom = bottom;
        const graph::CTraceData& data = cache.Get(ds, graph::TraceKind::Slip, ch, units, corr);
        jobs.push_back({&s.m_samples, nullptr, s.First(), s.Last(), &data, ym,
                        static_cast<ColorRef>(s.m_crSlip)});
    }
    for (int ch = 1; ch <= kAnalogChannels; ++ch) {
        const CSampleList& s = ds.m_analog[static_cast<std::size_t>(ch - 1)];
        const CAnalogSetup* setup = ds.m_carSetup.FindAnalogSetup(ch);
        if (!s.m_nOn || s.IsEmpty() || !setup) continue;
        ScaleRecord rec;
        const int r = assignment[d][static_cast<std::size_t>(ch - 1)];
        if (r >= 0) {
            rec = records[r];
        } else {
            // Beyond the twenty scales: the channel's own range.
            ChannelRange(ds, ch, *setup, rec.minimum, rec.maximum);
            rec.multiplier = setup->m_nResolution > 0 ? setup->m_nResolution : 1;
            rec.unitsPerPixel = (rec.maximum - rec.minimum) * rec.multiplier / plotH;
        }
        if (!(rec.unitsPerPixel != 0.0) || !std::isfinite(rec.unitsPerPixel)) continue;
        const double own = setup->m_nResolution > 0 ? setup->m_nResolution : 1;
        graph::TraceYMap ym;
        // Values are held in units of the channel's own resolution; a combined scale may count
        // in finer units.
        ym.scale = rec.multiplier / own;
        ym.bottomValue = rec.multiplier * rec.minimum;
        ym.perPixel = rec.unitsPerPixel;
        ym.plotBottom = bottom;
        const graph::CTraceData& data = cache.Get(ds, graph::TraceKind::Analog, ch, units, corr);
        jobs.push_back({nullptr, &s.m_samples, s.First(), s.Last(), &data, ym,
                        static_cast<ColorRef>(s.m_crTrace)});
    }
    EmitJobs(xm);

    // Lap beacons up to the end of the dataset's data.
    const CSampleList& beacons = ds.m_markers;
    if (beacons.m_nOn && !beacons.IsEmpty()) {
        int32_t endOfData = kMinInt32;
        ds.ForEachChannel([&](const CSeriesBase& s) {
            if (!s.IsEmpty()) endOfData = std::max(endOfData, s.TimeAt(s.Last()));
        });
        std::size_t i = 0, end = 0;
        if (graph::VisibleRange(beacons.m_samples, beacons.First(), beacons.Last(), xm, i, end)) {
            const int64_t windowEnd = int64_t{xm.xStart} + xm.xSpan;
            for (std::size_t k = i; k <= end; ++k) {
                const CSample& b = beacons.m_samples[k];
                if (b.m_lTime > endOfData) break;
                const int32_t x = xm.byDistance ? b.m_lDistance : b.m_lTime - xm.zeroTime;
                if (x < xm.xStart || x > windowEnd) continue;
                const auto px = static_cast<float>(xm.Pixel(x));
                sc.AddLine(px, 0, px, bottom, static_cast<ColorRef>(beacons.m_crTrace));
            }
        }
    }

    for (int ch = 1; ch <= kDigitalChannels; ++ch) {
        const CSampleList& s = ds.m_digital[static_cast<std::size_t>(ch - 1)];
        const CDigitalSetup* setup = ds.m_carSetup.FindDigitalSetup(ch);
        if (!s.m_nOn || s.IsEmpty() || !setup || setup->m_nType == kDigitalLapTimer) continue;
        const graph::CTraceData& data = cache.Get(ds, graph::TraceKind::Digital, ch, units, corr);
        const auto color = static_cast<ColorRef>(s.m_crTrace);
        if (setup->m_nBand == 1) {
            const bool changesOnly =
                setup->m_nType == kDigitalGeneric || setup->m_nType == kDigitalSwitch;
            graph::EmitEventLines(s.m_samples, s.First(), s.Last(), data, xm, changesOnly, 0,
                                  bottom, color, sc);
            continue;
        }
        float low = setup->m_fBandLow, high = setup->m_fBandHigh;
        if (setup->m_nInvert) std::swap(low, high);
        graph::TraceYMap ym;
        ym.mode = graph::TraceYMap::Mode::Level;
        // The band fraction times the plot height, in single precision as the setup holds it.
        ym.levelY[0] = bottom - std::trunc(low * static_cast<float>(plotH));
        ym.levelY[1] = bottom - std::trunc(high * static_cast<float>(plotH));
        ym.plotBottom = bottom;
        graph::EmitTrace(s.m_samples, s.First(), s.Last(), data, xm, ym, color, true, right, sc);
    }
}

}  // namespace orvex
