// The main window's layout at work: where new document windows open, the marker list's
// columns at every size, labels that never run into each other, the printed page, and
// screenshots of the window after open, overlay, tile, at 640x400 and dark.
#include <QApplication>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrinter>
#include <QSplitter>
#include <QStyle>
#include <QTemporaryDir>
#include <QtTest>

#include "PaintRecorder.h"
#include "PdfText.h"
#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "app/ui/Theme.h"
#include "demo/SessionGenerator.h"
#include "files/DataFile.h"
#include "graph/GraphView.h"
#include "graph/ui/ChartWidget.h"
#include "graph/ui/MarkerListWidget.h"
#include "model/Document.h"
#include "support/FakeHost.h"

using namespace orvex;

namespace {

QString Shot(const char* name) {
    return QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-layout-%1.png").arg(QLatin1String(name));
}

// Sets the green marker at a third and the red one at two thirds of the chart.
void SetMarkers(CChartWidget& chart) {
    QWidget* vp = chart.viewport();
    const int y = vp->height() / 2;
    QTest::mouseDClick(vp, Qt::LeftButton, {}, QPoint(vp->width() / 3, y));
    QTest::mouseDClick(vp, Qt::RightButton, {}, QPoint(vp->width() * 2 / 3, y));
}

// Every column of the list lies wholly inside its visible part and is wide enough to read.
QString HiddenColumns(CMarkerListWidget& list) {
    QStringList out;
    for (int i = 0; i < list.model()->columnCount(); ++i) {
        const int left = list.header()->sectionViewportPosition(i);
        const int width = list.header()->sectionSize(i);
        if (left < 0 || left + width > list.viewport()->width() || width < 24)
            out << QStringLiteral("%1 at %2+%3 of %4")
                       .arg(list.model()->headerData(i, Qt::Horizontal).toString())
                       .arg(left)
                       .arg(width)
                       .arg(list.viewport()->width());
    }
    return out.join("; ");
}

// The cells and headers of the list whose text does not fit its column: the value columns, and
// with `names` also the channel names. A cell's text has the style's focus margin on each side.
QString CutTexts(CMarkerListWidget& list, bool names) {
    const QFontMetrics cell(list.font()), head(list.header()->font());
    const int cellMargin = 2 * (list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    const int headMargin = 2 * list.style()->pixelMetric(QStyle::PM_HeaderMargin);
    QStringList out;
    for (int c = names ? 0 : 1; c < list.model()->columnCount(); ++c) {
        const int width = list.columnWidth(c);
        const QString header = list.model()->headerData(c, Qt::Horizontal).toString();
        if (head.horizontalAdvance(header) + headMargin > width)
            out << QStringLiteral("header %1 in %2").arg(header).arg(width);
        for (int row = 0; row < list.model()->rowCount(); ++row) {
            const QString text = list.RowTexts(row).value(c);
            if (cell.horizontalAdvance(text) + cellMargin > width)
                out << QStringLiteral("%1 in %2").arg(text).arg(width);
        }
    }
    return out.join("; ");
}

// Paints the chart at its size on `rec`.
void PaintLabels(CChartWidget& chart, test::PaintRecorder& rec) {
    QPainter p(&rec);
    chart.PaintTo(p, chart.viewport()->size(), false);
}

QString OverlapText(const test::PaintRecorder& rec) {
    QStringList out;
    for (const auto& [a, b] : rec.Overlaps()) out << a.text + " / " + b.text;
    return out.join("; ");
}

}  // namespace

class TestWindowLayout : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<CDataAcqApp> m_app;
    test::FakeHost m_host;

  private slots:
    void init() {
        m_app = std::make_unique<CDataAcqApp>(m_dir.filePath("ORVEX.INI").toStdString());
        m_host = test::FakeHost();
        ApplyTheme(AppTheme::System);
    }

