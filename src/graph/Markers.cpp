#include "graph/Markers.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "graph/GraphNav.h"
#include "host/HostServices.h"

namespace orvex {

static_assert(kHintResetDisplay == CGraphNavigator::kHintDisplayReset);

namespace {

int32_t ClampToInt32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483646.0) return 2147483646;  // kNotSet stays reserved for "not set"
    if (v <= -2147483648.0) return kMinInt32;
    return static_cast<int32_t>(std::trunc(v));
}

bool ContainsNoCase(const std::string& text, const std::string& word) {
    auto it = std::search(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) ==
               std::toupper(static_cast<unsigned char>(b));
    });
    return it != text.end();
}

const char* MarkerWord(Marker which) {
    return which == Marker::Green ? "Green" : "Red";
}

}  // namespace

MarkerAxis MarkerAxisOf(const CGraphViewState& state) {
    MarkerAxis a;
    a.timeAxis = state.IsTimeAxis();
    a.xStart = state.m_lXStart;
    a.xSpan = state.m_lXSpan;
    a.xUnitsPerPixel = state.m_scale.xUnitsPerPixel;
    a.clientHeight = state.m_nClientHeight;
    a.leftMargin = kLeftMargin;
    a.bottomMargin = kBottomMargin;
    return a;
}

void AddMarkerOverlay(CGraphScene& scene, const std::vector<MarkerLine>& lines) {
    for (const MarkerLine& l : lines)
        // Combined with what is below, so a marker shows over any trace and stays apart from
        // a switch's event line of the same colour.
        scene.AddLine(static_cast<float>(l.x), static_cast<float>(l.bottom),
                      static_cast<float>(l.x), static_cast<float>(l.top), l.colour, true, 1.0f,
                      LineStyle::Solid, l.op == RasterOp::Xor ? LineBlend::Xor : LineBlend::NotXor);
}

int Lightness(ColorRef c) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    const int hi = std::max({r, g, b});
    const int lo = std::min({r, g, b});
    return ((hi + lo) * 240 + 255) / 510;
}

RasterOp MarkerRasterOp(ColorRef background) {
    return Lightness(background) < 90 ? RasterOp::Xor : RasterOp::NotXor;
}

bool CMarkerController::IsSet(Marker which) const {
    return (which == Marker::Green ? m_doc.m_lGreenTime : m_doc.m_lRedTime) != kNotSet;
}

std::string CMarkerController::ToggleMenuText() const {
    return m_bMarkersShown ? "Turn Green/Red Marker(s) Off" : "Turn Green/Red Marker(s) On";
}

int32_t& CMarkerController::TimeOf(Marker which) {
    return which == Marker::Green ? m_doc.m_lGreenTime : m_doc.m_lRedTime;
}

int32_t& CMarkerController::DistanceOf(Marker which) {
    return which == Marker::Green ? m_doc.m_lGreenDistance : m_doc.m_lRedDistance;
}

int32_t CMarkerController::AxisValue(Marker which, bool timeAxis) const {
    if (which == Marker::Green) return timeAxis ? m_doc.m_lGreenTime : m_doc.m_lGreenDistance;
    return timeAxis ? m_doc.m_lRedTime : m_doc.m_lRedDistance;
}

std::optional<MarkerLine> CMarkerController::LineAt(int32_t x, ColorRef colour,
                                                    const MarkerAxis& axis) const {
    if (x == kNotSet || axis.xUnitsPerPixel <= 0.0) return std::nullopt;
    const int64_t end = static_cast<int64_t>(axis.xStart) + axis.xSpan;
    if (x < axis.xStart || x > end) return std::nullopt;
    MarkerLine line;
    line.x = axis.leftMargin + (static_cast<double>(x) - axis.xStart) / axis.xUnitsPerPixel;
    line.top = 0;
    line.bottom = axis.clientHeight - axis.bottomMargin;
    line.colour = colour;
    line.op = MarkerRasterOp(m_crBackground);
    return line;
}

std::vector<MarkerLine> CMarkerController::Overlay(const MarkerAxis& axis) const {
    MarkerOutcome out;
    if (m_bMarkersShown) {
        if (IsSet(Marker::Green)) Stroke(Marker::Green, axis, out);
        if (IsSet(Marker::Red)) Stroke(Marker::Red, axis, out);
    }
    if (m_bRaceMarkersShown) StrokeRace(axis, out);
    return out.strokes;
}

void CMarkerController::Stroke(Marker which, const MarkerAxis& axis, MarkerOutcome& out) const {
    auto line = LineAt(AxisValue(which, axis.timeAxis),
                       which == Marker::Green ? kGreenMarkerColour : kRedMarkerColour, axis);
    if (line) out.strokes.push_back(*line);
}

void CMarkerController::StrokeRace(const MarkerAxis& axis, MarkerOutcome& out) const {
    if (!m_pRace || !m_pRace->IsActive()) return;
    for (int i = 0; i < m_pRace->LapCount(); ++i) {
        auto line = LineAt(m_pRace->RaceMarkerX(i, false), m_pRace->LapColour(i), axis);
        if (line) out.strokes.push_back(*line);
    }
}

