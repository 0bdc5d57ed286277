// Auxiliary views: the traction circle, histogram and lap segment report rendered to PNG files
// with the pixels their layout fixes checked, their menus, and their frames' closing.
#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "graph/ui/ChartPainter.h"
#include "support/FakeHost.h"
#include "views/ViewData.h"
#include "views/ViewScenes.h"
#include "views/ui/GenericFrame.h"
#include "views/ui/ViewWidgets.h"

using namespace orvex;

namespace {

QString PngPath(const char* name) {
    return QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-view-%1.png").arg(QLatin1String(name));
}

QRgb Rgb(ColorRef c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// A colour drawn with inverted exclusive-or over the pixel `below`.
QRgb NotXor(ColorRef c, QRgb below) {
    return 0xFF000000u | (~(Rgb(c) ^ below) & 0x00FFFFFFu);
}

QStringList Texts(QMenu& menu) {
    QStringList out;
    for (QAction* a : menu.actions()) {
        if (a->isSeparator()) continue;
        out << a->text();
        if (a->menu())
            for (QAction* b : a->menu()->actions()) out << "  " + b->text();
    }
    return out;
}

QAction* Find(QMenu& menu, const QString& text) {
    for (QAction* a : menu.actions()) {
        if (a->text() == text) return a;
        if (a->menu())
            if (QAction* b = Find(*a->menu(), text)) return b;
    }
    return nullptr;
}

}  // namespace

class TestViews : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<CDataAcqApp> m_app;
    test::FakeHost m_host;
    std::unique_ptr<CMainWindow> m_window;

  private slots:
    void init() {
        m_app = std::make_unique<CDataAcqApp>(m_dir.filePath("ORVEX.INI").toStdString());
        m_host = test::FakeHost();
        m_window = std::make_unique<CMainWindow>(*m_app, m_host);
        QVERIFY(m_window->OpenDemo(5.0));
    }
    void cleanup() { m_window.reset(); }

    void tractionCircleDrawsTracesGridsMarkersAndValues() {
        auto* view =
            static_cast<CTractionCircleWidget*>(m_window->ShowView(ViewKind::TractionCircle));
        QVERIFY(view);
        CBriodashDoc& doc = view->Document();
        const FrictionEntry& entry = view->Circle().Entries().at(0);
        QVERIFY(entry.Plots());
        doc.m_lGreenTime = entry.times[entry.times.size() / 3];
        doc.m_lRedTime = entry.times[entry.times.size() / 2];
        doc.UpdateAllViews(kHintGreenMoved);
        doc.UpdateAllViews(kHintRedMoved);
        QVERIFY(view->Circle().Marker(true).drawn);
        QVERIFY(m_host.messages.empty());

        const QSize size(900, 700);
        for (bool curve : {true, false}) {
            view->Circle().Settings().drawCurve = curve;
            view->Circle().Settings().xGrid = view->Circle().Settings().yGrid = !curve;
            QImage image = view->Render(size);
            QVERIFY(image.save(PngPath(curve ? "traction-curve" : "traction-points-grids")));
            const CGraphScene& scene = view->LastScene();
            QCOMPARE(CountOf(scene, PrimKind::Polyline) > 0, curve);
            QCOMPARE(CountOf(scene, PrimKind::Ellipse) > 0, !curve);
            QVERIFY(TextsOf(scene).size() > 2);
            QVERIFY(QString::fromStdString(TextsOf(scene).back()).contains("Max G: "));
            // What lies below the overlay: the same scene without it.
            QImage below(size, QImage::Format_RGB32);
            {
                QPainter p(&below);
                PaintBase(p, scene);
            }

            const FrictionLayout l = view->Circle().Layout(size.width(), size.height());
            // Background outside the plot, the x axis line at its left end.
            QCOMPARE(image.pixel(3, 3), Rgb(view->Circle().Settings().background));
            QCOMPARE(
                image.pixel(static_cast<int>(l.left) + 1, static_cast<int>(std::lround(l.Y(0)))),
                Rgb(view->Circle().Settings().axes));
            // The green box around the green marker's point, combined with what is below it:
            // in its own colour on the background, and visible over the trace.
            const FrictionMarker& g = view->Circle().Marker(true);
            const auto gx = static_cast<int>(std::round(l.X(view->Circle().PlotLr(entry, g.step))));
            const auto gy = static_cast<int>(std::round(l.Y(view->Circle().PlotFr(entry, g.step))));
            for (const QPoint at :
                 {QPoint(gx - 4, gy), QPoint(gx + 4, gy), QPoint(gx, gy - 4), QPoint(gx, gy + 4)}) {
                QCOMPARE(image.pixel(at), NotXor(kGreenMarkerBox, below.pixel(at)));
                QVERIFY(image.pixel(at) != below.pixel(at));
            }
            QCOMPARE(image.pixel(gx, gy), below.pixel(gx, gy));  // inside the box: the trace
            if (!curve) {
                // A grid line a tenth of a G inside the left end, over the plot's full height.
                const int x = static_cast<int>(
                    std::lround(l.X(l.xLo + view->Circle().PlotUnitsPerG() / 10.0)));
                QCOMPARE(image.pixel(x, static_cast<int>(l.bottom) - 1),
                         Rgb(view->Circle().Settings().axes));
            }
            // At a pixel ratio of 2 the same picture at twice the pixels: the box's side two
            // device pixels wide.
            const QImage sharp = view->Render(size, 2.0);
            QCOMPARE(sharp.size(), size * 2);
            QImage sharpBelow(size * 2, QImage::Format_RGB32);
            sharpBelow.setDevicePixelRatio(2.0);
            {
                QPainter p(&sharpBelow);
                PaintBase(p, view->LastScene());
            }
            for (const QPoint at : {QPoint(2 * (gx - 4), 2 * gy), QPoint(2 * (gx - 4) + 1, 2 * gy)})
                QCOMPARE(sharp.pixel(at), NotXor(kGreenMarkerBox, sharpBelow.pixel(at)));
            if (curve) QVERIFY(sharp.save(PngPath("traction-curve-dpr2")));
        }
    }

