// The "Select Channels to Export" dialog.
#include "files/ExportDialog.h"

#include <algorithm>

namespace orvex {

CExportChannelsDialog::CExportChannelsDialog(CBriodashDoc& doc, const CBriodashDataset* current,
                                             ExportOptions options, FileChooser chooseFile)
    : m_doc(doc),
      m_sessions(doc.ShownDatasets(true)),
      m_options(options),
      m_chooseFile(std::move(chooseFile)) {
    for (std::size_t i = 0; i < m_sessions.size(); ++i) {
        m_session.items.push_back(m_sessions[i]->m_strName);
        if (m_sessions[i] == current) m_session.selected = static_cast<int>(i);
    }
    if (m_session.selected < 0 && !m_sessions.empty()) m_session.selected = 0;
    m_available.multiple = m_selected.multiple = true;
    Bind("session", m_session);
    Bind("available", m_available);
    Bind("selected", m_selected);
    Bind("add", m_add);
    Bind("remove", m_remove);
    Bind("addAll", m_addAll);
    Bind("removeAll", m_removeAll);
    Bind("rate", m_rate);
    Changed("session");
}

CBriodashDataset* CExportChannelsDialog::Current() const {
    if (m_session.selected < 0 || m_session.selected >= static_cast<int>(m_sessions.size()))
        return nullptr;
    return m_sessions[static_cast<std::size_t>(m_session.selected)];
}

double CExportChannelsDialog::Rate() const {
    if (m_rates.selected < 0) return 0;
    return m_rates.rates[static_cast<std::size_t>(m_rates.selected)];
}

void CExportChannelsDialog::Show() {
    m_available.items.clear();
    m_selected.items.clear();
    m_availableBits.clear();
    m_selectedBits.clear();
    for (const ExportChannel& c : m_channels) {
        const bool chosen = (m_mask & c.bit) != 0;
        (chosen ? m_selected.items : m_available.items).push_back(c.text);
        (chosen ? m_selectedBits : m_availableBits).push_back(c.bit);
    }
    for (ChoiceField* list : {&m_available, &m_selected}) {
        list->marked.clear();
        list->selected = -1;
    }
    // The rates of the selected channels, the chosen one kept while it is offered.
    const CBriodashDataset* ds = Current();
    m_rates = ds ? ExportRates(*ds, m_mask, m_previousRate) : ExportRateList{};
    m_rate.items = m_rates.texts;
    m_rate.selected = m_rates.selected;
    m_rate.enabled = m_rates.selected >= 0;
    if (m_rates.selected >= 0) m_previousRate = m_rates.rates[std::size_t(m_rates.selected)];
    m_add.enabled = m_addAll.enabled = !m_availableBits.empty();
    m_remove.enabled = m_removeAll.enabled = !m_selectedBits.empty();
}

void CExportChannelsDialog::Changed(const std::string& name) {
    if (name == "session") {
        const CBriodashDataset* ds = Current();
        m_channels = ds ? ExportChannels(*ds) : std::vector<ExportChannel>{};
        m_mask = 0;
        Show();
    } else if (name == "rate" && m_rate.selected >= 0) {
        m_rates.selected = m_rate.selected;
        m_previousRate = m_rates.rates[static_cast<std::size_t>(m_rate.selected)];
    }
}

void CExportChannelsDialog::Move(const ChoiceField& from, bool add) {
    const std::vector<uint32_t>& bits = add ? m_availableBits : m_selectedBits;
    std::vector<int> rows = from.marked;
    if (rows.empty() && from.selected >= 0) rows.push_back(from.selected);
    for (int row : rows) {
        if (row < 0 || row >= static_cast<int>(bits.size())) continue;
        const uint32_t bit = bits[static_cast<std::size_t>(row)];
        m_mask = add ? (m_mask | bit) : (m_mask & ~bit);
    }
    Show();
}

void CExportChannelsDialog::Clicked(const std::string& name) {
    if (name == "add") {
        Move(m_available, true);
    } else if (name == "remove") {
        Move(m_selected, false);
    } else if (name == "addAll" || name == "removeAll") {
        m_mask = 0;
        if (name == "addAll")
            for (const ExportChannel& c : m_channels) m_mask |= c.bit;
        Show();
    }
}

bool CExportChannelsDialog::Accept() {
    CBriodashDataset* ds = Current();
    if (!ds) return false;
    const std::string path = m_chooseFile ? m_chooseFile() : std::string();
    if (path.empty()) return true;
    if (ExportAscii(path, *ds, m_mask, Rate(), m_options, m_doc.Host())) m_written = path;
    return true;
}

}  // namespace orvex
