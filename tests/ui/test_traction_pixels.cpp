// The traction circle's screen picture against QPainter drawing every point of every trace:
// the pixels marked for a polyline are the ones QPainter sets, and the picture the view paints
// from its reduced traces equals the one of the whole traces pixel for pixel, with the curve
// and with points, at pixel ratios 1 and 2, on a light and a dark background, for an hour of
// laps and for a few samples. On paper every trace is drawn whole.
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QtTest>
#include <random>
#include <vector>

#include "TestPaths.h"
#include "app/DocumentSetup.h"
#include "demo/SessionGenerator.h"
#include "graph/TraceRaster.h"
#include "graph/ui/ChartPainter.h"
#include "host/NullHost.h"
#include "processing/SpeedDistance.h"
#include "views/AuxViews.h"
#include "views/ViewData.h"

using namespace orvex;

namespace {

QString ShotPath(const QString& name) {
    return QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-traction-%1.png").arg(name);
}

// QPainter's one-pixel polyline without antialiasing, flat caps, as the painting path sets
// its pen, through points in device-independent pixels.
QImage PainterPolyline(const std::vector<QPointF>& pts, QSize size, double dpr) {
    QImage img(size * dpr, QImage::Format_RGB32);
    img.setDevicePixelRatio(dpr);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Qt::black, 0.0);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawPolyline(pts.data(), static_cast<int>(pts.size()));
    return img;
}

QString Differences(const QImage& a, const QImage& b, int limit = 8) {
    QString out;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) && n++ < limit)
                out += QString(" %1,%2 (%3 vs %4)")
                           .arg(x)
                           .arg(y)
                           .arg(a.pixel(x, y), 8, 16)
                           .arg(b.pixel(x, y), 8, 16);
    if (n > limit) out += QString(" ... %1 in all").arg(n);
    return out;
}

// A view of one document holding `session`, its selection the whole session.
struct CircleView {
    struct NoCanvas : IViewCanvas {
        void Invalidate(ViewLayer) override {}
    } canvas;
    CNullHost host;
    CBriodashDoc doc{host, DefaultDocumentServices(), {}};
    std::unique_ptr<CFrictionView> view;

    explicit CircleView(std::unique_ptr<CBriodashDataset> session) {
        doc.m_datasets.push_back(std::move(session));
        view = std::make_unique<CFrictionView>(doc, host, canvas, FrictionSettings{}, 0.0f);
        view->SetMetrics(MeasureSceneFonts(QGuiApplication::font()));
        view->SetSelection({SessionEntry(*doc.m_datasets.front())});
    }
};

// The scene the view builds for the screen, painted as the widget paints it.
QImage Screen(CFrictionView& view, QSize size, double dpr) {
    QImage img(size * dpr, QImage::Format_RGB32);
    img.setDevicePixelRatio(dpr);
    QPainter p(&img);
    PaintScene(p, view.BuildScene(size.width(), size.height(), dpr, false));
    return img;
}

// The same picture with every step of every trace drawn by QPainter on whole pixels: the
// scene of the reduced traces with its traces replaced by the whole ones.
QImage WholeTraces(CFrictionView& view, QSize size, double dpr) {
    const CFrictionCircle& circle = view.Circle();
    const FrictionLayout l = circle.Layout(size.width(), size.height());
    TractionTraces whole;
    whole.curve = circle.Settings().drawCurve;
    for (std::size_t k = 0; k < circle.Entries().size(); ++k) {
        const FrictionEntry& e = circle.Entries()[k];
        if (!e.Plots()) continue;
        whole.runs.push_back({static_cast<int>(k), static_cast<uint32_t>(whole.points.size()),
                              static_cast<uint32_t>(e.lrPlot.size())});
        for (std::size_t i = 0; i < e.lrPlot.size(); ++i)
            whole.points.push_back({static_cast<float>(std::round(l.X(circle.PlotLr(e, i)))),
                                    static_cast<float>(std::round(l.Y(circle.PlotFr(e, i))))});
    }
    CGraphScene scene;
    BuildTractionScene(circle, whole, size.width(), size.height(), view.Metrics(), scene);
    QImage img(size * dpr, QImage::Format_RGB32);
    img.setDevicePixelRatio(dpr);
    QPainter p(&img);
    PaintScene(p, scene, {}, TracePath::Vector);
    return img;
}

}  // namespace

