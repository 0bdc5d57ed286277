// One tick of the live-data sheet on a full page: the poll (generated readings through the
// page's reply parsing), setting the gauges and the repaint of every gauge that changed, on
// the offscreen platform. Target: under 2 ms, well inside the 25 ms poll interval. One run per
// kind of full page: eight exhaust bars, eight dials of the misc page, four RPM dials, and the
// car outline with its three accelerometer dials.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabWidget>
#include <string>

#include "host/NullHost.h"
#include "logger/link/SerialLine.h"
#include "logger/live/LiveData.h"
#include "logger/live/LiveDataDemo.h"
#include "logger/ui/Gauges.h"
#include "logger/ui/LiveDataSheet.h"

namespace {

using namespace orvex;

// The gauges are widgets, which need a QApplication; it is made before any benchmark runs so
// that the painting benchmarks' own start-up finds it.
QApplication* MakeApplication() {
    if (QCoreApplication::instance()) return qobject_cast<QApplication*>(qApp);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "orvex-bench";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
}
QApplication* const kApplication = MakeApplication();

// The demonstration car with its analog channels replaced by `count` of type `code`.
CCarSetup WithAnalogs(int32_t code, int first, int count, const std::string& name) {
    CCarSetup car = LiveDemoCarSetup(Units::Imperial);
    car.m_analog.clear();
    for (int ch = first; ch < first + count; ++ch) {
        CAnalogSetup s;
        s.m_nChannel = ch;
        s.ChooseType(code);
        s.m_strDescription = name + " #" + std::to_string(ch);
        car.m_analog.push_back(s);
    }
    return car;
}

void PollAndRepaint(benchmark::State& state, const CCarSetup& car, const QString& title) {
    if (!kApplication) {
        state.SkipWithError("no QApplication");
        return;
    }
    CNullHost host;
    auto line = MakePosixSerialLine();
    CLiveDataSheet sheet(*line, host, CLinkOptions{}, car, Units::Imperial, 0.0f, true, false);
    sheet.Start();
    CLiveDataDialog dialog(nullptr, sheet, host);
    dialog.resize(1000, 560);
    dialog.show();
    if (!dialog.ShowPage(title)) {
        state.SkipWithError("no such page");
        return;
    }
    QApplication::processEvents();
    const int page = dialog.Tabs()->currentIndex();
    const auto paints = [&] {
        long n = 0;
        for (CGauge* g : dialog.Gauges(page)) n += g->Paints();
        if (CCarOutline* c = dialog.Car(page)) n += c->Paints();
        return n;
    };
    const long before = paints();
    for (auto _ : state) {
        dialog.Tick();
        QApplication::processEvents();
    }
    state.counters["gauges"] = static_cast<double>(dialog.Gauges(page).size());
    state.counters["repaints_per_tick"] =
        static_cast<double>(paints() - before) / static_cast<double>(state.iterations());
    dialog.reject();
}

void BM_LiveDataPollAndRepaintFullPage(benchmark::State& state) {
    PollAndRepaint(state, WithAnalogs(kAnalog2Egt, 1, 8, "EGT"), QStringLiteral("EGTs"));
}
BENCHMARK(BM_LiveDataPollAndRepaintFullPage)->Unit(benchmark::kMillisecond);

void BM_LiveDataPollAndRepaintFullMiscDialPage(benchmark::State& state) {
    PollAndRepaint(state, WithAnalogs(kAnalog2Custom, 1, CLivePropertyPage::kMiscPerPage, "Sensor"),
                   QStringLiteral("Misc. Analogs"));
}
BENCHMARK(BM_LiveDataPollAndRepaintFullMiscDialPage)->Unit(benchmark::kMillisecond);

void BM_LiveDataPollAndRepaintRpmDialPage(benchmark::State& state) {
    PollAndRepaint(state, LiveDemoCarSetup(Units::Imperial), QStringLiteral("RPM/MPH"));
}
BENCHMARK(BM_LiveDataPollAndRepaintRpmDialPage)->Unit(benchmark::kMillisecond);

void BM_LiveDataPollAndRepaintAccelPageWithCar(benchmark::State& state) {
    PollAndRepaint(state, LiveDemoCarSetup(Units::Imperial), QStringLiteral("Accels"));
}
BENCHMARK(BM_LiveDataPollAndRepaintAccelPageWithCar)->Unit(benchmark::kMillisecond);

}  // namespace
