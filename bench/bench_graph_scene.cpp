// Building the strip chart's display list for an hour of racing (20 analog and 5 RPM channels at
// 100 Hz, and the same hour at 1000 Hz) at 1600 x 900: the whole hour, 1 % of it, one second,
// and each step of panning. The second argument is the sample-rate factor (1 or 10).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "app/SessionGenerator.h"
#include "app/StderrHost.h"
#include "graph/GraphView.h"

namespace {

using namespace orvex;

constexpr int kWidth = 1600, kHeight = 900;

// The generated hour with every analog and RPM channel filled and shown.
std::unique_ptr<CBriodashDataset> HourAt100Hz() {
    GeneratorOptions options;
    options.minutes = 60;
    options.rateHz = 100;
    auto ds = GenerateSession(options);
    std::vector<int> filled;
    for (int i = 0; i < kAnalogChannels; ++i)
        if (ds->m_analog[static_cast<std::size_t>(i)].Size()) filled.push_back(i + 1);
    for (int i = 0, k = 0; i < kAnalogChannels; ++i) {
        if (ds->m_analog[static_cast<std::size_t>(i)].Size()) continue;
        const int source = filled[static_cast<std::size_t>(k++) % filled.size()];
        ds->m_analog[static_cast<std::size_t>(i)].m_samples =
            ds->m_analog[static_cast<std::size_t>(source - 1)].m_samples;
        ds->m_analog[static_cast<std::size_t>(i)].CopySettings(
            ds->m_analog[static_cast<std::size_t>(source - 1)]);
        ds->m_analog[static_cast<std::size_t>(i)].m_crTrace = 0x102030 * (i + 1);
        CAnalogSetup setup = *ds->m_carSetup.FindAnalogSetup(source);
        setup.m_nChannel = i + 1;
        ds->m_carSetup.m_analog.push_back(setup);
    }
    std::sort(ds->m_carSetup.m_analog.begin(), ds->m_carSetup.m_analog.end(),
              [](const auto& a, const auto& b) { return a.m_nChannel < b.m_nChannel; });
    for (int i = 0; i < kRpmChannels; ++i) {
        CShaftList& s = ds->m_rpm[static_cast<std::size_t>(i)];
        if (s.Size()) continue;
        s.m_samples = ds->m_rpm[0].m_samples;
        s.CopySettings(ds->m_rpm[0]);
        CFreqSetup setup = *ds->m_carSetup.FindRpmSetup(1);
        setup.m_nChannel = i + 1;
        ds->m_carSetup.m_rpm.push_back(setup);
    }
    for (auto& s : ds->m_rpm) s.m_nOn = 1;
    for (auto& s : ds->m_analog) s.m_nOn = 1;
    return ds;
}

// Ten samples for every one of `from`, spread evenly between neighbours (values held).
template <class TSample>
void TenTimes(std::vector<TSample>& v) {
    std::vector<TSample> out;
    out.reserve(v.size() * 10);
    for (std::size_t i = 0; i < v.size(); ++i) {
        const int32_t next = i + 1 < v.size() ? v[i + 1].m_lTime : v[i].m_lTime + 100;
        for (int k = 0; k < 10; ++k) {
            TSample s = v[i];
            s.m_lTime = v[i].m_lTime + (next - v[i].m_lTime) * k / 10;
            out.push_back(s);
        }
    }
    v.swap(out);
}

struct Session {
    CStderrHost host;
    CBriodashDoc doc{host, DocumentOptions{}};
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

}  // namespace

BENCHMARK(BM_GraphSceneWholeHour)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphSceneOnePercent)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphSceneOneSecond)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphScenePanStep)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphSceneAfterDataChange)
    ->Arg(1)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
