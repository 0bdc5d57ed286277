#include <benchmark/benchmark.h>

#include "demo/SessionGenerator.h"

// A one-hour session at 100 Hz on the default circuit: the largest the demo and tests ask for.
static void GenerateSession_60Minutes100Hz(benchmark::State& state) {
    orvex::GeneratorOptions options;
    options.minutes = 60.0;
    options.rateHz = 100.0;
    for (auto _ : state) benchmark::DoNotOptimize(orvex::GenerateSession(options));
}
BENCHMARK(GenerateSession_60Minutes100Hz)->Unit(benchmark::kMillisecond);

// The same hour with the ground truth kept for comparison.
static void GenerateSession_60Minutes100HzWithTruth(benchmark::State& state) {
    orvex::GeneratorOptions options;
    options.minutes = 60.0;
    for (auto _ : state) {
        orvex::GeneratorTruth truth;
        benchmark::DoNotOptimize(orvex::GenerateSession(options, &truth));
    }
}
BENCHMARK(GenerateSession_60Minutes100HzWithTruth)->Unit(benchmark::kMillisecond);
