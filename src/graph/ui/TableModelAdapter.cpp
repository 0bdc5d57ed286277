// The Qt adapter of the core table models.
#include "graph/ui/TableModelAdapter.h"

#include "graph/ui/ChartPainter.h"

namespace orvex {

CTableModelAdapter::CTableModelAdapter(CTableModel& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table) {}

int CTableModelAdapter::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_table.RowCount();
}

int CTableModelAdapter::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_table.ColumnCount();
}

QVariant CTableModelAdapter::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(m_table.Text(index.row(), index.column()));
        case Qt::ForegroundRole: {
            const auto colour = m_table.TextColour(index.row(), index.column());
            if (!colour) return {};
            // Trace colours are kept readable (same hue, lighter) on a dark palette or cell.
            const auto cell = m_table.CellBackground(index.row(), index.column());
            return ReadableOn(ToQColor(*colour), cell ? ToQColor(*cell) : m_background, 4.5);
        }
        case Qt::BackgroundRole: {
            const auto cell = m_table.CellBackground(index.row(), index.column());
            if (!cell) return {};
            return ToQColor(*cell);
        }
        default:
            return {};
    }
}

QVariant CTableModelAdapter::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_table.ColumnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromStdString(m_table.Header(section));
}

void CTableModelAdapter::Reset() {
    beginResetModel();
    m_shown.clear();
    endResetModel();
}

CTableModelAdapter::Shown CTableModelAdapter::CellShown(int row, int column) const {
    return {m_table.Text(row, column), m_table.TextColour(row, column),
            m_table.CellBackground(row, column)};
}

void CTableModelAdapter::ColumnsChanged(const std::vector<int>& columns) {
    const int rows = m_table.RowCount(), cols = m_table.ColumnCount();
    if (rows == 0) return;
    if (m_shown.size() != static_cast<std::size_t>(cols)) m_shown.assign(cols, {});
    for (int c : columns) {
        if (c < 0 || c >= cols) continue;
        std::vector<Shown>& shown = m_shown[c];
        if (shown.size() != static_cast<std::size_t>(rows)) {
            shown.clear();
            for (int r = 0; r < rows; ++r) shown.push_back(CellShown(r, c));
            emit dataChanged(index(0, c), index(rows - 1, c));
            continue;
        }
        for (int r = 0; r < rows; ++r) {
            Shown now = CellShown(r, c);
            if (now == shown[r]) continue;
            shown[r] = std::move(now);
            // One cell at a time: an item view repaints a single cell for it, but its whole
            // viewport for a range.
            emit dataChanged(index(r, c), index(r, c));
        }
    }
}

void CTableModelAdapter::SetBackground(const QColor& base) {
    if (base == m_background) return;
    m_background = base;
    if (m_table.RowCount() > 0 && m_table.ColumnCount() > 0)
        emit dataChanged(index(0, 0), index(m_table.RowCount() - 1, m_table.ColumnCount() - 1),
                         {Qt::ForegroundRole});
}

}  // namespace orvex
