#include "views/LapReportModel.h"

namespace orvex {

namespace {

constexpr int kUnfittedWidth = 70;

bool SameColumns(const std::vector<LapReportColumn>& a, const std::vector<LapReportColumn>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].widthSample != b[i].widthSample) return false;
    return true;
}

}  // namespace

void CLapReportModel::SetTable(LapReportTable table) {
    if (!SameColumns(table.columns, m_table.columns)) m_widths.clear();
    m_table = std::move(table);
}

const LapReportCell* CLapReportModel::Cell(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 1) return nullptr;
    const LapReportRow& r = m_table.rows[static_cast<std::size_t>(row)];
    const auto c = static_cast<std::size_t>(column - 1);
    return c < r.cells.size() ? &r.cells[c] : nullptr;
}

std::string CLapReportModel::Header(int column) const {
    if (column < 0 || column >= ColumnCount()) return {};
    return m_table.columns[static_cast<std::size_t>(column)].header;
}

std::string CLapReportModel::Text(int row, int column) const {
    if (column == 0 && row >= 0 && row < RowCount())
        return m_table.rows[static_cast<std::size_t>(row)].lap;
    const LapReportCell* cell = Cell(row, column);
    return cell ? cell->text : std::string();
}

std::optional<ColorRef> CLapReportModel::TextColour(int row, int column) const {
    const LapReportCell* cell = Cell(row, column);
    if (!cell) return std::nullopt;
    return cell->foreground;
}

std::optional<ColorRef> CLapReportModel::CellBackground(int row, int column) const {
    const LapReportCell* cell = Cell(row, column);
    if (!cell) return std::nullopt;
    return cell->background;
}

int CLapReportModel::ColumnWidth(int column) const {
    if (column >= 0 && static_cast<std::size_t>(column) < m_widths.size())
        return m_widths[static_cast<std::size_t>(column)];
    return kUnfittedWidth;
}

void CLapReportModel::FitColumns(const std::function<int(const std::string&)>& textWidth) {
    m_widths.clear();
    for (const LapReportColumn& c : m_table.columns)
        m_widths.push_back(textWidth(c.widthSample) + 10);
}

}  // namespace orvex
