// The strip chart widget: paints the chart of a document and forwards keys, mouse and scroll
// bars to the navigation and the markers.
#pragma once

#include <QAbstractScrollArea>

#include "graph/ui/ChartPainter.h"
#include "model/Document.h"

namespace orvex {

class CDataAcqApp;

class CChartWidget : public QAbstractScrollArea, public IDocumentView {
    Q_OBJECT
  public:
    CChartWidget(CBriodashDoc& doc, const CDataAcqApp& app, QWidget* parent = nullptr);
    ~CChartWidget() override;

    ViewKind Kind() const override { return ViewKind::Graph; }
    void OnUpdate(uint32_t hint) override;

    // Back to the first minute of the data.
    void ResetDisplay();
    const ChartWindow& Window() const { return m_window; }
    CBriodashDoc& Document() { return m_doc; }
    // Paints the chart for a printer or a picture of the given size.
    void PaintTo(QPainter& painter, QSize size, bool onPaper);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    void UpdateScrollBars();
    void ZoomX(bool in);

    CBriodashDoc& m_doc;
    const CDataAcqApp& m_app;
    ChartWindow m_window;
    int32_t m_xMin = 0, m_xMax = 0;
    int32_t m_scrollDivisor = 1;
    bool m_bSettingScroll = false;
};

}  // namespace orvex
