// The strip chart widget: shows the strip chart's core view in the scene widget, with the
// scroll bars and keys of the navigation core and the arrows of the markers.
#pragma once

#include <QPoint>
#include <QTimer>

#include "graph/StripChart.h"
#include "graph/ui/SceneWidget.h"
#include "model/Document.h"

namespace orvex {

class CDataAcqApp;
class IHostServices;

class CChartWidget : public CSceneWidget {
    Q_OBJECT
  public:
    CChartWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                 QWidget* parent = nullptr);
    ~CChartWidget() override;

    CViewBase& View() override { return m_chart; }
    CStripChart& Chart() { return m_chart; }
    CBriodashDoc& Document() { return m_chart.Document(); }
    CGraphViewState& State() { return m_chart.State(); }
    CGraphNavigator& Navigator() { return m_chart.Navigator(); }
    CMarkerController& Markers() { return m_chart.Markers(); }
    GraphOptions& Options() { return m_chart.Options(); }

    // A graph window command (menu or key); returns whether anything changed.
    bool Execute(GraphCommand id);
    // The marker commands of the view menu and the arrow keys.
    void Nudge(Marker which, int direction);
    void ToggleMarkers();
    // Ctrl + Alt + arrows (direction -1 or +1) and "Restart Race" (direction 0).
    void StepRace(int direction);
    // Puts a marker at a time (relative to the zero) as a double click there would.
    void PlaceMarker(Marker which, int32_t time);
    MarkerAxis Axis() const { return m_chart.Axis(); }
    // The view after the document's datasets changed.
    void ResetDisplay();

    // The chart's pop-up commands at a viewport point: a marker as a double click there puts
    // it, and the axis value there (time relative to the zero, or distance).
    void SetMarkerAt(Marker which, QPoint at);
    int32_t AxisValueAt(QPoint at);

    // Paints the chart at `size` on any device: the screen, a printer page or a picture.
    void PaintTo(QPainter& painter, QSize size, bool onPaper) { RenderTo(painter, size, onPaper); }

  signals:
    // A single click of the right button (not the start of a double click) at a viewport
    // point: the chart's pop-up belongs there.
    void PopupRequested(QPoint at);

  protected:
    void Prepare() override { EnsureInitialised(); }
    void paintEvent(QPaintEvent* event) override;
    bool PaintsBesideTheScene() const override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    void SyncScrollBars();
    void EnsureInitialised();

    CStripChart m_chart;
    bool m_bSyncing = false;
    bool m_bBandPainted = false;  // the last paint drew a rubber band
    // The pop-up waits for the double-click time: a second click sets the red marker instead.
    QTimer m_popupWait;
    QPoint m_popupAt;
    bool m_bDoubleClicked = false;
};

}  // namespace orvex
