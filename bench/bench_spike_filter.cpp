// Spike filter and smoothing over long series: 100k and 1M samples of a noisy sine with rare
// spikes, so that the cost per sample can be compared between the two lengths.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "host/NullHost.h"
#include "processing/SpikeFilter.h"

namespace {

using namespace orvex;

// Small deterministic generator so that every run filters the same data.
class Lcg {
  public:
    uint32_t Next() {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }
    double Unit() { return static_cast<double>(Next() & 0xFFFF) / 65536.0; }  // [0, 1)

  private:
    uint32_t m_state = 12345u;
};

// Value around `centre` swinging by `swing`, 2% noise, and one spike of 10x in about 1000.
template <class List>
void FillNoisySine(List& s, std::size_t n, int32_t dt, double centre, double swing, bool spikeUp) {
    Lcg rng;
    s.m_samples.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        double v = centre + swing * std::sin(static_cast<double>(i) * 0.001);
        v *= 1.0 + 0.02 * (rng.Unit() - 0.5);
        if (rng.Next() % 1000 == 0) v = spikeUp ? v * 10.0 : v / 10.0;
        typename List::Sample x;
        x.m_lTime = static_cast<int32_t>(i) * dt;
        x.m_lRaw = x.m_lFiltered = static_cast<int32_t>(v);
        s.AddTail(x);
    }
}

void SpikeFilter_AnalogType5At100Hz(benchmark::State& state) {
    CSampleList s;
    FillNoisySine(s, static_cast<std::size_t>(state.range(0)), 100, 2000.0, 500.0, true);
    s.m_fRate = 100.0f;  // window 201
    CNullHost host;
    long changes = 0;
    for (auto _ : state) {
        s.m_nDataMode = 0;  // filter afresh every time
        benchmark::DoNotOptimize(changes = SpikeFilter(s, 2, 5, host));
    }
    state.counters["changes"] = static_cast<double>(changes);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(SpikeFilter_AnalogType5At100Hz)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void SpikeFilter_RpmAt50Hz(benchmark::State& state) {
    CShaftList s;
    // Periods of 2000 to 4000 RPM; a spike is a period a tenth as long (ten times the RPM).
    FillNoisySine(s, static_cast<std::size_t>(state.range(0)), 200, 6144.0, 1500.0, false);
    s.m_fRate = 50.0f;  // window 101
    CNullHost host;
    long changes = 0;
    for (auto _ : state) {
        s.m_nDataMode = 0;
        benchmark::DoNotOptimize(changes = SpikeFilter(s, 2, host));
    }
    state.counters["changes"] = static_cast<double>(changes);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(SpikeFilter_RpmAt50Hz)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void Smoothing_HeavyMovingSumOverSeries(benchmark::State& state) {
    CSampleList s;
    FillNoisySine(s, static_cast<std::size_t>(state.range(0)), 100, 2000.0, 500.0, true);
    for (auto _ : state) {
        int64_t total = SmoothStart(s, 0, 16);
        for (Pos p = 1; p != kNoPos; p = s.Next(p)) total += SmoothContinue(s, p);
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(Smoothing_HeavyMovingSumOverSeries)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
