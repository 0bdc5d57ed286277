// The shared scene painted by the one painting path (bars, ellipses, polygons, lines that
// combine with what is below) and the core table model shown through the Qt adapter, checked by
// Qt's own model tester while the marker list changes under it.
#include <QAbstractItemModelTester>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "TestPaths.h"
#include "app/DemoDocument.h"
#include "app/DocumentSetup.h"
#include "graph/ui/ChartPainter.h"
#include "graph/ui/MarkerListWidget.h"
#include "support/FakeHost.h"

using namespace orvex;

namespace {

QString ShotPath(const char* name) {
    return QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-%1.png").arg(QLatin1String(name));
}

QImage Paint(const CGraphScene& scene) {
    QImage image(scene.width, scene.height, QImage::Format_RGB32);
    QPainter p(&image);
    PaintScene(p, scene);
    return image;
}

}  // namespace

class TestSceneTable : public QObject {
    Q_OBJECT

  private slots:
    void sceneShapesPaintWhereTheyAre() {
        CGraphScene s;
        s.width = 200;
        s.height = 120;
        s.background = MakeRGB(255, 255, 255);
        s.hasDrawing = true;
        s.AddBar(10, 10, 30, 60, MakeRGB(0, 0, 255), MakeRGB(0, 0, 0));
        s.AddEllipse(80, 40, 20, 15, MakeRGB(0, 0, 0), MakeRGB(255, 200, 0));
        s.AddEllipse(80, 95, 10, 10, MakeRGB(255, 0, 0));  // outline only
        s.AddPolygon({{120, 10}, {190, 10}, {155, 70}}, MakeRGB(0, 0, 0), MakeRGB(0, 160, 0));
        s.AddPolygon({{1, 1}, {2, 2}}, MakeRGB(255, 0, 0));  // too few corners: nothing
        const QImage img = Paint(s);
        img.save(ShotPath("scene-shapes"));
        QCOMPARE(s.polygons.size(), std::size_t{1});
        QCOMPARE(img.pixel(25, 40), qRgb(0, 0, 255));      // inside the bar
        QCOMPARE(img.pixel(10, 40), qRgb(0, 0, 0));        // its outline
        QCOMPARE(img.pixel(80, 40), qRgb(255, 200, 0));    // inside the filled ellipse
        QCOMPARE(img.pixel(80, 95), qRgb(255, 255, 255));  // the open ellipse stays empty
        QCOMPARE(img.pixel(155, 30), qRgb(0, 160, 0));     // inside the triangle
        QCOMPARE(img.pixel(155, 90), qRgb(255, 255, 255));
    }

    void combinedLinesStayVisibleOverAnyColour() {
        // A line drawn by exclusive-or (or its inverse) shows against every colour below it,
        // also against a line of its own colour.
        const ColorRef green = MakeRGB(0, 200, 0);
        const struct {
            ColorRef below;
            LineBlend blend;
            QRgb expected;
        } cases[] = {
            {MakeRGB(255, 255, 255), LineBlend::NotXor, qRgb(0, 200, 0)},
            {MakeRGB(0, 0, 0), LineBlend::Xor, qRgb(0, 200, 0)},
            {green, LineBlend::NotXor, qRgb(255, 255, 255)},
            {green, LineBlend::Xor, qRgb(0, 0, 0)},
            {MakeRGB(255, 0, 0), LineBlend::NotXor, qRgb(0, 55, 255)},
        };
        for (const auto& c : cases) {
            CGraphScene s;
            s.width = 20;
            s.height = 20;
            s.background = c.below;
            s.hasDrawing = true;
            s.AddLine(10, 0, 10, 19, green, true, 1.0f, LineStyle::Solid, c.blend);
            const QImage img = Paint(s);
            QCOMPARE(img.pixel(10, 10), c.expected);
            QCOMPARE(img.pixel(5, 10), ToQColor(c.below).rgb());
        }
    }

    void markerListAdapterPassesTheModelTester() {
        test::FakeHost host;
        CBriodashDoc doc(host, DefaultDocumentServices(), DocumentOptions{});
        GeneratorOptions o;
        o.minutes = 0.5;
        FillDemoDocument(doc, o);
        CMarkerListWidget list(doc, host);
        QAbstractItemModelTester tester(list.model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(list.model()->columnCount(), 1);
        QCOMPARE(list.model()->headerData(0, Qt::Horizontal).toString(), QString("Channel Names"));
        const int names = list.model()->rowCount();
        QVERIFY(names > 3);
        // The first marker adds the value columns; a move re-reads its column only.
        doc.m_lGreenTime = 100000;
        doc.UpdateAllViews(kHintGreenMoved);
        QCOMPARE(list.model()->columnCount(), 4);
        QSignalSpy changed(list.model(), &QAbstractItemModel::dataChanged);
        QSignalSpy reset(list.model(), &QAbstractItemModel::modelReset);
        const QString before = list.RowTexts(0).value(1);
        doc.m_lGreenTime = 150000;
        doc.UpdateAllViews(kHintGreenMoved);
        QCOMPARE(reset.count(), 0);
        // A step right after another is shown a moment later, at the list's repaint rate.
        QTRY_VERIFY(changed.count() >= 1);
        QCOMPARE(changed.first().at(0).value<QModelIndex>().column(), 1);
        QVERIFY(list.RowTexts(0).value(1) != before);
        // Column widths follow the texts the core fitted.
        for (int c = 0; c < list.model()->columnCount(); ++c)
            QCOMPARE(list.columnWidth(c), list.View().ColumnWidth(c));
        list.View().SetMode(kModeAll);
        list.Rebuild();
        QVERIFY(list.model()->rowCount() >= names);
        // Data of cells outside the table is refused.
        QVERIFY(!list.model()->index(list.model()->rowCount(), 0).isValid());
    }
};

QTEST_MAIN(TestSceneTable)
#include "test_scene_table.moc"