class TestTractionPixels : public QObject {
    Q_OBJECT

  private slots:
    void polylinesMarkThePixelsQPainterSets() {
        // Random walks of short and long steps in every direction, turning back, at 45
        // degrees, on whole pixels at whole pixel ratios.
        std::mt19937 rng(11);
        std::uniform_int_distribution<int> step(-9, 9), far(-60, 60), kind(0, 5);
        const QSize size(90, 70);
        for (double dpr : {1.0, 2.0, 3.0}) {
            for (int round = 0; round < 150; ++round) {
                std::vector<QPointF> pts;
                int x = 45, y = 35;
                pts.push_back(QPointF(x, y));
                for (int i = 0; i < 80; ++i) {
                    const int k = kind(rng);
                    int nx = x, ny = y;
                    if (k == 0) {
                        nx += far(rng) / 4;
                        ny += far(rng) / 4;
                    } else if (k == 1) {
                        const int d = step(rng);
                        nx += d;
                        ny += (round & 1) ? d : -d;  // 45 degrees
                    } else if (k == 2) {
                        ny = y - (ny - pts.size() % 7);  // turning back
                        nx += step(rng) / 3;
                    } else {
                        nx += step(rng);
                        ny += step(rng);
                    }
                    nx = std::clamp(nx, 2, size.width() - 3);
                    ny = std::clamp(ny, 2, size.height() - 3);
                    if (nx == x && ny == y) continue;
                    x = nx;
                    y = ny;
                    pts.push_back(QPointF(x, y));
                }
                const QImage painted = PainterPolyline(pts, size, dpr);
                CPixelMask mask;
                mask.Reset(painted.width(), painted.height());
                std::vector<int32_t> xy;
                for (const QPointF& p : pts) {
                    xy.push_back(static_cast<int32_t>(p.x() * dpr * 64.));
                    xy.push_back(static_cast<int32_t>(p.y() * dpr * 64.));
                }
                MarkPolyline(mask, xy.data(), pts.size());
                QImage marked(painted.size(), QImage::Format_RGB32);
                marked.fill(Qt::white);
                for (int py = 0; py < marked.height(); ++py)
                    for (int px = 0; px < marked.width(); ++px)
                        if (mask.Marked(px, py)) marked.setPixel(px, py, qRgb(0, 0, 0));
                QString diff = Differences(marked, painted);
                if (!diff.isEmpty())
                    for (std::size_t i = 0; i < std::min<std::size_t>(pts.size(), 6); ++i)
                        diff += QString(" [%1,%2]").arg(pts[i].x()).arg(pts[i].y());
                QVERIFY2(diff.isEmpty(),
                         qPrintable(QString("dpr %1 round %2:%3").arg(dpr).arg(round).arg(diff)));
                // Marked in two pieces, the second starting with the two segments before it,
                // the pixels are the same.
                if (pts.size() < 8) continue;
                const std::size_t k = 3 + static_cast<std::size_t>(round) % (pts.size() - 6);
                CPixelMask first, second;
                first.Reset(painted.width(), painted.height());
                second.Reset(painted.width(), painted.height());
                MarkPolyline(first, xy.data(), k + 1);
                MarkPolyline(second, xy.data() + 2 * (k - 2), pts.size() - (k - 2), 2);
                first.Merge(second);
                for (int py = 0; py < marked.height(); ++py)
                    for (int px = 0; px < marked.width(); ++px)
                        QVERIFY2(first.Marked(px, py) == mask.Marked(px, py),
                                 qPrintable(QString("dpr %1 round %2 split %3 at %4,%5")
                                                .arg(dpr)
                                                .arg(round)
                                                .arg(k)
                                                .arg(px)
                                                .arg(py)));
            }
        }
    }

