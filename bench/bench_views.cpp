// The auxiliary views' numbers: histogram band times of one channel over an hour at 100 Hz
// (target: under 20 ms) and the lap segment report of 30 laps (target: under 20 ms).
#include <benchmark/benchmark.h>

#include <memory>

#include "BenchSessions.h"
#include "host/NullHost.h"
#include "processing/SpeedDistance.h"
#include "views/Histogram.h"
#include "views/LapSegmentReport.h"
#include "views/ViewData.h"

namespace {

using namespace orvex;

CBriodashDataset& Hour() {
    static std::unique_ptr<CBriodashDataset> ds = [] {
        auto d = bench::HourAt100Hz();
        CNullHost host;
        DeriveAfterLoad(*d, kDistanceRearWheel, Units::Imperial, host);
        return d;
    }();
    return *ds;
}

void HistogramBandTimesOneChannelHourAt100Hz(benchmark::State& state) {
    CBriodashDataset& ds = Hour();
    const CDatasetList whole = SessionEntry(ds);
    const std::vector<CChannelList> channels = AvailableChannels({whole}, Units::Imperial);
    const CChannelList* throttle = nullptr;
    for (const CChannelList& c : channels)
        if (c.Kind() == ChannelKind::Analog && !throttle) throttle = &c;
    std::size_t bands = 0;
    for (auto _ : state) {
        std::vector<double> t = BandTimes(*throttle, whole, Units::Imperial);
        bands += t.size();
        benchmark::DoNotOptimize(t.data());
    }
    state.counters["samples"] =
        static_cast<double>(ds.m_analog[static_cast<std::size_t>(throttle->m_nChannel - 1)].Size());
    benchmark::DoNotOptimize(bands);
}
BENCHMARK(HistogramBandTimesOneChannelHourAt100Hz)->Unit(benchmark::kMillisecond);

// Seventy-five minutes of the demonstration circuit: thirty complete laps and more.
CBriodashDataset& ThirtyLaps() {
    static std::unique_ptr<CBriodashDataset> ds = [] {
        GeneratorOptions options;
        options.minutes = 75;
        options.rateHz = 100;
        auto d = GenerateSession(options);
        CNullHost host;
        DeriveAfterLoad(*d, kDistanceRearWheel, Units::Imperial, host);
        return d;
    }();
    return *ds;
}

void LapSegmentReportThirtyLaps(benchmark::State& state) {
    CBriodashDataset& ds = ThirtyLaps();
    const std::vector<int> laps = CompleteLaps(ds);
    // A map of twelve segments over the session's mean lap length.
    MapSegments map;
    map.lapLength = ds.m_lLapDistance > 0 ? ds.m_lLapDistance / 10.0 : 10000.0;
    for (int k = 1; k <= 12; ++k) {
        map.ends.push_back(map.lapLength * k / 12.0);
        map.kinds.push_back(static_cast<uint8_t>(1 + k % 3));
    }
    std::set<int> selected;
    for (std::size_t i = 0; i < laps.size() && i < 30; ++i) selected.insert(laps[i]);
    LapReportOptions options;
    options.displaySpeeds = options.calculateBest = options.highliteBest = true;
    options.viewAll = false;  // the first thirty laps
    std::size_t rows = 0;
    for (auto _ : state) {
        const LapReportTable t =
            BuildLapReport(ds, kDistanceRearWheel, map, options, selected, Units::Imperial);
        rows = t.rows.size();
        benchmark::DoNotOptimize(t.rows.data());
    }
    state.counters["laps"] = static_cast<double>(rows ? rows - 1 : 0);
}
BENCHMARK(LapSegmentReportThirtyLaps)->Unit(benchmark::kMillisecond);

}  // namespace
