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
    // The width that shows every column whole.
    int WantedWidth() const;

    void Invalidate(ViewLayer layer) override;

  signals:
    // The columns changed so that WantedWidth changed (a marker set, a dataset added).
    void WantedWidthChanged();

  protected:
    // A palette change (light to dark desktop) recolours the rows.
    void changeEvent(QEvent* event) override;
    // A narrow list shortens the name column first, so that the value columns stay in view.
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ApplyColumnWidths();
    void Show(const MarkerListUpdate& change);
    void FitColumns();

    CMarkerListView m_view;
    CTableModelAdapter m_adapter;
    int m_nWantedWidth = -1;
};

}  // namespace orvex
