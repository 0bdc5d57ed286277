// The marker list widget.
#include "graph/ui/MarkerListWidget.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <vector>

#include "graph/ui/ChartPainter.h"

namespace orvex {

CMarkerListWidget::CMarkerListWidget(CBriodashDoc& doc, IHostServices& host, QWidget* parent)
    : QTreeWidget(parent), m_doc(doc), m_view(doc, host) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    header()->setStretchLastSection(false);
    m_doc.AddView(this);
    Rebuild();
}

CMarkerListWidget::~CMarkerListWidget() {
    m_doc.RemoveView(this);
}

void CMarkerListWidget::OnUpdate(uint32_t hint) {
    m_view.OnUpdate(hint);
    Fill();
}

void CMarkerListWidget::Rebuild() {
    m_view.Rebuild();
    Fill();
}

void CMarkerListWidget::Fill() {
    const QFontMetrics fm(font());
    m_view.FitColumns(
        [&fm](const std::string& s) { return fm.horizontalAdvance(QString::fromStdString(s)); });
    QStringList headers;
    for (const std::string& h : m_view.Headers()) headers << QString::fromStdString(h);
    clear();
    setColumnCount(static_cast<int>(headers.size()));
    setHeaderLabels(headers);
    // Trace colours are kept readable (same hue, lighter) on a dark palette.
    const QColor base = palette().color(QPalette::Base);
    for (const MarkerRow& row : m_view.Rows()) {
        QStringList texts;
        for (const std::string& t : row.texts) texts << QString::fromStdString(t);
        auto* item = new QTreeWidgetItem(texts);
        QColor c = ToQColor(row.colour);
        c = ReadableOn(c, base, 4.5);
        if (row.Kind() != MarkerRowKind::None && row.colour != 0)
            for (int i = 0; i < texts.size(); ++i) item->setForeground(i, c);
        addTopLevelItem(item);
    }
    ApplyColumnWidths();
    emit columnsFitted();
}

int CMarkerListWidget::WantedWidth() const {
    int total = 2 * frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    for (const MarkerColumn& c : m_view.Columns()) total += c.ShownWidth();
    return total;
}

void CMarkerListWidget::ApplyColumnWidths() {
    const auto& cols = m_view.Columns();
    if (cols.empty()) return;
    std::vector<int> widths;
    int total = 0;
    for (const MarkerColumn& c : cols) {
        widths.push_back(c.ShownWidth());
        total += widths.back();
    }
    // The name column gives way first (its texts are elided), down to a few letters; then
    // every value column in proportion, so that Green, Red and Difference stay in view.
    const int room = viewport()->width();
    constexpr int kNameMin = 48;
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
    for (std::size_t i = 0; i < widths.size(); ++i) setColumnWidth(static_cast<int>(i), widths[i]);
}

void CMarkerListWidget::resizeEvent(QResizeEvent* event) {
    QTreeWidget::resizeEvent(event);
    ApplyColumnWidths();
}

void CMarkerListWidget::changeEvent(QEvent* event) {
    QTreeWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) Fill();
}

QStringList CMarkerListWidget::RowTexts(int row) const {
    QStringList out;
    const QTreeWidgetItem* item = topLevelItem(row);
    if (!item) return out;
    for (int i = 0; i < columnCount(); ++i) out << item->text(i);
    return out;
}

}  // namespace orvex
