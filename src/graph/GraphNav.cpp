// Zoom, scroll, rubber band, history, Reset Display and axis switching of the strip chart.
#include "graph/GraphNav.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graph/GraphDerived.h"
#include "graph/Markers.h"
#include "host/HostServices.h"

namespace orvex {

namespace {

int32_t Clamp32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, kMinInt32, kNotSet - 1));
}

}  // namespace

CGraphNavigator::CGraphNavigator(CBriodashDoc& doc, CGraphViewState& state, IHostServices& host)
    : m_doc(doc), m_state(state), m_host(host) {}

bool CGraphNavigator::ComputeDistanceOf(CBriodashDataset& ds, int source) {
    if (!m_doc.Services().ComputeDistance(m_doc, ds, source)) return false;
    RefreshMarkerDistances(m_doc);
    return true;
}

int32_t CGraphNavigator::DistanceSource() const {
    return m_doc.m_options.distanceMode;
}

void CGraphNavigator::SetDistanceSourceValue(int source) {
    m_doc.m_options.distanceMode = source;
    m_state.m_nDistanceSource = source;
}

void CGraphNavigator::Repaint() {
    if (m_repaint) m_repaint();
}

void CGraphNavigator::TimeExtent(int32_t& lo, int32_t& hi) const {
    lo = m_doc.EarliestStart();
    hi = m_doc.LatestEnd();
    if (lo == kNotSet || hi == kMinInt32 || hi < lo) lo = hi = 0;
}

void CGraphNavigator::DistanceExtent(int32_t& lo, int32_t& hi) const {
    int64_t mn = kNotSet, mx = kMinInt32;
    for (const CBriodashDataset* ds : m_doc.ShownDatasets()) {
        if (ds->m_nDistanceSource == 0) continue;
        ds->ForEachChannel([&](const CSeriesBase& s) {
            if (s.IsEmpty()) return;
            mn = std::min<int64_t>(mn, s.DistanceAt(s.First()));
            mx = std::max<int64_t>(mx, s.DistanceAt(s.Last()));
        });
    }
    if (mn > mx) mn = mx = 0;
    lo = static_cast<int32_t>(mn);
    hi = static_cast<int32_t>(mx);
}

// --- Finishing a move -----------------------------------------------------------------------

void CGraphNavigator::Recompute() {
    // Slip traces are computed before they are first drawn.
    for (CBriodashDataset* ds : m_doc.ShownDatasets())
        for (int ch = 1; ch <= kRpmChannels; ++ch) {
            const CShaftList& s = ds->m_rpm[static_cast<std::size_t>(ch - 1)];
            if (s.m_nSlipOn && s.m_bSlipDirty && !s.IsEmpty())
                m_doc.Services().ComputeSlip(m_doc, *ds, ch);
        }
    m_state.RecomputeScaleFactors(m_doc, m_state.m_nClientWidth, m_state.m_nClientHeight);
}

void CGraphNavigator::AppendHistory() {
    m_state.m_nDistanceSource = DistanceSource();
    auto& h = m_state.m_history;
    if (m_state.m_nHistoryPos + 1 < static_cast<int>(h.size()))
        h.erase(h.begin() + (m_state.m_nHistoryPos + 1), h.end());
    h.push_back(m_state.Saved());
    m_state.m_nHistoryPos = static_cast<int>(h.size()) - 1;
}

void CGraphNavigator::FinishMove() {
    Recompute();
    Repaint();
    AppendHistory();
}

ScrollBarState CGraphNavigator::HorzScroll() const {
    const int32_t d = std::max(m_state.m_lScrollDivisor, 1);
    ScrollBarState s;
    s.min = m_state.m_lXMin / d;
    s.max = Clamp32((int64_t{m_state.m_lXMax} - m_state.m_lXSpan) / d);
    s.pos = m_state.m_lXStart / d;
    return s;
}

ScrollBarState CGraphNavigator::VertScroll() const {
    ScrollBarState s;
    s.min = Clamp32(-(int64_t{m_state.m_lRpmMax} - m_state.m_lRpmSpan) / 1000);
    s.max = 0;
    s.pos = -m_state.m_lRpmBottom / 1000;
    return s;
}

