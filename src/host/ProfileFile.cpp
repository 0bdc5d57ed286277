#include "host/ProfileFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "host/FileBytes.h"

namespace orvex {

namespace {

CProfileFile::SaveFaultHook& FaultHook() {
    static CProfileFile::SaveFaultHook hook;
    return hook;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

std::string OneLine(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

}  // namespace

int32_t ParseProfileInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t{INT32_MAX} + 1) value = int64_t{INT32_MAX} + 1;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int32_t>(value);
}

bool CProfileFile::Load(const std::string& path, int* error) {
    Clear();
    std::string text;
    // A settings file is a few kilobytes; anything far larger is not one.
    if (!ReadWholeFile(path, text, error, kSettingsFileLimit)) return false;
    Parse(text);
    if (error) *error = 0;
    return true;
}

void CProfileFile::Parse(std::string_view text) {
    Clear();
    while (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    m_sections.push_back(Section{});
    bool first = true;
    while (!text.empty()) {
        auto end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!raw.empty() && raw.back() == '\r' && first) m_bCrLf = true;
        while (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        first = false;

        std::string_view t = Trim(raw);
        if (!t.empty() && t.front() == '[') {
            auto close = t.find(']');
            std::string_view name = Trim(
                t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            Section s;
            s.name = std::string(name);
            s.hasHeader = true;
            s.header = std::string(raw);
            m_sections.push_back(std::move(s));
            continue;
        }
        Line line;
        line.text = std::string(raw);
        auto eq = t.find('=');
        if (!t.empty() && t.front() != ';' && t.front() != '#' && eq != std::string_view::npos) {
            line.key = std::string(Trim(t.substr(0, eq)));
            line.value = std::string(Trim(t.substr(eq + 1)));
            line.isKey = !line.key.empty();
        }
        m_sections.back().lines.push_back(std::move(line));
    }
}

std::string CProfileFile::Text() const {
    const char* eol = m_bCrLf ? "\r\n" : "\n";
    std::string out;
    for (const Section& s : m_sections) {
        if (s.hasHeader) out += s.header + eol;
        for (const Line& l : s.lines) out += l.text + eol;
    }
    return out;
}

void CProfileFile::SetSaveFaultHook(SaveFaultHook hook) {
    FaultHook() = std::move(hook);
}

bool CProfileFile::Save(const std::string& path, int* error) const {
    const AtomicWriteResult result = WriteFileAtomically(path, Text(), FaultHook());
    if (error) *error = result.error;
    return static_cast<bool>(result);
}

CProfileFile::Section* CProfileFile::FindSection(std::string_view name) {
    for (Section& s : m_sections)
        if (s.hasHeader && SameName(s.name, name)) return &s;
    return nullptr;
}

const CProfileFile::Section* CProfileFile::FindSection(std::string_view name) const {
    for (const Section& s : m_sections)
        if (s.hasHeader && SameName(s.name, name)) return &s;
    return nullptr;
}

std::optional<std::string> CProfileFile::Get(std::string_view section, std::string_view key) const {
    section = Trim(section);
    key = Trim(key);
    for (const Section& s : m_sections) {
        if (!s.hasHeader || !SameName(s.name, section)) continue;
        for (const Line& l : s.lines)
            if (l.isKey && SameName(l.key, key)) return l.value;
    }
    return std::nullopt;
}

std::string CProfileFile::GetString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
    auto v = Get(section, key);
    return v ? *v : std::string(defaultValue);
}

int32_t CProfileFile::GetInt(std::string_view section, std::string_view key,
                             int32_t defaultValue) const {
    auto v = Get(section, key);
    return v ? ParseProfileInt(*v) : defaultValue;
}

void CProfileFile::Write(std::string_view section, std::string_view key, std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    std::string text = std::string(key) + "=" + OneLine(value);
    for (Section& s : m_sections) {
        if (!s.hasHeader || !SameName(s.name, section)) continue;
        for (Line& l : s.lines) {
            if (l.isKey && SameName(l.key, key)) {
                l.text = l.key + "=" + OneLine(value);
                l.value = std::string(Trim(OneLine(value)));
                return;
            }
        }
    }
    Line line;
    line.text = text;
    line.key = std::string(key);
    line.value = std::string(Trim(OneLine(value)));
    line.isKey = true;

    Section* s = FindSection(section);
    if (!s) {
        bool empty = true;
        for (const Section& other : m_sections)
            if (other.hasHeader || !other.lines.empty()) empty = false;
        // A blank line between the last section and the new one.
        if (!empty) {
            Section& last = m_sections.back();
            if (last.lines.empty() ? last.hasHeader : !Trim(last.lines.back().text).empty())
                last.lines.push_back(Line{});
        }
        Section fresh;
        fresh.name = std::string(section);
        fresh.hasHeader = true;
        fresh.header = "[" + fresh.name + "]";
        m_sections.push_back(std::move(fresh));
        s = &m_sections.back();
    }
    // After the last key of the section, so that blank lines and comments before the next
    // header stay where they are.
    std::size_t at = 0;
    for (std::size_t i = 0; i < s->lines.size(); ++i)
        if (s->lines[i].isKey) at = i + 1;
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

bool CProfileFile::DeleteKey(std::string_view section, std::string_view key) {
    section = Trim(section);
    key = Trim(key);
    bool removed = false;
    for (Section& s : m_sections) {
        if (!s.hasHeader || !SameName(s.name, section)) continue;
        std::erase_if(s.lines, [&](const Line& l) {
            bool match = l.isKey && SameName(l.key, key);
            removed |= match;
            return match;
        });
    }
    return removed;
}

bool CProfileFile::DeleteSection(std::string_view section) {
    section = Trim(section);
    auto n = std::erase_if(
        m_sections, [&](const Section& s) { return s.hasHeader && SameName(s.name, section); });
    return n > 0;
}

void CProfileFile::Clear() {
    m_sections.clear();
    m_bCrLf = false;
}

bool CProfileFile::HasSection(std::string_view section) const {
    return FindSection(Trim(section)) != nullptr;
}

std::vector<std::string> CProfileFile::Sections() const {
    std::vector<std::string> names;
    for (const Section& s : m_sections) {
        if (!s.hasHeader) continue;
        bool seen = false;
        for (const auto& n : names) seen |= SameName(n, s.name);
        if (!seen) names.push_back(s.name);
    }
    return names;
}

std::vector<std::pair<std::string, std::string>> CProfileFile::Entries(
    std::string_view section) const {
    section = Trim(section);
    std::vector<std::pair<std::string, std::string>> out;
    for (const Section& s : m_sections) {
        if (!s.hasHeader || !SameName(s.name, section)) continue;
        for (const Line& l : s.lines) {
            if (!l.isKey) continue;
            bool seen = false;
            for (const auto& e : out) seen |= SameName(e.first, l.key);
            if (!seen) out.emplace_back(l.key, l.value);
        }
    }
    return out;
}

}  // namespace orvex
