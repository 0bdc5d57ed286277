#include "trackmap/ui/TrackMapWindow.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>

#include "app/DataAcqApp.h"
#include "graph/ui/ChartPainter.h"
#include "model/Document.h"
#include "trackmap/RaceMarkers.h"
#include "trackmap/TrackDialogs.h"
#include "trackmap/TrackSamples.h"
#include "trackmap/ui/TrackForms.h"

namespace orvex {

namespace {

// Scroll bars count in whole feet of the map.
int Feet(double v) {
    return static_cast<int>(std::lround(v));
}

ColorRef FromQColor(const QColor& c) {
    return MakeRGB(c.red(), c.green(), c.blue());
}

// How often the window holding the stay-on-top role comes to the top again.
constexpr int kOnTopMs = 200;

}  // namespace

CTrackMapWindow* CTrackMapWindow::s_onTop = nullptr;

CTrackMapCanvas::CTrackMapCanvas(CBriodashDoc& doc, IHostServices& host, QWidget* parent)
    : CSceneWidget(parent), m_view(doc, host, *this) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { Scrolled(); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { Scrolled(); });
}

void CTrackMapCanvas::Prepare() {
    m_view.SetTextHeight(QFontMetrics(font()).height());
    m_view.Model().SetClientSize(viewport()->width(), viewport()->height());
}

void CTrackMapCanvas::Scrolled() {
    if (m_bSyncing) return;
    m_view.Model().SetCentre(horizontalScrollBar()->value(), verticalScrollBar()->value());
    Invalidate(ViewLayer::All);
}

