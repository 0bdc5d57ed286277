// Strip chart widget and marker list on a real window: pictures at known sizes checked at the
// pixels the layout rules give, keys and mouse forwarded to the navigation and the markers.
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QtTest>

#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "app/DemoDocument.h"
#include "app/DocumentSetup.h"
#include "app/ui/DocumentWindow.h"
#include "graph/ui/ChartWidget.h"
#include "graph/ui/MarkerListWidget.h"
#include "support/FakeHost.h"

using namespace orvex;

namespace {

QString ShotPath(const char* name) {
    return QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-%1.png").arg(QLatin1String(name));
}

// A window on a short generated session, shown offscreen at a fixed size.
struct Fixture {
    test::FakeHost host;
    CDataAcqApp app{"/nonexistent/ORVEX.INI"};
    std::unique_ptr<CDocumentWindow> window;

    explicit Fixture(QSize size = QSize(900, 500), double minutes = 2.0) {
        auto doc =
            std::make_unique<CBriodashDoc>(host, DefaultDocumentServices(), DocumentOptions{});
        GeneratorOptions o;
        o.minutes = minutes;
        FillDemoDocument(*doc, o);
        window = std::make_unique<CDocumentWindow>(std::move(doc), app, host);
        window->resize(size);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    CChartWidget& Chart() { return *window->Chart(); }
    QWidget* Viewport() { return Chart().viewport(); }
    QImage Picture(QSize size, bool onPaper = false) {
        QImage image(size, QImage::Format_RGB32);
        QPainter p(&image);
        Chart().PaintTo(p, size, onPaper);
        return image;
    }
};

QString HeaderText(CMarkerListWidget& list, int column) {
    return list.model()->headerData(column, Qt::Horizontal).toString();
}

int CountColumn(const QImage& img, int x, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) n += img.pixel(x, y) == colour ? 1 : 0;
    return n;
}

}  // namespace

class TestGraphWidget : public QObject {
    Q_OBJECT

