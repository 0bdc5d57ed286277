// Enabling the data server, starting the suspension program and the playback timer.
#include <cstdio>

#include "app/DataAcqApp.h"
#include "app/DataServer.h"
#include "host/HostServices.h"
#include "model/Units.h"

namespace orvex {

bool CDDEServer::SuspensionRunning() const {
    if (m_launcher.IsRunning()) return true;
    for (const auto& [id, conv] : m_conversations)
        if (conv->Topic() == ServerTopic::PlayBack) return true;
    return false;
}

void CDDEServer::RegisterService() {
    if (!m_bRegistered) m_bRegistered = m_transport.RegisterService();
}

bool CDDEServer::StartSuspensionProgram() {
    std::string path = m_app.GetSuspensionApp();
    if (path.empty() || !m_launcher.FileExists(path)) {
        std::optional<std::string> chosen = m_launcher.ChooseProgram();
        if (!chosen) {
            m_host.Message("Operation Aborted!", Icon::Warning);
            return false;
        }
        path = *chosen;
        m_app.SetSuspensionApp(path);
    }
    const std::string commandLine = path + " " + kSuspensionSwitch;
    const std::size_t slash = path.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string error = m_launcher.Start(path, {kSuspensionSwitch}, folder);
    if (!error.empty()) {
        m_host.Message("Failed to execute the Suspension Program @ " + commandLine + "\n" + error,
                       Icon::Stop);
        return false;
    }
    // The program can only connect to a name that is taken: take it before waiting.
    RegisterService();
    const long seen = m_connectsSeen;
    m_clock.WaitFor([this, seen] { return m_connectsSeen > seen; }, kSuspensionConnectWaitMs);
    return true;
}

bool CDDEServer::EnableServer() {
    ServerState& s = m_app.GetServerState();
    if (s.advises == 0 && !SuspensionRunning() && !StartSuspensionProgram()) return false;
    RegisterService();
    if (s.enabled) {
        if (PlaybackRunning()) {
            StopPlayback();
            if (m_app.GetServerAutoMode()) StartPlayback();
        } else if (s.advises > 0) {
            if (m_app.GetServerAutoMode()) {
                StartPlayback();
            } else if (m_window.GreenMarker() != kNotSet) {
                m_window.ShowMarkerView();
                if (!PostChannelData())
                    m_host.Message("EnableServer: Post Advise Failed!", Icon::Warning);
            }
        }
    }
    s.enabled = true;
    return true;
}

void CDDEServer::DisableServer() {
    ServerState& s = m_app.GetServerState();
    if (!s.enabled) return;
    StopPlayback();
    s.enabled = false;
}

bool CDDEServer::IsServerActive() const {
    const ServerState& s = m_app.GetServerState();
    return s.enabled && m_bRegistered && s.advises > 0 &&
           (!m_app.GetServerAutoMode() || PlaybackRunning());
}

bool CDDEServer::PlaybackRunning() const {
    return m_app.GetServerState().timerId != 0;
}

void CDDEServer::StartPlayback() {
    ServerState& s = m_app.GetServerState();
    if (s.playbackStart == kNotSet || s.playbackEnd == kNotSet) return;
    if (!PlaybackRunning() || s.playbackStart != m_rangeStart || s.playbackEnd != m_rangeEnd) {
        m_rangeStart = s.playbackStart;
        m_rangeEnd = s.playbackEnd;
    }
    s.periodMs = m_app.GetPlaybackPeriodMs();
    if (PlaybackRunning()) m_clock.StopTimer();
    if (!m_clock.StartTimer(s.periodMs)) {
        s.timerId = 0;
        m_host.Message("Timer Failed to Start!", Icon::Warning);
        return;
    }
    s.timerId = kPlaybackTimerId;
}

void CDDEServer::StopPlayback() {
    ServerState& s = m_app.GetServerState();
    if (s.timerId == 0) return;
    m_clock.StopTimer();
    s.timerId = 0;
}

void CDDEServer::OnPlaybackTick() {
    ServerState& s = m_app.GetServerState();
    if (!PlaybackRunning()) return;
    m_clock.StopTimer();
    s.timerId = 0;
    if (m_window.CurrentDataset()) {
        // At the end of the range (or past it) the walk starts again at its beginning: a range
        // that ends on the last data point would otherwise stand still there.
        const int32_t green = m_window.GreenMarker();
        if (green == kNotSet || green >= m_rangeEnd) m_window.ResetAndPlaceGreen(m_rangeStart);
        m_window.NudgeGreenRight();
        m_window.ShowMarkerView();
        if (!PostChannelData()) m_host.Message("Post Advise Failed!", Icon::Warning);
    }
    if (!m_clock.StartTimer(s.periodMs)) {
        m_host.Message("Timer Failed to Start!", Icon::Warning);
        return;
    }
    s.timerId = kPlaybackTimerId;
}

std::string CDDEServer::StatusText() const {
    const ServerState& s = m_app.GetServerState();
    if (!m_bRegistered) return "Server Not Installed";
    if (s.enabled) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "Server Active, %1d Client(s)", s.advises);
        return buf;
    }
    return "Server Installed but Disabled";
}

}  // namespace orvex
