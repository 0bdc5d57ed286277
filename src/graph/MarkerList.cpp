#include "graph/MarkerList.h"

#include <algorithm>

#include "host/HostServices.h"

namespace orvex {

namespace {

constexpr const char* kGreenName = "Green Marker";
constexpr const char* kRedName = "Red Marker";
constexpr const char* kDifferenceName = "Difference";

std::string DistanceLabel(Units units) {
    return units == Units::Metric ? "Distance (M)" : "Distance (Ft)";
}

std::string DatasetLabel(const CBriodashDataset& ds) {
    return ds.m_nLap ? ds.GetDisplayName(3) : ds.m_strName;
}

std::string SlipQuestion(const char* markerName, const std::string& own,
                         const std::string& partner) {
    return std::string(markerName) + ":Slip Data needs to be calculated for " + own + " vs " +
           partner + ".\nDo you wish to do this now (Choose 'Cancel' to skip this calculation)?";
}

}  // namespace

uint32_t MakeMarkerRowCode(MarkerRowKind kind, int datasetNumber, int datasetId, int channel) {
    return (static_cast<uint32_t>(kind) << 28) |
           ((static_cast<uint32_t>(datasetNumber) & 0x3FF) << 18) |
           ((static_cast<uint32_t>(datasetId) & 0x3FF) << 8) |
           (static_cast<uint32_t>(channel) & 0xFF);
}

std::vector<std::string> CMarkerView::Headers() const {
    std::vector<std::string> out;
    for (const MarkerColumn& c : m_columns) out.push_back(c.header);
    return out;
}

std::string CMarkerView::Header(int column) const {
    return column >= 0 && column < ColumnCount()
               ? m_columns[static_cast<std::size_t>(column)].header
               : std::string();
}

std::string CMarkerView::Text(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0) return {};
    const std::vector<std::string>& texts = m_rows[static_cast<std::size_t>(row)].texts;
    return static_cast<std::size_t>(column) < texts.size() ? texts[static_cast<std::size_t>(column)]
                                                           : std::string();
}

std::optional<ColorRef> CMarkerView::TextColour(int row, int /*column*/) const {
    if (row < 0 || row >= RowCount()) return std::nullopt;
    const MarkerRow& r = m_rows[static_cast<std::size_t>(row)];
    if (r.Kind() == MarkerRowKind::None || r.colour == 0) return std::nullopt;
    return r.colour;
}

int CMarkerView::ColumnWidth(int column) const {
    return column >= 0 && column < ColumnCount()
               ? m_columns[static_cast<std::size_t>(column)].ShownWidth()
               : 0;
}

void CMarkerView::SetMode(int mode) {
    if (mode != kModeNames && mode != kModeViewed && mode != kModeAll) return;
    m_nMode = mode;
    BuildColumns();
    BuildRows();
}

void CMarkerView::Rebuild() {
    FollowMarkers();
    BuildColumns();
    BuildRows();
}

bool CMarkerView::FollowMarkers() {
    const bool anySet = m_doc.m_lGreenTime != kNotSet || m_doc.m_lRedTime != kNotSet;
    const bool race = RaceMode();
    if (m_nMode == kModeNames && (anySet || race)) {
        m_nMode = kModeViewed;
        return true;
    }
    if (m_nMode != kModeNames && !anySet && !race) {
        m_nMode = kModeNames;
        return true;
    }
    return false;
}

void CMarkerView::BuildColumns() {
    std::vector<MarkerColumn> old = std::move(m_columns);
    m_columns.clear();
    const char* first = m_nMode == kModeNames    ? "Channel Names"
                        : m_nMode == kModeViewed ? "Viewed Channels"
                                                 : "All Channels";
    m_columns.push_back({first});
    if (HasValueColumns()) {
        if (RaceMode()) {
            for (int i = 0; i < m_pRace->LapCount(); ++i)
                m_columns.push_back({m_pRace->LapName(i)});
        } else {
            m_columns.push_back({kGreenName});
            m_columns.push_back({kRedName});
            m_columns.push_back({kDifferenceName});
        }
    }
    // A column keeps its width and collapsed state while its header stays.
    for (std::size_t i = 0; i < m_columns.size() && i < old.size(); ++i) {
        if (old[i].header == m_columns[i].header) {
            m_columns[i].width = old[i].width;
            m_columns[i].collapsed = old[i].collapsed;
        }
    }
}

