#include "trackmap/TrackSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/HostServices.h"
#include "model/Document.h"
#include "processing/Laps.h"
#include "processing/SpeedDistance.h"
#include "trackmap/TrackMap.h"

namespace orvex {

bool CTrackMapSettings::Open(const std::vector<CBriodashDataset*>& sessions, int speedSource,
                             bool open, bool banking, IHostServices& host) {
    m_sessions.clear();
    m_offered.clear();
    m_bOpen = open;
    m_bBanking = banking;
    std::vector<CBriodashDataset*> mappable;
    for (CBriodashDataset* ds : sessions) {
        if (!ds || ds->m_bDeleted || ds->m_nLap != 0) continue;
        m_sessions.push_back(ds);
        bool any = false;
        for (int s = kSpeedEngine; s <= kSpeedAccelerometer; ++s) {
            if (!HasSpeedSource(*ds, s)) continue;
            any = true;
            if (std::find(m_offered.begin(), m_offered.end(), s) == m_offered.end())
                m_offered.push_back(s);
        }
        if (any && HasLapMarks(*ds)) mappable.push_back(ds);
    }
    std::sort(m_offered.begin(), m_offered.end());
    if (mappable.empty() || m_offered.empty()) return false;
    if (mappable.size() < m_sessions.size()) {
        std::string text = "The following Session(s) will ONLY be used for Track Mapping:\n";
        for (std::size_t i = 0; i < mappable.size(); ++i)
            text += (i ? ", " : "") + mappable[i]->m_strName;
        host.Message(text, Icon::Information);
    }
    m_nSpeedSource = speedSource;
    if (std::find(m_offered.begin(), m_offered.end(), speedSource) == m_offered.end()) {
        m_nSpeedSource = m_offered.front();
        char buf[256];
        std::snprintf(buf, sizeof buf,
                      "Channel to \"Calculate Distance from\" has been changed from %s to %s.\n%s "
                      "channel NOT valid.",
                      SpeedSourceName(speedSource), SpeedSourceName(m_nSpeedSource),
                      SpeedSourceName(speedSource));
        host.Message(buf, Icon::Warning);
    }
    m_nOpenedSource = speedSource;
    return true;
}

void CTrackMapSettings::Defaults() {
    m_nSpeedSource = kSpeedEngine;
    if (!m_offered.empty() &&
        std::find(m_offered.begin(), m_offered.end(), m_nSpeedSource) == m_offered.end())
        m_nSpeedSource = m_offered.front();
    m_bOpen = false;
    m_bBanking = false;
}

bool CTrackMapSettings::Ok(CBriodashDoc& doc) {
    doc.m_options.openTrackMap = m_bOpen ? 1 : 0;
    doc.m_options.calcBanking = m_bBanking ? 1 : 0;
    doc.m_options.groundSpeedMap = static_cast<uint16_t>(m_nSpeedSource);
    if (m_nSpeedSource == m_nOpenedSource) return false;
    const int distance = DistanceSourceOfSpeedSource(m_nSpeedSource);
    doc.m_options.distanceMode = distance;
    for (CBriodashDataset* ds : m_sessions)
        if (ds->m_nDistanceSource != distance) doc.Services().ComputeDistance(doc, *ds, distance);
    return true;
}

CTrackSegmentSettings::CTrackSegmentSettings(bool corners, const CTrackMap* map, float positive,
                                             float negative)
    : m_nPositive(static_cast<int>(std::lround(positive * 100.0f))),
      m_nNegative(static_cast<int>(std::lround(negative * 100.0f))),
      m_bCorners(corners),
      m_map(map) {
    m_nPositive = std::clamp(m_nPositive, 0, kSegmentSliderMax);
    m_nNegative = std::clamp(m_nNegative, 0, kSegmentSliderMax);
}

std::string CTrackSegmentSettings::Title() const {
    return m_bCorners ? "Track Map Left-Right Settings" : "Track Map Front-Rear Settings";
}

std::string CTrackSegmentSettings::PositiveLabel() const {
    return m_bCorners ? "Right Turn G" : "Positive G";
}

std::string CTrackSegmentSettings::NegativeLabel() const {
    return m_bCorners ? "Left Turn G" : "Negative G";
}

float CTrackSegmentSettings::Fraction(bool positive) const {
    return static_cast<float>(positive ? m_nPositive : m_nNegative) / 100.0f;
}

std::string CTrackSegmentSettings::PercentText(bool positive) const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%4.0f %%", Fraction(positive) * 100.0);
    return buf;
}

std::string CTrackSegmentSettings::GText(bool positive) const {
    double g = 0.0;
    if (m_map && !m_map->IsEmpty()) {
        double extreme = 0.0;
        if (m_bCorners) {
            for (const CTrackSample& s : m_map->m_samples)
                extreme = positive ? std::max(extreme, s.m_dLatG) : std::min(extreme, s.m_dLatG);
        } else {
            extreme = positive ? m_map->m_dMaxLongG : m_map->m_dMinLongG;
        }
        g = Fraction(positive) * extreme / m_map->m_dGScale;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%5.2f Gs", g);
    return buf;
}

void CTrackSegmentSettings::Defaults() {
    m_nPositive = m_nNegative = 20;
}

}  // namespace orvex
