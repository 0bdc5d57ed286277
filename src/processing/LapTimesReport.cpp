#include "processing/LapTimesReport.h"

#include <algorithm>
#include <cstdio>

#include "host/HostServices.h"
#include "processing/Laps.h"

namespace orvex {

std::string LapLabel(int32_t code) {
    if (code == 0) return "Start";
    char buf[32];
    if (BeaconOfCode(code) != 0)
        std::snprintf(buf, sizeof buf, "%3d.%d", LapOfCode(code), BeaconOfCode(code));
    else
        std::snprintf(buf, sizeof buf, "%3d", LapOfCode(code));
    return buf;
}

std::vector<std::string> LapReportLines(const std::vector<LapMark>& marks) {
    std::vector<std::string> lines;
    const LapMark* previous = nullptr;
    const LapMark* previousLapLine = nullptr;
    for (const LapMark& m : marks) {
        std::string line = LapLabel(m.code) + "\t" + FormatLapTime(m.time) + "\t";
        if (m.code != 0 && previous) line += FormatLapTime(m.time - previous->time);
        line += "\t";
        const bool lapLine = BeaconOfCode(m.code) == 0;
        if (lapLine && LapOfCode(m.code) >= 1 && previousLapLine)
            line += FormatLapTime(m.time - previousLapLine->time);
        lines.push_back(std::move(line));
        previous = &m;
        if (lapLine) previousLapLine = &m;
    }
    return lines;
}

bool CLapTimesReport::Open(const std::vector<CBriodashDataset*>& sessions,
                           const CBriodashDataset* current, IHostServices& host) {
    m_sessions.clear();
    for (CBriodashDataset* ds : sessions) {
        if (!ds || ds->m_nLap != 0 || ds->m_bDeleted) continue;
        if (IsEtConfigured(ds->m_markers)) {
            char buf[512];
            std::snprintf(buf, sizeof buf,
                          "Times found are configured for ET-Slip Report for Session "
                          "'%s'.\nDo you wish to continue?",
                          ds->m_strName.c_str());
            if (host.Ask(buf, Buttons::YesNo, Answer::No) != Answer::Yes) continue;
        }
        Session s;
        s.dataset = ds;
        for (const CSample& m : ds->m_markers.m_samples) s.marks.push_back({m.m_lTime, m.m_lRaw});
        m_sessions.push_back(std::move(s));
    }
    if (m_sessions.empty()) {
        host.Message("No Valid Session for Lap Report!", Icon::Warning);
        m_current = -1;
        return false;
    }
    m_current = 0;
    for (std::size_t i = 0; i < m_sessions.size(); ++i)
        if (m_sessions[i].dataset == current) m_current = static_cast<int>(i);
    m_selected = -1;
    return true;
}

std::vector<std::string> CLapTimesReport::SessionNames() const {
    std::vector<std::string> names;
    for (const Session& s : m_sessions) names.push_back(s.dataset->m_strName);
    return names;
}

void CLapTimesReport::SelectSession(int index) {
    if (index >= 0 && index < static_cast<int>(m_sessions.size())) {
        m_current = index;
        m_selected = -1;
    }
}

CLapTimesReport::Session* CLapTimesReport::Current() {
    if (m_current < 0 || m_current >= static_cast<int>(m_sessions.size())) return nullptr;
    return &m_sessions[static_cast<std::size_t>(m_current)];
}

std::vector<std::string> CLapTimesReport::Lines() const {
    if (m_current < 0 || m_current >= static_cast<int>(m_sessions.size())) return {};
    return LapReportLines(m_sessions[static_cast<std::size_t>(m_current)].marks);
}

void CLapTimesReport::SelectLine(int line) {
    const Session* s = m_current >= 0 && m_current < static_cast<int>(m_sessions.size())
                           ? &m_sessions[static_cast<std::size_t>(m_current)]
                           : nullptr;
    m_selected = s && line >= 0 && line < static_cast<int>(s->marks.size()) ? line : -1;
}

std::optional<std::string> CLapTimesReport::RelativePrompt() const {
    if (m_selected < 0) return std::nullopt;
    const auto& marks = m_sessions[static_cast<std::size_t>(m_current)].marks;
    std::string label = LapLabel(marks[static_cast<std::size_t>(m_selected)].code);
    if (label == "Start") return "Enter a relative time from " + label + " Lap";
    label.erase(0, label.find_first_not_of(' '));
    return "Enter a relative time from Lap " + label;
}

void CLapTimesReport::InsertAt(int32_t time, std::size_t index) {
    Session& s = *Current();
    const int32_t perLap = std::max(s.dataset->m_nBeaconsPerLap, 1);
    auto& marks = s.marks;
    LapMark mark;
    mark.time = time;
    if (index > 0)
        mark.code = NextCode(marks[index - 1].code, perLap);
    else
        mark.code = marks.empty() ? 0 : marks.front().code;
    const int32_t split = index > 0 ? time - marks[index - 1].time : time;
    marks.insert(marks.begin() + static_cast<std::ptrdiff_t>(index), mark);
    for (std::size_t i = index + 1; i < marks.size(); ++i) {
        marks[i].code = NextCode(marks[i - 1].code, perLap);
        if (m_bUpdateElapsed) marks[i].time += split;
    }
    s.changed = true;
    m_selected = static_cast<int>(index);
}

bool CLapTimesReport::InsertElapsed(const std::string& entry, IHostServices& host) {
    if (!Current()) return false;
    std::optional<int32_t> t = ParseTimeEntry(entry, 2);
    if (!t || *t < 0) {
        host.Message(kInvalidTimeEntry, Icon::Warning);
        return false;
    }
    auto& marks = Current()->marks;
    std::size_t index = 0;
    while (index < marks.size() && marks[index].time <= *t) ++index;
    InsertAt(*t, index);
    return true;
}

bool CLapTimesReport::InsertRelative(const std::string& entry, IHostServices& host) {
    if (!Current() || m_selected < 0) return false;
    std::optional<int32_t> dt = ParseTimeEntry(entry, 2);
    if (!dt) {
        host.Message(kInvalidTimeEntry, Icon::Warning);
        return false;
    }
    auto& marks = Current()->marks;
    const auto sel = static_cast<std::size_t>(m_selected);
    const int64_t t = static_cast<int64_t>(marks[sel].time) + *dt;
    if (t < kMinInt32 || t > 2147483647LL) {
        host.Message(kInvalidTimeEntry, Icon::Warning);
        return false;
    }
    // After the selected mark, and after every later mark that comes earlier in time.
    std::size_t index = sel + 1;
    while (index < marks.size() && marks[index].time <= t) ++index;
    InsertAt(static_cast<int32_t>(t), index);
    return true;
}

bool CLapTimesReport::DeleteSelected(IHostServices& host) {
    Session* s = Current();
    if (!s || m_selected < 0) {
        host.Message("A lap marker must be selected before it can be deleted", Icon::Warning);
        return false;
    }
    auto& marks = s->marks;
    const auto index = static_cast<std::size_t>(m_selected);
    const int32_t perLap = std::max(s->dataset->m_nBeaconsPerLap, 1);
    const LapMark removed = marks[index];
    const int32_t split = index > 0 ? removed.time - marks[index - 1].time : removed.time;
    marks.erase(marks.begin() + static_cast<std::ptrdiff_t>(index));
    for (std::size_t i = index; i < marks.size(); ++i) {
        marks[i].code = i == index ? removed.code : NextCode(marks[i - 1].code, perLap);
        if (m_bUpdateElapsed) marks[i].time -= split;
    }
    s->changed = true;
    m_selected = -1;
    return true;
}

bool CLapTimesReport::Ok(IHostServices& host, std::vector<CBriodashDataset*>* written) {
    for (std::size_t i = 0; i < m_sessions.size(); ++i) {
        Session& s = m_sessions[i];
        if (!s.changed || s.marks.empty()) continue;
        if (s.marks.back().time > s.dataset->GetEndTime(true)) {
            char buf[512];
            std::snprintf(buf, sizeof buf,
                          "Lap Times for Session '%s' extends past End of Data.\nDo you wish to "
                          "continue?",
                          s.dataset->m_strName.c_str());
            if (host.Ask(buf, Buttons::YesNo, Answer::No) != Answer::Yes) {
                m_current = static_cast<int>(i);
                m_selected = -1;
                return false;
            }
        }
    }
    for (Session& s : m_sessions) {
        if (!s.changed) continue;
        CSampleList& markers = s.dataset->m_markers;
        markers.m_samples.clear();
        for (const LapMark& m : s.marks) {
            CSample x;
            x.m_lTime = m.time;
            x.m_lRaw = x.m_lFiltered = m.code;
            markers.AddTail(x);
        }
        markers.ClearMinMax();
        markers.m_nOn = 1;
        s.changed = false;
        if (written) written->push_back(s.dataset);
    }
    return true;
}

}  // namespace orvex
