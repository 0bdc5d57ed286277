// The marker list beside or below the strip chart: the marker-list table (channel values at the
// green and red markers and their difference) shown through the table adapter.
#pragma once

#include <QTreeView>

#include "graph/MarkerListView.h"
#include "graph/ui/TableModelAdapter.h"
#include "model/Document.h"

namespace orvex {

class IHostServices;

class CMarkerListWidget : public QTreeView, public IViewCanvas {
    Q_OBJECT
  public:
    CMarkerListWidget(CBriodashDoc& doc, IHostServices& host, QWidget* parent = nullptr);
    ~CMarkerListWidget() override;

    void Rebuild();
    CMarkerView& View() { return m_view.Table(); }
    CTableModelAdapter& Adapter() { return m_adapter; }
    // The texts shown in row `row`, column by column.
    QStringList RowTexts(int row) const;

    void Invalidate(ViewLayer layer) override;

  protected:
    // A palette change (light to dark desktop) recolours the rows.
    void changeEvent(QEvent* event) override;

  private:
    void Show(const MarkerListUpdate& change);
    void FitColumns();

    CMarkerListView m_view;
    CTableModelAdapter m_adapter;
};

}  // namespace orvex
