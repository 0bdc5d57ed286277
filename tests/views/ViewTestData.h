// Small sessions for the auxiliary view tests: analog channels whose samples are given as the
// converted values wanted, switches, lap lines and accelerometers.
#pragma once

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "model/Dataset.h"

namespace orvex::test {

// A raw count that converts to `want` (units of 1 / resolution).
inline int32_t RawFor(const CAnalogSetup& setup, int32_t want) {
    const double span = static_cast<double>(setup.m_fMax) - setup.m_fMin;
    const auto guess = static_cast<int32_t>(std::lround(
        (want / static_cast<double>(setup.m_nResolution) - setup.m_fMin) * 100000.0 / span));
    for (int32_t d : {0, 1, -1, 2, -2, 3, -3})
        if (setup.Convert(guess + d, Units::Imperial, 0.0f) == want) return guess + d;
    return guess;
}

inline CAnalogSetup AnalogChannel(int channel, int32_t type, const std::string& name, float lo,
                                  float hi, int32_t resolution) {
    CAnalogSetup a;
    a.m_nChannel = channel;
    a.SetType(type);
    a.m_strDescription = name;
    a.m_fMin = lo;
    a.m_fMax = hi;
    a.m_nResolution = resolution;
    return a;
}

class SessionBuilder {
  public:
    explicit SessionBuilder(const std::string& name) : m_ds(std::make_unique<CBriodashDataset>()) {
        m_ds->m_strName = name;
        m_ds->m_nFramed = 0;
    }

    // An analog channel of the first family (customer defined unless given).
    SessionBuilder& Analog(int channel, const std::string& name, float lo, float hi,
                           int32_t resolution, int32_t type = kAnalogCustom) {
        m_ds->m_carSetup.m_analog.push_back(AnalogChannel(channel, type, name, lo, hi, resolution));
        return *this;
    }
    // Samples (time in 0.1 ms, converted value) of an analog channel already set up.
    SessionBuilder& Values(int channel, const std::vector<std::pair<int32_t, int32_t>>& samples) {
        const CAnalogSetup& setup = *m_ds->m_carSetup.FindAnalogSetup(channel);
        CSampleList& s = m_ds->m_analog[static_cast<std::size_t>(channel - 1)];
        s.m_bFramed = 0;
        for (auto [t, v] : samples) s.AddTail(Sample(t, RawFor(setup, v)));
        return *this;
    }
    SessionBuilder& Switch(int channel, const std::string& name,
                           const std::vector<std::pair<int32_t, int32_t>>& samples) {
        CDigitalSetup d;
        d.m_nChannel = channel;
        d.m_nType = kDigitalSwitch;
        d.m_strDescription = name;
        m_ds->m_carSetup.m_digital.push_back(d);
        CSampleList& s = m_ds->m_digital[static_cast<std::size_t>(channel - 1)];
        s.m_bFramed = 0;
        for (auto [t, v] : samples) s.AddTail(Sample(t, v));
        return *this;
    }
    SessionBuilder& LapLines(const std::vector<int32_t>& times) {
        int32_t code = 0;
        for (int32_t t : times) {
            m_ds->m_markers.AddTail(Sample(t, code));
            code += 100;
        }
        return *this;
    }
    std::unique_ptr<CBriodashDataset> Build() { return std::move(m_ds); }

    static CSample Sample(int32_t t, int32_t v) {
        CSample s;
        s.m_lTime = t;
        s.m_lRaw = s.m_lFiltered = v;
        return s;
    }

  private:
    std::unique_ptr<CBriodashDataset> m_ds;
};

// Whole-session selection record.
inline CDatasetList Whole(CBriodashDataset& ds) {
    CDatasetList e(&ds, ds.m_strName, 0);
    e.m_lStart = e.m_lEnd = kNotSet;
    return e;
}

}  // namespace orvex::test
