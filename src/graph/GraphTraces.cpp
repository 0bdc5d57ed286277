// Cached plotted values and per-column reduction of strip-chart traces.
#include "graph/GraphTraces.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "graph/GraphDerived.h"
#include "graph/GraphView.h"

namespace orvex::graph {

static_assert(TraceXMap::kLeft == kLeftMargin);

// --- Pyramid --------------------------------------------------------------------------------

void CTraceData::BuildPyramid() {
    lo.clear();
    hi.clear();
    const std::vector<int32_t>* srcLo = &values;
    const std::vector<int32_t>* srcHi = &values;
    while (srcLo->size() > kBlock) {
        const std::size_t n = (srcLo->size() + kBlock - 1) / kBlock;
        std::vector<int32_t> l(n), h(n);
        for (std::size_t b = 0; b < n; ++b) {
            const std::size_t a = b * kBlock, e = std::min(a + kBlock, srcLo->size());
            int32_t mn = (*srcLo)[a], mx = (*srcHi)[a];
            for (std::size_t i = a + 1; i < e; ++i) {
                mn = std::min(mn, (*srcLo)[i]);
                mx = std::max(mx, (*srcHi)[i]);
            }
            l[b] = mn;
            h[b] = mx;
        }
        lo.push_back(std::move(l));
        hi.push_back(std::move(h));
        srcLo = &lo.back();
        srcHi = &hi.back();
    }
}

void CTraceData::Range(std::size_t a, std::size_t b, int32_t& low, int32_t& high) const {
    low = std::numeric_limits<int32_t>::max();
    high = std::numeric_limits<int32_t>::min();
    std::size_t level = 0;
    auto scan = [&](std::size_t from, std::size_t to) {
        const int32_t* l = level == 0 ? values.data() : lo[level - 1].data();
        const int32_t* h = level == 0 ? values.data() : hi[level - 1].data();
        for (std::size_t i = from; i < to; ++i) {
            low = std::min(low, l[i]);
            high = std::max(high, h[i]);
        }
    };
    while (true) {
        if (b - a < 2 * kBlock || level >= lo.size()) {
            scan(a, b);
            return;
        }
        const std::size_t up = (a + kBlock - 1) / kBlock, down = b / kBlock;
        scan(a, up * kBlock);
        scan(down * kBlock, b);
        a = up;
        b = down;
        ++level;
        if (a >= b) return;
    }
}

// --- Cache ----------------------------------------------------------------------------------

namespace {

class Fingerprint {
  public:
    template <class T>
    Fingerprint& Add(const T& v) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &v, sizeof(T));
        for (unsigned char c : bytes) m_h = (m_h ^ c) * 1099511628211ull;
        return *this;
    }
    Fingerprint& Add(const std::string& s) {
        for (char c : s) Add(c);
        return *this;
    }
    uint64_t Value() const { return m_h; }

  private:
    uint64_t m_h = 14695981039346656037ull;
};

// Identity of the sample data: buffer, size, mode and a few samples spread over the series.
template <class TSample>
void AddSamples(Fingerprint& f, const CSeries<TSample>& s) {
    f.Add(static_cast<const void*>(s.m_samples.data())).Add(s.m_samples.size()).Add(s.m_nDataMode);
    f.Add(s.m_bFramed).Add(s.m_fClock).Add(s.m_nPerLap).Add(s.ZeroTimeOffset());
    const std::size_t n = s.m_samples.size();
    for (std::size_t k = 0; k < 9 && n > 0; ++k) {
        const TSample& x = s.m_samples[(n - 1) * k / 8];
        f.Add(x.m_lTime).Add(x.m_lRaw).Add(x.m_lFiltered).Add(x.m_lDistance);
        if constexpr (std::is_same_v<TSample, CShaft>) f.Add(x.m_lSlip).Add(x.m_nGear);
    }
}

void AddCar(Fingerprint& f, const CCarSetup& car) {
    f.Add(car.m_nGears).Add(car.m_fRearEndRatio);
    for (float g : car.m_fGearRatio) f.Add(g);
    for (const CFreqSetup& s : car.m_rpm)
        f.Add(s.m_nChannel).Add(s.m_nRpmType).Add(s.m_fCircumference).Add(s.m_nDisplayMode);
}

}  // namespace

