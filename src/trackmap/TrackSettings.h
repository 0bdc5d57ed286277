// The "Track Map Settings" dialog (speed source, open map, banking) and the "Track Map Segment
// Settings" dialog (the two threshold sliders) as fields, texts and outcomes.
#pragma once

#include <string>
#include <vector>

#include "trackmap/TrackSamples.h"

namespace orvex {

class CBriodashDoc;
class CTrackMap;
class IHostServices;

class CTrackMapSettings {
  public:
    int m_nSpeedSource = kSpeedEngine;
    bool m_bOpen = false;
    bool m_bBanking = false;

    // Opens on the shown sessions with the stored choices. Tells which sessions alone can be
    // mapped when not all of them can, and moves the speed source to one the sessions offer
    // (with the message) when the stored one is not offered. False when no session can be
    // mapped at all.
    bool Open(const std::vector<CBriodashDataset*>& sessions, int speedSource, bool open,
              bool banking, IHostServices& host);
    // Speed sources some shown session offers (the radio buttons that are enabled).
    const std::vector<int>& Offered() const { return m_offered; }
    void Defaults();
    // OK: a changed speed source becomes the document's distance source and the distances of
    // the shown sessions computed from another source are recomputed. Returns whether the
    // speed source changed.
    bool Ok(CBriodashDoc& doc);

  private:
    std::vector<CBriodashDataset*> m_sessions;
    std::vector<int> m_offered;
    int m_nOpenedSource = kSpeedEngine;
};

// Slider range of the segment settings.
inline constexpr int kSegmentSliderMax = 100;
inline constexpr int kSegmentSliderTick = 10;
inline constexpr int kSegmentSliderPage = 5;

class CTrackSegmentSettings {
  public:
    // `corners` selects the left-right thresholds; `map` (may be null) gives the G texts.
    CTrackSegmentSettings(bool corners, const CTrackMap* map, float positive, float negative);

    std::string Title() const;
    std::string PositiveLabel() const;
    std::string NegativeLabel() const;
    // "  20 %" and " 0.35 Gs" for the slider positions.
    std::string PercentText(bool positive) const;
    std::string GText(bool positive) const;
    void Defaults();
    float Fraction(bool positive) const;

    int m_nPositive = 20, m_nNegative = 20;

  private:
    bool m_bCorners;
    const CTrackMap* m_map;
};

}  // namespace orvex
