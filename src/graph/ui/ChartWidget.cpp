// The strip chart widget.
#include "graph/ui/ChartWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "app/DataAcqApp.h"

namespace orvex {
namespace {

QColor FromRef(ColorRef c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace

CChartWidget::CChartWidget(CBriodashDoc& doc, const CDataAcqApp& app, QWidget* parent)
    : QAbstractScrollArea(parent), m_doc(doc), m_app(app) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_window.background = FromRef(app.GetColor(AppColor::GraphBackground));
    m_window.rpmLabel = FromRef(app.GetColor(AppColor::GraphRpmLabel));
    m_window.mphLabel = FromRef(app.GetColor(AppColor::GraphMphLabel));
    m_window.timeLabel = FromRef(app.GetColor(AppColor::GraphTimeLabel));
    m_doc.AddView(this);
    ResetDisplay();
}

CChartWidget::~CChartWidget() {
    m_doc.RemoveView(this);
}

void CChartWidget::OnUpdate(uint32_t) {
    viewport()->update();
}

void CChartWidget::ResetDisplay() {
    DocumentTimeExtent(m_doc, m_xMin, m_xMax);
    m_window.xStart = m_xMin;
    m_window.xSpan = std::max(std::min(m_xMax - m_xMin, 600000), 1000);
    m_scrollDivisor = std::max((m_xMax - m_xMin) / 32000, 1);
    UpdateScrollBars();
    viewport()->update();
}

void CChartWidget::UpdateScrollBars() {
    m_bSettingScroll = true;
    QScrollBar* h = horizontalScrollBar();
    h->setRange(m_xMin / m_scrollDivisor,
                std::max(m_xMax - m_window.xSpan, m_xMin) / m_scrollDivisor);
    h->setPageStep(std::max(m_window.xSpan / m_scrollDivisor, 1));
    h->setSingleStep(std::max(m_window.xSpan / 10 / m_scrollDivisor, 1));
    h->setValue(m_window.xStart / m_scrollDivisor);
    verticalScrollBar()->setRange(0, 0);
    m_bSettingScroll = false;
}

void CChartWidget::scrollContentsBy(int, int) {
    if (m_bSettingScroll) return;
    m_window.xStart = std::clamp(horizontalScrollBar()->value() * m_scrollDivisor, m_xMin,
                                 std::max(m_xMax - m_window.xSpan, m_xMin));
    viewport()->update();
}

void CChartWidget::ZoomX(bool in) {
    const int32_t total = m_xMax - m_xMin;
    if (in) {
        if (m_window.xSpan <= 1000) return;
        int32_t span = std::max(m_window.xSpan / 2, 1000);
        if (m_window.xStart != m_xMin) m_window.xStart += span / 2;
        m_window.xSpan = span;
    } else {
        if (m_window.xSpan >= total) return;
        int32_t span = std::min(m_window.xSpan * 2, total);
        m_window.xStart = std::clamp(m_window.xStart - span / 4, m_xMin, m_xMax - span);
        m_window.xSpan = span;
    }
    UpdateScrollBars();
    viewport()->update();
}

void CChartWidget::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_F3:
            ZoomX(true);
            return;
        case Qt::Key_F4:
            ZoomX(false);
            return;
        default:
            QAbstractScrollArea::keyPressEvent(event);
    }
}

void CChartWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    const int x = static_cast<int>(event->position().x());
    if (x <= kLeftMargin) return;
    const double perPixel =
        static_cast<double>(m_window.xSpan) / std::max(viewport()->width() - kLeftMargin, 1);
    const auto t = static_cast<int32_t>(m_window.xStart + (x - kLeftMargin) * perPixel);
    if (event->button() == Qt::LeftButton) {
        m_doc.m_lGreenTime = t;
        m_doc.UpdateAllViews(kHintGreenMoved);
    } else if (event->button() == Qt::RightButton) {
        m_doc.m_lRedTime = t;
        m_doc.UpdateAllViews(kHintRedMoved);
    }
}

void CChartWidget::PaintTo(QPainter& painter, QSize size, bool onPaper) {
    ChartWindow w = m_window;
    w.onPaper = onPaper;
    PaintChart(painter, m_doc, w, size);
}

void CChartWidget::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    PaintTo(p, viewport()->size(), false);
}

void CChartWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

}  // namespace orvex