void CMarkerView::AddRow(MarkerRowKind kind, CBriodashDataset* ds, int number, int channel,
                         std::string label, ColorRef colour) {
    MarkerRow row;
    row.code = MakeMarkerRowCode(kind, number, ds ? ds->m_nGroup : 0, channel);
    row.dataset = ds;
    row.colour = colour;
    row.texts.assign(m_columns.size(), std::string());
    row.texts[0] = std::move(label);
    m_rows.push_back(std::move(row));
}

void CMarkerView::BuildRows() {
    m_rows.clear();
    m_bNoSlipQuestion = false;
    const Units units = m_doc.m_options.units;
    std::vector<std::pair<CBriodashDataset*, int>> shown;
    bool anyDistance = false;
    for (std::size_t i = 0; i < m_doc.m_datasets.size(); ++i) {
        CBriodashDataset* ds = m_doc.m_datasets[i].get();
        if (!ds->IsShown(false) || !ds->HasData()) continue;
        shown.emplace_back(ds, static_cast<int>(i) + 1);
        anyDistance = anyDistance || HasDistance(*ds);
    }
    const bool several = shown.size() > 1 || m_doc.m_bLapView;
    if (HasValueColumns()) {
        if (RaceMode()) {
            AddRow(MarkerRowKind::Time, nullptr, 0, 0, "Time", 0);
        } else if (!several) {
            AddRow(MarkerRowKind::Time, nullptr, 0, 0, "Time", 0);
            if (anyDistance)
                AddRow(MarkerRowKind::Distance, nullptr, 0, 0, DistanceLabel(units), 0);
        } else if (m_bTimeAxis) {
            AddRow(MarkerRowKind::Time, nullptr, 0, 0, "Time", 0);
        } else {
            AddRow(MarkerRowKind::Distance, nullptr, 0, 0, DistanceLabel(units), 0);
        }
        AddRow(MarkerRowKind::None, nullptr, 0, 0, "", 0);
    }
    for (auto& [ds, number] : shown) AddDatasetRows(*ds, number, several);

    for (std::size_t c = 1; c < m_columns.size(); ++c) {
        if (!RaceMode() && c == 3) break;
        FillColumn(static_cast<int>(c));
    }
    if (!RaceMode()) RefreshDifference();
}