    void newDocumentWindowsOpenInsideTheWorkspace() {
        CMainWindow w(*m_app, m_host);
        w.resize(1000, 700);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect space = w.MdiArea()->viewport()->rect();
        for (int i = 0; i < 6; ++i) {
            QVERIFY(w.OpenDemo(0.1));
            const QRect g = w.MdiArea()->activeSubWindow()->geometry();
            QVERIFY2(space.contains(g), qPrintable(QString("window %1 at %2,%3 %4x%5")
                                                       .arg(i)
                                                       .arg(g.x())
                                                       .arg(g.y())
                                                       .arg(g.width())
                                                       .arg(g.height())));
            QVERIFY(g.width() >= space.width() * 8 / 10);
        }
    }

    // The markers are set once the windows have their size: the list has kept room for its
    // value columns, and their texts are shown whole (the names too where there is room).
    void markerListColumnsStayInView_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("windows");
        QTest::addColumn<bool>("wholeNames");
        QTest::newRow("640x400") << QSize(640, 400) << 1 << false;
        QTest::newRow("1000x700") << QSize(1000, 700) << 1 << true;
        QTest::newRow("1600x1000") << QSize(1600, 1000) << 1 << true;
        QTest::newRow("tiled four at 1280x800") << QSize(1280, 800) << 4 << false;
    }
    void markerListColumnsStayInView() {
        QFETCH(QSize, size);
        QFETCH(int, windows);
        QFETCH(bool, wholeNames);
        CMainWindow w(*m_app, m_host);
        w.resize(size);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int i = 0; i < windows; ++i) QVERIFY(w.OpenDemo(0.5));
        if (windows > 1)
            w.Run(MainCommand::Tile);
        else
            w.MdiArea()->activeSubWindow()->showMaximized();
        QCoreApplication::processEvents();
        for (CDocumentWindow* doc : w.Documents()) {
            // Room for the marker columns was kept: the chart keeps its width.
            const int chartWidth = doc->Chart()->width();
            SetMarkers(*doc->Chart());
            QCoreApplication::processEvents();
            QCOMPARE(doc->Chart()->width(), chartWidth);
            CMarkerListWidget& list = *doc->MarkerList();
            QCOMPARE(list.model()->headerData(2, Qt::Horizontal).toString(), QString("Red Marker"));
            QCOMPARE(list.model()->headerData(3, Qt::Horizontal).toString(), QString("Difference"));
            QVERIFY2(HiddenColumns(list).isEmpty(), qPrintable(HiddenColumns(list)));
            QVERIFY2(CutTexts(list, wholeNames).isEmpty(), qPrintable(CutTexts(list, wholeNames)));
            // The chart keeps at least half the window.
            QVERIFY(doc->Chart()->width() >= doc->width() / 2 - 10);
        }
    }

    void chartLabelsNeverOverlap_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("windows");
        QTest::newRow("640x400") << QSize(640, 400) << 1;
        QTest::newRow("tiled four at 1280x800") << QSize(1280, 800) << 4;
        QTest::newRow("tiled six at 1000x700") << QSize(1000, 700) << 6;
    }
    void chartLabelsNeverOverlap() {
        QFETCH(QSize, size);
        QFETCH(int, windows);
        CMainWindow w(*m_app, m_host);
        w.resize(size);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int i = 0; i < windows; ++i) QVERIFY(w.OpenDemo(2.0));
        if (windows > 1)
            w.Run(MainCommand::Tile);
        else
            w.MdiArea()->activeSubWindow()->showMaximized();
        QCoreApplication::processEvents();
        for (CDocumentWindow* doc : w.Documents()) {
            test::PaintRecorder rec(doc->Chart()->viewport()->size(), 96);
            PaintLabels(*doc->Chart(), rec);
            QVERIFY(rec.texts.size() >= 3);
            QVERIFY2(rec.Overlaps().empty(), qPrintable(OverlapText(rec)));
        }
    }

    // A printed page at 300 dpi: half-inch margins, labels of about 7 pt, the title below the
    // plot, nothing outside the page and nothing overlapping.
    void printedPageIsReadable() {
        CMainWindow w(*m_app, m_host);
        w.resize(1000, 700);
        w.show();
        CDocumentWindow* doc = w.OpenDemo(2.0);
        QVERIFY(doc);
        constexpr int dpi = 300;
        const QRect page(0, 0, 3150, 2400);  // letter, landscape, inside the printer's margins
        test::PaintRecorder rec(page.size(), dpi);
        {
            QPainter p(&rec);
            PaintChartPage(*doc, p, page, dpi, dpi);
        }
        const double plotBottom = page.height() - dpi / 2.0;
        bool axisLine = false;
        for (const QLineF& l : rec.lines)
            axisLine =
                axisLine || (std::abs(l.x1() - dpi / 2.0) < 2 && std::abs(l.x2() - l.x1()) < 1 &&
                             std::abs(std::max(l.y1(), l.y2()) - plotBottom) < 3);
        QVERIFY2(axisLine, "no time axis line half an inch from the left");
        const QString title = QString::fromStdString(doc->Document().m_strTitle) + " - ";
        int titles = 0, axisLabels = 0;
        for (const test::PaintedText& t : rec.texts) {
            QVERIFY2(QRectF(page).contains(t.box), qPrintable(QString("%1 at %2,%3 %4x%5")
                                                                  .arg(t.text)
                                                                  .arg(t.box.x())
                                                                  .arg(t.box.y())
                                                                  .arg(t.box.width())
                                                                  .arg(t.box.height())));
            // At least 6 points high.
            QVERIFY2(t.box.height() >= dpi * 6.0 / 72.0, qPrintable(t.text));
            if (t.text.startsWith(title)) {
                ++titles;
                QVERIFY(t.box.top() > plotBottom);
                QVERIFY(std::abs(t.box.center().x() - page.width() / 2.0) < 2);
            } else if (t.box.top() >= plotBottom && t.box.top() < plotBottom + dpi / 4.0) {
                ++axisLabels;
            }
        }
        QCOMPARE(titles, 1);
        QVERIFY(axisLabels >= 3);
        QVERIFY2(rec.Overlaps().empty(), qPrintable(OverlapText(rec)));
    }

    // "Print..." to a PDF file, read back in the page's own points: every text at least 6 pt
    // high and inside the printable area, the title once, centred below everything else, and
    // every label where a screen as wide as the page (110 pixels to the inch, so that the
    // left margin of 55 pixels is half an inch) shows it. The exported PDF has the title too.
    void printedPdfLooksLikeTheScreen() {
        CMainWindow w(*m_app, m_host);
        w.resize(1000, 700);
        CDocumentWindow* doc = w.OpenDemo(2.0);
        QVERIFY(doc);
        const QString path = QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-printed-page.pdf");
        QPrinter& printer = w.Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
        w.PrintChart(doc, printer);
        const test::PdfPage page = test::ReadPdfPage(path);
        QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
        QCOMPARE(page.size, QSizeF(792, 612));
        // The printable area in the page's points, y upwards.
        const QRectF paintArea = printer.pageLayout().paintRectPoints();
        const QRectF area(paintArea.left(), page.size.height() - paintArea.bottom(),
                          paintArea.width(), paintArea.height());

        const QString title = QString::fromStdString(doc->Document().m_strTitle) + " - " +
                              QString::fromStdString(doc->Document().m_datasets[0]->m_strName);
        const test::PdfText* titleText = nullptr;
        double lowestLabel = page.size.height();
        for (const test::PdfText& t : page.texts) {
            const QString where = QStringLiteral("%1 at %2,%3 size %4")
                                      .arg(t.text)
                                      .arg(t.origin.x())
                                      .arg(t.origin.y())
                                      .arg(t.size);
            QVERIFY2(t.size >= 6.0 && t.size <= 14.0, qPrintable(where));
            QVERIFY2(area.contains(t.origin) && area.contains(t.end), qPrintable(where));
            if (t.text.simplified() == title) {
                QVERIFY2(!titleText, "two titles");
                titleText = &t;
            } else {
                lowestLabel = std::min(lowestLabel, t.origin.y());
            }
        }
        QVERIFY2(titleText, qPrintable("no title " + title));
        QVERIFY(titleText->origin.y() + titleText->size < lowestLabel);
        const double titleMiddle = (titleText->origin.x() + titleText->end.x()) / 2.0;
        QVERIFY(std::abs(titleMiddle - area.center().x()) < area.width() * 0.05);

        // The screen as wide as the page: every label it draws is on the paper at the same
        // share of the width (within 1 %).
        const QSize screen(qRound(area.width() / 72.0 * 110.0),
                           qRound((area.height() / 72.0 - 0.5) * 110.0) + kBottomMargin);
        test::PaintRecorder rec(screen, 96);
        {
            QPainter p(&rec);
            doc->Chart()->PaintTo(p, screen, true);
        }
        QVERIFY(rec.texts.size() >= 10);
        QStringList missing;
        for (const test::PaintedText& s : rec.texts) {
            const double share = s.box.left() / screen.width();
            bool found = false;
            for (const test::PdfText& t : page.texts)
                found =
                    found || (t.text.simplified() == s.text.simplified() &&
                              std::abs((t.origin.x() - area.left()) / area.width() - share) < 0.01);
            if (!found) missing << QStringLiteral("%1 at %2").arg(s.text).arg(share);
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join("; ")));

        // Export Graph to a PDF file: the same page with its title.
        const QString exported = QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-exported-graph.pdf");
        QVERIFY(w.ExportChart(doc, exported, QSize(640, 400)));
        const test::PdfPage graph = test::ReadPdfPage(exported);
        QVERIFY2(graph.error.isEmpty(), qPrintable(graph.error));
        int titles = 0;
        for (const test::PdfText& t : graph.texts) {
            titles += t.text.simplified() == title ? 1 : 0;
            QVERIFY2(t.size >= 6.0, qPrintable(t.text));
        }
        QCOMPARE(titles, 1);
    }

    void screenshotsOfTheMainWindow() {
        // The overlaid session is another drive, so that both sets of traces show.
        const QString second = m_dir.filePath("second.tbc");
        {
            GeneratorOptions options;
            options.minutes = 1.0;
            options.seed = 11;
            DataFileContents contents;
            contents.datasets.push_back(GenerateSession(options));
            contents.datasets.back()->m_strName = "Second Drive";
            QVERIFY(WriteDataFile(second.toStdString(), contents, m_host, Units::Imperial));
        }
        CMainWindow w(*m_app, m_host);
        w.resize(1280, 800);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        CDocumentWindow* doc = w.OpenDemo(3.0);
        QVERIFY(doc);
        SetMarkers(*doc->Chart());
        QVERIFY(w.RenderWindow(QSize(1280, 800)).save(Shot("open")));
        QVERIFY(w.AddOverlay(doc, second));
        SetMarkers(*doc->Chart());
        QVERIFY(w.RenderWindow(QSize(1280, 800)).save(Shot("overlay")));
        for (int i = 0; i < 3; ++i) QVERIFY(w.OpenDemo(1.0));
        w.MdiArea()->activeSubWindow()->showNormal();
        w.Run(MainCommand::Tile);
        for (CDocumentWindow* d : w.Documents()) SetMarkers(*d->Chart());
        QCoreApplication::processEvents();
        QVERIFY(w.grab().toImage().save(Shot("tile")));
        w.Action(MainCommand::ThemeDark)->trigger();
        QVERIFY(w.RenderWindow(QSize(1280, 800)).save(Shot("dark")));
        w.Action(MainCommand::ThemeSystem)->trigger();
        QVERIFY(w.RenderWindow(QSize(640, 400)).save(Shot("640x400")));
        for (CDocumentWindow* d : w.Documents())
            QVERIFY2(HiddenColumns(*d->MarkerList()).isEmpty(),
                     qPrintable(HiddenColumns(*d->MarkerList())));
    }
};

QTEST_MAIN(TestWindowLayout)
#include "test_window_layout.moc"
