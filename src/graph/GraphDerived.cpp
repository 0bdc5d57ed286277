// RPM display values and speed for the strip chart, read through the speed and distance code.
#include "graph/GraphDerived.h"

#include <algorithm>

#include "processing/SpeedDistance.h"

namespace orvex::graph {

bool SpeedPrerequisites(const CCarSetup& car, const CFreqSetup& setup) {
    if (!CanDisplay(car, setup, kDisplaySpeed)) return false;
    const int32_t type = setup.m_nRpmType;
    if (IsEngineType(type) || type == kRpmClutch)
        return HasUsableRearWheel(car) && car.HasRearEnd() && car.HasGears();
    return type != kRpmUserDefined;
}

std::vector<int32_t> RpmPlotValues(CBriodashDataset& ds, int channel, Units units) {
    std::vector<int32_t> out;
    if (channel < 1 || channel > kRpmChannels) return out;
    const CShaftList& s = ds.m_rpm[static_cast<std::size_t>(channel - 1)];
    const CFreqSetup* setup = ds.m_carSetup.FindRpmSetup(channel);
    if (!setup || s.IsEmpty()) return out;
    const std::vector<int32_t> shown = SmoothedRpmValues(ds, channel, -1, units, false);
    const Pos first = s.First(), last = s.Last();
    out.resize(s.Size());
    for (Pos p = 0; p < static_cast<Pos>(out.size()); ++p) {
        const auto i = static_cast<std::size_t>(p);
        if (p >= first && p <= last && static_cast<std::size_t>(p - first) < shown.size()) {
            out[i] = shown[static_cast<std::size_t>(p - first)];
        } else {
            const int32_t milli = s.GetRPMMilli(static_cast<uint32_t>(s.GetSampleValue(p)));
            out[i] = ConvertRPM(ds.m_carSetup, *setup, setup->m_nDisplayMode, milli,
                                s.m_samples[i].m_nGear, units);
        }
    }
    return out;
}

void RpmAndSpeedMaxima(const CBriodashDoc& doc, Units units, int32_t& rpmMax, int32_t& mphMax) {
    rpmMax = 0;
    mphMax = 0;
    for (CBriodashDataset* ds : doc.ShownDatasets()) {
        for (int ch = 1; ch <= kRpmChannels; ++ch) {
            const CFreqSetup* setup = ds->m_carSetup.FindRpmSetup(ch);
            if (!setup || ds->m_rpm[static_cast<std::size_t>(ch - 1)].IsEmpty()) continue;
            const bool speed = setup->m_nDisplayMode == kDisplaySpeed;
            if (speed && !SpeedPrerequisites(ds->m_carSetup, *setup)) continue;
            int32_t& best = speed ? mphMax : rpmMax;
            const CShaftList& s = ds->m_rpm[static_cast<std::size_t>(ch - 1)];
            const std::vector<int32_t> v = RpmPlotValues(*ds, ch, units);
            for (Pos p = s.First(); p != kNoPos; p = s.Next(p))
                best = std::max(best, v[static_cast<std::size_t>(p)]);
        }
    }
}

}  // namespace orvex::graph
