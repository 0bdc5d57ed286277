#include "views/ui/ViewWidgets.h"

#include <QActionGroup>
#include <QColorDialog>
#include <QFont>
#include <QFontMetricsF>
#include <QInputDialog>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QPrinter>

#include "app/DataAcqApp.h"
#include "app/LapTrackMap.h"
#include "graph/ui/ChartPainter.h"
#include "views/ViewData.h"
#include "views/ViewScenes.h"
#include "views/ui/ViewDialogs.h"
#include "views/ui/ViewPainter.h"

namespace orvex {

namespace {

ColorRef FromQColor(const QColor& c) {
    return MakeRGB(c.red(), c.green(), c.blue());
}

QIcon Swatch(ColorRef c) {
    QPixmap pm(16, 16);
    pm.fill(ToQColor(c));
    return QIcon(pm);
}

QAction* Toggle(QMenu& menu, const QString& text, bool checked, std::function<void()> fn) {
    QAction* a = menu.addAction(text);
    a->setCheckable(true);
    a->setChecked(checked);
    QObject::connect(a, &QAction::triggered, &menu, std::move(fn));
    return a;
}

QAction* Item(QMenu& menu, const QString& text, std::function<void()> fn) {
    QAction* a = menu.addAction(text);
    QObject::connect(a, &QAction::triggered, &menu, std::move(fn));
    return a;
}

}  // namespace

// --- CViewWidget -------------------------------------------------------------------------------

CViewWidget::CViewWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                         QWidget* parent)
    : QWidget(parent), m_doc(doc), m_app(app), m_host(host) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
    m_doc.AddView(this);
}

CViewWidget::~CViewWidget() {
    m_doc.RemoveView(this);
}

void CViewWidget::PaintTo(QPainter& painter, QSize size) {
    Build(size.width(), size.height(), MeasureViewFonts(painter), m_scene);
    PaintViewScene(painter, m_scene);
}

void CViewWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintTo(p, size());
}

QImage CViewWidget::Render(QSize size, qreal devicePixelRatio) {
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::white);
    QPainter p(&image);
    PaintTo(p, size);
    return image;
}

bool CViewWidget::ExportPng(const QString& path, QSize size) {
    return Render(size).save(path, "PNG");
}

bool CViewWidget::ExportPdf(const QString& path) {
    QPdfWriter pdf(path);
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setResolution(96);
    QPainter p;
    if (!p.begin(&pdf)) return false;
    const QRect page = pdf.pageLayout().paintRectPixels(pdf.resolution());
    PaintTo(p, page.size());
    return p.end();
}

void CViewWidget::Print(QPrinter& printer) {
    QPainter p;
    if (!p.begin(&printer)) return;
    // Laid out on a page of 96 dots an inch, scaled to the printer's.
    const double scale = printer.resolution() / 96.0;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    p.scale(scale, scale);
    PaintTo(p,
            QSize(static_cast<int>(page.width() / scale), static_cast<int>(page.height() / scale)));
    p.end();
}

QColor CViewWidget::PickColour(const QString& title, ColorRef current, bool& ok) {
    const QColor c = QColorDialog::getColor(ToQColor(current), this, title);
    ok = c.isValid();
    return c;
}

// --- Traction circle -------------------------------------------------------------------------

CTractionCircleWidget::CTractionCircleWidget(CBriodashDoc& doc, const CDataAcqApp& app,
                                             IHostServices& host, QWidget* parent)
    : CViewWidget(doc, app, host, parent),
      m_circle(
          [&app] {
              FrictionSettings s;
              s.drawCurve = app.GetFcDrawCurve();
              s.xGrid = app.GetFcXGrid();
              s.yGrid = app.GetFcYGrid();
              s.values = app.GetFcValues();
              s.background = app.GetColor(AppColor::FrictionCircleBackground);
              s.axes = app.GetColor(AppColor::FrictionCircleAxes);
              return s;
          }(),
          doc.m_options.units, std::max(app.GetAnalog20Offset(), 0.0f)) {
    std::vector<CDatasetList> first;
    const std::vector<CDatasetList> all = AvailableEntries(doc);
    if (!all.empty()) first.push_back(all.front());
    SetSelection(first);
}

void CTractionCircleWidget::SetSelection(const std::vector<CDatasetList>& entries) {
    m_circle.SetSelection(entries);
    m_circle.MoveMarker(true, m_doc.m_lGreenTime, m_host);
    m_circle.MoveMarker(false, m_doc.m_lRedTime, m_host);
    update();
}