const CTraceData& CTraceCache::Get(const CBriodashDataset& ds, TraceKind kind, int channel,
                                   Units units, float voltageCorrection) {
    const auto idx = static_cast<std::size_t>(channel - 1);
    Fingerprint f;
    f.Add(kind).Add(units);
    const void* series = nullptr;
    const CFreqSetup* rpmSetup = nullptr;
    const CAnalogSetup* analogSetup = nullptr;
    const CDigitalSetup* digitalSetup = nullptr;
    switch (kind) {
        case TraceKind::Rpm:
        case TraceKind::Slip:
            series = &ds.m_rpm[idx];
            AddSamples(f, ds.m_rpm[idx]);
            if (kind == TraceKind::Rpm) {
                rpmSetup = ds.m_carSetup.FindRpmSetup(channel);
                AddCar(f, ds.m_carSetup);
                if (rpmSetup) f.Add(rpmSetup->m_nSmoothing).Add(rpmSetup->m_nPPR);
            } else {
                f.Add(ds.m_rpm[idx].m_bSlipDirty);
            }
            break;
        case TraceKind::Analog:
            series = &ds.m_analog[idx];
            AddSamples(f, ds.m_analog[idx]);
            analogSetup = ds.m_carSetup.FindAnalogSetup(channel);
            if (analogSetup) {
                const CAnalogSetup& a = *analogSetup;
                f.Add(a.m_nType).Add(a.m_nInvert).Add(a.m_nBits).Add(a.m_nResolution);
                f.Add(a.m_fMin).Add(a.m_fMax).Add(a.m_fOffset).Add(a.m_nSmoothing);
                f.Add(a.m_nChannel).Add(voltageCorrection);
            }
            break;
        case TraceKind::Digital:
            series = &ds.m_digital[idx];
            AddSamples(f, ds.m_digital[idx]);
            digitalSetup = ds.m_carSetup.FindDigitalSetup(channel);
            if (digitalSetup) f.Add(digitalSetup->m_nType).Add(digitalSetup->m_nInvert);
            break;
    }
    CTraceData& e = m_entries[Key{series, kind}];
    e.lastUsed = m_frame;
    if (e.fingerprint == f.Value() && !e.values.empty()) return e;
    e.fingerprint = f.Value();
    std::vector<int32_t>& v = e.values;
    v.clear();
    switch (kind) {
        case TraceKind::Rpm: {
            const CShaftList& s = ds.m_rpm[idx];
            const std::size_t n = s.m_samples.size();
            v.resize(n);
            const int win = rpmSetup ? std::max<int>(rpmSetup->m_nSmoothing, 1) : 1;
            // Moving average over the last `win` periods; the first period stands in for the
            // samples before the start.
            int64_t sum = n ? int64_t{s.ValueAt(0)} * win : 0;
            for (std::size_t i = 0; i < n; ++i) {
                if (i > 0)
                    sum += s.ValueAt(static_cast<Pos>(i)) -
                           s.ValueAt(
                               static_cast<Pos>(i >= static_cast<std::size_t>(win) ? i - win : 0));
                const int32_t milli =
                    s.GetRPMMilli(static_cast<uint32_t>(std::max<int64_t>(sum / win, 0)));
                v[i] = rpmSetup ? PlotValue(ds.m_carSetup, *rpmSetup, milli, s.m_samples[i].m_nGear,
                                            units)
                                : milli;
            }
            break;
        }
        case TraceKind::Slip: {
            const CShaftList& s = ds.m_rpm[idx];
            v.resize(s.m_samples.size());
            for (std::size_t i = 0; i < v.size(); ++i) v[i] = s.m_samples[i].m_lSlip;
            break;
        }
        case TraceKind::Analog: {
            const CSampleList& s = ds.m_analog[idx];
            const std::size_t n = s.m_samples.size();
            v.resize(n);
            const int win = analogSetup ? std::max<int>(analogSetup->m_nSmoothing, 1) : 1;
            int64_t sum = n ? int64_t{s.ValueAt(0)} * win : 0;
            for (std::size_t i = 0; i < n; ++i) {
                if (i > 0)
                    sum += s.ValueAt(static_cast<Pos>(i)) -
                           s.ValueAt(
                               static_cast<Pos>(i >= static_cast<std::size_t>(win) ? i - win : 0));
                const auto raw = static_cast<int32_t>(sum / win);
                v[i] = analogSetup ? analogSetup->Convert(raw, units, voltageCorrection) : raw;
            }
            break;
        }
        case TraceKind::Digital: {
            const CSampleList& s = ds.m_digital[idx];
            const std::size_t n = s.m_samples.size();
            v.resize(n);
            const bool toggle = digitalSetup && digitalSetup->m_nType == kDigitalEventTimer;
            int32_t level = 0;
            for (std::size_t i = 0; i < n; ++i) {
                if (toggle)
                    level ^= 1;
                else
                    level = s.ValueAt(static_cast<Pos>(i)) != 0 ? 1 : 0;
                v[i] = level;
            }
            break;
        }
    }
    e.BuildPyramid();
    return e;
}

