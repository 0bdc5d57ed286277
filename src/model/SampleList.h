// Time-ordered sample series of one channel. Samples are stored contiguously; positions
// (indices) stand in for list nodes, kNoPos for "no node".
#pragma once

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/Sample.h"
#include "model/Units.h"

namespace orvex {

class CBriodashDataset;

using Pos = std::ptrdiff_t;
inline constexpr Pos kNoPos = -1;

// What every series has, whatever its sample type: settings, view range, cached extremes.
class CSeriesBase {
  public:
    virtual ~CSeriesBase() = default;

    const CBriodashDataset* m_pDataset = nullptr;
    int32_t m_bFramed = 1;
    int32_t m_bRange = 0;
    int32_t m_nOn = 0;
    int32_t m_nDataMode = 0;  // 0 never filtered, 1 filtered exists but raw used, 2 filtered used
    int32_t m_nPerLap = 1;    // markers: codes per lap group; shafts: pulses per revolution
    float m_fClock = 307200.0f;
    float m_fRate = 1.0f;
    Pos m_pMax = kNoPos;
    Pos m_pMin = kNoPos;
    Pos m_pFirst = kNoPos;
    Pos m_pLast = kNoPos;
    int32_t m_crTrace = 0;

    // Smoothing state: running sum, window of values, window index.
    int32_t m_lSmoothSum = 0;
    std::vector<int32_t> m_smoothWindow;
    int16_t m_nSmoothIndex = 0;

    virtual std::size_t Size() const = 0;  // whole list, ignoring the range
    virtual int32_t TimeAt(Pos p) const = 0;
    virtual int32_t DistanceAt(Pos p) const = 0;
    virtual int32_t ValueAt(Pos p) const = 0;  // GetSampleValue
    virtual void RemoveAll() = 0;
    virtual void ShiftTime(bool add, int32_t dt, int32_t dd) = 0;

    // Walking, honouring the sub-range view when m_bRange is set.
    bool IsEmpty() const;
    std::size_t GetCount() const;
    Pos First() const;
    Pos Last() const;
    Pos Next(Pos p) const;
    Pos Prev(Pos p) const;
    Pos Head() const { return Size() ? 0 : kNoPos; }
    Pos Tail() const { return Size() ? static_cast<Pos>(Size()) - 1 : kNoPos; }

    int32_t GetSampleValue(Pos p) const { return p == kNoPos ? 0 : ValueAt(p); }
    // Time of a sample; relative subtracts the dataset's zero time when its zero mode is on.
    int32_t GetSampleTime(Pos p, bool relative) const;
    int32_t ZeroTimeOffset() const;
    float GetRate() const { return m_fRate; }

    // Settings copied between series of the same kind (clears the cached extremes).
    void CopySettings(const CSeriesBase& other);
    void CopyModeAndPerLap(const CSeriesBase& other) {
        m_nDataMode = other.m_nDataMode;
        m_nPerLap = other.m_nPerLap;
    }
    void SetRangeMode(bool on) { m_bRange = on ? 1 : 0; }

    Pos FindMinMax(bool wantMin);
    void ClearMinMax() { m_pMin = m_pMax = kNoPos; }
    void SetRangeAndMinMax(int32_t t1, int32_t t2, Pos start = kNoPos);
    void SetRange(int32_t t1, int32_t t2);
    void ClearRange() { m_pFirst = m_pLast = kNoPos; }

    // Walk back from start to the first sample whose (relative) time or distance is below key.
    Pos FindBefore(int32_t key, Pos start, bool byDistance, bool adjust) const;
    // Walk on from start to the first sample whose time or distance is above key.
    Pos FindAfter(int32_t key, Pos start, bool byDistance, bool next) const;

    // After samples were read from a file: the rate estimate (not for markers) and the extremes.
    void FinishLoad(bool markerSeries);
    // Marker codes of files older than 2.7F: group and index from m_nPerLap.
    void RenumberOldMarkers();

