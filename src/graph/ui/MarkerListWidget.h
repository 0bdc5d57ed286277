// The marker list beside or below the strip chart: the marker-list table (channel values at the
// green and red markers and their difference) shown through the table adapter.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QTreeView>
#include <string>
#include <unordered_map>

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
    // The width that shows every column whole, with room for the marker columns also before a
    // marker is set, so that the chart keeps its width when the first one is.
    int WantedWidth() const;
    // The width that shows the present columns whole.
    int NeededWidth() const;
    // Whether the present columns no longer fit whole, even with their spare space taken.
    bool Outgrown() const;

    void Invalidate(ViewLayer layer) override;

  signals:
    // The columns changed so that NeededWidth changed (a marker set, race laps, longer texts).
    void NeededWidthChanged();

  protected:
    // A palette change (light to dark desktop) recolours the rows.
    void changeEvent(QEvent* event) override;
    // A narrow list shortens the name column first, so that the value columns stay in view.
    void resizeEvent(QResizeEvent* event) override;

  private:
    int ColumnsWidth(bool markerRoom) const;
    void ApplyColumnWidths();
    void Show(const MarkerListUpdate& change);
    void FitColumns();
    // Repaints the cells of the columns that changed since the last repaint.
    void ShowPendingColumns();

    CMarkerListView m_view;
    CTableModelAdapter m_adapter;
    // Widths of texts already measured in the present font: most cells keep their text from
    // one marker step to the next.
    std::unordered_map<std::string, int> m_textWidths;
    // Marker steps faster than the eye can read (playback, a held arrow key) repaint the list
    // at most every kRepaintInterval ms; the last step is always shown.
    static constexpr int kRepaintInterval = 40;
    std::vector<int> m_pendingColumns;
    QTimer m_repaintTimer;
    QElapsedTimer m_sinceRepaint;
    int m_nNeededWidth = -1;
};

}  // namespace orvex
