#include "views/ui/ViewWidgets.h"

#include <QActionGroup>
#include <QColorDialog>
#include <QEvent>
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
#include "views/ui/ViewDialogs.h"

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

FrictionSettings FrictionDefaults(const CDataAcqApp& app) {
    FrictionSettings s;
    s.drawCurve = app.GetFcDrawCurve();
    s.xGrid = app.GetFcXGrid();
    s.yGrid = app.GetFcYGrid();
    s.values = app.GetFcValues();
    s.background = app.GetColor(AppColor::FrictionCircleBackground);
    s.axes = app.GetColor(AppColor::FrictionCircleAxes);
    return s;
}

LapReportOptions LapReportDefaults(const CDataAcqApp& app) {
    LapReportOptions o;
    o.displaySpeeds = app.GetLapReportDisplaySpeeds();
    o.calculateBest = app.GetLapReportCalculateBest();
    o.colorSegs = app.GetLapReportColorSegs();
    o.highliteBest = app.GetLapReportHighliteBest();
    o.viewAll = app.GetLapReportViewAll();
    o.useSelected = app.GetLapReportUseSelected();
    return o;
}

LapReportColours MapColours(const CDataAcqApp& app) {
    LapReportColours colours;
    colours.rightTurn = app.GetColor(AppColor::TrackmapRightSeg);
    colours.leftTurn = app.GetColor(AppColor::TrackmapLeftSeg);
    colours.track = app.GetColor(AppColor::TrackmapTrack);
    return colours;
}

float VoltageCorrection(const CDataAcqApp& app) {
    return std::max(app.GetAnalog20Offset(), 0.0f);
}

}  // namespace

// --- CViewWidget -------------------------------------------------------------------------------

CViewWidget::CViewWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                         QWidget* parent)
    : CSceneWidget(parent), m_doc(doc), m_app(app), m_host(host) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setMinimumSize(200, 150);
}

const SceneMetrics& CViewWidget::Metrics() {
    // Measured once for each font the widget takes.
    if (!m_metrics || m_metricsFont != font()) {
        m_metricsFont = font();
        m_metrics = MeasureSceneFonts(m_metricsFont);
    }
    return *m_metrics;
}

void CViewWidget::changeEvent(QEvent* event) {
    CSceneWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        Invalidate(ViewLayer::All);
}

void CViewWidget::resizeEvent(QResizeEvent* event) {
    CSceneWidget::resizeEvent(event);
    Invalidate(ViewLayer::All);
}

QImage CViewWidget::Render(QSize size, qreal devicePixelRatio) {
    return Picture(size, devicePixelRatio, false);
}

bool CViewWidget::ExportPng(const QString& path, QSize size) {
    return Picture(size, 1.0, true).save(path, "PNG");
}

bool CViewWidget::ExportPdf(const QString& path) {
    QPdfWriter pdf(path);
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setResolution(96);
    QPainter p;
    if (!p.begin(&pdf)) return false;
    const QRect page = pdf.pageLayout().paintRectPixels(pdf.resolution());
    RenderTo(p, page.size(), true);
    return p.end();
}