bool CMarkerController::ResyncRace(const MarkerAxis& axis, MarkerOutcome& out) {
    if (!m_pRace || !m_pRace->IsActive() || !m_pRace->FollowsMarkers()) return false;
    if (m_bRaceMarkersShown) StrokeRace(axis, out);
    m_pRace->Resync();
    if (m_bRaceMarkersShown) StrokeRace(axis, out);
    const bool any = m_pRace->LapCount() > 0;
    Send(out, kHintRaceMarkerMoved, any ? m_pRace->RaceMarkerTime(0) : kNotSet,
         any ? m_pRace->RaceMarkerX(0, false) : kNotSet);
    return true;
}

void CMarkerController::Send(MarkerOutcome& out, uint32_t code, int32_t time, int32_t x) {
    out.hints.push_back({code, time, x});
    m_doc.UpdateAllViews(ViewUpdate{.hint = code, .time = time, .x = x});
}

void CMarkerController::PostAdvise() {
    if (m_postAdvise && !m_postAdvise()) m_host.Message("Post Advise Failed!", Icon::Warning);
}

void RefreshMarkerDistances(CBriodashDoc& doc) {
    CBriodashDataset* first = nullptr;
    for (CBriodashDataset* ds : doc.ShownDatasets())
        if (ds->HasData()) {
            first = ds;
            break;
        }
    auto refresh = [first](int32_t time, int32_t& distance) {
        if (time != kNotSet) distance = first ? MarkerDistanceAt(*first, time) : kNotSet;
    };
    refresh(doc.m_lGreenTime, doc.m_lGreenDistance);
    refresh(doc.m_lRedTime, doc.m_lRedDistance);
}

CBriodashDataset* CMarkerController::FirstShownWithData() const {
    for (CBriodashDataset* ds : m_doc.ShownDatasets())
        if (ds->HasData()) return ds;
    return nullptr;
}

// Race markers, the hint and the data server's advise after a marker moved.
void CMarkerController::Moved(Marker which, const MarkerAxis& axis, MarkerOutcome& out) {
    const bool synced = ResyncRace(axis, out);
    uint32_t code = kHintGreenMoved;
    if (which == Marker::Red) code = synced ? kHintRedMovedRaceSync : kHintRedMoved;
    Send(out, code, TimeOf(which), AxisValue(which, axis.timeAxis));
    out.changed = true;
    if (which == Marker::Green) PostAdvise();
}

MarkerOutcome CMarkerController::DoubleClick(Marker which, int mouseX, const MarkerAxis& axis) {
    if (mouseX <= axis.leftMargin) return {};
    return PlaceAt(
        which, ClampToInt32(axis.xStart + (mouseX - axis.leftMargin) * axis.xUnitsPerPixel), axis);
}

MarkerOutcome CMarkerController::PlaceAt(Marker which, int32_t x, const MarkerAxis& axis) {
    MarkerOutcome out;
    CBriodashDataset* ds = FirstShownWithData();
    if (!ds) {
        m_host.Message(std::string("Could NOT set ") + MarkerWord(which) +
                           " Marker.\nNo Data-Sets are visible.",
                       Icon::Warning);
        return out;
    }
    if (m_bMarkersShown && IsSet(which)) Stroke(which, axis, out);
    if (axis.timeAxis) {
        TimeOf(which) = x;
        DistanceOf(which) = MarkerDistanceAt(*ds, x);
    } else {
        DistanceOf(which) = x;
        TimeOf(which) = MarkerTimeAtDistance(*ds, x);
    }
    Stroke(which, axis, out);
    if (!m_bMarkersShown) {
        const Marker other = which == Marker::Green ? Marker::Red : Marker::Green;
        if (IsSet(other)) Stroke(other, axis, out);
        m_bMarkersShown = true;
    }
    Moved(which, axis, out);
    return out;
}

MarkerOutcome CMarkerController::SetRaceMarkerAt(int mouseX, const MarkerAxis& axis) {
    MarkerOutcome out;
    if (mouseX <= axis.leftMargin) return out;
    if (!FirstShownWithData()) {
        m_host.Message("Could NOT set Race Mode Marker.\nNo Data-Sets are visible.", Icon::Warning);
        return out;
    }
    if (!m_pRace || !m_pRace->IsActive()) return out;
    if (m_bRaceMarkersShown) StrokeRace(axis, out);
    const int32_t x = ClampToInt32(axis.xStart + (mouseX - axis.leftMargin) * axis.xUnitsPerPixel);
    m_pRace->SetRaceMarker(x);
    StrokeRace(axis, out);
    m_bRaceMarkersShown = true;
    const bool any = m_pRace->LapCount() > 0;
    Send(out, kHintRaceMarkerMoved, any ? m_pRace->RaceMarkerTime(0) : kNotSet, x);
    out.changed = true;
    return out;
}

