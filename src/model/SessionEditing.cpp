// The rename and comments dialogs' fields.
#include "model/SessionEditing.h"

namespace orvex {

namespace {

std::vector<std::string> Names(const std::vector<CBriodashDataset*>& sessions) {
    std::vector<std::string> out;
    for (const CBriodashDataset* ds : sessions) out.push_back(ds->m_strName);
    return out;
}

// The comment lines as a text field edits them: one "\n" between lines.
std::string EditText(const CBriodashDataset& ds) {
    std::string text;
    for (std::size_t i = 0; i < ds.m_lstComments.size(); ++i)
        text += (i ? "\n" : "") + ds.m_lstComments[i];
    return text;
}

std::vector<std::string> Comments(const std::vector<CBriodashDataset*>& sessions) {
    std::vector<std::string> out;
    for (const CBriodashDataset* ds : sessions) out.push_back(EditText(*ds));
    return out;
}

// Back to the stored form, lines joined by "\r\n".
std::string StoredText(const std::string& edited) {
    std::string out;
    for (char c : edited) {
        if (c == '\r') continue;
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

CSessionTexts::CSessionTexts(CBriodashDoc& doc, const char* field, std::vector<std::string> texts)
    : m_doc(doc), m_sessions(doc.ShownDatasets()), m_texts(std::move(texts)) {
    m_session.items = Names(m_sessions);
    m_session.selected = m_sessions.empty() ? -1 : 0;
    Bind("session", m_session);
    Bind(field, m_text);
    Show();
}

void CSessionTexts::Show() {
    m_text.enabled = m_session.selected >= 0;
    m_text.text = m_text.enabled ? m_texts[static_cast<std::size_t>(m_session.selected)] : "";
}

void CSessionTexts::Changed(const std::string& name) {
    if (name == "session")
        Show();
    else if (m_session.selected >= 0)
        m_texts[static_cast<std::size_t>(m_session.selected)] = m_text.text;
}

CRenameSessions::CRenameSessions(CBriodashDoc& doc)
    : CSessionTexts(doc, "name", Names(doc.ShownDatasets())) {}

void CRenameSessions::Changed(const std::string& name) {
    CSessionTexts::Changed(name);
    // The list shows the names as edited.
    if (name != "session" && m_session.selected >= 0)
        m_session.items[static_cast<std::size_t>(m_session.selected)] = m_text.text;
}

bool CRenameSessions::Accept() {
    for (std::size_t i = 0; i < m_texts.size(); ++i)
        if (m_texts[i].empty()) {
            m_session.selected = static_cast<int>(i);
            Show();
            return m_doc.Rename(*m_sessions[i], m_texts[i]);  // refused, with the message
        }
    for (std::size_t i = 0; i < m_texts.size(); ++i) m_doc.Rename(*m_sessions[i], m_texts[i]);
    return true;
}

CSessionComments::CSessionComments(CBriodashDoc& doc)
    : CSessionTexts(doc, "comments", Comments(doc.ShownDatasets())) {}

bool CSessionComments::Accept() {
    for (std::size_t i = 0; i < m_texts.size(); ++i)
        if (m_texts[i] != EditText(*m_sessions[i]))
            m_doc.SetComments(*m_sessions[i], StoredText(m_texts[i]));
    return true;
}

}  // namespace orvex
