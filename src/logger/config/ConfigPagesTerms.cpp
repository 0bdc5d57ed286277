#include "logger/config/ConfigPagesTerms.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace orvex {

void StoreTermText(const CTachConfig& cfg, const EquationChannels& ch, const EquationEntry* entry,
                   int shownOperator, const std::string& text, TachTerm& term) {
    const int group = (term.m_nChannel >> 5) & 3;
    if (group == 0) {
        if (!entry || !entry->m_pFreq) {
            term.m_nValue = 0xFFFE;
            return;
        }
        uint16_t v = RpmThreshold(cfg, *entry->m_pFreq, ch.m_units, text);
        if (!RpmTextValid(cfg, *entry->m_pFreq, ch.m_units,
                          RpmThresholdText(cfg, *entry->m_pFreq, ch.m_units, v)))
            v = static_cast<uint16_t>(v + 1);
        term.m_nValue = v;
        return;
    }
    if (group == 3) {
        if (!entry || !entry->m_pAnalog) {
            term.m_nValue = 0;
            return;
        }
        const CAnalogSetup& setup = *entry->m_pAnalog;
        const bool inverted = IsInvertedEntry(*entry);
        uint16_t v = AnalogThreshold(setup, ch.m_units, ch.m_fVoltageCorrection, text);
        const int side = AnalogRangeTest(
            setup, ch.m_units, AnalogThresholdText(setup, ch.m_units, ch.m_fVoltageCorrection, v),
            shownOperator);
        if (side != 0) {
            const int step = (side < 0) != inverted ? 1 : -1;
            v = static_cast<uint16_t>(v + step);
        }
        term.m_nValue = v;
        if (shownOperator >= 6) {
            const double y = std::strtod(text.c_str(), nullptr);
            char negated[64];
            std::snprintf(negated, sizeof negated, "%0.3f", std::isfinite(y) ? -y : 0.0);
            term.m_nSpare = AnalogThreshold(setup, ch.m_units, ch.m_fVoltageCorrection, negated);
            if (inverted) std::swap(term.m_nValue, term.m_nSpare);
        }
        return;
    }
    term.m_nValue = entry && entry->m_pDigital ? DigitalThreshold(*entry->m_pDigital, text) : 0;
}

uint16_t ReexpressAutoStart(uint16_t autoStartTime, int32_t oldRate, int32_t newRate) {
    if (oldRate <= 0 || newRate <= 0) return autoStartTime;
    const float minutes = (autoStartTime - 1.0f) / static_cast<float>(oldRate) / 60.0f;
    const float ticks = std::trunc(static_cast<float>(newRate) * minutes * 60.0f);
    return static_cast<uint16_t>(std::fmin(1.0f + ticks, 65535.0f));
}

void ReexpressForClock(CTachConfig& cfg, const EquationChannels& ch, int32_t newRate,
                       float newPca) {
    const int32_t oldRate = cfg.m_nClockRate;
    const float oldPca = cfg.m_fPcaClock;
    cfg.m_nAutoStartTime = ReexpressAutoStart(cfg.m_nAutoStartTime, oldRate, newRate);
    const std::vector<EquationEntry> entries = EquationEntries(cfg, ch);
    for (auto& equation : cfg.m_eqn) {
        for (TachTerm& term : equation) {
            if (!(term.m_nChannel & 0x80)) continue;
            const int group = (term.m_nChannel >> 5) & 3;
            if (group != 0 && group != 2) continue;
            uint8_t channel = term.m_nChannel;
            const int at = ResolveTermEntry(entries, channel);
            if (at < 0 || channel != term.m_nChannel) continue;  // no setup to read it with
            const EquationEntry& entry = entries[static_cast<std::size_t>(at)];
            const std::string text =
                group == 0 ? RpmThresholdText(cfg, *entry.m_pFreq, ch.m_units, term.m_nValue)
                           : DigitalThresholdText(*entry.m_pDigital, term.m_nValue);
            cfg.m_nClockRate = newRate;
            cfg.m_fPcaClock = newPca;
            StoreTermText(cfg, ch, &entry, 0, text, term);
            cfg.m_nClockRate = oldRate;
            cfg.m_fPcaClock = oldPca;
        }
    }
}

}  // namespace orvex
