#include "model/SampleList.h"

#include "model/Dataset.h"

namespace orvex {

bool CSeriesBase::IsEmpty() const {
    if (Size() == 0) return true;
    if (m_bRange) return m_pFirst == kNoPos || m_pLast == kNoPos;
    return false;
}

std::size_t CSeriesBase::GetCount() const {
    if (!m_bRange) return Size();
    if (m_pFirst == kNoPos || m_pLast == kNoPos) return 1;
    return m_pLast >= m_pFirst ? static_cast<std::size_t>(m_pLast - m_pFirst + 1) : 1;
}

Pos CSeriesBase::First() const {
    if (IsEmpty()) return kNoPos;
    return m_bRange ? m_pFirst : 0;
}

Pos CSeriesBase::Last() const {
    if (IsEmpty()) return kNoPos;
    return m_bRange ? m_pLast : Tail();
}

Pos CSeriesBase::Next(Pos p) const {
    if (p == kNoPos) return kNoPos;
    if (m_bRange && p == m_pLast) return kNoPos;
    return p + 1 < static_cast<Pos>(Size()) ? p + 1 : kNoPos;
}

Pos CSeriesBase::Prev(Pos p) const {
    if (p == kNoPos) return kNoPos;
    if (m_bRange && p == m_pFirst) return kNoPos;
    return p > 0 ? p - 1 : kNoPos;
}

int32_t CSeriesBase::ZeroTimeOffset() const {
    if (m_pDataset && m_pDataset->m_nTimeRef != 0) return m_pDataset->m_lZeroTime;
    return 0;
}

int32_t CSeriesBase::GetSampleTime(Pos p, bool relative) const {
    if (p == kNoPos) return 0;
    return relative ? TimeAt(p) - ZeroTimeOffset() : TimeAt(p);
}

void CSeriesBase::CopySettings(const CSeriesBase& other) {
    m_bFramed = other.m_bFramed;
    m_fClock = other.m_fClock;
    m_fRate = other.m_fRate;
    m_nDataMode = other.m_nDataMode;
    m_nPerLap = other.m_nPerLap;
    ClearMinMax();
}

Pos CSeriesBase::FindMinMax(bool wantMin) {
    if (m_pMin != kNoPos && m_pMax != kNoPos) return wantMin ? m_pMin : m_pMax;
    int32_t smallest = kNotSet;
    int32_t largest = 0;
    m_pMin = m_pMax = kNoPos;
    for (Pos p = First(); p != kNoPos; p = Next(p)) {
        int32_t v = ValueAt(p);
        if (v < smallest && v != 0) {
            smallest = v;
            m_pMin = p;
        } else if (v > largest) {
            largest = v;
            m_pMax = p;
        }
    }
    return wantMin ? m_pMin : m_pMax;
}

void CSeriesBase::SetRangeAndMinMax(int32_t t1, int32_t t2, Pos start) {
    ClearMinMax();
    if (t1 == kMinInt32 && t2 == kMinInt32) {
        ClearRange();
        return;
    }
    m_pFirst = m_pLast = kNoPos;
    if (Size() == 0) return;
    Pos p = start == kNoPos ? 0 : start;
    const Pos n = static_cast<Pos>(Size());
    while (p < n && TimeAt(p) < t1) ++p;
    if (p >= n) return;
    m_pFirst = p;
    t2 = std::min(t2, TimeAt(n - 1));
    int32_t smallest = kNotSet;
    int32_t largest = 0;
    for (; p < n; ++p) {
        int32_t v = ValueAt(p);
        if (v < smallest && v != 0) {
            smallest = v;
            m_pMin = p;
        } else if (v > largest) {
            largest = v;
            m_pMax = p;
        }
        if (TimeAt(p) >= t2) {
            m_pLast = p;
            break;
        }
    }
}

void CSeriesBase::SetRange(int32_t t1, int32_t t2) {
    if (Size() == 0) return;
    const Pos n = static_cast<Pos>(Size());
    // First sample at or after t1 (the tail when none), last at or before t2 (the head when none).
    Pos lo = 0, hi = n;
    while (lo < hi) {
        Pos mid = (lo + hi) / 2;
        if (TimeAt(mid) < t1)
            lo = mid + 1;
        else
            hi = mid;
    }
    m_pFirst = lo < n ? lo : n - 1;
    lo = 0;
    hi = n;
    while (lo < hi) {
        Pos mid = (lo + hi) / 2;
        if (TimeAt(mid) <= t2)
            lo = mid + 1;
        else
            hi = mid;
    }
    m_pLast = lo > 0 ? lo - 1 : 0;
}

Pos CSeriesBase::FindBefore(int32_t key, Pos start, bool byDistance, bool adjust) const {
    if (IsEmpty()) return kNoPos;
    Pos p = start == kNoPos ? Last() : start;
    Pos found = kNoPos;
    for (; p != kNoPos; p = Prev(p)) {
        if (KeyAt(p, byDistance) < key) {
            found = p;
            break;
        }
    }
    if (found == kNoPos) found = First();
    if (adjust) return FindAfter(key, found, byDistance, false);
    return found;
}

Pos CSeriesBase::FindAfter(int32_t key, Pos start, bool byDistance, bool next) const {
    if (IsEmpty()) return kNoPos;
    Pos p = start == kNoPos ? First() : start;
    Pos found = kNoPos;
    for (; p != kNoPos; p = Next(p)) {
        if (KeyAt(p, byDistance) > key) {
            found = p;
            break;
        }
    }
    if (found == kNoPos) return Last();
    Pos neighbour = next ? Next(found) : Prev(found);
    return neighbour == kNoPos ? found : neighbour;
}

void CSeriesBase::FinishLoad(bool markerSeries) {
    const Pos n = static_cast<Pos>(Size());
    if (!markerSeries) {
        // The rate is taken from the first three evenly spaced times; an uneven triple restarts
        // the estimate with the samples that follow it.
        Pos p = 0;
        while (p + 2 < n) {
            // Times come from files: any two may lie the whole range apart.
            const int64_t d1 = int64_t{TimeAt(p + 1)} - TimeAt(p);
            const int64_t d2 = int64_t{TimeAt(p + 2)} - TimeAt(p + 1);
            if (d1 == d2 && d2 > 0) {
                m_fRate = 10000.0f / static_cast<float>(d2);
                break;
            }
            p += 3;
        }
    }
    m_pMin = m_pMax = kNoPos;
    int32_t smallest = kNotSet;
    int32_t largest = kMinInt32;
    for (Pos p = 0; p < n; ++p) {
        int32_t v = ValueAt(p);
        if (!CountsForExtreme(v)) continue;
        if (v < smallest) {
            smallest = v;
            m_pMin = p;
        } else if (v > largest) {
            largest = v;
            m_pMax = p;
        }
    }
}

int32_t CSeriesBase::FramesOf(int32_t dt, int32_t& frames) {
    int32_t k = static_cast<int32_t>(static_cast<int64_t>(dt) * 3 / 1000);
    int32_t r = dt - static_cast<int32_t>(static_cast<int64_t>(k) * 1000 / 3);
    frames = r > 166 ? k + 1 : k;
    return static_cast<int32_t>(static_cast<int64_t>(frames) * 1000 / 3);
}

void CSeriesBase::AdjustRangeAfterShift(Pos inserted, Pos removed) {
    auto fix = [&](Pos& p) {
        if (p == kNoPos) return;
        p = p + inserted - removed;
        if (p < 0) p = Size() ? 0 : kNoPos;
    };
    fix(m_pFirst);
    fix(m_pLast);
}

double CShaftList::GetRPM(uint32_t period, bool milli) const {
    // Clock counts in a minute; a rate outside what 32 bits hold (a damaged file, a live
    // reading gone wrong) is held at the nearest end instead of being converted blindly.
    const double perMinute = static_cast<double>(m_fClock) * 60.0;
    const uint32_t counts = !(perMinute > 0.0)          ? 0u
                            : perMinute >= 4294967295.0 ? 0xFFFFFFFFu
                                                        : static_cast<uint32_t>(perMinute);
    double rpm;
    if (period == 0 || (m_bFramed && period == 0xFFFE)) {
        // No reading. The unframed logger never sends a zero period; treat it like framed.
        rpm = 1.0;
    } else {
        const uint32_t n = counts / period;
        const uint32_t ppr = static_cast<uint32_t>(std::max(m_nPerLap, 0));
        if (m_bFramed) {
            if (ppr == 0)
                rpm = 2.0 * n;
            else
                rpm = n <= ppr ? 1.0 : static_cast<double>(n / ppr);
            rpm = std::min(rpm, 25000.0);
        } else {
            rpm = ppr == 0 ? 2.0 * n : static_cast<double>(n) / ppr;
            if ((milli ? rpm * 1000.0 : rpm) < 1.0) rpm = milli ? 0.001 : 1.0;
        }
    }
    if (milli) return std::trunc(rpm * 1000.0);
    return rpm;
}

void CSeriesBase::RenumberOldMarkers() {
    // Markers whose value is 0 or at least 100 get 100 × group + index, index counting
    // 0 .. m_nPerLap − 1 within each group.
    auto* self = dynamic_cast<CSampleList*>(this);
    if (!self) return;
    const int32_t perLap = std::max(m_nPerLap, 1);
    int32_t group = 0, index = 0;
    for (CSample& s : self->m_samples) {
        if (s.m_lRaw == 0 || s.m_lRaw >= 100) {
            s.m_lRaw = s.m_lFiltered = 100 * group + index;
            if (++index >= perLap) {
                index = 0;
                ++group;
            }
        }
    }
}

}  // namespace orvex