void CMarkerView::AddDatasetRows(CBriodashDataset& ds, int number, bool several) {
    const Units units = m_doc.m_options.units;
    const bool all = m_nMode == kModeAll;
    if (several) {
        AddRow(MarkerRowKind::DatasetHeader, &ds, number, 0, DatasetLabel(ds), 0);
        if (HasValueColumns() && !RaceMode()) {
            if (m_bTimeAxis)
                AddRow(MarkerRowKind::Distance, &ds, number, 0, "Distance", 0);
            else
                AddRow(MarkerRowKind::Time, &ds, number, 0, "Time", 0);
        }
    }
    if (HasValueColumns() && RaceMode()) {
        // One row per racing lap of the session (two laps of one session race each other
        // too); the row's channel bits hold the lap's place in the race, counted from 1.
        for (int i = 0; i < m_pRace->LapCount(); ++i)
            if (m_pRace->LapDataset(i) == &ds)
                AddRow(MarkerRowKind::Distance, &ds, number, i + 1,
                       m_pRace->LapName(i) + " Dist Diff", m_pRace->LapColour(i));
    }
    for (int ch = 1; ch <= kRpmChannels; ++ch) {
        const CShaftList& s = ds.m_rpm[static_cast<std::size_t>(ch - 1)];
        const CFreqSetup* setup = ds.m_carSetup.FindRpmSetup(ch);
        if (!setup || s.IsEmpty()) continue;
        if (all || s.m_nOn)
            AddRow(MarkerRowKind::Rpm, &ds, number, ch,
                   setup->m_strDescription + RpmLabelSuffix(*setup, units),
                   static_cast<ColorRef>(s.m_crTrace));
        const CFreqSetup* partner =
            setup->m_nSlipPartner ? ds.m_carSetup.FindRpmSetup(setup->m_nSlipPartner) : nullptr;
        if (partner && (all || s.m_nSlipOn))
            AddRow(MarkerRowKind::Slip, &ds, number, ch,
                   setup->m_strDescription + " vs " + partner->m_strDescription,
                   static_cast<ColorRef>(s.m_crSlip));
    }
    for (int ch = 1; ch <= kAnalogChannels; ++ch) {
        const CSampleList& s = ds.m_analog[static_cast<std::size_t>(ch - 1)];
        const CAnalogSetup* setup = ds.m_carSetup.FindAnalogSetup(ch);
        if (setup && !s.IsEmpty() && (all || s.m_nOn))
            AddRow(MarkerRowKind::Analog, &ds, number, ch, setup->m_strDescription,
                   static_cast<ColorRef>(s.m_crTrace));
    }
    for (int ch = 1; ch <= kDigitalChannels; ++ch) {
        const CSampleList& s = ds.m_digital[static_cast<std::size_t>(ch - 1)];
        const CDigitalSetup* setup = ds.m_carSetup.FindDigitalSetup(ch);
        if (setup && setup->m_nBand != 1 && !s.IsEmpty() && (all || s.m_nOn))
            AddRow(MarkerRowKind::Digital, &ds, number, ch, setup->m_strDescription,
                   static_cast<ColorRef>(s.m_crTrace));
    }
}

void CMarkerView::RefreshColumn(int column) {
    if (column < 1 || column >= static_cast<int>(m_columns.size())) return;
    m_bNoSlipQuestion = false;
    FillColumn(column);
}

void CMarkerView::FillColumn(int column) {
    for (MarkerRow& row : m_rows) FillCell(row, column);
}

namespace {

// The marker's instant in one dataset: on a distance axis the time at which that dataset
// reaches the marker's distance.
int32_t InstantIn(const CBriodashDataset& ds, bool timeAxis, int32_t time, int32_t distance) {
    if (!timeAxis && distance != kNotSet && HasDistance(ds))
        return MarkerTimeAtDistance(ds, distance);
    return time;
}

}  // namespace

void CMarkerView::FillCell(MarkerRow& row, int column) {
    if (row.texts.size() != m_columns.size()) row.texts.resize(m_columns.size());
    std::string& cell = row.texts[static_cast<std::size_t>(column)];
    if (RaceMode()) {
        cell = RaceCell(row, column - 1);
        return;
    }
    if (column > 2) return;  // the difference column has its own refresh
    const bool green = column == 1;
    cell = ValueAt(row, green ? m_doc.m_lGreenTime : m_doc.m_lRedTime,
                   green ? m_doc.m_lGreenDistance : m_doc.m_lRedDistance,
                   green ? kGreenName : kRedName);
}

std::string CMarkerView::ValueAt(MarkerRow& row, int32_t time, int32_t distance,
                                 const char* markerName) {
    const Units units = m_doc.m_options.units;
    CBriodashDataset* ds = row.dataset;
    switch (row.Kind()) {
        case MarkerRowKind::None:
        case MarkerRowKind::DatasetHeader:
            return "";
        case MarkerRowKind::Time:
            if (!ds) return FormatMarkerTime(time);
            return FormatMarkerTime(time == kNotSet ? kNotSet
                                                    : InstantIn(*ds, false, time, distance));
        case MarkerRowKind::Distance:
            if (!ds) {
                bool any = false;
                for (CBriodashDataset* d : m_doc.ShownDatasets()) any = any || HasDistance(*d);
                return (time == kNotSet || !any) ? kNotAvailable
                                                 : FormatMarkerDistance(distance, units);
            }
            return FormatMarkerDistance(MarkerDistanceAt(*ds, time), units);
        default:
            break;
    }
    if (time == kNotSet) return kNotAvailable;
    return ChannelText(row, InstantIn(*ds, m_bTimeAxis, time, distance), markerName);
}

