#include <benchmark/benchmark.h>

#include "model/TimeFormat.h"

static void FormatTime_MarkerListText(benchmark::State& state) {
    int32_t t = 0;
    for (auto _ : state) benchmark::DoNotOptimize(orvex::FormatTime(t += 337, 3));
}
BENCHMARK(FormatTime_MarkerListText);