void CGraphNavigator::InitialUpdate(int width, int height) {
    m_state.m_nClientWidth = width;
    m_state.m_nClientHeight = height;
    const auto shown = m_doc.ShownDatasets();
    m_state.m_pCurrent = shown.empty() ? nullptr : shown.front();
    if (m_state.m_nAxisMode == kAxisDistance) {
        const int source = DistanceSource();
        bool ok = source != 0;
        for (CBriodashDataset* ds : shown)
            if (ok && ds->m_nDistanceSource != source) ok = ComputeDistanceOf(*ds, source);
        if (!ok) {
            m_state.m_nAxisMode = kAxisTime;
            m_state.m_nTimeAxis = 1;
        }
    }
    ResetDisplay();
}

void CGraphNavigator::OnSize(int width, int height) {
    m_state.RecomputeScaleFactors(m_doc, width, height);
}

// --- Zoom -----------------------------------------------------------------------------------

bool CGraphNavigator::ZoomInX() {
    CGraphViewState& s = m_state;
    const int32_t minSpan = s.MinXSpan();
    if (s.m_lXSpan <= minSpan) return false;
    s.m_lXSpan = std::max(s.m_lXSpan / 2, minSpan);
    if (!s.m_scale.atStart) s.m_lXStart += s.m_lXSpan / 2;
    if (s.m_scale.atEnd) s.m_lXStart = s.m_lXMax - s.m_lXSpan;
    FinishMove();
    return true;
}

bool CGraphNavigator::ZoomOutX() {
    CGraphViewState& s = m_state;
    const int64_t full = int64_t{s.m_lXMax} - s.m_lXMin;
    if (s.m_lXSpan >= full) return false;
    const auto span = static_cast<int32_t>(std::min<int64_t>(2 * int64_t{s.m_lXSpan}, full));
    int64_t rightEnd;
    if (s.m_scale.atEnd)
        rightEnd = s.m_lXMax;
    else if (s.m_scale.atStart)
        rightEnd = int64_t{s.m_lXStart} + span;
    else
        rightEnd = int64_t{s.m_lXStart} + int64_t{span} * 3 / 4;
    s.m_lXSpan = span;
    if (rightEnd > s.m_lXMax)
        s.m_lXStart = static_cast<int32_t>(std::max<int64_t>(int64_t{s.m_lXMax} - span, s.m_lXMin));
    else
        s.m_lXStart = static_cast<int32_t>(std::max<int64_t>(rightEnd - span, s.m_lXMin));
    FinishMove();
    return true;
}

bool CGraphNavigator::ZoomInRpm() {
    CGraphViewState& s = m_state;
    if (!s.m_scale.rpmScale || s.m_lRpmSpan < kMinRpmSpan + 1) return false;
    s.m_lRpmSpan = std::max(s.m_lRpmSpan / 2, kMinRpmSpan);
    // Centre on the mean of the datasets' average RPM inside the window.
    double sumOfAverages = 0;
    int datasets = 0;
    const bool byDistance = !s.IsTimeAxis();
    const int64_t from = s.m_lXStart, to = from + s.m_lXSpan;
    for (CBriodashDataset* ds : m_doc.ShownDatasets()) {
        int64_t sum = 0, count = 0;
        const int32_t zero = ds->m_nTimeRef != 0 ? ds->m_lZeroTime : 0;
        for (int ch = 1; ch <= kRpmChannels; ++ch) {
            const CShaftList& sl = ds->m_rpm[static_cast<std::size_t>(ch - 1)];
            const CFreqSetup* setup = ds->m_carSetup.FindRpmSetup(ch);
            if (!sl.m_nOn || sl.IsEmpty() || (setup && setup->m_nDisplayMode == kDisplaySpeed))
                continue;
            const auto key = [&](const CShaft& x) {
                return byDistance ? int64_t{x.m_lDistance} : int64_t{x.m_lTime} - zero;
            };
            const auto lo = sl.m_samples.begin() + sl.First(),
                       hi = sl.m_samples.begin() + sl.Last() + 1;
            auto it = std::lower_bound(lo, hi, from,
                                       [&](const CShaft& x, int64_t v) { return key(x) < v; });
            const std::vector<int32_t> values =
                graph::RpmPlotValues(*ds, ch, m_doc.m_options.units);
            for (; it != hi && key(*it) <= to; ++it) {
                const Pos p = it - sl.m_samples.begin();
                const int32_t v = setup
                                      ? values[static_cast<std::size_t>(p)]
                                      : sl.GetRPMMilli(static_cast<uint32_t>(sl.GetSampleValue(p)));
                sum += v / 1000;
                ++count;
            }
        }
        if (count > 0) {
            sumOfAverages += static_cast<double>(sum / count);
            ++datasets;
        }
    }
    if (datasets > 0)
        s.m_lRpmBottom = std::max<int32_t>(
            static_cast<int32_t>(sumOfAverages / datasets * 1000) - s.m_lRpmSpan / 2, 0);
    else
        s.m_lRpmBottom = s.m_lRpmSpan / 2;
    Recompute();
    Repaint();
    AppendHistory();
    return true;
}

