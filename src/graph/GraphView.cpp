// Strip-chart view state: scale factors, tick steps, pixel mappings and axis label formats.
#include "graph/GraphView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "graph/GraphDerived.h"
#include "host/HostServices.h"

namespace orvex {

namespace {

std::string Printf(const char* format, auto... args) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, args...);
    return buf;
}

}  // namespace

void CGraphViewState::InitFromSettings(int32_t axisMode, bool mphLowerHalf, bool combineAnalogs) {
    m_nAxisMode = axisMode == kAxisDistance ? kAxisDistance : kAxisTime;
    m_nTimeAxis = m_nAxisMode == kAxisTime ? 1 : 0;
    m_bMphLowerHalf = mphLowerHalf;
    m_bCombineAnalogs = combineAnalogs;
}

void CGraphViewState::RecomputeScaleFactors(const CBriodashDoc& doc, int width, int height) {
    m_nClientWidth = width;
    m_nClientHeight = height;
    m_scale = ComputeScaleFactors(doc, *this, width, height);
    m_lSlipBottom = m_scale.slipBottom;
}

GraphMapping CGraphViewState::Mapping() const {
    GraphMapping m;
    m.width = m_scale.width;
    m.height = m_scale.height;
    m.xStart = m_lXStart;
    m.xSpan = m_lXSpan;
    m.xUnitsPerPixel = m_scale.xUnitsPerPixel;
    m.rpmBottom = m_lRpmBottom;
    m.rpmPerPixel = m_scale.rpmPerPixel;
    m.slipBottom = m_scale.slipBottom;
    m.slipPerPixel = m_scale.slipPerPixel;
    return m;
}

double GraphMapping::XToPixel(int32_t x) const {
    if (x <= xStart) return kLeftMargin;
    return kLeftMargin + (static_cast<double>(x) - xStart) / xUnitsPerPixel;
}

int32_t GraphMapping::PixelToX(double px) const {
    const double x = xStart + (px - kLeftMargin) * xUnitsPerPixel;
    return static_cast<int32_t>(std::clamp(std::trunc(x), -2147483648.0, 2147483647.0));
}

double GraphMapping::RpmToPixel(int32_t v) const {
    const double above = std::max(static_cast<double>(v) - rpmBottom, 0.0);
    return PlotBottom() - above / rpmPerPixel;
}

int32_t GraphMapping::PixelToRpm(double py) const {
    return static_cast<int32_t>(rpmBottom + (PlotBottom() - py) * rpmPerPixel);
}

double GraphMapping::SlipToPixel(int32_t v) const {
    const double above = std::max(static_cast<double>(v) - slipBottom, 0.0);
    return PlotBottom() - above / slipPerPixel;
}

void XTickSteps(bool timeAxis, int32_t span, int32_t& minor, int32_t& major) {
    struct Row {
        int32_t upTo, minor, major;
    };
    static constexpr Row kTime[] = {{10000, 100, 1000},
                                    {100000, 1000, 10000},
                                    {300000, 10000, 50000},
                                    {600000, 10000, 100000},
                                    {6000000, 100000, 600000}};
    static constexpr Row kDistance[] = {
        {100, 1, 10}, {1000, 10, 100}, {10000, 100, 1000}, {100000, 1000, 10000}};
    if (timeAxis) {
        minor = 300000;
        major = 1800000;
        for (const Row& r : kTime)
            if (span <= r.upTo) {
                minor = r.minor;
                major = r.major;
                return;
            }
    } else {
        minor = 10000;
        major = 100000;
        for (const Row& r : kDistance)
            if (span <= r.upTo) {
                minor = r.minor;
                major = r.major;
                return;
            }
    }
}

void RpmTickSteps(int32_t span, int32_t& minor, int32_t& major) {
    if (span <= 500000) {
        minor = 5000, major = 50000;
    } else if (span <= 1000000) {
        minor = 10000, major = 100000;
    } else if (span <= 2000000) {
        minor = 50000, major = 200000;
    } else if (span <= 4000000) {
        minor = 100000, major = 500000;
    } else if (span <= 10000000) {
        minor = 100000, major = 1000000;
    } else {
        minor = 200000, major = 2000000;
    }
}

