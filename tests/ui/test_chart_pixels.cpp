// The strip chart's direct trace writing against the same scene drawn with QPainter lines, for
// a table of windows, data shapes, palettes and pixel ratios: the pictures may differ only
// where a slanted step between two columns is rasterised a pixel apart, never in a trace that is
// missing, moved or scaled, and never outside the plot. Printing (no image to write into) draws
// every trace as lines.
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QtTest>
#include <memory>

#include "TestPaths.h"
#include "app/DemoDocument.h"
#include "graph/GraphNav.h"
#include "graph/test_graph_fixture.h"
#include "graph/ui/ChartPainter.h"

using namespace orvex;

namespace {

QString ShotPath(const QString& name) {
    return QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-pixels-%1.png").arg(name);
}

// A chart of one document: the view state and layout the widget keeps.
struct Chart {
    test::GraphDoc d;
    CGraphViewState state;
    GraphOptions options;
    CGraphLayout layout;
    std::unique_ptr<CGraphNavigator> nav;

    void Show(int w, int h) {
        nav = std::make_unique<CGraphNavigator>(d.doc, state, d.host);
        nav->m_pOptions = &options;
        nav->InitialUpdate(w, h);
        nav->ResetDisplay();
    }
    void SetWindow(int32_t start, int32_t span, int w, int h) {
        state.m_lXStart = start;
        state.m_lXSpan = span;
        state.RecomputeScaleFactors(d.doc, w, h);
    }
    // The chart's picture; without its labels, which both paths paint with QPainter and whose
    // antialiased edges blend with whatever trace pixel lies below.
    QImage Paint(int w, int h, double dpr, TracePath path, bool labels = true) {
        CGraphScene scene = layout.Build(d.doc, state, options, w, h, dpr);
        if (!labels)
            std::erase_if(scene.base, [](const GPrim& p) { return p.kind == PrimKind::Text; });
        QImage img(qRound(w * dpr), qRound(h * dpr), QImage::Format_RGB32);
        img.setDevicePixelRatio(dpr);
        QPainter p(&img);
        PaintScene(p, scene, {}, path);
        return img;
    }
};

// The demo session: RPM, speed, analog channels of several scale kinds, switches.
void FillDemo(Chart& c) {
    GeneratorOptions o;
    o.minutes = 2.0;
    FillDemoDocument(c.d.doc, o);
}

// Sparse, unevenly spaced samples with a gap: an engine every 0.2 s, an unframed analog whose
// spacing grows, and a switch.
void FillSparse(Chart& c) {
    CBriodashDataset& ds = c.d.Add("Sparse");
    test::GraphDoc::FillEngine(ds, 60, 2000, [](int i) { return 3000 + (i % 7) * 900; });
    test::GraphDoc::FillAnalog(ds, 1, 134, 0.0f, 5.0f, 100, 60, 1500,
                               [](int i) { return (i * 97) % 1024; });
    CSampleList& uneven = ds.m_analog[0];
    uneven.m_bFramed = false;
    for (std::size_t i = 0; i < uneven.m_samples.size(); ++i) {
        const auto k = static_cast<int32_t>(i);
        uneven.m_samples[i].m_lTime = k * 900 + k * k * 20 + (k > 30 ? 20000 : 0);  // a gap
        uneven.m_samples[i].m_lDistance = uneven.m_samples[i].m_lTime / 10;
    }
}

// Whether colour `c` is at most two pixels from (x, y) in `img`. (At full zoom-out some thirty
// traces cross in every column; where a join is rasterised a pixel apart a third trace may
// show through, so there only the pixel counts of each colour are compared.)
bool Near(const QImage& img, int x, int y, QRgb c) {
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const int px = x + dx, py = y + dy;
            if (px >= 0 && py >= 0 && px < img.width() && py < img.height() &&
                img.pixel(px, py) == c)
                return true;
        }
    return false;
}

}  // namespace

class TestChartPixels : public QObject {
    Q_OBJECT

