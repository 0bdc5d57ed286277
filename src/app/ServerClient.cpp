#include "app/ServerClient.h"

#include <bit>
#include <cstring>

#include "graph/MarkerValues.h"
#include "model/Dataset.h"

namespace orvex {

namespace {

bool IsSeparator(char c) {
    return c == ',' || c == ' ';
}

// A decimal channel number at the start of `rest`; -1 when there is none or it is too long.
int32_t LeadingNumber(std::string_view rest) {
    int32_t n = 0;
    std::size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') {
        if (digits == 6) return -1;
        n = n * 10 + (rest[digits] - '0');
        ++digits;
    }
    return digits == 0 ? -1 : n;
}

template <class List>
std::string JoinPresent(const CBriodashDataset* ds, int count, char letter, List present) {
    std::string out;
    if (!ds) return out;
    for (int ch = 1; ch <= count; ++ch) {
        std::string description;
        if (!present(*ds, ch, description)) continue;
        if (!out.empty()) out += ", ";
        out += letter;
        out += std::to_string(ch);
        out += ':';
        out += description;
    }
    return out;
}

}  // namespace

std::vector<ChannelEntry> ParseChannelOrder(std::string_view text) {
    text = text.substr(0, std::min(text.size(), kChannelOrderLength));
    std::vector<ChannelEntry> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsSeparator(text[i])) ++i;
        if (i >= text.size()) break;
        std::size_t end = i;
        while (end < text.size() && !IsSeparator(text[end])) ++end;
        std::string_view token = text.substr(i, end - i);
        i = end;
        ChannelEntry e;
        e.kind = token[0];
        switch (e.kind) {
            case 'A':
            case 'D':
            case 'R':
                e.number = LeadingNumber(token.substr(1));
                break;
            case 'X':
                e.number = token.size() > 1 && token[1] == 'T'   ? 0
                           : token.size() > 1 && token[1] == 'D' ? 1
                                                                 : -1;
                break;
            default:
                break;
        }
        out.push_back(e);
    }
    return out;
}

bool RpmChannelPresent(const CBriodashDataset& ds, int channel) {
    return channel >= 1 && channel <= kRpmChannels && ds.m_carSetup.FindRpmSetup(channel) &&
           !ds.m_rpm[static_cast<std::size_t>(channel - 1)].IsEmpty();
}

bool AnalogChannelPresent(const CBriodashDataset& ds, int channel) {
    return channel >= 1 && channel <= kAnalogChannels && ds.m_carSetup.FindAnalogSetup(channel) &&
           !ds.m_analog[static_cast<std::size_t>(channel - 1)].IsEmpty();
}

bool DigitalChannelPresent(const CBriodashDataset& ds, int channel) {
    return channel >= 1 && channel <= kDigitalChannels && ds.m_carSetup.FindDigitalSetup(channel) &&
           !ds.m_digital[static_cast<std::size_t>(channel - 1)].IsEmpty();
}

bool DatasetHasDistance(const CBriodashDataset& ds) {
    return HasDistance(ds);
}

bool ChannelEntryValid(const CBriodashDataset* ds, const ChannelEntry& e) {
    switch (e.kind) {
        case 'X':
            if (e.number == 0) return true;
            return e.number == 1 && ds && DatasetHasDistance(*ds);
        case 'A':
            return ds && AnalogChannelPresent(*ds, e.number);
        case 'D':
            return ds && DigitalChannelPresent(*ds, e.number);
        case 'R':
            return ds && RpmChannelPresent(*ds, e.number);
        default:
            return true;  // a slot that is never filled
    }
}

std::string XAxisListText(const CBriodashDataset* ds) {
    std::string out = "XT:Time";
    if (ds && DatasetHasDistance(*ds)) out += ", XD:Distance";
    return out;
}

std::string RpmListText(const CBriodashDataset* ds) {
    return JoinPresent(ds, kRpmChannels, 'R',
                       [](const CBriodashDataset& d, int ch, std::string& description) {
                           if (!RpmChannelPresent(d, ch)) return false;
                           description = d.m_carSetup.FindRpmSetup(ch)->m_strDescription;
                           return true;
                       });
}

std::string AnalogListText(const CBriodashDataset* ds) {
    return JoinPresent(ds, kAnalogChannels, 'A',
                       [](const CBriodashDataset& d, int ch, std::string& description) {
                           if (!AnalogChannelPresent(d, ch)) return false;
                           description = d.m_carSetup.FindAnalogSetup(ch)->m_strDescription;
                           return true;
                       });
}

std::string DigitalListText(const CBriodashDataset* ds) {
    return JoinPresent(ds, kDigitalChannels, 'D',
                       [](const CBriodashDataset& d, int ch, std::string& description) {
                           if (!DigitalChannelPresent(d, ch)) return false;
                           description = d.m_carSetup.FindDigitalSetup(ch)->m_strDescription;
                           return true;
                       });
}

void CAdvReqClient::Append(const ChannelEntry& e) {
    if (static_cast<std::size_t>(m_nEntries) == m_entries.size())
        m_entries.resize(m_entries.size() * 2);
    m_entries[static_cast<std::size_t>(m_nEntries++)] = e;
}

void CAdvReqClient::SetChannelOrder(std::string_view text, const CBriodashDataset* ds) {
    m_strOrder = std::string(text);
    m_nEntries = 0;
    for (const ChannelEntry& e : ParseChannelOrder(text)) {
        if (!ChannelEntryValid(ds, e)) {
            m_nEntries = 0;
            return;
        }
        Append(e);
    }
}

std::vector<uint8_t> CAdvReqClient::ValueBlock() const {
    std::vector<uint8_t> out(static_cast<std::size_t>(m_nEntries) * 8);
    for (int32_t i = 0; i < m_nEntries; ++i) {
        uint64_t bits = std::bit_cast<uint64_t>(m_entries[static_cast<std::size_t>(i)].value);
        for (int b = 0; b < 8; ++b)
            out[static_cast<std::size_t>(i) * 8 + static_cast<std::size_t>(b)] =
                static_cast<uint8_t>(bits >> (8 * b));
    }
    return out;
}

}  // namespace orvex
