// The channel setup dialogs on the demo session, driven through their widgets: Cancel leaves
// the document as it was, OK applies; the default-settings form writes the default car setup.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "DialogDriving.h"
#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "app/DemoDocument.h"
#include "app/DocumentSetup.h"
#include "app/ui/DialogGallery.h"
#include "graph/ui/ChannelMenuDialog.h"
#include "model/Document.h"
#include "support/FakeHost.h"

using namespace orvex;

namespace {

using test::Choose;
using test::Click;

void Save(QDialog& dialog, const char* name) {
    QVERIFY(dialog.grab().save(QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-setup-%1.png").arg(name)));
}

}  // namespace

class TestChannelSetupDialogs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    test::FakeHost m_host;
    std::unique_ptr<CDataAcqApp> m_app;
    std::unique_ptr<CBriodashDoc> m_doc;

    CBriodashDataset& Session() { return *m_doc->ShownDatasets(true).front(); }
    OpenedDialog Open(const std::string& title, bool onDocument = true) {
        DialogContext context{*m_app, m_host, onDocument ? m_doc.get() : nullptr};
        OpenedDialog opened = FindDialog(title)->open(context);
        opened.dialog->show();
        return opened;
    }

  private slots:
    void init() {
        m_host = test::FakeHost();
        m_app = std::make_unique<CDataAcqApp>(m_dir.filePath("ORVEX.INI").toStdString());
        m_doc =
            std::make_unique<CBriodashDoc>(m_host, DefaultDocumentServices(), DocumentOptions{});
        GeneratorOptions demo;
        demo.minutes = 0.2;
        QVERIFY(FillDemoDocument(*m_doc, demo));
    }

    void analogMaximumReachesTheSessionOnlyOnOk() {
        const CAnalogSetup* throttle = nullptr;
        for (const CAnalogSetup& a : Session().m_carSetup.m_analog)
            if (a.m_strDescription == "Throttle") throttle = &a;
        QVERIFY(throttle);
        const int channel = throttle->m_nChannel;
        const float before = throttle->m_fMax;
        for (bool ok : {false, true}) {
            OpenedDialog opened = Open("Configure Analog Channels");
            QDialog& dlg = *opened.dialog;
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            QCOMPARE(dlg.findChild<QComboBox*>("channel")->itemText(0),
                     QString("<select channel>"));
            QVERIFY(!dlg.findChild<QPushButton*>("apply")->isEnabled());
            QVERIFY(!dlg.findChild<QLineEdit*>("maximum")->isEnabled());
            QVERIFY(Choose(dlg, "channel", QStringLiteral("Channel %1").arg(channel)));
            auto* maximum = dlg.findChild<QLineEdit*>("maximum");
            QVERIFY(maximum->isEnabled());
            maximum->selectAll();
            QTest::keyClicks(maximum, "80");
            dlg.findChild<QRadioButton*>("scaleMode_2")->click();  // "Bottom Half"
            if (ok) Save(dlg, "analog");
            Click(dlg, ok);
            const CAnalogSetup* now = Session().m_carSetup.FindAnalogSetup(channel);
            QVERIFY(now);
            QCOMPARE(now->m_fMax, ok ? 80.0f : before);
            QCOMPARE(int(now->m_nScaleMode), ok ? 3 : int(throttle->m_nScaleMode));
            QCOMPARE(m_doc->m_bModified, ok);
            throttle = now;
        }
    }

    void digitalVerticalMarkerAndTheListSelectTheChannel() {
        const CDigitalSetup& first = Session().m_carSetup.m_digital.front();
        const int channel = first.m_nChannel;
        for (bool ok : {false, true}) {
            OpenedDialog opened = Open("Configure Digital Inputs");
            QDialog& dlg = *opened.dialog;
            auto* list = dlg.findChild<QListWidget*>("list");
            QCOMPARE(list->count(), int(Session().m_carSetup.m_digital.size()));
            QVERIFY(list->item(0)->text().startsWith(QStringLiteral("#%1: ").arg(channel)));
            list->setCurrentRow(0);
            QCOMPARE(dlg.findChild<QComboBox*>("channel")->currentText(),
                     QStringLiteral("Channel %1").arg(channel));
            auto* marker = dlg.findChild<QCheckBox*>("verticalMarker");
            QVERIFY(marker->isEnabled());
            QVERIFY(!marker->isChecked());
            marker->click();
            QVERIFY(!dlg.findChild<QRadioButton*>("band_0")->isEnabled());
            if (ok) Save(dlg, "digital");
            Click(dlg, ok);
            QCOMPARE(int(Session().m_carSetup.FindDigitalSetup(channel)->m_nBand), ok ? 1 : 2);
        }
    }

    void rpmSmoothingAndTheRelabelledDisplayButtons() {
        const int smoothing = Session().m_carSetup.FindRpmSetup(1)->m_nSmoothing;
        QVERIFY(smoothing != 16);
        for (bool ok : {false, true}) {
            OpenedDialog opened = Open("Configure RPM/MPH Channels");
            QDialog& dlg = *opened.dialog;
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            QVERIFY(Choose(dlg, "channel", QStringLiteral("Channel 1")));
            QCOMPARE(dlg.findChild<QComboBox*>("name")->currentText(), QString("Engine"));
            QCOMPARE(dlg.findChild<QLabel*>("display0Label")->text(), QString("Engine RPM"));
            QVERIFY(dlg.findChild<QRadioButton*>("display0_0")->isChecked());
            QVERIFY(dlg.findChild<QLineEdit*>("diameter")->isHidden());
            dlg.findChild<QRadioButton*>("smoothing_3")->click();
            if (ok) Save(dlg, "rpm");
            Click(dlg, ok);
            QCOMPARE(int(Session().m_carSetup.FindRpmSetup(1)->m_nSmoothing), ok ? 16 : smoothing);
        }
        // A wheel shows its tire sizes.
        OpenedDialog opened = Open("Configure RPM/MPH Channels");
        int wheel = 0;
        for (const CFreqSetup& s : Session().m_carSetup.m_rpm)
            if (s.m_nRpmType == kRpmRearWheel && s.m_nChannel > 0) wheel = s.m_nChannel;
        QVERIFY(wheel > 0);
        QVERIFY(Choose(*opened.dialog, "channel", QStringLiteral("Channel %1").arg(wheel)));
        QVERIFY(!opened.dialog->findChild<QLineEdit*>("diameter")->isHidden());
        QCOMPARE(opened.dialog->findChild<QLabel*>("diameterLabel")->text(),
                 QString("Tire Diameter (in)"));
        Save(*opened.dialog, "rpm-wheel");
    }

    void defaultSettingsAddAChannelToTheDefaults() {
        m_app->GetDefaultCarSetup().m_analog.clear();
        OpenedDialog opened = Open("Configure Analog Channels - Default Settings", false);
        QDialog& dlg = *opened.dialog;
        QCOMPARE(dlg.windowTitle(), QString("Configure Analog Channels - Default Settings"));
        QVERIFY(!dlg.findChild<QComboBox*>("session")->isEnabled());
        QVERIFY(Choose(dlg, "channel", "<add channel>"));
        m_host.answers = {Answer::No};  // the first family
        QVERIFY(Choose(dlg, "type", "<new type>"));
        QVERIFY(Choose(dlg, "type", "0 to 5 Volts"));
        auto* name = dlg.findChild<QComboBox*>("name")->lineEdit();
        name->setFocus();
        QTest::keyClicks(name, "Oil");
        QCOMPARE(dlg.findChild<QListWidget*>("list")->item(0)->text(),
                 QString("#1: Oil, Type: 0 to 5 Volts"));
        Save(dlg, "analog-defaults");
        Click(dlg, true);
        QCOMPARE(m_app->GetDefaultCarSetup().m_analog.size(), std::size_t(1));
        QCOMPARE(m_app->GetDefaultCarSetup().m_analog[0].m_strDescription, std::string("Oil"));
    }

    void channelMenuSwitchesAndColoursOnlyOnOk() {
        CBriodashDataset& ds = Session();
        for (bool ok : {false, true}) {
            CChannelMenu model(*m_doc, [](bool) { return std::string(); });
            int asked = 0;
            CChannelMenuDialog dlg(nullptr, model,
                                   [&asked](const std::string& title, ColorRef& colour) {
                                       ++asked;
                                       if (title.rfind("Choose Color for ", 0) != 0) return false;
                                       colour = MakeRGB(255, 0, 255);
                                       return true;
                                   });
            dlg.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            QCOMPARE(dlg.windowTitle(), QString("Channel Menu"));
            QListWidget* list = dlg.List();
            int row = -1;
            for (int i = 0; i < list->count(); ++i)
                if (list->item(i)->text().startsWith("Analog #") && row < 0) row = i;
            QVERIFY(row >= 0);
            const int channel = list->item(row)->text().mid(8).section(':', 0, 0).toInt();
            const bool wasOn = ds.m_analog[std::size_t(channel - 1)].m_nOn != 0;
            list->item(row)->setCheckState(wasOn ? Qt::Unchecked : Qt::Checked);
            emit list->itemDoubleClicked(list->item(row));
            QCOMPARE(asked, 1);
            dlg.findChild<QPushButton*>("allOn")->click();
            QCOMPARE(list->item(0)->checkState(), Qt::Checked);
            list->item(row)->setCheckState(wasOn ? Qt::Unchecked : Qt::Checked);
            if (ok)
                QVERIFY(dlg.grab().save(
                    QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-setup-channel-menu.png")));
            Click(dlg, ok);
            const CSampleList& s = ds.m_analog[std::size_t(channel - 1)];
            QCOMPARE(s.m_nOn != 0, ok ? !wasOn : wasOn);
            if (ok) QCOMPARE(ColorRef(s.m_crTrace), MakeRGB(255, 0, 255));
        }
    }

    void lapTimesReportIsModelessAndDeletesALapOnOk() {
        CSampleList& markers = Session().m_markers;
        markers.m_samples.clear();
        for (int i = 0; i < 3; ++i) {
            CSample m;
            m.m_lTime = 10000 + 35000 * i;
            m.m_lRaw = m.m_lFiltered = 100 * i;
            markers.AddTail(m);
        }
        markers.ClearMinMax();
        const int marks = markers.Size();
        OpenedDialog opened = Open("Lap Times Report");
        QDialog& dlg = *opened.dialog;
        QVERIFY(!dlg.isModal());
        auto* lines = dlg.findChild<QListWidget*>("lines");
        QCOMPARE(lines->count(), marks);
        lines->setCurrentRow(1);
        dlg.findChild<QCheckBox*>("updateElapsed")->click();
        dlg.findChild<QPushButton*>("deleteLap")->click();
        QCOMPARE(lines->count(), marks - 1);
        QCOMPARE(Session().m_markers.Size(), marks);
        Save(dlg, "lap-times");
        Click(dlg, true);
        QCOMPARE(Session().m_markers.Size(), marks - 1);
        QVERIFY(m_doc->m_bModified);
    }

    void transmissionGearsReachTheSessionOnOk() {
        const int gears = Session().m_carSetup.m_nGears;
        for (bool ok : {false, true}) {
            OpenedDialog opened = Open("Transmission/Rear End Settings");
            QDialog& dlg = *opened.dialog;
            const int pick = gears == 5 ? 3 : 4;  // four or five gears
            dlg.findChild<QRadioButton*>(QStringLiteral("gears_%1").arg(pick))->click();
            QVERIFY(
                dlg.findChild<QLineEdit*>(QStringLiteral("ratio%1").arg(pick + 1))->isEnabled());
            if (ok) Save(dlg, "transmission");
            Click(dlg, ok);
            QCOMPARE(Session().m_carSetup.m_nGears, ok ? pick + 1 : gears);
        }
    }
};

QTEST_MAIN(TestChannelSetupDialogs)
#include "test_channel_setup_dialogs.moc"