std::string CMarkerView::ChannelText(MarkerRow& row, int32_t t, const char* markerName) {
    const Units units = m_doc.m_options.units;
    CBriodashDataset& ds = *row.dataset;
    const int ch = row.Channel();
    switch (row.Kind()) {
        case MarkerRowKind::Rpm: {
            auto v = RpmValueAt(ds, ch, t, units, m_conv);
            if (!v) return kNotAvailable;
            const CFreqSetup* setup = ds.m_carSetup.FindRpmSetup(ch);
            return setup && setup->m_nDisplayMode == kDisplaySpeed ? FormatMarkerSpeed(*v)
                                                                   : FormatMarkerRpm(*v);
        }
        case MarkerRowKind::Slip:
            return SlipText(row, t, markerName);
        case MarkerRowKind::Analog: {
            auto v = AnalogValueAt(ds, ch, t, units, m_conv);
            const CAnalogSetup* setup = ds.m_carSetup.FindAnalogSetup(ch);
            if (!v || !setup) return kNotAvailable;
            return FormatMarkerAnalog(*setup, *v, units);
        }
        case MarkerRowKind::Digital:
            return DigitalTextAt(ds, ch, t);
        default:
            return "";
    }
}

std::string CMarkerView::SlipText(MarkerRow& row, int32_t t, const char* markerName) {
    CBriodashDataset& ds = *row.dataset;
    const int ch = row.Channel();
    const CShaftList& s = ds.m_rpm[static_cast<std::size_t>(ch - 1)];
    if (t == kNotSet) return kNotAvailable;
    if (s.m_bSlipDirty) {
        if (m_bNoSlipQuestion) return kNotAvailable;
        const CFreqSetup* setup = ds.m_carSetup.FindRpmSetup(ch);
        const CFreqSetup* partner =
            setup ? ds.m_carSetup.FindRpmSetup(setup->m_nSlipPartner) : nullptr;
        if (!setup || !partner) return kNotAvailable;
        Answer a =
            m_host.Ask(SlipQuestion(markerName, setup->m_strDescription, partner->m_strDescription),
                       Buttons::YesNoCancel, Answer::No);
        if (a == Answer::Cancel) m_bNoSlipQuestion = true;
        if (a != Answer::Yes) return kNotAvailable;
        m_conv.computeSlip(ds, ch, m_doc.m_options.units, m_host);
        if (s.m_bSlipDirty) return kNotAvailable;
    }
    auto v = SlipValueAt(ds, ch, t);
    return v ? FormatMarkerSlip(*v) : kNotAvailable;
}

std::string CMarkerView::RaceCell(MarkerRow& row, int lap) {
    if (!m_pRace || lap < 0 || lap >= m_pRace->LapCount()) return "";
    const int32_t t = m_pRace->RaceMarkerTime(lap);
    switch (row.Kind()) {
        case MarkerRowKind::Time:
            return FormatMarkerTime(t);
        case MarkerRowKind::Distance: {
            const int r = row.Channel() - 1;
            if (r < 0 || r >= m_pRace->LapCount()) return "";
            if (r == lap) return "Car Color";
            // Distances along each lap's own race, so that laps of one session compare.
            const int32_t a = m_pRace->RaceMarkerX(lap, true);
            const int32_t b = m_pRace->RaceMarkerX(r, true);
            if (a == kNotSet || b == kNotSet) return kNotAvailable;
            return FormatMarkerDistance(a - b, m_doc.m_options.units);
        }
        case MarkerRowKind::None:
        case MarkerRowKind::DatasetHeader:
            return "";
        default:
            return t == kNotSet ? kNotAvailable : ChannelText(row, t, "Race Marker");
    }
}