  protected:
    int32_t KeyAt(Pos p, bool byDistance) const {
        return byDistance ? DistanceAt(p) : GetSampleTime(p, true);
    }
    // Minimum candidates: shaft series count only positive values.
    virtual bool CountsForExtreme(int32_t) const { return true; }
    static int32_t FramesOf(int32_t dt, int32_t& frames);
    void AdjustRangeAfterShift(Pos inserted, Pos removed);
};

template <class TSample>
class CSeries : public CSeriesBase {
  public:
    using Sample = TSample;
    std::vector<TSample> m_samples;

    std::size_t Size() const override { return m_samples.size(); }
    int32_t TimeAt(Pos p) const override { return m_samples[static_cast<std::size_t>(p)].m_lTime; }
    int32_t DistanceAt(Pos p) const override {
        return m_samples[static_cast<std::size_t>(p)].m_lDistance;
    }
    int32_t ValueAt(Pos p) const override {
        const TSample& s = m_samples[static_cast<std::size_t>(p)];
        return m_nDataMode >= 2 ? s.m_lFiltered : s.m_lRaw;
    }
    TSample& operator[](Pos p) { return m_samples[static_cast<std::size_t>(p)]; }
    const TSample& operator[](Pos p) const { return m_samples[static_cast<std::size_t>(p)]; }

    void RemoveAll() override {
        m_samples.clear();
        m_samples.shrink_to_fit();
        ClearMinMax();
        ClearRange();
    }
    void AddTail(const TSample& s) { m_samples.push_back(s); }
    void AddHead(const TSample& s) { m_samples.insert(m_samples.begin(), s); }
    void InsertBefore(Pos p, const TSample& s) { m_samples.insert(m_samples.begin() + p, s); }
    void RemoveAt(Pos p) { m_samples.erase(m_samples.begin() + p); }
    void SetDistance(Pos p, int32_t d) { (*this)[p].m_lDistance = d; }

    // Moves every sample from position p onward (all when p is kNoPos) to the tail of `other`.
    void SplitTo(Pos p, CSeries& other) {
        std::size_t from = p == kNoPos ? 0 : static_cast<std::size_t>(p);
        other.m_samples.insert(other.m_samples.end(), m_samples.begin() + static_cast<Pos>(from),
                               m_samples.end());
        m_samples.resize(from);
        ClearMinMax();
        other.ClearMinMax();
    }

    // Copies the samples of the other series' current view (its range when on).
    void CopyRangeFrom(const CSeries& other) {
        m_samples.clear();
        for (Pos p = other.First(); p != kNoPos; p = other.Next(p)) m_samples.push_back(other[p]);
        ClearMinMax();
        ClearRange();
    }

    void ShiftTime(bool add, int32_t dt, int32_t dd) override {
        int32_t frames = 0;
        if (m_bFramed) dt = FramesOf(dt, frames);
        if (add) {
            for (TSample& s : m_samples) {
                s.m_lTime += dt;
                s.m_lDistance += dd;
            }
            if (m_bFramed && frames > 0) {
                std::vector<TSample> pad(static_cast<std::size_t>(frames));
                for (int32_t i = 0; i < frames; ++i) {
                    // Inserted at the head one after another, so the padding runs 0, 333, 666...
                    TSample& s = pad[static_cast<std::size_t>(frames - 1 - i)];
                    s.m_lTime = (frames - 1 - i) * 1000 / 3;
                    s.m_lFiltered = s.m_lRaw = 0xFFFF;
                    s.m_lDistance = 0;
                }
                m_samples.insert(m_samples.begin(), pad.begin(), pad.end());
                AdjustRangeAfterShift(frames, 0);
            }
        } else {
            auto firstKept = std::find_if(m_samples.begin(), m_samples.end(),
                                          [dt](const TSample& s) { return s.m_lTime >= dt; });
            Pos removed = firstKept - m_samples.begin();
            m_samples.erase(m_samples.begin(), firstKept);
            for (TSample& s : m_samples) {
                s.m_lTime -= dt;
                s.m_lDistance -= dd;
            }
            AdjustRangeAfterShift(0, removed);
        }
        ClearMinMax();
        FindMinMax(true);
    }

