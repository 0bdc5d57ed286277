// Repainting each auxiliary view as its widget does (scene built by the view's core, painted
// with QPainter) into an offscreen 1600 x 900 picture; "p95_ms" is the 95th percentile of the
// frames (target: under 5 ms). The traction circle is timed for one lap and for the whole hour
// at 100 Hz, the histogram for four channels of the hour, the lap report for 30 laps.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "../BenchSessions.h"
#include "host/NullHost.h"
#include "processing/SpeedDistance.h"
#include "views/LapReportModel.h"
#include "views/ViewData.h"
#include "views/ViewScenes.h"
#include "views/ui/ViewPainter.h"

namespace {

using namespace orvex;

constexpr int kWidth = 1600, kHeight = 900;

void EnsureGui() {
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "orvex-bench";
        static char* argv[] = {name, nullptr};
        return QGuiApplication::instance() ? nullptr : new QGuiApplication(argc, argv);
    }();
    (void)app;
}

CBriodashDataset& Hour() {
    static std::unique_ptr<CBriodashDataset> ds = [] {
        auto d = bench::HourAt100Hz();
        CNullHost host;
        DeriveAfterLoad(*d, kDistanceRearWheel, Units::Imperial, host);
        return d;
    }();
    return *ds;
}

double Percentile95(std::vector<double> ms) {
    if (ms.empty()) return 0.0;
    std::sort(ms.begin(), ms.end());
    const std::size_t i = (ms.size() * 95 + 99) / 100;
    return ms[std::min(ms.size(), std::max<std::size_t>(i, 1)) - 1];
}

// Times each frame: build the scene for the picture and paint it.
template <class Build>
void TimeRepaints(benchmark::State& state, Build&& build) {
    EnsureGui();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    CViewScene scene;
    std::vector<double> ms;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        QPainter p(&image);
        build(MeasureViewFonts(p), scene);
        PaintViewScene(p, scene);
        p.end();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    state.counters["p95_ms"] = Percentile95(ms);
    state.counters["prims"] = static_cast<double>(scene.prims.size());
}

void TractionCircleRepaint(benchmark::State& state) {
    CBriodashDataset& ds = Hour();
    const bool wholeHour = state.range(0) != 0;
    static CFrictionCircle circle(FrictionSettings{}, Units::Imperial);
    circle.SetSelection({wholeHour ? SessionEntry(ds) : LapEntry(ds, CompleteLaps(ds).at(1))});
    CNullHost host;
    circle.MoveMarker(true, circle.Entries()[0].times[circle.Entries()[0].times.size() / 2], host);
    TimeRepaints(state, [&](const ViewMetrics& m, CViewScene& scene) {
        BuildTractionScene(circle, kWidth, kHeight, m, scene);
    });
    state.counters["points"] = static_cast<double>(circle.PointCount());
}
BENCHMARK(TractionCircleRepaint)->Arg(0)->Arg(1)->ArgNames({"hour"})->Unit(benchmark::kMillisecond);

void HistogramRepaint(benchmark::State& state) {
    CBriodashDataset& ds = Hour();
    const CDatasetList whole = SessionEntry(ds);
    std::vector<CChannelList> channels;
    for (const CChannelList& c : AvailableChannels({whole}, Units::Imperial))
        if (c.Kind() == ChannelKind::Analog && channels.size() < 4 &&
            (channels.empty() || channels.front().m_nCode == c.m_nCode))
            channels.push_back(c);
    HistogramFlags flags;
    flags.bars3D = state.range(0) != 0;
    const HistogramChart chart = ComputeHistogram({whole}, channels, flags, Units::Imperial);
    TimeRepaints(state, [&](const ViewMetrics& m, CViewScene& scene) {
        BuildHistogramScene(chart, flags, kWidth, kHeight, m, HistogramLook{}, scene);
    });
    state.counters["bars"] =
        static_cast<double>(chart.rows.size() * static_cast<std::size_t>(chart.bands));
}
BENCHMARK(HistogramRepaint)->Arg(0)->Arg(1)->ArgNames({"3d"})->Unit(benchmark::kMillisecond);

void LapReportRepaint(benchmark::State& state) {
    CBriodashDataset& ds = Hour();
    MapSegments map;
    map.lapLength = ds.m_lLapDistance > 0 ? ds.m_lLapDistance / 10.0 : 10000.0;
    for (int k = 1; k <= 12; ++k) {
        map.ends.push_back(map.lapLength * k / 12.0);
        map.kinds.push_back(static_cast<uint8_t>(1 + k % 3));
    }
    std::set<int> selected;
    for (int lap : CompleteLaps(ds))
        if (selected.size() < 30) selected.insert(lap);
    LapReportOptions options;
    options.displaySpeeds = options.calculateBest = options.highliteBest = options.colorSegs = true;
    options.viewAll = false;
    CLapReportModel table;
    table.SetTable(BuildLapReport(ds, kDistanceRearWheel, map, options, selected, Units::Imperial));
    table.FitColumns([](const std::string& text) { return static_cast<int>(text.size()) * 7; });
    TimeRepaints(state, [&](const ViewMetrics& m, CViewScene& scene) {
        BuildLapReportScene(table, kWidth, kHeight, m, scene);
    });
    state.counters["rows"] = static_cast<double>(table.RowCount());
}
BENCHMARK(LapReportRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
