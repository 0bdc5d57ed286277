// The marker list beside the strip chart: one row per shown channel of each shown dataset with
// its value at the green and red markers and their difference, or at each race lap's marker.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graph/Color.h"
#include "graph/MarkerValues.h"
#include "graph/Markers.h"
#include "graph/TableModel.h"
#include "model/Document.h"

namespace orvex {

enum class MarkerRowKind : uint32_t {
    None = 0,  // the empty separator row
    Time = 1,
    Distance = 2,
    DatasetHeader = 3,
    Rpm = 4,
    Analog = 5,
    Slip = 6,
    Digital = 7,
};

// Row code: kind in bits 28-31, dataset number in the document (1-based) in bits 18-27, the
// dataset's own identifier in bits 8-17, channel number in bits 0-7.
uint32_t MakeMarkerRowCode(MarkerRowKind kind, int datasetNumber, int datasetId, int channel);
inline MarkerRowKind RowKindOf(uint32_t code) {
    return static_cast<MarkerRowKind>(code >> 28);
}
inline int RowDatasetNumber(uint32_t code) {
    return static_cast<int>((code >> 18) & 0x3FF);
}
inline int RowDatasetId(uint32_t code) {
    return static_cast<int>((code >> 8) & 0x3FF);
}
inline int RowChannel(uint32_t code) {
    return static_cast<int>(code & 0xFF);
}

struct MarkerRow {
    uint32_t code = 0;
    std::vector<std::string> texts;  // one per column, the label first
    ColorRef colour = 0;             // text colour: the channel's trace colour
    CBriodashDataset* dataset = nullptr;
    MarkerRowKind Kind() const { return RowKindOf(code); }
    int Channel() const { return RowChannel(code); }
};

struct MarkerColumn {
    std::string header;
    int width = 0;
    bool collapsed = false;  // shown 5 pixels wide
    int ShownWidth() const { return collapsed ? kCollapsedWidth : width; }
    static constexpr int kCollapsedWidth = 5;
};

// Row-set modes.
enum MarkerListMode : int { kModeNames = 0, kModeViewed = 1, kModeAll = 3 };

// What an update did to the list.
struct MarkerListUpdate {
    bool rebuilt = false;
    std::vector<int> columns;  // value columns refreshed (1 = first value column)
};

class CMarkerView : public CTableModel {
  public:
    CMarkerView(CBriodashDoc& doc, IHostServices& host) : m_doc(doc), m_host(host) {}

    int m_nMode = kModeNames;
    int m_nMaxNameWidth = 0;  // widest text of the first column
    // Width of the Green, Red and Difference columns as a marker will show them, known also
    // before one is set, so that room can be kept for them (after FitColumns).
    int m_nMarkerColumnsWidth = 0;
    bool m_bNoSlipQuestion = false;  // set by "Cancel" for the rest of one refresh
    bool m_bTimeAxis = true;         // the graph's horizontal axis
    IRaceMarkers* m_pRace = nullptr;
    MarkerConverters m_conv = MarkerConverters::Defaults();

    const std::vector<MarkerColumn>& Columns() const { return m_columns; }
    const std::vector<MarkerRow>& Rows() const { return m_rows; }
    std::vector<std::string> Headers() const;

    // The user's choice of rows ("Viewed Channels" or "All Channels").
    void SetMode(int mode);
    // Recreates columns and rows and reads every value.
    void Rebuild();
    // Re-reads the values of one value column (1-based), or of the difference column.
    void RefreshColumn(int column);
    void RefreshDifference();
    // A document hint: which columns are re-read, or whether the whole list is rebuilt.
    MarkerListUpdate OnUpdate(uint32_t hint);

    // The list as a table: the label column first, then the value columns; each row in its
    // channel's trace colour.
    int ColumnCount() const override { return static_cast<int>(m_columns.size()); }
    int RowCount() const override { return static_cast<int>(m_rows.size()); }
    std::string Header(int column) const override;
    std::string Text(int row, int column) const override;
    std::optional<ColorRef> TextColour(int row, int column) const override;
    int ColumnWidth(int column) const override;
    // Column widths: the widest text plus 20 pixels, by the given text measure.
    void FitColumns(const std::function<int(const std::string&)>& textWidth) override;
    void SetCollapsed(int column, bool collapsed);

    // The list as text lines for printing: columns separated by tabs.
    std::vector<std::string> PrintLines() const;

    bool RaceMode() const { return m_pRace && m_pRace->IsActive(); }

  private:
    bool HasValueColumns() const { return m_nMode != kModeNames; }
    // Mode 0 while neither marker is set and race mode is off, mode 1 when that changes.
    bool FollowMarkers();
    void BuildColumns();
    void BuildRows();
    void AddDatasetRows(CBriodashDataset& ds, int number, bool several);
    void AddRow(MarkerRowKind kind, CBriodashDataset* ds, int number, int channel,
                std::string label, ColorRef colour);
    void FillCell(MarkerRow& row, int column);
    std::string ValueAt(MarkerRow& row, int32_t time, int32_t distance, const char* markerName);
    std::string ChannelText(MarkerRow& row, int32_t time, const char* markerName);
    std::string SlipText(MarkerRow& row, int32_t time, const char* markerName);
    void FillColumn(int column);
    std::string RaceCell(MarkerRow& row, int lap);

    CBriodashDoc& m_doc;
    IHostServices& m_host;
    std::vector<MarkerColumn> m_columns;
    std::vector<MarkerRow> m_rows;
};

}  // namespace orvex
