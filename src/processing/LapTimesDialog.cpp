// The "Lap Times Report" dialog's fields.
#include "processing/LapTimesDialog.h"

#include "model/Document.h"

namespace orvex {

CLapTimesDialog::CLapTimesDialog(CLapTimesReport& report, CBriodashDoc& doc)
    : m_report(report), m_doc(doc), m_host(doc.Host()) {
    Bind("session", m_session);
    Bind("lines", m_lines);
    Bind("entry", m_entry);
    Bind("prompt", m_prompt);
    Bind("elapsed", m_elapsed);
    Bind("relative", m_relative);
    Bind("deleteLap", m_deleteLap);
    Bind("updateElapsed", m_updateElapsed);
    m_entry.SetPattern(R"(\s*-?[0-9:.]*\s*)");
    m_entry.tip = "mmm:ss.sss";
    Show();
}

void CLapTimesDialog::Show() {
    m_session.items = m_report.SessionNames();
    m_session.selected = m_report.CurrentSession();
    m_lines.items = m_report.Lines();
    m_lines.selected = m_report.SelectedLine();
    m_updateElapsed.checked = m_report.m_bUpdateElapsed;
    const bool any = m_report.CurrentSession() >= 0;
    const std::optional<std::string> relative = m_report.RelativePrompt();
    m_prompt.text = relative ? *relative : CLapTimesReport::ElapsedPrompt();
    m_elapsed.enabled = any;
    m_relative.enabled = relative.has_value();
    m_deleteLap.enabled = any;
    m_entry.enabled = any;
}

void CLapTimesDialog::Changed(const std::string& name) {
    if (name == "session" && m_session.selected >= 0) m_report.SelectSession(m_session.selected);
    if (name == "lines") m_report.SelectLine(m_lines.selected);
    if (name == "updateElapsed") m_report.m_bUpdateElapsed = m_updateElapsed.checked;
    Show();
}

void CLapTimesDialog::Clicked(const std::string& name) {
    bool changed = false;
    if (name == "elapsed") changed = m_report.InsertElapsed(m_entry.text, m_host);
    if (name == "relative") changed = m_report.InsertRelative(m_entry.text, m_host);
    if (name == "deleteLap") changed = m_report.DeleteSelected(m_host);
    if (changed && name != "deleteLap") m_entry.text.clear();
    Show();
}

bool CLapTimesDialog::Accept() {
    m_written.clear();
    const bool ok = m_report.Ok(m_host, &m_written);
    if (!m_written.empty()) {
        m_doc.m_bModified = true;
        m_doc.UpdateAllViews(kHintRepaint);
    }
    Show();
    return ok;
}

}  // namespace orvex
