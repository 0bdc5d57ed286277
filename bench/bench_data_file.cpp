// Loading a binary data file of ten million samples, compared with copying the same bytes.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "files/DataFile.h"
#include "host/NullHost.h"

namespace {

using namespace orvex;

constexpr std::size_t kRpmSamples = 1'000'000;   // per RPM channel, 5 channels
constexpr std::size_t kAnalogSamples = 250'000;  // per analog channel, 20 channels
constexpr std::size_t kTotalSamples = 5 * kRpmSamples + 20 * kAnalogSamples;

// One session: engine and shaft periods with gear changes, and slowly varying analog counts.
std::vector<uint8_t> BuildFileBytes() {
    DataFileContents doc;
    auto ds = std::make_unique<CBriodashDataset>();
    ds->m_strName = "Bench";
    uint32_t noise = 12345;
    auto next = [&noise] {
        noise = noise * 1103515245u + 12345u;
        return static_cast<int32_t>((noise >> 16) & 0x3FF);
    };
    for (int c = 0; c < kRpmChannels; ++c) {
        auto& s = ds->m_rpm[c].m_samples;
        s.resize(kRpmSamples);
        for (std::size_t i = 0; i < kRpmSamples; ++i) {
            s[i].m_lTime = static_cast<int32_t>(i * 10);
            s[i].m_lRaw = s[i].m_lFiltered = 18000 + next();
            s[i].m_nGear = static_cast<int16_t>(1 + (i / 200000) % 5);
        }
    }
    for (int c = 0; c < kAnalogChannels; ++c) {
        auto& s = ds->m_analog[c].m_samples;
        s.resize(kAnalogSamples);
        for (std::size_t i = 0; i < kAnalogSamples; ++i) {
            s[i].m_lTime = static_cast<int32_t>(i * 40);
            s[i].m_lRaw = s[i].m_lFiltered = 2000 + next();
        }
    }
    doc.datasets.push_back(std::move(ds));
    CNullHost host;
    std::vector<uint8_t> bytes;
    WriteDataFileToBuffer("Bench.tbc", doc, host, Units::Imperial, bytes);
    return bytes;
}

struct BenchFile {
    std::vector<uint8_t> bytes = BuildFileBytes();
    std::string path = (std::filesystem::temp_directory_path() /
                        ("orvex-bench-" + std::to_string(::getpid()) + ".tbc"))
                           .string();
    BenchFile() {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    ~BenchFile() { std::filesystem::remove(path); }
};

BenchFile& File() {
    static BenchFile file;
    return file;
}

DataFileReadOptions NoAfterRead() {
    DataFileReadOptions o;
    o.afterRead = false;
    return o;
}

double BytesPerSample(const DataFileContents& c) {
    std::size_t bytes = 0, samples = 0;
    for (const auto& ds : c.datasets) {
        auto add = [&](const auto& series) {
            bytes += series.m_samples.capacity() * sizeof(series.m_samples[0]);
            samples += series.m_samples.size();
        };
        add(ds->m_markers);
        for (const auto& s : ds->m_rpm) add(s);
        for (const auto& s : ds->m_analog) add(s);
        for (const auto& s : ds->m_digital) add(s);
    }
    return samples ? static_cast<double>(bytes) / static_cast<double>(samples) : 0.0;
}

void DataFile_Load10MSamples(benchmark::State& state) {
    BenchFile& file = File();
    CNullHost host;
    double perSample = 0;
    for (auto _ : state) {
        auto contents = std::make_unique<DataFileContents>();
        if (!ReadDataFile(file.path, host, NoAfterRead(), *contents)) state.SkipWithError("read");
        state.PauseTiming();
        perSample = BytesPerSample(*contents);
        contents.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.bytes.size()));
    state.counters["samples"] = static_cast<double>(kTotalSamples);
    state.counters["bytes_per_sample"] = perSample;
}
BENCHMARK(DataFile_Load10MSamples)->Unit(benchmark::kMillisecond)->UseRealTime();

void Memcpy_Throughput(benchmark::State& state) {
    const std::vector<uint8_t>& src = File().bytes;
    std::vector<uint8_t> dst(src.size(), 1);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * src.size()));
}
BENCHMARK(Memcpy_Throughput)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parse alone: the sample memory freed by one iteration is kept by the allocator and
// reused by the next, so the kernel's first-touch cost of fresh pages is not counted here (the
// load benchmark above pays it).
void DataFile_ParseLoop(benchmark::State& state) {
    const BenchFile& file = File();
    CNullHost host;
    double perSample = 0;
    ::mallopt(M_MMAP_THRESHOLD, 32 << 20);  // the largest the allocator accepts
    ::mallopt(M_TRIM_THRESHOLD, 1 << 30);
    for (auto _ : state) {
        auto contents = std::make_unique<DataFileContents>();
        if (!ReadDataFileFromMemory(file.bytes.data(), file.bytes.size(), file.path, host,
                                    NoAfterRead(), *contents)) {
            state.SkipWithError("parse");
        }
        state.PauseTiming();
        perSample = BytesPerSample(*contents);
        contents.reset();
        state.ResumeTiming();
    }
    ::malloc_trim(0);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.bytes.size()));
    state.counters["bytes_per_sample"] = perSample;
}
BENCHMARK(DataFile_ParseLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
