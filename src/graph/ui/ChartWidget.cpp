// The strip chart widget.
#include "graph/ui/ChartWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "app/DataAcqApp.h"
#include "graph/ui/ChartPainter.h"
#include "processing/SpeedDistance.h"

namespace orvex {
namespace {

// The key table of the graph window from the navigation core's command table.
bool MatchesKey(const char* key, const QKeyEvent* event) {
    const QKeySequence seq(QString::fromUtf8(key));
    if (seq.isEmpty()) return false;
    const QKeyCombination want = seq[0];
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    int k = event->key();
    if (k == Qt::Key_Backtab) k = Qt::Key_Tab;  // Shift+Tab arrives as Backtab
    return want.key() == k && want.keyboardModifiers() == mods;
}

}  // namespace

CChartWidget::CChartWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                           QWidget* parent)
    : QAbstractScrollArea(parent),
      m_doc(doc),
      m_host(host),
      m_nav(doc, m_state, host),
      m_markers(doc, host) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);
    m_options.background = app.GetColor(AppColor::GraphBackground);
    m_options.rpmLabel = app.GetColor(AppColor::GraphRpmLabel);
    m_options.mphLabel = app.GetColor(AppColor::GraphMphLabel);
    m_options.timeLabel = app.GetColor(AppColor::GraphTimeLabel);
    m_options.analogScales = app.GetAnalogScales();
    m_options.units = app.GetUnits();
    m_markers.m_crBackground = m_options.background;
    m_state.InitFromSettings(app.GetXAxisMode(), app.GetMphScale(), app.GetLikeAnalogs());
    m_nav.m_pOptions = &m_options;
    m_nav.m_repaint = [this] {
        SyncScrollBars();
        viewport()->update();
    };
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) {
        if (m_bSyncing) return;
        QScrollBar* bar = horizontalScrollBar();
        switch (action) {
            case QAbstractSlider::SliderSingleStepSub:
                m_nav.HScroll(ScrollAction::LineBack);
                break;
            case QAbstractSlider::SliderSingleStepAdd:
                m_nav.HScroll(ScrollAction::LineForward);
                break;
            case QAbstractSlider::SliderPageStepSub:
                m_nav.HScroll(ScrollAction::PageBack);
                break;
            case QAbstractSlider::SliderPageStepAdd:
                m_nav.HScroll(ScrollAction::PageForward);
                break;
            case QAbstractSlider::SliderMove:
                m_nav.HScroll(ScrollAction::Thumb, bar->sliderPosition());
                break;
            default:
                return;
        }
        // The core has placed the window; the bar follows it instead of its own step.
        QMetaObject::invokeMethod(
            this, [this] { SyncScrollBars(); }, Qt::QueuedConnection);
    });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) {
        if (m_bSyncing) return;
        QScrollBar* bar = verticalScrollBar();
        switch (action) {
            case QAbstractSlider::SliderSingleStepSub:
                m_nav.VScroll(ScrollAction::LineBack);
                break;
            case QAbstractSlider::SliderSingleStepAdd:
                m_nav.VScroll(ScrollAction::LineForward);
                break;
            case QAbstractSlider::SliderPageStepSub:
                m_nav.VScroll(ScrollAction::PageBack);
                break;
            case QAbstractSlider::SliderPageStepAdd:
                m_nav.VScroll(ScrollAction::PageForward);
                break;
            case QAbstractSlider::SliderMove:
                // The core takes the 16-bit thumb position of a range running up to 0.
                m_nav.VScroll(ScrollAction::Thumb, bar->sliderPosition() & 0xFFFF);
                break;
            default:
                return;
        }
        QMetaObject::invokeMethod(
            this, [this] { SyncScrollBars(); }, Qt::QueuedConnection);
    });
    m_doc.AddView(this);
}

CChartWidget::~CChartWidget() {
    m_doc.RemoveView(this);
}

void CChartWidget::EnsureInitialised() {
    if (m_bInitialised) return;
    m_bInitialised = true;
    const QSize s = viewport()->size();
    m_nav.InitialUpdate(std::max(s.width(), 1), std::max(s.height(), 1));
    SyncScrollBars();
}

void CChartWidget::ResetDisplay() {
    m_layout.InvalidateCache();
    if (!m_bInitialised) {
        EnsureInitialised();
        return;
    }
    m_nav.ResetDisplay();
    SyncScrollBars();
    viewport()->update();
}

void CChartWidget::OnUpdate(uint32_t hint) {
    if (hint == kHintRepaint) m_layout.InvalidateCache();
    viewport()->update();
}

MarkerAxis CChartWidget::Axis() const {
    MarkerAxis a;
    a.timeAxis = m_state.IsTimeAxis();
    a.xStart = m_state.m_lXStart;
    a.xSpan = m_state.m_lXSpan;
    a.xUnitsPerPixel = m_state.m_scale.xUnitsPerPixel;
    a.clientHeight = m_state.m_nClientHeight;
    return a;
}

