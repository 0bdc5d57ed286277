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
    endResetModel();
}

void CTableModelAdapter::ColumnsChanged(const std::vector<int>& columns) {
    const int rows = m_table.RowCount(), cols = m_table.ColumnCount();
    if (rows == 0) return;
    for (int c : columns)
        if (c >= 0 && c < cols) emit dataChanged(index(0, c), index(rows - 1, c));
}

void CTableModelAdapter::SetBackground(const QColor& base) {
    if (base == m_background) return;
    m_background = base;
    if (m_table.RowCount() > 0 && m_table.ColumnCount() > 0)
        emit dataChanged(index(0, 0), index(m_table.RowCount() - 1, m_table.ColumnCount() - 1),
                         {Qt::ForegroundRole});
}

}  // namespace orvex