void CTraceCache::EndFrame() {
    ++m_frame;
    std::erase_if(m_entries, [&](const auto& kv) { return kv.second.lastUsed + 64 < m_frame; });
}

// --- Emission -------------------------------------------------------------------------------

namespace {

template <class TSample>
int32_t KeyOf(const TSample& s, const TraceXMap& xm) {
    return xm.byDistance ? s.m_lDistance : s.m_lTime - xm.zeroTime;
}

}  // namespace

template <class TSample>
bool VisibleRange(const std::vector<TSample>& samples, Pos first, Pos last, const TraceXMap& xm,
                  std::size_t& begin, std::size_t& end) {
    if (first == kNoPos || last == kNoPos || last < first) return false;
    const auto lo = samples.begin() + first, hi = samples.begin() + last + 1;
    const int64_t windowEnd = int64_t{xm.xStart} + xm.xSpan;
    // Last sample at or before the window start.
    auto it = std::upper_bound(lo, hi, xm.xStart,
                               [&](int32_t x, const TSample& s) { return x < KeyOf(s, xm); });
    begin = static_cast<std::size_t>((it == lo ? lo : it - 1) - samples.begin());
    // First sample beyond the window end.
    auto jt = std::upper_bound(lo, hi, windowEnd,
                               [&](int64_t x, const TSample& s) { return x < KeyOf(s, xm); });
    end = static_cast<std::size_t>((jt == hi ? hi - 1 : jt) - samples.begin());
    if (KeyOf(samples[begin], xm) > windowEnd) return false;
    return begin <= end;
}

template <class TSample>
void EmitTrace(const std::vector<TSample>& samples, Pos first, Pos last, const CTraceData& data,
               const TraceXMap& xm, const TraceYMap& ym, ColorRef color, bool stepped,
               float extendTo, CGraphScene& scene) {
    std::size_t i = 0, end = 0;
    if (!VisibleRange(samples, first, last, xm, i, end)) return;
    const std::size_t stop = end + 1;
    scene.BeginPolyline(color);
    float lastX = 0, lastY = 0;
    bool any = false;
    auto put = [&](float x, float y) {
        if (any && x == lastX && y == lastY) return;
        scene.AddPoint(x, y);
        lastX = x;
        lastY = y;
        any = true;
    };
    // A stepped trace holds its level until the next change; `heldX` is how far it has run.
    float heldX = 0;
    auto point = [&](float x, float y) {
        if (stepped && any) {
            if (y == lastY) {
                heldX = std::max(heldX, x);
                return;
            }
            if (x != lastX) put(x, lastY);
        }
        put(x, y);
        heldX = x;
    };
    while (i < stop) {
        const int64_t col = xm.Column(KeyOf(samples[i], xm));
        // First sample of a later column: gallop, then bisect.
        std::size_t step = 1, lo = i, hi = i + 1;
        while (hi < stop && xm.Column(KeyOf(samples[hi], xm)) == col) {
            lo = hi;
            step *= 2;
            hi = std::min(stop, i + step);
        }
        while (hi - lo > 1) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (xm.Column(KeyOf(samples[mid], xm)) == col)
                lo = mid;
            else
                hi = mid;
        }
        const std::size_t j = hi;  // [i, j) share the column
        if (j - i <= 4) {
            for (std::size_t k = i; k < j; ++k)
                point(static_cast<float>(xm.Pixel(KeyOf(samples[k], xm))), ym.Y(data.values[k]));
        } else {
            int32_t low = 0, high = 0;
            data.Range(i, j, low, high);
            const float x0 = static_cast<float>(xm.Pixel(KeyOf(samples[i], xm)));
            const float x1 = static_cast<float>(xm.Pixel(KeyOf(samples[j - 1], xm)));
            const float xc = static_cast<float>(TraceXMap::kLeft + (col + 0.5) / xm.dpr);
            const float y0 = ym.Y(data.values[i]), y1 = ym.Y(data.values[j - 1]);
            float ya = ym.Y(low), yb = ym.Y(high);
            if (std::abs(ya - y0) > std::abs(yb - y0)) std::swap(ya, yb);
            point(x0, y0);
            put(std::max(xc, x0), ya);
            put(std::max(xc, x0), yb);
            put(std::max(x1, std::max(xc, x0)), y1);
        }
        i = j;
    }
    if (stepped && any) {
        if (extendTo > heldX) heldX = extendTo;
        if (heldX > lastX) put(heldX, lastY);
    }
    scene.EndPolyline();
}

