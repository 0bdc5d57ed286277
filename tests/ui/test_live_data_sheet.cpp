// The live-data sheet on real widgets against the logger simulator over a pseudo-terminal: the
// gauges follow the readings and repaint only on a change, "Calibrate" zeroes the
// accelerometers, a killed or silent logger turns the button into "ReConnect", a recording
// logger refuses live data from the main window, the demonstration and the wizards, and
// pictures of every page and step under the build folder.
#include <QApplication>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QtTest>
#include <memory>
#include <optional>

#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "app/MainFrameCommands.h"
#include "app/ui/LiveDataShots.h"
#include "app/ui/MainWindow.h"
#include "app/ui/Theme.h"
#include "logger/link/SerialLine.h"
#include "logger/live/Calibration.h"
#include "logger/live/LiveData.h"
#include "logger/live/LiveDataDemo.h"
#include "logger/ui/CalibrationWizard.h"
#include "logger/ui/Gauges.h"
#include "logger/ui/LiveDataSheet.h"
#include "support/FakeHost.h"
#include "support/PtyPair.h"

using namespace orvex;

namespace {

CLinkOptions FastOptions(const std::string& device) {
    CLinkOptions o;
    o.device = device;
    o.timing.wakeInterval = 0.05;
    o.timing.packetIdle = 0.6;
    o.timing.bytesIdle = 0.3;
    o.timing.resendInterval = 0.05;
    o.timing.drainTime = 0.05;
    o.timing.insidePacketIdle = 0.6;
    o.timing.delayScale = 0.01;
    o.waitScale = 0.25;
    return o;
}

CAnalogSetup Analog(int channel, int32_t code, const std::string& name) {
    CAnalogSetup s;
    s.m_nChannel = channel;
    s.ChooseType(code);
    s.m_strDescription = name;
    return s;
}

CDigitalSetup Digital(int channel, int32_t type, const std::string& name) {
    CDigitalSetup s;
    s.m_nChannel = channel;
    s.m_nType = type;
    s.m_strDescription = name;
    return s;
}

QString ShotPath(const QString& name) {
    return QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-live-%1.png").arg(name);
}

QString FileName(QString text) {
    text = text.toLower();
    text.replace(QRegularExpression(QStringLiteral("[^a-z0-9]+")), QStringLiteral("-"));
    return text;
}

// The widget drawn at `dpr` device pixels per pixel.
QImage Render(QWidget& w, qreal dpr) {
    QImage img(w.size() * dpr, QImage::Format_ARGB32);
    img.setDevicePixelRatio(dpr);
    img.fill(w.palette().color(QPalette::Window));
    w.render(&img);
    return img;
}

// Pixels that differ clearly from the window colour: the drawing of an instrument.
int InkPixels(const QImage& img, const QColor& background) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (std::abs(c.lightness() - background.lightness()) > 60) ++n;
        }
    return n;
}

}  // namespace

class TestLiveDataSheet : public QObject {
    Q_OBJECT

    CCarSetup m_car;

  private slots:
    void init() {
        m_car = CCarSetup{};
        m_car.m_rpm = {CFreqSetup::Make(1, kRpmEightCylinder, Units::Imperial)};
        m_car.m_rpm[0].m_nPPR = 4;
        m_car.m_analog = {Analog(17, kAnalog2Accel, "LEFT-RIGHT"),
                          Analog(19, kAnalog2Accel, "UP-DOWN")};
        m_car.m_digital = {Digital(1, kDigitalSwitch, "Brake"),
                           Digital(5, kDigitalLapTimer, "Lap")};
    }

