// Track map calculation on a generated lap of about two minutes at 100 Hz.
#include <benchmark/benchmark.h>

#include "demo/SessionGenerator.h"
#include "host/NullHost.h"
#include "processing/SpeedDistance.h"
#include "trackmap/TrackMap.h"
#include "trackmap/TrackSamples.h"

namespace orvex {
namespace {

// The samples of lap 2 of a generated session (before any calculation).
const CTrackMap& LapSamples() {
    static const CTrackMap samples = [] {
        GeneratorOptions options;
        options.minutes = 7.0;
        options.rateHz = 100.0;
        std::unique_ptr<CBriodashDataset> ds = GenerateSession(options);
        CNullHost host;
        DeriveAfterLoad(*ds, kDistanceFrontWheel, Units::Imperial, host);
        CTrackMap map;
        if (std::optional<TrackLap> lap = FindTrackLap(*ds, 2))
            BuildTrackSamples(*ds, map, lap->start, lap->end, kSpeedFrontWheel, Units::Imperial,
                              host);
        return map;
    }();
    return samples;
}

void CalculateLap(benchmark::State& state, const CTrackMap& samples) {
    int cycles = 0;
    for (auto _ : state) {
        CTrackMap map = samples;
        map.Calculate(nullptr);
        map.FindCornerSegments(nullptr);
        map.FindAccelerationSegments(nullptr);
        cycles = map.m_nCycles;
        benchmark::DoNotOptimize(map.m_samples.data());
    }
    state.counters["samples"] = static_cast<double>(samples.GetCount());
    state.counters["lap_s"] =
        samples.GetCount() ? samples.m_samples.back().m_dTime - samples.m_samples.front().m_dTime
                           : 0.0;
    state.counters["cycles"] = cycles;
}
void TrackMap_Calculate2MinLap100Hz(benchmark::State& state) {
    CalculateLap(state, LapSamples());
}
BENCHMARK(TrackMap_Calculate2MinLap100Hz)->Unit(benchmark::kMillisecond);

// The same lap with a lateral accelerometer reading 0.05 G off: the bias cycles close it.
void TrackMap_Calculate2MinLap100HzLateralBias(benchmark::State& state) {
    CTrackMap samples = LapSamples();
    for (CTrackSample& s : samples.m_samples) s.m_dLatG += 0.05 * samples.m_dGScale;
    CalculateLap(state, samples);
}
BENCHMARK(TrackMap_Calculate2MinLap100HzLateralBias)->Unit(benchmark::kMillisecond);

// Every one of the 100 cycles: a crawling lap, whose heading the bias steps overshoot.
void TrackMap_Calculate2MinLap100Hz100Cycles(benchmark::State& state) {
    CTrackMap samples = LapSamples();
    for (CTrackSample& s : samples.m_samples) s.m_dSpeed /= 6.0;
    CalculateLap(state, samples);
}
BENCHMARK(TrackMap_Calculate2MinLap100Hz100Cycles)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvex
