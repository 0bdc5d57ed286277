// Cached plotted values and per-column reduction of strip-chart traces.
#include "graph/GraphTraces.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "graph/GraphDerived.h"
#include "graph/GraphView.h"
#include "processing/SpikeFilter.h"

namespace orvex::graph {

static_assert(TraceXMap::kLeft == kLeftMargin);

// --- Pyramid --------------------------------------------------------------------------------

void CTraceData::BuildPyramid() {
    std::size_t levels = 0;
    for (std::size_t n = values.size(); n > kBlock; n = (n + kBlock - 1) / kBlock) ++levels;
    // The level buffers of an earlier build are written over.
    lo.resize(levels);
    hi.resize(levels);
    const int32_t* srcLo = values.data();
    const int32_t* srcHi = values.data();
    std::size_t size = values.size();
    for (std::size_t k = 0; k < levels; ++k) {
        const std::size_t n = (size + kBlock - 1) / kBlock;
        lo[k].resize(n);
        hi[k].resize(n);
        int32_t* l = lo[k].data();
        int32_t* h = hi[k].data();
        for (std::size_t b = 0; b < n; ++b) {
            const std::size_t a = b * kBlock, e = std::min(a + kBlock, size);
            int32_t mn = srcLo[a], mx = srcHi[a];
            if (e - a == kBlock) {
                for (std::size_t i = 1; i < kBlock; ++i) {
                    mn = std::min(mn, srcLo[a + i]);
                    mx = std::max(mx, srcHi[a + i]);
                }
            } else {
                for (std::size_t i = a + 1; i < e; ++i) {
                    mn = std::min(mn, srcLo[i]);
                    mx = std::max(mx, srcHi[i]);
                }
            }
            l[b] = mn;
            h[b] = mx;
        }
        srcLo = l;
        srcHi = h;
        size = n;
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
    f.Add(s.m_bRange).Add(s.First()).Add(s.Last());
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
    e.keysValid = false;
    e.ForgetColumns();
    std::vector<int32_t>& v = e.values;
    v.clear();
    switch (kind) {
        case TraceKind::Rpm: {
            const CShaftList& s = ds.m_rpm[idx];
            if (rpmSetup) {
                // Reading the smoothed values only moves the series' smoothing window.
                v = RpmPlotValues(const_cast<CBriodashDataset&>(ds), channel, units);
                break;
            }
            v.resize(s.m_samples.size());
            for (std::size_t i = 0; i < v.size(); ++i)
                v[i] = s.GetRPMMilli(static_cast<uint32_t>(s.GetSampleValue(static_cast<Pos>(i))));
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
            // The moving average the marker list and every derived value read as well.
            const int win = analogSetup ? std::max<int>(analogSetup->m_nSmoothing, 1) : 1;
            SmoothedSums(s, win, v);
            if (analogSetup) {
                const CAnalogConversion convert(*analogSetup, units, voltageCorrection);
                for (int32_t& x : v) x = convert(x / win);
            } else {
                for (int32_t& x : v) x /= win;
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

template <class TSample>
void CTraceData::EnsureKeys(const std::vector<TSample>& samples, bool byDistance,
                            int32_t zeroTime) const {
    SampleKeys k;
    if (!samples.empty()) {
        const TSample& s = samples.front();
        k.base = reinterpret_cast<const unsigned char*>(byDistance ? &s.m_lDistance : &s.m_lTime);
        k.stride = sizeof(TSample);
        k.count = samples.size();
        k.zero = byDistance ? 0 : zeroTime;
    }
    if (keysValid && keysByDistance == byDistance && keysZero == zeroTime && keysSource == k.base &&
        keys.count == k.count)
        return;
    keysSource = k.base;
    ForgetColumns();
    if (k.count >= kCompactKeysFrom) {
        compactKeys.resize(k.count);
        for (std::size_t i = 0; i < k.count; ++i) compactKeys[i] = k[i];
        keys.base = reinterpret_cast<const unsigned char*>(compactKeys.data());
        keys.stride = sizeof(int32_t);
        keys.count = k.count;
        keys.zero = 0;
    } else {
        compactKeys.clear();
        compactKeys.shrink_to_fit();
        keys = k;
    }
    std::size_t levels = 0, step = kBlock;
    for (; step < keys.size(); step *= kBlock) {
        if (keyLevels.size() <= levels) keyLevels.emplace_back();
        std::vector<int32_t>& level = keyLevels[levels++];
        level.resize((keys.size() + step - 1) / step);
        for (std::size_t b = 0; b < level.size(); ++b) level[b] = keys[b * step];
    }
    keyLevels.resize(levels);
    keysValid = true;
    keysByDistance = byDistance;
    keysZero = zeroTime;
}

namespace {

// First index j in (i, stop) whose key satisfies the monotone `pred`, or stop. Climbs the key
// levels while the predicate stays false and comes down again, so that a search over many
// samples reads a few short runs of neighbouring keys.
template <class Pred>
std::size_t FirstTrue(const CTraceData& d, std::size_t i, std::size_t stop, Pred pred) {
    const int maxLevel = static_cast<int>(d.keyLevels.size());
    auto keyAt = [&](std::size_t j, int level) {
        return level == 0
                   ? d.keys[j]
                   : d.keyLevels[static_cast<std::size_t>(level - 1)]
                                [j >> (CTraceData::kShift * static_cast<std::size_t>(level))];
    };
    std::size_t j = i + 1, block = 1;
    int level = 0;
    while (j < stop && !pred(keyAt(j, level))) {
        if (level < maxLevel && (j & (block * CTraceData::kBlock - 1)) == 0) {
            block *= CTraceData::kBlock;
            ++level;
        }
        j += block;
    }
    std::size_t lo = j - block, hi = std::min(j, stop);
    while (block > 1) {
        block /= CTraceData::kBlock;
        --level;
        std::size_t k = lo + block;
        while (k < hi && !pred(keyAt(k, level))) {
            lo = k;
            k += block;
        }
        hi = std::min(hi, k);
    }
    return hi;
}

// Smallest horizontal value that falls in a later device pixel column than `col`.
int64_t FindNextColumnKey(const TraceXMap& xm, int64_t col) {
    int64_t k = xm.xStart + static_cast<int64_t>(std::ceil((col + 1) * xm.unitsPerPixel / xm.dpr));
    k = std::clamp<int64_t>(k, xm.xStart + 1, int64_t{kNotSet});
    auto column = [&](int64_t x) { return xm.Column(static_cast<int32_t>(x)); };
    while (k > xm.xStart + 1 && column(k - 1) > col) --k;
    while (k < kNotSet && column(k) <= col) ++k;
    return k;
}

// The same, remembered for the columns of the picture: every trace of a dataset meets the same
// column boundaries.
int64_t NextColumnKey(const TraceXMap& xm, int64_t col) {
    constexpr int64_t kRemembered = 1 << 15;
    if (col < 0 || col >= kRemembered) return FindNextColumnKey(xm, col);
    auto& known = xm.nextColumnKeys;
    const auto at = static_cast<std::size_t>(col);
    if (at >= known.size()) known.resize(at + 1, TraceXMap::kUnknownKey);
    if (known[at] == TraceXMap::kUnknownKey) known[at] = FindNextColumnKey(xm, col);
    return known[at];
}

// A column a few columns on is read soon: ask early for its start at every level its
// reduction reads (the start of one column is the end of the one before, so the ends of every
// column are fetched ahead).
void Prefetch(const CTraceData& d, std::size_t j, std::size_t width) {
    if (j + CTraceData::kBlock >= d.values.size() || j < CTraceData::kBlock) return;
    __builtin_prefetch(&d.values[j - CTraceData::kBlock]);
    __builtin_prefetch(&d.values[j]);
    __builtin_prefetch(d.keys.Address(j - 1));
    __builtin_prefetch(d.keys.Address(j));
    std::size_t block = CTraceData::kBlock;
    for (std::size_t level = 0; level < d.lo.size() && block <= width; ++level) {
        const std::size_t at = j >> (CTraceData::kShift * (level + 1));
        __builtin_prefetch(&d.lo[level][at]);
        __builtin_prefetch(&d.hi[level][at]);
        block <<= CTraceData::kShift;
    }
}

// First index in [lo, hi) whose key is greater than x, or hi.
std::size_t UpperBound(const SampleKeys& keys, std::size_t lo, std::size_t hi, int64_t x) {
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (x < int64_t{keys[mid]})
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

bool VisibleKeys(const CTraceData& d, Pos first, Pos last, const TraceXMap& xm, std::size_t& begin,
                 std::size_t& end) {
    if (first == kNoPos || last == kNoPos || last < first) return false;
    const auto lo = static_cast<std::size_t>(first), hi = static_cast<std::size_t>(last) + 1;
    const int64_t windowEnd = int64_t{xm.xStart} + xm.xSpan;
    // The last sample at or before the window start, and the first beyond its end.
    const std::size_t it = UpperBound(d.keys, lo, hi, xm.xStart);
    begin = it == lo ? lo : it - 1;
    const std::size_t jt = UpperBound(d.keys, lo, hi, windowEnd);
    end = jt == hi ? hi - 1 : jt;
    return d.keys[begin] <= windowEnd && begin <= end;
}

}  // namespace

template <class TSample>
bool VisibleRange(const std::vector<TSample>& samples, Pos first, Pos last, const TraceXMap& xm,
                  std::size_t& begin, std::size_t& end) {
    if (first == kNoPos || last == kNoPos || last < first) return false;
    auto key = [&](const TSample& s) {
        return xm.byDistance ? int64_t{s.m_lDistance} : int64_t{s.m_lTime} - xm.zeroTime;
    };
    const auto lo = samples.begin() + first, hi = samples.begin() + last + 1;
    const int64_t windowEnd = int64_t{xm.xStart} + xm.xSpan;
    auto it = std::upper_bound(lo, hi, int64_t{xm.xStart},
                               [&](int64_t x, const TSample& s) { return x < key(s); });
    begin = static_cast<std::size_t>((it == lo ? lo : it - 1) - samples.begin());
    auto jt = std::upper_bound(lo, hi, windowEnd,
                               [&](int64_t x, const TSample& s) { return x < key(s); });
    end = static_cast<std::size_t>((jt == hi ? hi - 1 : jt) - samples.begin());
    return key(samples[begin]) <= windowEnd && begin <= end;
}

template <class TSample>
void EmitTrace(const std::vector<TSample>& samples, Pos first, Pos last, const CTraceData& data,
               const TraceXMap& xm, const TraceYMap& ym, ColorRef color, bool stepped,
               float extendTo, CGraphScene& scene) {
    data.EnsureKeys(samples, xm.byDistance, xm.zeroTime);
    std::size_t i = 0, end = 0;
    if (!VisibleKeys(data, first, last, xm, i, end)) return;
    const std::size_t stop = end + 1;
    const SampleKeys keys = data.keys;
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
    std::size_t width = 0;
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
    const std::vector<CTraceData::Column>& known = data.columns;
    std::vector<CTraceData::Column>& drawn = data.columnsDrawn;
    drawn.clear();
    std::size_t cursor = 0;
    int32_t keyAt = keys[i];  // the key of sample i
    while (i < stop) {
        const int64_t col = xm.Column(keyAt);
        // [i, j) share the pixel column.
        const int64_t next = NextColumnKey(xm, col);
        while (cursor < known.size() && known[cursor].i < i) ++cursor;
        const bool again = cursor < known.size() && known[cursor].i == i &&
                           known[cursor].next == next && known[cursor].j < stop;
        std::size_t j = 0;
        CTraceData::Column c{};
        if (again) {
            c = known[cursor];
            j = c.j;
        } else {
            // Evenly spaced samples: the previous column's width lands on the boundary or one
            // sample beside it (columns are not a whole number of samples wide).
            auto boundary = [&](std::size_t k) {
                return k > i && k < stop && keys[k - 1] < next && keys[k] >= next;
            };
            j = i + width;
            if (width == 0 || !boundary(j)) {
                if (width > 0 && boundary(j + 1))
                    ++j;
                else if (width > 1 && boundary(j - 1))
                    --j;
                else
                    j = FirstTrue(data, i, stop, [next](int32_t k) { return k >= next; });
            }
            if (j < stop) Prefetch(data, j + 4 * (j - i), j - i);
            if (j - i > 4) {
                c.i = i;
                c.j = j;
                c.next = next;
                c.firstKey = keyAt;
                c.lastKey = keys[j - 1];
                c.firstValue = data.values[i];
                c.lastValue = data.values[j - 1];
                data.Range(i, j, c.low, c.high);
                // A column that ends at the window's end may grow when the window does.
                if (j < stop) {
                    c.keyAfter = keys[j];
                    drawn.push_back(c);
                }
            }
        }
        if (again) drawn.push_back(c);
        width = j - i;
        if (j - i <= 4) {
            for (std::size_t k = i; k < j; ++k)
                point(static_cast<float>(xm.Pixel(keys[k])), ym.Y(data.values[k]));
        } else {
            const auto x0 = static_cast<float>(xm.Pixel(c.firstKey));
            const auto x1 = static_cast<float>(xm.Pixel(c.lastKey));
            const float xc =
                std::max(x0, static_cast<float>(TraceXMap::kLeft + (col + 0.5) / xm.dpr));
            const float y0 = ym.Y(c.firstValue), y1 = ym.Y(c.lastValue);
            float ya = ym.Y(c.low), yb = ym.Y(c.high);
            if (std::abs(ya - y0) > std::abs(yb - y0)) std::swap(ya, yb);
            point(x0, y0);
            put(xc, ya);
            put(xc, yb);
            put(std::max(x1, xc), y1);
        }
        i = j;
        if (i < stop) keyAt = again ? c.keyAfter : keys[i];
    }
    std::swap(data.columns, data.columnsDrawn);
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
    data.EnsureKeys(samples, xm.byDistance, xm.zeroTime);
    std::size_t i = 0, end = 0;
    if (!VisibleKeys(data, first, last, xm, i, end)) return;
    const SampleKeys keys = data.keys;
    const int64_t windowEnd = int64_t{xm.xStart} + xm.xSpan;
    // Only samples inside the window count.
    if (keys[i] < xm.xStart) ++i;
    if (keys[end] > windowEnd) {
        if (end == 0) return;
        --end;
    }
    if (i > end || end >= keys.size()) return;
    const std::size_t firstInside = i, stop = end + 1;
    while (i < stop) {
        const int64_t col = xm.Column(keys[i]);
        const int64_t next = NextColumnKey(xm, col);
        const std::size_t j = FirstTrue(data, i, stop, [next](int32_t k) { return k >= next; });
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
            const auto x = static_cast<float>(xm.Pixel(keys[drawn]));
            scene.AddLine(x, top, x, bottom, color);
        }
        i = j;
    }
}

template void EmitEventLines(const std::vector<CSample>&, Pos, Pos, const CTraceData&,
                             const TraceXMap&, bool, float, float, ColorRef, CGraphScene&);
template void CTraceData::EnsureKeys(const std::vector<CSample>&, bool, int32_t) const;
template void CTraceData::EnsureKeys(const std::vector<CShaft>&, bool, int32_t) const;
template bool VisibleRange(const std::vector<CSample>&, Pos, Pos, const TraceXMap&, std::size_t&,
                           std::size_t&);
template bool VisibleRange(const std::vector<CShaft>&, Pos, Pos, const TraceXMap&, std::size_t&,
                           std::size_t&);
template void EmitTrace(const std::vector<CSample>&, Pos, Pos, const CTraceData&, const TraceXMap&,
                        const TraceYMap&, ColorRef, bool, float, CGraphScene&);
template void EmitTrace(const std::vector<CShaft>&, Pos, Pos, const CTraceData&, const TraceXMap&,
                        const TraceYMap&, ColorRef, bool, float, CGraphScene&);

}  // namespace orvex::graph
