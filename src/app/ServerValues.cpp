#include "app/ServerValues.h"

#include <limits>

#include "model/ChannelSetups.h"

namespace orvex {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double EntryValue(const CBriodashDoc& doc, const CBriodashDataset& ds, int32_t time,
                  const ChannelEntry& e, const MarkerConverters& conv) {
    const Units units = doc.m_options.units;
    if (time == kNotSet) return kNaN;
    switch (e.kind) {
        case 'X':
            if (e.number == 0) return time / 10000.0;
            {
                const int32_t d = MarkerDistanceAt(ds, time);
                if (d == kNotSet) return kNaN;
                return units == Units::Metric ? d * 0.3048 / 10.0 : d / 10.0;
            }
        case 'R': {
            auto v = RpmValueAt(ds, e.number, time, units, conv);
            if (!v) return kNaN;
            const CFreqSetup* setup = ds.m_carSetup.FindRpmSetup(e.number);
            return setup && setup->m_nDisplayMode == kDisplaySpeed ? *v / 100.0 : *v / 1000.0;
        }
        case 'A': {
            auto v = AnalogValueAt(ds, e.number, time, units, conv);
            const CAnalogSetup* setup = ds.m_carSetup.FindAnalogSetup(e.number);
            if (!v || !setup) return kNaN;
            return *v / static_cast<double>(setup->m_nResolution > 0 ? setup->m_nResolution : 1);
        }
        default:
            return e.value;
    }
}

}  // namespace

void WriteMarkerValues(const CBriodashDoc& doc, const CBriodashDataset& ds, bool timeAxis,
                       const MarkerConverters& conv, std::vector<CAdvReqClient>& clients) {
    int32_t time = doc.m_lGreenTime;
    if (!timeAxis && doc.m_lGreenDistance != kNotSet && HasDistance(ds))
        time = MarkerTimeAtDistance(ds, doc.m_lGreenDistance);
    for (CAdvReqClient& c : clients)
        for (int32_t i = 0; i < c.m_nEntries; ++i) {
            ChannelEntry& e = c.m_entries[static_cast<std::size_t>(i)];
            if (e.kind == 'X' || e.kind == 'R' || e.kind == 'A')
                e.value = EntryValue(doc, ds, time, e, conv);
        }
}

}  // namespace orvex