MarkerOutcome CMarkerController::StepRace(int direction, const MarkerAxis& axis) {
    MarkerOutcome out;
    if (!m_pRace || !m_pRace->IsActive()) return out;
    if (m_bRaceMarkersShown) StrokeRace(axis, out);
    if (direction == 0)
        m_pRace->Restart();
    else
        m_pRace->Step(direction);
    StrokeRace(axis, out);
    m_bRaceMarkersShown = true;
    const bool any = m_pRace->LapCount() > 0;
    Send(out, kHintRaceMarkerMoved, any ? m_pRace->RaceMarkerTime(0) : kNotSet,
         any ? m_pRace->RaceMarkerX(0, false) : kNotSet);
    out.changed = true;
    return out;
}

MarkerOutcome CMarkerController::Nudge(Marker which, int direction, const MarkerAxis& axis) {
    MarkerOutcome out;
    if (!IsSet(which)) return out;
    // The reference is the shown dataset whose data reach furthest.
    const CBriodashDataset* refDs = nullptr;
    int64_t furthest = 0;
    for (CBriodashDataset* ds : m_doc.ShownDatasets()) {
        const CSeriesBase* s = DistanceReference(*ds);
        if (!s) continue;
        int64_t end = axis.timeAxis ? ds->GetEndTime(false, true) : s->DistanceAt(s->Last());
        if (!refDs || end > furthest) {
            refDs = ds;
            furthest = end;
        }
    }
    if (!refDs) return out;
    const CSeriesBase& s = *DistanceReference(*refDs);
    const bool byDistance = !axis.timeAxis && DistanceOf(which) != kNotSet;
    const int32_t key = byDistance ? DistanceOf(which) : TimeOf(which);
    auto keyAt = [&](Pos p) { return byDistance ? s.DistanceAt(p) : s.GetSampleTime(p, true); };

    Pos p;
    if (key < keyAt(s.First())) {
        p = s.First();
    } else if (key > keyAt(s.Last())) {
        p = s.Last();
    } else {
        SampleBracket b = FindBracket(s, key, byDistance);
        if (direction < 0) {
            p = b.before;
            if (b.Exact() && s.Prev(p) != kNoPos) p = s.Prev(p);
        } else {
            p = b.after;
            if (b.Exact() && s.Next(p) != kNoPos) p = s.Next(p);
        }
    }

    if (m_pRace && m_pRace->IsActive()) {
        Pos q = s.Next(p) != kNoPos ? s.Next(p) : s.Prev(p);
        if (q != kNoPos) m_pRace->SetClockStep(std::abs(s.TimeAt(q) - s.TimeAt(p)));
    }
    if (m_bMarkersShown) Stroke(which, axis, out);
    TimeOf(which) = s.GetSampleTime(p, true);
    DistanceOf(which) = HasDistance(*refDs) ? s.DistanceAt(p) : kNotSet;
    if (m_bMarkersShown) Stroke(which, axis, out);
    Moved(which, axis, out);
    return out;
}

MarkerOutcome CMarkerController::ToggleShown(const MarkerAxis& axis) {
    MarkerOutcome out;
    if (!CanToggle()) {
        m_host.Message("Neither Marker has been set yet!", Icon::Warning);
        return out;
    }
    if (IsSet(Marker::Green)) Stroke(Marker::Green, axis, out);
    if (IsSet(Marker::Red)) Stroke(Marker::Red, axis, out);
    m_bMarkersShown = !m_bMarkersShown;
    Send(out, kHintMarkersShown, kNotSet, kNotSet);
    out.changed = true;
    return out;
}

ZeroOffsetResult SetZeroOffsetsAtMarker(CBriodashDoc& doc, CBriodashDataset& ds,
                                        const std::vector<int>& channels, Marker which,
                                        const MarkerConverters& conv) {
    ZeroOffsetResult result;
    const int32_t time = which == Marker::Green ? doc.m_lGreenTime : doc.m_lRedTime;
    if (time == kNotSet) return result;
    const Units units = doc.m_options.units;
    auto it = std::find_if(doc.m_datasets.begin(), doc.m_datasets.end(),
                           [&](const auto& p) { return p.get() == &ds; });
    for (; it != doc.m_datasets.end() && (*it)->m_nGroup == ds.m_nGroup; ++it) {
        CBriodashDataset& d = **it;
        if (d.m_bDeleted) continue;
        for (int ch : channels) {
            CAnalogSetup* setup = d.m_carSetup.FindAnalogSetup(ch);
            if (!setup) continue;
            std::optional<int32_t> v = AnalogValueAt(d, ch, time, units, conv);
            if (!v) continue;
            const double m = setup->m_nResolution > 0 ? setup->m_nResolution : 1;
            double offset = setup->GetOffset(units) + *v / m;
            const bool accel = setup->m_nType == kAnalogAccel || setup->m_nType == kAnalog2Accel;
            if (accel && ContainsNoCase(setup->m_strDescription, "UP-DOWN")) offset -= 1.0;
            setup->SetOffset(static_cast<float>(offset), units);
            ++result.channelsChanged;
            if (accel) result.accelerometerChanged = true;
        }
    }
    if (result.channelsChanged) {
        doc.m_bModified = true;
        doc.UpdateAllViews(kHintRepaint);
    }
    return result;
}

}  // namespace orvex