    void tractionCircleMenuAlternatesItsTexts() {
        auto* view =
            static_cast<CTractionCircleWidget*>(m_window->ShowView(ViewKind::TractionCircle));
        QMenu menu;
        view->FillMenu(menu);
        const QStringList texts = Texts(menu);
        for (const char* t :
             {"Select Lap(s)", "Select Session Colors", "Display X Grid", "Display Y Grid",
              "Display Data Points", "Display L-R, F-R and Max G", "Left-Right Smoothing",
              "Front-Rear Smoothing", "  Heavy", "Background Color", "X - Y Axes Color"})
            QVERIFY2(texts.contains(QString::fromUtf8(t)), t);
        Find(menu, "Display Data Points")->trigger();
        QMenu again;
        view->FillMenu(again);
        QVERIFY(Find(again, "Display Curve"));
        QVERIFY(Find(*Find(again, "Left-Right Smoothing")->menu(), "None")->isChecked());
    }

    void histogramRendersBarsInEveryLook() {
        QVERIFY(m_window->ShowViewByName("histogram"));
        auto* view =
            qobject_cast<CHistogramWidget*>(m_window->MdiArea()->activeSubWindow()->widget());
        QVERIFY(view);
        QVERIFY(!view->Selection().channels.empty());
        struct Look {
            const char* name;
            bool vertical, bars3D, time, dark;
        };
        const Look looks[] = {{"histogram-2d-vertical-time", true, false, true, false},
                              {"histogram-3d-vertical-percent", true, true, false, false},
                              {"histogram-2d-horizontal-percent", false, false, false, false},
                              {"histogram-3d-horizontal-time-dark", false, true, true, true}};
        for (const Look& look : looks) {
            HistogramFlags& f = view->Flags();
            f.verticalBars = look.vertical;
            f.bars3D = look.bars3D;
            f.timeScale = look.time;
            f.vertGrid = true;
            QPalette palette = view->palette();
            palette.setColor(QPalette::Base, look.dark ? QColor(32, 32, 36) : Qt::white);
            palette.setColor(QPalette::Text, look.dark ? QColor(230, 230, 230) : Qt::black);
            view->setPalette(palette);
            view->Refresh();
            QImage image = view->Render(QSize(1000, 600));
            QVERIFY(image.save(PngPath(look.name)));
            QCOMPARE(image.pixel(2, 2), palette.color(QPalette::Base).rgb());
            QCOMPARE(QString::fromStdString(view->Chart().valueAxis).startsWith("%"), !look.time);
            // The longest bar's face in its row's colour; it reaches the axis maximum scaled.
            const HistogramGeometry& g = view->Geometry();
            const HistogramGeometry::Bar* longest = nullptr;
            for (const auto& b : g.bars)
                if (!longest || (look.vertical ? b.h > longest->h : b.w > longest->w)) longest = &b;
            QVERIFY(longest);
            const QPoint centre(static_cast<int>(longest->x + longest->w / 2),
                                static_cast<int>(longest->y + longest->h / 2));
            QCOMPARE(image.pixel(centre), Rgb(HistogramBarColour(longest->row)));
            const double value = view->Chart()
                                     .rows[static_cast<std::size_t>(longest->row)]
                                     .values[static_cast<std::size_t>(longest->band)];
            const float span = look.vertical ? g.bottom - (g.top + (look.bars3D ? 10 : 0))
                                             : g.right - (look.bars3D ? 10 : 0) - g.left;
            QVERIFY(std::abs((look.vertical ? longest->h : longest->w) -
                             span * value / view->Chart().axisMax) < 0.5);
            QCOMPARE(CountOf(view->LastScene(), PrimKind::Polygon) > 0, look.bars3D);
        }
    }

