// Repainting the track map the way its window does (scene built by the track view core, painted
// with the program's one painting path) into an offscreen 1600 x 900 picture: a 2-minute lap at
// 100 Hz with both segment bands, corner numbers, two marker squares and two race circles.
// "p95_ms" is the 95th percentile of single frames on the wall clock, "p95_cpu_ms" of their
// CPU time (target: under 5 ms).
#include <benchmark/benchmark.h>
#include <time.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "demo/SessionGenerator.h"
#include "graph/ui/ChartPainter.h"
#include "host/NullHost.h"
#include "processing/SpeedDistance.h"
#include "trackmap/TrackMap.h"
#include "trackmap/TrackSamples.h"
#include "trackmap/TrackView.h"

namespace {

using namespace orvex;

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

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

const CTrackMap& Map() {
    static const CTrackMap map = [] {
        GeneratorOptions options;
        options.minutes = 7.0;
        options.rateHz = 100.0;
        std::unique_ptr<CBriodashDataset> ds = GenerateSession(options);
        CNullHost host;
        DeriveAfterLoad(*ds, kDistanceFrontWheel, Units::Imperial, host);
        CTrackMap m;
        TrackMapOptions o;
        o.speedSource = kSpeedFrontWheel;
        if (std::optional<TrackLap> lap = FindTrackLap(*ds, 2))
            MakeTrackMap(*lap, o, Units::Imperial, m, host);
        return m;
    }();
    return map;
}

void TrackView_Paint1600x900(benchmark::State& state) {
    EnsureGui();
    CTrackViewModel view;
    view.SetClientSize(1600, 900);
    view.SetTextHeight(14);
    view.SetMap(&Map());
    view.m_nDrawFlags = kDrawAccelSegments | kDrawCornerSegments | kDrawCornerNumbers;
    view.m_greenDistance = 3000.0;
    view.m_redDistance = 9000.0;
    view.m_raceCircles = {{5000.0, MakeRGB(255, 0, 255)}, {5300.0, MakeRGB(0, 160, 255)}};
    QImage img(1600, 900, QImage::Format_RGB32);
    CGraphScene scene;
    std::vector<double> ms, cpu;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = CpuMs();
        view.BuildScene(scene);
        QPainter p(&img);
        PaintScene(p, scene);
        p.end();
        cpu.push_back(CpuMs() - c0);
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    state.counters["p95_ms"] = ms.empty() ? 0.0 : ms[ms.size() * 95 / 100];
    // The CPU time of the frames, the figure that holds on a loaded machine.
    state.counters["p95_cpu_ms"] = cpu.empty() ? 0.0 : cpu[cpu.size() * 95 / 100];
    state.counters["points"] = static_cast<double>(scene.PointCount());
}
BENCHMARK(TrackView_Paint1600x900)->Unit(benchmark::kMillisecond);

}  // namespace
