// The delete-data dialog's choice of a cut point.
#include "model/DeleteDataSelection.h"

namespace orvex {

namespace {
const char* const kGroupNames[] = {"", "Green Marker", "Red Marker", "Lap Marker"};
const char* const kGroupKeys[] = {"", "green", "red", "lap"};
}  // namespace

CDeleteDataSelection::CDeleteDataSelection(IHostServices& host) : m_host(host) {
    for (int g = Green; g <= Lap; ++g) {
        Bind(std::string(kGroupKeys[g]) + "Before", m_before[g]);
        Bind(std::string(kGroupKeys[g]) + "After", m_after[g]);
    }
    Bind("wholeDataset", m_wholeDataset);
}

void CDeleteDataSelection::Show() {
    for (int g = Green; g <= Lap; ++g) {
        m_before[g].checked = m_group == g && m_bBefore;
        m_after[g].checked = m_group == g && m_bAfter;
    }
    m_wholeDataset.checked = m_bWholeDataset;
}

void CDeleteDataSelection::Choose(Group group, bool before) {
    if (m_group == group) {
        // Clicking a chosen option again clears it.
        bool& option = before ? m_bBefore : m_bAfter;
        option = !option;
        if (!m_bBefore && !m_bAfter) m_group = None;
        Show();
        return;
    }
    if (m_group != None) {
        const std::string q = std::string(kGroupNames[group]) + " selection overlaps " +
                              kGroupNames[m_group] + " selection.\nRemove " + kGroupNames[m_group] +
                              " selection?";
        if (m_host.Ask(q, Buttons::YesNo, Answer::No) != Answer::Yes) {
            Show();
            return;
        }
    }
    m_group = group;
    m_bBefore = before;
    m_bAfter = !before;
    m_bWholeDataset = false;
    Show();
}

bool CDeleteDataSelection::ChooseWholeDataset() {
    if (m_group != None) {
        if (m_host.Ask("Entire Data-Set selection overlaps other marker selection(s).\n"
                       "Remove other marker selection(s)?",
                       Buttons::YesNo, Answer::No) != Answer::Yes) {
            Show();
            return m_bWholeDataset;
        }
        m_group = None;
        m_bBefore = m_bAfter = false;
    }
    m_bWholeDataset = true;
    Show();
    return true;
}

void CDeleteDataSelection::Changed(const std::string& name) {
    if (name == "wholeDataset") {
        if (m_bWholeDataset) {
            m_bWholeDataset = false;  // clicked again: cleared
            Show();
        } else {
            ChooseWholeDataset();
        }
        return;
    }
    for (int g = Green; g <= Lap; ++g)
        for (bool before : {true, false})
            if (name == std::string(kGroupKeys[g]) + (before ? "Before" : "After"))
                Choose(static_cast<Group>(g), before);
}

}  // namespace orvex
