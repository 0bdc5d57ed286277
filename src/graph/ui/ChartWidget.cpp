// The strip chart widget.
#include "graph/ui/ChartWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "app/DataAcqApp.h"
#include "graph/ui/ChartPainter.h"

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
    : CSceneWidget(parent), m_chart(doc, host, *this) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setMouseTracking(false);
    GraphOptions& options = m_chart.Options();
    options.background = app.GetColor(AppColor::GraphBackground);
    options.rpmLabel = app.GetColor(AppColor::GraphRpmLabel);
    options.mphLabel = app.GetColor(AppColor::GraphMphLabel);
    options.timeLabel = app.GetColor(AppColor::GraphTimeLabel);
    options.analogScales = app.GetAnalogScales();
    options.units = app.GetUnits();
    Markers().m_crBackground = options.background;
    State().InitFromSettings(app.GetXAxisMode(), app.GetMphScale(), app.GetLikeAnalogs());
    m_popupWait.setSingleShot(true);
    connect(&m_popupWait, &QTimer::timeout, this, [this] { emit PopupRequested(m_popupAt); });
    CGraphNavigator& nav = Navigator();
    nav.m_repaint = [this] {
        SyncScrollBars();
        Invalidate(ViewLayer::All);
    };
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) {
        if (m_bSyncing) return;
        QScrollBar* bar = horizontalScrollBar();
        switch (action) {
            case QAbstractSlider::SliderSingleStepSub:
                Navigator().HScroll(ScrollAction::LineBack);
                break;
            case QAbstractSlider::SliderSingleStepAdd:
                Navigator().HScroll(ScrollAction::LineForward);
                break;
            case QAbstractSlider::SliderPageStepSub:
                Navigator().HScroll(ScrollAction::PageBack);
                break;
            case QAbstractSlider::SliderPageStepAdd:
                Navigator().HScroll(ScrollAction::PageForward);
                break;
            case QAbstractSlider::SliderMove:
                Navigator().HScroll(ScrollAction::Thumb, bar->sliderPosition());
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
                Navigator().VScroll(ScrollAction::LineBack);
                break;
            case QAbstractSlider::SliderSingleStepAdd:
                Navigator().VScroll(ScrollAction::LineForward);
                break;
            case QAbstractSlider::SliderPageStepSub:
                Navigator().VScroll(ScrollAction::PageBack);
                break;
            case QAbstractSlider::SliderPageStepAdd:
                Navigator().VScroll(ScrollAction::PageForward);
                break;
            case QAbstractSlider::SliderMove:
                // The core takes the 16-bit thumb position of a range running up to 0.
                Navigator().VScroll(ScrollAction::Thumb, bar->sliderPosition() & 0xFFFF);
                break;
            default:
                return;
        }
        QMetaObject::invokeMethod(
            this, [this] { SyncScrollBars(); }, Qt::QueuedConnection);
    });
}

CChartWidget::~CChartWidget() = default;

void CChartWidget::EnsureInitialised() {
    if (m_chart.Initialised()) return;
    const QSize s = viewport()->size();
    m_chart.Initialise(s.width(), s.height());
    SyncScrollBars();
}

void CChartWidget::ResetDisplay() {
    if (!m_chart.Initialised()) {
        EnsureInitialised();
        return;
    }
    const QSize s = viewport()->size();
    m_chart.ResetDisplay(s.width(), s.height());
    SyncScrollBars();
}

bool CChartWidget::Execute(GraphCommand id) {
    EnsureInitialised();
    const bool changed = m_chart.Execute(id);
    SyncScrollBars();
    return changed;
}

void CChartWidget::PlaceMarker(Marker which, int32_t time) {
    EnsureInitialised();
    m_chart.PlaceMarker(which, time);
}

void CChartWidget::Nudge(Marker which, int direction) {
    EnsureInitialised();
    m_chart.Nudge(which, direction);
}

void CChartWidget::StepRace(int direction) {
    EnsureInitialised();
    m_chart.StepRace(direction);
}

void CChartWidget::ToggleMarkers() {
    EnsureInitialised();
    m_chart.ToggleMarkers();
}

void CChartWidget::SyncScrollBars() {
    m_bSyncing = true;
    const CGraphNavigator& nav = Navigator();
    const CGraphViewState& state = State();
    ScrollBarState h = nav.HorzScroll();
    horizontalScrollBar()->setRange(h.min, std::max(h.min, h.max));
    horizontalScrollBar()->setPageStep(
        std::max(state.m_lXSpan / std::max(state.m_lScrollDivisor, 1), 1));
    horizontalScrollBar()->setValue(h.pos);
    ScrollBarState v = nav.VertScroll();
    verticalScrollBar()->setRange(v.min, std::max(v.min, v.max));
    verticalScrollBar()->setPageStep(std::max(state.m_lRpmSpan / 1000, 1));
    verticalScrollBar()->setValue(v.pos);
    m_bSyncing = false;
}

void CChartWidget::paintEvent(QPaintEvent* event) {
    CSceneWidget::paintEvent(event);
    const CGraphNavigator& nav = Navigator();
    m_bBandPainted = nav.RubberBandActive();
    if (nav.RubberBandActive()) {
        QPainter p(viewport());
        const GRectI r = nav.RubberBand();
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 0));
        p.drawRect(QRect(QPoint(std::min(r.left, r.right), std::min(r.top, r.bottom)),
                         QPoint(std::max(r.left, r.right), std::max(r.top, r.bottom))));
    }
}

bool CChartWidget::PaintsBesideTheScene() const {
    return m_bBandPainted || const_cast<CChartWidget*>(this)->Navigator().RubberBandActive();
}

void CChartWidget::resizeEvent(QResizeEvent* event) {
    CSceneWidget::resizeEvent(event);
    if (!m_chart.Initialised()) return;
    m_chart.Resize(viewport()->width(), viewport()->height());
    SyncScrollBars();
}

void CChartWidget::showEvent(QShowEvent* event) {
    CSceneWidget::showEvent(event);
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
        if (mods == (Qt::ControlModifier | Qt::AltModifier)) return StepRace(dir);
    }
    for (const GraphCommandInfo& c : GraphCommandTable())
        for (const char* key : c.keys)
            if (MatchesKey(key, event)) {
                Execute(c.id);
                return;
            }
    CSceneWidget::keyPressEvent(event);
}

void CChartWidget::mouseReleaseEvent(QMouseEvent* event) {
    CSceneWidget::mouseReleaseEvent(event);
    SyncScrollBars();
    if (event->button() != Qt::RightButton) return;
    if (m_bDoubleClicked) {
        m_bDoubleClicked = false;  // the end of a double click
        return;
    }
    m_popupAt = event->position().toPoint();
    m_popupWait.start(QApplication::doubleClickInterval());
}

void CChartWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        m_popupWait.stop();
        m_bDoubleClicked = true;
    }
    CSceneWidget::mouseDoubleClickEvent(event);
}

void CChartWidget::SetMarkerAt(Marker which, QPoint at) {
    EnsureInitialised();
    ViewMouse m;
    m.x = at.x();
    m.y = at.y();
    m.button = which == Marker::Green ? MouseButton::Left : MouseButton::Right;
    m_chart.DoubleClick(m);
}

int32_t CChartWidget::AxisValueAt(QPoint at) {
    EnsureInitialised();
    return State().Mapping().PixelToX(at.x());
}

}  // namespace orvex
