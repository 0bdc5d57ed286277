// The delete-data dialog on a document.
#include "model/DeleteDataDialog.h"

#include <algorithm>

#include "model/TimeFormat.h"

namespace orvex {

namespace {

std::string MarkerText(int32_t time) {
    return time == kNotSet ? std::string("(not set)") : "@ " + FormatTime(time, 4);
}

// "Start", "Lap #2" or "Lap #2, Beacon #1", as the zero-time list names marks.
std::string MarkLabel(int32_t code) {
    const int32_t lap = code / 100, beacon = code % 100;
    if (code == 0) return "Start";
    std::string text = "Lap #" + std::to_string(lap);
    if (beacon != 0) text += ", Beacon #" + std::to_string(beacon);
    return text;
}

}  // namespace

CDeleteDataDialog::CDeleteDataDialog(CBriodashDoc& doc, const CBriodashDataset* current)
    : CDeleteDataSelection(doc.Host()), m_doc(doc), m_sessions(doc.ShownDatasets(true)) {
    Bind("session", m_session);
    Bind("greenTime", m_greenTime);
    Bind("redTime", m_redTime);
    Bind("lapMarker", m_lapMarker);
    Bind("lapMarkerTime", m_lapMarkerTime);
    for (std::size_t i = 0; i < m_sessions.size(); ++i) {
        m_session.items.push_back(m_sessions[i]->m_strName);
        if (m_sessions[i] == current) m_session.selected = static_cast<int>(i);
    }
    if (m_session.selected < 0 && !m_sessions.empty()) m_session.selected = 0;
    m_greenTime.text = MarkerText(doc.m_lGreenTime);
    m_redTime.text = MarkerText(doc.m_lRedTime);
    m_before[Green].enabled = m_after[Green].enabled = doc.m_lGreenTime != kNotSet;
    m_before[Red].enabled = m_after[Red].enabled = doc.m_lRedTime != kNotSet;
    m_lapMarker.value = 1;
    ShowSession();
}

CBriodashDataset* CDeleteDataDialog::Current() const {
    if (m_session.selected < 0 || m_session.selected >= static_cast<int>(m_sessions.size()))
        return nullptr;
    return m_sessions[static_cast<std::size_t>(m_session.selected)];
}

int32_t CDeleteDataDialog::LapMarkTime(int index) const {
    const CBriodashDataset* ds = Current();
    if (!ds) return kNotSet;
    const auto& marks = ds->m_markers.m_samples;
    const int32_t zero = ds->m_nTimeRef != 0 ? ds->m_lZeroTime : 0;
    if (index < 0) return ds->GetStartTime(true, ds->m_nTimeRef != 0);  // the start of data
    if (index >= static_cast<int>(marks.size())) return kNotSet;
    return marks[static_cast<std::size_t>(index)].m_lTime - zero;
}

void CDeleteDataDialog::ShowSession() {
    const CBriodashDataset* ds = Current();
    const int marks = ds ? static_cast<int>(ds->m_markers.Size()) : 0;
    m_lapMarker.lo = marks > 0 ? 1 : 0;
    m_lapMarker.hi = marks;
    m_lapMarker.value = std::clamp(m_lapMarker.value, m_lapMarker.lo, m_lapMarker.hi);
    m_lapMarker.enabled = marks > 0;
    m_before[Lap].enabled = m_after[Lap].enabled = marks > 0;
    if (marks == 0) {
        m_lapMarkerTime.text = "(no lap markers)";
        // A lap choice has nothing to cut at any more.
        if (m_group == Lap) {
            m_group = None;
            m_bBefore = m_bAfter = false;
        }
    } else {
        const int index = m_lapMarker.value - 1;
        const int32_t code = ds->m_markers.m_samples[static_cast<std::size_t>(index)].m_lRaw;
        m_lapMarkerTime.text = MarkLabel(code) + " @ " + FormatTime(LapMarkTime(index), 4);
    }
    for (int g = Green; g <= Lap; ++g) {
        m_before[g].checked = m_group == g && m_bBefore;
        m_after[g].checked = m_group == g && m_bAfter;
    }
}

void CDeleteDataDialog::Changed(const std::string& name) {
    if (name == "session" || name == "lapMarker") {
        ShowSession();
        return;
    }
    CDeleteDataSelection::Changed(name);
}

void CDeleteDataDialog::CutTimes(int32_t& before, int32_t& after) const {
    before = after = kNotSet;
    int32_t at = kNotSet, lapStart = kNotSet;
    switch (m_group) {
        case Green:
            at = m_doc.m_lGreenTime;
            break;
        case Red:
            at = m_doc.m_lRedTime;
            break;
        case Lap:
            at = LapMarkTime(m_lapMarker.value - 1);
            lapStart = LapMarkTime(m_lapMarker.value - 2);
            break;
        default:
            return;
    }
    if (m_bBefore) before = m_group == Lap ? lapStart : at;
    if (m_bAfter) after = at;
}

bool CDeleteDataDialog::Accept() {
    CBriodashDataset* ds = Current();
    if (!ds) return false;
    if (m_bWholeDataset) {
        if (m_doc.Host().Ask(
                "You are about to delete data, there is no 'undo'.\nDo you wish to continue?",
                Buttons::YesNo, Answer::No) != Answer::Yes)
            return false;
        m_doc.DeleteDataset(*ds);
        m_pKept = nullptr;
        return true;
    }
    int32_t before = kNotSet, after = kNotSet;
    CutTimes(before, after);
    m_pKept = m_doc.DeleteData(*ds, before, after);
    return m_pKept != nullptr;
}

}  // namespace orvex
