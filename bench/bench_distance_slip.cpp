// Distance and slip over a one-hour session at 100 Hz (360000 samples per channel), built once
// by the session generator so that every run works on the same data.
#include <benchmark/benchmark.h>

#include <memory>

#include "demo/SessionGenerator.h"
#include "host/NullHost.h"
#include "processing/SpeedDistance.h"

namespace {

using namespace orvex;

CBriodashDataset& HourSession() {
    static std::unique_ptr<CBriodashDataset> ds = [] {
        GeneratorOptions options;
        options.minutes = 60.0;
        options.rateHz = 100.0;
        options.seed = 7;
        return GenerateSession(options);
    }();
    return *ds;
}

void BM_ComputeDistanceFromRearWheelOneHour100Hz(benchmark::State& state) {
    CBriodashDataset& ds = HourSession();
    CNullHost host;
    for (auto _ : state) {
        bool ok = ComputeDistance(ds, kDistanceRearWheel, Units::Imperial, host);
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(ds.m_rpm[0].Size()));
}
BENCHMARK(BM_ComputeDistanceFromRearWheelOneHour100Hz)->Unit(benchmark::kMillisecond);

void BM_ComputeDistanceFromAccelerometerOneHour100Hz(benchmark::State& state) {
    CBriodashDataset& ds = HourSession();
    CNullHost host;
    for (auto _ : state) {
        bool ok = ComputeDistance(ds, kDistanceAccelerometer, Units::Imperial, host);
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_ComputeDistanceFromAccelerometerOneHour100Hz)->Unit(benchmark::kMillisecond);

// Every RPM channel that has a slip partner, as after loading.
void BM_ComputeSlipAllChannelsOneHour100Hz(benchmark::State& state) {
    CBriodashDataset& ds = HourSession();
    CNullHost host;
    for (auto _ : state) {
        for (int c = 1; c <= kRpmChannels; ++c) {
            ds.m_rpm[static_cast<std::size_t>(c - 1)].m_bSlipDirty = 1;
            ComputeSlip(ds, c, true, Units::Imperial, host);
        }
        benchmark::DoNotOptimize(ds.m_rpm[0].m_samples.data());
    }
}
BENCHMARK(BM_ComputeSlipAllChannelsOneHour100Hz)->Unit(benchmark::kMillisecond);

}  // namespace
