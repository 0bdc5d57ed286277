// The track map's drawing painted through the program's one painting path into pictures: the
// track alone, ramped acceleration segments, numbered corners, both bands, markers with race
// circles and a dark background. Pixels are checked where the layout rules fix them.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QtTest>
#include <memory>

#include "TestPaths.h"
#include "demo/SessionGenerator.h"
#include "graph/ui/ChartPainter.h"
#include "host/NullHost.h"
#include "processing/SpeedDistance.h"
#include "trackmap/TrackMap.h"
#include "trackmap/TrackSamples.h"
#include "trackmap/TrackView.h"

namespace {

using namespace orvex;

constexpr int kWidth = 800, kHeight = 600;

QString ShotPath(const char* name) {
    return QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-trackmap-%1.png").arg(QLatin1String(name));
}

const CTrackMap& DemoMap() {
    static const CTrackMap map = [] {
        GeneratorOptions options;
        options.minutes = 7.0;
        options.rateHz = 50.0;
        std::unique_ptr<CBriodashDataset> ds = GenerateSession(options);
        CNullHost host;
        DeriveAfterLoad(*ds, kDistanceFrontWheel, Units::Imperial, host);
        CTrackMap m;
        std::optional<TrackLap> lap = FindTrackLap(*ds, 2);
        TrackMapOptions o;
        o.speedSource = kSpeedFrontWheel;
        if (lap) MakeTrackMap(*lap, o, Units::Imperial, m, host);
        return m;
    }();
    return map;
}

QImage Paint(const CTrackViewModel& view) {
    CGraphScene scene;
    view.BuildScene(scene);
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&img);
    PaintScene(p, scene);
    p.end();
    return img;
}

CTrackViewModel View() {
    CTrackViewModel view;
    view.SetClientSize(kWidth, kHeight);
    view.SetTextHeight(12);
    view.SetMap(&DemoMap());
    return view;
}

bool IsColor(const QImage& img, const GPoint& p, ColorRef c) {
    const QColor q =
        img.pixelColor(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
    return q == ToQColor(c);
}

class TestTrackMapPaint : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QVERIFY(DemoMap().GetCount() > 1000); }

    void layouts_data() {
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("ramp");
        QTest::addColumn<bool>("dark");
        QTest::newRow("track") << 0 << false << false;
        QTest::newRow("accel-ramped") << int(kDrawAccelSegments) << true << false;
        QTest::newRow("corners-numbered")
            << int(kDrawCornerSegments | kDrawCornerNumbers) << false << false;
        QTest::newRow("both-bands")
            << int(kDrawAccelSegments | kDrawCornerSegments) << false << false;
        QTest::newRow("dark") << int(kDrawCornerSegments | kDrawCornerNumbers) << false << true;
    }
    void layouts() {
        QFETCH(int, flags);
        QFETCH(bool, ramp);
        QFETCH(bool, dark);
        CTrackViewModel view = View();
        view.m_nDrawFlags = flags;
        view.m_bRamp = ramp;
        if (dark) {
            view.m_colors.background = MakeRGB(20, 20, 24);
            view.m_colors.track = MakeRGB(230, 230, 230);
        }
        const QImage img = Paint(view);
        QVERIFY(img.save(ShotPath(QTest::currentDataTag())));
        // Nothing of the track closer than the 25-pixel margin less half the track, and the
        // map reaches the margin on the side that limits it (the start/finish line and the
        // numbers may stand beyond it).
        const QColor bg = ToQColor(view.m_colors.background);
        const QColor startFinish = ToQColor(view.m_colors.startFinish);
        const bool numbers = (flags & kDrawCornerNumbers) != 0;
        int left = kWidth, right = 0, top = kHeight, bottom = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (img.pixelColor(x, y) != bg && img.pixelColor(x, y) != startFinish) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        const int slack = 2 * 6 + 2;  // band offset plus half a track width
        if (!numbers) {
            QVERIFY2(left >= kTrackMargin - slack && top >= kTrackMargin - slack &&
                         right <= kWidth - kTrackMargin + slack &&
                         bottom <= kHeight - kTrackMargin + slack,
                     qPrintable(
                         QStringLiteral("%1 %2 %3 %4").arg(left).arg(top).arg(right).arg(bottom)));
            const bool fillsWidth = std::abs(left - kTrackMargin) <= slack &&
                                    std::abs(right - (kWidth - kTrackMargin)) <= slack;
            const bool fillsHeight = std::abs(top - kTrackMargin) <= slack &&
                                     std::abs(bottom - (kHeight - kTrackMargin)) <= slack;
            QVERIFY(fillsWidth || fillsHeight);
        }
        // The start/finish line runs through the first point.
        const CTrackSample& first = DemoMap().m_samples.front();
        QVERIFY(IsColor(img, view.ToPixels(first.m_dX, first.m_dY), view.m_colors.startFinish));
    }

    void markersAndRaceCircles() {
        CTrackViewModel view = View();
        view.m_greenDistance = 3000.5;
        view.m_redDistance = 9000.0;
        view.m_raceCircles = {{5000.0, MakeRGB(255, 0, 255)}, {5400.0, MakeRGB(0, 160, 255)}};
        const QImage img = Paint(view);
        QVERIFY(img.save(ShotPath("markers")));
        double x = 0, y = 0;
        view.PointAtDistance(3000.5, x, y);
        const GPoint c = view.ToPixels(x, y);
        // The square's left and right sides stand one text height from the interpolated point.
        QVERIFY(IsColor(img, {c.x - 12.0f, c.y}, kTrackGreenMarker));
        QVERIFY(IsColor(img, {c.x + 12.0f, c.y}, kTrackGreenMarker));
        QVERIFY(!IsColor(img, {c.x - 6.0f, c.y - 9.0f}, kTrackGreenMarker));
        view.PointAtDistance(5000.0, x, y);
        const GPoint r = view.ToPixels(x, y);
        QVERIFY(IsColor(img, {r.x + 12.0f, r.y}, MakeRGB(255, 0, 255)));
    }
};

}  // namespace

QTEST_MAIN(TestTrackMapPaint)
#include "test_track_map_paint.moc"
