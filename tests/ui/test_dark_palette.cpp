// Colours on dark backgrounds: black axis lines and labels of a dark chart and dark trace
// colours of the channel list on a dark palette are lightened in their own hue; light
// backgrounds keep every colour.
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "app/DataAcqApp.h"
#include "app/DemoDocument.h"
#include "app/ui/DocumentWindow.h"
#include "graph/ui/ChartPainter.h"
#include "graph/ui/ChartWidget.h"
#include "graph/ui/MarkerListWidget.h"
#include "support/FakeHost.h"

using namespace orvex;

class TestDarkPalette : public QObject {
    Q_OBJECT

  private slots:
    void readableOnKeepsHueAndReachesContrast_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<bool>("changed");
        QTest::newRow("black on dark grey") << QColor(0, 0, 0) << QColor(32, 32, 32) << true;
        QTest::newRow("dark red on black") << QColor(128, 0, 0) << QColor(0, 0, 0) << true;
        QTest::newRow("navy on dark base") << QColor(0, 0, 128) << QColor(30, 30, 32) << true;
        QTest::newRow("yellow on black") << QColor(255, 255, 0) << QColor(0, 0, 0) << false;
        QTest::newRow("black on white") << QColor(0, 0, 0) << QColor(255, 255, 255) << false;
        QTest::newRow("yellow on white") << QColor(255, 255, 0) << QColor(255, 255, 255) << false;
    }
    void readableOnKeepsHueAndReachesContrast() {
        QFETCH(QColor, colour);
        QFETCH(QColor, background);
        QFETCH(bool, changed);
        const QColor out = ReadableOn(colour, background, 4.5);
        QCOMPARE(out != colour, changed);
        if (!changed) return;
        QVERIFY(out.lightness() > colour.lightness());
        if (colour.hslSaturation() > 0) QCOMPARE(out.hslHue(), colour.hslHue());
        // Lighter than the background by a clear margin.
        QVERIFY(out.lightness() >= background.lightness() + 100);
    }

    void darkChartShowsAxisAndLabelsLight() {
        test::FakeHost host;
        CDataAcqApp app{"/nonexistent/ORVEX.INI"};
        app.SetColor(AppColor::GraphBackground, 0x202020);
        auto doc = std::make_unique<CBriodashDoc>(host, DocumentOptions{});
        GeneratorOptions o;
        o.minutes = 1.0;
        FillDemoDocument(*doc, o);
        CDocumentWindow window(std::move(doc), app, host);
        window.resize(900, 500);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QSize size(800, 400);
        QImage img(size, QImage::Format_RGB32);
        {
            QPainter p(&img);
            window.Chart()->PaintTo(p, size, false);
        }
        // The left axis line (black in the settings) is drawn lighter than the background, and
        // no pixel below the plot (the time labels) is black.
        int axis = 0;
        for (int y = 0; y < size.height() - kBottomMargin; ++y)
            axis += qGray(img.pixel(kLeftMargin, y)) > 0x40 ? 1 : 0;
        QVERIFY(axis >= (size.height() - kBottomMargin) * 8 / 10);
        int labelPixels = 0;
        for (int y = size.height() - kBottomMargin + 2; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                QVERIFY(img.pixel(x, y) != qRgb(0, 0, 0));
                labelPixels += qGray(img.pixel(x, y)) > 0x80 ? 1 : 0;
            }
        QVERIFY(labelPixels > 20);
    }

    void channelListRecoloursOnPaletteChange() {
        test::FakeHost host;
        CBriodashDoc doc(host, DocumentOptions{});
        GeneratorOptions o;
        o.minutes = 0.5;
        FillDemoDocument(doc, o);
        CMarkerListWidget list(doc, host);
        QPalette light = list.palette();
        light.setColor(QPalette::Base, Qt::white);
        list.setPalette(light);
        QPalette dark = light;
        dark.setColor(QPalette::Base, QColor(30, 30, 32));
        list.setPalette(dark);
        int coloured = 0;
        const QAbstractItemModel& rows = *list.model();
        for (int i = 0; i < rows.rowCount(); ++i) {
            const QVariant fg = rows.index(i, 0).data(Qt::ForegroundRole);
            if (!fg.isValid()) continue;
            ++coloured;
            QVERIFY2(
                fg.value<QColor>().value() >= 150,
                qPrintable(rows.index(i, 0).data().toString() + " " + fg.value<QColor>().name()));
        }
        QVERIFY(coloured > 3);
    }
};

QTEST_MAIN(TestDarkPalette)
#include "test_dark_palette.moc"