template <class TSample>
void EmitEventLines(const std::vector<TSample>& samples, Pos first, Pos last,
                    const CTraceData& data, const TraceXMap& xm, bool changesOnly, float top,
                    float bottom, ColorRef color, CGraphScene& scene) {
    std::size_t i = 0, end = 0;
    if (!VisibleRange(samples, first, last, xm, i, end)) return;
    const int64_t windowEnd = int64_t{xm.xStart} + xm.xSpan;
    // Only samples inside the window count.
    while (i <= end && KeyOf(samples[i], xm) < xm.xStart) ++i;
    while (end >= i && end < samples.size() && KeyOf(samples[end], xm) > windowEnd) {
        if (end == 0) return;
        --end;
    }
    if (i > end) return;
    const std::size_t firstInside = i, stop = end + 1;
    while (i < stop) {
        const int64_t col = xm.Column(KeyOf(samples[i], xm));
        std::size_t lo = i, hi = i + 1, step = 1;
        while (hi < stop && xm.Column(KeyOf(samples[hi], xm)) == col) {
            lo = hi;
            step *= 2;
            hi = std::min(stop, i + step);
        }
        while (hi - lo > 1) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (xm.Column(KeyOf(samples[mid], xm)) == col)
                lo = mid;
            else
                hi = mid;
        }
        const std::size_t j = hi;
        // The column's first drawn sample: the first of the window, or the first change.
        std::size_t drawn = j;
        if (!changesOnly || i == firstInside) {
            drawn = i;
        } else {
            int32_t low = 0, high = 0;
            data.Range(i - 1, j, low, high);
            if (low != high)
                for (std::size_t k = i; k < j; ++k)
                    if (data.values[k] != data.values[k - 1]) {
                        drawn = k;
                        break;
                    }
        }
        if (drawn < j) {
            const auto x = static_cast<float>(xm.Pixel(KeyOf(samples[drawn], xm)));
            scene.AddLine(x, top, x, bottom, color);
        }
        i = j;
    }
}

template void EmitEventLines(const std::vector<CSample>&, Pos, Pos, const CTraceData&,
                             const TraceXMap&, bool, float, float, ColorRef, CGraphScene&);
template bool VisibleRange(const std::vector<CSample>&, Pos, Pos, const TraceXMap&, std::size_t&,
                           std::size_t&);
template bool VisibleRange(const std::vector<CShaft>&, Pos, Pos, const TraceXMap&, std::size_t&,
                           std::size_t&);
template void EmitTrace(const std::vector<CSample>&, Pos, Pos, const CTraceData&, const TraceXMap&,
                        const TraceYMap&, ColorRef, bool, float, CGraphScene&);
template void EmitTrace(const std::vector<CShaft>&, Pos, Pos, const CTraceData&, const TraceXMap&,
                        const TraceYMap&, ColorRef, bool, float, CGraphScene&);

}  // namespace orvex::graph
