// The track map window on a real document: rendered to PNG files under the build folder (track,
// ramped acceleration segments, numbered corners, both bands, markers and race circles, a dark
// background) with the pixels the layout rules fix checked; its "Change &Map" menu, zoom and
// scroll bars, stay-on-top role, double clicks and dialogs; and race mode driven on the graph
// window's real chart and marker list.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "graph/ui/ChartPainter.h"
#include "graph/ui/ChartWidget.h"
#include "graph/ui/MarkerListWidget.h"
#include "support/FakeHost.h"
#include "trackmap/RaceMarkers.h"
#include "trackmap/ui/TrackMapWindow.h"

using namespace orvex;

namespace {

constexpr int kWidth = 800, kHeight = 600;

QString PngPath(const QString& name) {
    return QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-trackwin-%1.png").arg(name);
}

QColor At(const QImage& img, const GPoint& p) {
    return img.pixelColor(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
}

// A colour drawn with inverted exclusive-or over `below`: itself on white.
QColor NotXor(ColorRef c, const QColor& below) {
    return QColor::fromRgb(~(ToQColor(c).rgb() ^ below.rgb()) & 0x00FFFFFFu);
}

QStringList Texts(QMenu& menu) {
    QStringList out;
    for (QAction* a : menu.actions()) {
        if (a->isSeparator()) continue;
        out << a->text();
        if (a->menu())
            for (QAction* b : a->menu()->actions())
                if (!b->isSeparator()) out << "  " + b->text();
    }
    return out;
}

// OK of a form dialog: the model's Accept decides.
void Ok(QDialog& d) {
    auto* box = d.findChild<QDialogButtonBox*>("buttonBox");
    if (box && box->button(QDialogButtonBox::Ok)) box->button(QDialogButtonBox::Ok)->click();
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

class TestTrackMapWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<CDataAcqApp> m_app;
    test::FakeHost m_host;
    std::unique_ptr<CMainWindow> m_window;
    CDocumentWindow* m_doc = nullptr;

    CTrackMapWindow* Map() {
        CTrackMapWindow* map = m_window->ShowTrackMap(2);
        if (map) map->Render(QSize(kWidth, kHeight));
        return map;
    }

  private slots:
    void init() {
        m_app = std::make_unique<CDataAcqApp>(m_dir.filePath("ORVEX.INI").toStdString());
        m_host = test::FakeHost();
        m_window = std::make_unique<CMainWindow>(*m_app, m_host);
        m_window->resize(1200, 800);
        m_doc = m_window->OpenDemo(5.0);
        QVERIFY(m_doc);
    }
    void cleanup() {
        m_window.reset();
        m_doc = nullptr;
    }

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
        QTest::newRow("dark") << int(kDrawAccelSegments | kDrawCornerSegments | kDrawCornerNumbers)
                              << true << true;
    }
    void layouts() {
        QFETCH(int, flags);
        QFETCH(bool, ramp);
        QFETCH(bool, dark);
        CTrackMapWindow* map = Map();
        QVERIFY(map);
        QCOMPARE(map->windowTitle(),
                 QString::fromStdString(TrackMapTitle(m_doc->Document().m_strTitle, 2)));
        QVERIFY(map->windowTitle().endsWith(" - Map (Lap #2)"));
        TrackViewSettings& s = map->View().m_settings;
        s.drawSegments = flags;
        s.ramp = ramp;
        if (dark) {
            s.colors.background = MakeRGB(20, 20, 24);
            s.colors.track = MakeRGB(230, 230, 230);
            s.colors.startFinish = MakeRGB(255, 255, 0);
        }
        const QImage img = map->Render(QSize(kWidth, kHeight));
        QCOMPARE(img.size(), QSize(kWidth, kHeight));
        QVERIFY(img.save(PngPath(QTest::currentDataTag())));
        const CTrackViewModel& model = map->View().Model();
        // The whole map within the 25-pixel margin, touching it on the side that limits it
        // (within half a track and the band offset).
        const QColor bg = ToQColor(s.colors.background);
        const QColor sf = ToQColor(s.colors.startFinish);
        int left = kWidth, right = 0, top = kHeight, bottom = 0;
        for (const CTrackSample& p : map->Map().m_samples) {
            const GPoint q = model.ToPixels(p.m_dX, p.m_dY);
            left = std::min(left, int(std::lround(q.x)));
            right = std::max(right, int(std::lround(q.x)));
            top = std::min(top, int(std::lround(q.y)));
            bottom = std::max(bottom, int(std::lround(q.y)));
        }
        QVERIFY(left >= kTrackMargin - 1 && top >= kTrackMargin - 1);
        QVERIFY(right <= kWidth - kTrackMargin + 1 && bottom <= kHeight - kTrackMargin + 1);
        QVERIFY(std::abs(left - kTrackMargin) <= 1 || std::abs(top - kTrackMargin) <= 1);
        // The margin strip itself shows only the background (numbers stand by their segments).
        if (!(flags & kDrawCornerNumbers))
            for (int x = 0; x < kWidth; x += 3)
                for (int y : {5, kHeight - 5}) {
                    const QColor c = img.pixelColor(x, y);
                    QVERIFY2(c == bg || c == sf, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                }
        // Drawn pixels: the track (or its segments) on the map.
        const CTrackSample& mid = map->Map().m_samples[map->Map().GetCount() / 2];
        if (flags == 0)
            QCOMPARE(At(img, model.ToPixels(mid.m_dX, mid.m_dY)), ToQColor(s.colors.track));
        // The start/finish line runs through the first point.
        const CTrackSample& first = map->Map().m_samples.front();
        QCOMPARE(At(img, model.ToPixels(first.m_dX, first.m_dY)), sf);
    }

    void markerSquaresAndRaceCircles() {
        CTrackMapWindow* map = Map();
        QVERIFY(map);
        CBriodashDoc& doc = m_doc->Document();
        // The green marker a third of the way round the lap, as the chart would set it.
        const CTrackMap& m = map->Map();
        const CTrackSample& p = m.m_samples[m.GetCount() / 3];
        const QPoint click = [&] {
            const GPoint q = map->View().Model().ToPixels(p.m_dX, p.m_dY);
            return QPoint(int(std::lround(q.x)), int(std::lround(q.y)));
        }();
        QTest::mouseDClick(map->Canvas()->viewport(), Qt::LeftButton, Qt::NoModifier, click);
        QVERIFY(doc.m_lGreenTime != kNotSet);
        QTest::mouseDClick(map->Canvas()->viewport(), Qt::RightButton, Qt::NoModifier,
                           click + QPoint(0, 0));
        QVERIFY(doc.m_lRedTime != kNotSet);
        // The marker list reads the same instant in both columns.
        const QStringList time = m_doc->MarkerList()->RowTexts(0);
        QCOMPARE(time.value(0), QStringLiteral("Time"));
        QCOMPARE(time.value(1), time.value(2));
        QVERIFY(time.value(1) != QStringLiteral("N/A"));
        // A red marker further on, and race mode with laps 2 and 1 of the session.
        doc.m_lRedDistance = doc.m_lGreenDistance + 20000;
        doc.m_lRedTime = kNotSet;
        doc.UpdateAllViews(kHintRedMoved);
        m_doc->m_runDialog = [](QDialog& d) {
            auto* available = d.findChild<QListWidget*>("available");
            auto* add = d.findChild<QPushButton*>("add");
            if (!available || !add) return false;
            available->setCurrentRow(1);  // lap 2
            add->click();
            available->setCurrentRow(0);  // lap 1, alone in the list now
            add->click();
            Ok(d);
            return true;
        };
        QVERIFY(m_doc->ChooseRaceLaps());
        CRaceModeData& race = m_doc->Race().Race();
        QCOMPARE(int(race.Selected().size()), 2);
        QCOMPARE(race.Selected()[0].lap, 2);
        QCOMPARE(race.Selected()[1].lap, 1);
        race.SetLapColor(0, MakeRGB(255, 0, 255));
        race.SetLapColor(1, MakeRGB(0, 160, 255));
        race.SetElapsed(250000);  // 25 s into both laps
        doc.UpdateAllViews(kHintRaceMarkerMoved);
        const QImage img = map->Render(QSize(kWidth, kHeight));
        QVERIFY(img.save(PngPath("markers")));
        const CTrackViewModel& model = map->View().Model();
        QVERIFY(model.m_greenDistance && model.m_redDistance);
        QCOMPARE(int(model.m_raceCircles.size()), 2);
        // What lies below the squares and circles: the map alone.
        QImage below(img.size(), QImage::Format_RGB32);
        {
            QPainter painter(&below);
            PaintBase(painter, map->View().BuildScene(img.width(), img.height(), 1.0, false));
        }
        // The red square's sides one text height either side of the interpolated point, each
        // pixel its colour combined with what is below (its own colour on the background).
        const int h = QFontMetrics(map->Canvas()->font()).height();
        double x = 0, y = 0;
        model.PointAtDistance(*model.m_redDistance, x, y);
        const GPoint r = model.ToPixels(x, y);
        for (const GPoint side : {GPoint{r.x - h, r.y}, GPoint{r.x + h, r.y}, GPoint{r.x, r.y - h}})
            QCOMPARE(At(img, side), NotXor(kTrackRedMarker, At(below, side)));
        model.PointAtDistance(model.m_raceCircles[0].distance, x, y);
        const GPoint c = model.ToPixels(x, y);
        // Lap 3's circle stands close by and may cross lap 2's: the pixel is one circle's colour
        // or both combined, over what is below.
        const QColor under = At(below, {c.x + h, c.y});
        const QColor edge = At(img, {c.x + h, c.y});
        const ColorRef magenta = MakeRGB(255, 0, 255), blue = MakeRGB(0, 160, 255);
        QVERIFY(edge == NotXor(magenta, under) || edge == NotXor(blue, under) ||
                edge == NotXor(blue, NotXor(magenta, under)));
        QVERIFY(edge != under);
    }

    // The view picker lists the track map while its window is shown; choosing the entry brings
    // the map's window forward, and closing the map takes the entry away.
    void viewPickerListsTheTrackMap() {
        QComboBox* picker = m_window->ViewPicker();
        QCOMPARE(picker->count(), 1);
        CTrackMapWindow* map = Map();
        QVERIFY(map && map->isVisible());
        QCOMPARE(picker->count(), 2);
        QCOMPARE(picker->itemText(0), QStringLiteral("Graph"));
        QCOMPARE(picker->itemText(1), QStringLiteral("Track Map"));
        QCOMPARE(picker->itemData(1).value<QWidget*>(), static_cast<QWidget*>(map));
        // Before the auxiliary views, in the picker's order.
        QVERIFY(m_window->ShowView(ViewKind::Histogram));
        QCOMPARE(picker->itemText(2), QStringLiteral("Histogram"));
        map->hide();
        picker->setCurrentIndex(1);
        emit picker->activated(1);
        QVERIFY(map->isVisible());
        map->close();
        QTRY_COMPARE(picker->count(), 2);
        QCOMPARE(picker->findText(QStringLiteral("Track Map")), -1);
    }

    void menuZoomScrollBarsAndStayOnTop() {
        CTrackMapWindow* map = Map();
        QVERIFY(map);
        QMenu* menu = m_window->TrackMapMenu();
        QVERIFY(menu);
        QCOMPARE(menu->title(), QStringLiteral("Change &Map"));
        const QList<QAction*> bar = m_window->menuBar()->actions();
        QCOMPARE(bar.indexOf(menu->menuAction()),
                 bar.indexOf(m_window->GraphMenu()->menuAction()) + 1);
        const QStringList texts = Texts(*menu);
        for (const char* t :
             {"Select Lap", "Track View", "Zoom In (Ctrl + F3)", "Zoom Out (Ctrl + F4)",
              "  Background", "  Deceleration Segment", "Draw Corner && Accel Segments",
              "Show Corner Segment Numbers", "Ramp Acceleration Colors",
              "Set/Adjust Acceleration Settings", "Set/Adjust Corner Settings",
              "Auto Track Green Marker", "Auto Track Red Marker", "Auto Track Race Markers",
              "Always keep Track Map visible."})
            QVERIFY2(texts.contains(QString::fromUtf8(t)), t);
        QVERIFY(!Find(*menu, "Zoom Out (Ctrl + F4)")->isEnabled());
        QVERIFY(!map->Canvas()->horizontalScrollBar()->isVisible());

        Find(*menu, "Zoom In (Ctrl + F3)")->trigger();
        QCOMPARE(map->View().Model().Zoom(), 2.0f);
        QCOMPARE(map->Canvas()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(map->Render(QSize(kWidth, kHeight)).save(PngPath("zoomed")));
        // The scroll bar moves the view centre.
        QScrollBar* hs = map->Canvas()->horizontalScrollBar();
        hs->setValue(hs->minimum());
        QVERIFY(std::abs(map->View().Model().CentreX() - map->Map().m_dMinX) < 1.0);
        QTest::keyClick(map, Qt::Key_F4, Qt::ControlModifier);
        QCOMPARE(map->View().Model().Zoom(), 1.0f);
        QCOMPARE(map->Canvas()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(map->View().Model().CentreX(), (map->Map().m_dMinX + map->Map().m_dMaxX) / 2);

        // Segment commands from the menu.
        Find(*menu, "Draw Corner && Accel Segments")->trigger();
        QCOMPARE(map->View().m_settings.drawSegments & 3, 3);

        // Stay on top: one window holds the role and its 200 ms timer.
        // The setting may start the window on top; the command gives the role up first.
        if (map->OnTop()) Find(*menu, "Always keep Track Map visible.")->trigger();
        QVERIFY(!map->OnTop());
        QVERIFY(!map->OnTopTimer().isActive());
        Find(*menu, "Always keep Track Map visible.")->trigger();
        QVERIFY(map->OnTop());
        QCOMPARE(CTrackMapWindow::OnTopWindow(), map);
        QVERIFY(map->OnTopTimer().isActive());
        QCOMPARE(map->OnTopTimer().interval(), 200);
        QVERIFY(map->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(map->windowFlags() & Qt::WindowMaximizeButtonHint));
        // Closing gives the role up and takes the menu out of the bar.
        map->close();
        QVERIFY(!map->OnTopTimer().isActive());
        QCOMPARE(CTrackMapWindow::OnTopWindow(), nullptr);
        QTRY_VERIFY(m_window->TrackMapMenu() == nullptr);
    }

    void segmentSettingsDialog() {
        CTrackMapWindow* map = Map();
        QVERIFY(map);
        QString percent, gText, afterDefaults;
        map->m_runDialog = [&](QDialog& d) {
            auto* slider = d.findChild<QSlider*>("positive");
            auto* label = d.findChild<QLabel*>("positivePercent");
            auto* g = d.findChild<QLabel*>("positiveG");
            auto* defaults = d.findChild<QPushButton*>("defaults");
            if (!slider || !label || !g || !defaults) return false;
            slider->setValue(50);
            percent = label->text();
            gText = g->text();
            d.adjustSize();
            d.grab().save(PngPath("segment-dialog"));
            defaults->click();
            afterDefaults = label->text();
            slider->setValue(35);
            Ok(d);
            return true;
        };
        map->Run(TrackCommand::AccelSettings);
        QCOMPARE(percent, QStringLiteral("  50 %"));
        QVERIFY(gText.endsWith(" Gs"));
        QVERIFY(gText != QStringLiteral(" 0.00 Gs"));
        QCOMPARE(afterDefaults, QStringLiteral("  20 %"));
        QCOMPARE(m_app->GetTrackMapLateralPos(), 0.35f);
        QCOMPARE(map->Map().m_fLateralPos, 0.35f);
    }

    void raceModeOnTheChartAndMarkerList() {
        CChartWidget* chart = m_doc->Chart();
        m_doc->show();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        // Fewer than two laps: the message, race mode stays off.
        m_doc->m_runDialog = [](QDialog& d) {
            Ok(d);
            return true;
        };
        QVERIFY(!m_doc->ChooseRaceLaps());
        QVERIFY(m_host.MessageTexts().back().find("Two or more Laps") == 0);
        m_doc->m_runDialog = [](QDialog& d) {
            auto* available = d.findChild<QListWidget*>("available");
            auto* add = d.findChild<QPushButton*>("add");
            if (!available || !add) return false;
            available->setCurrentRow(1);
            add->click();
            available->setCurrentRow(0);
            add->click();
            Ok(d);
            return true;
        };
        QVERIFY(m_doc->ChooseRaceLaps());
        CRaceMarkers& race = m_doc->Race();
        QVERIFY(race.IsActive());
        const QString lap2 = QString::fromStdString(race.LapName(0));
        const QString lap3 = QString::fromStdString(race.LapName(1));
        // The marker list: a column per lap, "%s Dist Diff" rows, "Car Color" on the diagonal.
        CMarkerListWidget* list = m_doc->MarkerList();
        QCOMPARE(QString::fromStdString(list->View().Header(1)), lap2);
        QCOMPARE(QString::fromStdString(list->View().Header(2)), lap3);
        int row2 = -1, row3 = -1;
        for (int r = 0; r < list->View().RowCount(); ++r) {
            const QString label = list->RowTexts(r).value(0);
            if (label == lap2 + " Dist Diff") row2 = r;
            if (label == lap3 + " Dist Diff") row3 = r;
        }
        QVERIFY(row2 >= 0 && row3 >= 0);
        QCOMPARE(list->RowTexts(row2).value(1), QStringLiteral("Car Color"));
        QCOMPARE(list->RowTexts(row3).value(2), QStringLiteral("Car Color"));

        // Ctrl + Alt + Right steps the race clock; the list follows.
        chart->setFocus();
        const QString before = list->RowTexts(0).value(1);
        for (int i = 0; i < 50; ++i)
            QTest::keyClick(chart, Qt::Key_Right, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(race.Race().m_nSteps, 50);
        QVERIFY(list->RowTexts(0).value(1) != before);
        // Both laps 5 s in: the faster lap is ahead, so the slower lap's row reads positive in
        // the faster lap's column and the other way round.
        const QString d23 = list->RowTexts(row2).value(2), d32 = list->RowTexts(row3).value(1);
        QVERIFY(!d23.isEmpty() && d23 != "N/A");
        QCOMPARE(d23.startsWith('-'), !d32.startsWith('-'));
        QTest::keyClick(chart, Qt::Key_Left, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(race.Race().m_nSteps, 49);

        // The race marker lines on the chart, one per lap in its colour.
        const std::vector<MarkerLine> lines = chart->Markers().Overlay(chart->Axis());
        // The lines of the laps whose marker lies in the chart's window.
        QVERIFY(!lines.empty());
        for (const MarkerLine& l : lines)
            QVERIFY(l.colour == race.LapColour(0) || l.colour == race.LapColour(1));
        QVERIFY(chart->Picture(chart->viewport()->size()).save(PngPath("race-chart")));

        // Ctrl + double click on the chart sets the race markers there.
        const int x = 55 + chart->viewport()->width() / 3;
        QTest::mouseDClick(chart->viewport(), Qt::LeftButton, Qt::ControlModifier, QPoint(x, 100));
        const std::vector<MarkerLine> moved = chart->Markers().Overlay(chart->Axis());
        QVERIFY(!moved.empty());
        QVERIFY(std::abs(moved[0].x - x) <= 1.5);

        // The race popup: its commands and the laps with their colours; "Restart Race".
        QMenu menu;
        m_doc->FillRaceMenu(menu);
        const QStringList texts = Texts(menu);
        QVERIFY(texts.contains("Race Mode"));
        QVERIFY(texts.contains("Select Lap(s)"));
        QVERIFY(texts.contains("Restart Race"));
        QVERIFY(texts.contains("To Nudge Race Marker Left (Ctrl + Alt + <-)"));
        QVERIFY(texts.contains(lap2) && texts.contains(lap3));
        QVERIFY(!Find(menu, lap2)->icon().isNull());
        Find(menu, "Restart Race")->trigger();
        QCOMPARE(race.Race().m_nSteps, 0);
        QCOMPARE(race.RaceMarkerTime(0),
                 race.Race().Selected()[0].raceStart -
                     race.LapDataset(0)->m_lZeroTime * (race.LapDataset(0)->m_nTimeRef != 0));
        // The graph menu carries the popup; turning race mode off takes the columns away.
        QVERIFY(m_window->RaceMenu());
        Find(menu, "Race Mode")->trigger();
        QVERIFY(!race.IsActive());
        // With no marker set the list goes back to the channel names alone.
        QCOMPARE(list->View().ColumnCount(), 1);
    }
};

QTEST_MAIN(TestTrackMapWindow)
#include "test_track_map_window.moc"