  private slots:
    void pictureShowsAxesTicksAndTraces_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("640x400") << QSize(640, 400);
        QTest::newRow("1000x600") << QSize(1000, 600);
    }
    void pictureShowsAxesTicksAndTraces() {
        QFETCH(QSize, size);
        Fixture f;
        QImage img = f.Picture(size);
        img.save(ShotPath(QTest::currentDataTag()));
        const QRgb black = qRgb(0, 0, 0);
        const int bottom = size.height() - kBottomMargin;
        // The time axis: the left margin line from the top to the plot bottom, the bottom line
        // from the margin to the right border.
        QVERIFY(CountColumn(img, kLeftMargin, black) >= bottom * 8 / 10);
        int onBottom = 0;
        // (traces whose values lie below the axis run along it in their own colours)
        for (int x = kLeftMargin; x < size.width(); ++x)
            onBottom += img.pixel(x, bottom) != qRgb(255, 255, 255);
        QVERIFY(onBottom >= size.width() - kLeftMargin - 2);
        QCOMPARE(img.pixel(size.width() / 2, bottom + 1), qRgb(255, 255, 255));
        // A minor tick hangs below the plot at the start of the window (x start is 0).
        QCOMPARE(img.pixel(kLeftMargin, bottom + kTickLength - 1), black);
        // Traces: the plot holds many pixels that are neither background nor black.
        int coloured = 0;
        for (int y = 0; y < bottom; y += 3)
            for (int x = kLeftMargin + 1; x < size.width(); x += 3) {
                QRgb c = img.pixel(x, y);
                coloured += (c != qRgb(255, 255, 255) && c != black) ? 1 : 0;
            }
        QVERIFY2(coloured > 200, qPrintable(QString::number(coloured)));
    }

    void darkBackgroundAndDoubleResolution() {
        Fixture f;
        f.Chart().Options().background = MakeRGB(20, 20, 30);
        QImage img(QSize(1200, 800), QImage::Format_RGB32);
        img.setDevicePixelRatio(2.0);
        {
            QPainter p(&img);
            f.Chart().PaintTo(p, QSize(600, 400), false);
        }
        img.save(ShotPath("dark-dpr2"));
        QCOMPARE(img.pixel(kLeftMargin * 2 + 40, 10), qRgb(20, 20, 30));
        // The black axis line is lightened to stand out from the dark background.
        auto lightColumn = [&img](int x) {
            int n = 0;
            for (int y = 0; y < img.height(); ++y) n += qGray(img.pixel(x, y)) > 0x40 ? 1 : 0;
            return n;
        };
        QVERIFY(std::max(lightColumn(kLeftMargin * 2), lightColumn(kLeftMargin * 2 + 1)) >= 500);
    }

    void doubleClicksSetTheMarkersAndTheListShowsThem() {
        Fixture f;
        CBriodashDoc& doc = f.Chart().Document();
        CMarkerListWidget& list = *f.window->MarkerList();
        QCOMPARE(HeaderText(list, 0), QString("Channel Names"));
        // On the axis line nothing happens.
        QTest::mouseDClick(f.Viewport(), Qt::LeftButton, {}, QPoint(kLeftMargin, 100));
        QCOMPARE(doc.m_lGreenTime, kNotSet);

        const int x = kLeftMargin + 200;
        // The scale at the click: the list then widens for its value columns and the chart
        // narrows.
        const double perPixel = f.Chart().State().m_scale.xUnitsPerPixel;
        QTest::mouseDClick(f.Viewport(), Qt::LeftButton, {}, QPoint(x, 100));
        QVERIFY(doc.m_lGreenTime != kNotSet);
        QVERIFY(std::abs(doc.m_lGreenTime - 200 * perPixel) <= perPixel);
        QTest::mouseDClick(f.Viewport(), Qt::RightButton, {}, QPoint(x + 100, 100));
        QVERIFY(doc.m_lRedTime > doc.m_lGreenTime);

        QCOMPARE(HeaderText(list, 1), QString("Green Marker"));
        QCOMPARE(HeaderText(list, 2), QString("Red Marker"));
        QCOMPARE(HeaderText(list, 3), QString("Difference"));
        QCOMPARE(list.RowTexts(0).value(0), QString("Time"));
        QVERIFY(!list.RowTexts(0).value(1).isEmpty());
        QVERIFY(list.RowTexts(0).value(1) != QString("N/A"));

        // The marker lines are painted at their columns, combined with what is below them by
        // inverted exclusive-or on the light background: the marker's colour over the
        // background, and never the colour below (a switch line of the same colour included).
        QImage img = f.Chart().viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        img.save(ShotPath("markers"));
        const QImage below = f.Picture(f.Viewport()->size(), true);
        auto combined = [&](int column, QRgb marker) {
            int n = 0;
            for (int y = 0; y < img.height() - kBottomMargin; ++y)
                n += img.pixel(column, y) == (~(marker ^ below.pixel(column, y)) | 0xFF000000u);
            return n;
        };
        // The marker time is truncated to the sample clock, so its column may be one to the left.
        const int bottom = img.height() - kBottomMargin;
        QVERIFY(std::max(combined(x, qRgb(0, 200, 0)), combined(x - 1, qRgb(0, 200, 0))) >=
                bottom - 2);
        QVERIFY(std::max(combined(x + 100, qRgb(255, 0, 0)), combined(x + 99, qRgb(255, 0, 0))) >=
                bottom - 2);

        // Right arrow nudges the green marker one data point later.
        const int32_t before = doc.m_lGreenTime;
        f.Chart().setFocus();
        QTest::keyClick(&f.Chart(), Qt::Key_Right);
        QVERIFY(doc.m_lGreenTime > before);
        QVERIFY(doc.m_lGreenTime - before <= 200);  // 100 Hz: one sample
    }

    void aMarkerStepRepaintsOnlyWhereTheMarkerWasAndGoes() {
        Fixture f;
        CBriodashDoc& doc = f.Chart().Document();
        QWidget* viewport = f.Viewport();
        struct PaintRegions : QObject {
            QList<QRegion> regions;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint) regions << static_cast<QPaintEvent*>(e)->region();
                return false;
            }
        } seen;
        viewport->installEventFilter(&seen);
        const int x = kLeftMargin + 200;
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, QPoint(x, 100));
        QVERIFY(doc.m_lGreenTime != kNotSet);
        QTRY_VERIFY(!seen.regions.isEmpty());
        f.Chart().setFocus();
        for (int i = 0; i < 3; ++i) {
            seen.regions.clear();
            QTest::keyClick(&f.Chart(), Qt::Key_Right);
            QTRY_VERIFY(!seen.regions.isEmpty());
            const QRect painted = seen.regions.last().boundingRect();
            QVERIFY2(painted.width() <= 12, qPrintable(QString::number(painted.width())));
            QVERIFY(painted.left() <= x + 1 && painted.right() >= x - 1);
        }
        seen.regions.clear();
        QTest::keyClick(&f.Chart(), Qt::Key_F3);  // zoom in: everything is drawn again
        QTRY_VERIFY(!seen.regions.isEmpty());
        QCOMPARE(seen.regions.last().boundingRect(), viewport->rect());
        viewport->removeEventFilter(&seen);
    }

    void keysZoomScrollAndGoBack() {
        Fixture f;
        CGraphViewState& s = f.Chart().State();
        QCOMPARE(s.m_lXSpan, 600000);  // the first minute
        QTest::keyClick(&f.Chart(), Qt::Key_F3);
        QCOMPARE(s.m_lXSpan, 300000);
        QTest::keyClick(&f.Chart(), Qt::Key_F10);  // one line right
        QCOMPARE(s.m_lXStart, 30000);
        QTest::keyClick(&f.Chart(), Qt::Key_Tab, Qt::ShiftModifier);  // back
        QCOMPARE(s.m_lXStart, 150000 - 150000);
        QCOMPARE(s.m_lXSpan, 300000);
        QTest::keyClick(&f.Chart(), Qt::Key_R, Qt::AltModifier);  // reset
        QCOMPARE(s.m_lXSpan, 600000);
        QCOMPARE(f.Chart().horizontalScrollBar()->value(), 0);
        const int32_t rpmSpan = s.m_lRpmSpan;
        QTest::keyClick(&f.Chart(), Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(s.m_lRpmSpan, rpmSpan / 2);
    }

    void rubberBandZoomsIntoTheBox() {
        Fixture f;
        CGraphViewState& s = f.Chart().State();
        const double perPixel = s.m_scale.xUnitsPerPixel;
        QTest::mousePress(f.Viewport(), Qt::LeftButton, {}, QPoint(kLeftMargin + 100, 300));
        QTest::mouseMove(f.Viewport(), QPoint(kLeftMargin + 300, 100));
        QTest::mouseRelease(f.Viewport(), Qt::LeftButton, {}, QPoint(kLeftMargin + 300, 100));
        QVERIFY(std::abs(s.m_lXStart - 100 * perPixel) <= 2 * perPixel);
        QVERIFY(std::abs(s.m_lXSpan - 200 * perPixel) <= 2 * perPixel);
    }
};

QTEST_MAIN(TestGraphWidget)
#include "test_graph_widget.moc"
