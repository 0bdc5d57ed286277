// Deterministic session generator: a simulated car lapping a real circuit outline, recorded into
// a dataset the way a logger upload fills one. Tests, benchmarks and the demo use it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Dataset.h"

namespace orvex {

struct GeneratorOptions {
    double minutes = 5.0;   // length of the session
    double rateHz = 100.0;  // analog and RPM sample rate; switches run at a fifth of it
    uint32_t seed = 1;      // the same seed gives the same samples
    std::string circuitId = "gb-1948";
};

// The closed path the car drives: the circuit outline projected to metres (x east, y north,
// origin at the outline's mean position), resampled every `step` metres with its corners
// rounded. Point 0 lies on the start/finish line; the points run in racing order.
struct GeneratorPath {
    std::string circuitId;
    std::string circuitName;
    double officialLength = 0.0;    // metres, as published for the circuit
    double step = 0.0;              // metres between points
    double length = 0.0;            // metres round the closed path
    double totalTurn = 0.0;         // heading change over one lap (-2π when driven clockwise)
    std::vector<double> x, y;       // metres
    std::vector<double> heading;    // radians anticlockwise from east, continuous along the lap
    std::vector<double> curvature;  // 1/m, positive when turning left
    std::vector<double> speed;      // m/s on a lap at nominal pace
    std::vector<double> accel;      // m/s² along the path on a lap at nominal pace
};

// What the generator used for every analog/RPM sample (index i is the i-th sample).
struct GeneratorTruth {
    GeneratorPath path;
    std::vector<int32_t> time;          // 0.1 ms, the samples' times
    std::vector<double> distance;       // metres driven since the start of the session
    std::vector<double> pathPosition;   // metres past the start/finish line, 0 .. length
    std::vector<double> heading;        // radians, continuous over the whole session
    std::vector<double> speed;          // m/s
    std::vector<double> lateralG;       // positive towards the left (left-hand corners)
    std::vector<double> longitudinalG;  // positive when speeding up
    std::vector<int16_t> gear;          // 1 .. 6
    std::vector<double> engineRpm;
    std::vector<int32_t> lapLineTimes;  // 0.1 ms, every crossing of the start/finish line
};

// Ids of the circuits the generator can drive, in a fixed order.
std::vector<std::string> GeneratorCircuitIds();

// The path of a circuit; empty when the id is unknown.
std::optional<GeneratorPath> BuildGeneratorPath(std::string_view circuitId);

// A session of options.minutes on the chosen circuit, or nullptr when the circuit is unknown or
// the options cannot be recorded (negative length, rate outside 0..10000 Hz, times beyond the
// 32-bit clock or more than 20 million samples per channel). When `truth` is given it receives
// the ground truth the samples were made from.
std::unique_ptr<CBriodashDataset> GenerateSession(const GeneratorOptions& options,
                                                  GeneratorTruth* truth = nullptr);

}  // namespace orvex
