// Building the strip chart's display list for an hour of racing (20 analog and 5 RPM channels at
// 100 Hz, and the same hour at 1000 Hz) at 1600 x 900: the whole hour, 1 % of it, one second,
// and each step of panning. The second argument is the sample-rate factor (1 or 10).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "BenchSessions.h"
#include "app/DocumentSetup.h"
#include "demo/SessionGenerator.h"
#include "graph/GraphTraces.h"
#include "graph/GraphView.h"
#include "host/StderrHost.h"

namespace {

using namespace orvex;

constexpr int kWidth = 1600, kHeight = 900;

using bench::HourAt100Hz;
using bench::TenTimes;

struct Session {
    CStderrHost host;
    CBriodashDoc doc{host, DefaultDocumentServices(), DocumentOptions{}};
    CGraphLayout layout;
    int32_t end = 0;
};

Session& SessionAt(int factor) {
    static std::unique_ptr<Session> sessions[2];
    auto& slot = sessions[factor == 10 ? 1 : 0];
    if (!slot) {
        slot = std::make_unique<Session>();
        auto ds = HourAt100Hz();
        if (factor == 10) {
            for (auto& s : ds->m_rpm) TenTimes(s.m_samples);
            for (auto& s : ds->m_analog) TenTimes(s.m_samples);
        }
        slot->doc.m_datasets.push_back(std::move(ds));
        slot->end = slot->doc.LatestEnd();
        // The first drawing fills the cache of plotted values.
        CGraphViewState st;
        st.m_lXMax = slot->end;
        st.m_lXSpan = slot->end;
        st.m_lRpmSpan = st.m_lRpmMax = 10000000;
        slot->layout.Build(slot->doc, st, GraphOptions{}, kWidth, kHeight);
    }
    return *slot;
}

CGraphViewState Window(const Session& s, int32_t start, int32_t span) {
    CGraphViewState st;
    st.m_lXMin = 0;
    st.m_lXMax = s.end;
    st.m_lXStart = start;
    st.m_lXSpan = span;
    st.m_lRpmSpan = st.m_lRpmMax = 10000000;
    st.m_pCurrent = s.doc.m_datasets.front().get();
    return st;
}

void Report(benchmark::State& state, const CGraphScene& scene) {
    state.counters["points"] = static_cast<double>(scene.PointCount());
    state.counters["lines"] = static_cast<double>(scene.lines.size());
}

void BM_GraphSceneWholeHour(benchmark::State& state) {
    Session& s = SessionAt(static_cast<int>(state.range(0)));
    const CGraphViewState st = Window(s, 0, s.end);
    for (auto _ : state) benchmark::DoNotOptimize(&s.layout.Build(s.doc, st, {}, kWidth, kHeight));
    Report(state, s.layout.Scene());
}

void BM_GraphSceneOnePercent(benchmark::State& state) {
    Session& s = SessionAt(static_cast<int>(state.range(0)));
    const CGraphViewState st = Window(s, s.end / 2, s.end / 100);
    for (auto _ : state) benchmark::DoNotOptimize(&s.layout.Build(s.doc, st, {}, kWidth, kHeight));
    Report(state, s.layout.Scene());
}

void BM_GraphSceneOneSecond(benchmark::State& state) {
    Session& s = SessionAt(static_cast<int>(state.range(0)));
    const CGraphViewState st = Window(s, s.end / 2, 10000);
    for (auto _ : state) benchmark::DoNotOptimize(&s.layout.Build(s.doc, st, {}, kWidth, kHeight));
    Report(state, s.layout.Scene());
}

// One step of a pan of 100 steps of a tenth of a 1 % window each.
void BM_GraphScenePanStep(benchmark::State& state) {
    Session& s = SessionAt(static_cast<int>(state.range(0)));
    const int32_t span = s.end / 100;
    CGraphViewState st = Window(s, s.end / 3, span);
    int step = 0;
    for (auto _ : state) {
        st.m_lXStart = s.end / 3 + (step++ % 100) * (span / 10);
        benchmark::DoNotOptimize(&s.layout.Build(s.doc, st, {}, kWidth, kHeight));
    }
    Report(state, s.layout.Scene());
}

// The first drawing after the data changed: every plotted value is computed again.
void BM_GraphSceneAfterDataChange(benchmark::State& state) {
    Session& s = SessionAt(static_cast<int>(state.range(0)));
    const CGraphViewState st = Window(s, 0, s.end);
    for (auto _ : state) {
        s.layout.InvalidateCache();
        benchmark::DoNotOptimize(&s.layout.Build(s.doc, st, {}, kWidth, kHeight));
    }
}

// The min/max pyramid of the plotted values and the horizontal keys of every trace of the hour
// (20 analog and 5 RPM channels), built again from values already computed: the part of the
// first drawing that comes on top of the values themselves.
void BM_TracePyramidBuildHourSession(benchmark::State& state) {
    Session& s = SessionAt(1);
    const CBriodashDataset& ds = *s.doc.m_datasets.front();
    graph::CTraceCache cache;
    struct Trace {
        graph::CTraceData* data;
        const CSeriesBase* series;
        bool shaft;
    };
    std::vector<Trace> traces;
    std::size_t samples = 0;
    for (int ch = 1; ch <= kAnalogChannels; ++ch) {
        auto& d = const_cast<graph::CTraceData&>(
            cache.Get(ds, graph::TraceKind::Analog, ch, Units::Imperial, 0));
        traces.push_back({&d, &ds.m_analog[static_cast<std::size_t>(ch - 1)], false});
    }
    for (int ch = 1; ch <= kRpmChannels; ++ch) {
        auto& d = const_cast<graph::CTraceData&>(
            cache.Get(ds, graph::TraceKind::Rpm, ch, Units::Imperial, 0));
        traces.push_back({&d, &ds.m_rpm[static_cast<std::size_t>(ch - 1)], true});
    }
    for (const Trace& t : traces) samples += t.data->values.size();
    for (auto _ : state) {
        for (const Trace& t : traces) {
            t.data->BuildPyramid();
            t.data->keysValid = false;
            if (t.shaft)
                t.data->EnsureKeys(static_cast<const CShaftList*>(t.series)->m_samples, false, 0);
            else
                t.data->EnsureKeys(static_cast<const CSampleList*>(t.series)->m_samples, false, 0);
        }
        benchmark::ClobberMemory();
    }
    state.counters["samples"] = static_cast<double>(samples);
}

}  // namespace

BENCHMARK(BM_TracePyramidBuildHourSession)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphSceneWholeHour)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphSceneOnePercent)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphSceneOneSecond)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphScenePanStep)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphSceneAfterDataChange)
    ->Arg(1)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
