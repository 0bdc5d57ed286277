// Sessions shared by the benchmarks: the generated hour with every analog and RPM channel
// filled and shown, and a way to multiply a series' samples.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "demo/SessionGenerator.h"
#include "model/Dataset.h"

namespace orvex::bench {

// The generated hour with every analog and RPM channel filled and shown.
inline std::unique_ptr<CBriodashDataset> HourAt100Hz() {
    GeneratorOptions options;
    options.minutes = 60;
    options.rateHz = 100;
    auto ds = GenerateSession(options);
    std::vector<int> filled;
    for (int i = 0; i < kAnalogChannels; ++i)
        if (ds->m_analog[static_cast<std::size_t>(i)].Size()) filled.push_back(i + 1);
    for (int i = 0, k = 0; i < kAnalogChannels; ++i) {
        if (ds->m_analog[static_cast<std::size_t>(i)].Size()) continue;
        const int source = filled[static_cast<std::size_t>(k++) % filled.size()];
        ds->m_analog[static_cast<std::size_t>(i)].m_samples =
            ds->m_analog[static_cast<std::size_t>(source - 1)].m_samples;
        ds->m_analog[static_cast<std::size_t>(i)].CopySettings(
            ds->m_analog[static_cast<std::size_t>(source - 1)]);
        ds->m_analog[static_cast<std::size_t>(i)].m_crTrace = 0x102030 * (i + 1);
        CAnalogSetup setup = *ds->m_carSetup.FindAnalogSetup(source);
        setup.m_nChannel = i + 1;
        ds->m_carSetup.m_analog.push_back(setup);
    }
    std::sort(ds->m_carSetup.m_analog.begin(), ds->m_carSetup.m_analog.end(),
              [](const auto& a, const auto& b) { return a.m_nChannel < b.m_nChannel; });
    for (int i = 0; i < kRpmChannels; ++i) {
        CShaftList& s = ds->m_rpm[static_cast<std::size_t>(i)];
        if (s.Size()) continue;
        s.m_samples = ds->m_rpm[0].m_samples;
        s.CopySettings(ds->m_rpm[0]);
        CFreqSetup setup = *ds->m_carSetup.FindRpmSetup(1);
        setup.m_nChannel = i + 1;
        ds->m_carSetup.m_rpm.push_back(setup);
    }
    for (auto& s : ds->m_rpm) s.m_nOn = 1;
    for (auto& s : ds->m_analog) s.m_nOn = 1;
    return ds;
}

// Ten samples for every one of `from`, spread evenly between neighbours (values held).
template <class TSample>
inline void TenTimes(std::vector<TSample>& v) {
    std::vector<TSample> out;
    out.reserve(v.size() * 10);
    for (std::size_t i = 0; i < v.size(); ++i) {
        const int32_t next = i + 1 < v.size() ? v[i + 1].m_lTime : v[i].m_lTime + 100;
        for (int k = 0; k < 10; ++k) {
            TSample s = v[i];
            s.m_lTime = v[i].m_lTime + (next - v[i].m_lTime) * k / 10;
            out.push_back(s);
        }
    }
    v.swap(out);
}

}  // namespace orvex::bench
