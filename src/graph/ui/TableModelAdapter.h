// Shows a core table model in Qt item views: texts, headers, cell colours kept readable on the
// view's palette, and the column widths the core fitted.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <optional>
#include <string>
#include <vector>

#include "graph/TableModel.h"

namespace orvex {

class CTableModelAdapter : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit CTableModelAdapter(CTableModel& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The table's rows or columns changed: every view reads it again.
    void Reset();
    // The texts of these columns changed. Only the cells whose text or colours differ from
    // what the views were last told are repainted, so a marker step repaints the cells of one
    // column instead of the whole list.
    void ColumnsChanged(const std::vector<int>& columns);
    // Cell colours are made readable against this background (the view's base colour).
    void SetBackground(const QColor& base);

    CTableModel& Table() { return m_table; }

  private:
    struct Shown {
        std::string text;
        std::optional<ColorRef> colour, background;
        bool operator==(const Shown&) const = default;
    };
    Shown CellShown(int row, int column) const;

    CTableModel& m_table;
    QColor m_background = Qt::white;
    // What the views were last told of each column's cells ([column][row]); a column without
    // an entry is announced whole.
    std::vector<std::vector<Shown>> m_shown;
};

}  // namespace orvex
