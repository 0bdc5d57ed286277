// The "ET Slip Report" dialog's fields.
#include "processing/EtSlipDialog.h"

#include "processing/LapView.h"

namespace orvex {

CEtSlipDialog::CEtSlipDialog(CEtSlipReport& report, CBriodashDoc& doc, int32_t green, int32_t red)
    : m_report(report),
      m_launchChoices(report.LaunchChoices(green, red)),
      m_doc(doc),
      m_host(doc.Host()) {
    for (const CEtSlipReport::Session& s : report.Sessions())
        m_session.items.push_back(s.dataset ? s.dataset->m_strName : std::string());
    for (const TimeChoice& c : m_launchChoices) m_launchFrom.items.push_back(c.text);
    Bind("session", m_session);
    Bind("launchFrom", m_launchFrom);
    Bind("launch", m_launch);
    for (int k = 0; k < kEtFields; ++k) {
        Bind("et" + std::to_string(k), m_elapsed[k]);
        m_elapsed[k].tip = kEtFieldCaptions[static_cast<std::size_t>(k)];
        if (k > 0) Bind("inc" + std::to_string(k), m_incremental[k]);
    }
    Bind("apply", m_apply);
    Show();
}

void CEtSlipDialog::Show() {
    m_session.selected = m_report.CurrentSession();
    const bool any = m_session.selected >= 0;
    m_launchFrom.enabled = m_launch.enabled = m_apply.enabled = any;
    if (m_launchFrom.selected < 0 && !m_launchFrom.items.empty()) m_launchFrom.selected = 0;
    m_launch.text = any ? m_report.LaunchText() : "";
    m_launch.error = false;
    for (int k = 0; k < kEtFields; ++k) {
        m_elapsed[k].enabled = any;
        m_elapsed[k].text = any ? m_report.FieldText(k) : "";
        m_elapsed[k].error = false;
        if (k > 0) m_incremental[k].text = any ? m_report.IncrementalText(k) : "";
    }
}

void CEtSlipDialog::Changed(const std::string& name) {
    if (name == "session") {
        m_report.SelectSession(m_session.selected);
        Show();
    } else if (name == "launchFrom" && m_launchFrom.selected >= 0) {
        m_report.ChooseLaunch(m_launchChoices[static_cast<std::size_t>(m_launchFrom.selected)]);
        Show();
    }
}

bool CEtSlipDialog::Edited(const std::string& name) {
    bool taken = true;
    if (name == "launch") {
        taken = m_report.SetLaunchText(m_launch.text, m_host);
        m_launch.error = !taken;
    }
    for (int k = 0; k < kEtFields; ++k)
        if (name == "et" + std::to_string(k)) {
            taken = m_report.SetFieldText(k, m_elapsed[k].text, m_host);
            m_elapsed[k].error = !taken;
        }
    if (taken) Show();
    return taken;
}

void CEtSlipDialog::Clicked(const std::string& name) {
    if (name == "apply") Apply();
}

void CEtSlipDialog::Apply() {
    m_report.Apply();
    m_bApplied = true;
    for (const CEtSlipReport::Session& s : m_report.Sessions())
        if (s.dataset) RebuildLapDatasets(m_doc, *s.dataset);
    m_doc.m_bModified = true;
    m_doc.UpdateAllViews(kHintRepaint);
}

bool CEtSlipDialog::Accept() {
    Apply();
    return true;
}

}  // namespace orvex
