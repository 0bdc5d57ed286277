#include "app/ServerSetupDialog.h"

#include <cmath>
#include <cstdio>

#include "app/DataAcqApp.h"
#include "app/DataServer.h"
#include "graph/MarkerValues.h"
#include "host/HostServices.h"
#include "model/Document.h"
#include "processing/Laps.h"

namespace orvex {

namespace {

std::string At(const char* text, int32_t time) {
    return std::string(text) + FormatMarkerTime(time);
}

std::string Printf(const char* format, int a, int b = 0) {
    char buf[96];
    std::snprintf(buf, sizeof buf, format, a, b);
    return buf;
}

}  // namespace

std::vector<PlaybackPosition> PlaybackPositions(const CBriodashDoc* doc, CBriodashDataset* ds) {
    std::vector<PlaybackPosition> out;
    if (!ds) return out;
    out.push_back({"Beginning of Data", ds->GetStartTime(true, true)});
    if (doc && doc->m_lGreenTime != kNotSet)
        out.push_back({At("Green Marker @ ", doc->m_lGreenTime), doc->m_lGreenTime});
    if (doc && doc->m_lRedTime != kNotSet)
        out.push_back({At("Red Marker @ ", doc->m_lRedTime), doc->m_lRedTime});
    const CSampleList& marks = ds->m_markers;
    if (IsEtConfigured(marks)) {
        static constexpr const char* kEt[] = {"Launch @ ",   "60 Foot @ ",   "330 Foot @ ",
                                              "660 Foot @ ", "1000 Foot @ ", "1/4 Mile @ "};
        for (Pos p = marks.First(); p != kNoPos && p <= marks.Last(); ++p) {
            const int32_t code = marks.GetSampleValue(p);
            if (code >= 0 && code <= 5) {
                const int32_t t = marks.GetSampleTime(p, true);
                out.push_back({At(kEt[code], t), t});
            }
        }
    } else if (!marks.IsEmpty()) {
        int lastLap = 0;
        for (Pos p = marks.First(); p != kNoPos && p <= marks.Last(); ++p) {
            const int32_t code = marks.GetSampleValue(p);
            const int32_t t = marks.GetSampleTime(p, true);
            const int lap = code / 100, beacon = code % 100;
            lastLap = lap;
            if (code == 0)
                out.push_back({"Start of Lap #1", t});
            else if (beacon == 0)
                out.push_back({Printf("Start of Lap #%1d", lap + 1), t});
            else
                out.push_back(
                    {At(Printf("Lap #%1d, Beacon #%1d @ ", lap + 1, beacon).c_str(), t), t});
        }
        const int32_t t = marks.GetSampleTime(marks.Last(), true);
        out.push_back({At(Printf("End of Lap #%1d @ ", lastLap).c_str(), t), t});
    }
    out.push_back({"End of Data", ds->GetEndTime(true, true)});
    return out;
}

std::string PlaybackRateText(int32_t timer) {
    const double seconds = std::pow(10.0, timer / 10.0) / 1000.0;
    const char* format = seconds >= 1     ? "Rate: %0.1lf Sec."
                         : seconds >= 0.1 ? "Rate: %0.2lf Sec."
                                          : "Rate: %0.3lf Sec.";
    char buf[64];
    std::snprintf(buf, sizeof buf, format, seconds);
    return buf;
}

bool ApplyServerChoice(CDataAcqApp& app, CDDEServer& server, IHostServices& host,
                       const ServerChoice& choice) {
    app.SetServerTimer(choice.timer);
    bool kept = true;
    ServerState& s = app.GetServerState();
    if (choice.start != kNotSet && choice.end != kNotSet && choice.start < choice.end) {
        s.playbackStart = choice.start;
        s.playbackEnd = choice.end;
        app.SetServerAutoMode(choice.autoMode);
    } else if (choice.autoMode) {
        host.Message("Start Time is greater than End Time!\nAuto Mode is Disabled.", Icon::Stop);
        app.SetServerAutoMode(false);
        kept = false;
    } else {
        app.SetServerAutoMode(false);  // manual mode needs no range
    }
    if (choice.enabled)
        server.EnableServer();
    else
        server.DisableServer();
    return kept;
}

CServerSetupDialog::CServerSetupDialog(CDataAcqApp& app, CDDEServer& server, IHostServices& host,
                                       std::vector<PlaybackPosition> positions)
    : m_app(app), m_server(server), m_host(host), m_positions(std::move(positions)) {
    const ServerState& s = app.GetServerState();
    m_bAutoMode = app.GetServerAutoMode();
    m_nSlider = SliderOfTimer(app.GetServerTimer());
    m_bEnable = s.enabled;
    const int last = static_cast<int>(m_positions.size()) - 1;
    m_nStart = IndexOf(s.playbackStart, m_positions.empty() ? -1 : 0);
    m_nEnd = IndexOf(s.playbackEnd, last);
    RefreshStatus();
}

int CServerSetupDialog::IndexOf(int32_t position, int fallback) const {
    if (position == kNotSet) return fallback;
    for (std::size_t i = 0; i < m_positions.size(); ++i)
        if (m_positions[i].position == position) return static_cast<int>(i);
    return fallback;
}

int32_t CServerSetupDialog::PositionAt(int index, int32_t fallback) const {
    if (index < 0 || index >= static_cast<int>(m_positions.size())) return fallback;
    return m_positions[static_cast<std::size_t>(index)].position;
}

void CServerSetupDialog::RefreshStatus() {
    m_strStatus = m_server.StatusText();
}

bool CServerSetupDialog::StatusTimerWanted() const {
    return m_app.GetServerState().enabled;
}

ServerChoice CServerSetupDialog::Choice() const {
    const ServerState& s = m_app.GetServerState();
    ServerChoice c;
    c.enabled = m_bEnable;
    c.autoMode = m_bAutoMode;
    c.timer = TimerOfSlider(m_nSlider);
    c.start = PositionAt(m_nStart, s.playbackStart);
    c.end = PositionAt(m_nEnd, s.playbackEnd);
    return c;
}

bool CServerSetupDialog::CanApply() const {
    const ServerState& s = m_app.GetServerState();
    const ServerChoice c = Choice();
    return c.enabled != s.enabled || c.autoMode != m_app.GetServerAutoMode() ||
           c.timer != m_app.GetServerTimer() || c.start != s.playbackStart ||
           c.end != s.playbackEnd;
}

void CServerSetupDialog::Apply() {
    if (!ApplyServerChoice(m_app, m_server, m_host, Choice())) m_bAutoMode = false;
    RefreshStatus();
}

bool CServerSetupDialog::Ok() {
    const ServerChoice c = Choice();
    ServerState& s = m_app.GetServerState();
    if (m_bAutoMode) {
        if (c.start == kNotSet || c.end == kNotSet || c.start >= c.end) {
            m_host.Message("Start Time is greater than End Time!", Icon::Stop);
            return false;
        }
        m_app.SetServerTimer(c.timer);
        s.playbackStart = c.start;
        s.playbackEnd = c.end;
        m_app.SetServerAutoMode(true);
    } else {
        m_app.SetServerAutoMode(false);
        m_server.EnableServer();
    }
    if (m_bEnable)
        m_server.EnableServer();
    else
        m_server.DisableServer();
    return true;
}

}  // namespace orvex
