// The marker list widget.
#include "graph/ui/MarkerListWidget.h"

#include <QEvent>
#include <QHeaderView>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>
#include <vector>

namespace orvex {

namespace {
// Of the 20 pixels beside each value column's widest text, what a narrow list takes away.
constexpr int kSpareSpace = 12;

// Shortened channel names lose their middle, where they differ least ("Sh…LF"); session
// names and values lose their end.
class ElidingDelegate : public QStyledItemDelegate {
  public:
    ElidingDelegate(CMarkerView& table, QObject* parent)
        : QStyledItemDelegate(parent), m_table(table) {}

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto& rows = m_table.Rows();
        const bool channel =
            index.column() == 0 && index.row() >= 0 &&
            static_cast<std::size_t>(index.row()) < rows.size() &&
            rows[static_cast<std::size_t>(index.row())].Kind() != MarkerRowKind::DatasetHeader;
        option->textElideMode = channel ? Qt::ElideMiddle : Qt::ElideRight;
    }

  private:
    CMarkerView& m_table;
};
}  // namespace

CMarkerListWidget::CMarkerListWidget(CBriodashDoc& doc, IHostServices& host, QWidget* parent)
    : QTreeView(parent), m_view(doc, host, *this), m_adapter(m_view.Table()) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new ElidingDelegate(m_view.Table(), this));
    header()->setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(false);
    m_adapter.SetBackground(palette().color(QPalette::Base));
    setModel(&m_adapter);
    m_repaintTimer.setSingleShot(true);
    connect(&m_repaintTimer, &QTimer::timeout, this, &CMarkerListWidget::ShowPendingColumns);
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
        m_repaintTimer.stop();
        m_pendingColumns.clear();
        m_adapter.Reset();
        m_sinceRepaint.start();
    } else {
        for (int c : change.columns)
            if (std::find(m_pendingColumns.begin(), m_pendingColumns.end(), c) ==
                m_pendingColumns.end())
                m_pendingColumns.push_back(c);
        if (!m_repaintTimer.isActive()) {
            const qint64 since = m_sinceRepaint.isValid() ? m_sinceRepaint.elapsed() : -1;
            if (since < 0 || since >= kRepaintInterval)
                ShowPendingColumns();
            else
                m_repaintTimer.start(kRepaintInterval - static_cast<int>(since));
        }
    }
    FitColumns();
    if (const int needed = NeededWidth(); needed != m_nNeededWidth) {
        m_nNeededWidth = needed;
        emit NeededWidthChanged();
    }
}

void CMarkerListWidget::ShowPendingColumns() {
    m_adapter.ColumnsChanged(m_pendingColumns);
    m_pendingColumns.clear();
    m_sinceRepaint.start();
}

void CMarkerListWidget::FitColumns() {
    const QFontMetrics fm(font());
    CMarkerView& table = m_view.Table();
    if (m_textWidths.size() > 4096) m_textWidths.clear();
    table.FitColumns([&](const std::string& s) {
        auto [at, added] = m_textWidths.try_emplace(s, 0);
        if (added) at->second = fm.horizontalAdvance(QString::fromStdString(s));
        return at->second;
    });
    ApplyColumnWidths();
}

int CMarkerListWidget::ColumnsWidth(bool markerRoom) const {
    CMarkerListWidget& self = const_cast<CMarkerListWidget&>(*this);
    const CMarkerView& table = self.View();
    if (table.ColumnCount() <= 0) return 0;
    int values = 0;
    for (int i = 1; i < table.ColumnCount(); ++i) values += table.ColumnWidth(i);
    if (markerRoom) values = std::max(values, table.m_nMarkerColumnsWidth);
    return 2 * frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 +
           table.ColumnWidth(0) + values;
}

int CMarkerListWidget::WantedWidth() const {
    return ColumnsWidth(true);
}

int CMarkerListWidget::NeededWidth() const {
    return ColumnsWidth(false);
}

bool CMarkerListWidget::Outgrown() const {
    const int spare = std::max(m_adapter.columnCount() - 1, 0) * kSpareSpace;
    return NeededWidth() - spare > width();
}

void CMarkerListWidget::ApplyColumnWidths() {
    CMarkerView& table = m_view.Table();
    if (table.ColumnCount() <= 0) return;
    std::vector<int> widths;
    int total = 0;
    for (int i = 0; i < table.ColumnCount(); ++i) {
        widths.push_back(table.ColumnWidth(i));
        total += widths.back();
    }
    // The value columns give up most of the space beside their widest texts first; then the
    // name column, down to a few letters; then every value column in proportion, so that
    // Green, Red and Difference stay in view.
    const int room = viewport()->width();
    constexpr int kNameMin = 48;
    for (std::size_t i = 1; i < widths.size() && total > room; ++i) {
        const int cut = std::min(total - room, kSpareSpace);
        widths[i] -= cut;
        total -= cut;
    }
    if (total > room && widths[0] > kNameMin) {
        const int cut = std::min(total - room, widths[0] - kNameMin);
        widths[0] -= cut;
        total -= cut;
    }
    if (total > room && widths.size() > 1) {
        const int values = total - widths[0];
        const int want = std::max(room - widths[0], 0);
        for (std::size_t i = 1; i < widths.size(); ++i)
            widths[i] = std::max(24, widths[i] * want / std::max(values, 1));
    }
    for (std::size_t i = 0; i < widths.size(); ++i)
        if (columnWidth(static_cast<int>(i)) != widths[i])
            setColumnWidth(static_cast<int>(i), widths[i]);
}

void CMarkerListWidget::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    ApplyColumnWidths();
}

void CMarkerListWidget::changeEvent(QEvent* event) {
    QTreeView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_textWidths.clear();
        FitColumns();
    }
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
