#include "views/Histogram.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "processing/SpeedDistance.h"

namespace orvex {

namespace {

// ceil and floor that ignore the rounding noise of the float fields in a quotient meant to be
// whole.
double CeilWhole(double x) {
    return std::ceil(x - 1e-6 * std::max(1.0, std::fabs(x)));
}
double FloorWhole(double x) {
    return std::floor(x + 1e-6 * std::max(1.0, std::fabs(x)));
}

// Reads one channel of a session in display units: RPM or speed, G or volts, switch state.
class ChannelReader {
  public:
    ChannelReader(const CChannelList& channel, CBriodashDataset& ds, Units units,
                  float voltageCorrection)
        : m_ds(ds), m_units(units), m_fVoltage(voltageCorrection) {
        const auto i = static_cast<std::size_t>(channel.m_nChannel - 1);
        switch (channel.Kind()) {
            case ChannelKind::Rpm:
                m_pRpm = ds.m_carSetup.FindRpmSetup(channel.m_nChannel);
                if (m_pRpm) m_pSeries = &ds.m_rpm[i];
                break;
            case ChannelKind::Analog:
                m_pAnalog = ds.m_carSetup.FindAnalogSetup(channel.m_nChannel);
                if (m_pAnalog) m_pSeries = &ds.m_analog[i];
                break;
            case ChannelKind::Digital:
                if (ds.m_carSetup.FindDigitalSetup(channel.m_nChannel))
                    m_pSeries = &ds.m_digital[i];
                break;
        }
    }

    const CSeriesBase* Series() const { return m_pSeries; }

    double ValueAt(Pos p) const {
        const int32_t stored = m_pSeries->GetSampleValue(p);
        if (m_pRpm) {
            const auto& shaft = static_cast<const CShaftList&>(*m_pSeries);
            const int32_t milli = shaft.GetRPMMilli(static_cast<uint32_t>(std::max(stored, 0)));
            const int32_t v = ConvertRPM(m_ds.m_carSetup, *m_pRpm, m_pRpm->m_nDisplayMode, milli,
                                         shaft[p].m_nGear, m_units);
            return m_pRpm->m_nDisplayMode == kDisplaySpeed ? v / 100.0 : v / 1000.0;
        }
        if (m_pAnalog)
            return AnalogValue(*m_pAnalog, stored, m_units, m_fVoltage) /
                   static_cast<double>(std::max(m_pAnalog->m_nResolution, 1));
        return stored;
    }