void CTractionCircleWidget::OnUpdate(const ViewUpdate& change) {
    const uint32_t hint = change.hint;
    if (hint == kHintGreenMoved) {
        if (m_circle.MoveMarker(true, m_doc.m_lGreenTime, m_host)) update();
    } else if (hint == kHintRedMoved || hint == kHintRedMovedRaceSync) {
        if (m_circle.MoveMarker(false, m_doc.m_lRedTime, m_host)) update();
    } else {
        m_circle.Recompute();
        update();
    }
}

void CTractionCircleWidget::OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset*) {
    std::vector<CDatasetList> kept;
    for (const FrictionEntry& e : m_circle.Entries())
        if (e.list.m_pDataset != old) kept.push_back(e.list);
    SetSelection(kept);
}

void CTractionCircleWidget::Build(int width, int height, const ViewMetrics& metrics,
                                  CViewScene& scene) {
    BuildTractionScene(m_circle, width, height, metrics, scene);
}

void CTractionCircleWidget::SelectLaps() {
    std::vector<CDatasetList> current;
    for (const FrictionEntry& e : m_circle.Entries()) current.push_back(e.list);
    CSessionSelectDialog model(m_host, "Traction Circle", AvailableEntries(m_doc), current, 0);
    CViewSessionDialog dialog(model, m_doc.m_lGreenTime, m_doc.m_lRedTime, this);
    if (dialog.exec() == QDialog::Accepted) SetSelection(model.Selected());
}

void CTractionCircleWidget::FillMenu(QMenu& menu) {
    FrictionSettings& s = m_circle.Settings();
    Item(menu, QStringLiteral("Select Lap(s)"), [this] { SelectLaps(); });
    QMenu* colours = menu.addMenu(QStringLiteral("Select Session Colors"));
    const std::vector<std::string> items = m_circle.ColourItems();
    auto chooseFor = [this](int i) {
        const FrictionEntry& e = m_circle.Entries()[static_cast<std::size_t>(i)];
        bool ok = false;
        const QColor c = PickColour(
            QStringLiteral("Set Color for %1").arg(QString::fromStdString(e.list.m_strName)),
            e.colour, ok);
        if (!ok) return;
        m_circle.SetColour(i, FromQColor(c));
        update();
    };
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        if (items[static_cast<std::size_t>(i)] == kMoreSessions) {
            // Every selected session by name, then the colour of the one chosen.
            Item(*colours, QString::fromUtf8(kMoreSessions), [this, chooseFor] {
                QStringList names;
                for (const FrictionEntry& e : m_circle.Entries())
                    names << QString::fromStdString(e.list.m_strName);
                bool ok = false;
                const QString name =
                    QInputDialog::getItem(this, QStringLiteral("Select Session Colors"),
                                          QStringLiteral("Session"), names, 0, false, &ok);
                if (ok) chooseFor(static_cast<int>(names.indexOf(name)));
            });
            continue;
        }
        QAction* a = Item(*colours, QString::fromStdString(items[static_cast<std::size_t>(i)]),
                          [chooseFor, i] { chooseFor(i); });
        a->setIcon(Swatch(m_circle.Entries()[static_cast<std::size_t>(i)].colour));
    }
    menu.addSeparator();
    Toggle(menu, QStringLiteral("Display X Grid"), s.xGrid,
           [this, &s] { s.xGrid = !s.xGrid, update(); });
    Toggle(menu, QStringLiteral("Display Y Grid"), s.yGrid,
           [this, &s] { s.yGrid = !s.yGrid, update(); });
    Item(menu,
         s.drawCurve ? QStringLiteral("Display Data Points") : QStringLiteral("Display Curve"),
         [this, &s] { s.drawCurve = !s.drawCurve, update(); });
    Toggle(menu, QStringLiteral("Display L-R, F-R and Max G"), s.values,
           [this, &s] { s.values = !s.values, update(); });
    for (bool lr : {true, false}) {
        QMenu* sub = menu.addMenu(lr ? QStringLiteral("Left-Right Smoothing")
                                     : QStringLiteral("Front-Rear Smoothing"));
        int& word = lr ? s.lrSmoothing : s.frSmoothing;
        for (int i = 0; i < 4; ++i) {
            const int w = kSmoothingWords[i];
            Toggle(*sub, QString::fromUtf8(kSmoothingNames[i]), word == w, [this, &word, w] {
                word = w;
                m_circle.Recompute();
                update();
            });
        }
    }
    menu.addSeparator();
    QAction* bg = Item(menu, QStringLiteral("Background Color"), [this, &s] {
        bool ok = false;
        const QColor c =
            PickColour(QStringLiteral("Set Traction Circle Background Color"), s.background, ok);
        if (ok) s.background = FromQColor(c), update();
    });
    bg->setIcon(Swatch(s.background));
    QAction* ax = Item(menu, QStringLiteral("X - Y Axes Color"), [this, &s] {
        bool ok = false;
        const QColor c = PickColour(QStringLiteral("Set Traction Circle Axes Color"), s.axes, ok);
        if (ok) s.axes = FromQColor(c), update();
    });
    ax->setIcon(Swatch(s.axes));
}

