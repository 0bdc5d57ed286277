// The track map of one lap: the circuit outline rebuilt from speed and lateral acceleration
// (curvature integrated to heading, heading to position, the loop closed by a lateral bias), and
// the lap cut into acceleration/braking segments and left/right corner segments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvex {

class IProgress;

// One point of the map. G values are multiplied by the map's G scale.
struct CTrackSample {
    double m_dX = 0.0, m_dY = 0.0;  // feet, y grows downward as drawn
    double m_dS = 0.0;              // feet along the lap from its start
    double m_dTime = 0.0;           // seconds
    double m_dLongG = 0.0, m_dLatG = 0.0, m_dVertG = 0.0;
    double m_dSpeed = 0.0;      // ft/s
    double m_dCurvature = 0.0;  // 1/ft
    double m_dRadius = 0.0;     // ft
    double m_dBank = 0.0;       // radians
    double m_dHeading = 0.0;    // radians
};

// Kinds of acceleration segments and of corner segments.
enum AccelKind : uint8_t { kAccelerating = 1, kNeutral = 2, kBraking = 3 };
enum CornerKind : uint8_t { kRightTurn = 1, kStraight = 2, kLeftTurn = 3 };

// Segments as boundaries: segment j runs from boundary j - 1 (the first sample for j = 0) to
// boundary j and has kind m_kinds[j]. The last boundary is the lap's last sample.
struct CTrackSegments {
    std::vector<int32_t> m_bounds;
    std::vector<uint8_t> m_kinds;
    void Clear() {
        m_bounds.clear();
        m_kinds.clear();
    }
    std::size_t Count() const { return m_bounds.size(); }
    // First sample of segment j.
    int32_t StartOf(std::size_t j) const { return j == 0 ? 0 : m_bounds[j - 1]; }
};

// Fewest samples a lap must give before a map is made of it.
inline constexpr std::size_t kMinTrackSamples = 100;
// Heading change of a closed lap the bias cycles aim at, and how close they must get.
inline constexpr double kLapTurn = 6.24;
inline constexpr double kLapTurnTolerance = 0.1;
inline constexpr int kMaxCycles = 100;

class CTrackMap {
  public:
    std::vector<CTrackSample> m_samples;

    int32_t m_bClose = 1;      // 0: "Do NOT Close Map"
    int32_t m_bDirection = 0;  // 1 when the lap's total heading change is negative
    double m_dGScale = 1000.0;
    double m_dMinX = 0.0, m_dMaxX = 0.0, m_dMinY = 0.0, m_dMaxY = 0.0;
    double m_dMaxLongG = 5000.0, m_dMinLongG = -5000.0;
    // Segment thresholds as fractions of the extreme G ("TrackMap-LateralPos" and
    // "TrackMap-LateralNeg" govern acceleration, the "Longitude" pair the corners).
    float m_fLateralPos = 0.2f, m_fLateralNeg = 0.2f;
    float m_fLongitudePos = 0.2f, m_fLongitudeNeg = 0.2f;
    CTrackSegments m_accel;
    CTrackSegments m_corners;
    int m_nCycles = 0;  // bias cycles the last calculation ran

    void RemoveAll();
    std::size_t GetCount() const { return m_samples.size(); }
    bool IsEmpty() const { return m_samples.empty(); }

    // The whole map from the samples: smoothing, bias cycles, closing and bounding box.
    // `progress` (may be null) shows the cycles; false when the user aborted or the lap has
    // fewer than kMinTrackSamples samples.
    bool Calculate(IProgress* progress);
    // Segments from longitudinal G, and from lateral G. False on abort.
    bool FindAccelerationSegments(IProgress* progress);
    bool FindCornerSegments(IProgress* progress);
    // Spreads the closing error along the lap (when closing) and takes the bounding box.
    void CloseAndBound();
    void ComputeCurvature();
    void IntegratePath();
    // `passes` passes of the four-point line smoother over n values V at times T.
    static void Smooth(int passes, std::size_t n, const double* times, double* values);

    // One step of the segment walk at sample i; returns the boundary it starts (-1: none).
    struct SegmentWalk {
        double upper = 0.0, lower = 0.0;
        int zone = 2;
        uint8_t kind = 2;      // kind of the segment in progress
        uint8_t ended = 2;     // kind of the segment a returned boundary ends
        int neutral = 0;       // samples in zone 2 since it was entered
        int32_t zoneExit = 0;  // where zone 2 was entered
        int32_t lastBound = -1;
    };
    int32_t AccelerationSegmentStep(SegmentWalk& walk, const std::vector<double>& values,
                                    int32_t i) const;
    int32_t CornerSegmentStep(SegmentWalk& walk, const std::vector<double>& values,
                              int32_t i) const;

  private:
    void ComputeCurvature(bool withBank);
    bool FindSegments(bool corners, IProgress* progress);
    void MergeShortSegments(CTrackSegments& segments) const;
};

}  // namespace orvex
