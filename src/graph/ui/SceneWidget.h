// The one Qt widget of the document views: paints the scene its core view builds, forwards the
// mouse to the core view, and paints the same scene on a printer page or into a picture. The
// base drawing is kept between paints, so an overlay change (markers, rubber band) repaints
// only the overlay.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QRect>
#include <vector>

#include "graph/ViewBase.h"

class QPainter;

namespace orvex {

class CSceneWidget : public QAbstractScrollArea, public IViewCanvas {
    Q_OBJECT
  public:
    explicit CSceneWidget(QWidget* parent = nullptr);

    // The core view this widget shows.
    virtual CViewBase& View() = 0;

    void Invalidate(ViewLayer layer) override;

    // Paints the view at `size` on any device: the screen, a printer page or a picture.
    void RenderTo(QPainter& painter, QSize size, bool onPaper);
    // The view as a picture of `size` device-independent pixels at the pixel ratio `dpr`.
    QImage Picture(QSize size, double dpr = 1.0, bool onPaper = false);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Called before the view paints or takes input, so that it can lay itself out first.
    virtual void Prepare() {}
    // True while the widget paints something of its own over the scene (a rubber band), which
    // the overlay's extents do not cover: every change then repaints the whole view.
    virtual bool PaintsBesideTheScene() const { return false; }

  private:
    // The overlay's rectangles as last painted, or none when unknown.
    void RememberOverlay(const CGraphScene& scene);

    QImage m_base;  // the base drawing at the viewport's size and pixel ratio
    bool m_bBaseValid = false;
    bool m_bOverlayKnown = false;
    std::vector<QRect> m_overlay;  // where the overlay painted last, over the base drawing
};

}  // namespace orvex