// --- Histogram -------------------------------------------------------------------------------

CHistogramWidget::CHistogramWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                                   QWidget* parent)
    : CViewWidget(doc, app, host, parent) {
    Refresh();
}

void CHistogramWidget::SetSessions(std::vector<CDatasetList> sessions) {
    m_selection.SetSessions(std::move(sessions), m_doc.m_options.units);
    Refresh();
}

void CHistogramWidget::Refresh() {
    m_chart = ComputeHistogram(m_selection.sessions, m_selection.channels, m_flags,
                               m_doc.m_options.units, std::max(m_app.GetAnalog20Offset(), 0.0f));
    update();
}

void CHistogramWidget::OnUpdate(const ViewUpdate& change) {
    const uint32_t hint = change.hint;
    if (hint == kHintGreenMoved || hint == kHintRedMoved || hint == kHintRedMovedRaceSync) return;
    Refresh();
}

void CHistogramWidget::OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset*) {
    std::vector<CDatasetList> kept;
    for (const CDatasetList& e : m_selection.sessions)
        if (e.m_pDataset != old) kept.push_back(e);
    SetSessions(kept);
}

void CHistogramWidget::Build(int width, int height, const ViewMetrics& metrics, CViewScene& scene) {
    HistogramLook look;
    look.background = FromQColor(palette().color(QPalette::Base));
    look.text = FromQColor(palette().color(QPalette::Text));
    look.grid = FromQColor(palette().color(QPalette::Mid));
    m_geometry = BuildHistogramScene(m_chart, m_flags, width, height, metrics, look, scene);
}

void CHistogramWidget::SelectSessions() {
    CSessionSelectDialog model(m_host, "Select Sessions for Histogram", AvailableEntries(m_doc),
                               m_selection.sessions, static_cast<int>(m_selection.channels.size()));
    CViewSessionDialog dialog(model, m_doc.m_lGreenTime, m_doc.m_lRedTime, this);
    if (dialog.exec() == QDialog::Accepted) SetSessions(model.Selected());
}

void CHistogramWidget::SelectChannels() {
    CChannelSelectDialog model(m_host, m_selection.available, m_selection.channels,
                               static_cast<int>(m_selection.sessions.size()));
    CChannelDialog dialog(model, this);
    if (dialog.exec() != QDialog::Accepted) return;
    m_selection.channels = model.Selected();
    Refresh();
}

void CHistogramWidget::FillMenu(QMenu& menu) {
    QMenu* selection = menu.addMenu(QStringLiteral("Data Selection"));
    Item(*selection, QStringLiteral("Data Set(s)"), [this] { SelectSessions(); });
    Item(*selection, QStringLiteral("Channel(s)"), [this] { SelectChannels(); });
    QMenu* g = menu.addMenu(QStringLiteral("Graph Settings"));
    HistogramFlags& f = m_flags;
    auto flip = [this](bool& flag) {
        return [this, &flag] {
            flag = !flag;
            Refresh();
        };
    };
    Toggle(*g, QStringLiteral("Legend"), f.legend, flip(f.legend));
    Toggle(*g, QStringLiteral("Horz Grid"), f.horzGrid, flip(f.horzGrid));
    Toggle(*g, QStringLiteral("Vert Grid"), f.vertGrid, flip(f.vertGrid));
    Item(*g, f.verticalBars ? QStringLiteral("Vertical Bars") : QStringLiteral("Horizontal Bars"),
         flip(f.verticalBars));
    Item(*g, f.bars3D ? QStringLiteral("3D Bar Graph") : QStringLiteral("2D Bar Graph"),
         flip(f.bars3D));
    Item(*g, f.timeScale ? QStringLiteral("Time Scale") : QStringLiteral("% of Total Scale"),
         flip(f.timeScale));
    Item(
        *g,
        f.selectedTimeBase ? QStringLiteral("Use Selected Time") : QStringLiteral("Use Range Time"),
        flip(f.selectedTimeBase));
}