void CTrackMapCanvas::SyncScrollBars() {
    m_bSyncing = true;
    Prepare();
    const TrackScroll h = m_view.Model().HorizontalScroll();
    const TrackScroll v = m_view.Model().VerticalScroll();
    setHorizontalScrollBarPolicy(h.shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(v.shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    if (h.shown) {
        horizontalScrollBar()->setRange(Feet(h.min), Feet(h.max));
        horizontalScrollBar()->setPageStep(std::max(Feet(h.page), 1));
        horizontalScrollBar()->setSingleStep(std::max(Feet(h.page / 10.0), 1));
        horizontalScrollBar()->setValue(Feet(h.pos));
    }
    if (v.shown) {
        verticalScrollBar()->setRange(Feet(v.min), Feet(v.max));
        verticalScrollBar()->setPageStep(std::max(Feet(v.page), 1));
        verticalScrollBar()->setSingleStep(std::max(Feet(v.page / 10.0), 1));
        verticalScrollBar()->setValue(Feet(v.pos));
    }
    m_bSyncing = false;
    Invalidate(ViewLayer::All);
}

void CTrackMapCanvas::paintEvent(QPaintEvent* event) {
    CSceneWidget::paintEvent(event);
}

void CTrackMapCanvas::resizeEvent(QResizeEvent* event) {
    CSceneWidget::resizeEvent(event);
    Invalidate(ViewLayer::All);
}

void CTrackMapCanvas::mouseReleaseEvent(QMouseEvent* event) {
    CSceneWidget::mouseReleaseEvent(event);
    SyncScrollBars();
}

void CTrackMapCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    CSceneWidget::mouseDoubleClickEvent(event);
    SyncScrollBars();
}

CTrackMapWindow::CTrackMapWindow(CBriodashDoc& doc, CDataAcqApp& app, IHostServices& host,
                                 CRaceMarkers* race, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_doc(doc),
      m_app(app),
      m_host(host) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_canvas = new CTrackMapCanvas(doc, host, this);
    layout->addWidget(m_canvas);
    CTrackView& view = View();
    view.m_pRace = race;
    TrackViewSettings& s = view.m_settings;
    s.colors.background = app.GetColor(AppColor::TrackmapBackground);
    s.colors.track = app.GetColor(AppColor::TrackmapTrack);
    s.colors.startFinish = app.GetColor(AppColor::TrackmapStartFinish);
    s.colors.accel = app.GetColor(AppColor::TrackmapAccelSeg);
    s.colors.decel = app.GetColor(AppColor::TrackmapDecelSeg);
    s.colors.left = app.GetColor(AppColor::TrackmapLeftSeg);
    s.colors.right = app.GetColor(AppColor::TrackmapRightSeg);
    s.drawSegments = app.GetTrackMapDrawSegments();
    s.ramp = app.GetTrackMapRampAccel();
    s.follow = app.GetTrackMapTrackMarkers();
    s.followRace = app.GetTrackMapTrackRace();
    s.map.speedSource = doc.m_options.groundSpeedMap;
    s.map.open = doc.m_options.openTrackMap != 0;
    s.map.banking = doc.m_options.calcBanking != 0;
    s.map.lateralPos = app.GetTrackMapLateralPos();
    s.map.lateralNeg = app.GetTrackMapLateralNeg();
    s.map.longitudePos = app.GetTrackMapLongitudePos();
    s.map.longitudeNeg = app.GetTrackMapLongitudeNeg();
    if (race) race->Race().m_bFollowMarkers = s.followRace;
    m_onTopTimer.setInterval(kOnTopMs);
    connect(&m_onTopTimer, &QTimer::timeout, this, [this] {
        // Back to the top of the window order without moving, sizing or activating it.
        if (isVisible()) raise();
    });
    resize(640, 480);
    UpdateTitle();
    if (app.GetTrackMapOnTop()) SetOnTop(true);
}

CTrackMapWindow::~CTrackMapWindow() {
    if (s_onTop == this) s_onTop = nullptr;
}

void CTrackMapWindow::UpdateTitle() {
    setWindowTitle(QString::fromStdString(View().Title()));
}

bool CTrackMapWindow::SelectLap(int lap) {
    for (CBriodashDataset* ds : m_doc.ShownDatasets()) {
        std::optional<TrackLap> found = FindTrackLap(*ds, lap);
        if (!found) continue;
        const bool ok = View().SelectLap(*found);
        UpdateTitle();
        m_canvas->SyncScrollBars();
        return ok;
    }
    return false;
}

bool CTrackMapWindow::RunDialog(QDialog& dialog) {
    if (m_runDialog && m_runDialog(dialog)) return dialog.result() == QDialog::Accepted;
    return dialog.exec() == QDialog::Accepted;
}

bool CTrackMapWindow::ChooseLap() {
    CTrackMapLapSelection selection;
    selection.Open(m_doc.ShownDatasets(), View().m_settings.map.speedSource, m_host);
    CTrackLapDialog model(selection);
    model.SelectCode(View().LapCode());
    std::unique_ptr<QDialog> dialog = MakeTrackLapDialog(this, model);
    if (!RunDialog(*dialog)) return false;
    const TrackLap* lap = model.Chosen();
    if (!lap) return false;
    const bool ok = View().SelectLap(*lap);
    UpdateTitle();
    m_canvas->SyncScrollBars();
    return ok;
}

void CTrackMapWindow::SegmentSettings(bool corners) {
    TrackMapOptions& o = View().m_settings.map;
    CTrackSegmentSettings settings(corners, &View().Map(), corners ? o.longitudePos : o.lateralPos,
                                   corners ? o.longitudeNeg : o.lateralNeg);
    CTrackSegmentDialog model(settings);
    std::unique_ptr<QDialog> dialog = MakeTrackSegmentDialog(this, model);
    if (!RunDialog(*dialog)) return;
    const float positive = settings.Fraction(true), negative = settings.Fraction(false);
    if (corners) {
        m_app.SetTrackMapLongitudePos(positive);
        m_app.SetTrackMapLongitudeNeg(negative);
    } else {
        m_app.SetTrackMapLateralPos(positive);
        m_app.SetTrackMapLateralNeg(negative);
    }
    View().SetThresholds(corners, positive, negative);
}

void CTrackMapWindow::Run(TrackCommand id) {
    CTrackView& view = View();
    const TrackCommandInfo& info = FindTrackCommand(id);
    if (ColorRef* colour = view.ColorOf(id)) {
        const QColor c =
            QColorDialog::getColor(ToQColor(*colour), this, QString::fromUtf8(info.colorTitle));
        if (!c.isValid()) return;
        *colour = FromQColor(c);
        m_canvas->Invalidate(ViewLayer::All);
        return;
    }
    switch (id) {
        case TrackCommand::SelectLap:
            ChooseLap();
            return;
        case TrackCommand::AccelSettings:
            SegmentSettings(false);
            return;
        case TrackCommand::CornerSettings:
            SegmentSettings(true);
            return;
        case TrackCommand::StayOnTop:
            SetOnTop(!OnTop());
            return;
        default:
            break;
    }
    view.Execute(id);
    m_canvas->SyncScrollBars();
}

void CTrackMapWindow::FillMenu(QMenu& menu) {
    QMenu* colours = nullptr;
    for (const TrackCommandInfo& c : TrackCommandTable()) {
        QMenu* target = &menu;
        if (*c.submenu) {
            if (!colours) {
                menu.addSeparator();
                colours = menu.addMenu(QStringLiteral("Colors"));
            }
            target = colours;
        } else if (c.separatorBefore) {
            menu.addSeparator();
        }
        QAction* a = target->addAction(QString::fromUtf8(c.text));
        a->setStatusTip(QString::fromUtf8(c.statusText));
        if (*c.shortcut) a->setShortcut(QKeySequence(QString::fromUtf8(c.shortcut)));
        a->setEnabled(View().IsEnabled(c.id));
        const bool checked = c.id == TrackCommand::StayOnTop ? OnTop() : View().IsChecked(c.id);
        switch (c.id) {
            case TrackCommand::DrawAccel:
            case TrackCommand::DrawCorners:
            case TrackCommand::DrawBoth:
            case TrackCommand::CornerNumbers:
            case TrackCommand::RampAccel:
            case TrackCommand::FollowGreen:
            case TrackCommand::FollowRed:
            case TrackCommand::FollowRace:
            case TrackCommand::StayOnTop:
                a->setCheckable(true);
                a->setChecked(checked);
                break;
            default:
                break;
        }
        const TrackCommand id = c.id;
        connect(a, &QAction::triggered, this, [this, id] { Run(id); });
    }
}

void CTrackMapWindow::SetOnTop(bool on) {
    View().m_settings.onTop = on;
    if (on) {
        if (s_onTop && s_onTop != this) s_onTop->SetOnTop(false);
        s_onTop = this;
        m_onTopTimer.start();
    } else {
        m_onTopTimer.stop();
        if (s_onTop == this) s_onTop = nullptr;
    }
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (shown) show();  // a change of flags hides the window
}

void CTrackMapWindow::keyPressEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    if (mods == Qt::ControlModifier && event->key() == Qt::Key_F3) return Run(TrackCommand::ZoomIn);
    if (mods == Qt::ControlModifier && event->key() == Qt::Key_F4)
        return Run(TrackCommand::ZoomOut);
    QWidget::keyPressEvent(event);
}

