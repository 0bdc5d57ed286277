// Repainting each auxiliary view at 1600 x 900 as its scene widget does: the core view builds
// its scene and the one painting path paints it into an offscreen picture. "p95_ms" is the
// 95th percentile of the frames on the wall clock, "p95_cpu_ms" of the CPU time the frames
// took (the figure that holds on a loaded machine); the target is under 5 ms.
// - *_Paint1600x900: the whole view from nothing kept (a new size, new data, a new selection);
//   the traction circle for one lap and for the whole hour at 100 Hz.
// - TractionCircle_PaintPoints1600x900: the whole hour as data points from nothing kept.
// - TractionCircle_PaintKeptTraces1600x900: the whole view again at the same size with the
//   reduced traces kept (a grid or colour toggled).
// - TractionCircle_MarkerMove1600x900: a marker moving one sample a frame; the overlay (boxes
//   and value texts) is built alone and painted over the kept base drawing where it was and
//   where it goes, as the widget does.
#include <benchmark/benchmark.h>
#include <time.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "../BenchSessions.h"
#include "app/DocumentSetup.h"
#include "graph/ui/ChartPainter.h"
#include "host/NullHost.h"
#include "processing/SpeedDistance.h"
#include "views/AuxViews.h"
#include "views/ViewData.h"

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

struct NoCanvas : IViewCanvas {
    void Invalidate(ViewLayer) override {}
};

// A document holding the generated session of `minutes` at 100 Hz with its distances.
struct SessionDoc {
    explicit SessionDoc(double minutes) {
        GeneratorOptions options;
        options.minutes = minutes;
        options.rateHz = 100;
        auto ds = minutes == 60 ? bench::HourAt100Hz() : GenerateSession(options);
        DeriveAfterLoad(*ds, kDistanceRearWheel, Units::Imperial, host);
        doc.m_datasets.push_back(std::move(ds));
    }
    CBriodashDataset& Session() { return *doc.m_datasets.front(); }
    CNullHost host;
    CBriodashDoc doc{host, DefaultDocumentServices(), {}};
};

SessionDoc& Hour() {
    static SessionDoc s(60);
    return s;
}

// Thirty complete laps of the demonstration circuit.
SessionDoc& ThirtyLaps() {
    static SessionDoc s(75);
    return s;
}

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double Percentile95(std::vector<double> ms) {
    if (ms.empty()) return 0.0;
    std::sort(ms.begin(), ms.end());
    const std::size_t i = (ms.size() * 95 + 99) / 100;
    return ms[std::min(ms.size(), std::max<std::size_t>(i, 1)) - 1];
}

SceneMetrics Metrics() {
    EnsureGui();
    return MeasureSceneFonts(QGuiApplication::font());
}

// Times each frame on the wall clock and in CPU time.
template <class Frame>
void TimeFrames(benchmark::State& state, Frame&& frame) {
    std::vector<double> wall, cpu;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = CpuMs();
        frame();
        cpu.push_back(CpuMs() - c0);
        wall.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    state.counters["p95_ms"] = Percentile95(wall);
    state.counters["p95_cpu_ms"] = Percentile95(cpu);
}

// The whole scene painted as the widget paints its base drawing and overlay.
void PaintWhole(QImage& image, const CGraphScene& scene) {
    QPainter p(&image);
    PaintScene(p, scene);
}

std::unique_ptr<CFrictionView> Circle(NoCanvas& canvas, bool wholeHour) {
    SessionDoc& s = Hour();
    auto view = std::make_unique<CFrictionView>(s.doc, s.host, canvas, FrictionSettings{}, 0.0f);
    view->SetMetrics(Metrics());
    view->SetSelection({wholeHour ? SessionEntry(s.Session())
                                  : LapEntry(s.Session(), CompleteLaps(s.Session()).at(1))});
    const FrictionEntry& e = view->Circle().Entries().at(0);
    s.doc.m_lGreenTime = e.times[e.times.size() / 2];
    s.doc.m_lRedTime = e.times[e.times.size() / 3];
    view->OnUpdate(ViewUpdate{.hint = kHintGreenMoved});
    view->OnUpdate(ViewUpdate{.hint = kHintRedMoved});
    return view;
}

void TractionCircle_Paint1600x900(benchmark::State& state) {
    NoCanvas canvas;
    auto view = Circle(canvas, state.range(0) != 0);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    TimeFrames(state, [&] {
        view->SettingsChanged();  // nothing kept
        PaintWhole(image, view->BuildScene(kWidth, kHeight, 1.0, false));
    });
    state.counters["points"] = static_cast<double>(view->Circle().PointCount());
    state.counters["drawn_points"] = static_cast<double>(view->Traces().Points());
}
BENCHMARK(TractionCircle_Paint1600x900)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"hour"})
    ->Unit(benchmark::kMillisecond);