void CViewWidget::Print(QPrinter& printer) {
    QPainter p;
    if (!p.begin(&printer)) return;
    // Laid out on a page of 96 dots an inch, scaled to the printer's.
    const double scale = printer.resolution() / 96.0;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    p.scale(scale, scale);
    RenderTo(p,
             QSize(static_cast<int>(page.width() / scale), static_cast<int>(page.height() / scale)),
             true);
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
      m_view(doc, host, *this, FrictionDefaults(app), VoltageCorrection(app)) {
    std::vector<CDatasetList> first;
    const std::vector<CDatasetList> all = AvailableEntries(doc);
    if (!all.empty()) first.push_back(all.front());
    m_view.SetSelection(first);
}

void CTractionCircleWidget::Prepare() {
    m_view.SetMetrics(Metrics());
}

void CTractionCircleWidget::SelectLaps() {
    std::vector<CDatasetList> current;
    for (const FrictionEntry& e : Circle().Entries()) current.push_back(e.list);
    CSessionSelectDialog model(m_host, "Traction Circle", AvailableEntries(m_doc), current, 0);
    CViewSessionDialog dialog(model, m_doc.m_lGreenTime, m_doc.m_lRedTime, this);
    if (dialog.exec() == QDialog::Accepted) m_view.SetSelection(model.Selected());
}

void CTractionCircleWidget::FillMenu(QMenu& menu) {
    FrictionSettings& s = Circle().Settings();
    Item(menu, QStringLiteral("Select Lap(s)"), [this] { SelectLaps(); });
    QMenu* colours = menu.addMenu(QStringLiteral("Select Session Colors"));
    const std::vector<std::string> items = Circle().ColourItems();
    auto chooseFor = [this](int i) {
        const FrictionEntry& e = Circle().Entries()[static_cast<std::size_t>(i)];
        bool ok = false;
        const QColor c = PickColour(
            QStringLiteral("Set Color for %1").arg(QString::fromStdString(e.list.m_strName)),
            e.colour, ok);
        if (!ok) return;
        m_view.SetColour(i, FromQColor(c));
    };
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        if (items[static_cast<std::size_t>(i)] == kMoreSessions) {
            // Every selected session by name, then the colour of the one chosen.
            Item(*colours, QString::fromUtf8(kMoreSessions), [this, chooseFor] {
                QStringList names;
                for (const FrictionEntry& e : Circle().Entries())
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
        a->setIcon(Swatch(Circle().Entries()[static_cast<std::size_t>(i)].colour));
    }
    menu.addSeparator();
    Toggle(menu, QStringLiteral("Display X Grid"), s.xGrid,
           [this, &s] { s.xGrid = !s.xGrid, m_view.SettingsChanged(); });
    Toggle(menu, QStringLiteral("Display Y Grid"), s.yGrid,
           [this, &s] { s.yGrid = !s.yGrid, m_view.SettingsChanged(); });
    Item(menu,
         s.drawCurve ? QStringLiteral("Display Data Points") : QStringLiteral("Display Curve"),
         [this, &s] { s.drawCurve = !s.drawCurve, m_view.SettingsChanged(); });
    Toggle(menu, QStringLiteral("Display L-R, F-R and Max G"), s.values,
           [this, &s] { s.values = !s.values, m_view.SettingsChanged(); });
    for (bool lr : {true, false}) {
        QMenu* sub = menu.addMenu(lr ? QStringLiteral("Left-Right Smoothing")
                                     : QStringLiteral("Front-Rear Smoothing"));
        int& word = lr ? s.lrSmoothing : s.frSmoothing;
        for (int i = 0; i < 4; ++i) {
            const int w = kSmoothingWords[i];
            Toggle(*sub, QString::fromUtf8(kSmoothingNames[i]), word == w, [this, &word, w] {
                word = w;
                m_view.SettingsChanged(true);
            });
        }
    }
    menu.addSeparator();
    QAction* bg = Item(menu, QStringLiteral("Background Color"), [this, &s] {
        bool ok = false;
        const QColor c =
            PickColour(QStringLiteral("Set Traction Circle Background Color"), s.background, ok);
        if (ok) s.background = FromQColor(c), m_view.SettingsChanged();
    });
    bg->setIcon(Swatch(s.background));
    QAction* ax = Item(menu, QStringLiteral("X - Y Axes Color"), [this, &s] {
        bool ok = false;
        const QColor c = PickColour(QStringLiteral("Set Traction Circle Axes Color"), s.axes, ok);
        if (ok) s.axes = FromQColor(c), m_view.SettingsChanged();
    });
    ax->setIcon(Swatch(s.axes));
}

// --- Histogram -------------------------------------------------------------------------------

CHistogramWidget::CHistogramWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                                   QWidget* parent)
    : CViewWidget(doc, app, host, parent), m_view(doc, *this, VoltageCorrection(app)) {}

void CHistogramWidget::Prepare() {
    m_view.SetMetrics(Metrics());
    HistogramLook look;
    look.background = FromQColor(palette().color(QPalette::Base));
    look.text = FromQColor(palette().color(QPalette::Text));
    look.grid = FromQColor(palette().color(QPalette::Mid));
    m_view.SetLook(look);
}

void CHistogramWidget::SelectSessions() {
    CSessionSelectDialog model(m_host, "Select Sessions for Histogram", AvailableEntries(m_doc),
                               Selection().sessions, static_cast<int>(Selection().channels.size()));
    CViewSessionDialog dialog(model, m_doc.m_lGreenTime, m_doc.m_lRedTime, this);
    if (dialog.exec() == QDialog::Accepted) SetSessions(model.Selected());
}

void CHistogramWidget::SelectChannels() {
    CChannelSelectDialog model(m_host, Selection().available, Selection().channels,
                               static_cast<int>(Selection().sessions.size()));
    CChannelDialog dialog(model, this);
    if (dialog.exec() != QDialog::Accepted) return;
    Selection().channels = model.Selected();
    Refresh();
}

void CHistogramWidget::FillMenu(QMenu& menu) {
    QMenu* selection = menu.addMenu(QStringLiteral("Data Selection"));
    Item(*selection, QStringLiteral("Data Set(s)"), [this] { SelectSessions(); });
    Item(*selection, QStringLiteral("Channel(s)"), [this] { SelectChannels(); });
    QMenu* g = menu.addMenu(QStringLiteral("Graph Settings"));
    HistogramFlags& f = Flags();
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
    : CViewWidget(doc, app, host, parent),
      m_view(doc, *this, LapReportDefaults(app), MapColours(app)) {
    const QFont base = font();
    m_view.SetTextWidth([base](const std::string& text) { return SceneTextWidth(base, text); });
}

void CLapReportWidget::Prepare() {
    m_view.SetMetrics(Metrics());
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

void CLapReportWidget::FillMenu(QMenu& menu) {
    LapReportOptions& o = Options();
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