void CTrackMapWindow::closeEvent(QCloseEvent* event) {
    // Closing gives up the stay-on-top role.
    if (OnTop()) {
        m_onTopTimer.stop();
        s_onTop = nullptr;
    }
    QWidget::closeEvent(event);
    emit closed();
}

QImage CTrackMapWindow::Render(QSize size) {
    resize(size);
    if (QLayout* l = layout()) l->activate();
    m_canvas->SyncScrollBars();
    return grab().toImage();
}

void CTrackMapWindow::PaintTo(QPainter& painter, QSize size, bool onPaper) {
    m_canvas->RenderTo(painter, size, onPaper);
}

bool CTrackMapWindow::ExportPng(const QString& path, QSize size) {
    return m_canvas->Picture(size, 1.0, true).save(path, "PNG");
}

bool CTrackMapWindow::ExportPdf(const QString& path) {
    QPdfWriter pdf(path);
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setResolution(96);
    QPainter p;
    if (!p.begin(&pdf)) return false;
    const QRect page = pdf.pageLayout().paintRectPixels(pdf.resolution());
    PaintTo(p, page.size(), true);
    return p.end();
}

void CTrackMapWindow::Print(QPrinter& printer) {
    QPainter p;
    if (!p.begin(&printer)) return;
    // Laid out on a page of 96 dots an inch, scaled to the printer's.
    const double scale = printer.resolution() / 96.0;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    p.scale(scale, scale);
    PaintTo(p,
            QSize(static_cast<int>(page.width() / scale), static_cast<int>(page.height() / scale)),
            true);
    p.end();
}

}  // namespace orvex
