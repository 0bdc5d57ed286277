// The small dialogs of the lap tools.
#include "processing/LapToolDialogs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "processing/LapView.h"

namespace orvex {

namespace {

int IndexOf(const std::vector<CBriodashDataset*>& list, const CBriodashDataset* ds) {
    auto it = std::find(list.begin(), list.end(), ds);
    return it == list.end() ? (list.empty() ? -1 : 0) : static_cast<int>(it - list.begin());
}

// A distance in feet ("", "12", "-3.5"); an empty text is no move.
bool ReadFeet(const std::string& text, double& feet) {
    std::size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos) {
        feet = 0;
        return true;
    }
    const std::string t = text.substr(b, text.find_last_not_of(" \t") - b + 1);
    char* end = nullptr;
    feet = std::strtod(t.c_str(), &end);
    return end == t.c_str() + t.size() && std::isfinite(feet) && std::abs(feet) < 2.0e8;
}

}  // namespace

// --- "Number of Beacons" --------------------------------------------------------------------

CBeaconsDialog::CBeaconsDialog(CBriodashDoc& doc, const CBriodashDataset* current) : m_doc(doc) {
    std::vector<CBriodashDataset*> sessions;
    for (CBriodashDataset* ds : doc.ShownDatasets(true))
        if (HasLapMarks(*ds)) {
            m_rows.push_back({ds, ds->m_nBeaconsPerLap});
            sessions.push_back(ds);
            m_session.items.push_back(ds->m_strName);
        }
    m_session.selected = IndexOf(sessions, current);
    m_beacons.lo = 1;
    m_beacons.hi = 100;
    Bind("session", m_session);
    Bind("beacons", m_beacons);
    Changed("session");
}

void CBeaconsDialog::Changed(const std::string& name) {
    if (m_session.selected < 0) {
        m_beacons.enabled = false;
        return;
    }
    Row& row = m_rows[static_cast<std::size_t>(m_session.selected)];
    if (name == "session")
        m_beacons.value = row.beacons;
    else if (name == "beacons")
        row.beacons = std::clamp(m_beacons.value, 1, 100);
}

bool CBeaconsDialog::Accept() {
    bool changed = false;
    for (const Row& row : m_rows)
        if (row.beacons != row.dataset->m_nBeaconsPerLap) {
            ChangeBeaconsPerLap(m_doc, *row.dataset, row.beacons);
            changed = true;
        }
    if (changed) m_doc.UpdateAllViews(kHintRepaint);
    return true;
}

// --- "Move Lap Markers" ---------------------------------------------------------------------

CMoveLapMarksDialog::CMoveLapMarksDialog(CBriodashDoc& doc, const CBriodashDataset* current)
    : m_doc(doc) {
    const std::vector<CBriodashDataset*> sessions = doc.ShownDatasets(true);
    for (CBriodashDataset* ds : sessions) {
        m_rows.push_back({ds, ""});
        m_session.items.push_back(ds->m_strName);
    }
    m_session.selected = IndexOf(sessions, current);
    m_distance.SetPattern(R"([-+]?([0-9]+\.?[0-9]*|\.[0-9]+)?)");
    m_distance.tip = "Feet; a negative distance moves the markers to the left";
    Bind("session", m_session);
    Bind("distance", m_distance);
    Bind("note", m_note);
    ShowSession();
}

void CMoveLapMarksDialog::ShowSession() {
    m_note.text.clear();
    if (m_session.selected < 0) {
        m_distance.enabled = false;
        return;
    }
    const Row& row = m_rows[static_cast<std::size_t>(m_session.selected)];
    const CBriodashDataset& ds = *row.dataset;
    if (ds.m_markers.Size() == 0)
        m_note.text = "This Session/Pass has no lap markers.";
    else if (IsEtConfigured(ds.m_markers))
        m_note.text = "The markers of this Session/Pass are ET-Slip times.";
    else if (ds.m_nDistanceSource == 0)
        m_note.text = "This Session/Pass has no distance data.";
    m_distance.enabled = m_note.text.empty();
    m_note.shown = !m_note.text.empty();
    m_distance.Type(row.distance);
}

void CMoveLapMarksDialog::Changed(const std::string& name) {
    if (name == "session") {
        ShowSession();
    } else if (name == "distance" && m_session.selected >= 0) {
        m_rows[static_cast<std::size_t>(m_session.selected)].distance = m_distance.text;
    }
}