// The whole hour drawn as data points, from nothing kept.
void TractionCircle_PaintPoints1600x900(benchmark::State& state) {
    NoCanvas canvas;
    auto view = Circle(canvas, true);
    view->Circle().Settings().drawCurve = false;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    TimeFrames(state, [&] {
        view->SettingsChanged();  // nothing kept
        PaintWhole(image, view->BuildScene(kWidth, kHeight, 1.0, false));
    });
    state.counters["drawn_points"] = static_cast<double>(view->Traces().Points());
}
BENCHMARK(TractionCircle_PaintPoints1600x900)->Unit(benchmark::kMillisecond);

void TractionCircle_PaintKeptTraces1600x900(benchmark::State& state) {
    NoCanvas canvas;
    auto view = Circle(canvas, true);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    TimeFrames(state, [&] { PaintWhole(image, view->BuildScene(kWidth, kHeight, 1.0, false)); });
}
BENCHMARK(TractionCircle_PaintKeptTraces1600x900)->Unit(benchmark::kMillisecond);

void TractionCircle_MarkerMove1600x900(benchmark::State& state) {
    NoCanvas canvas;
    auto view = Circle(canvas, true);
    SessionDoc& s = Hour();
    QImage base(kWidth, kHeight, QImage::Format_RGB32),
        image(kWidth, kHeight, QImage::Format_RGB32);
    {
        QPainter p(&base);
        PaintBase(p, view->BuildScene(kWidth, kHeight, 1.0, false));
    }
    const std::vector<int32_t>& times = view->Circle().Entries().at(0).times;
    std::size_t step = times.size() / 2;
    auto rects = [](const CGraphScene& scene) {
        QRegion r;
        if (auto e = LayerExtents(scene, scene.overlay, 2))
            for (const GRectI& g : *e) r += QRect(QPoint(g.left, g.top), QPoint(g.right, g.bottom));
        return r;
    };
    QRegion before = rects(view->BuildOverlay(kWidth, kHeight, 1.0));
    TimeFrames(state, [&] {
        step = step + 1 < times.size() ? step + 1 : 0;
        s.doc.m_lGreenTime = times[step];
        view->OnUpdate(ViewUpdate{.hint = kHintGreenMoved});
        const CGraphScene& overlay = view->BuildOverlay(kWidth, kHeight, 1.0);
        const QRegion now = rects(overlay);
        QPainter p(&image);
        for (const QRect& r : before + now) p.drawImage(r, base, r);
        PaintOverlay(p, overlay);
        before = now;
    });
}
BENCHMARK(TractionCircle_MarkerMove1600x900)->Unit(benchmark::kMillisecond);

void Histogram_Paint1600x900(benchmark::State& state) {
    SessionDoc& s = Hour();
    NoCanvas canvas;
    CHistogramView view(s.doc, canvas, 0.0f);
    view.SetMetrics(Metrics());
    view.SetSessions({SessionEntry(s.Session())});
    std::vector<CChannelList> channels;
    for (const CChannelList& c : view.Selection().available)
        if (c.Kind() == ChannelKind::Analog && channels.size() < 4 &&
            (channels.empty() || channels.front().m_nCode == c.m_nCode))
            channels.push_back(c);
    view.Selection().channels = channels;
    view.Flags().bars3D = state.range(0) != 0;
    view.Refresh();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    TimeFrames(state, [&] { PaintWhole(image, view.BuildScene(kWidth, kHeight, 1.0, false)); });
    state.counters["bars"] = static_cast<double>(view.Chart().rows.size() *
                                                 static_cast<std::size_t>(view.Chart().bands));
}
BENCHMARK(Histogram_Paint1600x900)->Arg(0)->Arg(1)->ArgNames({"3d"})->Unit(benchmark::kMillisecond);

void LapReport_Paint1600x900_30Laps(benchmark::State& state) {
    SessionDoc& s = ThirtyLaps();
    NoCanvas canvas;
    LapReportOptions options;
    options.displaySpeeds = options.calculateBest = options.highliteBest = options.colorSegs = true;
    CLapReportView view(s.doc, canvas, options, LapReportColours{});
    view.SetMetrics(Metrics());
    const QFont font = QGuiApplication::font();
    view.SetTextWidth([font](const std::string& text) { return SceneTextWidth(font, text); });
    MapSegments map;
    CBriodashDataset& ds = s.Session();
    map.lapLength = ds.m_lLapDistance > 0 ? ds.m_lLapDistance / 10.0 : 10000.0;
    for (int k = 1; k <= 12; ++k) {
        map.ends.push_back(map.lapLength * k / 12.0);
        map.kinds.push_back(static_cast<uint8_t>(1 + k % 3));
    }
    view.SetMap(&ds, map);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    TimeFrames(state, [&] { PaintWhole(image, view.BuildScene(kWidth, kHeight, 1.0, false)); });
    state.counters["rows"] = static_cast<double>(view.Model().RowCount());
}
BENCHMARK(LapReport_Paint1600x900_30Laps)->Unit(benchmark::kMillisecond);

}  // namespace
