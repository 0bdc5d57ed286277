// The lap segment report as a table model: the lap number column, then the report's cells with
// their colours, each column as wide as its sample text + 10. The report's grid is drawn from
// it, and any item view shows it through the one Qt adapter.
#pragma once

#include <utility>
#include <vector>

#include "graph/TableModel.h"
#include "views/LapSegmentReport.h"

namespace orvex {

class CLapReportModel : public CTableModel {
  public:
    // The widths are kept while the columns stay the same.
    void SetTable(LapReportTable table);
    const LapReportTable& Table() const { return m_table; }

    int ColumnCount() const override { return static_cast<int>(m_table.columns.size()); }
    int RowCount() const override { return static_cast<int>(m_table.rows.size()); }
    std::string Header(int column) const override;
    std::string Text(int row, int column) const override;
    std::optional<ColorRef> TextColour(int row, int column) const override;
    std::optional<ColorRef> CellBackground(int row, int column) const override;
    int ColumnWidth(int column) const override;
    // Each column: the width of its sample text + 10.
    void FitColumns(const std::function<int(const std::string&)>& textWidth) override;

  private:
    const LapReportCell* Cell(int row, int column) const;
    LapReportTable m_table;
    std::vector<int> m_widths;
};

}  // namespace orvex