bool CMoveLapMarksDialog::Accept() {
    std::vector<std::pair<CBriodashDataset*, int32_t>> moves;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        double feet = 0;
        if (!ReadFeet(m_rows[i].distance, feet)) {
            m_session.selected = static_cast<int>(i);
            ShowSession();
            m_doc.Host().Message("The distance entered is invalid, please correct", Icon::Warning);
            return false;
        }
        const auto tenths = static_cast<int32_t>(std::lround(feet * 10));
        if (tenths != 0) moves.emplace_back(m_rows[i].dataset, tenths);
    }
    bool moved = false;
    for (auto& [ds, tenths] : moves)
        if (MoveLapMarks(*ds, tenths)) {
            RebuildLapDatasets(m_doc, *ds);
            moved = true;
        }
    if (moved) {
        m_doc.m_bModified = true;
        m_doc.UpdateAllViews(kHintResetDisplay);
    }
    return true;
}

// --- "Data Alignment Menu" ------------------------------------------------------------------

CDataAlignmentDialog::CDataAlignmentDialog(CBriodashDoc& doc, const CBriodashDataset* current,
                                           int32_t green, int32_t red)
    : m_doc(doc), m_sessions(doc.ShownDatasets(true)), m_lGreen(green), m_lRed(red) {
    for (CBriodashDataset* ds : m_sessions) m_session.items.push_back(ds->m_strName);
    m_session.selected = IndexOf(m_sessions, current);
    auto text = [](int32_t t) {
        return t == kNotSet ? std::string("(not set)") : "@ " + FormatZeroTime(t);
    };
    m_green.text = text(green);
    m_red.text = text(red);
    Bind("session", m_session);
    Bind("green", m_green);
    Bind("red", m_red);
}

bool CDataAlignmentDialog::CanOpen(int32_t green, int32_t red, IHostServices& host) {
    if (green != kNotSet && red != kNotSet) return true;
    host.Message("Both the Green and Red Markers must be set\n to align tach and drive shaft data",
                 Icon::Warning);
    return false;
}

bool CDataAlignmentDialog::Accept() {
    if (m_session.selected < 0) return false;
    CBriodashDataset& ds = *m_sessions[static_cast<std::size_t>(m_session.selected)];
    if (!AlignDriveShaft(ds, m_lGreen, m_lRed, m_doc.m_options.units, m_doc.Host())) return false;
    RebuildLapDatasets(m_doc, ds);
    m_doc.m_bModified = true;
    m_doc.UpdateAllViews(kHintRepaint);
    return true;
}

// --- "Switch/Timer Data" --------------------------------------------------------------------

CSwitchTimerDialog::CSwitchTimerDialog(CBriodashDoc& doc, int32_t windowStart, int32_t windowEnd)
    : m_doc(doc) {
    m_filter.windowStart = windowStart;
    m_filter.windowEnd = windowEnd;
    m_filter.channels = 1;
    m_dataSets.options = 2;
    m_dataSets.selected = 0;
    m_channels.options = 3;
    m_channels.selected = 1;
    m_events.multiple = true;
    Bind("dataSets", m_dataSets);
    Bind("channels", m_channels);
    Bind("events", m_events);
    Bind("difference", m_difference);
    Rebuild();
}

void CSwitchTimerDialog::Rebuild() {
    m_filter.allDatasets = m_dataSets.selected == 1;
    m_filter.channels = m_channels.selected;
    std::vector<CBriodashDataset*> datasets;
    for (auto& ds : m_doc.m_datasets)
        if (!m_filter.allDatasets || ds->m_nLap == 0) datasets.push_back(ds.get());
    m_list = SwitchEvents(datasets, m_filter);
    m_events.items.clear();
    for (const DigitalEvent& e : m_list) m_events.items.push_back(e.text);
    m_events.selected = -1;
    m_events.marked.clear();
    m_difference.text = SwitchEventDifference(m_list, m_events.marked);
}

void CSwitchTimerDialog::Changed(const std::string& name) {
    if (name == "dataSets" || name == "channels")
        Rebuild();
    else if (name == "events")
        m_difference.text = SwitchEventDifference(m_list, m_events.marked);
}

}  // namespace orvex