    // A new sample at time t between a and b (either may be kNoPos).
    TSample Interpolate(int32_t t, Pos a, Pos b, bool step) const {
        if (a == kNoPos && b == kNoPos) {
            TSample s;
            s.m_lTime = t;
            return s;
        }
        if (a == kNoPos || b == kNoPos) {
            TSample s = (*this)[a == kNoPos ? b : a];
            s.m_lTime = t;
            return s;
        }
        const TSample& sa = (*this)[a];
        const TSample& sb = (*this)[b];
        float c = sb.m_lTime == sa.m_lTime ? 0.0f
                                           : static_cast<float>(t - sa.m_lTime) /
                                                 static_cast<float>(sb.m_lTime - sa.m_lTime);
        TSample s = sa;
        s.m_lTime = t;
        s.m_lDistance = Lerp(sa.m_lDistance, sb.m_lDistance, c);
        if constexpr (std::is_base_of_v<CShaft, TSample>) {
            s.m_lFiltered = Lerp(sa.m_lFiltered, sb.m_lFiltered, c);
            s.m_lRaw = Lerp(sa.m_lRaw, sb.m_lRaw, c);
            s.m_lSlip = Lerp(sa.m_lSlip, sb.m_lSlip, c);
            s.m_nGear = sa.m_nGear;
        } else if (step) {
            const TSample& from = (c > 0.5f && sa.m_lRaw != sb.m_lRaw) ? sb : sa;
            s.m_lFiltered = from.m_lFiltered;
            s.m_lRaw = from.m_lRaw;
        } else {
            s.m_lFiltered = Lerp(sa.m_lFiltered, sb.m_lFiltered, c);
            s.m_lRaw = Lerp(sa.m_lRaw, sb.m_lRaw, c);
        }
        return s;
    }

  protected:
    static int32_t Lerp(int32_t a, int32_t b, float c) {
        return static_cast<int32_t>(static_cast<float>(a) +
                                    c * (static_cast<float>(b) - static_cast<float>(a)));
    }
};

// Analog, digital and marker channels.
class CSampleList : public CSeries<CSample> {};

// Shaft-speed (RPM) channels: periods of the sensor's pulses, with gear and slip per sample.
class CShaftList : public CSeries<CShaft> {
  public:
    int32_t m_bSlipDirty = 1;
    int32_t m_nSlipOn = 0;
    int32_t m_nRpmType = 0;
    int32_t m_crSlip = 0;

    void CopySettings(const CShaftList& other) {
        CSeriesBase::CopySettings(other);
        m_nRpmType = other.m_nRpmType;
    }
    void SetGear(Pos p, int16_t gear) { (*this)[p].m_nGear = gear; }
    int16_t GetGear(Pos p) const { return p == kNoPos ? 0 : (*this)[p].m_nGear; }
    int32_t GetSlip(Pos p) const { return p == kNoPos ? -1 : (*this)[p].m_lSlip; }

    // RPM of a period P in timer counts; with milli the RPM × 1000 truncated.
    double GetRPM(uint32_t period, bool milli) const;
    // Held to the int32 range: clock and period come from files and the logger.
    int32_t GetRPMMilli(uint32_t period) const {
        const double rpm = GetRPM(period, true);
        if (!(rpm > -2147483648.0)) return rpm < 0 ? INT32_MIN : 0;  // NaN gives 0
        return rpm < 2147483647.0 ? static_cast<int32_t>(rpm) : INT32_MAX;
    }

  protected:
    bool CountsForExtreme(int32_t v) const override { return v > 0; }
};

class CGPSList : public CSeries<CGPSSample> {
  public:
    int32_t m_nWord1 = 0;
    int32_t m_nWord2 = 0;
    void CopySettings(const CGPSList& other) {
        CSeriesBase::CopySettings(other);
        m_nWord1 = other.m_nWord1;
        m_nWord2 = other.m_nWord2;
    }
};

// Parameters of a math channel; its samples are never saved.
class CMathList : public CSeries<CSample> {
  public:
    int32_t m_nWord = 0;
};

}  // namespace orvex
