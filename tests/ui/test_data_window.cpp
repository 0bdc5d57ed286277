// The data window's session commands in the main window: the menus follow the active window,
// every command opens its own dialog (none a placeholder) and is enabled by its rule, the two
// reports stay beside the chart one at a time, the gear command finds its marker, the chart's
// pop-up works where it was clicked; and one session edited end to end, saved and reopened.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "DialogDriving.h"
#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "app/DataWindowCommands.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "graph/ui/ChartWidget.h"
#include "graph/ui/MarkerListWidget.h"
#include "model/Document.h"
#include "support/FakeHost.h"

using namespace orvex;

namespace {

using test::Choose;
using test::Click;

QMenu* BarMenu(CMainWindow& w, const QString& title) {
    for (QAction* a : w.menuBar()->actions())
        if (a->text() == title) return a->menu();
    return nullptr;
}

QStringList ActionTexts(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions())
        if (!a->isSeparator() && a->isVisible()) out << a->text();
    return out;
}

// The value at the green marker of the marker list's row labelled `label`.
QString GreenValue(CMarkerListWidget& list, const QString& label) {
    for (int row = 0; row < list.model()->rowCount(); ++row) {
        const QStringList texts = list.RowTexts(row);
        if (texts.value(0) == label) return texts.value(1);
    }
    return {};
}

}  // namespace

class TestDataWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<CDataAcqApp> m_app;
    test::FakeHost m_host;

  private slots:
    void init() {
        m_app = std::make_unique<CDataAcqApp>(m_dir.filePath("ORVEX.INI").toStdString());
        m_host = test::FakeHost();
    }

    void sessionMenusFollowTheActiveWindow() {
        CMainWindow w(*m_app, m_host);
        QStringList titles;
        for (QAction* a : w.menuBar()->actions())
            if (a->isVisible()) titles << a->text();
        QCOMPARE(titles.join('|'), QString("&File|&Settings|Defaults|&View|&Window|&Help"));
        QVERIFY(!w.DataAction(DataCommand::ExportData)->isVisible());

        QVERIFY(w.OpenDemo(0.5));
        w.UpdateCommandStates();
        titles.clear();
        for (QAction* a : w.menuBar()->actions())
            if (a->isVisible()) titles << a->text();
        QCOMPARE(titles.join('|'), QString("&File|&Edit|&Settings|Defaults|&View|Change Graph|"
                                           "&Setup|&Laps|&Window|&Help"));
        QCOMPARE(ActionTexts(BarMenu(w, "&Laps")),
                 (QStringList{"Lap Timer Beacons", "Lap Times", "ET Slips", "Set Zero Time",
                              "Adjust Lap Marker", "Data Alignment", "Switch/Timer Data",
                              "View as Laps"}));
        QCOMPARE(
            ActionTexts(BarMenu(w, "&Edit")),
            (QStringList{"Delete Data from Session/Pass", "Change Session/Pass Name", "Comments"}));
        QVERIFY(ActionTexts(BarMenu(w, "&Setup")).contains("Spike Filter Settings"));
        QVERIFY(ActionTexts(BarMenu(w, "&File")).contains("Export Data"));
        QVERIFY(ActionTexts(w.GraphMenu()).contains("Set/Change Gear Selection"));
        QVERIFY(w.DataAction(DataCommand::ExportData)->isVisible());
        QVERIFY(w.DataAction(DataCommand::DeleteData)->isEnabled());
        // The gear command waits for a marker.
        QVERIFY(!w.DataAction(DataCommand::GearSelection)->isEnabled());
        CDocumentWindow* doc = w.ActiveDocument();
        doc->Chart()->PlaceMarker(Marker::Green, 100000);
        w.UpdateCommandStates();
        QVERIFY(w.DataAction(DataCommand::GearSelection)->isEnabled());
    }

    // Each command opens the dialog of its own title on the document; the default-settings
    // commands of the main window open theirs on the defaults, without any data window.
    void everyCommandOpensItsOwnDialog() {
        CMainWindow w(*m_app, m_host);
        QStringList seen;
        w.m_runDialog = [&seen](QDialog& d) {
            seen << d.windowTitle();
            d.reject();
            return true;
        };
        const std::pair<MainCommand, const char*> defaults[] = {
            {MainCommand::SetupAnalog, "Configure Analog Channels - Default Settings"},
            {MainCommand::SetupDigital, "Configure Digital Inputs - Default Settings"},
            {MainCommand::SetupRpm, "Configure RPM/MPH Channels - Default Settings"},
            {MainCommand::SetupTransmission, "Transmission/Rear End Settings - Default Settings"},
            {MainCommand::SpikeFilter, "Spike Filter Settings - Default Settings"},
        };
        for (auto [id, title] : defaults) {
            QVERIFY(w.Action(id)->isEnabled());
            seen.clear();
            w.Action(id)->trigger();
            QCOMPARE(seen, QStringList{title});
        }

        QVERIFY(w.OpenDemo(0.5));
        CBriodashDoc& doc = w.ActiveDocument()->Document();
        w.ActiveDocument()->Chart()->PlaceMarker(Marker::Green, 100000);
        w.ActiveDocument()->Chart()->PlaceMarker(Marker::Red, 150000);
        w.UpdateCommandStates();
        for (const DataCommandInfo& c : DataCommandTable()) {
            if (!*c.menu || !*c.dialog || c.id == DataCommand::LapTimes ||
                c.id == DataCommand::EtSlips)
                continue;
            QVERIFY2(w.DataAction(c.id)->isEnabled(), c.text);
            seen.clear();
            w.DataAction(c.id)->trigger();
            // Both markers are set: the gear command asks which one first.
            const QString expected = c.id == DataCommand::GearSelection
                                         ? QString("Select which Marker to Use")
                                         : QString::fromUtf8(c.dialog);
            QCOMPARE(seen, QStringList{expected});
        }
        QVERIFY(!doc.m_bModified);  // every dialog was cancelled
    }

    void reportsStayBesideTheChartOneAtATime() {
        CMainWindow w(*m_app, m_host);
        QVERIFY(w.OpenDemo(0.5));
        CDocumentWindow* doc = w.ActiveDocument();
        w.DataAction(DataCommand::LapTimes)->trigger();
        QDialog* report = doc->Report();
        QVERIFY(report);
        QCOMPARE(report->windowTitle(), QString("Lap Times Report"));
        QVERIFY(report->isVisible());
        QVERIFY(!report->isModal());
        w.UpdateCommandStates();
        for (DataCommand id :
             {DataCommand::LapTimes, DataCommand::EtSlips, DataCommand::DeleteData})
            QVERIFY(!w.DataAction(id)->isEnabled());
        QVERIFY(w.DataAction(DataCommand::Rename)->isEnabled());
        // The chart still takes the keys while the report is open.
        QVERIFY(doc->Chart()->Execute(GraphCommand::ZoomInX));

        Click(*report, false);
        QTRY_VERIFY(!doc->Report());
        QVERIFY(w.DataAction(DataCommand::EtSlips)->isEnabled());
        m_host.answers = {Answer::No};  // the laps are shown with empty ET times
        w.DataAction(DataCommand::EtSlips)->trigger();
        QVERIFY(doc->Report());
        QCOMPARE(doc->Report()->windowTitle(), QString("ET Slip Report"));
        QVERIFY(!w.DataAction(DataCommand::LapTimes)->isEnabled());
    }

    void gearCommandAsksForTheMarkerAndNeedsItInView() {
        CMainWindow w(*m_app, m_host);
        QVERIFY(w.OpenDemo(0.5));
        CDocumentWindow* window = w.ActiveDocument();
        CChartWidget* chart = window->Chart();
        CBriodashDoc& doc = window->Document();
        chart->PlaceMarker(Marker::Green, 100000);
        chart->PlaceMarker(Marker::Red, 200000);
        QString gearAt;
        w.m_runDialog = [&gearAt](QDialog& d) {
            if (d.windowTitle() == "Select which Marker to Use") {
                d.findChild<QRadioButton*>("marker_1")->click();  // "Use Red Marker"
                Click(d, true);
            } else {
                gearAt = d.findChild<QLabel*>("currentGear")->text();
                d.findChild<QListWidget*>("shift")->setCurrentRow(0);
                Click(d, true);
            }
            return true;
        };
        CShaftList& engine = doc.ShownDatasets().front()->m_rpm[0];
        auto gearAtTime = [&engine](int32_t t) {
            std::size_t i = 0;
            while (i + 1 < engine.m_samples.size() && engine.m_samples[i + 1].m_lTime <= t) ++i;
            return int(engine.m_samples[i].m_nGear);
        };
        const int before = gearAtTime(doc.m_lRedTime + 100);
        w.UpdateCommandStates();  // as opening the menu does
        w.DataAction(DataCommand::GearSelection)->trigger();
        QVERIFY(!gearAt.isEmpty());
        QVERIFY(gearAtTime(doc.m_lRedTime + 100) != before);
        QVERIFY(doc.m_bModified);

        // A marker out of the window is refused.
        QVERIFY(chart->Execute(GraphCommand::ZoomInX));
        chart->PlaceMarker(Marker::Red, 1000);  // the window kept the end of the data
        QVERIFY(doc.m_lRedTime < chart->State().m_lXStart);
        gearAt.clear();
        w.UpdateCommandStates();
        w.DataAction(DataCommand::GearSelection)->trigger();
        QVERIFY(gearAt.isEmpty());
        QCOMPARE(m_host.messages.back().text, std::string(kMarkerNotViewed));
        QCOMPARE(m_host.messages.back().icon, Icon::Stop);
    }

    void chartPopupWorksWhereItWasClicked() {
        CMainWindow w(*m_app, m_host);
        w.resize(1000, 700);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.OpenDemo(0.5));
        CDocumentWindow* window = w.ActiveDocument();
        CChartWidget* chart = window->Chart();
        const QPoint at(kLeftMargin + 150, 80);

        QMenu menu;
        w.FillChartPopup(menu, *window, at);
        QCOMPARE(ActionTexts(&menu),
                 (QStringList{"Set Green Marker", "Set Red Marker", "Set Shift Point"}));
        QVERIFY(menu.actions().back()->isEnabled());  // the demo car has six gears

        w.RunPopupCommand(*window, DataCommand::SetGreenMarker, at);
        const int32_t x = chart->AxisValueAt(at);
        QVERIFY(std::abs(window->Document().m_lGreenTime - x) <=
                chart->State().m_scale.xUnitsPerPixel + 1);
        QStringList seen;
        w.m_runDialog = [&seen](QDialog& d) {
            seen << d.windowTitle();
            d.reject();
            return true;
        };
        w.RunPopupCommand(*window, DataCommand::SetShiftPoint, at);
        QCOMPARE(seen, QStringList{"Gear Selection"});

        // A single click of the right button asks for the pop-up once the double-click time
        // has passed; a double click sets the red marker instead.
        QSignalSpy popup(chart, &CChartWidget::PopupRequested);
        QStringList shown;
        QTimer closer;  // closes the pop-up the main window opens, noting its items
        connect(&closer, &QTimer::timeout, this, [&shown] {
            if (auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                shown = ActionTexts(open);
                open->close();
            }
        });
        closer.start(20);
        QTest::mouseClick(chart->viewport(), Qt::RightButton, {}, at);
        QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), 10000);
        QCOMPARE(popup.size(), 1);
        QCOMPARE(popup.front().front().toPoint(), at);
        QCOMPARE(shown, (QStringList{"Set Green Marker", "Set Red Marker", "Set Shift Point"}));
        QTest::mouseDClick(chart->viewport(), Qt::RightButton, {}, at + QPoint(40, 0));
        QVERIFY(window->Document().m_lRedTime != kNotSet);
    }

    void viewAsLapsTogglesTheLapDatasets() {
        CMainWindow w(*m_app, m_host);
        QVERIFY(w.OpenDemo(0.5));
        CBriodashDoc& doc = w.ActiveDocument()->Document();
        const std::size_t sessions = doc.m_datasets.size();
        QAction* laps = w.DataAction(DataCommand::ViewAsLaps);
        QVERIFY(laps->isEnabled());
        QVERIFY(!laps->isChecked());
        laps->trigger();
        QVERIFY(doc.m_bLapView);
        QVERIFY(doc.m_datasets.size() > sessions);
        QCOMPARE(m_host.questions.back(),
                 std::string("Do you wish to set all channels in a Lap to one color?"));
        QVERIFY(laps->isChecked());
        laps->trigger();
        QVERIFY(!doc.m_bLapView);
        QCOMPARE(doc.m_datasets.size(), sessions);
    }

    // The rear wheel's tire grows: speed and distance at the green marker grow with it; the
    // data before the marker go, the session is renamed; all of it is found after a reopen.
    void oneSessionEndToEnd() {
        m_app->SetXDistMode(2);  // distance from the axle/rear wheel
        const QString path = m_dir.filePath("edited.tbc");
        double speedBefore = 0, distanceBefore = 0;
        int32_t endBefore = 0;
        {
            CMainWindow w(*m_app, m_host);
            w.resize(1200, 800);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QVERIFY(w.OpenDemo(1.0));
            CDocumentWindow* window = w.ActiveDocument();
            CBriodashDoc& doc = window->Document();
            CBriodashDataset* session = doc.ShownDatasets(true).front();
            endBefore = session->GetEndTime(true);
            window->Chart()->PlaceMarker(Marker::Green, 200000);
            CMarkerListWidget& list = *window->MarkerList();
            speedBefore = GreenValue(list, "Rear Wheel-MPH").toDouble();
            distanceBefore = GreenValue(list, "Distance (Ft)").toDouble();
            QVERIFY2(speedBefore > 10 && distanceBefore > 100,
                     qPrintable(GreenValue(list, "Rear Wheel-MPH") + " " +
                                GreenValue(list, "Distance (Ft)")));

            // The rear tire from 26 to 28.6 in: 10 % more speed and distance.
            w.m_runDialog = [](QDialog& d) {
                if (!Choose(d, "channel", "Channel 3")) return false;
                auto* diameter = d.findChild<QLineEdit*>("diameter");
                diameter->selectAll();
                QTest::keyClicks(diameter, "28.6");
                Click(d, true);
                return true;
            };
            w.DataAction(DataCommand::SetupRpm)->trigger();
            QCOMPARE(session->m_carSetup.FindRpmSetup(3)->m_fDiameter, 28.6f);
            const double speedAfter = GreenValue(list, "Rear Wheel-MPH").toDouble();
            const double distanceAfter = GreenValue(list, "Distance (Ft)").toDouble();
            QVERIFY2(std::abs(speedAfter / speedBefore - 1.1) < 0.01,
                     qPrintable(QString::number(speedAfter)));
            QVERIFY2(std::abs(distanceAfter / distanceBefore - 1.1) < 0.01,
                     qPrintable(QString::number(distanceAfter)));

            // Everything before the green marker goes.
            m_host.answers = {Answer::Yes};
            w.m_runDialog = [](QDialog& d) {
                d.findChild<QCheckBox*>("greenBefore")->click();
                Click(d, true);
                return true;
            };
            w.DataAction(DataCommand::DeleteData)->trigger();
            QCOMPARE(m_host.messages.back().text, std::string("Data has been deleted."));
            QCOMPARE(doc.m_lGreenTime, 0);
            CBriodashDataset* kept = doc.ShownDatasets(true).front();
            QVERIFY(kept != session);
            QCOMPARE(kept->GetEndTime(true), endBefore - 200000);

            w.m_runDialog = [](QDialog& d) {
                auto* name = d.findChild<QLineEdit*>("name");
                name->selectAll();
                QTest::keyClicks(name, "Qualifying");
                Click(d, true);
                return true;
            };
            w.DataAction(DataCommand::Rename)->trigger();
            QCOMPARE(kept->m_strName, std::string("Qualifying"));
            QVERIFY(window->windowTitle().endsWith("[*]") && window->isWindowModified());
            QVERIFY(w.SaveDocument(window, path));
            QVERIFY(!doc.m_bModified);
        }
        CMainWindow again(*m_app, m_host);
        CDocumentWindow* window = again.OpenFile(path);
        QVERIFY(window);
        CBriodashDoc& doc = window->Document();
        QCOMPARE(doc.ShownDatasets(true).size(), std::size_t(1));
        CBriodashDataset& session = *doc.ShownDatasets(true).front();
        QCOMPARE(session.m_strName, std::string("Qualifying"));
        QCOMPARE(session.m_carSetup.FindRpmSetup(3)->m_fDiameter, 28.6f);
        QCOMPARE(session.GetEndTime(true), endBefore - 200000);
        // The speed at the start of the kept data is the one seen at the green marker.
        window->Chart()->PlaceMarker(Marker::Green, 500);
        const QString value = GreenValue(*window->MarkerList(), "Rear Wheel-MPH");
        const double speed = value.toDouble();
        QVERIFY2(std::abs(speed / speedBefore - 1.1) < 0.02, qPrintable(value));
    }
};

QTEST_MAIN(TestDataWindow)
#include "test_data_window.moc"
