#include "model/CarSetup.h"

#include <algorithm>

namespace orvex {

namespace {
template <class List>
auto* FindByChannel(List& list, int channel) {
    auto it = std::find_if(list.begin(), list.end(),
                           [channel](const auto& s) { return s.m_nChannel == channel; });
    return it == list.end() ? nullptr : &*it;
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

}  // namespace orvex
