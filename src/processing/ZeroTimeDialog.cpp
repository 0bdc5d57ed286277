// The "Set Zero Time" dialog's fields.
#include "processing/ZeroTimeDialog.h"

namespace orvex {

CZeroTimeDialog::CZeroTimeDialog(const std::vector<CBriodashDataset*>& sessions,
                                 ZeroTimeContext& context, IHostServices& host)
    : m_context(context), m_host(host) {
    for (CBriodashDataset* ds : sessions) {
        m_rows.push_back({ds, ZeroTimeChoices(*ds, context.green, context.red), 0, ""});
        m_session.items.push_back(ds->m_strName);
    }
    m_session.selected = m_rows.empty() ? -1 : 0;
    m_offset.tip = "mmm:ss.sss";
    Bind("session", m_session);
    Bind("zeroBy", m_zeroBy);
    Bind("offset", m_offset);
    ShowSession();
}

void CZeroTimeDialog::ShowSession() {
    m_zeroBy.items.clear();
    m_zeroBy.selected = -1;
    m_offset.text.clear();
    const bool any = m_session.selected >= 0;
    m_zeroBy.enabled = m_offset.enabled = any;
    if (!any) return;
    const Row& row = m_rows[static_cast<std::size_t>(m_session.selected)];
    for (const ZeroChoice& c : row.choices) m_zeroBy.items.push_back(c.text);
    m_zeroBy.selected = row.chosen;
    m_offset.text = row.offset;
}

void CZeroTimeDialog::Changed(const std::string& name) {
    if (m_session.selected < 0) return;
    if (name == "session") {
        ShowSession();
        return;
    }
    Row& row = m_rows[static_cast<std::size_t>(m_session.selected)];
    if (name == "zeroBy" && m_zeroBy.selected >= 0) row.chosen = m_zeroBy.selected;
    if (name == "offset") row.offset = m_offset.text;
}

bool CZeroTimeDialog::Accept() {
    std::vector<ZeroTimeRequest> requests;
    for (const Row& row : m_rows) {
        if (row.choices.empty()) continue;
        requests.push_back(
            {row.dataset, row.choices[static_cast<std::size_t>(row.chosen)], row.offset});
    }
    return ApplyZeroTimes(requests, m_context, m_host);
}

}  // namespace orvex