void CMarkerView::RefreshDifference() {
    if (RaceMode() || m_columns.size() < 4) return;
    for (MarkerRow& row : m_rows) {
        if (row.texts.size() < 4) row.texts.resize(m_columns.size());
        std::string& cell = row.texts[3];
        switch (row.Kind()) {
            case MarkerRowKind::None:
            case MarkerRowKind::DatasetHeader:
                cell.clear();
                break;
            case MarkerRowKind::Time: {
                int32_t g = m_doc.m_lGreenTime, r = m_doc.m_lRedTime;
                if (row.dataset && g != kNotSet && r != kNotSet) {
                    g = InstantIn(*row.dataset, false, g, m_doc.m_lGreenDistance);
                    r = InstantIn(*row.dataset, false, r, m_doc.m_lRedDistance);
                }
                cell = FormatMarkerTimeDifference(g, r);
                break;
            }
            case MarkerRowKind::Digital:
                cell = FormatMarkerDifference(DifferenceKind::Digital, row.texts[1], row.texts[2]);
                break;
            default:
                cell = FormatMarkerDifference(DifferenceKind::Number, row.texts[1], row.texts[2]);
                break;
        }
    }
}

MarkerListUpdate CMarkerView::OnUpdate(uint32_t hint) {
    MarkerListUpdate u;
    auto rebuild = [&] {
        Rebuild();
        u.rebuilt = true;
    };
    auto refresh = [&](int column) {
        RefreshColumn(column);
        u.columns.push_back(column);
    };
    auto refreshRace = [&] {
        for (int c = 1; c < static_cast<int>(m_columns.size()); ++c) refresh(c);
    };
    switch (hint) {
        case kHintGreenMoved:
        case kHintRedMoved:
        case kHintRedMovedRaceSync:
            if (FollowMarkers()) {
                BuildColumns();
                BuildRows();
                u.rebuilt = true;
            } else if (RaceMode()) {
                if (hint == kHintRedMovedRaceSync) refreshRace();
            } else if (HasValueColumns()) {
                refresh(hint == kHintGreenMoved ? 1 : 2);
                RefreshDifference();
                u.columns.push_back(3);
            }
            break;
        case kHintRaceMarkerMoved:
            if (RaceMode() && HasValueColumns()) refreshRace();
            break;
        case kHintRepaint:
        case kHintMarkersShown:
        case kHintResetDisplay:
            rebuild();
            break;
        default:
            break;
    }
    return u;
}

void CMarkerView::FitColumns(const std::function<int(const std::string&)>& textWidth) {
    m_nMaxNameWidth = 0;
    for (const MarkerRow& row : m_rows)
        if (!row.texts.empty())
            m_nMaxNameWidth = std::max(m_nMaxNameWidth, textWidth(row.texts[0]));
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        int widest = textWidth(m_columns[c].header);
        for (const MarkerRow& row : m_rows)
            if (c < row.texts.size()) widest = std::max(widest, textWidth(row.texts[c]));
        m_columns[c].width = widest + 20;
    }
    // Before a marker is set: the headers, or a long value ("-00000.00") where it is wider.
    m_nMarkerColumnsWidth = 0;
    for (const char* header : {kGreenName, kRedName, kDifferenceName})
        m_nMarkerColumnsWidth += std::max(textWidth(header), textWidth("-00000.00")) + 20;
}

void CMarkerView::SetCollapsed(int column, bool collapsed) {
    if (column >= 0 && column < static_cast<int>(m_columns.size()))
        m_columns[static_cast<std::size_t>(column)].collapsed = collapsed;
}

std::vector<std::string> CMarkerView::PrintLines() const {
    auto join = [](const std::vector<std::string>& parts) {
        std::string line;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (i) line += '\t';
            line += parts[i];
        }
        return line;
    };
    std::vector<std::string> lines{join(Headers())};
    for (const MarkerRow& row : m_rows) lines.push_back(join(row.texts));
    return lines;
}

}  // namespace orvex
