// The strip chart widget: paints the graph core's display list and forwards keys, mouse, scroll
// bars and the rubber band to the navigation core and double clicks and arrows to the markers.
#pragma once

#include <QAbstractScrollArea>

#include "graph/GraphNav.h"
#include "graph/GraphView.h"
#include "graph/Markers.h"
#include "model/Document.h"

namespace orvex {

class CDataAcqApp;
class IHostServices;

class CChartWidget : public QAbstractScrollArea, public IDocumentView {
    Q_OBJECT
  public:
    CChartWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                 QWidget* parent = nullptr);
    ~CChartWidget() override;

    ViewKind Kind() const override { return ViewKind::Graph; }
    void OnUpdate(uint32_t hint) override;

    CBriodashDoc& Document() { return m_doc; }
    CGraphViewState& State() { return m_state; }
    CGraphNavigator& Navigator() { return m_nav; }
    CMarkerController& Markers() { return m_markers; }
    GraphOptions& Options() { return m_options; }

    // A graph window command (menu or key); returns whether anything changed.
    bool Execute(GraphCommand id);
    // The marker commands of the view menu and the arrow keys.
    void Nudge(Marker which, int direction);
    void ToggleMarkers();
    // Puts a marker at a time (relative to the zero) as a double click there would.
    void PlaceMarker(Marker which, int32_t time);
    MarkerAxis Axis() const;
    // The view after the document's datasets changed.
    void ResetDisplay();

    // Paints the chart at `size` on any device: the screen, a printer page or a picture.
    void PaintTo(QPainter& painter, QSize size, bool onPaper);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    void Apply(const MarkerOutcome& outcome);
    void SyncScrollBars();
    void EnsureInitialised();

    CBriodashDoc& m_doc;
    IHostServices& m_host;
    CGraphViewState m_state;
    GraphOptions m_options;
    CGraphLayout m_layout;
    CGraphNavigator m_nav;
    CMarkerController m_markers;
    bool m_bInitialised = false;
    bool m_bSyncing = false;
};

}  // namespace orvex
