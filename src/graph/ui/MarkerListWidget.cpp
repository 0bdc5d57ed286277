// The marker list widget.
#include "graph/ui/MarkerListWidget.h"

#include <QEvent>
#include <QHeaderView>

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
    const auto& cols = m_view.Columns();
    for (int i = 0; i < static_cast<int>(cols.size()); ++i)
        setColumnWidth(i, cols[static_cast<std::size_t>(i)].ShownWidth());
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