    void screenPictureEqualsTheWholeTraces_data() {
        QTest::addColumn<double>("minutes");
        QTest::addColumn<bool>("curve");
        QTest::addColumn<double>("dpr");
        QTest::addColumn<bool>("dark");
        for (bool curve : {true, false}) {
            const char* look = curve ? "curve" : "points";
            QTest::newRow(qPrintable(QString("hour-%1").arg(look)))
                << 60.0 << curve << 1.0 << false;
            QTest::newRow(qPrintable(QString("hour-%1-dpr2-dark").arg(look)))
                << 60.0 << curve << 2.0 << true;
            QTest::newRow(qPrintable(QString("small-%1").arg(look)))
                << 0.3 << curve << 1.0 << false;
            QTest::newRow(qPrintable(QString("small-%1-dpr2").arg(look)))
                << 0.3 << curve << 2.0 << false;
            QTest::newRow(qPrintable(QString("small-%1-dark").arg(look)))
                << 0.3 << curve << 1.0 << true;
        }
    }

    void screenPictureEqualsTheWholeTraces() {
        QFETCH(double, minutes);
        QFETCH(bool, curve);
        QFETCH(double, dpr);
        QFETCH(bool, dark);
        GeneratorOptions options;
        options.minutes = minutes;
        options.rateHz = 100;
        CircleView c(GenerateSession(options));
        FrictionSettings& s = c.view->Circle().Settings();
        s.drawCurve = curve;
        s.xGrid = s.yGrid = !curve;
        if (dark) {
            s.background = MakeRGB(24, 24, 32);
            s.axes = MakeRGB(220, 220, 220);
        }
        // Both markers drawn, combined with the pixels below them.
        const FrictionEntry& e = c.view->Circle().Entries().at(0);
        QVERIFY(e.Plots());
        c.doc.m_lGreenTime = e.times[e.times.size() / 2];
        c.doc.m_lRedTime = e.times[e.times.size() / 3];
        c.view->OnUpdate(ViewUpdate{.hint = kHintGreenMoved});
        c.view->OnUpdate(ViewUpdate{.hint = kHintRedMoved});
        c.view->SettingsChanged();
        const QSize size = minutes > 10 ? QSize(1600, 900) : QSize(700, 500);
        const QImage screen = Screen(*c.view, size, dpr);
        const QImage whole = WholeTraces(*c.view, size, dpr);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        QVERIFY(screen.save(ShotPath(tag)));
        // Something of the traces is drawn, and far fewer points than the whole traces have.
        const TractionTraces& t = c.view->Traces();
        QVERIFY(t.Points() > 10);
        if (minutes > 10) QVERIFY(t.Points() * 2 < c.view->Circle().PointCount());
        const QString diff = Differences(screen, whole);
        if (!diff.isEmpty()) whole.save(ShotPath(tag + "-whole"));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    void paperDrawsEveryStepOfEveryTrace() {
        GeneratorOptions options;
        options.minutes = 2;
        options.rateHz = 100;
        CircleView c(GenerateSession(options));
        const CGraphScene& paper = c.view->BuildScene(900, 600, 1.0, true);
        QCOMPARE(CountOf(paper, PrimKind::Polyline), std::size_t{1});
        QCOMPARE(static_cast<std::size_t>(paper.polylines.at(0).count),
                 c.view->Circle().PointCount());
        // Recorded as a picture (no pixels to write into) the trace goes out as lines.
        QPicture picture;
        {
            QPainter p(&picture);
            PaintScene(p, paper);
        }
        QVERIFY(picture.size() > 100000);
    }
};

QTEST_MAIN(TestTractionPixels)
#include "test_traction_pixels.moc"
