// Peak resident memory while opening a data file, against the resident memory once it is open:
// the generated hour (25 channels at 100 Hz) and ten hours of the same channels.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchSessions.h"
#include "files/DataFile.h"
#include "host/NullHost.h"

namespace {

using namespace orvex;

// A value of /proc/self/status in bytes ("VmHWM", "VmRSS").
double StatusBytes(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(key);
    while (std::getline(in, line)) {
        if (line.compare(0, length, key) == 0 && line.size() > length && line[length] == ':')
            return std::stod(line.substr(length + 1)) * 1024.0;
    }
    return 0;
}

// Starts the peak count again at the present resident size.
bool ResetPeak() {
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    return static_cast<bool>(out.flush());
}

// The session written once per size into the temporary folder.
const std::string& SessionFile(int hours) {
    static std::string paths[11];
    std::string& path = paths[hours];
    if (!path.empty()) return path;
    auto ds = bench::HourAt100Hz();
    if (hours > 1) {
        for (auto& s : ds->m_rpm) bench::TenTimes(s.m_samples);
        for (auto& s : ds->m_analog) bench::TenTimes(s.m_samples);
    }
    DataFileContents contents;
    contents.datasets.push_back(std::move(ds));
    path = (std::filesystem::temp_directory_path() /
            ("orvex-bench-memory-" + std::to_string(::getpid()) + "-" + std::to_string(hours) +
             "h.tbc"))
               .string();
    CNullHost host;
    WriteDataFile(path, contents, host, Units::Imperial);
    contents.datasets.clear();
    ::malloc_trim(0);
    return path;
}

struct RemoveFiles {
    ~RemoveFiles() {
        for (int hours : {1, 10}) {
            std::error_code ec;
            std::filesystem::remove(SessionFile(hours), ec);
        }
    }
};

void OpenPeakMemory(benchmark::State& state, int hours) {
    static RemoveFiles removeAtExit;
    const std::string& path = SessionFile(hours);
    CNullHost host;
    double peak = 0, open = 0, before = 0, samples = 0;
    for (auto _ : state) {
        ::malloc_trim(0);
        before = StatusBytes("VmRSS");
        if (!ResetPeak()) state.SkipWithError("the peak resident size cannot be reset");
        DataFileContents contents;
        DataFileReadOptions options;
        if (!ReadDataFile(path, host, options, contents)) state.SkipWithError("read failed");
        open = StatusBytes("VmRSS");
        peak = StatusBytes("VmHWM");
        samples = 0;
        contents.datasets[0]->ForEachChannel(
            [&](CSeriesBase& s) { samples += static_cast<double>(s.Size()); });
        benchmark::DoNotOptimize(contents);
    }
    // What opening added to the process, at its peak and once open.
    state.counters["peak_mb"] = (peak - before) / 1e6;
    state.counters["open_mb"] = (open - before) / 1e6;
    state.counters["peak_per_open"] = open > before ? (peak - before) / (open - before) : 0;
    state.counters["samples"] = samples;
}

void DataFile_OpenPeakMemoryHourSession(benchmark::State& state) {
    OpenPeakMemory(state, 1);
}
BENCHMARK(DataFile_OpenPeakMemoryHourSession)->Unit(benchmark::kMillisecond)->Iterations(2);

void DataFile_OpenPeakMemoryTenHourSession(benchmark::State& state) {
    OpenPeakMemory(state, 10);
}
BENCHMARK(DataFile_OpenPeakMemoryTenHourSession)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
