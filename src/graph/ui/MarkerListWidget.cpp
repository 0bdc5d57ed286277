// The marker list widget.
#include "graph/ui/MarkerListWidget.h"

#include <QHeaderView>

namespace orvex {

CMarkerListWidget::CMarkerListWidget(CBriodashDoc& doc, QWidget* parent)
    : QTreeWidget(parent), m_doc(doc) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    m_doc.AddView(this);
    Rebuild();
}

CMarkerListWidget::~CMarkerListWidget() {
    m_doc.RemoveView(this);
}

void CMarkerListWidget::OnUpdate(uint32_t) {
    Rebuild();
}

void CMarkerListWidget::Rebuild() {
    clear();
    setColumnCount(1);
    setHeaderLabels({QStringLiteral("Channel Names")});
    for (CBriodashDataset* ds : m_doc.ShownDatasets()) {
        for (int i = 0; i < kRpmChannels; ++i)
            if (ds->m_rpm[static_cast<std::size_t>(i)].m_nOn)
                if (const CFreqSetup* s = ds->m_carSetup.FindRpmSetup(i + 1))
                    addTopLevelItem(
                        new QTreeWidgetItem({QString::fromStdString(s->m_strDescription)}));
        for (int i = 0; i < kAnalogChannels; ++i)
            if (ds->m_analog[static_cast<std::size_t>(i)].m_nOn)
                if (const CAnalogSetup* s = ds->m_carSetup.FindAnalogSetup(i + 1))
                    addTopLevelItem(
                        new QTreeWidgetItem({QString::fromStdString(s->m_strDescription)}));
    }
    header()->resizeSections(QHeaderView::ResizeToContents);
}

}  // namespace orvex