void MphTickSteps(int32_t w, int32_t f, int32_t& minor, int32_t& major) {
    struct Row {
        int32_t below, minor, major;
    };
    static constexpr Row kRows[] = {{100, 1, 10},     {1000, 10, 100},    {2000, 50, 200},
                                    {5000, 100, 500}, {10000, 200, 1000}, {15000, 500, 2000}};
    minor = 1000 * f;
    major = 5000 * f;
    for (const Row& r : kRows)
        if (w < r.below) {
            minor = r.minor * f;
            major = r.major * f;
            return;
        }
}

GraphScaleFactors ComputeScaleFactors(const CBriodashDoc& doc, const CSavedViewState& st, int width,
                                      int height) {
    GraphScaleFactors f;
    const int w = std::abs(width);
    f.width = w;
    f.height = height;
    const int plotH = std::max(height - kBottomMargin, 1);
    f.atStart = st.m_lXStart == st.m_lXMin;
    const double span = st.m_lXSpan;
    if (static_cast<int64_t>(st.m_lXStart) + st.m_lXSpan < st.m_lXMax) {
        f.atEnd = false;
        f.xUnitsPerPixel = span / std::max(w - kLeftMargin, 1);
    } else {
        f.atEnd = true;
        f.xUnitsPerPixel = span / std::max(w * 0.98 - kLeftMargin, 1.0);
    }
    if (!(f.xUnitsPerPixel > 0.0)) f.xUnitsPerPixel = 1.0;
    f.rpmPerPixel = std::max(st.m_lRpmSpan / plotH, 1);
    XTickSteps(st.m_nTimeAxis != 0, st.m_lXSpan, f.xMinor, f.xMajor);
    RpmTickSteps(st.m_lRpmSpan, f.rpmMinor, f.rpmMajor);

    for (const CBriodashDataset* ds : doc.ShownDatasets()) {
        bool canSpeed = false, wantsSpeed = false;
        for (int ch = 0; ch < kRpmChannels; ++ch) {
            const CShaftList& s = ds->m_rpm[static_cast<std::size_t>(ch)];
            const CFreqSetup* setup = ds->m_carSetup.FindRpmSetup(ch + 1);
            if (s.IsEmpty()) continue;
            if (s.m_nOn) f.rpmScale = true;
            if (s.m_nSlipOn) f.slipScale = true;
            if (!setup) continue;
            if (graph::SpeedPrerequisites(ds->m_carSetup, *setup)) canSpeed = true;
            if (setup->m_nDisplayMode == kDisplaySpeed && s.m_nOn) wantsSpeed = true;
        }
        if (canSpeed && wantsSpeed) f.speedScale = true;
    }
    if (f.speedScale) {
        const int64_t mph = std::max<int64_t>(st.m_lMphMax, 1);
        int64_t factor = st.m_bMphLowerHalf ? st.m_lRpmMax / (2 * mph) : st.m_lRpmMax / mph;
        f.mphFactor = static_cast<int32_t>(std::max<int64_t>(factor, 1));
        MphTickSteps(st.m_lRpmSpan / f.mphFactor, f.mphFactor, f.mphMinor, f.mphMajor);
    }
    if (f.slipScale) {
        f.slipBottom = 0;
        f.slipPerPixel = std::max(100000 / plotH, 1);
        f.slipMinor = 2000;
        f.slipMajor = 10000;
    }
    return f;
}

std::string FormatAxisTime(int32_t v) {
    const char* sign = v < 0 ? "-" : "";
    const int64_t m = std::llabs(static_cast<int64_t>(v));
    std::string s = Printf("%s%d:%d%d", sign, static_cast<int>(m / 600000),
                           static_cast<int>((m / 100000) % 6), static_cast<int>((m / 10000) % 10));
    const int64_t r = m % 10000;
    if (r > 0) s += Printf(".%d%d", static_cast<int>(r / 1000), static_cast<int>((r / 100) % 10));
    return s;
}