bool CChartWidget::Execute(GraphCommand id) {
    EnsureInitialised();
    if (!m_nav.IsEnabled(id)) return false;
    const bool changed = m_nav.Execute(id);
    if (id == GraphCommand::Redraw) m_doc.UpdateAllViews(kHintRepaint);
    SyncScrollBars();
    viewport()->update();
    return changed;
}

void CChartWidget::Apply(const MarkerOutcome& outcome) {
    // The strokes are shown by repainting the overlay; the hints reach every view.
    for (const MarkerHint& h : outcome.hints) m_doc.UpdateAllViews(h.code);
    viewport()->update();
}

void CChartWidget::Nudge(Marker which, int direction) {
    EnsureInitialised();
    if (!m_markers.CanNudge(which)) return;
    Apply(m_markers.Nudge(which, direction, Axis()));
}

void CChartWidget::ToggleMarkers() {
    EnsureInitialised();
    Apply(m_markers.ToggleShown(Axis()));
}

void CChartWidget::SyncScrollBars() {
    m_bSyncing = true;
    ScrollBarState h = m_nav.HorzScroll();
    horizontalScrollBar()->setRange(h.min, std::max(h.min, h.max));
    horizontalScrollBar()->setPageStep(
        std::max(m_state.m_lXSpan / std::max(m_state.m_lScrollDivisor, 1), 1));
    horizontalScrollBar()->setValue(h.pos);
    ScrollBarState v = m_nav.VertScroll();
    verticalScrollBar()->setRange(v.min, std::max(v.min, v.max));
    verticalScrollBar()->setPageStep(std::max(m_state.m_lRpmSpan / 1000, 1));
    verticalScrollBar()->setValue(v.pos);
    m_bSyncing = false;
}

void CChartWidget::PaintTo(QPainter& painter, QSize size, bool onPaper) {
    EnsureInitialised();
    if (size.width() != m_state.m_nClientWidth || size.height() != m_state.m_nClientHeight) {
        // Another size (a printer page or a picture): lay out a copy of the view for it.
        CGraphViewState copy = m_state;
        copy.RecomputeScaleFactors(m_doc, size.width(), size.height());
        CGraphLayout layout;
        const CGraphScene& scene = layout.Build(m_doc, copy, m_options, size.width(), size.height(),
                                                painter.device()->devicePixelRatio());
        MarkerAxis axis = Axis();
        axis.xUnitsPerPixel = copy.m_scale.xUnitsPerPixel;
        axis.clientHeight = size.height();
        PaintScene(painter, scene, onPaper ? std::vector<MarkerLine>{} : m_markers.Overlay(axis));
        return;
    }
    const CGraphScene& scene = m_layout.Build(m_doc, m_state, m_options, size.width(),
                                              size.height(), painter.device()->devicePixelRatio());
    PaintScene(painter, scene, onPaper ? std::vector<MarkerLine>{} : m_markers.Overlay(Axis()));
}

void CChartWidget::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    PaintTo(p, viewport()->size(), false);
    if (m_nav.RubberBandActive()) {
        const GRectI r = m_nav.RubberBand();
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 0));
        p.drawRect(QRect(QPoint(std::min(r.left, r.right), std::min(r.top, r.bottom)),
                         QPoint(std::max(r.left, r.right), std::max(r.top, r.bottom))));
    }
}

void CChartWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (!m_bInitialised) return;
    m_nav.OnSize(viewport()->width(), viewport()->height());
    SyncScrollBars();
}

void CChartWidget::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    EnsureInitialised();
}

bool CChartWidget::focusNextPrevChild(bool) {
    return false;  // Tab and Shift+Tab are the history keys of the graph
}

void CChartWidget::keyPressEvent(QKeyEvent* event) {
    EnsureInitialised();
    const auto mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        const int dir = event->key() == Qt::Key_Left ? -1 : 1;
        if (mods == Qt::NoModifier) return Nudge(Marker::Green, dir);
        if (mods == Qt::ShiftModifier) return Nudge(Marker::Red, dir);
    }
    for (const GraphCommandInfo& c : GraphCommandTable())
        for (const char* key : c.keys)
            if (MatchesKey(key, event)) {
                Execute(c.id);
                return;
            }
    QAbstractScrollArea::keyPressEvent(event);
}

void CChartWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    EnsureInitialised();
    const QPoint p = event->position().toPoint();
    m_nav.MouseDown(p.x(), p.y());
    viewport()->update();
}

void CChartWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || !m_nav.RubberBandActive()) return;
    const QPoint p = event->position().toPoint();
    m_nav.MouseMove(p.x(), p.y());
    viewport()->update();
}

void CChartWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_nav.RubberBandActive()) return;
    const QPoint p = event->position().toPoint();
    m_nav.MouseUp(p.x(), p.y());
    SyncScrollBars();
    viewport()->update();
}

void CChartWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    EnsureInitialised();
    const int x = event->position().toPoint().x();
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier))
        Apply(m_markers.SetRaceMarkerAt(x, Axis()));
    else if (event->button() == Qt::LeftButton)
        Apply(m_markers.DoubleClick(Marker::Green, x, Axis()));
    else if (event->button() == Qt::RightButton)
        Apply(m_markers.DoubleClick(Marker::Red, x, Axis()));
}

}  // namespace orvex