    void gaugesFollowTheSimulatorAndRepaintOnlyOnAChange() {
        if (test::SimulatorPath().empty()) QSKIP("logger simulator not built");
        // The logger's device is a link to the simulator's terminal, as a serial adapter's
        // name stays while the adapter is pulled and plugged in again.
        QTemporaryDir dir;
        const std::string device = dir.filePath("logger").toStdString();
        const std::vector<std::string> logger{
            "--family", "kavrane",  "--rpm", "1",           "--analog", "17,19",  "--switches",
            "1",        "--timers", "1",     "--idle-exit", "3000",     "--link", device};
        std::optional<test::SimProcess> sim;
        sim.emplace(logger);
        QVERIFY(sim->Started());
        test::FakeHost host;
        auto line = MakePosixSerialLine();
        CLiveDataSheet sheet(*line, host, FastOptions(device), m_car, Units::Imperial, 0.0f, false,
                             false);
        QVERIFY2(sheet.Start(), qPrintable(QString::fromStdString(
                                    host.MessageTexts().empty() ? "" : host.MessageTexts()[0])));
        CLiveDataDialog dialog(nullptr, sheet, host);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("View Live Data from Data Logger"));
        QStringList tabs;
        for (int i = 0; i < dialog.Tabs()->count(); ++i) tabs << dialog.Tabs()->tabText(i);
        QCOMPARE(tabs, (QStringList{"RPM/MPH", "RPM Sensors", "Accels", "Switches and Timers"}));
        QVERIFY(dialog.Polling());
        QVERIFY(!dialog.CalibrateButton()->isEnabled());

        // 1536 counts a pulse at 4 pulses a revolution of a 307200 Hz clock: 3000 RPM.
        CGauge* rpm = dialog.Gauges(0)[0];
        QCOMPARE(rpm->Value(), 0.0);
        QTRY_COMPARE_WITH_TIMEOUT(rpm->Value(), 3.0, 3000);
        QCOMPARE(rpm->Caption(), QStringLiteral("Engine (x1000)"));
        // Steady readings: the dial is not painted again over a dozen polls.
        const long settled = sheet.Replies() + 2;
        QTRY_VERIFY_WITH_TIMEOUT(sheet.Replies() >= settled, 3000);
        const int paints = rpm->Paints();
        QTRY_VERIFY_WITH_TIMEOUT(sheet.Replies() >= settled + 12, 5000);
        QCOMPARE(rpm->Paints(), paints);