std::string FormatAxisDistance(int32_t v, Units units) {
    int64_t value = v;
    if (units == Units::Metric) value = static_cast<int64_t>(v * 0.3048);
    if (value < 0 && value > -10) return Printf("-0.%d", static_cast<int>(-value));
    return Printf("%lld.%01d", static_cast<long long>(value / 10),
                  static_cast<int>(std::llabs(value % 10)));
}

std::string FormatAxisRpm(int32_t v) {
    return Printf("%ld", static_cast<long>(v / 1000));
}

std::string FormatAxisSlip(int32_t v) {
    return Printf("%ld%%", static_cast<long>(v / 1000));
}

std::string FormatAxisSpeed(int32_t v) {
    if (v % 100 == 0) return Printf("%ld", static_cast<long>(v / 100));
    return Printf("%ld.%02ld", static_cast<long>(v / 100), static_cast<long>(v % 100));
}

std::string FormatAxisAnalog(int32_t code, double value, double multiplier, double minimum,
                             double maximum) {
    if (!(multiplier != 0.0)) multiplier = 1.0;
    const double q = value / multiplier;
    const auto m = static_cast<long>(multiplier);
    const long whole = m != 0 ? static_cast<long>(value) / m : static_cast<long>(q);
    switch (code) {
        case 0:
            return "N/A";
        case 1:
        case 2:
            return Printf("%ld", whole);
        case 3:
        case 4:
        case 6:
        case 7:
            return Printf(" %.2f", q);
        case 5: {
            const double range = maximum - minimum;
            if (range >= 1000) return Printf(" %ld", whole);
            if (range >= 100) return Printf(" %.1f", static_cast<double>(whole));
            if (range >= 10) return Printf(" %.2f", static_cast<double>(whole));
            return Printf(" %.3f", q);
        }
        case 8:
            if (maximum > 100) return Printf(" %.1f", static_cast<double>(whole));
            return Printf(" %.2f", q);
        default:
            if (code >= 0x81 && code <= 0x89) {
                if (multiplier > 100) return Printf(" %.3f", q);
                if (multiplier > 10) return Printf(" %.2f", q);
                if (multiplier > 1) return Printf(" %.1f", q);
                return Printf(" %.0f", q);
            }
            return "";
    }
}

bool HasAnythingToDraw(const CBriodashDoc& doc) {
    for (const CBriodashDataset* ds : doc.ShownDatasets()) {
        for (const CShaftList& s : ds->m_rpm)
            if (!s.IsEmpty() && (s.m_nOn || s.m_nSlipOn)) return true;
        for (const CSampleList& s : ds->m_analog)
            if (!s.IsEmpty() && s.m_nOn) return true;
        for (const CSampleList& s : ds->m_digital)
            if (!s.IsEmpty() && s.m_nOn) return true;
        if (!ds->m_markers.IsEmpty() && ds->m_markers.m_nOn) return true;
    }
    return false;
}

int CheckSpeedData(const CBriodashDoc& doc, IHostServices& host) {
    int boxes = 0;
    for (const CBriodashDataset* ds : doc.ShownDatasets()) {
        std::string list;
        for (int ch = 0; ch < kRpmChannels; ++ch) {
            const CShaftList& s = ds->m_rpm[static_cast<std::size_t>(ch)];
            const CFreqSetup* setup = ds->m_carSetup.FindRpmSetup(ch + 1);
            if (!setup || !s.m_nOn || s.IsEmpty() || setup->m_nDisplayMode != kDisplaySpeed)
                continue;
            if (graph::SpeedPrerequisites(ds->m_carSetup, *setup)) continue;
            if (!list.empty()) list += ", ";
            list += setup->m_strDescription;
        }
        if (list.empty()) continue;
        host.Message("Dataset '" + ds->m_strName + "':" + list +
                         " are missing some of the information\nrequired to view MPH/KPH graphs "
                         "and will not be displayed",
                     Icon::Information);
        ++boxes;
    }
    return boxes;
}

}  // namespace orvex
