#include "views/SelectionDialogs.h"

#include <algorithm>

namespace orvex {

CSessionSelectDialog::CSessionSelectDialog(IHostServices& host, std::string title,
                                           std::vector<CDatasetList> available,
                                           std::vector<CDatasetList> selected, int channelCount)
    : m_host(host),
      m_strTitle(std::move(title)),
      m_available(std::move(available)),
      m_selected(std::move(selected)),
      m_nChannels(channelCount) {}

bool CSessionSelectDialog::Add(int available) {
    if (available < 0 || available >= static_cast<int>(m_available.size())) return false;
    if (m_nChannels > 1 && !m_selected.empty()) {
        m_host.Message(kMultipleSessionsRefused, Icon::Warning);
        return false;
    }
    m_selected.push_back(m_available[static_cast<std::size_t>(available)]);
    return true;
}

void CSessionSelectDialog::Remove(int selected) {
    if (selected < 0 || selected >= static_cast<int>(m_selected.size())) return;
    m_selected.erase(m_selected.begin() + selected);
    m_nHighlighted = -1;
}

bool CSessionSelectDialog::AddAll() {
    for (int i = 0; i < static_cast<int>(m_available.size()); ++i)
        if (!Add(i)) return false;
    return true;
}

void CSessionSelectDialog::RemoveAll() {
    m_selected.clear();
    m_nHighlighted = -1;
}

void CSessionSelectDialog::SetTimes(int selected, int32_t start, int32_t stop) {
    if (selected < 0 || selected >= static_cast<int>(m_selected.size())) return;
    CDatasetList& e = m_selected[static_cast<std::size_t>(selected)];
    e.m_lStart = start;
    e.m_lEnd = stop;
}

bool CSessionSelectDialog::Accept() {
    for (std::size_t i = 0; i < m_selected.size(); ++i) {
        const CDatasetList& e = m_selected[i];
        if (e.m_lStart != kNotSet && e.m_lEnd != kNotSet && e.m_lStart >= e.m_lEnd) {
            m_host.Message("Invalid Time Selection for Data Set '" + e.m_strName + "'!",
                           Icon::Warning);
            m_nHighlighted = static_cast<int>(i);
            return false;
        }
    }
    return true;
}

CChannelSelectDialog::CChannelSelectDialog(IHostServices& host, std::vector<CChannelList> available,
                                           std::vector<CChannelList> selected, int sessionCount)
    : m_host(host),
      m_available(std::move(available)),
      m_selected(std::move(selected)),
      m_nSessions(sessionCount) {}

bool CChannelSelectDialog::Add(int available) {
    if (available < 0 || available >= static_cast<int>(m_available.size())) return false;
    const CChannelList& c = m_available[static_cast<std::size_t>(available)];
    if (!m_selected.empty() && m_selected.front().m_nCode != c.m_nCode) {
        m_host.Message(kChannelTypeRefused, Icon::Warning);
        return false;
    }
    if (m_nSessions > 1 && !m_selected.empty()) {
        m_host.Message(kMultipleChannelsRefused, Icon::Warning);
        return false;
    }
    m_selected.push_back(c);
    return true;
}

void CChannelSelectDialog::Remove(int selected) {
    if (selected < 0 || selected >= static_cast<int>(m_selected.size())) return;
    m_selected.erase(m_selected.begin() + selected);
}

bool CChannelSelectDialog::AddAll() {
    for (int i = 0; i < static_cast<int>(m_available.size()); ++i)
        if (!Add(i)) return false;
    return true;
}

void CChannelSelectDialog::RemoveAll() {
    m_selected.clear();
}

void CChannelSelectDialog::SetBands(int selected, float minimum, float maximum, float increment) {
    if (selected < 0 || selected >= static_cast<int>(m_selected.size())) return;
    CChannelList& c = m_selected[static_cast<std::size_t>(selected)];
    c.m_fMinimum = minimum;
    c.m_fMaximum = maximum;
    c.m_fIncrement = increment;
}

void CHistogramSelection::SetSessions(std::vector<CDatasetList> chosen, Units units) {
    sessions = std::move(chosen);
    available = AvailableChannels(sessions, units);
    std::erase_if(channels, [this](const CChannelList& c) {
        return std::none_of(available.begin(), available.end(),
                            [&c](const CChannelList& a) { return a.m_strName == c.m_strName; });
    });
}

}  // namespace orvex