// --- Lap segment report ----------------------------------------------------------------------

CLapReportWidget::CLapReportWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                                   QWidget* parent)
    : CViewWidget(doc, app, host, parent) {
    m_options.displaySpeeds = app.GetLapReportDisplaySpeeds();
    m_options.calculateBest = app.GetLapReportCalculateBest();
    m_options.colorSegs = app.GetLapReportColorSegs();
    m_options.highliteBest = app.GetLapReportHighliteBest();
    m_options.viewAll = app.GetLapReportViewAll();
    m_options.useSelected = app.GetLapReportUseSelected();
}

void CLapReportWidget::SetMap(CBriodashDataset* session, MapSegments segments) {
    m_pSession = session;
    m_segments = std::move(segments);
    Rebuild();
}

bool CLapReportWidget::SetMapLap(long dataset, long lap) {
    LapMapChoice choice;
    choice.dataset = dataset;
    choice.lap = lap;
    choice.acceptOddDistance = true;
    CTrackMap map;
    const LapMapOutcome made = MakeLapTrackMap(m_doc, m_app, choice, map, m_host);
    if (!made.ok) return false;
    SetMap(made.session, SegmentsOfMap(map));
    return true;
}

void CLapReportWidget::Rebuild() {
    LapReportTable table;
    if (m_pSession) {
        LapReportColours colours;
        colours.rightTurn = m_app.GetColor(AppColor::TrackmapRightSeg);
        colours.leftTurn = m_app.GetColor(AppColor::TrackmapLeftSeg);
        colours.track = m_app.GetColor(AppColor::TrackmapTrack);
        table = BuildLapReport(*m_pSession, m_doc.m_options.distanceMode, m_segments, m_options,
                               m_selected, m_doc.m_options.units, colours, m_doc.m_bLapView);
    } else {
        table.columns = LapReportColumns(m_segments, m_options.displaySpeeds);
    }
    m_model.SetTable(std::move(table));
    const QFontMetricsF fm(QFont(QStringLiteral("Arial"), 8));
    m_model.FitColumns([&fm](const std::string& text) {
        return static_cast<int>(fm.horizontalAdvance(QString::fromStdString(text)));
    });
    update();
}

void CLapReportWidget::OnUpdate(const ViewUpdate& change) {
    const uint32_t hint = change.hint;
    if (hint == kHintGreenMoved || hint == kHintRedMoved || hint == kHintRedMovedRaceSync) return;
    Rebuild();
}

void CLapReportWidget::OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset* now) {
    if (m_pSession == old) m_pSession = now;
    Rebuild();
}

void CLapReportWidget::Build(int width, int height, const ViewMetrics& metrics, CViewScene& scene) {
    BuildLapReportScene(m_model, width, height, metrics, scene);
}

void CLapReportWidget::FillMenu(QMenu& menu) {
    LapReportOptions& o = m_options;
    auto flip = [this](bool& flag) {
        return [this, &flag] {
            flag = !flag;
            Rebuild();
        };
    };
    Item(menu, o.viewAll ? QStringLiteral("View Selected Laps") : QStringLiteral("View All Laps"),
         flip(o.viewAll));
    Toggle(menu, QStringLiteral("Use Selected Laps Only"), o.useSelected, flip(o.useSelected));
    Toggle(menu, QStringLiteral("Display Segment Speeds"), o.displaySpeeds, flip(o.displaySpeeds));
    Toggle(menu, QStringLiteral("Highlite Fastest Segments"), o.highliteBest, flip(o.highliteBest));
    Toggle(menu, QStringLiteral("Calculate Fastest Lap"), o.calculateBest, flip(o.calculateBest));
    QAction* key =
        Toggle(menu, QStringLiteral("Color Key Segments to Map"), o.colorSegs, flip(o.colorSegs));
    // Only while the track map draws its corner segments.
    key->setEnabled((m_app.GetTrackMapDrawSegments() & 2) != 0);
}

}  // namespace orvex
