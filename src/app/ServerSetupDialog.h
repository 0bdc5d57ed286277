// The "Damplex Setup" dialog's state: manual or auto mode, the positions the playback runs
// between, the update speed and its rate label, "Enable Data Transfer" and the status line, with
// the rules of "Apply Settings" and OK. Also what the application-control call applies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvex {

class CBriodashDataset;
class CBriodashDoc;
class CDataAcqApp;
class CDDEServer;
class IHostServices;

// One entry of the "Beginning of Data" and "End of Data" lists: its text and position (a time
// relative to the dataset's zero).
struct PlaybackPosition {
    std::string text;
    int32_t position = 0;
    bool operator==(const PlaybackPosition&) const = default;
};

// The positions of the current dataset: its beginning, the markers, the drag-race or lap marks
// and its end. Empty without a dataset.
std::vector<PlaybackPosition> PlaybackPositions(const CBriodashDoc* doc, CBriodashDataset* ds);

// "Rate: 1.0 Sec." for a timer exponent.
std::string PlaybackRateText(int32_t timer);
// The slider position of a timer exponent and back (range 10 to 40, faster to the right).
inline int SliderOfTimer(int32_t timer) {
    return 50 - timer;
}
inline int32_t TimerOfSlider(int slider) {
    return 50 - slider;
}

// What "Apply Settings" stores and does.
struct ServerChoice {
    bool enabled = false;
    bool autoMode = false;
    int32_t timer = 30;
    int32_t start = 0;
    int32_t end = 0;
};
// Stores the timer and, when start < end, the range and mode (otherwise the message and auto
// mode off), then enables or disables the server. Returns whether auto mode stayed as chosen.
bool ApplyServerChoice(CDataAcqApp& app, CDDEServer& server, IHostServices& host,
                       const ServerChoice& choice);

class CServerSetupDialog {
  public:
    CServerSetupDialog(CDataAcqApp& app, CDDEServer& server, IHostServices& host,
                       std::vector<PlaybackPosition> positions);

    bool m_bAutoMode = false;
    int m_nStart = -1;  // index into Positions(), -1 when nothing is selected
    int m_nEnd = -1;
    int m_nSlider = 20;
    bool m_bEnable = false;

    const std::vector<PlaybackPosition>& Positions() const { return m_positions; }
    // The data-selection and speed controls.
    bool RangeControlsEnabled() const { return m_bAutoMode; }
    std::string RateText() const { return PlaybackRateText(TimerOfSlider(m_nSlider)); }
    const std::string& Status() const { return m_strStatus; }
    void RefreshStatus();
    // The status refresh timer runs while the server is enabled.
    bool StatusTimerWanted() const;

    bool CanApply() const;
    void Apply();
    // True when the dialog closes.
    bool Ok();

  private:
    int32_t PositionAt(int index, int32_t fallback) const;
    int IndexOf(int32_t position, int fallback) const;
    ServerChoice Choice() const;

    CDataAcqApp& m_app;
    CDDEServer& m_server;
    IHostServices& m_host;
    std::vector<PlaybackPosition> m_positions;
    std::string m_strStatus;
};

}  // namespace orvex