        // The accelerometers: raw 2700 and 2900; "Calibrate" makes them read 0 and 1 g.
        dialog.Tabs()->setCurrentIndex(2);
        QVERIFY(dialog.CalibrateButton()->isEnabled());
        QVERIFY(dialog.WizardButton()->isVisible());
        CGauge* lateral = dialog.Gauges(2)[0];
        CGauge* vertical = dialog.Gauges(2)[1];
        QTRY_VERIFY_WITH_TIMEOUT(lateral->Value() != 0.0, 3000);
        const CAnalogSetup& lr = *sheet.CarSetup().FindAnalogSetup(17);
        QCOMPARE(lateral->Value(), lr.Convert(2700, Units::Imperial, 0) / double(lr.m_nResolution));
        QTest::mouseClick(dialog.CalibrateButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(std::abs(lateral->Value()) < 0.011, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(std::abs(vertical->Value() - 1.0) < 0.011, 3000);
        QVERIFY(dialog.Car(2));

        // Switches and timers.
        dialog.Tabs()->setCurrentIndex(3);
        QTRY_VERIFY_WITH_TIMEOUT(dialog.Gauges(3)[0]->Caption().startsWith("Lap: "), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(dialog.Gauges(3)[1]->Value(), 1.0, 3000);

        // The logger goes away: the last readings stay, the button offers ReConnect.
        const double last = dialog.Gauges(3)[1]->Value();
        sim.reset();  // killed
        QTRY_VERIFY_WITH_TIMEOUT(sheet.IsDisconnected(), 10000);
        QCOMPARE(dialog.CalibrateButton()->text(), QStringLiteral("ReConnect"));
        QVERIFY(dialog.CalibrateButton()->isEnabled());
        QVERIFY(!dialog.Polling());
        QCOMPARE(dialog.Gauges(3)[1]->Value(), last);
        QVERIFY(host.MessageTexts().back().find("Data Logger did NOT respond") == 0);
        QVERIFY(dialog.StatusLabel()->text().contains("ReConnect"));
        // ReConnect while the logger is gone: its message, still disconnected, nothing hangs.
        const std::size_t before = host.messages.size();
        QTest::mouseClick(dialog.CalibrateButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(sheet.IsDisconnected() && host.messages.size() > before, 10000);
        QCOMPARE(dialog.CalibrateButton()->text(), QStringLiteral("ReConnect"));
        QVERIFY(!dialog.Polling());

        // The line is plugged in again, to a logger whose accelerometers are moving: ReConnect
        // resumes polling and the dials follow the readings.
        std::vector<std::string> moving = logger;
        moving.insert(moving.end(), {"--analog-ramp", "6"});
        sim.emplace(moving);
        QVERIFY(sim->Started());
        host.messages.clear();
        QTest::mouseClick(dialog.CalibrateButton(), Qt::LeftButton);
        QVERIFY2(host.messages.empty(), host.messages.empty() ? "" : host.messages[0].text.c_str());
        QVERIFY(!sheet.IsDisconnected());
        QCOMPARE(dialog.CalibrateButton()->text(), QStringLiteral("Calibrate"));
        QVERIFY(dialog.Polling());
        dialog.Tabs()->setCurrentIndex(2);
        QSet<double> seen;
        QTRY_VERIFY_WITH_TIMEOUT((seen.insert(lateral->Value()), seen.size() >= 4), 5000);
        QVERIFY(lateral->Value() > 0.0);  // 2700 counts and rising read above the new zero
        QVERIFY(host.messages.empty());
        dialog.reject();
    }

    void reconnectAfterASilentLoggerResumesPolling() {
        if (test::SimulatorPath().empty()) QSKIP("logger simulator not built");
        test::SimProcess sim(
            {"--family", "kavrane", "--rpm", "1", "--silent-polls", "3:6", "--idle-exit", "3000"});
        QVERIFY(sim.Started());
        test::FakeHost host;
        auto line = MakePosixSerialLine();
        CLiveDataSheet sheet(*line, host, FastOptions(sim.Path()), m_car, Units::Imperial, 0.0f,
                             false, false);
        QVERIFY(sheet.Start());
        CLiveDataDialog dialog(nullptr, sheet, host);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTRY_VERIFY_WITH_TIMEOUT(sheet.IsDisconnected(), 10000);
        QCOMPARE(dialog.Gauges(0)[0]->Value(), 3.0);
        QCOMPARE(dialog.CalibrateButton()->text(), QStringLiteral("ReConnect"));
        QTest::mouseClick(dialog.CalibrateButton(), Qt::LeftButton);
        QCOMPARE(dialog.CalibrateButton()->text(), QStringLiteral("Calibrate"));
        QVERIFY(dialog.Polling());
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.Polling() || dialog.Gauges(0)[0]->Value() == 3.0, 3000);
        QVERIFY(!sheet.IsDisconnected());
        dialog.accept();
    }

    void aRecordingLoggerRefusesLiveDataFromTheMainWindow() {
        if (test::SimulatorPath().empty()) QSKIP("logger simulator not built");
        QTemporaryDir dir;
        test::SimProcess sim({"--family", "kavrane", "--recording", "--idle-exit", "3000"});
        QVERIFY(sim.Started());
        qputenv("ORVEX_COM1", QByteArray::fromStdString(sim.Path()));
        CDataAcqApp app(dir.filePath("ORVEX.INI").toStdString());
        app.SetComPort(1);
        test::FakeHost host;
        CMainWindow w(app, host);
        w.UpdateCommandStates();
        QAction* live = w.Action(MainCommand::LiveData);
        QVERIFY(live->isEnabled());
        QCOMPARE(live->text(), QStringLiteral("Live Data"));
        bool opened = false;
        w.ShowLiveData([&](QDialog&) { opened = true; });
        QVERIFY(!opened);
        QCOMPARE(host.MessageTexts(),
                 (std::vector<std::string>{
                     "Live Data while Data Logger is recording is NOT recommended!",
                     "Live Data request NOT allowed at this Time!"}));
        QVERIFY(live->isEnabled());
        // The shared port bars the conversation before the port is opened.
        app.SetSharedPort(true);
        host.messages.clear();
        w.ShowLiveData([&](QDialog&) { opened = true; });
        QVERIFY(!opened);
        QCOMPARE(host.MessageTexts().front(),
                 std::string("Upload NOT supported with shared Communication Port!"));
    }

    void demonstrationRunsFromTheMainWindowAndOkKeepsTheCalibration() {
        QTemporaryDir dir;
        CDataAcqApp app(dir.filePath("ORVEX.INI").toStdString());
        app.SetLiveDemo(true);
        app.GetDefaultCarSetup().m_analog = {Analog(17, kAnalog2Accel, "LEFT-RIGHT")};
        const float offsetBefore = app.GetDefaultCarSetup().m_analog[0].m_fOffset;
        const std::size_t rpmBefore = app.GetDefaultCarSetup().m_rpm.size();
        test::FakeHost host;
        CMainWindow w(app, host);
        bool disabledWhileOpen = false;
        QStringList tabs;
        w.ShowLiveData([&](QDialog& d) {
            auto& dialog = static_cast<CLiveDataDialog&>(d);
            QTimer::singleShot(0, &dialog, [&] {
                disabledWhileOpen = !w.Action(MainCommand::LiveData)->isEnabled();
                for (int i = 0; i < dialog.Tabs()->count(); ++i) tabs << dialog.Tabs()->tabText(i);
                QVERIFY(dialog.ShowPage("Accels"));
                // Generated readings move the dial while the sheet is open.
                CGauge* lateral = dialog.Gauges(dialog.Tabs()->currentIndex())[0];
                QTRY_VERIFY_WITH_TIMEOUT(std::abs(lateral->Value()) > 0.01, 3000);
                QTest::mouseClick(dialog.CalibrateButton(), Qt::LeftButton);
                dialog.accept();
            });
        });
        QVERIFY(disabledWhileOpen);
        QVERIFY(w.Action(MainCommand::LiveData)->isEnabled());
        QCOMPARE(tabs, (QStringList{"RPM/MPH", "RPM Sensors", "Shocks", "Pressures",
                                    "Misc. Analogs", "EGTs", "Accels", "Switches and Timers"}));
        QVERIFY(host.messages.empty());
        // Only the channel the defaults had comes back, with its new offset.
        QCOMPARE(app.GetDefaultCarSetup().m_analog.size(), std::size_t{1});
        QVERIFY(app.GetDefaultCarSetup().m_analog[0].m_fOffset != offsetBefore);
        QCOMPARE(app.GetDefaultCarSetup().m_rpm.size(), rpmBefore);
    }

    void wizardOnTheMiscPageWritesOnlyOnFinish() {
        test::FakeHost host;
        auto line = MakePosixSerialLine();
        CCarSetup car = LiveDemoCarSetup(Units::Imperial);
        CLiveDataSheet sheet(*line, host, CLinkOptions{}, car, Units::Imperial, 0.0f, true, false);
        QVERIFY(sheet.Start());
        CLiveDataDialog dialog(nullptr, sheet, host);
        QVERIFY(dialog.ShowPage("Misc. Analogs"));
        for (int i = 0; i < 40; ++i) dialog.Tick();
        QVERIFY(dialog.CalibrateButton()->isEnabled());
        QVERIFY(!dialog.WizardButton()->isVisibleTo(&dialog));
        QStringList listed;
        dialog.SetChannelChooser(
            [&](const QString& title,
                const CLiveDataDialog::Channels& ch) -> std::optional<std::vector<int>> {
                for (const auto& c : ch) listed << c.second;
                if (title != "Calibrate Sensors") return std::nullopt;
                return std::vector<int>{7};
            });
        const CAnalogSetup before = *sheet.CarSetup().FindAnalogSetup(7);
        // Cancel in the wizard: nothing changes.
        QString wizardTitle;
        dialog.SetWizardRunner([&](CCalibration& cal, std::function<double()>) {
            wizardTitle = QString::fromStdString(cal.Title());
            return false;
        });
        QTest::mouseClick(dialog.CalibrateButton(), Qt::LeftButton);
        QCOMPARE(listed, (QStringList{"Throttle", "Steering", "Battery"}));
        QCOMPARE(wizardTitle, QStringLiteral("Calibrate Throttle"));
        QCOMPARE(sheet.CarSetup().FindAnalogSetup(7)->m_fMax, before.m_fMax);
        // The real wizard, driven step by step with a refused reading on the way.
        double raw = 0;
        dialog.SetWizardRunner([&](CCalibration& cal, std::function<double()>) {
            CCalibrationWizard wizard(
                &dialog, cal, [&] { return raw; }, host);
            wizard.restart();
            raw = 4095;  // at the end of the range
            wizard.next();
            if (wizard.currentId() != 0) return false;
            raw = 500;
            wizard.next();
            raw = 3500;
            wizard.next();
            if (wizard.currentId() != wizard.ConfirmId()) return false;
            if (!wizard.ResultLabel()->text().contains("Maximum")) return false;
            wizard.accept();
            return wizard.result() == QDialog::Accepted;
        });
        QVERIFY(dialog.CalibrateChannel(7));
        QCOMPARE(host.messages.size(), std::size_t{1});
        QVERIFY(host.MessageTexts()[0].find("end of its range") != std::string::npos);
        CCalibration check(CalibrationKind::Throttle, *sheet.CarSetup().FindAnalogSetup(7),
                           Units::Imperial, 0);
        QVERIFY(std::abs(check.ValueOf(check.Original(), 500) - 0.0) < 0.2);
        QVERIFY(std::abs(check.ValueOf(check.Original(), 3500) - 100.0) < 0.2);
    }

    // Each wizard of the sheet, cancelled on each of its pages after readings refused and
    // taken on the way: the working setup keeps every calibration value it had.
    void aCancelledWizardLeavesTheSetupAsItWas() {
        test::FakeHost host;
        auto line = MakePosixSerialLine();
        CLiveDataSheet sheet(*line, host, CLinkOptions{}, LiveDemoCarSetup(Units::Imperial),
                             Units::Imperial, 0.0f, true, false);
        QVERIFY(sheet.Start());
        CLiveDataDialog dialog(nullptr, sheet, host);
        struct Case {
            const char* page;
            int channel;
            const char* wizard;
        };
        const Case cases[] = {{"Accels", 17, "Calibrate Accelerometer"},
                              {"Shocks", 1, "Calibrate Shock"},
                              {"Misc. Analogs", 7, "Calibrate Throttle"},
                              {"Misc. Analogs", 8, "Calibrate Steering Wheel"},
                              {"Misc. Analogs", 20, "Calibrate Battery Voltage"}};
        for (const Case& c : cases) {
            QVERIFY(dialog.ShowPage(QString::fromLatin1(c.page)));
            for (int i = 0; i < 8; ++i) dialog.Tick();
            const CAnalogSetup before = *sheet.CarSetup().FindAnalogSetup(c.channel);
            for (int cancelAt = 0; cancelAt <= 2; ++cancelAt) {
                const QString what =
                    QStringLiteral("%1, cancelled on page %2").arg(c.wizard).arg(cancelAt);
                host.messages.clear();
                int reached = -1;
                QString title;
                dialog.SetWizardRunner([&](CCalibration& cal, std::function<double()>) {
                    double raw = 0;
                    CCalibrationWizard wizard(
                        &dialog, cal, [&raw] { return raw; }, host);
                    title = wizard.windowTitle();
                    wizard.restart();
                    for (int step = 0; step < cancelAt; ++step) {
                        raw = step == 0 ? 0 : 4095;  // unplugged, then shorted: refused
                        wizard.next();
                        if (wizard.currentId() != step) return true;
                        raw = step == 0 ? 900 : 3200;
                        wizard.next();
                    }
                    reached = wizard.currentId();
                    wizard.reject();
                    return wizard.result() == QDialog::Accepted;
                });
                QVERIFY2(!dialog.CalibrateChannel(c.channel), qPrintable(what));
                QCOMPARE(title, QString::fromLatin1(c.wizard));
                QVERIFY2(reached == cancelAt, qPrintable(what));
                // Every refused reading said why.
                QVERIFY2(host.messages.size() == static_cast<std::size_t>(cancelAt),
                         qPrintable(what));
                for (const auto& m : host.messages)
                    QVERIFY(m.text.find("end of its range (0 to 4095)") != std::string::npos);
                const CAnalogSetup& after = *sheet.CarSetup().FindAnalogSetup(c.channel);
                QVERIFY2(after.m_fMin == before.m_fMin && after.m_fMax == before.m_fMax &&
                             after.m_fOffset == before.m_fOffset &&
                             after.m_nInvert == before.m_nInvert &&
                             after.m_nResolution == before.m_nResolution,
                         qPrintable(what));
            }
        }
    }

    // "orvex /LiveDemo": the switch sets the demonstration flag and "Live Data" then shows
    // every page moving on the 25 ms timer, seen in two pictures of each page taken half a
    // second or more apart (ui-live-demo-*-1.png and -2.png).
    void theLiveDemoSwitchShowsEveryPageMoving() {
        const CommandLine cl = ParseCommandLine({"/LiveDemo"});
        QVERIFY(cl.error.empty());
        QVERIFY(cl.liveDemo);
        QTemporaryDir dir;
        CDataAcqApp app(dir.filePath("ORVEX.INI").toStdString());
        app.SetLiveDemo(cl.liveDemo);
        test::FakeHost host;
        CMainWindow w(app, host);
        QStringList still, pages;
        w.ShowLiveData([&](QDialog& d) {
            auto& dialog = static_cast<CLiveDataDialog&>(d);
            QTimer::singleShot(0, &dialog, [&] {
                dialog.resize(900, 520);
                for (int i = 0; i < dialog.Tabs()->count(); ++i) {
                    dialog.Tabs()->setCurrentIndex(i);
                    const QString name = FileName(dialog.Tabs()->tabText(i));
                    pages << name;
                    // A few readings on this page first, then the two moments.
                    const long from = dialog.Sheet().Replies() + 4;
                    if (!QTest::qWaitFor([&] { return dialog.Sheet().Replies() >= from; }, 3000))
                        break;
                    QWidget* page = dialog.Tabs()->currentWidget();
                    const QImage first = page->grab().toImage();
                    if (!dialog.grab().save(ShotPath("demo-" + name + "-1"))) still << name;
                    // The second moment half a second of readings later at least.
                    const long later = dialog.Sheet().Replies() + 20;
                    if (!QTest::qWaitFor(
                            [&] {
                                return dialog.Sheet().Replies() >= later &&
                                       page->grab().toImage() != first;
                            },
                            10000))
                        still << name;
                    if (!dialog.grab().save(ShotPath("demo-" + name + "-2"))) still << name;
                }
                dialog.accept();
            });
        });
        QCOMPARE(pages, (QStringList{"rpm-mph", "rpm-sensors", "shocks", "pressures",
                                     "misc-analogs", "egts", "accels", "switches-and-timers"}));
        QVERIFY2(still.isEmpty(), qPrintable(still.join(", ")));
        QVERIFY(host.messages.empty());
    }

    void gaugesDrawReadablyOnLightAndDarkAtTwoPixelRatios() {
        test::FakeHost host;
        auto line = MakePosixSerialLine();
        CLiveDataSheet sheet(*line, host, CLinkOptions{}, LiveDemoCarSetup(Units::Imperial),
                             Units::Imperial, 0.0f, true, false);
        QVERIFY(sheet.Start());
        for (AppTheme theme : {AppTheme::Light, AppTheme::Dark}) {
            ApplyTheme(theme);
            const QString themeName = theme == AppTheme::Dark ? "dark" : "light";
            CLiveDataDialog dialog(nullptr, sheet, host);
            dialog.resize(900, 520);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            for (int i = 0; i < dialog.Tabs()->count(); ++i) {
                dialog.Tabs()->setCurrentIndex(i);
                for (int t = 0; t < 720; ++t) dialog.Tick();  // into the corner
                const QString name =
                    FileName(dialog.Tabs()->tabText(i)) + QStringLiteral("-%1").arg(i);
                for (qreal dpr : {1.0, 2.0}) {
                    const QImage img = Render(dialog, dpr);
                    QVERIFY(img.save(ShotPath(name + "-" + themeName +
                                              (dpr > 1 ? QStringLiteral("-dpr2") : QString()))));
                }
                // Each instrument stands out from the window in both themes.
                for (CGauge* g : dialog.Gauges(i)) {
                    const QImage img = Render(*g, 2.0);
                    QVERIFY2(InkPixels(img, g->palette().color(QPalette::Window)) > 200,
                             qPrintable(g->objectName()));
                }
            }
            dialog.reject();
        }
        ApplyTheme(AppTheme::System);
    }

    // The fixed parts of an instrument are kept as pictures; a new palette, range or caption
    // draws them again, a new value alone does not change them.
    void aDialDrawsItsFixedPartsAgainOnlyWhenTheyChange() {
        CDialGauge dial(nullptr);
        dial.resize(200, 220);
        dial.SetRange(0, 10);
        dial.SetCaption(QStringLiteral("Engine (x1000)"));
        const QPoint face(100, 60);  // on the face, clear of ticks, figures and needle at 0
        QPalette light = dial.palette();
        light.setColor(QPalette::Base, Qt::white);
        dial.setPalette(light);
        const QImage first = Render(dial, 1.0);
        QCOMPARE(first.pixelColor(face), QColor(Qt::white));
        QPalette dark = light;
        dark.setColor(QPalette::Base, QColor(20, 20, 24));
        dark.setColor(QPalette::WindowText, Qt::white);
        dial.setPalette(dark);
        QCOMPARE(Render(dial, 1.0).pixelColor(face), QColor(20, 20, 24));
        // Another range puts other figures on the face; the value moves only the needle.
        const QImage before = Render(dial, 2.0);
        dial.SetRange(0, 8000);
        const QImage ranged = Render(dial, 2.0);
        QVERIFY(ranged != before);
        dial.SetValue(4000);
        const QImage moved = Render(dial, 2.0);
        dial.SetValue(0);
        QCOMPARE(Render(dial, 2.0), ranged);
        QVERIFY(moved != ranged);
    }

    void everyWizardStepIsDrawn() {
        QTemporaryDir dir;
        CDataAcqApp app(dir.filePath("ORVEX.INI").toStdString());
        test::FakeHost host;
        for (const std::string& title : LiveDataShotTitles()) {
            if (title == "View Live Data from Data Logger") continue;
            std::vector<std::string> pages;
            const CAnalogSetup setup = LiveDemoCarSetup(Units::Imperial).m_analog[0];
            for (CalibrationKind k :
                 {CalibrationKind::Accel, CalibrationKind::Shock, CalibrationKind::Throttle,
                  CalibrationKind::Steering, CalibrationKind::Voltage, CalibrationKind::Linear}) {
                if (CCalibration::Title(k) != title) continue;
                const CCalibration cal(k, setup, Units::Imperial, 0);
                for (const CalibrationStep& s : cal.Steps()) pages.push_back(s.title);
            }
            pages.push_back("Confirm");
            for (const std::string& page : pages) {
                std::string error;
                std::shared_ptr<QDialog> d =
                    OpenLiveDataShot(title, page, app, host, nullptr, error);
                QVERIFY2(d, error.c_str());
                QCOMPARE(d->windowTitle().toStdString(), title);
                d->show();
                QVERIFY(QTest::qWaitForWindowExposed(d.get()));
                QVERIFY(
                    d->grab().save(ShotPath(FileName(QString::fromStdString(title + " " + page)))));
            }
            std::string error;
            QVERIFY(!OpenLiveDataShot(title, "No Such Step", app, host, nullptr, error));
            QVERIFY(error.find("No Such Step") != std::string::npos);
        }
        QVERIFY(host.messages.empty());
    }
};

QTEST_MAIN(TestLiveDataSheet)
#include "test_live_data_sheet.moc"
