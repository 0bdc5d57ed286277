// The rules of the "Select Sessions for Histogram" dialog (also the traction circle's
// "Traction Circle" lap choice) and of "Select which Channels for Histogram".
#pragma once

#include <string>
#include <vector>

#include "host/HostServices.h"
#include "views/Histogram.h"

namespace orvex {

inline constexpr const char* kMultipleSessionsRefused =
    "Multiple data sets NOT allowed when multiple channels selected!";
inline constexpr const char* kMultipleChannelsRefused =
    "Multiple channels NOT allowed when multiple data sets selected!";
inline constexpr const char* kChannelTypeRefused =
    "Can NOT add selected channel!.\nChannel type does NOT match already selected type.";

class CSessionSelectDialog {
  public:
    // `channelCount`: channels selected in the view (0 for the traction circle).
    CSessionSelectDialog(IHostServices& host, std::string title,
                         std::vector<CDatasetList> available, std::vector<CDatasetList> selected,
                         int channelCount);

    const std::string& Title() const { return m_strTitle; }
    const std::vector<CDatasetList>& Available() const { return m_available; }
    const std::vector<CDatasetList>& Selected() const { return m_selected; }
    int Highlighted() const { return m_nHighlighted; }

    // ">> Add" of an available entry; false (after the message) when refused.
    bool Add(int available);
    void Remove(int selected);
    bool AddAll();
    void RemoveAll();
    // The "Start Time" and "Stop Time" choices of a selected entry (kNotSet: data ends).
    void SetTimes(int selected, int32_t start, int32_t stop);
    // "OK": false, with the message and that entry highlighted, when an entry's times are
    // both set and its start is not below its stop.
    bool Accept();

  private:
    IHostServices& m_host;
    std::string m_strTitle;
    std::vector<CDatasetList> m_available, m_selected;
    int m_nChannels;
    int m_nHighlighted = -1;
};

class CChannelSelectDialog {
  public:
    // `sessionCount`: sessions selected in the view.
    CChannelSelectDialog(IHostServices& host, std::vector<CChannelList> available,
                         std::vector<CChannelList> selected, int sessionCount);

    const std::vector<CChannelList>& Available() const { return m_available; }
    const std::vector<CChannelList>& Selected() const { return m_selected; }

    bool Add(int available);
    void Remove(int selected);
    bool AddAll();
    void RemoveAll();
    // The "Channel Setup" fields of the selected channel under the caret.
    void SetBands(int selected, float minimum, float maximum, float increment);

  private:
    IHostServices& m_host;
    std::vector<CChannelList> m_available, m_selected;
    int m_nSessions;
};

// The histogram's selection: sessions, the channels they offer, the chosen channels.
struct CHistogramSelection {
    std::vector<CDatasetList> sessions;
    std::vector<CChannelList> available;
    std::vector<CChannelList> channels;

    // New sessions: the available channels are rebuilt and chosen channels that are no
    // longer offered (by name) are dropped.
    void SetSessions(std::vector<CDatasetList> chosen, Units units);
};

}  // namespace orvex