    void histogramMenuItemsFollowTheFlags() {
        QVERIFY(m_window->ShowViewByName("histogram"));
        auto* view =
            qobject_cast<CHistogramWidget*>(m_window->MdiArea()->activeSubWindow()->widget());
        QMenu menu;
        view->FillMenu(menu);
        QCOMPARE(Texts(menu).join('|'),
                 QString("Data Selection|  Data Set(s)|  Channel(s)|Graph Settings|  Legend|  Horz "
                         "Grid|  Vert Grid|  Vertical Bars|  2D Bar Graph|  Time Scale|  Use "
                         "Range Time"));
        Find(menu, "Vertical Bars")->trigger();
        Find(menu, "Time Scale")->trigger();
        QMenu again;
        view->FillMenu(again);
        QVERIFY(Find(again, "Horizontal Bars"));
        QVERIFY(Find(again, "% of Total Scale"));
        QCOMPARE(view->Chart().valueAxis, std::string("% of Range Time"));
    }

    void lapReportShowsSpeedsBestsAndColourKeys() {
        QVERIFY(m_window->OpenDemo(5.5));  // two laps and a bit
        auto* view = static_cast<CLapReportWidget*>(m_window->ShowView(ViewKind::LapReport));
        QVERIFY(view);
        CBriodashDataset* session = view->Document().ShownDatasets().at(0);
        int32_t start = 0, end = 0;
        QVERIFY(LapBounds(*session, 2, start, end));
        // Four segments of the second lap's length.
        MapSegments map;
        map.lapLength = session->m_lLapDistance > 0 ? session->m_lLapDistance / 10.0 : 10000.0;
        map.ends = {map.lapLength * 0.2, map.lapLength * 0.5, map.lapLength * 0.7, map.lapLength};
        map.kinds = {kRightTurn, kStraight, kLeftTurn, kStraight};
        map.markedSegment = 3;
        LapReportOptions& o = view->Options();
        o.displaySpeeds = o.highliteBest = o.colorSegs = o.calculateBest = true;
        view->SetMap(session, map);
        QVERIFY(view->Table().rows.size() >= 3);
        QCOMPARE(view->Table().rows.back().lap, std::string(kBestLapRow));
        QImage image = view->Render(QSize(1100, 400));
        QVERIFY(image.save(PngPath("lap-report")));
        int bests = 0;
        for (const GRect& r : view->LastScene().rects) {
            const QPoint corner(static_cast<int>(r.x) + 2, static_cast<int>(r.y) + 2);
            QCOMPARE(image.pixel(corner), Rgb(r.fill));
            bests += r.fill == kBestGrey ? 1 : 0;
        }
        QVERIFY(bests >= 5);  // lap time and at least one cell of every segment
    }

