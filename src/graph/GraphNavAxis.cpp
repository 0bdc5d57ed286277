// Switching the strip chart between a time and a distance axis, and the distance source.
#include <algorithm>
#include <cstdlib>

#include "graph/GraphNav.h"
#include "host/HostServices.h"
#include "processing/SpeedDistance.h"

namespace orvex {

namespace {

bool HasData(const CSeriesBase* s) {
    return s && !s->IsEmpty();
}

const CSeriesBase* RpmChannelOfType(const CBriodashDataset& ds, int32_t type) {
    for (const CFreqSetup& s : ds.m_carSetup.m_rpm) {
        const bool match =
            type == kRpmLastEngine ? s.m_nRpmType <= kRpmLastEngine : s.m_nRpmType == type;
        if (match && s.m_nChannel >= 1 && s.m_nChannel <= kRpmChannels &&
            !ds.m_rpm[static_cast<std::size_t>(s.m_nChannel - 1)].IsEmpty())
            return &ds.m_rpm[static_cast<std::size_t>(s.m_nChannel - 1)];
    }
    return nullptr;
}

}  // namespace

bool CGraphNavigator::CheckSource(const CBriodashDataset& ds, int source) {
    const std::string tail = " for\nSession '" + ds.m_strName + "'";
    const CCarSetup& car = ds.m_carSetup;
    std::string failure;
    switch (source) {
        case 1: {
            const CFreqSetup* front = car.FindRpmSetupByType(kRpmFrontWheel);
            if (!RpmChannelOfType(ds, kRpmFrontWheel))
                failure = "Front Wheel does NOT exists" + tail;
            else if (!front || !front->HasTireSize())
                failure = "Missing appropriate information about the Front Wheel" + tail;
            break;
        }
        case 2: {
            const bool rearChannel = RpmChannelOfType(ds, kRpmRearWheel) != nullptr;
            const bool shaft = RpmChannelOfType(ds, kRpmDriveShaft) != nullptr;
            const CFreqSetup* rear = car.FindRpmSetupByType(kRpmRearWheel);
            if (!rearChannel && !shaft)
                failure = "Drive Shaft and/or Rear Wheel does NOT exists" + tail;
            else if (!rear || !rear->HasTireSize() || (!rearChannel && !car.HasRearEnd()))
                failure =
                    "Missing appropriate information about the Gears and/or Rear Wheel" + tail;
            break;
        }
        case 3:
            if (!HasData(DistanceSourceSeries(ds, 3)))
                failure = "Front Wheel does NOT exists" + tail;
            break;
        case 4:
            if (!RpmChannelOfType(ds, kRpmLastEngine))
                failure = "Engine Data does NOT exists" + tail;
            else if (!car.HasGears())
                failure = "Missing appropriate information about the Gear Ratios" + tail;
            break;
        default:
            return false;
    }
    if (failure.empty()) return true;
    m_host.Message(failure, Icon::Warning);
    return false;
}

bool CGraphNavigator::OffersSource(int source) const {
    for (const CBriodashDataset* ds : m_doc.ShownDatasets()) {
        switch (source) {
            case 1:
                if (RpmChannelOfType(*ds, kRpmFrontWheel)) return true;
                break;
            case 2:
                if (RpmChannelOfType(*ds, kRpmRearWheel) || RpmChannelOfType(*ds, kRpmDriveShaft))
                    return true;
                break;
            case 3:
                if (HasData(DistanceSourceSeries(*ds, 3))) return true;
                break;
            case 4:
                if (RpmChannelOfType(*ds, kRpmLastEngine)) return true;
                break;
            default:
                break;
        }
    }
    return false;
}

bool CGraphNavigator::SourceWindow(bool toDistance, int32_t& start, int32_t& span) const {
    const CBriodashDataset* ds = nullptr;
    for (const CBriodashDataset* d : m_doc.ShownDatasets())
        if (d->m_nDistanceSource != 0) {
            ds = d;
            break;
        }
    if (!ds) return false;
    const CSeriesBase* s = DistanceSourceSeries(*ds, DistanceSource());
    if (!HasData(s)) return false;
    // The first and last samples inside the window, found on the axis being left.
    const bool byDistance = !toDistance;
    const int32_t zero = ds->m_nTimeRef != 0 ? ds->m_lZeroTime : 0;
    auto key = [&](Pos p) {
        return byDistance ? int64_t{s->DistanceAt(p)} : int64_t{s->TimeAt(p)} - zero;
    };
    const int64_t from = m_state.m_lXStart, to = from + m_state.m_lXSpan;
    Pos lo = s->First(), hi = s->Last();
    Pos a = lo, b = hi + 1;  // first sample with key >= from
    while (a < b) {
        const Pos mid = a + (b - a) / 2;
        if (key(mid) < from)
            a = mid + 1;
        else
            b = mid;
    }
    Pos first = std::min(a, hi);
    a = lo, b = hi + 1;  // first sample with key > to
    while (a < b) {
        const Pos mid = a + (b - a) / 2;
        if (key(mid) <= to)
            a = mid + 1;
        else
            b = mid;
    }
    Pos last = std::max(a - 1, first);
    if (toDistance) {
        start = s->DistanceAt(first);
        span = s->DistanceAt(last) - start;
    } else {
        start = s->TimeAt(first) - zero;
        span = s->TimeAt(last) - s->TimeAt(first);
    }
    return true;
}

bool CGraphNavigator::DisplayAsTime() {
    CGraphViewState& s = m_state;
    if (s.m_nAxisMode == kAxisTime) return false;
    const int32_t distanceSpan = s.m_lXSpan;
    int32_t start = s.m_lXStart, span = s.m_lXSpan;
    if (SourceWindow(false, start, span)) {
        if (std::abs(int64_t{s.m_lOtherSpan} - span) <= span / 100) span = s.m_lOtherSpan;
        s.m_lXStart = start;
        s.m_lXSpan = std::max(span, kMinTimeSpan);
    }
    s.m_lOtherSpan = distanceSpan;
    s.m_nTimeAxis = 1;
    s.m_nAxisMode = kAxisTime;
    m_doc.UpdateAllViews(kHintRepaint);
    RefreshRanges(false);
    return true;
}

bool CGraphNavigator::DisplayAsDistance() {
    CGraphViewState& s = m_state;
    if (s.m_nAxisMode == kAxisDistance) return false;
    s.m_nAxisMode = kAxisDistance;
    m_doc.SetLapView(false);
    int source = DistanceSource();
    bool recomputed = false;
    for (CBriodashDataset* ds : m_doc.ShownDatasets()) {
        if (source == 0) break;
        if (ds->m_nDistanceSource == 0) {
            if (!CheckSource(*ds, source) || !ComputeDistanceOf(*ds, source)) source = 0;
        } else if (ds->m_nDistanceSource != source) {
            if (CheckSource(*ds, source) && ComputeDistanceOf(*ds, source))
                recomputed = true;
            else
                source = 0;
        }
    }
    if (source == 0) {
        SetDistanceSourceValue(0);
        s.m_nAxisMode = kAxisTime;
        m_host.Message(
            "One or more Sessions missing information. Plotting versus distance NOT allowed.",
            Icon::Warning);
        return false;
    }
    if (recomputed) {
        ResetDisplay();
        return true;
    }
    const int32_t timeSpan = s.m_lXSpan;
    int32_t start = 0, span = 0;
    if (SourceWindow(true, start, span)) {
        span = std::max(span, kMinDistanceSpan);
        if (std::abs(int64_t{s.m_lOtherSpan} - span) <= span / 100) span = s.m_lOtherSpan;
        s.m_lXStart = start;
        s.m_lXSpan = span;
    }
    s.m_lOtherSpan = timeSpan;
    m_doc.SyncMarkerPositions();
    s.m_nTimeAxis = 0;
    m_doc.UpdateAllViews(kHintRepaint);
    RefreshRanges(false);
    return true;
}

bool CGraphNavigator::SetDistanceSource(int source) {
    if (source < 1 || source > 4) return false;
    SetDistanceSourceValue(source);
    const auto shown = m_doc.ShownDatasets();
    for (CBriodashDataset* ds : shown)
        if (!CheckSource(*ds, source)) {
            SetDistanceSourceValue(0);
            return false;
        }
    bool recomputed = false;
    for (CBriodashDataset* ds : shown)
        if (ds->m_nDistanceSource != source && ComputeDistanceOf(*ds, source)) recomputed = true;
    if (recomputed && DistanceSource() != 0) {
        m_doc.SetLapView(false);
        ResetDisplay();
    }
    return true;
}

}  // namespace orvex
