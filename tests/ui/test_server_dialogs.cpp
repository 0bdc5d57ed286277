// The "Damplex Setup" and "Calibrate Sensors for Suspension Analysis" dialogs on the server core
// with fake collaborators: widgets follow the core's rules, and both render as pictures.
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

#include "TestPaths.h"
#include "app/ServerTestSupport.h"
#include "app/ui/ServerSetupWindow.h"

using namespace orvex;

class TestServerDialogs : public QObject {
    Q_OBJECT

    static void Save(QWidget& w, const char* name) {
        w.adjustSize();
        QImage image(w.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        w.render(&image);
        QVERIFY(image.save(QStringLiteral(ORVEX_TEST_BINARY_DIR "/") + QLatin1String(name)));
    }

  private slots:
    void setupDialogFollowsTheRules() {
        test::ServerRig rig;
        rig.launcher.running = true;
        rig.doc.m_lGreenTime = 2000;
        CServerSetupWindow w(rig.app, *rig.server, rig.host, &rig.doc, rig.window.ds);
        auto* manual = w.findChild<QRadioButton*>(QStringLiteral("manualMode"));
        auto* autoMode = w.findChild<QRadioButton*>(QStringLiteral("autoMode"));
        auto* start = w.findChild<QComboBox*>(QStringLiteral("startPosition"));
        auto* end = w.findChild<QComboBox*>(QStringLiteral("endPosition"));
        auto* speed = w.findChild<QSlider*>(QStringLiteral("updateSpeed"));
        auto* rate = w.findChild<QLabel*>(QStringLiteral("rate"));
        auto* enable = w.findChild<QCheckBox*>(QStringLiteral("enableTransfer"));
        auto* status = w.findChild<QLabel*>(QStringLiteral("status"));
        auto* apply = w.findChild<QPushButton*>(QStringLiteral("applySettings"));
        QVERIFY(manual && autoMode && start && end && speed && rate && enable && status && apply);

        QVERIFY(manual->isChecked());
        QVERIFY(!start->isEnabled() && !end->isEnabled() && !speed->isEnabled());
        QCOMPARE(start->count(), 3);
        QCOMPARE(start->itemText(1), QStringLiteral("Green Marker @ 0:00.200"));
        QCOMPARE(end->currentText(), QStringLiteral("End of Data"));
        QCOMPARE(speed->value(), 20);
        QCOMPARE(rate->text(), QStringLiteral("Rate: 1.0 Sec."));
        QCOMPARE(status->text(), QStringLiteral("Server Not Installed"));

        autoMode->click();
        QVERIFY(start->isEnabled() && end->isEnabled() && speed->isEnabled());
        speed->setValue(40);
        QCOMPARE(rate->text(), QStringLiteral("Rate: 0.010 Sec."));
        start->setCurrentIndex(1);
        enable->setChecked(true);
        QVERIFY(apply->isEnabled());
        apply->click();
        QCOMPARE(status->text(), QStringLiteral("Server Active, 0 Client(s)"));
        QCOMPARE(rig.app.GetServerTimer(), 10);
        QCOMPARE(rig.State().playbackStart, 2000);
        QVERIFY(!apply->isEnabled());
        Save(w, "damplex-setup.png");

        // Start after end: the message, and auto mode is switched off.
        start->setCurrentIndex(2);
        end->setCurrentIndex(0);
        apply->click();
        QCOMPARE(rig.host.MessageTexts().back(),
                 std::string("Start Time is greater than End Time!\nAuto Mode is Disabled."));
        QVERIFY(manual->isChecked());
    }

    void sensorDialogEditsTheShockSensors() {
        auto ds = test::ServerSession();
        CAnalogSetup lf;
        lf.m_nChannel = 6;
        lf.m_nType = kShockSensorType;
        lf.m_strDescription = "LF";
        lf.m_fMax = 4;
        ds->m_carSetup.m_analog.push_back(lf);
        CCarSetup defaults;
        CSensorCalibrationWindow w(*ds, Units::Imperial, defaults);
        auto* max = w.findChild<QDoubleSpinBox*>(QStringLiteral("LFMax"));
        auto* rf = w.findChild<QDoubleSpinBox*>(QStringLiteral("RFMax"));
        auto* invert = w.findChild<QCheckBox*>(QStringLiteral("LFInvert"));
        QVERIFY(max && rf && invert);
        QCOMPARE(max->value(), 4.0);
        QVERIFY(max->isEnabled());
        QVERIFY(!rf->isEnabled());
        max->setValue(5.5);
        invert->setChecked(true);
        Save(w, "sensor-calibration.png");
        w.accept();
        QCOMPARE(ds->m_carSetup.FindAnalogSetup(6)->m_fMax, 5.5f);
        QCOMPARE(ds->m_carSetup.FindAnalogSetup(6)->m_nInvert, 1);
    }
};

QTEST_MAIN(TestServerDialogs)
#include "test_server_dialogs.moc"