  private slots:
    void singleSegmentsMatchQPainter_data() {
        QTest::addColumn<QVector<QPointF>>("points");
        QTest::addColumn<double>("dpr");
        auto add = [](const char* name, QVector<QPointF> pts, double dpr = 1.0) {
            QTest::newRow(name) << pts << dpr;
        };
        add("down at 10.0", {{10.0, 2.0}, {10.0, 9.0}});
        add("down at 10.25", {{10.25, 2.0}, {10.25, 9.0}});
        add("down at 10.5", {{10.5, 2.0}, {10.5, 9.0}});
        add("down at 10.75", {{10.75, 2.25}, {10.75, 9.75}});
        add("up at 10.5", {{10.5, 9.5}, {10.5, 2.5}});
        add("flat", {{3.0, 5.0}, {15.0, 5.0}});
        add("flat at .5", {{3.5, 5.5}, {15.5, 5.5}});
        add("dpr2 down", {{10.25, 2.0}, {10.25, 9.0}}, 2.0);
    }
    void singleSegmentsMatchQPainter() {
        QFETCH(QVector<QPointF>, points);
        QFETCH(double, dpr);
        CGraphScene s;
        s.width = 20;
        s.height = 16;
        s.background = MakeRGB(255, 255, 255);
        s.hasDrawing = true;
        s.BeginPolyline(MakeRGB(0, 0, 0));
        for (const QPointF& p : points)
            s.AddPoint(static_cast<float>(p.x()), static_cast<float>(p.y()));
        s.EndPolyline();
        auto paint = [&](TracePath path) {
            QImage img(qRound(20 * dpr), qRound(16 * dpr), QImage::Format_RGB32);
            img.setDevicePixelRatio(dpr);
            QPainter p(&img);
            PaintScene(p, s, {}, path);
            return img;
        };
        const QImage a = paint(TracePath::Direct), b = paint(TracePath::Vector);
        QString da, db;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                if (a.pixel(x, y) != qRgb(255, 255, 255)) da += QString(" %1,%2").arg(x).arg(y);
                if (b.pixel(x, y) != qRgb(255, 255, 255)) db += QString(" %1,%2").arg(x).arg(y);
            }
        QCOMPARE(da, db);
    }

    void directTracesMatchLines_data() {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<double>("dpr");
        for (const char* w : {"full", "1pct", "1s", "between", "single"})
            QTest::newRow(qPrintable(QString("demo-%1").arg(w)))
                << QString("demo") << QString(w) << false << 1.0;
        for (const char* w : {"full", "1s", "between", "single"})
            QTest::newRow(qPrintable(QString("sparse-%1").arg(w)))
                << QString("sparse") << QString(w) << false << 1.0;
        QTest::newRow("demo-1pct-dark") << QString("demo") << QString("1pct") << true << 1.0;
        QTest::newRow("demo-full-dpr2") << QString("demo") << QString("full") << false << 2.0;
        QTest::newRow("sparse-1s-dark-dpr2") << QString("sparse") << QString("1s") << true << 2.0;
    }

    void directTracesMatchLines() {
        QFETCH(QString, data);
        QFETCH(QString, window);
        QFETCH(bool, dark);
        QFETCH(double, dpr);
        constexpr int W = 800, H = 450;
        Chart c;
        if (data == "demo")
            FillDemo(c);
        else
            FillSparse(c);
        if (dark) c.options.background = MakeRGB(20, 20, 30);
        for (auto& ds : c.d.doc.m_datasets) {
            for (auto& s : ds->m_rpm)
                if (s.Size()) s.m_nOn = 1;
            for (auto& s : ds->m_analog)
                if (s.Size()) s.m_nOn = 1;
        }
        c.Show(W, H);
        const int32_t end = c.state.m_lXMax;
        if (window == "1pct") c.SetWindow(end / 2, std::max(end / 100, kMinTimeSpan), W, H);
        if (window == "1s") c.SetWindow(end / 3, 10000, W, H);
        if (window == "between") c.SetWindow(end / 3 + 1037, 10000, W, H);  // not on a sample
        if (window == "single") c.SetWindow(3 * 2000 + 500, kMinTimeSpan, W, H);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        c.Paint(W, H, dpr, TracePath::Direct).save(ShotPath(tag + "-direct"));
        const QImage direct = c.Paint(W, H, dpr, TracePath::Direct, false);
        const QImage lines = c.Paint(W, H, dpr, TracePath::Vector, false);
        const QRgb background = ToQColor(c.options.background).rgb();
        const int plotLeft = qRound(kLeftMargin * dpr);
        const int plotBottom = qRound((H - kBottomMargin) * dpr);
        int differing = 0, traced = 0;
        QString fault;
        QImage diff(direct.size(), QImage::Format_RGB32);
        diff.fill(Qt::white);
        for (int y = 0; y < direct.height(); ++y)
            for (int x = 0; x < direct.width(); ++x) {
                const QRgb a = direct.pixel(x, y), b = lines.pixel(x, y);
                traced += b != background ? 1 : 0;
                if (a == b) continue;
                ++differing;
                diff.setPixel(x, y, qRgb(255, 0, 0));
                if (!fault.isEmpty()) continue;
                // Differences lie inside the plot (traces), never on ticks or scales, and one
                // picture's colour is found within two pixels in the other (a slanted step
                // rasterised a pixel apart, or two traces crossing in another order of pixels).
                if (x < plotLeft - 1 || y > plotBottom + 1)
                    fault = QString("outside the plot at %1,%2").arg(x).arg(y);
                else if (window != "full" && !Near(lines, x, y, a) && !Near(direct, x, y, b))
                    fault = QString("%1,%2: %3 vs %4").arg(x).arg(y).arg(a, 8, 16).arg(b, 8, 16);
            }
        diff.save(ShotPath(tag + "-diff"));
        qInfo("%s: %d of %d drawn pixels differ", qPrintable(tag), differing, traced);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QVERIFY(traced > 1000);
        QVERIFY2(differing * 100 <= traced * (window == "full" ? 10 : 3),
                 qPrintable(QString("%1 of %2").arg(differing).arg(traced)));
        // No trace is missing, cut short or drawn twice: every colour covers about as many
        // pixels in both pictures.
        QHash<QRgb, int> inDirect, inLines;
        for (int y = 0; y < direct.height(); ++y)
            for (int x = 0; x < direct.width(); ++x) {
                ++inDirect[direct.pixel(x, y)];
                ++inLines[lines.pixel(x, y)];
            }
        for (auto it = inLines.cbegin(); it != inLines.cend(); ++it) {
            if (it.value() < 50) continue;
            const int other = inDirect.value(it.key());
            QVERIFY2(std::abs(other - it.value()) <= it.value() / 6 + 20,
                     qPrintable(QString("%1: %2 vs %3 pixels")
                                    .arg(it.key(), 8, 16)
                                    .arg(other)
                                    .arg(it.value())));
        }
    }

    void printingDrawsEveryTraceAsLines() {
        // A picture recorder has no pixels to write into: the scene goes out as lines, and
        // played back it gives the lines' picture.
        constexpr int W = 800, H = 450;
        Chart c;
        FillDemo(c);
        c.Show(W, H);
        const QImage lines = c.Paint(W, H, 1.0, TracePath::Vector);
        QPicture picture;
        {
            QPainter p(&picture);
            PaintScene(p, c.layout.Build(c.d.doc, c.state, c.options, W, H, 1.0));
        }
        QImage played(W, H, QImage::Format_RGB32);
        {
            QPainter p(&played);
            p.drawPicture(0, 0, picture);
        }
        int same = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) same += played.pixel(x, y) == lines.pixel(x, y) ? 1 : 0;
        QVERIFY2(same >= W * H * 99 / 100, qPrintable(QString::number(same)));
    }
};

QTEST_MAIN(TestChartPixels)
#include "test_chart_pixels.moc"
