#include "model/CarSetup.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "model/Dataset.h"
#include "model/RpmSetups.h"

namespace orvex {

namespace {

template <class List>
auto* FindByChannel(List& list, int channel) {
    auto it = std::find_if(list.begin(), list.end(),
                           [channel](const auto& s) { return s.m_nChannel == channel; });
    return it == list.end() ? nullptr : &*it;
}

template <class List>
bool RemoveByChannel(List& list, int channel) {
    auto it = std::find_if(list.begin(), list.end(),
                           [channel](const auto& s) { return s.m_nChannel == channel; });
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

// Inserts or replaces `setup` at its channel's place; returns the stored setup.
template <class List, class Setup>
Setup& PutInOrder(List& list, const Setup& setup) {
    auto it = std::lower_bound(list.begin(), list.end(), setup.m_nChannel,
                               [](const Setup& s, int ch) { return s.m_nChannel < ch; });
    if (it != list.end() && it->m_nChannel == setup.m_nChannel) {
        *it = setup;
        return *it;
    }
    return *list.insert(it, setup);
}

template <class List>
void MergeInOrder(List& list, const List& imported) {
    for (const auto& s : imported) PutInOrder(list, s);
}

// Keeps the channel order even when the imported list came unsorted.
template <class List>
void ReplaceInOrder(List& list, const List& imported) {
    list.clear();
    MergeInOrder(list, imported);
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
    auto it = std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) ==
               std::toupper(static_cast<unsigned char>(b));
    });
    return it != text.end() || part.empty();
}

}  // namespace

CFreqSetup* CCarSetup::FindRpmSetup(int channel) {
    return FindByChannel(m_rpm, channel);
}
const CFreqSetup* CCarSetup::FindRpmSetup(int channel) const {
    return FindByChannel(m_rpm, channel);
}
CAnalogSetup* CCarSetup::FindAnalogSetup(int channel) {
    return FindByChannel(m_analog, channel);
}
const CAnalogSetup* CCarSetup::FindAnalogSetup(int channel) const {
    return FindByChannel(m_analog, channel);
}
CDigitalSetup* CCarSetup::FindDigitalSetup(int channel) {
    return FindByChannel(m_digital, channel);
}
const CDigitalSetup* CCarSetup::FindDigitalSetup(int channel) const {
    return FindByChannel(m_digital, channel);
}

bool CCarSetup::RemoveRpmSetup(int channel) {
    return RemoveByChannel(m_rpm, channel);
}
bool CCarSetup::RemoveAnalogSetup(int channel) {
    return RemoveByChannel(m_analog, channel);
}
bool CCarSetup::RemoveDigitalSetup(int channel) {
    return RemoveByChannel(m_digital, channel);
}

void CCarSetup::ClearSetups() {
    m_analog.clear();
    m_digital.clear();
    m_rpm.clear();
}

void CCarSetup::ReplaceRpmSetups(const std::vector<CFreqSetup>& s) {
    ReplaceInOrder(m_rpm, s);
}
void CCarSetup::MergeRpmSetups(const std::vector<CFreqSetup>& s) {
    MergeInOrder(m_rpm, s);
}
void CCarSetup::ReplaceAnalogSetups(const std::vector<CAnalogSetup>& s) {
    ReplaceInOrder(m_analog, s);
}
void CCarSetup::MergeAnalogSetups(const std::vector<CAnalogSetup>& s) {
    MergeInOrder(m_analog, s);
}
void CCarSetup::ReplaceDigitalSetups(const std::vector<CDigitalSetup>& s) {
    ReplaceInOrder(m_digital, s);
}
void CCarSetup::MergeDigitalSetups(const std::vector<CDigitalSetup>& s) {
    MergeInOrder(m_digital, s);
}

bool CCarSetup::HasGears() const {
    if (m_nGears <= 0 || m_nGears > 6) return false;
    for (int i = 0; i < m_nGears; ++i)
        if (!(m_fGearRatio[i] > 0.0f)) return false;
    return true;
}

bool CCarSetup::HasRearEnd() const {
    if (!(m_fRearEndRatio > 0.0f)) return false;
    const bool untouched =
        m_nRearEndMode == 1 && m_nDriveTeeth == 2 && m_nAxleTeeth == 8 && m_fRearEndRatio == 4.0f;
    return !untouched;
}

void CCarSetup::CopyTransmission(const CCarSetup& o) {
    m_nGears = o.m_nGears;
    std::copy(std::begin(o.m_fGearRatio), std::end(o.m_fGearRatio), std::begin(m_fGearRatio));
    m_nRearEndMode = o.m_nRearEndMode;
    m_nDriveTeeth = o.m_nDriveTeeth;
    m_nAxleTeeth = o.m_nAxleTeeth;
    m_fRearEndRatio = o.m_fRearEndRatio;
}

CFreqSetup* CCarSetup::FindRpmSetupByTypeAndName(int type, std::string_view name) {
    for (CFreqSetup& s : m_rpm)
        if (s.m_nRpmType == type && ContainsNoCase(s.m_strDescription, name)) return &s;
    return nullptr;
}

