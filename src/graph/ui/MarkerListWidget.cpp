// The marker list widget.
#include "graph/ui/MarkerListWidget.h"

#include <QEvent>
#include <QHeaderView>

namespace orvex {

CMarkerListWidget::CMarkerListWidget(CBriodashDoc& doc, IHostServices& host, QWidget* parent)
    : QTreeView(parent), m_view(doc, host, *this), m_adapter(m_view.Table()) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    m_adapter.SetBackground(palette().color(QPalette::Base));
    setModel(&m_adapter);
    Rebuild();
}

CMarkerListWidget::~CMarkerListWidget() {
    setModel(nullptr);
}

void CMarkerListWidget::Rebuild() {
    m_view.Rebuild();
}

void CMarkerListWidget::Invalidate(ViewLayer) {
    Show(m_view.LastChange());
}

void CMarkerListWidget::Show(const MarkerListUpdate& change) {
    if (change.rebuilt) {
        m_adapter.Reset();
    } else {
        m_adapter.ColumnsChanged(change.columns);
    }
    FitColumns();
}

void CMarkerListWidget::FitColumns() {
    const QFontMetrics fm(font());
    CMarkerView& table = m_view.Table();
    table.FitColumns(
        [&fm](const std::string& s) { return fm.horizontalAdvance(QString::fromStdString(s)); });
    for (int i = 0; i < table.ColumnCount(); ++i) setColumnWidth(i, table.ColumnWidth(i));
}

void CMarkerListWidget::changeEvent(QEvent* event) {
    QTreeView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        m_adapter.SetBackground(palette().color(QPalette::Base));
        FitColumns();
    }
}

QStringList CMarkerListWidget::RowTexts(int row) const {
    QStringList out;
    if (row < 0 || row >= m_adapter.rowCount()) return out;
    for (int i = 0; i < m_adapter.columnCount(); ++i)
        out << m_adapter.index(row, i).data().toString();
    return out;
}

}  // namespace orvex
