#include "views/TractionCircle.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "processing/SpeedDistance.h"
#include "processing/SpikeFilter.h"
#include "views/ViewData.h"

namespace orvex {

namespace {

constexpr double kMargin = 10.0;
constexpr std::size_t kColourItems = 9;

// First sample at or after t1 and last not after t2 (chart times) of a series.
void Bounds(const CSeriesBase& s, int32_t t1, int32_t t2, Pos& first, Pos& last) {
    first = last = kNoPos;
    for (Pos p = s.First(); p != kNoPos; p = s.Next(p)) {
        const int32_t t = s.GetSampleTime(p, true);
        if (t > t2) break;
        if (t < t1) continue;
        if (first == kNoPos) first = p;
        last = p;
    }
}

// One side of an axis rounded up to whole G (at least one G).
double RoundedUp(double v, double u) {
    return std::max(1.0, std::ceil(v / u - 1e-9)) * u;
}

void AxisRange(int32_t lo, int32_t hi, double u, double& from, double& to) {
    if (lo > hi) {  // nothing plotted
        from = -u;
        to = u;
    } else if (lo >= 0) {
        from = 0;
        to = RoundedUp(hi, u);
    } else if (hi <= 0) {
        from = -RoundedUp(-static_cast<double>(lo), u);
        to = 0;
    } else {
        to = RoundedUp(std::max(-static_cast<double>(lo), static_cast<double>(hi)), u);
        from = -to;
    }
}

int Decimals(int32_t factor) {
    return factor > 0 ? static_cast<int>(std::log10(static_cast<double>(factor)) + 1e-9) : 0;
}

}  // namespace

CFrictionCircle::CFrictionCircle(FrictionSettings settings, Units units, float voltageCorrection)
    : m_settings(settings), m_units(units), m_fVoltage(voltageCorrection) {}

void CFrictionCircle::SetSelection(const std::vector<CDatasetList>& entries) {
    m_entries.clear();
    for (const CDatasetList& l : entries) {
        FrictionEntry e;
        e.list = l;
        if (l.m_pDataset)
            if (const CAnalogSetup* lr =
                    FindAccelerometer(l.m_pDataset->m_carSetup, kLeftRightName))
                e.colour = static_cast<ColorRef>(
                    l.m_pDataset->m_analog[static_cast<std::size_t>(lr->m_nChannel - 1)].m_crTrace);
        m_entries.push_back(std::move(e));
    }
    m_green = FrictionMarker{};
    m_red = FrictionMarker{};
    Recompute();
}

void CFrictionCircle::SetColour(int entry, ColorRef colour) {
    if (entry >= 0 && entry < static_cast<int>(m_entries.size()))
        m_entries[static_cast<std::size_t>(entry)].colour = colour;
}

std::vector<std::string> CFrictionCircle::ColourItems() const {
    std::vector<std::string> items;
    for (std::size_t i = 0; i < m_entries.size() && i < kColourItems; ++i)
        items.push_back(m_entries[i].list.m_strName);
    if (m_entries.size() > kColourItems) items.emplace_back(kMoreSessions);
    return items;
}

void CFrictionCircle::Walk(FrictionEntry& e) {
    e.times.clear();
    e.lrValues.clear();
    e.frValues.clear();
    CBriodashDataset* ds = e.list.m_pDataset;
    e.lr = ds ? FindAccelerometer(ds->m_carSetup, kLeftRightName) : nullptr;
    e.fr = ds ? FindAccelerometer(ds->m_carSetup, kFrontRearName) : nullptr;
    if (!e.lr || !e.fr) return;  // the session contributes nothing
    CSampleList& lr = ds->m_analog[static_cast<std::size_t>(e.lr->m_nChannel - 1)];
    CSampleList& fr = ds->m_analog[static_cast<std::size_t>(e.fr->m_nChannel - 1)];
    const int32_t start = EntryStart(e.list), end = EntryEnd(e.list);
    Bounds(lr, start, end, e.lrFirst, e.lrLast);
    Bounds(fr, start, end, e.frFirst, e.frLast);
    if (e.lrFirst == kNoPos || e.frFirst == kNoPos) return;
    const int nLr = std::max(m_settings.lrSmoothing, 1), nFr = std::max(m_settings.frSmoothing, 1);
    const CAnalogConversion convertLr(*e.lr, m_units, m_fVoltage);
    const CAnalogConversion convertFr(*e.fr, m_units, m_fVoltage);
    bool started = false;
    for (Pos a = e.lrFirst, b = e.frFirst; a != kNoPos && b != kNoPos;
         a = a == e.lrLast ? kNoPos : lr.Next(a), b = b == e.frLast ? kNoPos : fr.Next(b)) {
        const auto rawLr = static_cast<int32_t>(SmoothedSum(lr, a, nLr, started) / nLr);
        const auto rawFr = static_cast<int32_t>(SmoothedSum(fr, b, nFr, started) / nFr);
        started = true;
        e.times.push_back(lr.GetSampleTime(a, true));
        e.lrValues.push_back(convertLr(rawLr));
        e.frValues.push_back(convertFr(rawFr));
    }
}

void CFrictionCircle::Recompute() {
    m_lrUnits = m_frUnits = 0;
    for (FrictionEntry& e : m_entries) {
        Walk(e);
        if (!e.lr || !e.fr) continue;
        m_lrUnits = std::max(m_lrUnits, std::max(e.lr->m_nResolution, 1));
        m_frUnits = std::max(m_frUnits, std::max(e.fr->m_nResolution, 1));
    }
    m_lrUnits = std::max(m_lrUnits, 1);
    m_frUnits = std::max(m_frUnits, 1);
    m_lrMin = m_frMin = std::numeric_limits<int32_t>::max();
    m_lrMax = m_frMax = std::numeric_limits<int32_t>::min();
    const auto units = static_cast<double>(PlotUnitsPerG());
    for (FrictionEntry& e : m_entries) {
        e.lrPlot.resize(e.lrValues.size());
        e.frPlot.resize(e.frValues.size());
        if (!e.lr || !e.fr) continue;
        const int lrResolution = std::max(e.lr->m_nResolution, 1);
        const int frResolution = std::max(e.fr->m_nResolution, 1);
        for (std::size_t i = 0; i < e.lrValues.size(); ++i) {
            e.lrPlot[i] = e.lrValues[i] * units / lrResolution;
            e.frPlot[i] = e.frValues[i] * units / frResolution;
            const auto x = static_cast<int32_t>(std::lround(e.lrPlot[i]));
            const auto y = static_cast<int32_t>(std::lround(e.frPlot[i]));
            m_lrMin = std::min(m_lrMin, x);
            m_lrMax = std::max(m_lrMax, x);
            m_frMin = std::min(m_frMin, y);
            m_frMax = std::max(m_frMax, y);
        }
    }
}

std::size_t CFrictionCircle::PointCount() const {
    std::size_t n = 0;
    for (const FrictionEntry& e : m_entries) n += e.lrValues.size();
    return n;
}

FrictionLayout CFrictionCircle::Layout(int width, int height) const {
    FrictionLayout l;
    const double u = PlotUnitsPerG();
    AxisRange(m_lrMin, m_lrMax, u, l.xLo, l.xHi);
    AxisRange(m_frMin, m_frMax, u, l.yLo, l.yHi);
    const double availW = std::max(width - 2 * kMargin, 1.0);
    const double availH = std::max(height - 2 * kMargin, 1.0);
    l.scale = std::min(availW / (l.xHi - l.xLo), availH / (l.yHi - l.yLo));
    const double plotW = (l.xHi - l.xLo) * l.scale, plotH = (l.yHi - l.yLo) * l.scale;
    l.left = kMargin + (availW - plotW) / 2;
    l.top = kMargin + (availH - plotH) / 2;
    l.right = l.left + plotW;
    l.bottom = l.top + plotH;
    l.originX = l.left - l.xLo * l.scale;
    l.originY = l.top + l.yHi * l.scale;
    return l;
}

std::vector<FrictionTick> CFrictionCircle::Ticks(const FrictionLayout& layout, bool xAxis) const {
    std::vector<FrictionTick> ticks;
    const double u = PlotUnitsPerG();
    const double step = u / 10.0;
    const double lo = xAxis ? layout.xLo : layout.yLo, hi = xAxis ? layout.xHi : layout.yHi;
    const bool grid = xAxis ? m_settings.xGrid : m_settings.yGrid;
    const auto k0 = static_cast<long>(std::ceil(lo / step - 1e-9));
    const auto k1 = static_cast<long>(std::floor(hi / step + 1e-9));
    char buf[32];
    for (long k = k0; k <= k1; ++k) {
        FrictionTick t;
        t.value = static_cast<double>(k) * step;
        if (k % 5 == 0) {
            t.kind = k % 10 == 0 ? TickKind::Long : TickKind::Medium;
            if (k != 0) {
                std::snprintf(buf, sizeof buf, "%0.1f", static_cast<double>(k) / 10.0);
                t.label = buf;
            }
        }
        if (grid || k == 0) t.kind = TickKind::Line;
        ticks.push_back(std::move(t));
    }
    return ticks;
}

bool CFrictionCircle::MoveMarker(bool green, int32_t time, IHostServices& host) {
    FrictionMarker& m = green ? m_green : m_red;
    if (time == m.time) return false;
    m.time = time;
    m.drawn = false;
    if (time == kNotSet) return true;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const FrictionEntry& e = m_entries[i];
        if (!e.Plots() || time < EntryStart(e.list) || time > EntryEnd(e.list)) continue;
        const auto after = std::upper_bound(e.times.begin(), e.times.end(), time);
        m.step =
            after == e.times.begin() ? 0 : static_cast<std::size_t>(after - e.times.begin() - 1);
        m.entry = static_cast<int>(i);
        m.lrG = e.lrValues[m.step] / static_cast<double>(std::max(e.lr->m_nResolution, 1));
        m.frG = e.frValues[m.step] / static_cast<double>(std::max(e.fr->m_nResolution, 1));
        m.drawn = true;
        m.messageShown = false;
        return true;
    }
    if (!m.messageShown) {
        host.Message(std::string("Unable to Draw ") + (green ? "Green" : "Red") +
                         " Marker for Friction Circle!\nSession(s) selected does NOT contain "
                         "Marker position.",
                     Icon::Warning);
        m.messageShown = true;
    }
    return true;
}

std::string CFrictionCircle::ValueText(bool green) const {
    const FrictionMarker& m = green ? m_green : m_red;
    if (!m.drawn) return {};
    const int dFr = Decimals(m_frUnits), dLr = Decimals(m_lrUnits);
    char buf[128];
    std::snprintf(buf, sizeof buf, " F-R: %0.*f  L-R: %0.*f  Max G: %0.*f ", dFr, m.frG, dLr, m.lrG,
                  std::min(dFr, dLr), std::sqrt(m.frG * m.frG + m.lrG * m.lrG));
    return buf;
}

}  // namespace orvex