const CFreqSetup* CCarSetup::FindRpmSetupByType(int type) const {
    if (type == kRpmLastEngine) {
        for (const CFreqSetup& s : m_rpm)
            if (s.m_nRpmType <= kRpmLastEngine) return &s;
        return nullptr;
    }
    const CFreqSetup* found = nullptr;
    for (const CFreqSetup& s : m_rpm) {
        if (s.m_nRpmType != type) continue;
        if (type != kRpmRearWheel || s.m_nChannel != 0) return &s;
        if (!found) found = &s;  // a rear-wheel definition, unless one with a channel follows
    }
    return found;
}

CFreqSetup* CCarSetup::FindRpmSetupByType(int type) {
    return const_cast<CFreqSetup*>(std::as_const(*this).FindRpmSetupByType(type));
}

CFreqSetup& CCarSetup::GetOrCreateRpmSetup(int channel, int type, Units units) {
    if (CFreqSetup* s = FindRpmSetup(channel)) return *s;
    return PutInOrder(m_rpm, CFreqSetup::Make(channel, type, units));
}

const CAnalogSetup* CCarSetup::FindAnalogSetupByLoggerTypeAndName(int loggerType,
                                                                  std::string_view name) const {
    for (const CAnalogSetup& s : m_analog)
        if (s.m_nType == AnalogCodeForLoggerType(loggerType, s.m_nFamily) &&
            ContainsNoCase(s.m_strDescription, name))
            return &s;
    return nullptr;
}

CAnalogSetup* CCarSetup::FindAnalogSetupByLoggerTypeAndName(int loggerType, std::string_view name) {
    return const_cast<CAnalogSetup*>(
        std::as_const(*this).FindAnalogSetupByLoggerTypeAndName(loggerType, name));
}

CAnalogSetup* CCarSetup::FindAnalogSetupByLoggerType(int loggerType) {
    for (CAnalogSetup& s : m_analog)
        if (s.m_nType == AnalogCodeForLoggerType(loggerType, s.m_nFamily)) return &s;
    return nullptr;
}

CAnalogSetup& CCarSetup::GetOrCreateAnalogSetup(int channel, int typeCode) {
    if (CAnalogSetup* s = FindAnalogSetup(channel)) return *s;
    CAnalogSetup s;
    s.m_nChannel = channel;
    if (typeCode > 0) {
        s.SetType(typeCode);
        s.ApplyTypeDefaults();
    }
    return PutInOrder(m_analog, s);
}

CDigitalSetup* CCarSetup::FindDigitalSetupByTypeAndName(int type, std::string_view name) {
    for (CDigitalSetup& s : m_digital)
        if (s.m_nType == type && s.m_strDescription == name) return &s;
    return nullptr;
}

CDigitalSetup* CCarSetup::FindDigitalSetupByType(int type) {
    for (CDigitalSetup& s : m_digital)
        if (s.m_nType == type) return &s;
    return nullptr;
}

CDigitalSetup& CCarSetup::GetOrCreateDigitalSetup(int channel) {
    if (CDigitalSetup* s = FindDigitalSetup(channel)) return *s;
    CDigitalSetup s;
    s.m_nChannel = channel;
    return PutInOrder(m_digital, s);
}

std::string ValidateSetups(CCarSetup& car, SetupKind kind) {
    switch (kind) {
        case SetupKind::Analog:
            for (const CAnalogSetup& s : car.m_analog)
                if (std::string text = ValidateAnalogSetup(s); !text.empty()) return text;
            break;
        case SetupKind::Digital:
            for (const CDigitalSetup& s : car.m_digital)
                if (std::string text = ValidateDigitalSetup(s); !text.empty()) return text;
            break;
        case SetupKind::Rpm:
            for (CFreqSetup& s : car.m_rpm)
                if (s.m_nSlipPartner != 0 && !car.FindRpmSetup(s.m_nSlipPartner))
                    s.m_nSlipPartner = 0;
            for (const CFreqSetup& s : car.m_rpm)
                if (std::string text = ValidateRpmSetup(s); !text.empty()) return text;
            break;
        case SetupKind::Transmission:
            break;
    }
    return "";
}

bool HasOwnChannel(const CFreqSetup& setup) {
    return setup.m_nChannel >= 1 && setup.m_nChannel <= kRpmChannels;
}

const CFreqSetup* FindRearWheel(const CCarSetup& car) {
    const CFreqSetup* any = nullptr;
    for (const CFreqSetup& s : car.m_rpm) {
        if (s.m_nRpmType != kRpmRearWheel) continue;
        if (HasOwnChannel(s)) return &s;
        if (!any) any = &s;
    }
    return any;
}

const CFreqSetup* FindRpmType(const CCarSetup& car, int32_t type) {
    if (type == kRpmRearWheel) return FindRearWheel(car);
    for (const CFreqSetup& s : car.m_rpm) {
        if (type == 9 ? IsEngineType(s.m_nRpmType) : s.m_nRpmType == type) return &s;
    }
    return nullptr;
}

}  // namespace orvex
