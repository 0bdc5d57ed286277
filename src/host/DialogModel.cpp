// Dialog fields, models, pages and sheets.
#include "host/DialogModel.h"

namespace orvex {

const std::string* ChoiceField::Text() const {
    if (selected < 0 || selected >= static_cast<int>(items.size())) return nullptr;
    return &items[static_cast<std::size_t>(selected)];
}

void ChoiceField::SelectText(const std::string& text) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) {
            selected = static_cast<int>(i);
            return;
        }
    selected = items.empty() ? -1 : 0;
}

bool TextField::SetPattern(const std::string& pattern, std::string* reason) {
    try {
        // Compiled aside first: a failure keeps the old pattern.
        std::regex compiled(pattern);
        m_pattern = std::move(compiled);
    } catch (const std::regex_error& e) {
        if (reason) *reason = e.what();
        return false;
    }
    return true;
}

bool TextField::Matches(const std::string& candidate) const {
    return !m_pattern || std::regex_match(candidate, *m_pattern);
}

void TextField::Type(const std::string& typed) {
    text = typed;
    error = !Matches(text);
}

std::vector<std::string> CDialogModel::BoundNames() const {
    std::vector<std::string> names;
    for (const NamedField& f : m_fields) {
        if (const auto* radio = std::get_if<RadioField*>(&f.field)) {
            for (int i = 0; i < (*radio)->options; ++i)
                names.push_back(f.name + "_" + std::to_string(i));
        } else {
            names.push_back(f.name);
        }
    }
    return names;
}

const NamedField* CDialogModel::Find(const std::string& name) const {
    for (const NamedField& f : m_fields)
        if (f.name == name) return &f;
    return nullptr;
}

void CDialogSheet::AddPage(IDialogPage& page) {
    m_pages.push_back(&page);
    if (m_nActive < 0) {
        m_nActive = 0;
        page.Refresh();
    }
}

IDialogPage* CDialogSheet::Active() const {
    return m_nActive < 0 ? nullptr : m_pages[static_cast<std::size_t>(m_nActive)];
}

bool CDialogSheet::SetActivePage(int page) {
    if (page < 0 || page >= Pages()) return false;
    if (page == m_nActive) return true;
    if (IDialogPage* old = Active(); old && !old->Store(true)) return false;
    m_nActive = page;
    m_pages[static_cast<std::size_t>(page)]->Refresh();
    return true;
}

bool CDialogSheet::StoreActive() const {
    IDialogPage* page = Active();
    return !page || page->Store(true);
}

}  // namespace orvex