    void lapReportReadsTheSecondLapsTrackMap() {
        QVERIFY(m_window->OpenDemo(5.5));
        auto* view = static_cast<CLapReportWidget*>(m_window->ShowView(ViewKind::LapReport));
        QVERIFY(view);
        LapReportOptions& o = view->Options();
        o.displaySpeeds = o.highliteBest = o.colorSegs = o.calculateBest = true;
        QVERIFY(view->SetMapLap(1, 2));
        QVERIFY(!view->SetMapLap(1, 9));  // no such lap: the report stays
        const LapReportTable& t = view->Table();
        int segments = 0, corners = 0;
        for (const LapReportColumn& c : t.columns) {
            segments += c.header.rfind("Segment #", 0) == 0 ? 1 : 0;
            corners += c.header.find("\nMin Speed") != std::string::npos ? 1 : 0;
        }
        QVERIFY(segments >= 4);
        QVERIFY(corners >= 2);
        QVERIFY(t.rows.size() >= 3);
        QCOMPARE(t.rows.back().lap, std::string(kBestLapRow));
        // The corner cells are keyed to the map's turn colours.
        int keyed = 0;
        for (const LapReportRow& row : t.rows)
            for (const LapReportCell& c : row.cells)
                keyed += c.background == m_app->GetColor(AppColor::TrackmapRightSeg) ||
                                 c.background == m_app->GetColor(AppColor::TrackmapLeftSeg)
                             ? 1
                             : 0;
        QVERIFY(keyed >= corners);
        QImage image = view->Render(QSize(1600, 300));
        QVERIFY(image.save(PngPath("lap-report-map")));
        for (const GRect& r : view->LastScene().rects) {
            if (r.x + 3 >= image.width()) continue;
            const QPoint corner(static_cast<int>(r.x) + 2, static_cast<int>(r.y) + 2);
            QCOMPARE(image.pixel(corner), Rgb(r.fill));
        }
    }

    void everyViewExportsPngAndPdf() {
        for (ViewKind kind : {ViewKind::TractionCircle, ViewKind::Histogram, ViewKind::LapReport}) {
            auto* view = static_cast<CViewWidget*>(m_window->ShowView(kind));
            QVERIFY(view);
            const QString png = m_dir.filePath(QStringLiteral("view-%1.png").arg(int(kind)));
            const QString pdf = m_dir.filePath(QStringLiteral("view-%1.pdf").arg(int(kind)));
            QVERIFY(view->ExportPng(png, QSize(640, 480)));
            QCOMPARE(QImage(png).size(), QSize(640, 480));
            QVERIFY(view->ExportPdf(pdf));
            QFile f(pdf);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY(f.read(5) == "%PDF-");
            QVERIFY(!view->LastScene().base.empty() || kind == ViewKind::LapReport);
        }
    }

    void closingAViewHidesItAndBringsTheGraphForward() {
        CDocumentWindow* graph = m_window->ActiveDocument();
        QMdiSubWindow* graphFrame = m_window->MdiArea()->activeSubWindow();
        QVERIFY(m_window->ShowView(ViewKind::TractionCircle));
        auto* frame = qobject_cast<CGenericFrame*>(m_window->MdiArea()->activeSubWindow());
        QVERIFY(frame);
        QCOMPARE(frame->windowTitle(), QString("Demo Session - Traction Circle"));
        QCOMPARE(m_window->ActiveDocument(), graph);
        QCOMPARE(m_window->ViewPicker()->itemText(1), QString("Traction Circle"));
        QCOMPARE(m_window->ViewMenus().size(), 1);
        QCOMPARE(m_window->ViewMenus().at(0)->title(), QString("Change &Circle"));
        // Right after the graph menu.
        const QList<QAction*> bar = m_window->menuBar()->actions();
        QCOMPARE(bar.indexOf(m_window->ViewMenus().at(0)->menuAction()),
                 bar.indexOf(m_window->GraphMenu()->menuAction()) + 1);

        QVERIFY(!frame->isHidden());
        frame->close();
        QVERIFY(frame->isHidden());
        QCOMPARE(m_window->MdiArea()->activeSubWindow(), graphFrame);
        QVERIFY(m_window->MdiArea()->subWindowList().contains(frame));  // hidden, not destroyed
        QCOMPARE(m_window->ViewPicker()->count(), 1);
        QVERIFY(m_window->ViewMenus().isEmpty());
        // Shown again with its selection kept.
        QCOMPARE(m_window->ShowView(ViewKind::TractionCircle),
                 static_cast<QWidget*>(frame->View()));
    }
};

QTEST_MAIN(TestViews)
#include "test_views.moc"
