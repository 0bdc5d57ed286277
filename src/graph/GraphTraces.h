// Trace drawing for the strip chart: the values each series plots, cached with a min/max
// pyramid so that any window is reduced to at most four points per pixel column in time that
// does not grow with the number of samples.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <vector>

#include "graph/GraphScene.h"
#include "model/Dataset.h"
#include "model/Units.h"

namespace orvex::graph {

enum class TraceKind : uint8_t { Rpm, Slip, Analog, Digital };

// The horizontal value of every sample (its time less the zero time, or its distance), read
// straight from the samples.
struct SampleKeys {
    const unsigned char* base = nullptr;  // the field of the first sample
    std::size_t stride = 0, count = 0;
    int32_t zero = 0;

    int32_t operator[](std::size_t i) const {
        int32_t v = 0;
        std::memcpy(&v, base + i * stride, sizeof v);
        return static_cast<int32_t>(int64_t{v} - zero);
    }
    std::size_t size() const { return count; }
    const void* Address(std::size_t i) const { return base + i * stride; }
};

// The plotted value of every sample of one series, with the minimum and maximum of blocks of
// 16, 256, 4096 ... samples.
class CTraceData {
  public:
    static constexpr std::size_t kShift = 4;
    static constexpr std::size_t kBlock = std::size_t{1} << kShift;

    std::vector<int32_t> values;
    std::vector<std::vector<int32_t>> lo, hi;  // level k holds blocks of 16^(k+1) samples
    uint64_t fingerprint = 0;
    uint64_t lastUsed = 0;

    // Horizontal value (time less the zero time, or distance) of every sample, and of every
    // 16th, 256th ... sample; the levels are made on first use for the axis in use. A long
    // series keeps a copy of its horizontal values (`compactKeys`): read from samples far apart,
    // each column boundary of a zoomed-out window would cost a cache and page miss. A shorter
    // one reads them from the samples, and nothing is copied after a data change.
    static constexpr std::size_t kCompactKeysFrom = std::size_t{1} << 20;
    mutable SampleKeys keys;
    mutable std::vector<int32_t> compactKeys;
    mutable const void* keysSource = nullptr;

    // The dense pixel columns of the last drawing: samples [i, j) lie before the boundary
    // `next`, with their smallest and largest value. A column that starts at the same sample
    // before the same boundary again (the same window, or one moved by whole columns) is taken
    // from here.
    // The keys and values at its ends, and the key after it, are kept with it, so that a column
    // taken again reads no sample (on a long series each would be a cache miss).
    struct Column {
        std::size_t i, j;
        int64_t next;
        int32_t low, high;
        int32_t firstKey, lastKey, keyAfter;
        int32_t firstValue, lastValue;
    };
    mutable std::vector<Column> columns, columnsDrawn;
    void ForgetColumns() const {
        columns.clear();
        columnsDrawn.clear();
    }
    mutable std::vector<std::vector<int32_t>> keyLevels;
    mutable bool keysValid = false, keysByDistance = false;
    mutable int32_t keysZero = 0;

    void BuildPyramid();
    template <class TSample>
    void EnsureKeys(const std::vector<TSample>& samples, bool byDistance, int32_t zeroTime) const;
    // Smallest and largest value of samples [a, b) (b > a).
    void Range(std::size_t a, std::size_t b, int32_t& low, int32_t& high) const;
};

// Plotted values of the series of shown datasets, kept between drawings and rebuilt when the
// series, its setup or the units change.
class CTraceCache {
  public:
    const CTraceData& Get(const CBriodashDataset& ds, TraceKind kind, int channel, Units units,
                          float voltageCorrection);
    // Every series is computed again on its next use, into the buffers it had.
    void Invalidate() {
        for (auto& [key, data] : m_entries) data.fingerprint = 0;
    }
    // Ends a drawing: forgets series that were not drawn for a long time.
    void EndFrame();

  private:
    struct Key {
        const void* series;
        TraceKind kind;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const {
            return std::hash<const void*>()(k.series) ^ static_cast<std::size_t>(k.kind);
        }
    };
    std::unordered_map<Key, CTraceData, KeyHash> m_entries;
    uint64_t m_frame = 1;
};

// Horizontal mapping of a trace in device-independent and device pixels.
struct TraceXMap {
    int32_t xStart = 0, xSpan = 0;
    double unitsPerPixel = 1.0;
    double dpr = 1.0;
    bool byDistance = false;
    int32_t zeroTime = 0;  // subtracted from sample times
    // The first horizontal value of each device pixel column after the one indexed, found once
    // for all the traces drawn with this mapping (kUnknownKey until then).
    static constexpr int64_t kUnknownKey = std::numeric_limits<int64_t>::min();
    mutable std::vector<int64_t> nextColumnKeys;

    double Pixel(int32_t x) const {
        return x <= xStart ? kLeft : kLeft + (static_cast<double>(x) - xStart) / unitsPerPixel;
    }
    // Device pixel column of a horizontal value (0 at the left margin).
    int64_t Column(int32_t x) const {
        return x <= xStart
                   ? 0
                   : static_cast<int64_t>((static_cast<double>(x) - xStart) / unitsPerPixel * dpr);
    }
    static constexpr double kLeft = 55.0;
};

// Vertical mapping of plotted values.
struct TraceYMap {
    enum class Mode { Linear, Level } mode = Mode::Linear;
    double scale = 1.0;      // linear: value × scale is in axis units
    double bottomValue = 0;  // axis value at the plot bottom
    double perPixel = 1.0;   // axis units per pixel (may be negative for inverted scales)
    double plotBottom = 0;
    double levelY[2] = {0, 0};  // level mode: y of level 0 and level 1

    float Y(int32_t v) const {
        if (mode == Mode::Level) return static_cast<float>(levelY[v != 0 ? 1 : 0]);
        const double y = plotBottom - (v * scale - bottomValue) / perPixel;
        return static_cast<float>(y > plotBottom ? plotBottom : y);
    }
};

// Appends the trace of samples [first, last] of a series to the scene: from the last sample at
// or before the window start (drawn at the left margin) to the first sample beyond its end.
// Stepped traces move horizontally, then vertically; `extendTo` > 0 continues a stepped trace
// to that x when the data ends inside the window.
template <class TSample>
void EmitTrace(const std::vector<TSample>& samples, Pos first, Pos last, const CTraceData& data,
               const TraceXMap& xm, const TraceYMap& ym, ColorRef color, bool stepped,
               float extendTo, CGraphScene& scene);

// Index range [begin, end] of the samples that a window draws (begin: the last sample at or
// before the start; end: the first sample beyond its end), or false when nothing is drawn.
template <class TSample>
bool VisibleRange(const std::vector<TSample>& samples, Pos first, Pos last, const TraceXMap& xm,
                  std::size_t& begin, std::size_t& end);

}  // namespace orvex::graph

namespace orvex::graph {

// Vertical lines from `top` to `bottom` at the samples inside the window, at most one per device
// pixel column; with `changesOnly` only at samples whose value differs from the one before
// (and at the first sample inside the window).
template <class TSample>
void EmitEventLines(const std::vector<TSample>& samples, Pos first, Pos last,
                    const CTraceData& data, const TraceXMap& xm, bool changesOnly, float top,
                    float bottom, ColorRef color, CGraphScene& scene);

}  // namespace orvex::graph
