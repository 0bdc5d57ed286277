// The scene widget of the document views.
#include "graph/ui/SceneWidget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "graph/ui/ChartPainter.h"

namespace orvex {
namespace {

ViewMouse MouseOf(const QMouseEvent* event) {
    ViewMouse m;
    const QPoint p = event->position().toPoint();
    m.x = p.x();
    m.y = p.y();
    m.button = event->button() == Qt::RightButton    ? MouseButton::Right
               : event->button() == Qt::MiddleButton ? MouseButton::Middle
                                                     : MouseButton::Left;
    m.ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    m.shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    return m;
}

}  // namespace

CSceneWidget::CSceneWidget(QWidget* parent) : QAbstractScrollArea(parent) {
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

namespace {
constexpr int kOverlayMargin = 2;
}

void CSceneWidget::Invalidate(ViewLayer layer) {
    if (layer == ViewLayer::All) m_bBaseValid = false;
    const double dpr = viewport()->devicePixelRatioF();
    const QSize size = viewport()->size();
    const QSize pixels(qRound(size.width() * dpr), qRound(size.height() * dpr));
    if (layer == ViewLayer::All || !m_bBaseValid || !m_bOverlayKnown || m_base.size() != pixels ||
        !View().BuildsOverlayApart() || PaintsBesideTheScene()) {
        viewport()->update();
        return;
    }
    // A marker step or a rubber band: only where the overlay was and where it goes are painted
    // again, from the kept base drawing.
    Prepare();
    const CGraphScene& scene = View().BuildOverlay(size.width(), size.height(), dpr);
    const auto now = LayerExtents(scene, scene.overlay, kOverlayMargin);
    if (!now) {
        viewport()->update();
        return;
    }
    QRegion dirty;
    for (const QRect& r : m_overlay) dirty += r;
    for (const GRectI& r : *now) dirty += QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
    viewport()->update(dirty);
}

void CSceneWidget::RememberOverlay(const CGraphScene& scene) {
    const auto extents = LayerExtents(scene, scene.overlay, kOverlayMargin);
    m_bOverlayKnown = extents.has_value();
    m_overlay.clear();
    if (extents)
        for (const GRectI& r : *extents)
            m_overlay.emplace_back(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

void CSceneWidget::RenderTo(QPainter& painter, QSize size, bool onPaper) {
    Prepare();
    const CGraphScene& scene = View().BuildScene(size.width(), size.height(),
                                                 painter.device()->devicePixelRatio(), onPaper);
    PaintScene(painter, scene);
}

QImage CSceneWidget::Picture(QSize size, double dpr, bool onPaper) {
    QImage image(size * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    QPainter p(&image);
    RenderTo(p, size, onPaper);
    return image;
}

void CSceneWidget::paintEvent(QPaintEvent* event) {
    Prepare();
    const QSize size = viewport()->size();
    const double dpr = viewport()->devicePixelRatioF();
    const QSize pixels(qRound(size.width() * dpr), qRound(size.height() * dpr));
    const CGraphScene* scene = nullptr;
    if (!m_bBaseValid || m_base.size() != pixels || m_base.devicePixelRatio() != dpr) {
        if (m_base.size() != pixels) m_base = QImage(pixels, QImage::Format_RGB32);
        m_base.setDevicePixelRatio(dpr);
        scene = &View().BuildScene(size.width(), size.height(), dpr, false);
        QPainter bp(&m_base);
        PaintBase(bp, *scene);
        m_bBaseValid = true;
    } else {
        scene = &View().BuildOverlay(size.width(), size.height(), dpr);
    }
    QPainter p(viewport());
    // Only the parts asked for are copied from the base drawing.
    for (const QRect& r : event->region())
        p.drawImage(QRectF(r), m_base,
                    QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr));
    PaintOverlay(p, *scene);
    RememberOverlay(*scene);
}

void CSceneWidget::mousePressEvent(QMouseEvent* event) {
    Prepare();
    View().MouseDown(MouseOf(event));
}

void CSceneWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    ViewMouse m = MouseOf(event);
    m.button = MouseButton::Left;
    View().MouseMove(m);
}

void CSceneWidget::mouseReleaseEvent(QMouseEvent* event) {
    View().MouseUp(MouseOf(event));
}

void CSceneWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    Prepare();
    View().DoubleClick(MouseOf(event));
}

}  // namespace orvex