bool CGraphNavigator::ZoomOutRpm() {
    CGraphViewState& s = m_state;
    if (!s.m_scale.rpmScale || s.m_lRpmSpan >= s.m_lRpmMax) return false;
    s.m_lRpmSpan = static_cast<int32_t>(std::min<int64_t>(2 * int64_t{s.m_lRpmSpan}, s.m_lRpmMax));
    s.m_lRpmBottom = std::max(s.m_lRpmBottom - s.m_lRpmSpan / 4, 0);
    Recompute();
    Repaint();
    AppendHistory();
    return true;
}

// --- Scrolling ------------------------------------------------------------------------------

bool CGraphNavigator::HScroll(ScrollAction action, int32_t thumb) {
    CGraphViewState& s = m_state;
    const bool atStart = s.m_lXStart <= s.m_lXMin;
    const bool atEnd = int64_t{s.m_lXStart} + s.m_lXSpan >= s.m_lXMax;
    const int64_t line = s.m_lXSpan / 10;
    int64_t x = s.m_lXStart;
    switch (action) {
        case ScrollAction::LineBack:
            if (atStart) return false;
            x = std::max<int64_t>(x - line, s.m_lXMin);
            break;
        case ScrollAction::LineForward:
            if (atEnd) return false;
            if (x + s.m_lXSpan + line > s.m_lXMax)
                x = int64_t{s.m_lXMax} - s.m_lXSpan;
            else
                x += line;
            break;
        case ScrollAction::PageBack:
            if (atStart) return false;
            x = std::max<int64_t>(x - s.m_lXSpan, s.m_lXMin);
            break;
        case ScrollAction::PageForward:
            if (atEnd) return false;
            if (x + 2 * int64_t{s.m_lXSpan} > s.m_lXMax)
                x = int64_t{s.m_lXMax} - s.m_lXSpan;
            else
                x += s.m_lXSpan;
            break;
        case ScrollAction::Thumb:
            x = int64_t{thumb} * std::max(s.m_lScrollDivisor, 1);
            break;
    }
    s.m_lXStart = Clamp32(x);
    FinishMove();
    return true;
}

bool CGraphNavigator::VScroll(ScrollAction action, int32_t thumb) {
    CGraphViewState& s = m_state;
    if (!s.m_scale.rpmScale) return false;
    const int32_t top = std::max(s.m_lRpmMax - s.m_lRpmSpan, 0);
    int32_t b = s.m_lRpmBottom;
    switch (action) {
        case ScrollAction::LineBack:  // up
            if (b >= top) return false;
            b = std::min(b + s.m_lRpmSpan / 10, top);
            break;
        case ScrollAction::LineForward:  // down
            if (b <= 0) return false;
            b = std::max(b - s.m_lRpmSpan / 10, 0);
            break;
        case ScrollAction::PageBack:
            b = std::min(b + s.m_lRpmSpan, top);
            break;
        case ScrollAction::PageForward:
            b = std::max(b - s.m_lRpmSpan, 0);
            break;
        case ScrollAction::Thumb: {
            const int32_t p = thumb & 0xFFFF;
            b = (p < 0x8000 ? p : 0x10000 - p) * 1000;
            break;
        }
    }
    s.m_lRpmBottom = b;
    Recompute();
    Repaint();
    AppendHistory();
    return true;
}

// --- History --------------------------------------------------------------------------------

bool CGraphNavigator::CanGoBack() const {
    return !m_state.m_history.empty() && m_state.m_nHistoryPos > 0;
}

bool CGraphNavigator::CanGoForward() const {
    return m_state.m_nHistoryPos >= 0 &&
           m_state.m_nHistoryPos + 1 < static_cast<int>(m_state.m_history.size());
}

void CGraphNavigator::RestoreFromHistory() {
    const CSavedViewState& e = m_state.m_history[static_cast<std::size_t>(m_state.m_nHistoryPos)];
    m_state.Restore(e);
    m_doc.m_options.distanceMode = e.m_nDistanceSource;
    Recompute();
    Repaint();
}