  private:
    CBriodashDataset& m_ds;
    Units m_units;
    float m_fVoltage;
    const CFreqSetup* m_pRpm = nullptr;
    const CAnalogSetup* m_pAnalog = nullptr;
    const CSeriesBase* m_pSeries = nullptr;
};

// Increment for an RPM or speed range.
float RpmIncrement(float range) {
    if (range > 5000) return 1000;
    if (range > 1000) return 500;
    if (range > 500) return 100;
    return 50;
}

// Increment and rounding unit for an analog setup's range.
void AnalogSteps(double r, double& inc, double& unit) {
    if (r > 5000)
        inc = 1000, unit = 1000;
    else if (r > 1000)
        inc = 500, unit = 1000;
    else if (r > 500)
        inc = 100, unit = 100;
    else if (r > 100)
        inc = 50, unit = 100;
    else if (r > 50)
        inc = 10, unit = 10;
    else if (r > 10)
        inc = 5, unit = 10;
    else if (r > 5)
        inc = 1, unit = 1;
    else if (r > 1)
        inc = 0.5, unit = 1;
    else
        inc = 0.1, unit = 0.1;
}

CChannelList RpmChannel(const std::vector<CDatasetList>& sessions, int channel, Units units) {
    CChannelList c;
    CBriodashDataset& first = *sessions.front().m_pDataset;
    const CFreqSetup& setup = *first.m_carSetup.FindRpmSetup(channel);
    c.m_strName = KindPrefix(0x1000) + setup.m_strDescription;
    c.m_nCode = static_cast<uint16_t>(0x1000 | (setup.m_nDisplayMode & 0x0FFF));
    c.m_nChannel = channel;
    c.m_fMinimum = 0;
    double largest = 0;
    for (const CDatasetList& s : sessions) {
        ChannelReader reader(c, *s.m_pDataset, units, 0.0f);
        const CSeriesBase* series = reader.Series();
        if (!series) continue;
        for (Pos p = series->First(); p != kNoPos; p = series->Next(p))
            largest = std::max(largest, reader.ValueAt(p));
    }
    const double step = setup.m_nDisplayMode == kDisplaySpeed ? 10.0 : 100.0;
    c.m_fMaximum = static_cast<float>(std::ceil(largest / step) * step);
    c.m_fIncrement = RpmIncrement(c.m_fMaximum - c.m_fMinimum);
    return c;
}

CChannelList AnalogChannel(const CBriodashDataset& first, int channel, Units units) {
    CChannelList c;
    const CAnalogSetup& setup = *first.m_carSetup.FindAnalogSetup(channel);
    c.m_strName = KindPrefix(0x2000) + setup.m_strDescription;
    c.m_nCode = static_cast<uint16_t>(0x2000 | (setup.m_nType & 0x0FFF));
    c.m_nChannel = channel;
    const double lo = setup.GetMinimum(units), hi = setup.GetMaximum(units);
    double inc = 0, unit = 0;
    AnalogSteps(hi - lo, inc, unit);
    c.m_fMinimum = static_cast<float>(FloorWhole(lo / unit) * unit);
    c.m_fMaximum = static_cast<float>(CeilWhole(hi / unit) * unit);
    c.m_fIncrement = static_cast<float>(inc);
    return c;
}

CChannelList DigitalChannel(const CBriodashDataset& first, int channel) {
    CChannelList c;
    const CDigitalSetup& setup = *first.m_carSetup.FindDigitalSetup(channel);
    c.m_strName = KindPrefix(0x3000) + setup.m_strDescription;
    c.m_nCode = static_cast<uint16_t>(0x3000 | (setup.m_nType & 0x0FFF));
    c.m_nChannel = channel;
    // Bands for off (0) and on (1): with a maximum of 1 the on state would fall on the
    // maximum edge and never be counted.
    c.m_fMinimum = 0;
    c.m_fMaximum = 2;
    c.m_fIncrement = 1;
    return c;
}

}  // namespace

std::string CChannelList::Description() const {
    const std::size_t colon = m_strName.find(':');
    return colon == std::string::npos ? m_strName : m_strName.substr(colon + 1);
}

std::string KindPrefix(uint16_t code) {
    switch (code & 0xF000) {
        case 0x1000:
            return "RPM:";
        case 0x2000:
            return "Analog:";
        case 0x3000:
            return "Digital:";
        default:
            return "";
    }
}

std::vector<CChannelList> AvailableChannels(const std::vector<CDatasetList>& sessions,
                                            Units units) {
    std::vector<CChannelList> out;
    if (sessions.empty() || !sessions.front().m_pDataset) return out;
    auto inEvery = [&sessions](ChannelKind kind, int channel) {
        return std::all_of(sessions.begin(), sessions.end(), [&](const CDatasetList& s) {
            return s.m_pDataset && HasChannel(*s.m_pDataset, kind, channel);
        });
    };
    const CBriodashDataset& first = *sessions.front().m_pDataset;
    for (int c = 1; c <= kRpmChannels; ++c)
        if (inEvery(ChannelKind::Rpm, c)) out.push_back(RpmChannel(sessions, c, units));
    for (int c = 1; c <= kAnalogChannels; ++c)
        if (inEvery(ChannelKind::Analog, c)) out.push_back(AnalogChannel(first, c, units));
    for (int c = 1; c <= kHistogramDigitalChannels; ++c)
        if (inEvery(ChannelKind::Digital, c)) out.push_back(DigitalChannel(first, c));
    return out;
}

int BandCount(const CChannelList& channel) {
    const double span = static_cast<double>(channel.m_fMaximum) - channel.m_fMinimum;
    if (!(channel.m_fIncrement > 0) || !(span > 0)) return 0;
    const double n = CeilWhole(span / channel.m_fIncrement);
    return n > 100000 ? 100000 : static_cast<int>(n);
}

int ChannelDecimals(const CChannelList& channel) {
    auto whole = [](double x) { return std::fabs(x - std::round(x)) < 1e-4; };
    for (int d = 0; d < 3; ++d) {
        const double f = std::pow(10.0, d);
        if (whole(channel.m_fMinimum * f) && whole(channel.m_fIncrement * f)) return d;
    }
    return 3;
}

std::vector<double> BandTimes(const CChannelList& channel, const CDatasetList& entry, Units units,
                              float voltageCorrection) {
    const int n = BandCount(channel);
    std::vector<double> times(static_cast<std::size_t>(n), 0.0);
    if (n == 0 || !entry.m_pDataset) return times;
    ChannelReader reader(channel, *entry.m_pDataset, units, voltageCorrection);
    const CSeriesBase* series = reader.Series();
    if (!series || series->IsEmpty()) return times;

    std::vector<double> edges(static_cast<std::size_t>(n) + 1);
    for (int k = 0; k <= n; ++k)
        edges[static_cast<std::size_t>(k)] =
            static_cast<double>(channel.m_fMinimum) + k * static_cast<double>(channel.m_fIncrement);

    const int32_t end = EntryEnd(entry);
    Pos p = series->First();
    if (entry.m_lStart != kNotSet)
        while (p != kNoPos && series->GetSampleTime(p, true) < entry.m_lStart) p = series->Next(p);
    const bool framed = series->m_bFramed != 0 && series->m_fRate > 0;
    const double frame = framed ? 1.0 / series->m_fRate : 0.0;
    int32_t previous = 0;
    bool first = true;
    for (; p != kNoPos; p = series->Next(p)) {
        const int32_t t = series->GetSampleTime(p, true);
        if (t > end) break;
        const double stands = framed ? frame : first ? 0.0 : (t - previous) / 10000.0;
        previous = t;
        first = false;
        const double v = reader.ValueAt(p);
        // The band is found below the first edge above the value.
        const auto k = std::upper_bound(edges.begin(), edges.end(), v) - edges.begin();
        if (k > 0 && k <= n) times[static_cast<std::size_t>(k - 1)] += stands;
    }
    return times;
}

TimeUnit ChooseTimeUnit(double m) {
    if (m / 3600 > 1) return {"Hrs", 3600};
    if (m / 60 > 1) return {"Mins", 60};
    if (m > 1) return {"Secs", 1};
    return {"hSecs", 0.01};
}

HistogramChart ComputeHistogram(const std::vector<CDatasetList>& sessions,
                                const std::vector<CChannelList>& channels,
                                const HistogramFlags& flags, Units units, float voltageCorrection) {
    HistogramChart chart;
    if (sessions.empty()) {
        chart.message = kSelectSessionsNote;
        return chart;
    }
    if (channels.empty()) {
        chart.message = kSelectChannelsNote;
        return chart;
    }
    auto addRow = [&](const CChannelList& c, const CDatasetList& s, std::string legend) {
        HistogramRow row;
        row.legend = std::move(legend);
        row.seconds = BandTimes(c, s, units, voltageCorrection);
        if (!flags.timeScale && flags.selectedTimeBase) {
            const int32_t a = EntryStart(s), b = EntryEnd(s);
            row.totalSeconds = a != kNotSet && b != kNotSet && b > a ? (b - a) / 10000.0 : 0.0;
        } else {
            for (double t : row.seconds) row.totalSeconds += t;
        }
        chart.rows.push_back(std::move(row));
    };
    if (sessions.size() == 1)
        for (const CChannelList& c : channels) addRow(c, sessions.front(), c.Description());
    else
        for (const CDatasetList& s : sessions) addRow(channels.front(), s, s.m_strName);

    const CChannelList& lead = channels.front();
    chart.bandAxis = lead.Description();
    for (const HistogramRow& r : chart.rows)
        chart.bands = std::max(chart.bands, static_cast<int>(r.seconds.size()));
    const int decimals = ChannelDecimals(lead);
    const int every = chart.bands > 20 ? chart.bands / 20 : 1;
    char buf[64];
    for (int k = 0; k < chart.bands; ++k) {
        const double edge =
            static_cast<double>(lead.m_fMinimum) + k * static_cast<double>(lead.m_fIncrement);
        chart.lowerEdges.push_back(edge);
        std::snprintf(buf, sizeof buf, "%0.*f", decimals, edge);
        chart.bandLabels.push_back(k % every == 0 ? buf : "");
    }

    if (flags.timeScale) {
        double m = 0;
        for (const HistogramRow& r : chart.rows)
            for (double t : r.seconds) m = std::max(m, t);
        const TimeUnit unit = ChooseTimeUnit(m);
        chart.valueAxis = unit.name;
        chart.axisMax = CeilWhole(m / unit.divisor);
        for (HistogramRow& r : chart.rows)
            for (double t : r.seconds) r.values.push_back(t / unit.divisor);
    } else {
        chart.valueAxis = flags.selectedTimeBase ? "% of Selected Time" : "% of Range Time";
        double largest = 0;
        for (HistogramRow& r : chart.rows)
            for (double t : r.seconds) {
                // A row without time shows empty bars rather than a division by zero.
                const double fraction = r.totalSeconds > 0 ? t / r.totalSeconds : 0.0;
                largest = std::max(largest, fraction);
                r.values.push_back(fraction * 100);
            }
        chart.axisMax = std::min(CeilWhole(largest * 100), 100.0);
    }
    for (HistogramRow& r : chart.rows) r.values.resize(static_cast<std::size_t>(chart.bands), 0.0);
    return chart;
}

}  // namespace orvex
