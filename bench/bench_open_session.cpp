// Opening a generated hour of racing (25 channels at 100 Hz) with the after-read filtering,
// as the program opens a data file whose channels were saved filtered.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>

#include "demo/SessionGenerator.h"
#include "files/DataFile.h"
#include "host/StderrHost.h"

namespace {

const std::string& HourFile() {
    static const std::string path = [] {
        orvex::GeneratorOptions options;
        options.minutes = 60;
        options.rateHz = 100;
        auto ds = orvex::GenerateSession(options);
        // Fill the free analog channels with copies of the shock channels until 25 channels
        // hold data, and mark every RPM and analog channel as saved filtered.
        int channels = 0;
        ds->ForEachChannel([&](orvex::CSeriesBase& s) { channels += s.Size() ? 1 : 0; });
        for (int i = 0; i < orvex::kAnalogChannels && channels < 25; ++i) {
            if (ds->m_analog[static_cast<std::size_t>(i)].Size()) continue;
            const int source = 3 + i % 4;
            ds->m_analog[static_cast<std::size_t>(i)].m_samples =
                ds->m_analog[static_cast<std::size_t>(source - 1)].m_samples;
            orvex::CAnalogSetup setup = *ds->m_carSetup.FindAnalogSetup(source);
            setup.m_nChannel = i + 1;
            ds->m_carSetup.m_analog.push_back(setup);
            ++channels;
        }
        std::sort(ds->m_carSetup.m_analog.begin(), ds->m_carSetup.m_analog.end(),
                  [](const auto& a, const auto& b) { return a.m_nChannel < b.m_nChannel; });
        for (auto& s : ds->m_rpm) s.m_nDataMode = 2;
        for (auto& s : ds->m_analog) s.m_nDataMode = 2;
        orvex::DataFileContents contents;
        contents.datasets.push_back(std::move(ds));
        std::string p = (std::filesystem::temp_directory_path() / "orvex-bench-hour.tbc").string();
        orvex::CStderrHost host;
        orvex::WriteDataFile(p, contents, host, orvex::Units::Imperial);
        return p;
    }();
    return path;
}

void DataFile_OpenHourSession25ChannelsFiltered(benchmark::State& state) {
    const std::string& path = HourFile();
    orvex::CStderrHost host;
    int64_t samples = 0;
    for (auto _ : state) {
        orvex::DataFileContents contents;
        orvex::DataFileReadOptions options;
        options.afterRead = true;
        if (!orvex::ReadDataFile(path, host, options, contents)) state.SkipWithError("read failed");
        samples = 0;
        contents.datasets[0]->ForEachChannel(
            [&](orvex::CSeriesBase& s) { samples += static_cast<int64_t>(s.Size()); });
        benchmark::DoNotOptimize(contents);
    }
    state.counters["samples"] = static_cast<double>(samples);
}
BENCHMARK(DataFile_OpenHourSession25ChannelsFiltered)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