bool CGraphNavigator::Backward() {
    if (!CanGoBack()) return false;
    --m_state.m_nHistoryPos;
    RestoreFromHistory();
    return true;
}

bool CGraphNavigator::Forward() {
    if (!CanGoForward()) return false;
    ++m_state.m_nHistoryPos;
    RestoreFromHistory();
    return true;
}

void CGraphNavigator::RefreshHistoryMaxima(int32_t oldRpmMax, int32_t oldMphMax) {
    auto& h = m_state.m_history;
    const int cur = m_state.m_nHistoryPos;
    if (cur < 0 || cur >= static_cast<int>(h.size())) return;
    h[static_cast<std::size_t>(cur)] = m_state.Saved();
    auto update = [&](CSavedViewState& e) {
        if (e.m_lRpmMax != oldRpmMax && e.m_lMphMax != oldMphMax) return false;
        if (e.m_lRpmSpan == e.m_lRpmMax) e.m_lRpmSpan = m_state.m_lRpmMax;
        e.m_lRpmMax = m_state.m_lRpmMax;
        e.m_lMphMax = m_state.m_lMphMax;
        return true;
    };
    for (int i = cur - 1; i >= 0 && update(h[static_cast<std::size_t>(i)]); --i) {
    }
    for (int i = cur + 1; i < static_cast<int>(h.size()) && update(h[static_cast<std::size_t>(i)]);
         ++i) {
    }
}

// --- Reset and refresh ----------------------------------------------------------------------

void CGraphNavigator::ResetDisplay() {
    CGraphViewState& s = m_state;
    s.m_history.clear();
    s.m_nHistoryPos = -1;
    if (s.m_nAxisMode == kAxisTime || DistanceSource() == 0) {
        s.m_nTimeAxis = 1;
        TimeExtent(s.m_lXMin, s.m_lXMax);
        s.m_lXSpan =
            static_cast<int32_t>(std::min<int64_t>(int64_t{s.m_lXMax} - s.m_lXMin, kFirstMinute));
    } else {
        s.m_nTimeAxis = 0;
        DistanceExtent(s.m_lXMin, s.m_lXMax);
        s.m_lXSpan = std::min(s.m_lXMax, kFirstDistance);
    }
    if (s.m_lXSpan <= 0) s.m_lXSpan = s.MinXSpan();
    s.m_lScrollDivisor =
        static_cast<int32_t>(std::max<int64_t>((int64_t{s.m_lXMax} - s.m_lXMin) / 32000, 1));
    m_doc.SyncMarkerPositions();
    s.m_lXStart = s.m_lXMin;
    s.m_lRpmBottom = 0;
    s.m_lSlipBottom = 0;
    AppendHistory();
    m_doc.UpdateAllViews(kHintDisplayReset);
    RefreshRanges(true);
}

void CGraphNavigator::RefreshRanges(bool resetRpm) {
    CGraphViewState& s = m_state;
    const int32_t oldRpmMax = s.m_lRpmMax, oldMphMax = s.m_lMphMax;
    graph::RpmAndSpeedMaxima(m_doc, m_doc.m_options.units, s.m_lRpmMax, s.m_lMphMax);
    s.m_lRpmBottom = 0;
    if (resetRpm || s.m_lRpmSpan <= 0 || s.m_lRpmSpan > s.m_lRpmMax) s.m_lRpmSpan = s.m_lRpmMax;
    if (s.IsTimeAxis()) {
        TimeExtent(s.m_lXMin, s.m_lXMax);
    } else {
        int32_t lo = 0;
        DistanceExtent(lo, s.m_lXMax);
        s.m_lXMin = 0;
    }
    const int64_t full = int64_t{s.m_lXMax} - s.m_lXMin;
    if (full < s.m_lXSpan) {
        s.m_lXStart = s.m_lXMin;
        s.m_lXSpan = static_cast<int32_t>(full);
    } else if (int64_t{s.m_lXStart} + s.m_lXSpan > s.m_lXMax) {
        s.m_lXStart = s.m_lXMax - s.m_lXSpan;
    } else if (s.m_lXStart < s.m_lXMin) {
        s.m_lXStart = s.m_lXMin;
    }
    if (s.m_lXSpan <= 0) s.m_lXSpan = s.MinXSpan();
    Recompute();
    RefreshHistoryMaxima(oldRpmMax, oldMphMax);
    Repaint();
}

