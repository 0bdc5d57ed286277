#include "model/Dataset.h"

#include <algorithm>
#include <cstdio>

#include "host/HostServices.h"
#include "model/TimeFormat.h"

namespace orvex {

CBriodashDataset::CBriodashDataset() {
    AttachSeries();
}

CBriodashDataset::CBriodashDataset(const CBriodashDataset& o)
    : m_bDeleted(o.m_bDeleted),
      m_nDistanceSource(o.m_nDistanceSource),
      m_nLap(0),
      m_nGroup(o.m_nGroup),
      m_nTimeRef(o.m_nTimeRef),
      m_nFramed(o.m_nFramed),
      m_nLoggerFamily(o.m_nLoggerFamily),
      m_nBeaconsPerLap(o.m_nBeaconsPerLap),
      m_nOptions(o.m_nOptions),
      m_lZeroTime(o.m_lZeroTime),
      m_lZeroDistance(o.m_lZeroDistance),
      m_lLapDistance(o.m_lLapDistance),
      m_fClock(o.m_fClock),
      m_strName(o.m_strName),
      m_lstComments(o.m_lstComments),
      m_carSetup(o.m_carSetup) {
    AttachSeries();
    m_markers.m_nOn = o.m_markers.m_nOn;
    m_markers.m_crTrace = o.m_markers.m_crTrace;
    m_markers.CopySettings(o.m_markers);
    for (int i = 0; i < kRpmChannels; ++i) {
        m_rpm[i].CopySettings(o.m_rpm[i]);
        m_rpm[i].m_nOn = o.m_rpm[i].m_nOn;
        m_rpm[i].m_crTrace = o.m_rpm[i].m_crTrace;
        m_rpm[i].m_nSlipOn = o.m_rpm[i].m_nSlipOn;
        m_rpm[i].m_crSlip = o.m_rpm[i].m_crSlip;
    }
    for (int i = 0; i < kAnalogChannels; ++i) {
        m_analog[i].CopySettings(o.m_analog[i]);
        m_analog[i].m_nOn = o.m_analog[i].m_nOn;
        m_analog[i].m_crTrace = o.m_analog[i].m_crTrace;
    }
    for (int i = 0; i < kDigitalChannels; ++i) {
        m_digital[i].CopySettings(o.m_digital[i]);
        m_digital[i].m_nOn = o.m_digital[i].m_nOn;
        m_digital[i].m_crTrace = o.m_digital[i].m_crTrace;
    }
}

void CBriodashDataset::AttachSeries() {
    m_gps.m_pDataset = this;
    m_markers.m_pDataset = this;
    ForEachChannel([this](CSeriesBase& s) { s.m_pDataset = this; });
}

void CBriodashDataset::ShiftTime(bool add, int32_t dt, int32_t dd) {
    if (!m_markers.IsEmpty()) m_markers.ShiftTime(add, dt, dd);
    ForEachChannel([&](CSeriesBase& s) {
        if (!s.IsEmpty()) s.ShiftTime(add, dt, dd);
    });
}

bool CBriodashDataset::HasData() const {
    bool any = false;
    ForEachChannel([&](const CSeriesBase& s) { any = any || !s.IsEmpty(); });
    return any;
}

void CBriodashDataset::DropUnconfigured() {
    for (int i = 0; i < kRpmChannels; ++i) {
        if (!m_carSetup.FindRpmSetup(i + 1)) {
            m_rpm[i].m_nOn = 0;
            m_rpm[i].m_nSlipOn = 0;
            m_rpm[i].RemoveAll();
        }
    }
    for (int i = 0; i < kAnalogChannels; ++i) {
        if (!m_carSetup.FindAnalogSetup(i + 1)) {
            m_analog[i].m_nOn = 0;
            m_analog[i].RemoveAll();
        }
    }
    for (int i = 0; i < kDigitalChannels; ++i) {
        if (!m_carSetup.FindDigitalSetup(i + 1)) {
            m_digital[i].m_nOn = 0;
            m_digital[i].RemoveAll();
        }
    }
}

void CBriodashDataset::CopyRange(const CBriodashDataset& o) {
    m_markers.CopyRangeFrom(o.m_markers);
    for (int i = 0; i < kRpmChannels; ++i) m_rpm[i].CopyRangeFrom(o.m_rpm[i]);
    for (int i = 0; i < kAnalogChannels; ++i) m_analog[i].CopyRangeFrom(o.m_analog[i]);
    for (int i = 0; i < kDigitalChannels; ++i) m_digital[i].CopyRangeFrom(o.m_digital[i]);
}

void CBriodashDataset::SetRangeMode(bool on) {
    m_markers.SetRangeMode(on);
    ForEachChannel([on](CSeriesBase& s) { s.SetRangeMode(on); });
    m_nTimeRef = on ? 7 : 0;
}

void CBriodashDataset::AllChannelsOff() {
    m_markers.m_nOn = 0;
    for (auto& s : m_rpm) s.m_nOn = s.m_nSlipOn = 0;
    for (auto& s : m_analog) s.m_nOn = 0;
    for (auto& s : m_digital) s.m_nOn = 0;
}

void CBriodashDataset::MarkersFromDigital(int channel) {
    m_markers.RemoveAll();
    if (channel < 1 || channel > kDigitalChannels) return;
    const CSampleList& src = m_digital[static_cast<std::size_t>(channel - 1)];
    const int32_t perLap = std::max(m_nBeaconsPerLap, 1);
    int32_t i = 0;
    for (Pos p = src.First(); p != kNoPos; p = src.Next(p), ++i) {
        CSample m;
        m.m_lTime = src[p].m_lTime;
        m.m_lRaw = m.m_lFiltered = 100 * (i / perLap) + i % perLap;
        m_markers.AddTail(m);
    }
}

void CBriodashDataset::SetZero(int32_t time, int32_t mode, const CBriodashDataset* other) {
    if (time == kMinInt32)
        time = GetStartTime(true);
    else if (time == kNotSet)
        time = GetEndTime(true);
    m_lZeroTime = time;
    m_nTimeRef = mode;
    if (m_nDistanceSource != 0) {
        const CBriodashDataset& src = other ? *other : *this;
        m_lZeroDistance = 0;
        for (const CShaftList& s : src.m_rpm) {
            if (s.IsEmpty()) continue;
            Pos p = s.First();
            while (s.Next(p) != kNoPos && s.TimeAt(s.Next(p)) <= time) p = s.Next(p);
            m_lZeroDistance = s.DistanceAt(p);
            break;
        }
    }
}

namespace {

template <class List>
bool SplitSeries(List& from, List& to, int32_t a, bool step) {
    const Pos n = static_cast<Pos>(from.Size());
    Pos later = kNoPos;
    for (Pos p = 0; p < n; ++p) {
        if (from.TimeAt(p) > a) {
            later = p;
            break;
        }
    }
    if (later == kNoPos) return false;
    int32_t distanceAtA;
    Pos moveFrom = later;
    if (later > 0 && from.TimeAt(later - 1) == a) {
        distanceAtA = from.DistanceAt(later - 1);
    } else {
        // No sample lies at the cut: one interpolated at it ends this part, and a copy of it
        // starts the other part.
        auto s = from.Interpolate(a, later > 0 ? later - 1 : kNoPos, later, step);
        from.InsertBefore(later, s);
        distanceAtA = s.m_lDistance;
        s.m_lTime = 0;
        s.m_lDistance = 0;
        to.AddTail(s);
        moveFrom = later + 1;
    }
    for (Pos p = moveFrom; p < static_cast<Pos>(from.Size()); ++p) {
        auto s = from[p];
        s.m_lTime -= a;
        s.m_lDistance -= distanceAtA;
        to.AddTail(s);
    }
    from.m_samples.resize(static_cast<std::size_t>(moveFrom));
    from.ClearMinMax();
    to.ClearMinMax();
    return true;
}

}  // namespace

bool CBriodashDataset::SplitAt(int32_t a, CBriodashDataset& other) {
    bool split = false;
    {
        Pos n = static_cast<Pos>(m_markers.Size());
        Pos first = n;
        for (Pos p = 0; p < n; ++p) {
            if (m_markers.TimeAt(p) > a) {
                first = p;
                break;
            }
        }
        for (Pos p = first; p < n; ++p) {
            CSample s = m_markers[p];
            s.m_lTime -= a;
            other.m_markers.AddTail(s);
        }
        if (first < n) {
            m_markers.m_samples.resize(static_cast<std::size_t>(first));
            m_markers.ClearMinMax();
            split = true;
        }
    }
    for (int i = 0; i < kRpmChannels; ++i) split |= SplitSeries(m_rpm[i], other.m_rpm[i], a, false);
    for (int i = 0; i < kAnalogChannels; ++i)
        split |= SplitSeries(m_analog[i], other.m_analog[i], a, false);
    for (int i = 0; i < kDigitalChannels; ++i)
        split |= SplitSeries(m_digital[i], other.m_digital[i], a, true);
    if (m_lZeroTime >= a) {
        m_lZeroTime -= a;
        other.m_lZeroTime = m_lZeroTime;
    }
    return split;
}

bool CBriodashDataset::IsShown(bool flag) const {
    if (m_bDeleted) return false;
    if (flag || m_nTimeRef != 7) return m_nLap == 0;
    if (m_nLap != 0) return true;
    if (m_markers.Size() == 0) return false;
    return m_markers[0].m_lRaw / 100 == 0;
}

int32_t CBriodashDataset::GetStartTime(bool all, bool relative) const {
    int32_t start = kNotSet;
    ForEachChannel([&](const CSeriesBase& s) {
        if ((all || s.m_nOn) && !s.IsEmpty()) start = std::min(start, s.TimeAt(s.First()));
    });
    if (relative && start != kNotSet && m_nTimeRef != 0) start -= m_lZeroTime;
    return start;
}

int32_t CBriodashDataset::GetEndTime(bool all, bool relative) {
    const bool switchRange = all && m_nLap != 0 && m_nTimeRef == 7;
    if (switchRange) SetRangeMode(false);
    int32_t end = kMinInt32;
    ForEachChannel([&](const CSeriesBase& s) {
        if ((all || s.m_nOn) && !s.IsEmpty()) end = std::max(end, s.TimeAt(s.Last()));
    });
    if (switchRange) SetRangeMode(true);
    if (relative && end != kMinInt32 && m_nTimeRef != 0) end -= m_lZeroTime;
    return end;
}

std::string CBriodashDataset::GetFirstComment() const {
    return m_lstComments.empty() ? std::string() : m_lstComments.front();
}

int32_t CBriodashDataset::GetLapTime(int lap) const {
    int32_t from = kNotSet, to = kNotSet;
    for (const CSample& m : m_markers.m_samples) {
        if (m.m_lRaw == 100 * (lap - 1)) from = m.m_lTime;
        if (m.m_lRaw == 100 * lap) to = m.m_lTime;
    }
    if (from == kNotSet || to == kNotSet) return kNotSet;
    return to - from;
}

std::string CBriodashDataset::GetDisplayName(int flags, int lap) const {
    if (lap == 0 && m_markers.Size() > 0) lap = m_markers[m_markers.Tail()].m_lRaw / 100;
    std::string label;
    char buf[128];
    auto lapTime = [&]() {
        int32_t t = GetLapTime(lap);
        if (t == kNotSet) return std::string();
        std::string s = FormatTime(t, 3);
        if (t < 600000 && s.rfind("0:", 0) == 0) s.erase(0, 2);
        return s;
    };
    if (flags & 2) {
        const int lastMarkLap = m_markers.Size() ? m_markers[m_markers.Tail()].m_lRaw / 100 : 0;
        if (lap == 0 && m_markers.Size() == 0)
            label.clear();  // a session without laps: the name alone
        else if (lap == 0)
            label = "Start";
        else if (m_nLap != 0 && lastMarkLap < m_nLap)
            label = "End";
        else if (flags & 4) {
            std::snprintf(buf, sizeof buf, "Lap #%1d @ %s", lap, lapTime().c_str());
            label = buf;
        } else {
            std::snprintf(buf, sizeof buf, "Lap #%1d", lap);
            label = buf;
        }
    } else if (flags & 4) {
        label = lapTime();
    }
    if (flags & 1) {
        if (label.empty()) return m_strName;
        return m_strName + ":" + label;
    }
    return label;
}

void CBriodashDataset::ApplySettingsToSeries() {
    auto apply = [this](CSeriesBase& s) {
        s.m_bFramed = m_nFramed;
        s.m_fClock = m_fClock;
    };
    apply(m_markers);
    m_markers.m_nPerLap = m_nBeaconsPerLap;
    ForEachChannel(apply);
    for (int i = 0; i < kRpmChannels; ++i) {
        if (const CFreqSetup* f = m_carSetup.FindRpmSetup(i + 1)) {
            m_rpm[i].m_nPerLap = f->m_nPPR;
            m_rpm[i].m_nRpmType = f->m_nRpmType;
        }
    }
}

bool CBriodashDataset::TrimMarkersPastEnd() {
    const int32_t end = GetEndTime(true);
    bool removed = false;
    while (m_markers.Size() > 0 && m_markers[m_markers.Tail()].m_lTime > end) {
        m_markers.RemoveAt(m_markers.Tail());
        removed = true;
    }
    if (removed) m_markers.ClearMinMax();
    return removed;
}

void CBriodashDataset::PrepareAfterRead(IHostServices& host) {
    ApplySettingsToSeries();
    if (m_markers.Size() > 0 && TrimMarkersPastEnd()) {
        host.Message("Lap Times extends past End of Data.\nExtra Lap Times will be removed!",
                     Icon::Warning);
    }
}

CDatasetList::CDatasetList(CBriodashDataset* ds, std::string name, int32_t lap)
    : m_pDataset(ds), m_strName(std::move(name)), m_nLap(lap) {
    if (ds) {
        m_lStart = m_lStart2 = ds->GetStartTime();
        m_lEnd = m_lEnd2 = ds->GetEndTime();
    }
}

}  // namespace orvex
