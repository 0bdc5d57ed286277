// The scene widget of the document views.
#include "graph/ui/SceneWidget.h"

#include <QMouseEvent>
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

void CSceneWidget::Invalidate(ViewLayer layer) {
    if (layer == ViewLayer::All) m_bBaseValid = false;
    viewport()->update();
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

void CSceneWidget::paintEvent(QPaintEvent*) {
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
    p.drawImage(QPointF(0, 0), m_base);
    PaintOverlay(p, *scene);
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
