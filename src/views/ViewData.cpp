#include "views/ViewData.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "model/TimeFormat.h"

namespace orvex {

namespace {

bool ContainsNoCase(std::string_view text, std::string_view part) {
    auto it = std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) ==
               std::toupper(static_cast<unsigned char>(b));
    });
    return it != text.end() || part.empty();
}

bool IsLapLine(int32_t code) {
    return code >= 0 && code % 100 == 0;
}

}  // namespace

const CAnalogSetup* FindAccelerometer(const CCarSetup& car, std::string_view name) {
    for (const CAnalogSetup& a : car.m_analog) {
        const bool accelType =
            a.m_nType == kAnalogCustom || a.m_nType == kAnalogAccel || a.m_nType == kAnalog2Accel;
        if (accelType && a.m_nChannel >= 1 && a.m_nChannel <= kAnalogChannels &&
            ContainsNoCase(a.m_strDescription, name))
            return &a;
    }
    return nullptr;
}

bool HasChannel(const CBriodashDataset& ds, ChannelKind kind, int channel) {
    const auto i = static_cast<std::size_t>(channel - 1);
    switch (kind) {
        case ChannelKind::Rpm:
            return channel >= 1 && channel <= kRpmChannels && ds.m_carSetup.FindRpmSetup(channel) &&
                   !ds.m_rpm[i].IsEmpty();
        case ChannelKind::Analog:
            return channel >= 1 && channel <= kAnalogChannels &&
                   ds.m_carSetup.FindAnalogSetup(channel) && !ds.m_analog[i].IsEmpty();
        case ChannelKind::Digital:
            return channel >= 1 && channel <= kDigitalChannels &&
                   ds.m_carSetup.FindDigitalSetup(channel) && !ds.m_digital[i].IsEmpty();
    }
    return false;
}

bool LapBounds(const CBriodashDataset& ds, int lap, int32_t& start, int32_t& end) {
    start = end = kNotSet;
    const CSampleList& marks = ds.m_markers;
    for (Pos p = marks.Head(); p != kNoPos && p <= marks.Tail(); ++p) {
        const int32_t code = marks[p].m_lRaw;
        if (code == 100 * (lap - 1) && start == kNotSet) start = marks.GetSampleTime(p, true);
        if (code == 100 * lap && start != kNotSet) {
            end = marks.GetSampleTime(p, true);
            break;
        }
    }
    return lap >= 1 && start != kNotSet && end != kNotSet;
}

std::vector<int> CompleteLaps(const CBriodashDataset& ds) {
    std::vector<int> laps;
    for (const CSample& m : ds.m_markers.m_samples) {
        if (!IsLapLine(m.m_lRaw) || m.m_lRaw == 0) continue;
        const int lap = m.m_lRaw / 100;
        int32_t s = 0, e = 0;
        if (std::find(laps.begin(), laps.end(), lap) == laps.end() && LapBounds(ds, lap, s, e))
            laps.push_back(lap);
    }
    return laps;
}

CDatasetList SessionEntry(CBriodashDataset& ds) {
    CDatasetList e(&ds, ds.GetDisplayName(1), 0);
    e.m_lStart = e.m_lEnd = kNotSet;
    return e;
}

CDatasetList LapEntry(CBriodashDataset& ds, int lap) {
    CDatasetList e(&ds, ds.GetDisplayName(3, lap), lap);
    LapBounds(ds, lap, e.m_lStart, e.m_lEnd);
    return e;
}

std::vector<CDatasetList> AvailableEntries(const CBriodashDoc& doc) {
    std::vector<CDatasetList> out;
    for (const auto& ds : doc.m_datasets) {
        if (ds->m_bDeleted) continue;
        const std::vector<int> laps = CompleteLaps(*ds);
        if (laps.empty()) {
            out.push_back(SessionEntry(*ds));
            continue;
        }
        for (int lap : laps) out.push_back(LapEntry(*ds, lap));
    }
    return out;
}

int32_t EntryStart(const CDatasetList& entry) {
    if (entry.m_lStart != kNotSet || !entry.m_pDataset) return entry.m_lStart;
    return entry.m_pDataset->GetStartTime(true, true);
}

int32_t EntryEnd(const CDatasetList& entry) {
    if (entry.m_lEnd != kNotSet || !entry.m_pDataset) return entry.m_lEnd;
    return entry.m_pDataset->GetEndTime(true, true);
}

std::vector<TimeChoice> EntryTimeChoices(const CDatasetList& entry, int32_t green, int32_t red) {
    std::vector<TimeChoice> out;
    out.push_back({"Beginning of Data", kNotSet});
    if (green != kNotSet) out.push_back({"Green Marker @ " + FormatTime(green, 3), green});
    if (red != kNotSet) out.push_back({"Red Marker @ " + FormatTime(red, 3), red});
    if (entry.m_pDataset) {
        char buf[64];
        for (int lap : CompleteLaps(*entry.m_pDataset)) {
            int32_t s = 0, e = 0;
            LapBounds(*entry.m_pDataset, lap, s, e);
            std::snprintf(buf, sizeof buf, "Start of Lap #%1d @ ", lap);
            out.push_back({buf + FormatTime(s, 3), s});
            std::snprintf(buf, sizeof buf, "End of Lap #%1d @ ", lap);
            out.push_back({buf + FormatTime(e, 3), e});
        }
    }
    out.push_back({"End of Data", kNotSet});
    return out;
}

}  // namespace orvex