void CGraphNavigator::ToggleMphLowerHalf() {
    m_state.m_bMphLowerHalf = !m_state.m_bMphLowerHalf;
    RefreshRanges(true);
}

void CGraphNavigator::ToggleCombineAnalogs() {
    m_state.m_bCombineAnalogs = !m_state.m_bCombineAnalogs;
    RefreshRanges(true);
}

void CGraphNavigator::ToggleAnalogScales() {
    if (m_pOptions) m_pOptions->analogScales = !m_pOptions->analogScales;
    RefreshRanges(false);
}

// --- Rubber band ----------------------------------------------------------------------------

void CGraphNavigator::MouseDown(int x, int y) {
    const int h = m_state.m_nClientHeight;
    if (x < kLeftMargin || x > m_state.m_nClientWidth || y < 0 || y > h - kBottomMargin) return;
    m_bBand = true;
    m_anchorX = x;
    m_anchorY = y;
    m_band = {x, y, x, y};
}

void CGraphNavigator::MouseMove(int x, int y) {
    if (!m_bBand) return;
    m_band = {std::min(x, m_anchorX), std::min(y, m_anchorY), std::max(x, m_anchorX),
              std::max(y, m_anchorY)};
}

bool CGraphNavigator::MouseUp(int x, int y) {
    if (!m_bBand) return false;
    m_bBand = false;
    CGraphViewState& s = m_state;
    const int w = s.m_nClientWidth, h = s.m_nClientHeight;
    const bool inside = x >= kLeftMargin && x <= w && y >= 0 && y <= h - kBottomMargin;
    if (!inside || std::abs(m_anchorY - y) <= 5) return false;
    const double upp = s.m_scale.xUnitsPerPixel;
    const double rpp = s.m_scale.rpmPerPixel;
    const bool rpm = s.m_scale.rpmScale;
    const int left = std::min(m_anchorX, x);
    const int low = std::max(m_anchorY, y);  // the box's bottom edge
    const int dx = std::abs(m_anchorX - x), dy = std::abs(m_anchorY - y);
    if (y < m_anchorY) {
        // Dragged upwards: zoom into the box.
        int64_t start = s.m_lXStart + static_cast<int64_t>((left - kLeftMargin) * upp);
        int64_t span = static_cast<int64_t>(dx * upp);
        if (span < s.MinXSpan()) {
            start -= (s.MinXSpan() - span) / 2;
            span = s.MinXSpan();
        }
        s.m_lXStart = Clamp32(start);
        s.m_lXSpan = Clamp32(span);
        if (rpm) {
            s.m_lRpmBottom =
                Clamp32(s.m_lRpmBottom + static_cast<int64_t>((h - kBottomMargin - low) * rpp));
            s.m_lRpmSpan = Clamp32(std::max<int64_t>(static_cast<int64_t>(dy * rpp), kMinRpmSpan));
        }
    } else {
        // Dragged downwards: the current view shrinks into the box.
        const int64_t full = int64_t{s.m_lXMax} - s.m_lXMin;
        const double span = static_cast<double>(w) / std::max(dx, 1) * w * upp;
        s.m_lXSpan = Clamp32(
            std::max<int64_t>(std::min<int64_t>(static_cast<int64_t>(span), full), s.MinXSpan()));
        const double rspan = static_cast<double>(h) / dy * h * rpp;
        s.m_lRpmSpan = Clamp32(std::clamp<int64_t>(static_cast<int64_t>(rspan), 0, s.m_lRpmMax));
        Recompute();
        const int64_t shift = static_cast<int64_t>((left - kLeftMargin) * s.m_scale.xUnitsPerPixel);
        int64_t start = s.m_lXStart - shift;
        if (start < s.m_lXMin) start = s.m_lXMin;
        start = std::min<int64_t>(start, int64_t{s.m_lXMax} - s.m_lXSpan);
        s.m_lXStart = Clamp32(start);
        if (rpm) {
            int64_t b = s.m_lRpmBottom - static_cast<int64_t>((h - low - kBottomMargin) *
                                                              double(s.m_scale.rpmPerPixel));
            b = std::clamp<int64_t>(b, 0, std::max(s.m_lRpmMax - s.m_lRpmSpan, 0));
            s.m_lRpmBottom = Clamp32(b);
        }
    }
    FinishMove();
    return true;
}

}  // namespace orvex
